// Two one-sided sequential probability ratio tests on the seeds one side alone won.
#include "study/sequential.h"

#include <cmath>
#include <cstdio>

namespace gulper {

SequentialTest::SequentialTest(SequentialPlan plan)
    : lower(std::log(plan.beta / (1 - plan.alpha / 2))),
      upper(std::log((1 - plan.beta) / (plan.alpha / 2))) {
    result.plan = plan;
}

bool SequentialTest::Add(bool aWon, bool bWon) {
    if (result.decision != Decision::UNDECIDED) {
        return true;
    }
    ++result.seeds;
    if (aWon == bWon) {
        return false;
    }
    const double forWinner = std::log(result.plan.winShare / 0.5);
    const double forLoser = std::log((1 - result.plan.winShare) / 0.5);
    ++(aWon ? result.onlyA : result.onlyB);
    if (!aDecided) {
        result.ratioForA += aWon ? forWinner : forLoser;
    }
    if (!bDecided) {
        result.ratioForB += bWon ? forWinner : forLoser;
    }
    if (!aDecided && result.ratioForA >= upper) {
        result.decision = Decision::A_BETTER;
    } else if (!bDecided && result.ratioForB >= upper) {
        result.decision = Decision::B_BETTER;
    } else {
        aDecided = aDecided || result.ratioForA <= lower;
        bDecided = bDecided || result.ratioForB <= lower;
        if (aDecided && bDecided) {
            result.decision = Decision::NO_DIFFERENCE;
        }
    }
    return result.decision != Decision::UNDECIDED;
}

const char* DecisionName(Decision d) {
    switch (d) {
        case Decision::A_BETTER:
            return "a-better";
        case Decision::B_BETTER:
            return "b-better";
        case Decision::NO_DIFFERENCE:
            return "no-difference";
        default:
            return "undecided";
    }
}

std::string SequentialText(const SequentialResult& r, const std::string& a, const std::string& b) {
    char rates[300];
    std::snprintf(rates, sizeof rates,
                  "(sequential test on the seeds only one side won: at most a %.0f %% chance of "
                  "finding a difference where there is none, and a %.0f %% chance of missing "
                  "one where a side wins %.0f %% of those seeds)",
                  100 * r.plan.alpha, 100 * r.plan.beta, 100 * r.plan.winShare);
    const std::string counts = std::to_string(r.seeds) + " paired seeds (" + a + " alone won " +
                               std::to_string(r.onlyA) + ", " + b + " alone won " +
                               std::to_string(r.onlyB) + ")";
    switch (r.decision) {
        case Decision::A_BETTER:
            return "decided after " + counts + ": " + a + " wins more often than " + b + " " +
                   rates;
        case Decision::B_BETTER:
            return "decided after " + counts + ": " + b + " wins more often than " + a + " " +
                   rates;
        case Decision::NO_DIFFERENCE:
            return "decided after " + counts + ": neither side wins " +
                   std::to_string(static_cast<int>(std::lround(100 * r.plan.winShare))) +
                   " % of the seeds only one side won " + rates;
        default:
            return "not decided: the game limit was reached after " + counts + " " + rates;
    }
}

}  // namespace gulper

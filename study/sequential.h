// The stopping rule for two sides on paired seeds: Wald's sequential probability ratio test
// on the seeds where exactly one side won, run both ways (Sobel and Wald's two-sided form).
// With no difference, a seed won by one side alone is A's half the time; the test tells
// that from A's (or B's) being WIN_SHARE of them.
#pragma once

#include <cstdint>
#include <string>

namespace gulper {

struct SequentialPlan {
    double alpha = 0.05;  // chance of declaring a difference when there is none (both ways)
    double beta = 0.05;   // chance of missing a difference as large as winShare
    double winShare = 0.6;
};

enum class Decision { UNDECIDED, A_BETTER, B_BETTER, NO_DIFFERENCE };

struct SequentialResult {
    SequentialPlan plan;
    Decision decision = Decision::UNDECIDED;
    int64_t seeds = 0;     // paired seeds taken into the test
    int64_t onlyA = 0;     // seeds won by A alone
    int64_t onlyB = 0;     // seeds won by B alone
    double ratioForA = 0;  // log likelihood ratio, A better against no difference
    double ratioForB = 0;  // log likelihood ratio, B better against no difference
    bool limitReached = false;
};

class SequentialTest {
  public:
    explicit SequentialTest(SequentialPlan plan = {});
    // Takes one paired seed; true once the test has decided.
    bool Add(bool aWon, bool bWon);
    const SequentialResult& Result() const { return result; }
    // The bounds each ratio is held between until it decides.
    double Lower() const { return lower; }
    double Upper() const { return upper; }

  private:
    SequentialResult result;
    double lower;
    double upper;
    bool aDecided = false;  // the A-better test has accepted one of its hypotheses
    bool bDecided = false;
};

// "stopped after N paired seeds: ..." in plain words, with the error rates stated.
std::string SequentialText(const SequentialResult& r, const std::string& a, const std::string& b);
const char* DecisionName(Decision d);

}  // namespace gulper

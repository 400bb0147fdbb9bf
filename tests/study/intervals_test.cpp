// The comparison's arithmetic on hand-made figures: intervals against published values and
// their limits, the stopping rule's decisions, shards and verdicts.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "study/compare.h"
#include "study/intervals.h"
#include "study/sequential.h"
#include "study/shards.h"

using namespace gulper;

namespace {

TEST(IntervalsTest, WilsonMatchesPublishedValuesAndStaysInRange) {
    // Newcombe (1998), table I: 81 of 263, 15 of 148, 0 of 20, 1 of 29.
    const struct {
        int64_t k, n;
        double lo, hi;
    } cases[] = {{81, 263, 0.2553, 0.3662},
                 {15, 148, 0.0624, 0.1605},
                 {0, 20, 0.0, 0.1611},
                 {1, 29, 0.0061, 0.1718}};
    for (const auto& c : cases) {
        const Interval i = WilsonInterval(c.k, c.n);
        EXPECT_NEAR(i.lo, c.lo, 1e-4) << c.k << "/" << c.n;
        EXPECT_NEAR(i.hi, c.hi, 1e-4) << c.k << "/" << c.n;
    }
    EXPECT_DOUBLE_EQ(WilsonInterval(5, 5).hi, 1.0);
    EXPECT_DOUBLE_EQ(WilsonInterval(0, 0).lo, 0.0);
    EXPECT_DOUBLE_EQ(WilsonInterval(0, 0).hi, 1.0);
}

TEST(IntervalsTest, PairedDifferenceFollowsTheSeedsOneSideAloneWon) {
    // Bonett and Price (2012): 6 seeds won by A alone, 2 by B alone, of 50.
    const Interval example = PairedRateDifference({20, 6, 2, 22});
    EXPECT_NEAR(example.lo, (7.0 - 3.0) / 52 - 1.959964 * std::sqrt((10.0 / 52 - 16.0 / 2704) / 52),
                1e-9);
    // The seeds both or neither won do not move the difference, only its width.
    const Interval wider = PairedRateDifference({0, 6, 2, 42});
    EXPECT_DOUBLE_EQ(wider.lo, example.lo);
    // Equal counts either way: symmetric about 0; one side alone winning every seed: far from 0.
    const Interval even = PairedRateDifference({10, 7, 7, 10});
    EXPECT_NEAR(even.lo, -even.hi, 1e-12);
    EXPECT_GT(PairedRateDifference({0, 100, 0, 0}).lo, 0.9);
    EXPECT_LT(PairedRateDifference({0, 0, 100, 0}).hi, -0.9);
    const Interval none = PairedRateDifference({});
    EXPECT_TRUE(none.Contains(0));
}

TEST(IntervalsTest, BootstrapIsReproducibleAndNearTheNormalInterval) {
    std::vector<double> values;
    uint32_t x = 12345;
    for (int i = 0; i < 2000; ++i) {
        x = x * 1103515245u + 12345u;
        values.push_back(static_cast<double>((x >> 16) % 1000));
    }
    const Interval a = BootstrapMeanInterval(values, 7);
    const Interval b = BootstrapMeanInterval(values, 7);
    EXPECT_EQ(a.lo, b.lo);
    EXPECT_EQ(a.hi, b.hi);
    const double mean = Mean(values);
    double squares = 0;
    for (double v : values) {
        squares += (v - mean) * (v - mean);
    }
    const double se = std::sqrt(squares / (values.size() - 1) / values.size());
    EXPECT_NEAR(a.lo, mean - Z95 * se, 0.1 * se);
    EXPECT_NEAR(a.hi, mean + Z95 * se, 0.1 * se);
    // All alike: no spread at all; none: nothing to say.
    const Interval same = BootstrapMeanInterval(std::vector<double>(30, 4.0), 1);
    EXPECT_DOUBLE_EQ(same.lo, 4.0);
    EXPECT_DOUBLE_EQ(same.hi, 4.0);
    EXPECT_DOUBLE_EQ(BootstrapMeanInterval({}, 1).hi, 0.0);
}

TEST(IntervalsTest, StudentsTMatchesPublishedValues) {
    // The table's two-sided 95 % values: the bootstrap widens a few games' interval by them.
    for (const auto& [df, t] : std::vector<std::pair<double, double>>{
             {3, 3.1824}, {5, 2.5706}, {10, 2.2281}, {30, 2.0423}, {1000, 1.9623}}) {
        EXPECT_NEAR(StudentT975(df), t, 0.002 * t) << df;
    }
}

TEST(IntervalsTest, InterquartileMeanLeavesAQuarterOffEachEnd) {
    EXPECT_DOUBLE_EQ(InterquartileMean({1, 2, 3, 4, 100, -100, 5, 6}), 3.5);
    EXPECT_DOUBLE_EQ(InterquartileMean({7}), 7.0);
    EXPECT_DOUBLE_EQ(InterquartileMean({1, 2, 3}), 2.0);
    EXPECT_DOUBLE_EQ(InterquartileMean({}), 0.0);
}

TEST(SequentialTest, DecidesEachWayAndForNoDifference) {
    // Every seed won by A alone: each adds log(1.2) to A's ratio, and the bound is
    // log(0.95 / 0.025), so the 20th such seed decides.
    SequentialTest a;
    int seeds = 0;
    while (!a.Add(true, false)) {
        ++seeds;
        a.Add(false, false);  // seeds nobody won do not count for either side
        ASSERT_LT(seeds, 1000);
    }
    EXPECT_EQ(a.Result().decision, Decision::A_BETTER);
    EXPECT_EQ(a.Result().onlyA, static_cast<int64_t>(std::ceil(std::log(38.0) / std::log(1.2))));
    EXPECT_EQ(a.Result().seeds, 2 * a.Result().onlyA - 1);

    SequentialTest b;
    while (!b.Add(false, true)) {
    }
    EXPECT_EQ(b.Result().decision, Decision::B_BETTER);

    // Taking turns: each side's ratio falls to its lower bound, and the test accepts that
    // neither wins 60 % of the seeds one side alone won.
    SequentialTest even;
    for (int i = 0; i < 10000 && !even.Add(i % 2 == 0, i % 2 == 1); ++i) {
    }
    EXPECT_EQ(even.Result().decision, Decision::NO_DIFFERENCE);
    EXPECT_NE(SequentialText(even.Result(), "x", "y").find("neither side wins 60 %"),
              std::string::npos);
    SequentialResult open;
    open.limitReached = true;
    EXPECT_EQ(SequentialText(open, "x", "y").rfind("not decided: the game limit", 0), 0u);
}

TEST(ShardTest, ParsesKOfNAndHoldsEveryNthGame) {
    ShardPart s;
    std::string error;
    ASSERT_TRUE(ParseShard("2/3", &s, &error));
    EXPECT_EQ(s.part, 2);
    EXPECT_EQ(s.parts, 3);
    EXPECT_TRUE(s.Holds(1));
    EXPECT_TRUE(s.Holds(4));
    EXPECT_FALSE(s.Holds(2));
    for (const char* bad : {"0/3", "4/3", "3", "a/b", "1/", "/2", "1/2/3", "-1/2", "1/1000000"}) {
        EXPECT_FALSE(ParseShard(bad, &s, &error)) << bad;
        EXPECT_NE(error.find("--shard wants K/N"), std::string::npos);
    }
    EXPECT_TRUE(ShardPart{}.Holds(12345));
}

}  // namespace

namespace {

// Sides of `n` games each, side a winning the first `winsA` seeds and b the first `winsB`,
// every game scoring `scoreA` or `scoreB`.
std::vector<Side> Sides(int n, int winsA, int winsB, int32_t scoreA, int32_t scoreB) {
    std::vector<Side> sides{{"a", {}}, {"b", {}}};
    for (int i = 0; i < n; ++i) {
        for (int s = 0; s < 2; ++s) {
            GameResult r;
            r.seed = static_cast<uint32_t>(i + 1);
            r.outcome = i < (s ? winsB : winsA) ? GameOutcome::WON : GameOutcome::LOST;
            r.score = (s ? scoreB : scoreA) + (i % 7) * 10;
            sides[s].games.push_back(r);
        }
    }
    return sides;
}

TEST(VerdictTest, NamesTheSideTheIntervalFavoursFirstAndClaimsNoMore) {
    const Comparison bAhead = Compare(CompareBy::AGENTS, Sides(100, 10, 60, 500, 900));
    const std::string text = Verdict(bAhead, bAhead.pairs[0]);
    EXPECT_EQ(text.rfind("b wins more often than a: 60.0 % against 10.0 %, difference 50.0 "
                         "points, 95 % interval ",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find(" b scores more than a: mean 929.5 against 529.5, difference 400.0, "
                        "95 % interval 400.0 to 400.0."),
              std::string::npos)
        << text;
    EXPECT_EQ(bAhead.pairs[0].bBetter, 100);

    // One seed in forty apart: the interval holds 0, and the verdict says so.
    const Comparison close = Compare(CompareBy::AGENTS, Sides(40, 5, 6, 500, 500));
    const std::string even = Verdict(close, close.pairs[0]);
    EXPECT_EQ(even.rfind("No clear difference in win rate between a and b: 12.5 % against "
                         "15.0 %, difference -2.5 points",
                         0),
              0u)
        << even;
    EXPECT_NE(even.find("which includes no difference. No clear difference in mean score"),
              std::string::npos)
        << even;
    EXPECT_EQ(close.pairs[0].equal, 40);
    // The printed comparison gives each pair's seeds by who scored more, as shares of them.
    std::ostringstream printed;
    PrintComparison(printed, bAhead);
    EXPECT_NE(printed.str().find("per seed:   a scored more on 0.0 %, b on 100.0 %, the same on "
                                 "0.0 %"),
              std::string::npos)
        << printed.str();
    printed.str("");
    PrintComparison(printed, close);
    EXPECT_NE(printed.str().find("a scored more on 0.0 %, b on 0.0 %, the same on 100.0 %"),
              std::string::npos)
        << printed.str();
}

}  // namespace

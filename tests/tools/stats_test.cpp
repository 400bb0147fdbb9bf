#include "tools/sim/stats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SpreadTest, QuartilesInterpolateAndSdIsThePopulations) {
    const struct {
        std::vector<double> values;
        Spread expected;
    } cases[] = {
        {{7}, {7, 0, 7, 7, 7, 7, 7}},
        {{4, 1, 3, 2}, {2.5, std::sqrt(1.25), 1, 1.75, 2.5, 3.25, 4}},
        {{10, 0, 30, 20, 40}, {20, std::sqrt(200.0), 0, 10, 20, 30, 40}},
        {{}, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const Spread s = SpreadOf(c.values);
        EXPECT_DOUBLE_EQ(s.mean, c.expected.mean);
        EXPECT_DOUBLE_EQ(s.sd, c.expected.sd);
        EXPECT_DOUBLE_EQ(s.min, c.expected.min);
        EXPECT_DOUBLE_EQ(s.q1, c.expected.q1);
        EXPECT_DOUBLE_EQ(s.median, c.expected.median);
        EXPECT_DOUBLE_EQ(s.q3, c.expected.q3);
        EXPECT_DOUBLE_EQ(s.max, c.expected.max);
    }
}

TEST(SummaryTest, CountsOutcomesAndLossesByGhostAndState) {
    std::vector<GameResult> games(4);
    games[0].outcome = GameOutcome::WON;
    games[1].outcome = GameOutcome::LOST, games[1].caughtBy = 0, games[1].lastState = "fleeing";
    games[2].outcome = GameOutcome::LOST, games[2].caughtBy = 3, games[2].lastState = "fleeing";
    games[3].outcome = GameOutcome::UNFINISHED;
    const RunSummary s = Summarise(games);
    EXPECT_EQ(s.won, 1);
    EXPECT_EQ(s.lost, 2);
    EXPECT_EQ(s.unfinished, 1);
    EXPECT_EQ(s.caughtBy, (std::map<std::string, int64_t>{{"red", 1}, {"turquoise", 1}}));
    EXPECT_EQ(s.caughtWhile, (std::map<std::string, int64_t>{{"fleeing", 2}}));
}

TEST(JsonTest, StringsAreEscaped) {
    EXPECT_EQ(JsonString("a\"b\\c\nd"), "\"a\\\"b\\\\c\\u000ad\"");
}

}  // namespace

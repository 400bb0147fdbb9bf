#include "study/summary.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gulper;

namespace {

TEST(SpreadTest, QuartilesInterpolateAndSdIsThePopulations) {
    const struct {
        std::vector<double> values, expected;  // mean, sd, min, q1, median, q3, max
    } cases[] = {
        {{7}, {7, 0, 7, 7, 7, 7, 7}},
        {{4, 1, 3, 2}, {2.5, std::sqrt(1.25), 1, 1.75, 2.5, 3.25, 4}},
        {{10, 0, 30, 20, 40}, {20, std::sqrt(200.0), 0, 10, 20, 30, 40}},
        {{}, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const Spread s = SpreadOf(c.values);
        const double got[] = {s.mean, s.sd, s.min, s.q1, s.median, s.q3, s.max};
        for (int i = 0; i < 7; ++i) {
            EXPECT_DOUBLE_EQ(got[i], c.expected[i]) << c.values.size() << " values, field " << i;
        }
    }
    EXPECT_EQ(JsonString("a\"b\\c\nd"), "\"a\\\"b\\\\c\\u000ad\"");
}

}  // namespace

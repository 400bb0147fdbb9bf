#include <gtest/gtest.h>

#include <vector>

#include "game/frame_timer.h"

namespace {

// A clock that advances only when the timer sleeps, plus the cost of a tick.
int64_t fakeNow = 0;
std::vector<int64_t> sleeps;
int64_t FakeClock() {
    return fakeNow;
}
void FakeSleep(int64_t ms) {
    sleeps.push_back(ms);
    fakeNow += ms;
}

TEST(FrameTimer, QuickTicksComeInPairs) {
    fakeNow = 1000;
    sleeps.clear();
    FrameTimer timer(FakeClock, FakeSleep);
    for (int i = 0; i < 6; ++i) {
        timer.Wait(200);
        fakeNow += 1;  // the tick itself
    }
    // A full sleep, then a call whose reading already lies an interval on: no sleep.
    EXPECT_EQ(sleeps, (std::vector<int64_t>{200, 199, 199}));
    EXPECT_EQ(fakeNow, 1000 + 200 + 199 + 199 + 6);
}

TEST(FrameTimer, SlowTicksNeverSleep) {
    fakeNow = 0;
    sleeps.clear();
    FrameTimer timer(FakeClock, FakeSleep);
    for (int i = 0; i < 4; ++i) {
        fakeNow += 300;
        timer.Wait(200);
    }
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(timer.previous, 1200);
}

TEST(FrameTimer, GameOverWaitCountsFromThePreviousReading) {
    fakeNow = 0;
    sleeps.clear();
    FrameTimer timer(FakeClock, FakeSleep);
    fakeNow = 150;
    timer.Wait(5000);
    EXPECT_EQ(sleeps, (std::vector<int64_t>{4850}));
}

TEST(FrameTimer, RealClockIsMonotonic) {
    const int64_t a = SteadyMilliseconds();
    SleepMilliseconds(2);
    EXPECT_GE(SteadyMilliseconds(), a + 2);
}

}  // namespace

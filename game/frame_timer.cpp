// The frame timer's sleep and the host's clock.
#include "game/frame_timer.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "game/random.h"

int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepMilliseconds(int64_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

FrameTimer::FrameTimer(Clock c, Sleeper s) : previous(c()), clock(c), sleeper(s) {
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
}

void FrameTimer::Wait(int32_t intervalMs) {
    const int64_t now = clock();
    const int64_t ms = previous + intervalMs - now;
    if (ms > 0) {
        sleeper(ms);
    }
    previous = now;
}

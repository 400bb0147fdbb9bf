// The sleep-based frame timer that sets the game's pace, and the host's clock.
#pragma once

#include <cstdint>

// The host's monotonic millisecond clock and a blocking sleep.
int64_t SteadyMilliseconds();
void SleepMilliseconds(int64_t ms);

// Holds the game to its tick rate by sleeping in the idle handler. Its construction also
// seeds the ghosts' random generator with the calendar time, once per game window.
class FrameTimer {
  public:
    using Clock = int64_t (*)();
    using Sleeper = void (*)(int64_t ms);

    explicit FrameTimer(Clock clock = SteadyMilliseconds, Sleeper sleeper = SleepMilliseconds);

    // Sleeps until `intervalMs` after the previous call's reading. The reading kept is the one
    // taken before the sleep, so a quick tick after a full sleep finds nothing left to wait:
    // ticks come in pairs.
    void Wait(int32_t intervalMs);

    int64_t previous;

  private:
    Clock clock;
    Sleeper sleeper;
};

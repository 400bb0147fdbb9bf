// The two ends of a worker's pipes: the frame a worker sends for each game it plays, and the
// worker's own loop. Both ends are this program, so a frame is the worker's memory as it is;
// the parent still checks every field before it believes one.
#pragma once

#include <cstdint>
#include <vector>

#include "study/jobs.h"

namespace gulper {

// Every frame starts so; anything else means the stream is out of step.
constexpr uint32_t FRAME_MAGIC = 0x47534d31;  // "GSM1"
// Bounds on what a frame may claim, well above any real game's.
constexpr uint32_t MAX_STATE = 4096;
constexpr uint64_t MAX_LOG = uint64_t(1) << 30;

// The fixed part of a frame, as the worker's memory holds it (both ends are this program).
struct FrameHead {
    uint32_t magic;
    uint32_t stateLength;
    uint64_t logLength;
    uint64_t task;
    int32_t outcome;
    int32_t score;
    int32_t foodLeft;
    int32_t caughtBy;
    int64_t ticks;
    int64_t decisions;
    int32_t caughtX;
    int32_t caughtY;
    // An exec agent's part (exec_frame.h), after the log: 1 and its length when one
    // played, else 0 and 0.
    uint32_t exec;
    uint32_t execLength;
};

// Plays one game, keeping its log when asked, and saving its replay file when its settings
// ask for one.
PlayedGame PlayOne(const std::vector<SimSettings>& arms, const GameTask& task, bool keepLogs);

// Writes all the bytes, through interruptions; false when the pipe fails.
bool WriteAll(int fd, const char* data, size_t size);

// The worker's whole life: reads task numbers from `commands` and sends one frame each to
// `results`, until its task pipe closes; exits with 0, or another status on any fault.
[[noreturn]] void WorkerMain(const std::vector<SimSettings>& arms,
                             const std::vector<GameTask>& tasks, bool keepLogs, int commands,
                             int results);

}  // namespace gulper

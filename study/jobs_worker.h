// The two ends of a worker's pipes: the frame a worker sends for each game it plays, and the
// worker's own loop. Both ends are this program, so a frame is the worker's memory as it is;
// the parent still checks every field before it believes one.
#pragma once

#include <cstdint>
#include <vector>

#include "study/game_task.h"

namespace gulper {

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

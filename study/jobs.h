// Playing many headless games on several cores. The game keeps its state in globals, so each
// worker is a process of its own (fork), sending its results back over a pipe; the results
// reach the caller in the order of the tasks, whatever the number of workers, so every output
// is the same byte for byte as with one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "study/game_task.h"

namespace gulper {

// Takes each game in task order; false, with the reason in `error`, ends the run.
using GameSink = std::function<bool(size_t task, PlayedGame& game, std::string* error)>;

// The cores this machine offers, at least 1.
int DefaultJobs();

// Plays `tasks` with `arms[task.arm]` on `jobs` processes (in this one when jobs is 1).
// False, with the reason, when a worker fails or falls silent, or the sink says stop; the
// workers are then ended.
bool PlayGames(const std::vector<SimSettings>& arms, const std::vector<GameTask>& tasks, int jobs,
               bool keepLogs, const GameSink& sink, std::string* error);

}  // namespace gulper

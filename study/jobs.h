// Playing many headless games on several cores. The game keeps its state in globals, so each
// worker is a process of its own (fork), sending its results back over a pipe; the results
// reach the caller in the order of the tasks, whatever the number of workers, so every output
// is the same byte for byte as with one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "episode/result.h"
#include "episode/settings.h"

namespace gulper {

// The settings of one side of a run: the game's, and where its games are recorded when they
// are (replay files, ReplayPath).
struct SimSettings : GameSettings {
    std::string recordDir;
};

// One game to play: which of the settings, and the seed.
struct GameTask {
    size_t arm = 0;
    uint32_t seed = 0;
};

// A game played, with its agent's log when logs were asked for.
struct PlayedGame {
    GameResult result;
    std::string log;
    // Why its replay file (SimSettings::recordDir) could not be written; empty when it was.
    std::string recordError;
};

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

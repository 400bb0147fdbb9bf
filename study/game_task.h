// What a run hands its workers and gets back: the settings of each side, one game to play, and
// a game played.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "episode/result.h"
#include "episode/settings.h"

namespace gulper {

// The settings of one side of a run: the game's, and where its games are recorded when they
// are (replay files, ReplayPath).
struct SimSettings : GameSettings {
    explicit SimSettings(const GameSettings& game = GameSettings(), std::string recordDir = "")
        : GameSettings(game), recordDir(std::move(recordDir)) {}
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

}  // namespace gulper

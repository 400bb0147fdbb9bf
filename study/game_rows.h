// A study's rows of games read back from its JSON: each game's members known and given once,
// and its figures within what the board and the limits of the study's own settings give.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "episode/result.h"
#include "game/game_state.h"

namespace gulper {

class JsonCursor;

// What the board can give under one settings text.
struct Board {
    int32_t food = 0;
    int64_t leastFoodValue = 0;
    int64_t mostFoodValue = 0;
    // The most one tick can add besides food: every ghost eaten and the fruit.
    int64_t mostPerTick = 0;
    bool ghost[GHOST_COLOURS] = {};
};

Board BoardOf(const std::string& settingsText);

// What a side's rows are read against.
struct Rows {
    Board board;
    int64_t maxTicks = 0;
    bool exec = false;
};

// The games of a JSON array, and the SHA-256 of their rows' text as `text` (the cursor's)
// holds it, each row followed by a line break. Throws JsonError naming the byte.
std::vector<GameResult> ReadGames(JsonCursor& in, const std::string& text, const Rows& rows,
                                  std::string* digest);

}  // namespace gulper

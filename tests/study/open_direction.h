// For the test-only agents that turn at random: one of a cell centre's open directions.
#pragma once

#include <cstdint>

#include "game/sprite.h"

// The direction `draw` picks among the open ones (AvailableDirections' bits), or 0 for none.
inline int32_t PickOpenDirection(int32_t open, uint64_t draw) {
    int32_t choices[4];
    int n = 0;
    for (int32_t d : {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN}) {
        if (open & d) {
            choices[n++] = d;
        }
    }
    return n > 0 ? choices[draw % static_cast<uint64_t>(n)] : 0;
}

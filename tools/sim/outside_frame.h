// The part of a worker's frame that an agent played from outside adds to a game: its answer
// times, late answers, faults and forfeit reason, as bytes. The parent reads them back with
// every count and length checked against its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/sim/headless_game.h"

// Bounds a frame's outside part may claim.
constexpr uint32_t MAX_OUTSIDE_BYTES = 64u << 20;
constexpr uint32_t MAX_FRAME_FAULTS = 1100000;
constexpr uint32_t MAX_FRAME_TEXT = 4096;

std::string EncodeOutside(const GameResult& r);
// Fills r's outside part from `size` bytes; false when they are not what EncodeOutside writes.
bool DecodeOutside(const char* data, size_t size, GameResult* r);

// The part of a worker's frame that an agent in another process adds to a game: its answer
// times, late answers, faults and forfeit reason, as bytes. The parent reads them back with
// every count and length checked against its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "episode/result.h"

namespace gulper {

// Bounds a frame's exec part may claim.
constexpr uint32_t MAX_OUTSIDE_BYTES = 64u << 20;
constexpr uint32_t MAX_FRAME_FAULTS = 1100000;
constexpr uint32_t MAX_FRAME_TEXT = 4096;

std::string EncodeExec(const GameResult& r);
// Fills r's exec part from `size` bytes; false when they are not what EncodeExec writes.
bool DecodeExec(const char* data, size_t size, GameResult* r);

}  // namespace gulper

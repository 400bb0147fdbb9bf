// The one codec of a game played on a worker: the frame a worker sends for it (the result, the
// agent's state word, the log, and what an agent in another process adds: answer times, late
// answers, faults, forfeit reason, the name it gave). Both ends are this program, but the parent
// still checks every field, count and length against its bounds before it believes one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "episode/result.h"
#include "study/game_task.h"

namespace gulper {

// Bounds a frame's exec part may claim.
constexpr uint32_t MAX_EXEC_BYTES = 64u << 20;
constexpr uint32_t MAX_FRAME_FAULTS = 1100000;
constexpr uint32_t MAX_FRAME_TEXT = 4096;

// Bounds on what a frame may claim, well above any real game's.
constexpr uint32_t MAX_STATE = 4096;
constexpr uint32_t MAX_LOG = uint32_t(1) << 30;

// The frame of a game played for `task`; empty when its exec part is too large for one.
std::string EncodeFrame(uint64_t task, const PlayedGame& game);

enum class FrameRead { INCOMPLETE, DAMAGED, WHOLE };
// Reads the frame at the start of `size` bytes: WHOLE with its task, its game (the seed left
// for the caller, who knows the task's) and its length; INCOMPLETE when more bytes are needed;
// DAMAGED when they are not a frame EncodeFrame writes.
FrameRead DecodeFrame(const char* data, size_t size, uint64_t* task, PlayedGame* game,
                      size_t* length);

// The exec part alone.
std::string EncodeExec(const GameResult& r);
// Fills r's exec part from `size` bytes; false when they are not what EncodeExec writes.
bool DecodeExec(const char* data, size_t size, GameResult* r);

}  // namespace gulper

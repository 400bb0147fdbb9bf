// Replay files: one recorded game as one JSON object (docs/replay-file.md), with everything
// needed to play it again anywhere: the settings' text, the seed, the limit and the action
// taken at every decision. Read as hostile input: the file's size, every string and every
// count is bounded, and the counts must agree with what the file holds.
#pragma once

#include <cstdint>
#include <string>

#include "episode/record.h"
#include "episode/result.h"
#include "episode/settings.h"

namespace gulper {

constexpr const char* REPLAY_FORMAT = "gulper-replay";
constexpr int REPLAY_VERSION = 1;
// Bounds a file must keep to be read; the writer refuses a game that would break one.
constexpr uint64_t REPLAY_MAX_BYTES = uint64_t(16) << 20;
constexpr int64_t REPLAY_MAX_DECISIONS = int64_t(1) << 21;
constexpr size_t REPLAY_MAX_NAME = 4096;         // the settings file's name, the agent's
constexpr size_t REPLAY_MAX_DETAIL = 4096;       // a fault's kind or detail
constexpr size_t REPLAY_MAX_STATE = 64;          // a plan's state word
constexpr size_t REPLAY_MAX_CELLS = 1024;        // cells of a plan's route, or ghosts fled from
constexpr int32_t REPLAY_MAX_COORDINATE = 1024;  // of a cell, either way
// A larger tick limit is written as this one: no game gets near either.
constexpr int64_t REPLAY_MAX_TICKS = int64_t(1) << 53;

// The settings it was played under (its budgets are not kept), and the game.
struct ReplayFile : GameSettings {
    uint32_t seed = 0;
    // The decisions, and the plans when they were kept.
    GameRecord record;
    // The recorded result: outcome, score, food left, ticks, decisions and the faults.
    GameResult result;
};

// The file for a game just played with `settings` (its record and result).
ReplayFile ReplayOf(const GameSettings& settings, GameRecord record, const GameResult& result);

// Where --record DIR puts the game of a seed.
std::string ReplayPath(const std::string& dir, uint32_t seed);

// The file's text; false, with the reason, when the game is too large to be read back.
bool ReplayText(const ReplayFile& replay, std::string* text, std::string* error);
// Writes it whole or not at all (a temporary file renamed).
bool WriteReplayFile(const std::string& path, const ReplayFile& replay, std::string* error);

// Reads a file's text; false, with the reason (naming the byte), when it is not a replay
// file this program can play.
bool ParseReplay(const std::string& text, ReplayFile* replay, std::string* error);
// Reads the file at `path` (an ordinary file, or a pipe read once) and parses it; the reason
// names the file.
bool ReadReplayFile(const std::string& path, ReplayFile* replay, std::string* error);

}  // namespace gulper

#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "episode/answer_times.h"
#include "episode/result.h"
#include "formats/json_writer.h"
#include "game/game_state.h"
#include "study/exec_stats.h"
#include "study/shard_part.h"

namespace gulper {

// The spread of one measure over a run's games. Quartiles interpolate between neighbouring
// games (the median of an even count is the mean of the middle two).
struct Spread {
    double mean = 0;
    double sd = 0;  // population standard deviation
    double min = 0;
    double q1 = 0;
    double median = 0;
    double q3 = 0;
    double max = 0;
};

Spread SpreadOf(std::vector<double> values);

// What exec_stats.h adds for an agent in another process comes with it (ExecSummary).
struct RunSummary : ExecSummary {
    std::string agent;
    std::string configPath;
    // The settings' exact bytes (empty: the game's own defaults were played).
    std::string settingsText;
    uint32_t firstSeed = 0;
    int64_t maxTicks = 0;
    int64_t games = 0;
    int64_t won = 0;
    int64_t lost = 0;
    int64_t unfinished = 0;
    int64_t decisions = 0;
    Spread score;
    Spread ticks;
    // Lost games by the catching ghost's colour name, and by the agent's state then.
    std::map<std::string, int64_t> caughtBy;
    std::map<std::string, int64_t> caughtWhile;
    // Set when the run was one part of a study played in shards.
    ShardPart shard;
};

RunSummary Summarise(const std::vector<GameResult>& results);

// The summary as gulper-sim prints it.
void PrintSummary(std::ostream& out, const RunSummary& s);
// The summary and one row per game as one JSON object.
void WriteJson(std::ostream& out, const RunSummary& s, const std::vector<GameResult>& results);
// The summary's counts and spreads as one JSON object.
std::string JsonSummary(const RunSummary& s);
// What pins a study's JSON to how it was played, each member after ",\n  ": the program's
// version, then the settings' SHA-256 and exact text.
std::string JsonVersion();
std::string JsonSettings(const std::string& settingsText, const char* indent);
// The rows of games as a JSON array's elements, each after `indent`, and the SHA-256 of the
// rows' text, each row followed by a line break: a study's file gives it after its games, so
// that a row damaged after it was written is not read as a game.
std::string WriteGameRows(std::ostream& out, const std::vector<GameResult>& games,
                          const char* indent);
// One game as a JSON object.
std::string JsonGameRow(const GameResult& r);

}  // namespace gulper

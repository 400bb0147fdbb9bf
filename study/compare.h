// Comparing runs played on the same seeds: each side's win rate, mean score and middle, each
// pair's differences with paired intervals, and a verdict in plain words that claims no more
// than its interval supports.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "episode/result.h"
#include "study/intervals.h"
#include "study/sequential.h"
#include "study/summary.h"

namespace gulper {

// What the sides differ in: the agent (one settings file) or the settings file (one agent).
enum class CompareBy { AGENTS, CONFIGS };

// One side of a comparison: its name and its games, game i of every side on the same seed.
struct Side {
    std::string label;
    std::vector<GameResult> games;
};

struct SideStats {
    std::string label;
    // A side's settings' exact bytes when the sides differ in settings files.
    std::string settingsText;
    RunSummary run;
    Interval winRate;    // 0 to 1
    Interval meanScore;  // bootstrap
    double iqmScore = 0;
};

struct PairStats {
    size_t a = 0;
    size_t b = 0;
    PairedCounts wins;
    double winDifference = 0;  // A's rate less B's, 0 to 1
    Interval winInterval;
    double scoreDifference = 0;  // A's mean less B's
    Interval scoreInterval;      // paired bootstrap over the seeds
    // Seeds where A scored more, where B did, and where they scored the same.
    int64_t aBetter = 0;
    int64_t bBetter = 0;
    int64_t equal = 0;
};

struct Comparison {
    CompareBy by = CompareBy::AGENTS;
    // The agent or settings file all sides share.
    std::string agent;
    std::string configPath;
    // The shared settings' exact bytes when the sides differ in agents.
    std::string settingsText;
    uint32_t firstSeed = 0;
    int64_t maxTicks = 0;
    int64_t games = 0;  // per side
    std::vector<SideStats> sides;
    std::vector<PairStats> pairs;  // every pair, in the order the sides were named
    std::optional<SequentialResult> sequential;
};

// The statistics of sides that all played the same seeds.
Comparison Compare(CompareBy by, const std::vector<Side>& sides);

// The plain-words verdict of a pair: on the win rate, then on the score.
std::string Verdict(const Comparison& c, const PairStats& pair);

// The comparison as gulper-sim prints it.
void PrintComparison(std::ostream& out, const Comparison& c);
// The comparison and every side's games as one JSON object.
void WriteComparisonJson(std::ostream& out, const Comparison& c, const std::vector<Side>& sides);

}  // namespace gulper

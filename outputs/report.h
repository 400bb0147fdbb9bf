#pragma once

#include <string>
#include <vector>

#include "episode/result.h"
#include "study/compare.h"
#include "study/summary.h"

namespace gulper {

// Makes the report folder (and its parents) and reads the charting library before the run, so
// that neither is found missing after the games are played. False with the reason in `error`.
bool PrepareReportDir(const std::string& dir, std::string* error);

// Writes dir/scores.png (a histogram of the scores), dir/ticks.png (the ticks each game
// lasted, by seed), dir/caught.png (where on the maze the Gulper was caught) and
// dir/index.html, one page with the summary, the same charts drawn by the inlined charting
// library and the map inline, that needs nothing from the network.
bool WriteReport(const std::string& dir, const RunSummary& summary,
                 const std::vector<GameResult>& results, std::string* error);

// Writes the comparison's page, dir/index.html, with its intervals and each side's map of
// where the Gulper was caught and the difference between two sides' maps, and the maps as
// PNG files (caught-N.png, caught-difference.png).
bool WriteComparisonReport(const std::string& dir, const Comparison& c,
                           const std::vector<Side>& sides, std::string* error);

}  // namespace gulper

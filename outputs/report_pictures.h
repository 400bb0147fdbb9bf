// The report's pictures: two charts of the run and the map of where the Gulper was caught.
#pragma once

#include <vector>

#include "episode/result.h"
#include "picture/canvas.h"
#include "study/summary.h"

namespace gulper {

// A picture for the report, filled with the page's background.
Canvas ReportCanvas(int width, int height);

// The score bands of the histogram: SCORE_BINS equal bands from the lowest score to
// ScoreBinsTop, every game in one.
constexpr int SCORE_BINS = 30;
inline double ScoreBinsTop(const RunSummary& s) {
    return s.score.max > s.score.min + 1 ? s.score.max : s.score.min + 1;
}
std::vector<int64_t> ScoreBins(const std::vector<GameResult>& results, double lo, double hi);

// Games per score band, from the lowest score to the highest.
Canvas ScoreHistogram(const std::vector<GameResult>& results, const RunSummary& s);
// The ticks each game lasted, by seed, coloured by how it ended.
Canvas TicksChart(const std::vector<GameResult>& results, const RunSummary& s);
// The maze at one pixel per game pixel, from the game's own wall layout, with every cell the
// Gulper was caught on coloured by how often, and the count written in it.
Canvas CatchMap(const std::vector<GameResult>& results);
// The same maze with every cell coloured by which of two runs was caught there more often
// (the first warm, the second cool, brighter for a larger share of its losses).
Canvas CatchDifferenceMap(const std::vector<GameResult>& first,
                          const std::vector<GameResult>& second);

}  // namespace gulper

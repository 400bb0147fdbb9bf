// The report's one HTML page: the summary, the charts (drawn in the browser by the inlined
// charting library from the games embedded in the page) and the catch map; nothing to fetch.
#pragma once

#include <string>
#include <vector>

#include "episode/result.h"
#include "study/summary.h"

namespace gulper {

// Games drawn one by one on a page at most; a larger run shows every n-th game, so that
// the page stays quick to open.
constexpr size_t MAX_GAMES_DRAWN = 20000;

// The page for the run, with the catch map's PNG bytes embedded and `chartLibrary` inlined.
std::string Page(const RunSummary& s, const std::vector<GameResult>& results,
                 const std::string& caughtPng, const std::string& chartLibrary);

// [[seed, outcome (0 won, 1 lost, 2 unfinished), score, ticks], ...] of every `step`-th game.
std::string GamesJson(const std::vector<GameResult>& results, size_t step);
// The step that keeps the games drawn within MAX_GAMES_DRAWN.
size_t DrawStep(size_t games);

}  // namespace gulper

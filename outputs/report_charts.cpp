// The report's two charts: the scores' histogram and the ticks of each game by seed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "outputs/report_pictures.h"

namespace gulper {

namespace {

const Colour BACKGROUND{16, 16, 24};
const Colour AXIS{160, 160, 170};
const Colour TEXT{230, 230, 230};
const Colour WON{80, 200, 90};
const Colour LOST{230, 70, 60};
const Colour UNFINISHED{150, 150, 150};
const Colour BAR{240, 200, 40};

std::string Figure(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", v);
    return text;
}

constexpr int PLOT_W = 500;
constexpr int PLOT_H = 260;
constexpr int LEFT = 56;
constexpr int TOP = 16;
constexpr int BOTTOM = 30;

// Frame and figures shared by both charts: x from xLo to xHi, y from 0 to yHi.
Canvas Chart(double xLo, double xHi, double yHi) {
    Canvas c = ReportCanvas(LEFT + PLOT_W + 20, TOP + PLOT_H + BOTTOM);
    c.Fill(LEFT - 1, TOP, 1, PLOT_H + 1, AXIS);
    c.Fill(LEFT - 1, TOP + PLOT_H, PLOT_W + 1, 1, AXIS);
    for (int i = 0; i <= 4; ++i) {
        const std::string y = Figure(yHi * i / 4);
        const int py = TOP + PLOT_H - PLOT_H * i / 4;
        c.Fill(LEFT - 5, py, 4, 1, AXIS);
        c.Text(SmallFigures(), LEFT - 8 - TextWidth(SmallFigures(), y, 2), py - 5, y, 2, TEXT);
        const std::string x = Figure(xLo + (xHi - xLo) * i / 4);
        const int px = LEFT + PLOT_W * i / 4;
        c.Fill(px, TOP + PLOT_H + 1, 1, 4, AXIS);
        const int w = TextWidth(SmallFigures(), x, 2);
        c.Text(SmallFigures(), std::min(px - w / 2, c.width - w - 2), TOP + PLOT_H + 10, x, 2,
               TEXT);
    }
    return c;
}

}  // namespace

std::vector<int64_t> ScoreBins(const std::vector<GameResult>& results, double lo, double hi) {
    std::vector<int64_t> bins(SCORE_BINS, 0);
    for (const GameResult& r : results) {
        const double at = hi > lo ? (r.score - lo) / (hi - lo) * SCORE_BINS : 0;
        ++bins[std::clamp(static_cast<int>(at), 0, SCORE_BINS - 1)];
    }
    return bins;
}

Canvas ReportCanvas(int width, int height) {
    Canvas c(width, height);
    c.Fill(0, 0, width, height, BACKGROUND);
    return c;
}

Canvas ScoreHistogram(const std::vector<GameResult>& results, const RunSummary& s) {
    const double lo = s.score.min;
    const double hi = ScoreBinsTop(s);
    const std::vector<int64_t> bins = ScoreBins(results, lo, hi);
    const int64_t most = std::max<int64_t>(1, *std::max_element(bins.begin(), bins.end()));
    Canvas c = Chart(lo, hi, static_cast<double>(most));
    const int barW = PLOT_W / SCORE_BINS;
    for (int i = 0; i < SCORE_BINS; ++i) {
        const int h = static_cast<int>(std::lround(static_cast<double>(PLOT_H) * bins[i] / most));
        c.Fill(LEFT + i * barW + 1, TOP + PLOT_H - h, barW - 2, h, BAR);
    }
    return c;
}

Canvas TicksChart(const std::vector<GameResult>& results, const RunSummary& s) {
    const double most = std::max(1.0, s.ticks.max);
    const double n = static_cast<double>(results.size());
    Canvas c = Chart(results.empty() ? 0 : results.front().seed,
                     results.empty() ? 0 : results.back().seed, most);
    for (size_t i = 0; i < results.size(); ++i) {
        const GameResult& r = results[i];
        const int x = LEFT + static_cast<int>(n > 1 ? (PLOT_W - 1) * i / (n - 1) : PLOT_W / 2);
        const int y = TOP + PLOT_H - static_cast<int>(std::lround(PLOT_H * r.ticks / most));
        const Colour colour = r.outcome == GameOutcome::WON    ? WON
                              : r.outcome == GameOutcome::LOST ? LOST
                                                               : UNFINISHED;
        c.Fill(x - 1, y - 1, 3, 3, colour);
    }
    return c;
}

}  // namespace gulper

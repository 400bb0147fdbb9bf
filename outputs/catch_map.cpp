// The report's maps of the maze: the cells where the Gulper was caught, and where one run was
// caught more often than another.
#include <algorithm>
#include <cmath>
#include <string>

#include "game/maze.h"
#include "outputs/report_pictures.h"

namespace gulper {

namespace {

const Colour WALL{30, 40, 210};
const Colour DOOR{255, 190, 190};

// Counts of catches per cell, column by column as the game counts cells.
std::vector<int64_t> CatchCounts(const std::vector<GameResult>& results) {
    std::vector<int64_t> counts(BOARD_CELLS, 0);
    for (const GameResult& r : results) {
        if (r.outcome == GameOutcome::LOST && r.caughtAt.x >= 0 && r.caughtAt.x < BOARD_COLUMNS &&
            r.caughtAt.y >= 0 && r.caughtAt.y < BOARD_ROWS) {
            ++counts[static_cast<size_t>(r.caughtAt.x * BOARD_ROWS + r.caughtAt.y)];
        }
    }
    return counts;
}

// From dark red through orange to pale yellow as t goes from 0 to 1.
Colour Heat(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {static_cast<uint8_t>(120 + 135 * std::min(1.0, t * 2)),
            static_cast<uint8_t>(20 + 220 * t),
            static_cast<uint8_t>(20 + 120 * std::max(0.0, t * 2 - 1))};
}

}  // namespace

Canvas CatchMap(const std::vector<GameResult>& results) {
    Canvas c = ReportCanvas(BOARD_WIDTH, BOARD_HEIGHT);
    const std::vector<int64_t> counts = CatchCounts(results);
    const int64_t most = std::max<int64_t>(1, *std::max_element(counts.begin(), counts.end()));
    for (int col = 0; col < BOARD_COLUMNS; ++col) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const int x = col * CELL_SIZE;
            const int y = (BOARD_ROWS - 1 - row) * CELL_SIZE;
            const int32_t code = INITIAL_MAZE[GridIndex(col, row)];
            const int64_t n = counts[static_cast<size_t>(col * BOARD_ROWS + row)];
            if (code == CELL_WALL) {
                c.Fill(x + 2, y + 2, CELL_SIZE - 4, CELL_SIZE - 4, WALL);
            } else if (code == CELL_DOOR) {
                c.Fill(x, y + 8, CELL_SIZE, 4, DOOR);
            } else if (n > 0) {
                c.Fill(x + 1, y + 1, CELL_SIZE - 2, CELL_SIZE - 2,
                       Heat(std::sqrt(static_cast<double>(n) / most)));
                const std::string figure = std::to_string(n);
                c.Text(SmallFigures(), x + (CELL_SIZE - TextWidth(SmallFigures(), figure, 1)) / 2,
                       y + 7, figure, 1, Colour{0, 0, 0});
            }
        }
    }
    return c;
}

Canvas CatchDifferenceMap(const std::vector<GameResult>& first,
                          const std::vector<GameResult>& second) {
    Canvas c = ReportCanvas(BOARD_WIDTH, BOARD_HEIGHT);
    const std::vector<int64_t> a = CatchCounts(first), b = CatchCounts(second);
    int64_t lostA = 0, lostB = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        lostA += a[i];
        lostB += b[i];
    }
    // Shares of each run's losses, so that runs with different numbers of losses compare.
    std::vector<double> difference(a.size());
    double most = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        difference[i] = (lostA ? double(a[i]) / lostA : 0) - (lostB ? double(b[i]) / lostB : 0);
        most = std::max(most, std::abs(difference[i]));
    }
    for (int col = 0; col < BOARD_COLUMNS; ++col) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const int x = col * CELL_SIZE;
            const int y = (BOARD_ROWS - 1 - row) * CELL_SIZE;
            const int32_t code = INITIAL_MAZE[GridIndex(col, row)];
            const double d = difference[static_cast<size_t>(col * BOARD_ROWS + row)];
            if (code == CELL_WALL) {
                c.Fill(x + 2, y + 2, CELL_SIZE - 4, CELL_SIZE - 4, WALL);
            } else if (code == CELL_DOOR) {
                c.Fill(x, y + 8, CELL_SIZE, 4, DOOR);
            } else if (d != 0 && most > 0) {
                const double t = 0.25 + 0.75 * std::sqrt(std::abs(d) / most);
                const Colour colour =
                    d > 0 ? Colour{static_cast<uint8_t>(255 * t), static_cast<uint8_t>(140 * t), 0}
                          : Colour{0, static_cast<uint8_t>(220 * t), static_cast<uint8_t>(170 * t)};
                c.Fill(x + 1, y + 1, CELL_SIZE - 2, CELL_SIZE - 2, colour);
            }
        }
    }
    return c;
}

}  // namespace gulper

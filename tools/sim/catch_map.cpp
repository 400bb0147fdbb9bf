// The report's map of the maze with the cells where the Gulper was caught.
#include <algorithm>
#include <cmath>
#include <string>

#include "game/maze.h"
#include "tools/sim/report_pictures.h"

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

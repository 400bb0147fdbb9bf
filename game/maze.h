// The maze: its size and geometry, the cell codes, the live board and its food count.
#pragma once

#include <array>
#include <cstdint>

#include "game/grid_point.h"

constexpr int BOARD_COLUMNS = 19;
constexpr int BOARD_ROWS = 22;
constexpr int BOARD_CELLS = BOARD_COLUMNS * BOARD_ROWS;
constexpr int CELL_SIZE = 20;
// A cell's centre lies this far from its lower-left corner, in x and in y.
constexpr int CELL_CENTRE_OFFSET = CELL_SIZE / 2;
// The board in pixels, and the window: the board over a strip that holds the score line.
constexpr int BOARD_WIDTH = BOARD_COLUMNS * CELL_SIZE;
constexpr int BOARD_HEIGHT = BOARD_ROWS * CELL_SIZE;
constexpr int SCORE_STRIP_HEIGHT = 20;
constexpr int WINDOW_WIDTH = BOARD_WIDTH;
constexpr int WINDOW_HEIGHT = BOARD_HEIGHT + SCORE_STRIP_HEIGHT;
// A sprite that leaves the tunnel row on one side comes back this many pixels over, on the
// other.
constexpr int TUNNEL_JUMP = (BOARD_COLUMNS - 2) * CELL_SIZE;

// Codes stored in the maze grid.
enum : int32_t {
    CELL_OUTSIDE = 0,
    CELL_WALL = 1,
    CELL_DOOR = 2,
    CELL_TUNNEL = 3,
    CELL_DOT = 4,
    CELL_PILL = 5,
    CELL_EMPTY = 9,
};

// The board, top row first: cell (c, v) lives at GridIndex(c, v).
using MazeCells = std::array<int32_t, BOARD_CELLS>;

extern const MazeCells INITIAL_MAZE;

// The live board and the number of dots and pills still on it, of this thread's game.
extern thread_local MazeCells MazeGrid;
extern thread_local int32_t foodLeft;

inline int BoardColumns() {
    return BOARD_COLUMNS;
}
inline int BoardRows() {
    return BOARD_ROWS;
}

inline int GridIndex(int c, int v) {
    return (BOARD_ROWS - 1 - v) * BOARD_COLUMNS + c;
}
inline GridPoint CellCentre(int c, int v) {
    return GridPoint(CELL_SIZE * c + CELL_CENTRE_OFFSET, CELL_SIZE * v + CELL_CENTRE_OFFSET);
}
// The cell whose centre is at or below and left of a pixel position.
inline GridPoint CellOfPixel(const GridPoint& pixel) {
    return GridPoint((pixel.x - CELL_CENTRE_OFFSET) / CELL_SIZE,
                     (pixel.y - CELL_CENTRE_OFFSET) / CELL_SIZE);
}
// Whether a pixel position is exactly on a cell centre.
inline bool IsCellCentre(const GridPoint& pixel) {
    return (pixel.x - CELL_CENTRE_OFFSET) % CELL_SIZE == 0 &&
           (pixel.y - CELL_CENTRE_OFFSET) % CELL_SIZE == 0;
}
// Codes above the door are corridor, tunnel or food: a sprite may enter them.
inline bool IsOpenCell(int32_t code) {
    return code > CELL_DOOR;
}

// Sets foodLeft to the number of dots and pills on the live board.
void CountFood();
// Puts every dot and pill back and recounts the food.
void ResetMaze();

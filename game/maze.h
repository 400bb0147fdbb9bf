#pragma once

#include <array>
#include <cstdint>

#include "game/grid_point.h"

constexpr int BOARD_COLUMNS = 19;
constexpr int BOARD_ROWS = 22;
constexpr int BOARD_CELLS = BOARD_COLUMNS * BOARD_ROWS;
constexpr int CELL_SIZE = 20;

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

// The live board and the number of dots and pills still on it.
extern MazeCells MazeGrid;
extern int32_t foodLeft;

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
    return GridPoint(CELL_SIZE * c + CELL_SIZE / 2, CELL_SIZE * v + CELL_SIZE / 2);
}
// Codes above the door are corridor, tunnel or food: a sprite may enter them.
inline bool IsOpenCell(int32_t code) {
    return code > CELL_DOOR;
}

// Sets foodLeft to the number of dots and pills on the live board.
void CountFood();
// Puts every dot and pill back and recounts the food.
void ResetMaze();

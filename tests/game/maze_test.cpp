#include <gtest/gtest.h>

#include <map>

#include "game/maze.h"

namespace {

int CodeAt(const MazeCells& grid, int c, int v) {
    return grid[GridIndex(c, v)];
}

int OpenNeighbours(int c, int v) {
    int n = 0;
    const int dc[] = {-1, 1, 0, 0};
    const int dv[] = {0, 0, -1, 1};
    for (int k = 0; k < 4; ++k) {
        const int nc = c + dc[k];
        const int nv = v + dv[k];
        if (nc >= 0 && nc < BOARD_COLUMNS && nv >= 0 && nv < BOARD_ROWS &&
            IsOpenCell(CodeAt(INITIAL_MAZE, nc, nv))) {
            ++n;
        }
    }
    return n;
}

TEST(Maze, LayoutHoldsTheCountedCells) {
    std::map<int, int> counts;
    for (int32_t code : INITIAL_MAZE) {
        ++counts[code];
    }
    EXPECT_EQ(counts[CELL_WALL], 213);
    EXPECT_EQ(counts[CELL_DOT], 153);
    EXPECT_EQ(counts[CELL_PILL], 4);
    EXPECT_EQ(counts[CELL_EMPTY], 33);
    EXPECT_EQ(counts[CELL_OUTSIDE], 12);
    EXPECT_EQ(counts[CELL_TUNNEL], 2);
    EXPECT_EQ(counts[CELL_DOOR], 1);
    EXPECT_EQ(counts.size(), 7u);
}

TEST(Maze, LandmarksSitWhereTheGameExpectsThem) {
    for (auto [c, v] : {std::pair{1, 19}, {17, 19}, {1, 5}, {17, 5}}) {
        EXPECT_EQ(CodeAt(INITIAL_MAZE, c, v), CELL_PILL) << c << "," << v;
    }
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 9, 12), CELL_DOOR);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 9, 11), CELL_EMPTY);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 8, 11), CELL_WALL);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 10, 11), CELL_WALL);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 9, 10), CELL_WALL);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 9, 13), CELL_EMPTY);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 0, 11), CELL_TUNNEL);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 18, 11), CELL_TUNNEL);
    EXPECT_EQ(CodeAt(INITIAL_MAZE, 9, 9), CELL_EMPTY);
    for (int c : {0, 1, 2, 16, 17, 18}) {
        EXPECT_EQ(CodeAt(INITIAL_MAZE, c, 13), CELL_OUTSIDE);
        EXPECT_EQ(CodeAt(INITIAL_MAZE, c, 9), CELL_OUTSIDE);
    }
}

TEST(Maze, BorderIsWallOrTunnelAndOnlyTheHouseIsADeadEnd) {
    for (int c = 0; c < BOARD_COLUMNS; ++c) {
        for (int v = 0; v < BOARD_ROWS; ++v) {
            const int code = CodeAt(INITIAL_MAZE, c, v);
            const bool border = c == 0 || c == BOARD_COLUMNS - 1 || v == 0 || v == BOARD_ROWS - 1;
            if (border) {
                EXPECT_TRUE(code == CELL_WALL || code == CELL_TUNNEL || code == CELL_OUTSIDE)
                    << c << "," << v;
            }
            if (IsOpenCell(code) && code != CELL_TUNNEL && !(c == 9 && v == 11)) {
                EXPECT_GE(OpenNeighbours(c, v), 2) << c << "," << v;
            }
        }
    }
    EXPECT_EQ(OpenNeighbours(9, 11), 0);
}

TEST(Maze, CoordinatesMapBetweenCellsIndicesAndPixels) {
    EXPECT_EQ(GridIndex(0, 21), 0);
    EXPECT_EQ(GridIndex(18, 0), 417);
    EXPECT_EQ(GridIndex(9, 11), 10 * 19 + 9);
    EXPECT_EQ(CellCentre(9, 9), GridPoint(190, 190));
    EXPECT_EQ(CellCentre(9, 13), GridPoint(190, 270));
    EXPECT_EQ(BoardColumns(), 19);
    EXPECT_EQ(BoardRows(), 22);
}

TEST(Maze, NewBoardRestoresFoodWhateverWasEaten) {
    ResetMaze();
    EXPECT_EQ(foodLeft, 157);
    MazeGrid[GridIndex(1, 19)] = CELL_EMPTY;
    MazeGrid[GridIndex(1, 20)] = CELL_EMPTY;
    CountFood();
    EXPECT_EQ(foodLeft, 155);
    ResetMaze();
    EXPECT_EQ(foodLeft, 157);
    EXPECT_EQ(MazeGrid, INITIAL_MAZE);
}

}  // namespace

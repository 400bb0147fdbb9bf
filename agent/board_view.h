// The board as CellContent shows it, for a search that asks about many cells while nothing
// moves: the ghosts' and the fruit's cells are taken once, at the start.
#pragma once

#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "game/grid_point.h"
#include "game/maze.h"

// What stands on the board now. A ghost or the fruit hides the maze code of its cell, so such
// a cell is neither a wall nor food to the agent.
class BoardView {
  public:
    BoardView() {
        ForEachGhost(
            [this](const Ghost& ghost, GhostColour) { covered[count++] = ghost.CellPosition(); },
            HOUSE_ORDER);
        if (fruitVisible) {
            covered[count++] = CellOfPixel(FRUIT_POSITION);
        }
    }
    // CellContent(c) == CELL_WALL, for a cell on the board.
    bool IsWall(const GridPoint& c) const {
        return MazeGrid[GridIndex(c.x, c.y)] == CELL_WALL && !IsCovered(c);
    }
    // CellContent(c) is CELL_DOT or CELL_PILL, for a cell on the board.
    bool IsFood(const GridPoint& c) const {
        const int32_t code = MazeGrid[GridIndex(c.x, c.y)];
        return (code == CELL_DOT || code == CELL_PILL) && !IsCovered(c);
    }

  private:
    bool IsCovered(const GridPoint& c) const {
        for (int i = 0; i < count; ++i) {
            if (covered[i] == c) {
                return true;
            }
        }
        return false;
    }
    GridPoint covered[GHOST_COLOURS + 1];
    int count = 0;
};

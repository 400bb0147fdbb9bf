// How the sprites move through the maze: the open directions, the step, and each ghost's choice
// of direction, as tables of (board state -> expected).
#include <gtest/gtest.h>

#include "tests/game/board_state.h"

namespace {

const int32_t LR = DIR_LEFT | DIR_RIGHT, ALL = LR | DIR_UP | DIR_DOWN;

TEST_F(BoardState, SpritesAreOfferedOpenDirectionsOnCentresAndStepOnePixel) {
    const struct {
        int x, y;
        int32_t direction, ghostId, avail;
        int steps;
        bool moved;
        GridPoint end, cell;
    } rows[] = {
        {190, 190, DIR_LEFT, 0, LR, 1, true, {189, 190}, {8, 9}},
        {190, 190, DIR_UP, 0, LR, 1, false, {190, 190}, {9, 9}},  // walls above and below
        {191, 190, DIR_RIGHT, 0, 0, 1, true, {192, 190}, {9, 9}},
        {190, 191, DIR_UP, 0, 0, 1, true, {190, 192}, {9, 9}},       // no walls between centres
        {190, 270, DIR_DOWN, 0, LR, 5, false, {190, 270}, {9, 13}},  // the door: never offered
        {190, 270, DIR_DOWN, 2, LR, 1, true, {190, 269}, {9, 12}},   // nor closed to ghosts
        {190, 270, DIR_LEFT, 1, DIR_LEFT, 1, true, {189, 270}, {8, 13}},
        {90, 230, DIR_DOWN, 0, ALL, 1, true, {90, 229}, {4, 10}},  // a crossing
        {90, 230, DIR_LEFT, 3, ALL & ~DIR_RIGHT, 1, true, {89, 230}, {3, 11}},
        {90, 230, DIR_UP, 3, ALL & ~DIR_DOWN, 1, true, {90, 231}, {4, 11}},
        {90, 230, DIR_RIGHT, 4, ALL & ~DIR_LEFT, 1, true, {91, 230}, {4, 11}},
        {90, 230, DIR_DOWN, 4, ALL & ~DIR_UP, 1, true, {90, 229}, {4, 10}},
        {30, 230, DIR_LEFT, 0, LR, 1, true, {369, 230}, {17, 11}},  // the tunnel, both ways
        {350, 230, DIR_RIGHT, 0, LR, 1, true, {11, 230}, {0, 11}},
        {350, 230, DIR_RIGHT, 0, LR, 20, true, {30, 230}, {1, 11}},
        {190, 190, 0, 0, LR, 1, true, {190, 190}, {9, 9}},  // no direction: stands still
    };
    for (const auto& row : rows) {
        Sprite s;
        s.position = GridPoint(row.x, row.y);
        s.direction = row.direction;
        s.ghostId = row.ghostId;
        EXPECT_EQ(s.AvailableDirections(MazeGrid), row.avail) << &row - rows;
        bool moved = false;
        for (int i = 0; i < row.steps; ++i) {
            moved = s.Step(MazeGrid);
        }
        EXPECT_EQ(moved, row.moved) << &row - rows;
        EXPECT_EQ(s.position, row.end) << &row - rows;
        EXPECT_EQ(s.CellPosition(), row.cell) << &row - rows;
    }
}

TEST_F(BoardState, GulperEatsWhereItStandsOnACentre) {
    const struct {
        GridPoint at;
        int32_t direction;
        bool moved;
        int32_t score, food, blue;
        GridPoint cell;
        int32_t code;
    } rows[] = {
        {CellCentre(1, 20), DIR_UP, false, 10, 156, 0, {1, 20}, CELL_EMPTY},     // against a wall
        {CellCentre(1, 19), DIR_DOWN, true, 110, 155, 25, {1, 19}, CELL_EMPTY},  // a pill
        {GridPoint(49, 410), DIR_RIGHT, true, 110, 155, 25, {2, 20}, CELL_DOT},  // off centre
    };
    for (const auto& row : rows) {
        player.position = row.at;
        player.direction = row.direction;
        EXPECT_EQ(player.MoveAndEat(MazeGrid), row.moved);
        EXPECT_EQ(player.Score(), row.score);
        EXPECT_EQ(foodLeft, row.food);
        EXPECT_EQ(blueCountdown, row.blue);
        EXPECT_EQ(MazeGrid[GridIndex(row.cell.x, row.cell.y)], row.code);
    }
}

enum Mode { SCATTER, ATTACK, BLUE };

// One move of a ghost of the given colour, whatever the draws: seeds 1 to 20 are tried.
TEST_F(BoardState, EachGhostChoosesItsDirectionByColourAndMode) {
    const struct {
        int colour;
        Mode mode;
        GridPoint cell;
        int32_t direction;
        GridPoint playerCell;
        int32_t expected;
    } rows[] = {
        {GHOST_RED, SCATTER, {9, 13}, DIR_UP, {9, 9}, DIR_LEFT},        // above the door
        {GHOST_TURQUOISE, SCATTER, {4, 7}, DIR_RIGHT, {9, 9}, DIR_UP},  // toward (9, 13)
        {GHOST_GREEN, SCATTER, {9, 13}, DIR_RIGHT, {9, 9}, DIR_RIGHT},  // both turns end there
        // The player straight behind: the chase is the reverse, so the turn rule decides.
        {GHOST_RED, ATTACK, {4, 11}, DIR_UP, {4, 8}, DIR_RIGHT},
        {GHOST_GREEN, ATTACK, {4, 11}, DIR_UP, {4, 8}, DIR_LEFT},
        {GHOST_RED, ATTACK, {4, 11}, DIR_LEFT, {9, 11}, DIR_UP},
        {GHOST_GREEN, ATTACK, {4, 11}, DIR_LEFT, {9, 11}, DIR_DOWN},
        {GHOST_ORANGE, ATTACK, {2, 20}, DIR_RIGHT, {9, 9}, DIR_RIGHT},  // a plain corridor
        {GHOST_RED, BLUE, {2, 20}, DIR_RIGHT, {9, 9}, DIR_RIGHT},
        {GHOST_GREEN, BLUE, {2, 20}, DIR_LEFT, {9, 9}, DIR_LEFT},
    };
    for (const auto& row : rows) {
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            SeedRandom(seed);
            Ghost* g = ghosts[row.colour];
            g->position = CellCentre(row.cell.x, row.cell.y);
            g->direction = row.direction;
            g->SetBlue(row.mode == BLUE);
            SetAttackMode(row.mode == ATTACK);
            player.position = CellCentre(row.playerCell.x, row.playerCell.y);
            EXPECT_TRUE(g->Update(MazeGrid));
            EXPECT_EQ(g->direction, row.expected) << &row - rows << " seed " << seed;
        }
    }
}

TEST_F(BoardState, EatenGhostWaitsItsTicksThenComesOutWithoutMoving) {
    Ghost* g = orangeGhost;
    for (int countdown : {3, 1}) {
        g->SetReleased(false);
        g->SetReleaseCountdown(countdown);
        for (int i = 1; i < countdown; ++i) {
            EXPECT_FALSE(g->Update(MazeGrid));
        }
        EXPECT_TRUE(g->Update(MazeGrid));
        EXPECT_TRUE(g->IsReleased() && g->position == HOUSE_START && g->direction == DIR_UP);
    }
    g->Update(MazeGrid);
    EXPECT_EQ(g->position, GridPoint(190, 232));
}

}  // namespace

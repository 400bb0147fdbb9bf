#include <gtest/gtest.h>

#include <vector>

#include "game/game_state.h"
#include "game/sprite.h"
#include "tests/game/test_player.h"

namespace {

class SpriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        ResetMaze();
    }
    Sprite At(int x, int y, int32_t direction, int32_t ghostId = 0) {
        Sprite s;
        s.position = GridPoint(x, y);
        s.direction = direction;
        s.ghostId = ghostId;
        return s;
    }
};

TEST_F(SpriteTest, DirectionsReverseInPairs) {
    EXPECT_EQ(ReverseDirection(DIR_LEFT), DIR_RIGHT);
    EXPECT_EQ(ReverseDirection(DIR_RIGHT), DIR_LEFT);
    EXPECT_EQ(ReverseDirection(DIR_UP), DIR_DOWN);
    EXPECT_EQ(ReverseDirection(DIR_DOWN), DIR_UP);
}

TEST_F(SpriteTest, OpenDirectionsOnlyOnACentre) {
    // (9, 9): corridor left and right, wall above and below.
    EXPECT_EQ(At(190, 190, DIR_LEFT).AvailableDirections(MazeGrid), DIR_LEFT | DIR_RIGHT);
    EXPECT_EQ(At(191, 190, DIR_LEFT).AvailableDirections(MazeGrid), 0);
    EXPECT_EQ(At(190, 191, DIR_LEFT).AvailableDirections(MazeGrid), 0);
    // (4, 11): a crossing of four corridors.
    EXPECT_EQ(At(90, 230, DIR_LEFT).AvailableDirections(MazeGrid),
              DIR_LEFT | DIR_RIGHT | DIR_UP | DIR_DOWN);
    // The door above (9, 13) is never offered, to anyone.
    EXPECT_EQ(At(190, 270, DIR_LEFT).AvailableDirections(MazeGrid), DIR_LEFT | DIR_RIGHT);
    EXPECT_EQ(At(190, 270, DIR_LEFT, 1).AvailableDirections(MazeGrid), DIR_LEFT);
}

TEST_F(SpriteTest, GhostsAreNeverOfferedTheirReverseThePlayerIs) {
    for (int32_t d : {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN}) {
        EXPECT_EQ(At(90, 230, d, 3).AvailableDirections(MazeGrid) & ReverseDirection(d), 0);
        EXPECT_NE(At(90, 230, d, 0).AvailableDirections(MazeGrid) & ReverseDirection(d), 0);
    }
}

TEST_F(SpriteTest, StepMovesOnePixelAndRunsOnBetweenCentres) {
    Sprite s = At(191, 190, DIR_RIGHT);
    EXPECT_TRUE(s.Step(MazeGrid));
    EXPECT_EQ(s.position, GridPoint(192, 190));
    // Between centres walls are not looked at.
    s = At(191, 190, DIR_UP);
    EXPECT_TRUE(s.Step(MazeGrid));
    EXPECT_EQ(s.position, GridPoint(191, 191));
}

TEST_F(SpriteTest, WallStopsTheSpriteOnACentre) {
    Sprite s = At(190, 190, DIR_UP);
    EXPECT_FALSE(s.Step(MazeGrid));
    EXPECT_EQ(s.position, GridPoint(190, 190));
    EXPECT_EQ(s.slowCounter, 0);
}

TEST_F(SpriteTest, PlayerNeverPassesTheDoorAGhostDoes) {
    Sprite player = At(190, 270, DIR_DOWN);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(player.Step(MazeGrid));
    }
    EXPECT_EQ(player.position, GridPoint(190, 270));
    Sprite ghost = At(190, 270, DIR_DOWN, 2);
    EXPECT_TRUE(ghost.Step(MazeGrid));
    EXPECT_EQ(ghost.position, GridPoint(190, 269));
}

TEST_F(SpriteTest, TunnelWrapsBothWays) {
    Sprite left = At(30, 230, DIR_LEFT);
    EXPECT_TRUE(left.Step(MazeGrid));
    EXPECT_EQ(left.position, GridPoint(369, 230));
    EXPECT_EQ(left.CellPosition(), GridPoint(17, 11));
    Sprite right = At(350, 230, DIR_RIGHT);
    EXPECT_TRUE(right.Step(MazeGrid));
    EXPECT_EQ(right.position, GridPoint(11, 230));
    EXPECT_EQ(right.CellPosition(), GridPoint(0, 11));
    // Running on from the mouth reaches the next cell's centre, never the mouth's.
    for (int i = 0; i < 19; ++i) {
        right.Step(MazeGrid);
    }
    EXPECT_EQ(right.position, GridPoint(30, 230));
}

TEST_F(SpriteTest, CellPositionTruncatesTowardZero) {
    EXPECT_EQ(At(190, 190, 0).CellPosition(), GridPoint(9, 9));
    // Moving right or up keeps the cell just left; moving left or down takes the next.
    EXPECT_EQ(At(209, 190, 0).CellPosition(), GridPoint(9, 9));
    EXPECT_EQ(At(189, 190, 0).CellPosition(), GridPoint(8, 9));
    EXPECT_EQ(At(190, 189, 0).CellPosition(), GridPoint(9, 8));
    EXPECT_EQ(At(11, 230, 0).CellPosition(), GridPoint(0, 11));
}

TEST_F(SpriteTest, SlowDownGateMovesEveryNthCall) {
    Sprite s = At(191, 190, DIR_RIGHT);
    s.SetSlowDown(3);
    std::vector<bool> results;
    for (int i = 0; i < 6; ++i) {
        results.push_back(s.Step(MazeGrid));
    }
    EXPECT_EQ(results, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(s.position, GridPoint(193, 190));
    // A blocked sprite has used its turn too.
    Sprite blocked = At(190, 190, DIR_UP);
    blocked.SetSlowDown(2);
    EXPECT_FALSE(blocked.Step(MazeGrid));
    EXPECT_FALSE(blocked.Step(MazeGrid));
    EXPECT_EQ(blocked.slowCounter, 0);
}

TEST_F(SpriteTest, NoDirectionStandsStillButStepSucceeds) {
    for (int32_t d : {0, 3, 16}) {
        Sprite s = At(190, 190, d);
        EXPECT_TRUE(s.Step(MazeGrid));
        EXPECT_EQ(s.position, GridPoint(190, 190));
        EXPECT_NE(s.AvailableDirections(MazeGrid), 0);
    }
}

TEST_F(SpriteTest, PlayerStartsAndResetsAtTheStartFacingLeft) {
    ScriptedPlayer p;
    EXPECT_EQ(p.position, PLAYER_START);
    EXPECT_EQ(p.direction, DIR_LEFT);
    EXPECT_EQ(p.ghostId, 0);
    EXPECT_EQ(p.Score(), 0);
    p.AddScore(30);
    p.position = GridPoint(30, 30);
    p.direction = DIR_UP;
    p.SetSlowDown(2);
    p.slowCounter = 1;
    p.ResetPlayer();
    EXPECT_EQ(p.position, PLAYER_START);
    EXPECT_EQ(p.direction, DIR_LEFT);
    EXPECT_EQ(p.Score(), 0);
    EXPECT_EQ(p.slowDown, 2);
    EXPECT_EQ(p.slowCounter, 1);
}

TEST_F(SpriteTest, PlayerEatsOnArrivalAtTheCentre) {
    ScriptedPlayer p;
    dot_value = 10;
    powerpill_value = 50;
    p.position = CellCentre(1, 20);
    p.direction = DIR_UP;  // blocked by the wall: it eats all the same
    EXPECT_FALSE(p.MoveAndEat(MazeGrid));
    EXPECT_EQ(MazeGrid[GridIndex(1, 20)], CELL_EMPTY);
    EXPECT_EQ(p.Score(), 10);
    EXPECT_EQ(foodLeft, 156);
    p.position = CellCentre(1, 19);
    p.direction = DIR_DOWN;
    EXPECT_TRUE(p.MoveAndEat(MazeGrid));
    EXPECT_EQ(MazeGrid[GridIndex(1, 19)], CELL_EMPTY);
    EXPECT_EQ(p.Score(), 60);
    EXPECT_EQ(foodLeft, 155);
    EXPECT_EQ(blueCountdown, n_moves_blue_ghosts);
    // Between centres nothing is eaten.
    p.position = GridPoint(CellCentre(2, 20).x - 1, 410);
    p.direction = DIR_RIGHT;
    p.MoveAndEat(MazeGrid);
    EXPECT_EQ(MazeGrid[GridIndex(2, 20)], CELL_DOT);
}

TEST_F(SpriteTest, StateAccessorsReadTheSharedState) {
    ScriptedPlayer p;
    EXPECT_EQ(PlayerSpritePtr(), nullptr);
    SetPlayerAgent(&p);
    EXPECT_EQ(PlayerSpritePtr(), &p);
    SetAttackMode(true);
    EXPECT_FALSE(IsScatterMode());
    SetScatterMode(true);
    EXPECT_TRUE(IsScatterMode());
    SetScatterMode(false);
    EXPECT_TRUE(attackMode);
    fruitVisible = true;
    EXPECT_TRUE(FruitPresent());
    dot_value = 7;
    powerpill_value = 70;
    EXPECT_EQ(DotValue(), 7);
    EXPECT_EQ(PowerPillValue(), 70);
}

}  // namespace

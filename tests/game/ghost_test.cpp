#include <gtest/gtest.h>

#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"
#include "game/random.h"
#include "tests/game/test_player.h"

namespace {

class GhostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        ResetMaze();
        SeedRandom(7);
        SetPlayerAgent(&player);
    }
    ScriptedPlayer player;
};

TEST(ChaseDirection, LargerAxisWinsWithTiesSettledPerQuadrant) {
    EXPECT_EQ(ChaseDirection(3, 5), DIR_UP);
    EXPECT_EQ(ChaseDirection(5, 3), DIR_RIGHT);
    EXPECT_EQ(ChaseDirection(4, 4), DIR_RIGHT);
    EXPECT_EQ(ChaseDirection(5, -3), DIR_RIGHT);
    EXPECT_EQ(ChaseDirection(4, -4), DIR_DOWN);
    EXPECT_EQ(ChaseDirection(3, -5), DIR_DOWN);
    EXPECT_EQ(ChaseDirection(-3, 5), DIR_UP);
    EXPECT_EQ(ChaseDirection(-4, 4), DIR_LEFT);
    EXPECT_EQ(ChaseDirection(-5, 3), DIR_LEFT);
    EXPECT_EQ(ChaseDirection(-5, -3), DIR_LEFT);
    EXPECT_EQ(ChaseDirection(-3, -5), DIR_DOWN);
    EXPECT_EQ(ChaseDirection(-4, -4), DIR_DOWN);
    EXPECT_EQ(ChaseDirection(0, 0), DIR_DOWN);
    EXPECT_EQ(ChaseDirection(0, 7), DIR_UP);
    EXPECT_EQ(ChaseDirection(-7, 0), DIR_LEFT);
    EXPECT_EQ(ChaseDirection(7, 0), DIR_RIGHT);
    EXPECT_EQ(ChaseDirection(0, -7), DIR_DOWN);
}

TEST(Turns, GoRoundTheCompass) {
    EXPECT_EQ(TurnClockwise(DIR_LEFT), DIR_UP);
    EXPECT_EQ(TurnClockwise(DIR_UP), DIR_RIGHT);
    EXPECT_EQ(TurnClockwise(DIR_RIGHT), DIR_DOWN);
    EXPECT_EQ(TurnClockwise(DIR_DOWN), DIR_LEFT);
    EXPECT_EQ(TurnAnticlockwise(DIR_LEFT), DIR_DOWN);
    EXPECT_EQ(TurnAnticlockwise(DIR_DOWN), DIR_RIGHT);
    EXPECT_EQ(TurnAnticlockwise(DIR_RIGHT), DIR_UP);
    EXPECT_EQ(TurnAnticlockwise(DIR_UP), DIR_LEFT);
}

TEST(Random, FollowsTheLinearCongruentialRecurrence) {
    SeedRandom(1);
    // state 1 -> 2745024 -> ...; n is bits 16 to 30 of each new state.
    uint32_t state = 1;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        ASSERT_EQ(RandomInt(), static_cast<int32_t>((state >> 16) & 0x7FFF));
    }
    SeedRandom(1);
    EXPECT_EQ(RandomInt(), 41);
    EXPECT_EQ(RandomInt(), 18467);
    EXPECT_EQ(RandomInt(), 6334);
    EXPECT_EQ(RandomDrawCount(), 3u);
}

TEST_F(GhostTest, ColoursHaveTheirIdsAndStartInTheHouse) {
    RedGhost red;
    GreenGhost green;
    OrangeGhost orange;
    TurquoiseGhost turquoise;
    const Ghost* ghosts[] = {&red, &green, &orange, &turquoise};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ghosts[i]->ghostId, i + 1);
        EXPECT_EQ(ghosts[i]->position, HOUSE_START);
        EXPECT_EQ(ghosts[i]->direction, DIR_UP);
        EXPECT_TRUE(ghosts[i]->IsReleased());
        EXPECT_FALSE(ghosts[i]->IsBlue());
    }
}

TEST_F(GhostTest, LeavingTheHouseTakesNineteenAndTwentyMovesWithoutDraws) {
    for (bool attack : {false, true}) {
        SetAttackMode(attack);
        RedGhost red;
        const uint64_t draws = RandomDrawCount();
        for (int i = 0; i < 19; ++i) {
            EXPECT_TRUE(red.Update(MazeGrid));
        }
        EXPECT_EQ(red.position, GridPoint(190, 250));
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(red.Update(MazeGrid));
        }
        EXPECT_EQ(red.position, GridPoint(190, 270));
        EXPECT_EQ(red.direction, DIR_UP);
        // The door's only offer is up. Scatter needs no draw for it; a chaser draws once on
        // the door's centre, and either way goes up.
        EXPECT_EQ(RandomDrawCount(), draws + (attack ? 1 : 0));
    }
}

TEST_F(GhostTest, ScatterTurnsLeftOnTheCellAboveTheDoor) {
    TurquoiseGhost g;
    g.position = SCATTER_TARGET;
    g.direction = DIR_UP;
    EXPECT_TRUE(g.ScatterMove(MazeGrid));
    EXPECT_EQ(g.direction, DIR_LEFT);
    EXPECT_EQ(g.position, GridPoint(189, 270));
}

TEST_F(GhostTest, ScatterHeadsForTheDoorByTheStraightRule) {
    // On (4, 7), below and left of the target: dx = 100, dy = 120, up first.
    TurquoiseGhost g;
    g.position = CellCentre(4, 7);
    g.direction = DIR_RIGHT;
    g.ScatterMove(MazeGrid);
    EXPECT_EQ(g.direction, DIR_UP);
    // Arriving on the target from the left: the first choice (down) is the door and the
    // second (left) the reverse, so a turn is drawn; both ways end at the only exit, right.
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        SeedRandom(seed);
        g.position = SCATTER_TARGET;
        g.direction = DIR_RIGHT;
        g.ScatterMove(MazeGrid);
        EXPECT_EQ(g.direction, DIR_RIGHT);
        EXPECT_EQ(RandomDrawCount(), 1u);
    }
}

TEST_F(GhostTest, RedTurnsRightAndGreenLeftWhenNotChasing) {
    // (4, 11) is a four-way crossing; the player straight behind makes the chase direction
    // the reverse, which is never open, so every draw takes the turn rule.
    player.position = CellCentre(4, 8);
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        RedGhost red;
        red.position = CellCentre(4, 11);
        red.direction = DIR_UP;
        red.Move(MazeGrid);
        EXPECT_EQ(red.direction, DIR_RIGHT);
        GreenGhost green;
        green.position = CellCentre(4, 11);
        green.direction = DIR_UP;
        green.Move(MazeGrid);
        EXPECT_EQ(green.direction, DIR_LEFT);
    }
    // Moving left at (4, 11): red tries up first, green down.
    RedGhost red;
    red.position = CellCentre(4, 11);
    red.direction = DIR_LEFT;
    player.position = CellCentre(9, 11);
    red.Move(MazeGrid);
    EXPECT_EQ(red.direction, DIR_UP);
    GreenGhost green;
    green.position = CellCentre(4, 11);
    green.direction = DIR_LEFT;
    green.Move(MazeGrid);
    EXPECT_EQ(green.direction, DIR_DOWN);
}

TEST_F(GhostTest, ChasersTakeThePlayersDirectionForTheUpperHalfOfDraws) {
    player.position = CellCentre(4, 17);  // straight above (4, 11)
    int chased = 0;
    for (uint32_t i = 1; i <= 200; ++i) {
        const uint32_t seed = i * 2654435761u;  // small seeds all start with small draws
        SeedRandom(seed);
        const double r = RandomUnit();
        SeedRandom(seed);
        RedGhost red;
        red.position = CellCentre(4, 11);
        red.direction = DIR_LEFT;
        red.Move(MazeGrid);
        // Chase up when r > 0.5; the clockwise turn from left is up as well, so use green.
        SeedRandom(seed);
        GreenGhost green;
        green.position = CellCentre(4, 11);
        green.direction = DIR_LEFT;
        green.Move(MazeGrid);
        EXPECT_EQ(green.direction, r > 0.5 ? DIR_UP : DIR_DOWN) << seed;
        chased += green.direction == DIR_UP;
    }
    EXPECT_GT(chased, 60);
    EXPECT_LT(chased, 140);
}

TEST_F(GhostTest, PlainCorridorKeepsEveryRuleGoingStraight) {
    // (2, 20) lies in the top corridor: only left and right are open.
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        SeedRandom(seed);
        RedGhost red;
        GreenGhost green;
        OrangeGhost orange;
        TurquoiseGhost turquoise;
        Ghost* ghosts[] = {&red, &green, &orange, &turquoise};
        for (Ghost* g : ghosts) {
            g->position = CellCentre(2, 20);
            g->direction = DIR_RIGHT;
            g->Move(MazeGrid);
            EXPECT_EQ(g->direction, DIR_RIGHT);
            g->RandomMove(MazeGrid);
            EXPECT_EQ(g->direction, DIR_RIGHT);
        }
    }
}

TEST_F(GhostTest, SlowedGhostDrawsOnEveryCallAndKeepsOnlyTheMovingChoice) {
    TurquoiseGhost g;
    g.position = CellCentre(4, 11);
    g.direction = DIR_UP;
    g.SetSlowDown(2);
    g.SetBlue(true);
    SeedRandom(99);
    EXPECT_FALSE(g.Update(MazeGrid));
    EXPECT_EQ(g.direction, DIR_UP);  // restored: it did not move
    const uint64_t afterFirst = RandomDrawCount();
    EXPECT_GE(afterFirst, 1u);
    EXPECT_TRUE(g.Update(MazeGrid));
    EXPECT_GT(RandomDrawCount(), afterFirst);
    // The direction it went is the second call's draw: replay the draws to find it.
    SeedRandom(99);
    auto pick = [] {
        for (;;) {
            const double r = RandomUnit();
            const int32_t d = r < 0.25   ? DIR_UP
                              : r < 0.5  ? DIR_RIGHT
                              : r < 0.75 ? DIR_DOWN
                                         : DIR_LEFT;
            if (d != DIR_DOWN) {
                return d;  // everything but the reverse is open at (4, 11)
            }
        }
    };
    pick();
    const int32_t second = pick();
    EXPECT_EQ(g.direction, second);
}

TEST_F(GhostTest, NeverReversesInAnyMode) {
    RedGhost red;
    GreenGhost green;
    OrangeGhost orange;
    TurquoiseGhost turquoise;
    Ghost* ghosts[] = {&red, &green, &orange, &turquoise};
    player.position = CellCentre(9, 5);
    for (int tick = 0; tick < 4000; ++tick) {
        SetAttackMode((tick / 500) % 2 == 1);
        const bool blue = (tick / 300) % 3 == 2;
        for (Ghost* g : ghosts) {
            g->SetBlue(blue);
            const int32_t before = g->direction;
            g->Update(MazeGrid);
            ASSERT_NE(g->direction, ReverseDirection(before)) << "tick " << tick;
            const int32_t code = MazeGrid[GridIndex(g->CellPosition().x, g->CellPosition().y)];
            ASSERT_NE(code, CELL_WALL);
        }
        if (tick % 97 == 0) {
            player.position = CellCentre(tick % 2 ? 1 : 17, tick % 3 ? 1 : 20);
        }
    }
}

TEST_F(GhostTest, EatenGhostWaitsThenComesOutWithoutMoving) {
    OrangeGhost g;
    g.position = CellCentre(4, 11);
    g.ReturnToHouse();
    g.SetReleased(false);
    g.SetReleaseCountdown(3);
    EXPECT_FALSE(g.Update(MazeGrid));
    EXPECT_FALSE(g.Update(MazeGrid));
    EXPECT_FALSE(g.IsReleased());
    EXPECT_TRUE(g.Update(MazeGrid));
    EXPECT_TRUE(g.IsReleased());
    EXPECT_EQ(g.position, HOUSE_START);
    EXPECT_EQ(g.direction, DIR_UP);
    g.Update(MazeGrid);
    EXPECT_EQ(g.position, GridPoint(190, 232));
    // A countdown of one lets it out in the very next tick.
    g.SetReleased(false);
    g.SetReleaseCountdown(1);
    EXPECT_TRUE(g.Update(MazeGrid));
    EXPECT_TRUE(g.IsReleased());
}

TEST_F(GhostTest, ReturnToHouseKeepsBlueAndSpeed) {
    RedGhost g;
    g.SetBlue(true);
    g.SetSlowDown(3);
    g.slowCounter = 2;
    g.position = CellCentre(1, 1);
    g.direction = DIR_LEFT;
    g.ReturnToHouse();
    EXPECT_EQ(g.position, HOUSE_START);
    EXPECT_EQ(g.direction, DIR_UP);
    EXPECT_TRUE(g.IsBlue());
    EXPECT_EQ(g.slowDown, 3);
    EXPECT_EQ(g.slowCounter, 2);
}

TEST_F(GhostTest, DistanceToPlayerIsTruncatedPixels) {
    RedGhost g;
    g.position = GridPoint(100, 100);
    player.position = GridPoint(110, 111);
    EXPECT_EQ(g.DistanceToPlayer(), 14);
    player.position = GridPoint(109, 112);
    EXPECT_EQ(g.DistanceToPlayer(), 15);
}

}  // namespace

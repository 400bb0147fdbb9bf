#include <gtest/gtest.h>

#include "tests/agent/agent_fixture.h"

namespace {

using World = AgentTest;

TEST_F(World, CellContentReportsTheBoardOffItAndOnIt) {
    EXPECT_EQ(CellContent(-1, 5), CELL_OFF_BOARD);
    EXPECT_EQ(CellContent(19, 5), CELL_OFF_BOARD);
    EXPECT_EQ(CellContent(3, -1), CELL_OFF_BOARD);
    EXPECT_EQ(CellContent(3, 22), CELL_OFF_BOARD);
    EXPECT_EQ(CellContent(0, 0), CELL_WALL);
    EXPECT_EQ(CellContent(18, 21), CELL_WALL);
    EXPECT_EQ(CellContent(9, 12), CELL_DOOR);
    EXPECT_EQ(CellContent(0, 11), CELL_TUNNEL);
    EXPECT_EQ(CellContent(1, 19), CELL_PILL);
    EXPECT_EQ(CellContent(10, 7), CELL_DOT);
    EXPECT_EQ(CellContent(0, 13), CELL_OUTSIDE);
    // The Gulper never shows.
    PutGulper(10, 7);
    EXPECT_EQ(CellContent(10, 7), CELL_DOT);
}

TEST_F(World, GhostsHideFoodInTheirOrder) {
    Orange(10, 7);
    EXPECT_EQ(CellContent(10, 7), CELL_ORANGE_GHOST);
    orangeGhost->position = CellCentre(12, 7);
    EXPECT_EQ(CellContent(10, 7), CELL_DOT);
    Red(4, 4);
    Turquoise(4, 4, true);
    EXPECT_EQ(CellContent(4, 4), CELL_RED_GHOST);
    redGhost->SetBlue(true);
    EXPECT_EQ(CellContent(4, 4), CELL_BLUE_GHOST);
    Green(4, 5);
    EXPECT_EQ(CellContent(4, 5), CELL_GREEN_GHOST);
    Turquoise(4, 6);
    EXPECT_EQ(CellContent(4, 6), CELL_TURQUOISE_GHOST);
    // Orange comes before green on a shared cell.
    Orange(4, 5);
    EXPECT_EQ(CellContent(4, 5), CELL_ORANGE_GHOST);
    // A ghost between centres belongs to the cell its position truncates to.
    greenGhost->position = GridPoint(CellCentre(6, 9).x - 1, 190);
    EXPECT_EQ(CellContent(5, 9), CELL_GREEN_GHOST);
}

TEST_F(World, FruitShowsOnlyWhileOnTheBoardUnlessAGhostStandsThere) {
    EXPECT_EQ(FruitCell(), GridPoint(9, 9));
    EXPECT_EQ(CellContent(9, 9), CELL_EMPTY);
    fruitVisible = true;
    EXPECT_EQ(CellContent(9, 9), CELL_FRUIT);
    Green(9, 9);
    EXPECT_EQ(CellContent(9, 9), CELL_GREEN_GHOST);
}

TEST_F(World, DistanceIsEuclideanInCells) {
    EXPECT_DOUBLE_EQ(agent->Distance({0, 0}, {3, 4}), 5.0);
    EXPECT_DOUBLE_EQ(agent->Distance({7, 7}, {7, 7}), 0.0);
    EXPECT_NEAR(agent->Distance({9, 9}, {13, 13}), 5.657, 0.001);
    EXPECT_EQ(static_cast<int>(agent->Distance({9, 9}, {13, 13})), 5);
}

TEST_F(World, FreshAgentFeedsWithCleanTables) {
    EXPECT_EQ(agent->state, STATE_FEEDING);
    EXPECT_TRUE(agent->openList.empty());
    EXPECT_TRUE(agent->closedList.empty());
    EXPECT_TRUE(agent->foodQueue.empty());
    for (uint8_t mark : agent->visited) {
        ASSERT_EQ(mark, 0);
    }
    EXPECT_EQ(agent->position, PLAYER_START);
    EXPECT_EQ(agent->CellPosition(), GridPoint(9, 9));
}

TEST_F(World, GhostCellsAndTheBlueTest) {
    EXPECT_EQ(RedGhostCell(), GridPoint(0, 0));
    EXPECT_FALSE(GhostsAreBlue());
    Orange(4, 5, true);
    EXPECT_EQ(OrangeGhostCell(), GridPoint(4, 5));
    EXPECT_TRUE(GhostsAreBlue());  // red and green are left out: orange decides
    Green(4, 6, false);
    EXPECT_FALSE(GhostsAreBlue());  // green comes before orange
    Red(4, 7, true);
    EXPECT_TRUE(GhostsAreBlue());
}

TEST_F(World, NearGhostIsLoggedWithItsDistance) {
    PutGulper(4, 11);
    Orange(4, 15);  // exactly 4: not near
    EXPECT_FALSE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "");
    Orange(7, 13);  // 3 across, 2 up
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Orange Ghost - Distance is: 3.60555\n");
    Red(4, 12);
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Red Ghost - Distance is: 1\n");
    redGhost->position = CellCentre(6, 12);
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Red Ghost - Distance is: 2.23607\n");
    redGhost->position = CellCentre(4, 14);
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Red Ghost - Distance is: 3\n");
    Green(5, 12);
    Turquoise(4, 11);
    redGhost->position = CellCentre(1, 1);
    orangeGhost->position = CellCentre(1, 1);
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Green Ghost - Distance is: 1.41421\n");
    greenGhost->position = CellCentre(1, 1);
    EXPECT_TRUE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "Gulper is near the Turquoise Ghost - Distance is: 0\n");
}

}  // namespace

#include <gtest/gtest.h>

#include "tests/agent/agent_fixture.h"

namespace {

using World = AgentTest;

TEST_F(World, CellContentReadsTheLiveBoardAndNothingOffIt) {
    for (auto [x, y] : {std::pair{-1, 5}, {19, 5}, {3, -1}, {3, 22}}) {
        EXPECT_EQ(CellContent(x, y), CELL_OFF_BOARD) << x << "," << y;
    }
    // The Gulper never shows; eaten food does.
    PutGulper(10, 7);
    MazeGrid[GridIndex(1, 19)] = CELL_EMPTY;
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        for (int y = 0; y < BOARD_ROWS; ++y) {
            ASSERT_EQ(CellContent(x, y), MazeGrid[GridIndex(x, y)]) << x << "," << y;
        }
    }
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
    EXPECT_EQ(CellContent(9, 9), CELL_EMPTY);
    fruitVisible = true;
    EXPECT_EQ(CellContent(9, 9), CELL_FRUIT);
    Green(9, 9);
    EXPECT_EQ(CellContent(9, 9), CELL_GREEN_GHOST);
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

TEST_F(World, NearGhostIsLoggedWithItsDistanceInColourOrder) {
    PutGulper(4, 11);
    Orange(4, 15);  // exactly 4: not near
    EXPECT_FALSE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "");
    Red(4, 12);
    Orange(7, 13);  // 3 across, 2 up
    Green(5, 12);
    Turquoise(4, 11);
    // All are near: the first of red, orange, green, turquoise is named, then the next.
    const struct {
        Ghost* ghost;
        const char* line;
    } order[] = {{redGhost, "Red Ghost - Distance is: 1\n"},
                 {orangeGhost, "Orange Ghost - Distance is: 3.60555\n"},
                 {greenGhost, "Green Ghost - Distance is: 1.41421\n"},
                 {turquoiseGhost, "Turquoise Ghost - Distance is: 0\n"}};
    for (const auto& o : order) {
        EXPECT_TRUE(agent->IsGhostNear());
        EXPECT_EQ(TakeLog(), std::string("Gulper is near the ") + o.line);
        o.ghost->position = CellCentre(1, 1);
    }
    EXPECT_FALSE(agent->IsGhostNear());
}

}  // namespace

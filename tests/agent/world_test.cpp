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

// On a shared cell the first of red, orange, green and turquoise shows.
TEST_F(World, GhostsHideFoodInTheirOrder) {
    const struct {
        GhostCells ghosts;
        bool blue;
        int32_t expected;
    } cases[] = {
        // clang-format off
        {{{10, 7}}, false, CELL_RED_GHOST}, {{{}, {10, 7}}, false, CELL_ORANGE_GHOST},
        {{{}, {}, {10, 7}}, false, CELL_GREEN_GHOST},
        {{{}, {}, {}, {10, 7}}, false, CELL_TURQUOISE_GHOST},
        {{{}, {10, 7}}, true, CELL_BLUE_GHOST}, {{{12, 7}}, false, CELL_DOT},
        {{{10, 7}, {10, 7}, {10, 7}, {10, 7}}, false, CELL_RED_GHOST},
        {{{}, {10, 7}, {10, 7}, {10, 7}}, false, CELL_ORANGE_GHOST},
        {{{}, {}, {10, 7}, {10, 7}}, false, CELL_GREEN_GHOST},
        // clang-format on
    };
    for (const auto& c : cases) {
        PlaceGhosts(c.ghosts, c.blue);
        EXPECT_EQ(CellContent(10, 7), c.expected) << c.expected;
    }
    // The first ghost speaks for the cell, blue or not.
    PlaceGhosts({{10, 7}, {}, {}, {10, 7}});
    turquoiseGhost->SetBlue(true);
    EXPECT_EQ(CellContent(10, 7), CELL_RED_GHOST);
    // A ghost between centres belongs to the cell its position truncates to.
    redGhost->position = GridPoint(CellCentre(6, 9).x - 1, 190);
    EXPECT_EQ(CellContent(5, 9), CELL_RED_GHOST);
}

TEST_F(World, FruitShowsOnlyWhileOnTheBoardUnlessAGhostStandsThere) {
    EXPECT_EQ(CellContent(9, 9), CELL_EMPTY);
    fruitVisible = true;
    EXPECT_EQ(CellContent(9, 9), CELL_FRUIT);
    PlaceGhosts({{}, {}, {9, 9}});
    EXPECT_EQ(CellContent(9, 9), CELL_GREEN_GHOST);
}

TEST_F(World, GhostCellsAndTheBlueTest) {
    EXPECT_EQ(RedGhostCell(), GridPoint(0, 0));
    EXPECT_FALSE(GhostsAreBlue());
    PlaceGhosts({{}, {4, 5}, {}, {4, 6}}, true);
    EXPECT_EQ(OrangeGhostCell(), GridPoint(4, 5));
    turquoiseGhost->SetBlue(false);
    EXPECT_TRUE(GhostsAreBlue());  // red and green are left out: orange decides
    PlaceGhosts({{}, {4, 5}, {4, 6}}, true);
    greenGhost->SetBlue(false);
    EXPECT_FALSE(GhostsAreBlue());  // green comes before orange
    PlaceGhosts({{4, 7}, {4, 5}, {4, 6}}, true);
    greenGhost->SetBlue(false);
    EXPECT_TRUE(GhostsAreBlue());
}

TEST_F(World, NearGhostIsLoggedWithItsDistanceInColourOrder) {
    PutGulper(4, 11);
    PlaceGhosts({{}, {4, 15}});  // exactly 4: not near
    EXPECT_FALSE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "");
    // All near (orange 3 across, 2 up): the first of red, orange, green, turquoise is named.
    PlaceGhosts({{4, 12}, {7, 13}, {5, 12}, {4, 11}});
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

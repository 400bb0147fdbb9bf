#include <gtest/gtest.h>

#include <algorithm>

#include "tests/agent/agent_fixture.h"

namespace {

using PathSearch = AgentTest;

// Two routes are equally short: the search takes the lower one.
TEST_F(PathSearch, FindsTheLowerOfTwoEqualRoutesAndPrintsItGoalFirst) {
    ASSERT_TRUE(agent->FindPath({9, 9}, {14, 9}));
    EXPECT_EQ(TakeLog(),
              "Constructing Path From GoalNode(14,9) To StartNode(9,9):\n"
              "From (14,8) to {14,9): UP\n"
              "From (14,7) to {14,8): UP\n"
              "From (13,7) to {14,7): RIGHT\n"
              "From (12,7) to {13,7): RIGHT\n"
              "From (12,8) to {12,7): DOWN\n"
              "From (12,9) to {12,8): DOWN\n"
              "From (11,9) to {12,9): RIGHT\n"
              "From (10,9) to {11,9): RIGHT\n"
              "From (9,9) to {10,9): RIGHT\n");
    EXPECT_EQ(agent->NodeAt(9, 9)->direction, DIR_RIGHT);
    EXPECT_EQ(agent->NodeAt(12, 8)->direction, DIR_DOWN);
}

TEST_F(PathSearch, EntersTheHouseThroughTheDoor) {
    ASSERT_TRUE(agent->FindPath({9, 13}, {9, 11}));
    EXPECT_EQ(TakeLog(),
              "Constructing Path From GoalNode(9,11) To StartNode(9,13):\n"
              "From (9,12) to {9,11): DOWN\n"
              "From (9,13) to {9,12): DOWN\n");
}

TEST_F(PathSearch, CrossesTheMiddleNeverTheTunnel) {
    ASSERT_TRUE(agent->FindPath({1, 11}, {17, 11}));
    const std::string text = TakeLog();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21) << text;  // the header, 20 steps
    EXPECT_EQ(text.find("(0,"), std::string::npos) << text;
    EXPECT_EQ(text.find("{18,"), std::string::npos) << text;
}

TEST_F(PathSearch, GoalOnAWallFailsSilentlyAndWritesNoDirection) {
    agent->direction = DIR_UP;
    EXPECT_FALSE(agent->FindPath({9, 9}, {0, 0}));
    EXPECT_EQ(TakeLog(), "");
    EXPECT_EQ(agent->NodeAt(9, 9)->direction, DIR_UP);
}

TEST_F(PathSearch, GhostsDoNotBlockARoute) {
    PlaceGhosts({{11, 9}, {}, {12, 8}});
    greenGhost->SetBlue(true);
    ASSERT_TRUE(agent->FindPath({9, 9}, {14, 9}));
    EXPECT_NE(TakeLog().find("From (11,9) to {12,9): RIGHT\n"), std::string::npos);
}

// The lists hold cells: a record is found by its cell, and ties go to the earliest entry.
TEST_F(PathSearch, ListsCompareCellsAndTiesGoToTheEarliestEntry) {
    PathNode a, b, c, d;
    a.f = 5, a.x = 1, a.y = 1;
    b.f = 3, b.x = 2, b.y = 1;
    c.f = 3, c.x = 3, c.y = 1;
    d.f = 4, d.x = 4, d.y = 1;
    agent->openList = {&a, &b, &c, &d};
    EXPECT_EQ(agent->PopBestOpenNode(), &b);
    EXPECT_EQ(agent->openList, (std::vector<PathNode*>{&a, &c, &d}));
    EXPECT_EQ(agent->PopBestOpenNode(), &c);
    EXPECT_EQ(agent->PopBestOpenNode(), &d);
    EXPECT_EQ(agent->PopBestOpenNode(), &a);
    EXPECT_TRUE(agent->openList.empty());

    agent->FindPath({4, 11}, {0, 0});
    PathNode probe;
    probe.x = 5, probe.y = 11;
    EXPECT_TRUE(agent->IsInClosedList(&probe));
    probe.x = 0, probe.y = 0;
    EXPECT_FALSE(agent->IsInClosedList(&probe));
}

TEST_F(PathSearch, NearestFoodFloodsAcrossWallsAndLeavesCleanMarks) {
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(10, 7));
    // Marks or a queue left over would stop the second flood at its start.
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(10, 7));
    // Four steps through the ghost house beat five along the corridor.
    ClearFood();
    MazeGrid[GridIndex(9, 13)] = CELL_DOT;
    MazeGrid[GridIndex(14, 9)] = CELL_DOT;
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(9, 13));
    // No food: the start cell, after a flood over the whole board.
    MazeGrid[GridIndex(9, 13)] = MazeGrid[GridIndex(14, 9)] = CELL_EMPTY;
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(9, 9));
    EXPECT_TRUE(agent->foodQueue.empty());
    for (uint8_t mark : agent->visited) {
        ASSERT_EQ(mark, 0);
    }
}

TEST_F(PathSearch, NearestFoodSkipsFoodUnderAGhostBlueOrNot) {
    PlaceGhosts({{}, {10, 7}});
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(8, 7));
    orangeGhost->SetBlue(true);
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(8, 7));
}

}  // namespace

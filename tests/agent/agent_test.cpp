#include <map>
#include <utility>

#include "tests/agent/agent_fixture.h"

namespace {

TEST_F(AgentTest, CellContentShowsTheFirstGhostThenTheFruitThenTheMaze) {
    for (auto [x, y] : {std::pair{-1, 5}, {19, 5}, {3, -1}, {3, 22}}) {
        EXPECT_EQ(CellContent(x, y), CELL_OFF_BOARD) << x << "," << y;
    }
    PutGulper({10, 7});  // the Gulper never shows; eaten food does
    MazeGrid[GridIndex(1, 19)] = CELL_EMPTY;
    for (int i = 0; i < BOARD_CELLS; ++i) {
        const int x = i / BOARD_ROWS, y = i % BOARD_ROWS;
        ASSERT_EQ(CellContent(x, y), MazeGrid[GridIndex(x, y)]) << x << "," << y;
    }
    const struct {
        GhostCells ghosts;
        bool blue, fruit;
        GridPoint cell;
        int32_t expected;
    } cases[] = {
        {{{10, 7}}, false, false, {10, 7}, CELL_RED_GHOST},
        {{{}, {10, 7}, {10, 7}, {10, 7}}, false, false, {10, 7}, CELL_ORANGE_GHOST},
        {{{}, {}, {10, 7}, {10, 7}}, false, false, {10, 7}, CELL_GREEN_GHOST},
        {{{}, {}, {}, {10, 7}}, false, false, {10, 7}, CELL_TURQUOISE_GHOST},
        {{{}, {10, 7}}, true, false, {10, 7}, CELL_BLUE_GHOST},
        {{{12, 7}}, false, false, {10, 7}, CELL_DOT},
        {{}, false, true, {9, 9}, CELL_FRUIT},
        {{{}, {}, {9, 9}}, false, true, {9, 9}, CELL_GREEN_GHOST},
    };
    for (const auto& c : cases) {
        PlaceGhosts(c.ghosts, c.blue);
        fruitVisible = c.fruit;
        EXPECT_EQ(CellContent(c.cell.x, c.cell.y), c.expected) << c.expected;
    }
    // The first existing ghost of red, green, orange, turquoise speaks for the blue time.
    PlaceGhosts({{}, {4, 5}, {4, 6}, {4, 7}}, true);
    turquoiseGhost->SetBlue(false);
    EXPECT_TRUE(GhostsAreBlue());
    greenGhost->SetBlue(false);
    EXPECT_FALSE(GhostsAreBlue());
}

TEST_F(AgentTest, NearGhostIsLoggedWithItsDistanceInColourOrder) {
    PutGulper({4, 11});
    PlaceGhosts({{}, {4, 15}});  // exactly 4: not near
    EXPECT_FALSE(agent->IsGhostNear());
    PlaceGhosts({{4, 12}, {7, 13}, {5, 12}, {4, 11}});
    for (auto [ghost, line] : {std::pair{redGhost, "Red Ghost - Distance is: 1\n"},
                               {orangeGhost, "Orange Ghost - Distance is: 3.60555\n"},
                               {greenGhost, "Green Ghost - Distance is: 1.41421\n"},
                               {turquoiseGhost, "Turquoise Ghost - Distance is: 0\n"}}) {
        EXPECT_TRUE(agent->IsGhostNear());
        EXPECT_EQ(TakeLog(), std::string("Gulper is near the ") + line);
        ghost->position = CellCentre(1, 1);
    }
    EXPECT_FALSE(agent->IsGhostNear());
    EXPECT_EQ(TakeLog(), "");
}

// The flood ignores walls, skips food under a ghost and leaves no marks for the next one.
TEST_F(AgentTest, NearestFoodByTheFloodOverTheWholeBoard) {
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(10, 7));
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(10, 7));
    PlaceGhosts({{}, {10, 7}}, true);
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(8, 7));
    for (int32_t& code : MazeGrid) {
        code = code == CELL_DOT || code == CELL_PILL ? CELL_EMPTY : code;
    }
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(9, 9));  // none: the start
    MazeGrid[GridIndex(9, 13)] = MazeGrid[GridIndex(14, 9)] = CELL_DOT;
    EXPECT_EQ(agent->FindNearestFood({9, 9}), GridPoint(9, 13));  // through the house
    // The top row's flood reaches row 1 only from below, 12 steps from (9, 12).
    MazeGrid[GridIndex(9, 13)] = MazeGrid[GridIndex(14, 9)] = CELL_EMPTY;
    MazeGrid[GridIndex(10, 1)] = MazeGrid[GridIndex(1, 20)] = CELL_DOT;
    EXPECT_EQ(agent->FindNearestFood({9, 12}), GridPoint(10, 1));
}

TEST_F(AgentTest, FleeingTakesTheWayAwayFromTheNearGhosts) {
    const struct {
        GridPoint gulper;
        GhostCells ghosts;
        int32_t expected;
        const char* log;
    } cases[] = {
        // One ghost: the vector from it to the Gulper, unless an exact diagonal.
        {{4, 11}, {{6, 12}}, DIR_LEFT, ""},
        {{4, 11}, {{2, 12}}, DIR_RIGHT, ""},
        {{4, 11}, {{2, 13}}, 99, ""},
        {{9, 13}, {{8, 15}}, DIR_DOWN, ""},  // down through the door
        {{1, 11}, {{3, 11}}, DIR_LEFT, ""},  // out through the tunnel
        // Two in the Gulper's column or row: the slip sideways, right or up first; both on
        // its own cell: both rules, the row's direction stands.
        {{4, 11}, {{4, 8}, {4, 13}}, DIR_RIGHT, "Giving them the slip: RIGHT\n"},
        {{4, 11}, {{7, 11}, {2, 11}}, DIR_UP, "Giving them the slip: UP\n"},
        // clang-format off
        {{4, 11}, {{4, 11}, {4, 11}}, DIR_UP,
         "Giving them the slip: RIGHT\nGiving them the slip: UP\n"},
        // clang-format on
        // Two off the lines: the nearer, a tie to the earlier (orange) one.
        {{4, 11}, {{5, 13}, {6, 12}}, DIR_LEFT, ""},
        {{4, 11}, {{5, 13}, {7, 9}}, DIR_DOWN, ""},
        // Three or more: the nearest, here the one below.
        {{4, 11}, {{4, 13}, {6, 11}, {2, 12}, {4, 10}}, DIR_UP, ""},
    };
    for (const auto& c : cases) {
        PutGulper(c.gulper);
        PlaceGhosts(c.ghosts);
        agent->direction = 99;
        agent->Flee();
        EXPECT_EQ(agent->direction, c.expected)
            << "red at " << c.ghosts.red.x << "," << c.ghosts.red.y;
        EXPECT_EQ(TakeLog(), c.log) << "red at " << c.ghosts.red.x << "," << c.ghosts.red.y;
    }
}

// A near ghost is fled unless the ghosts are blue; blue ones within 7 are hunted, nearest
// first; a fruit within 6 comes next; else the Gulper feeds. The log ends in the one banner of
// the state; before it comes the whole given log, or its start when that ends in "...".
TEST_F(AgentTest, FleeHuntFruitOrFeedInThatOrder) {
    const std::map<int32_t, std::string> banners = {
        {STATE_FLEEING, "---------------------------FLEEING STATE------------------\n"},
        {STATE_FEEDING, "---------------------------FEEDING STATE------------------\n"},
        {STATE_HUNTING, "---------------------------HUNTING STATE------------------\n"},
        {STATE_GOING_FOR_FRUIT, "-----------------------GOING FOR FRUIT STATE--------------\n"}};
    const int32_t ANY_WAY = -1;  // a start on a wall: where it leads does not matter
    const struct {
        GridPoint gulper;
        GhostCells ghosts;
        bool blue, fruit;
        int32_t state, direction;
        const char* log;
    } cases[] = {
        // clang-format off
        {{9, 9}, {}, false, false, STATE_FEEDING, DIR_RIGHT,
         "FEEDING!\n"
         "Gulper at: (9,9)\n"
         "Constructing Path From GoalNode(10,7) To StartNode(9,9):\n"
         "From (11,7) to {10,7): LEFT\n"
         "From (12,7) to {11,7): LEFT\n"
         "From (12,8) to {12,7): DOWN\n"
         "From (12,9) to {12,8): DOWN\n"
         "From (11,9) to {12,9): RIGHT\n"
         "From (10,9) to {11,9): RIGHT\n"
         "From (9,9) to {10,9): RIGHT\n"
         "Gulper at x:9 y:9\n"
         "Nearest food dot at x:10 y:7\n"},
        // On food the Gulper keeps its way: it eats before the next decision.
        {{1, 20}, {}, false, false, STATE_FEEDING, 99,
         "FEEDING!\n"
         "Gulper at: (1,20)\n"
         "Constructing Path From GoalNode(1,20) To StartNode(1,20):\n"
         "Gulper at x:1 y:20\n"
         "Nearest food dot at x:1 y:20\n"},
        // The only near ghost waits in the house: fleeing, but nothing to flee from.
        {{9, 13}, {{9, 11}}, false, false, STATE_FLEEING, 99,
         "Gulper is near the Red Ghost - Distance is: 2\n"},
        // A ghost three away beats the fruit two away.
        {{11, 9}, {{14, 9}}, false, true, STATE_FLEEING, DIR_LEFT,
         "Gulper is near the Red Ghost - Distance is: 3\n"},
        {{4, 12}, {}, false, true, STATE_GOING_FOR_FRUIT, DIR_DOWN,  // 5.83 away
         "Constructing Path From GoalNode(9,9) To StartNode(4,12):\n..."},
        // Exactly 6 away, on a wall (no open cell is): only the distance matters.
        {{3, 9}, {}, false, true, STATE_FEEDING, ANY_WAY, "..."},
        // Orange 6.4 away, green 2: green is hunted.
        {{4, 11}, {{}, {9, 15}, {4, 13}}, true, false, STATE_HUNTING, DIR_UP,
         "Gulper is near the Green Ghost - Distance is: 2\n"
         "Constructing Path From GoalNode(4,13) To StartNode(4,11):\n..."},
        // Red and orange both 3 away, orange earlier; green in the house is ignored.
        {{4, 11}, {{4, 14}, {4, 8}, {9, 11}}, true, false, STATE_HUNTING, DIR_DOWN, "..."},
        {{4, 11}, {{11, 11}}, true, false, STATE_FEEDING, 99, "..."},  // exactly 7, on food
        // A ghost missing from the board is no ghost at (0, 0) to hunt.
        {{1, 1}, {{17, 20}}, true, false, STATE_FEEDING, 99, "FEEDING!\n..."},
        {{9, 13}, {{16, 13}}, true, true, STATE_GOING_FOR_FRUIT, DIR_RIGHT, "..."},
        {{9, 13}, {{12, 13}}, true, true, STATE_HUNTING, DIR_RIGHT, "..."},
        // clang-format on
    };
    for (const auto& c : cases) {
        PutGulper(c.gulper);
        PlaceGhosts(c.ghosts, c.blue);
        fruitVisible = c.fruit;
        agent->direction = 99;
        agent->Think();
        const std::string text = TakeLog(), log = c.log, &banner = banners.at(c.state);
        EXPECT_EQ(agent->state, c.state) << text;
        EXPECT_TRUE(c.direction == ANY_WAY || agent->direction == c.direction) << text;
        if (log.size() >= 3 && log.compare(log.size() - 3, 3, "...") == 0) {
            EXPECT_EQ(text.rfind(log.substr(0, log.size() - 3), 0), 0u) << text;
        } else {
            EXPECT_EQ(text, log + banner);
        }
        ASSERT_GE(text.size(), banner.size()) << text;
        EXPECT_EQ(text.substr(text.size() - banner.size()), banner) << text;
        EXPECT_EQ(text.find("STATE-"), text.rfind("STATE-")) << text;
        EXPECT_EQ(text.find("FEEDING!") != std::string::npos, c.state == STATE_FEEDING) << text;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <map>

#include "tests/agent/agent_fixture.h"

namespace {

using Escape = AgentTest;
using Decisions = AgentTest;

// The escape vector's candidates, each taken unless a wall is there; 99 marks a direction left
// alone. (4, 11) is a crossing open every way, where zero and exact diagonals leave the way
// alone; (9, 9) has walls above and below; in the corner (1, 1) with the way away walled the
// Gulper stands rather than turn toward the ghost; in the house (9, 11) the door is no wall.
TEST_F(Escape, EachVectorTakesItsFirstOpenCandidate) {
    const struct {
        GridPoint gulper;
        float x, y;
        int32_t expected;
    } rows[] = {
        // clang-format off
        {{4, 11}, 0, 1, DIR_UP}, {{4, 11}, 0, -1, DIR_DOWN},
        {{4, 11}, 1, 0, DIR_RIGHT}, {{4, 11}, -1, 0, DIR_LEFT},
        {{4, 11}, 0.8f, 0.6f, DIR_RIGHT}, {{4, 11}, 0.6f, 0.8f, DIR_UP},
        {{4, 11}, -0.8f, 0.6f, DIR_LEFT}, {{4, 11}, -0.6f, 0.8f, DIR_UP},
        {{4, 11}, 0.8f, -0.6f, DIR_RIGHT}, {{4, 11}, 0.6f, -0.8f, DIR_DOWN},
        {{4, 11}, -0.8f, -0.6f, DIR_LEFT}, {{4, 11}, -0.6f, -0.8f, DIR_DOWN},
        {{4, 11}, 0, 0, 99}, {{4, 11}, 0.5f, 0.5f, 99},
        {{4, 11}, -0.5f, 0.5f, 99}, {{4, 11}, 0.5f, -0.5f, 99},
        {{9, 9}, 0, 1, DIR_LEFT}, {{9, 9}, 0, -1, DIR_LEFT},
        {{9, 9}, 0.6f, 0.8f, DIR_RIGHT}, {{9, 9}, -0.6f, -0.8f, DIR_LEFT},
        {{1, 1}, -0.8f, -0.6f, 0}, {{1, 1}, -1, 0, DIR_UP}, {{9, 11}, 0, 1, DIR_UP},
        // clang-format on
    };
    for (const auto& row : rows) {
        PutGulper(row.gulper.x, row.gulper.y);
        agent->direction = 99;
        agent->ChooseEscapeDirection(row.x, row.y);
        EXPECT_EQ(agent->direction, row.expected)
            << "at " << row.gulper.x << "," << row.gulper.y << " away " << row.x << "," << row.y;
    }
}

TEST_F(Escape, FleeingTakesTheWayAwayFromTheNearGhosts) {
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
        PutGulper(c.gulper.x, c.gulper.y);
        PlaceGhosts(c.ghosts);
        agent->direction = 99;
        agent->Flee();
        const GridPoint& red = c.ghosts.red;
        EXPECT_EQ(agent->direction, c.expected) << "red at " << red.x << "," << red.y;
        EXPECT_EQ(TakeLog(), c.log) << "red at " << red.x << "," << red.y;
    }
}

// A near ghost is fled unless the ghosts are blue; blue ones within 7 are hunted, nearest
// first; a fruit within 6 comes next; else the Gulper feeds. The log holds one banner, the
// state's, last; it is the whole log before the banner, or its start when ending in "...".
TEST_F(Decisions, FleeHuntFruitOrFeedInThatOrder) {
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
        {{9, 13}, {{16, 13}}, true, true, STATE_GOING_FOR_FRUIT, DIR_RIGHT, "..."},
        {{9, 13}, {{12, 13}}, true, true, STATE_HUNTING, DIR_RIGHT, "..."},
        // clang-format on
    };
    for (const auto& c : cases) {
        PutGulper(c.gulper.x, c.gulper.y);
        PlaceGhosts(c.ghosts, c.blue);
        fruitVisible = c.fruit;
        agent->direction = 99;
        agent->Think();
        const std::string text = TakeLog();
        const std::string& banner = banners.at(c.state);
        EXPECT_EQ(agent->state, c.state) << text;
        if (c.direction != ANY_WAY) {
            EXPECT_EQ(agent->direction, c.direction) << text;
        }
        const std::string log = c.log;
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

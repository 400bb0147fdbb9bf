// The agent: what it sees of each cell, its searches, fleeing and its decisions, with their
// log lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"

namespace {

struct GhostCells {
    GhostCells(GridPoint r = {}, GridPoint o = {}, GridPoint g = {}, GridPoint t = {})
        : red(r), orange(o), green(g), turquoise(t) {}
    GridPoint red, orange, green, turquoise;
};

// The initial board with no ghosts, the agent as the player and its log captured.
class AgentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        ResetMaze();
        SetPlayerAgent(agent.get());
        SetAgentLog(&log);
    }
    void TearDown() override {
        SetAgentLog(nullptr);
        PlaceGhosts({});
        SetPlayerAgent(nullptr);
    }
    std::string TakeLog() {  // everything logged since the last call
        const std::string text = log.str();
        log.str("");
        return text;
    }
    void PutGulper(GridPoint cell) { agent->position = CellCentre(cell.x, cell.y); }
    // Each ghost on its cell, none for (0, 0); the agent tells them apart by their slots only.
    void PlaceGhosts(const GhostCells& cells, bool blue = false) {
        Ghost** slots[] = {&redGhost, &orangeGhost, &greenGhost, &turquoiseGhost};
        const GridPoint at[] = {cells.red, cells.orange, cells.green, cells.turquoise};
        for (int i = 0; i < 4; ++i) {
            delete *slots[i];
            *slots[i] = at[i] != GridPoint() ? new RedGhost() : nullptr;
            if (*slots[i] != nullptr) {
                (*slots[i])->position = CellCentre(at[i].x, at[i].y);
                (*slots[i])->SetBlue(blue);
            }
        }
    }

    std::ostringstream log;
    std::unique_ptr<PlayerAgent> agent = std::make_unique<PlayerAgent>();
};

TEST_F(AgentTest, CellContentShowsTheFirstGhostThenTheFruitThenTheMaze) {
    for (auto [x, y] : {std::pair{-1, 5}, {19, 5}, {3, -1}, {3, 22}}) {
        EXPECT_EQ(CellContent(x, y), CELL_OFF_BOARD) << x << "," << y;
    }
    fruitVisible = true;
    const struct {
        GhostCells ghosts;
        bool blue;
        int32_t food, fruit;  // what (10, 7), a dot, and (9, 9), the fruit's cell, show
    } cases[] = {
        {{{10, 7}}, false, CELL_RED_GHOST, CELL_FRUIT},
        {{{}, {10, 7}, {10, 7}, {10, 7}}, false, CELL_ORANGE_GHOST, CELL_FRUIT},
        {{{}, {}, {10, 7}, {10, 7}}, false, CELL_GREEN_GHOST, CELL_FRUIT},
        {{{}, {}, {9, 9}, {10, 7}}, false, CELL_TURQUOISE_GHOST, CELL_GREEN_GHOST},
        {{{}, {10, 7}}, true, CELL_BLUE_GHOST, CELL_FRUIT},
        {{{12, 7}}, false, CELL_DOT, CELL_FRUIT},
    };
    for (const auto& c : cases) {
        PlaceGhosts(c.ghosts, c.blue);
        EXPECT_EQ(CellContent(10, 7), c.food) << c.food;
        EXPECT_EQ(CellContent(9, 9), c.fruit) << c.food;
    }
    // The first existing ghost of red, green, orange, turquoise speaks for the blue time.
    PlaceGhosts({{}, {4, 5}, {4, 6}, {4, 7}}, true);
    turquoiseGhost->SetBlue(false);
    EXPECT_TRUE(GhostsAreBlue());
    greenGhost->SetBlue(false);
    EXPECT_FALSE(GhostsAreBlue());
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
        // One ghost: away from it, the larger part first, then the smaller or the sides, unless
        // walled; (9, 9) has walls above and below; cornered in (1, 1) the Gulper stands.
        {{4, 11}, {{6, 12}}, DIR_LEFT, ""},
        {{4, 11}, {{4, 11}}, 99, ""},
        {{4, 11}, {{4, 12}}, DIR_DOWN, ""},
        {{4, 11}, {{3, 11}}, DIR_RIGHT, ""},
        {{9, 9}, {{9, 8}}, DIR_LEFT, ""},
        {{9, 9}, {{10, 11}}, DIR_LEFT, ""},
        {{9, 9}, {{8, 7}}, DIR_RIGHT, ""},
        {{1, 1}, {{3, 2}}, 0, ""},
        {{9, 11}, {{9, 10}}, DIR_UP, ""},  // out of the house through the door
        {{4, 11}, {{2, 13}}, 99, ""},
        {{9, 13}, {{8, 15}}, DIR_DOWN, ""},  // down through the door
        {{1, 11}, {{3, 11}}, DIR_LEFT, ""},  // out through the tunnel
        // Two in its column or row: the slip sideways, right or up first; on its cell, both.
        {{4, 11}, {{4, 8}, {4, 13}}, DIR_RIGHT, "Giving them the slip: RIGHT\n"},
        {{4, 11}, {{7, 11}, {2, 11}}, DIR_UP, "Giving them the slip: UP\n"},
        // clang-format off
        {{4, 11}, {{4, 11}, {4, 11}}, DIR_UP,
         "Giving them the slip: RIGHT\nGiving them the slip: UP\n"},
        // clang-format on
        // Two off the lines: the nearer, a tie to the earlier (orange) one.
        {{4, 11}, {{5, 13}, {6, 12}}, DIR_LEFT, ""},
        {{4, 11}, {{5, 13}, {7, 9}}, DIR_DOWN, ""},
        // Three or more: the nearest.
        {{4, 11}, {{4, 13}, {6, 11}, {2, 12}, {4, 10}}, DIR_UP, ""},
    };
    for (const auto& c : cases) {
        PutGulper(c.gulper);
        PlaceGhosts(c.ghosts);
        agent->direction = 99;
        agent->Flee();
        EXPECT_EQ(agent->direction, c.expected) << c.gulper.x << "," << c.ghosts.red.x;
        EXPECT_EQ(TakeLog(), c.log) << c.gulper.x << "," << c.ghosts.red.x;
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
         "FEEDING!\nGulper at: (9,9)\nConstructing Path From GoalNode(10,7) To StartNode(9,9):\n"
         "From (11,7) to {10,7): LEFT\n..."},
        // On food the Gulper keeps its way: it eats before the next decision.
        {{1, 20}, {}, false, false, STATE_FEEDING, 99,
         "FEEDING!\nGulper at: (1,20)\nConstructing Path From GoalNode(1,20) To StartNode(1,20):\n"
         "Gulper at x:1 y:20\nNearest food dot at x:1 y:20\n"},
        // The only near ghost waits in the house: fleeing, but nothing to flee from.
        {{9, 13}, {{9, 11}}, false, false, STATE_FLEEING, 99,
         "Gulper is near the Red Ghost - Distance is: 2\n"},
        // A ghost three away beats the fruit two away. Near ghosts are named in colour order,
        // the nearest not first; one exactly 4 away is not near.
        {{11, 9}, {{14, 9}}, false, true, STATE_FLEEING, DIR_LEFT,
         "Gulper is near the Red Ghost - Distance is: 3\n"},
        {{4, 11}, {{}, {7, 13}, {4, 15}, {5, 13}}, false, false, STATE_FLEEING, DIR_DOWN,
         "Gulper is near the Orange Ghost - Distance is: 3.60555\n"},
        {{4, 11}, {{}, {}, {4, 15}, {5, 12}}, false, false, STATE_FLEEING, 99,
         "Gulper is near the Turquoise Ghost - Distance is: 1.41421\n"},
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
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), banner.size())), banner);
        EXPECT_EQ(text.find("STATE-"), text.rfind("STATE-")) << text;
        EXPECT_EQ(text.find("FEEDING!") != std::string::npos, c.state == STATE_FEEDING) << text;
    }
}

// The route search as first written, open and closed lists scanned from the front: the agent's
// must give the same answer, records, lists and log bytes.
bool ReferenceFindPath(PlayerAgent& a, GridPoint start, GridPoint goal) {
    auto listed = [&a](int x, int y) {
        auto at = [&](const PathNode* n) { return n->x == x && n->y == y; };
        return std::any_of(a.openList.begin(), a.openList.end(), at) ||
               std::any_of(a.closedList.begin(), a.closedList.end(), at);
    };
    a.ResetNodes();
    a.closedList.clear();
    PathNode* first = a.NodeAt(start.x, start.y);
    *first = PathNode{0, 0, 0, start.x, start.y, nullptr, first->direction};
    for (a.openList = {first}; !a.openList.empty();) {
        auto best = std::min_element(a.openList.begin(), a.openList.end(),
                                     [](PathNode* l, PathNode* r) { return l->f < r->f; });
        PathNode* current = *best;
        a.openList.erase(best);
        if (current->x == goal.x && current->y == goal.y) {
            AgentLog() << "Constructing Path From GoalNode(" << goal.x << "," << goal.y
                       << ") To StartNode(" << start.x << "," << start.y << "):\n";
            for (PathNode* n = current; n != first; n = n->parent) {
                PathNode* p = n->parent;
                const int way = p->x != n->x ? (p->x < n->x ? 0 : 1) : (p->y > n->y ? 2 : 3);
                p->direction = std::array{DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP}[way];
                AgentLog() << "From (" << p->x << "," << p->y << ") to {" << n->x << "," << n->y
                           << "): " << std::array{"RIGHT", "LEFT", "DOWN", "UP"}[way] << "\n";
            }
            return true;
        }
        a.closedList.push_back(current);
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, -1}, {0, 1}}) {
            const int x = current->x + dx, y = current->y + dy;
            if (CellContent(x, y) == CELL_OFF_BOARD) {
                continue;
            }
            PathNode* n = a.NodeAt(x, y);
            n->x = x, n->y = y;
            if (CellContent(x, y) != CELL_WALL && !listed(x, y)) {
                n->h = static_cast<int32_t>(a.Distance({x, y}, goal));
                n->g = current->g + 1, n->f = n->h + n->g, n->parent = current;
                a.openList.push_back(n);
            }
        }
    }
    return false;
}

// Every record with its parent's cell, then the closed and the open list's cells.
std::vector<std::array<int, 8>> State(const PlayerAgent& a) {
    std::vector<std::array<int, 8>> out;
    for (const auto& n : a.nodes) {
        const PathNode* p = n->parent;
        out.push_back({n->f, n->h, n->g, n->x, n->y, n->direction, p ? p->x : -1, p ? p->y : -1});
    }
    for (const auto* list : {&a.closedList, &a.openList}) {
        out.push_back({-9});
        std::for_each(list->begin(), list->end(), [&](auto* n) { out.push_back({n->x, n->y}); });
    }
    return out;
}

// Ghosts and the fruit open a wall only where they stand; goals on walls fail in both.
TEST_F(AgentTest, RouteSearchMatchesTheFirstWrittenOneOnEveryPair) {
    const struct {
        GhostCells ghosts;
        bool blue, fruit;
    } boards[] = {
        {{}, false, false},  // every pair; on the others part of the food is eaten
        {{{11, 9}, {1, 11}, {12, 8}, {9, 11}}, false, false},
        {{{11, 9}, {2, 2}, {9, 9}, {10, 12}}, true, true},  // orange in a wall
        {{{4, 11}, {4, 11}, {}, {17, 20}}, false, true},
    };
    PlayerAgent reference;
    for (const auto& board : boards) {
        const bool eaten = &board != boards;  // and every third cell a goal
        for (int i = 0; eaten && i < 60; ++i) {
            int32_t& code = MazeGrid[(i * 37) % BOARD_CELLS];
            code = code == CELL_DOT ? CELL_EMPTY : code;
        }
        PlaceGhosts(board.ghosts, board.blue);
        fruitVisible = board.fruit;
        std::vector<GridPoint> cells, goals = {{0, 0}, {2, 2}};  // walls, unless a ghost is there
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (CellContent(i / BOARD_ROWS, i % BOARD_ROWS) != CELL_WALL) {
                cells.emplace_back(i / BOARD_ROWS, i % BOARD_ROWS);
                if (!eaten || cells.size() % 3 == 0) {
                    goals.push_back(cells.back());
                }
            }
        }
        for (GridPoint goal : goals) {
            for (GridPoint start : cells) {
                reference.direction = agent->direction = DIR_UP;
                const bool expected = ReferenceFindPath(reference, start, goal);
                const std::string expectedLog = TakeLog();
                const auto where = ::testing::Message() << start.x << "," << start.y << " to "
                                                        << goal.x << "," << goal.y;
                ASSERT_EQ(agent->FindPath(start, goal), expected) << where;
                ASSERT_EQ(TakeLog(), expectedLog) << where;
                ASSERT_EQ(State(*agent), State(reference)) << where;
            }
        }
    }
}

}  // namespace

// The agent's route search against the first-written one (open and closed lists scanned from
// the front), over every start and goal: same answer, same records, same log bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_state.h"
#include "tests/agent/agent_fixture.h"
#include "tests/agent/reference_path_search.h"

namespace {

struct Cell {
    int x, y;
};

// A record with its parent as a cell index, so that two agents' records can be compared.
struct Record {
    int32_t f, h, g, x, y, direction;
    int parent;
    bool operator==(const Record& o) const {
        return f == o.f && h == o.h && g == o.g && x == o.x && y == o.y &&
               direction == o.direction && parent == o.parent;
    }
};

// Records live at a fixed cell index; a parent is found by its own cell first.
int IndexOf(const PlayerAgent& agent, const PathNode* node) {
    if (node == nullptr) {
        return -1;
    }
    if (node->x >= 0 && node->x < BOARD_COLUMNS && node->y >= 0 && node->y < BOARD_ROWS &&
        agent.nodes[AgentIndex(node->x, node->y)].get() == node) {
        return AgentIndex(node->x, node->y);
    }
    for (int i = 0; i < BOARD_CELLS; ++i) {
        if (agent.nodes[i].get() == node) {
            return i;
        }
    }
    return -2;  // not one of the agent's records
}

std::vector<Record> Records(const PlayerAgent& agent) {
    std::vector<Record> out;
    for (const auto& n : agent.nodes) {
        out.push_back({n->f, n->h, n->g, n->x, n->y, n->direction, IndexOf(agent, n->parent)});
    }
    return out;
}

std::vector<int> Indices(const PlayerAgent& agent, const std::vector<PathNode*>& list) {
    std::vector<int> out;
    for (const PathNode* node : list) {
        out.push_back(IndexOf(agent, node));
    }
    return out;
}

class RoutePairs : public AgentTest {
  protected:
    // Every cell the search may cross: not a wall as the agent sees the board now.
    std::vector<Cell> CrossableCells() const {
        std::vector<Cell> cells;
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            for (int y = 0; y < BOARD_ROWS; ++y) {
                if (CellContent(x, y) != CELL_WALL) {
                    cells.push_back({x, y});
                }
            }
        }
        return cells;
    }

    // Both searches from the same start; stops the test at the first difference.
    void Compare(Cell start, Cell goal) {
        reference.direction = agent->direction = DIR_UP;
        const bool expected = ReferenceFindPath(reference, {start.x, start.y}, {goal.x, goal.y});
        const std::string expectedLog = TakeLog();
        const bool found = agent->FindPath({start.x, start.y}, {goal.x, goal.y});
        const std::string foundLog = TakeLog();
        const auto where = ::testing::Message() << "from (" << start.x << "," << start.y << ") to ("
                                                << goal.x << "," << goal.y << ")";
        ASSERT_EQ(found, expected) << where;
        ASSERT_EQ(foundLog, expectedLog) << where;
        ASSERT_TRUE(Records(*agent) == Records(reference)) << where;
        ASSERT_EQ(Indices(*agent, agent->closedList), Indices(reference, reference.closedList))
            << where;
        ASSERT_EQ(Indices(*agent, agent->openList), Indices(reference, reference.openList))
            << where;
        ++compared;
        routesFound += found;
    }

    PlayerAgent reference;
    int compared = 0;
    int routesFound = 0;
};

TEST_F(RoutePairs, EveryPairOfTheInitialBoard) {
    const std::vector<Cell> cells = CrossableCells();
    ASSERT_EQ(cells.size(), 205u);
    for (Cell start : cells) {
        for (Cell goal : cells) {
            ASSERT_NO_FATAL_FAILURE(Compare(start, goal));
        }
    }
    // Every crossable cell of the board reaches every other except through the tunnel
    // ends, which are dead ends but still reachable.
    EXPECT_EQ(compared, 205 * 205);
    EXPECT_GT(routesFound, 0);
}

// Ghosts and the fruit change what is a wall only where they stand: a ghost pushed into a
// wall opens it. Goals on walls and off the open cells fail the same way in both.
TEST_F(RoutePairs, BoardsWithGhostsFruitAndEatenFood) {
    struct Board {
        const char* name;
        GhostCells ghosts;
        bool blue;
        bool fruit;
    };
    const Board boards[] = {
        {"ghosts in the corridors", {{11, 9}, {1, 11}, {12, 8}, {9, 11}}, false, false},
        {"blue ghosts, one in a wall, fruit", {{11, 9}, {2, 2}, {9, 9}, {10, 12}}, true, true},
        {"two ghosts on a cell, fruit", {{4, 11}, {4, 11}, {}, {17, 20}}, false, true},
    };
    for (int i = 0; i < 60; ++i) {  // part of the food eaten
        int32_t& code = MazeGrid[(i * 37) % BOARD_CELLS];
        if (code == CELL_DOT) {
            code = CELL_EMPTY;
        }
    }
    for (const Board& board : boards) {
        SCOPED_TRACE(board.name);
        PlaceGhosts(board.ghosts, board.blue);
        fruitVisible = board.fruit;
        const std::vector<Cell> cells = CrossableCells();
        std::vector<Cell> goals;
        for (size_t i = 0; i < cells.size(); i += 3) {
            goals.push_back(cells[i]);
        }
        goals.push_back({0, 0});   // a wall
        goals.push_back({2, 2});   // a wall, open while a ghost stands in it
        goals.push_back({9, 11});  // the ghost house
        for (Cell start : cells) {
            for (Cell goal : goals) {
                ASSERT_NO_FATAL_FAILURE(Compare(start, goal));
            }
        }
    }
    EXPECT_GT(compared, 3 * 205 * 60);
}

}  // namespace

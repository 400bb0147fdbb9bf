// The agent's route search against the first-written one (open and closed lists scanned from
// the front) over every start and goal: same answer, records, lists and log bytes.

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "tests/agent/agent_fixture.h"

namespace {

bool Holds(const std::vector<PathNode*>& list, int x, int y) {
    return std::any_of(list.begin(), list.end(),
                       [&](PathNode* n) { return n->x == x && n->y == y; });
}

bool ReferenceFindPath(PlayerAgent& a, GridPoint start, GridPoint goal) {
    a.ResetNodes();
    a.openList.clear();
    a.closedList.clear();
    PathNode* first = a.NodeAt(start.x, start.y);
    *first = PathNode{0, 0, 0, start.x, start.y, nullptr, first->direction};
    a.openList.push_back(first);
    while (!a.openList.empty()) {
        auto best = a.openList.begin();
        for (auto it = best; it != a.openList.end(); ++it) {
            best = (*it)->f < (*best)->f ? it : best;
        }
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
            if (CellContent(x, y) == CELL_WALL || Holds(a.closedList, x, y) ||
                Holds(a.openList, x, y)) {
                continue;
            }
            n->h = static_cast<int32_t>(a.Distance({x, y}, goal));
            n->g = current->g + 1, n->f = n->h + n->g, n->parent = current;
            a.openList.push_back(n);
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
        for (const PathNode* n : *list) {
            out.push_back({n->x, n->y});
        }
    }
    return out;
}

// Ghosts and the fruit open a wall only where they stand; goals on walls fail in both.
TEST_F(AgentTest, RouteSearchMatchesTheFirstWrittenOneOnEveryPair) {
    const struct {
        GhostCells ghosts;
        bool blue, fruit;
        bool eaten;  // part of the food eaten, every third cell a goal
    } boards[] = {
        {{}, false, false, false},
        {{{11, 9}, {1, 11}, {12, 8}, {9, 11}}, false, false, true},
        {{{11, 9}, {2, 2}, {9, 9}, {10, 12}}, true, true, true},  // orange in a wall
        {{{4, 11}, {4, 11}, {}, {17, 20}}, false, true, true},
    };
    PlayerAgent reference;
    int compared = 0;
    for (const auto& board : boards) {
        for (int i = 0; board.eaten && i < 60; ++i) {
            int32_t& code = MazeGrid[(i * 37) % BOARD_CELLS];
            code = code == CELL_DOT ? CELL_EMPTY : code;
        }
        PlaceGhosts(board.ghosts, board.blue);
        fruitVisible = board.fruit;
        std::vector<GridPoint> cells, goals = {{0, 0}, {2, 2}};  // walls, unless a ghost is there
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (CellContent(i / BOARD_ROWS, i % BOARD_ROWS) != CELL_WALL) {
                cells.emplace_back(i / BOARD_ROWS, i % BOARD_ROWS);
                if (!board.eaten || cells.size() % 3 == 0) {
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
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 205 * 205 + 3 * 205 * 60);
}

}  // namespace

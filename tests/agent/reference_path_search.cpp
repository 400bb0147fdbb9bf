#include "tests/agent/reference_path_search.h"

#include "agent/agent_log.h"

namespace {

bool SameCell(const PathNode* a, const PathNode* b) {
    return a->x == b->x && a->y == b->y;
}

bool ListHoldsCell(const std::vector<PathNode*>& list, const PathNode* node) {
    for (const PathNode* entry : list) {
        if (SameCell(entry, node)) {
            return true;
        }
    }
    return false;
}

PathNode* PopBest(std::vector<PathNode*>& openList) {
    if (openList.size() == 1) {
        PathNode* only = openList.front();
        openList.clear();
        return only;
    }
    PathNode* best = openList.front();
    for (PathNode* entry : openList) {
        if (entry->f < best->f) {
            best = entry;
        }
    }
    for (auto it = openList.begin(); it != openList.end(); ++it) {
        if (SameCell(*it, best)) {
            openList.erase(it);
            break;
        }
    }
    return best;
}

void Construct(PathNode* goal, PathNode* start) {
    std::ostream& log = AgentLog();
    log << "Constructing Path From GoalNode(" << goal->x << "," << goal->y << ") To StartNode("
        << start->x << "," << start->y << "):" << std::endl;
    for (PathNode* node = goal; node != start && node->parent != nullptr;) {
        PathNode* p = node->parent;
        const char* step = nullptr;
        if (p->x == node->x - 1) {
            step = "RIGHT";
            p->direction = DIR_RIGHT;
        } else if (p->x == node->x + 1) {
            step = "LEFT";
            p->direction = DIR_LEFT;
        } else if (p->y == node->y + 1) {
            step = "DOWN";
            p->direction = DIR_DOWN;
        } else if (p->y == node->y - 1) {
            step = "UP";
            p->direction = DIR_UP;
        }
        if (step != nullptr) {
            log << "From (" << p->x << "," << p->y << ") to {" << node->x << "," << node->y
                << "): " << step << std::endl;
        }
        node = p;
    }
}

}  // namespace

bool ReferenceFindPath(PlayerAgent& agent, const GridPoint& start, const GridPoint& goal) {
    agent.ResetNodes();
    std::vector<PathNode*>().swap(agent.openList);
    std::vector<PathNode*>().swap(agent.closedList);

    PathNode* startNode = agent.NodeAt(start.x, start.y);
    startNode->h = startNode->g = startNode->f = 0;
    startNode->x = start.x;
    startNode->y = start.y;
    startNode->parent = nullptr;
    agent.openList.push_back(startNode);

    const struct {
        int dx, dy;
    } neighbours[] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};  // right, left, down, up
    while (!agent.openList.empty()) {
        PathNode* current = PopBest(agent.openList);
        if (current->x == goal.x && current->y == goal.y) {
            Construct(current, startNode);
            return true;
        }
        agent.closedList.push_back(current);
        for (const auto& n : neighbours) {
            const int x = current->x + n.dx;
            const int y = current->y + n.dy;
            if (x < 0 || x >= BOARD_COLUMNS || y < 0 || y >= BOARD_ROWS) {
                continue;
            }
            PathNode* next = agent.NodeAt(x, y);
            next->x = x;
            next->y = y;
            if (CellContent(x, y) == CELL_WALL || ListHoldsCell(agent.closedList, next) ||
                ListHoldsCell(agent.openList, next)) {
                continue;
            }
            next->h = static_cast<int32_t>(agent.Distance(GridPoint(x, y), goal));
            next->g = current->g + 1;
            next->f = next->h + next->g;
            next->parent = current;
            agent.openList.push_back(next);
        }
    }
    return false;
}

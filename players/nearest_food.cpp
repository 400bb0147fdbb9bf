// A plain second agent to compare the built-in one with: it heads for the nearest food by the
// shortest open route and pays no heed to ghosts, fruit or power pills.
#include <array>
#include <deque>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "players/registry.h"

namespace gulper {

namespace {

class NearestFoodAgent : public PlayerSprite {
  public:
    void Think() override {
        const GridPoint here = CellPosition();
        route = RouteToNearestFood(here);
        if (route.size() > 1) {
            const GridPoint next = route[1];
            direction = next.x > here.x   ? DIR_RIGHT
                        : next.x < here.x ? DIR_LEFT
                        : next.y > here.y ? DIR_UP
                                          : DIR_DOWN;
        }
        AgentLog() << "nearest-food: at (" << here.x << "," << here.y << "), food at ("
                   << route.back().x << "," << route.back().y << "), " << route.size() - 1
                   << " steps" << std::endl;
    }

    // Breadth-first over the open cells from `start`; the route to the first cell holding a
    // dot or a pill, or just `start` when none can be reached.
    static std::vector<GridPoint> RouteToNearestFood(const GridPoint& start) {
        std::array<int, BOARD_CELLS> from;
        from.fill(-1);
        auto index = [](const GridPoint& c) { return c.x * BOARD_ROWS + c.y; };
        std::deque<GridPoint> queue{start};
        from[index(start)] = index(start);
        while (!queue.empty()) {
            const GridPoint cell = queue.front();
            queue.pop_front();
            const int32_t code = MazeGrid[GridIndex(cell.x, cell.y)];
            if ((code == CELL_DOT || code == CELL_PILL) && cell != start) {
                std::vector<GridPoint> route;
                for (GridPoint c = cell; c != start;) {
                    route.insert(route.begin(), c);
                    const int f = from[index(c)];
                    c = GridPoint(f / BOARD_ROWS, f % BOARD_ROWS);
                }
                route.insert(route.begin(), start);
                return route;
            }
            // Right, left, up, down: a fixed order keeps every game reproducible.
            const GridPoint next[] = {{cell.x + 1, cell.y},
                                      {cell.x - 1, cell.y},
                                      {cell.x, cell.y + 1},
                                      {cell.x, cell.y - 1}};
            for (const GridPoint& n : next) {
                if (n.x < 0 || n.x >= BOARD_COLUMNS || n.y < 0 || n.y >= BOARD_ROWS ||
                    from[index(n)] != -1 || !IsOpenCell(MazeGrid[GridIndex(n.x, n.y)])) {
                    continue;
                }
                from[index(n)] = index(cell);
                queue.push_back(n);
            }
        }
        return {start};
    }

    std::vector<GridPoint> route;
};

AgentPlan ReadPlan(PlayerSprite& sprite, GridPoint) {
    const auto& agent = static_cast<NearestFoodAgent&>(sprite);
    AgentPlan plan;
    plan.state = "feeding";
    plan.route = agent.route;
    if (!agent.route.empty()) {
        plan.goal = agent.route.back();
    }
    return plan;
}

const AgentRegistration registration{
    {"nearest-food",
     "heads for the nearest dot or pill by the shortest open route; ignores ghosts and fruit",
     [] { return std::unique_ptr<PlayerSprite>(new NearestFoodAgent()); }, ReadPlan, nullptr}};

}  // namespace

}  // namespace gulper

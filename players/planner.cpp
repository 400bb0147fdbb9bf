// The built-in agent under its name, with a reader for the plan it leaves in its search
// records.
#include "agent/player_agent.h"
#include "game/maze.h"
#include "players/registry.h"

namespace gulper {

namespace {

GridPoint StepFrom(const GridPoint& cell, int32_t direction) {
    return GridPoint(cell.x + (direction == DIR_RIGHT) - (direction == DIR_LEFT),
                     cell.y + (direction == DIR_UP) - (direction == DIR_DOWN));
}

bool OnBoard(const GridPoint& cell) {
    return cell.x >= 0 && cell.x < BOARD_COLUMNS && cell.y >= 0 && cell.y < BOARD_ROWS;
}

// The route of the last path search: from the decision cell, each node's first step leads to
// a node whose parent it is, up to the goal (which no node has as its parent).
std::vector<GridPoint> RouteFrom(PlayerAgent& agent, GridPoint cell) {
    std::vector<GridPoint> route{cell};
    for (int guard = 0; guard < BOARD_CELLS; ++guard) {
        PathNode* node = agent.NodeAt(cell.x, cell.y);
        const GridPoint next = StepFrom(cell, node->direction);
        if (next == cell || !OnBoard(next) || agent.NodeAt(next.x, next.y)->parent != node) {
            break;
        }
        route.push_back(next);
        cell = next;
    }
    return route;
}

AgentPlan ReadPlan(PlayerSprite& sprite, GridPoint here) {
    auto& agent = static_cast<PlayerAgent&>(sprite);
    AgentPlan plan;
    if (agent.state == STATE_FLEEING) {
        plan.state = "fleeing";
        // The ghosts Flee runs from: near, and not waiting in the house.
        plan.fleeingFrom = agent.GhostsWithin(here, NEAR_DISTANCE);
        // The one step it takes, when the way is open: a Gulper cornered or keeping on into a
        // wall stands still.
        plan.route.push_back(here);
        const GridPoint next = StepFrom(here, agent.direction);
        if (next != here && OnBoard(next) && IsOpenCell(MazeGrid[GridIndex(next.x, next.y)])) {
            plan.route.push_back(next);
        }
        return plan;
    }
    plan.state = agent.state == STATE_HUNTING           ? "hunting"
                 : agent.state == STATE_GOING_FOR_FRUIT ? "fruit"
                                                        : "feeding";
    plan.route = RouteFrom(agent, here);
    plan.goal = plan.route.back();
    return plan;
}

const AgentRegistration registration{
    {DEFAULT_AGENT,
     "the built-in agent: flees near ghosts, feeds, hunts blue ghosts and goes for the fruit, "
     "by A* routes",
     [] { return std::unique_ptr<PlayerSprite>(new PlayerAgent()); }, ReadPlan, nullptr}};

}  // namespace

}  // namespace gulper

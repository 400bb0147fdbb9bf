// Fleeing: the way out from one near ghost, from two, or from the nearest of more.
#include <cmath>

#include "agent/agent_log.h"
#include "agent/player_agent.h"

void PlayerAgent::Flee() {
    const std::vector<GridPoint> near = GhostsWithin(NEAR_DISTANCE);
    if (near.size() == 1) {
        FleeFrom(near[0]);
    } else if (near.size() == 2) {
        FleeFromTwo(near);
    } else if (near.size() >= 3) {
        FleeFromNearest(near);
    }
    // None: the only near ghost waits in the house; keep going as before.
}

void PlayerAgent::FleeFrom(const GridPoint& ghostCell) {
    const GridPoint here = CellPosition();
    float x = static_cast<float>(here.x - ghostCell.x);
    float y = static_cast<float>(here.y - ghostCell.y);
    const float length = std::sqrt(x * x + y * y);
    if (length != 0) {
        x /= length;
        y /= length;
    }
    ChooseEscapeDirection(x, y);
}

void PlayerAgent::ChooseEscapeDirection(float x, float y) {
    int32_t candidates[3] = {0, 0, 0};
    if (x == 0 && y > 0) {
        candidates[0] = DIR_UP, candidates[1] = DIR_LEFT, candidates[2] = DIR_RIGHT;
    } else if (x == 0 && y < 0) {
        candidates[0] = DIR_DOWN, candidates[1] = DIR_LEFT, candidates[2] = DIR_RIGHT;
    } else if (y == 0 && x > 0) {
        candidates[0] = DIR_RIGHT, candidates[1] = DIR_UP, candidates[2] = DIR_DOWN;
    } else if (y == 0 && x < 0) {
        candidates[0] = DIR_LEFT, candidates[1] = DIR_UP, candidates[2] = DIR_DOWN;
    } else if (x != 0 && y != 0 && std::fabs(x) != std::fabs(y)) {
        // The larger component's direction first, then the smaller one's.
        const int32_t horizontal = x > 0 ? DIR_RIGHT : DIR_LEFT;
        const int32_t vertical = y > 0 ? DIR_UP : DIR_DOWN;
        const bool horizontalFirst = std::fabs(x) > std::fabs(y);
        candidates[0] = horizontalFirst ? horizontal : vertical;
        candidates[1] = horizontalFirst ? vertical : horizontal;
    } else {
        return;  // no way away from the ghost is better than another: keep going
    }
    const GridPoint here = CellPosition();
    for (int32_t d : candidates) {
        if (d == 0) {
            break;
        }
        const GridPoint n(here.x + (d == DIR_RIGHT) - (d == DIR_LEFT),
                          here.y + (d == DIR_UP) - (d == DIR_DOWN));
        if (!IsWall(n.x, n.y)) {
            direction = d;
            return;
        }
    }
    direction = 0;  // cornered: stand rather than run into the ghost
}

void PlayerAgent::FleeFromTwo(const std::vector<GridPoint>& near) {
    const GridPoint here = CellPosition();
    const GridPoint& g1 = near[0];
    const GridPoint& g2 = near[1];
    FleeFrom(Distance(here, g1) <= Distance(here, g2) ? g1 : g2);
    if (g1.x == here.x && g2.x == here.x) {
        if (!IsWall(here.x + 1, here.y)) {
            direction = DIR_RIGHT;
            AgentLog() << "Giving them the slip: RIGHT" << std::endl;
        } else if (!IsWall(here.x - 1, here.y)) {
            direction = DIR_LEFT;
            AgentLog() << "Giving them the slip: LEFT" << std::endl;
        }
    }
    if (g1.y == here.y && g2.y == here.y) {
        if (!IsWall(here.x, here.y + 1)) {
            direction = DIR_UP;
            AgentLog() << "Giving them the slip: UP" << std::endl;
        } else if (!IsWall(here.x, here.y - 1)) {
            direction = DIR_DOWN;
            AgentLog() << "Giving them the slip: DOWN" << std::endl;
        }
    }
}

GridPoint PlayerAgent::NearestOf(const std::vector<GridPoint>& cells) const {
    const GridPoint here = CellPosition();
    GridPoint nearest = cells[0];
    double best = Distance(here, nearest);
    for (size_t i = 1; i < cells.size(); ++i) {
        const double d = Distance(here, cells[i]);
        if (d < best) {
            best = d;
            nearest = cells[i];
        }
    }
    return nearest;
}

void PlayerAgent::FleeFromNearest(const std::vector<GridPoint>& near) {
    FleeFrom(NearestOf(near));
}

// What the agent senses of the ghosts and the fruit: their cells, whether the ghosts are
// blue, and which ghosts are near.
#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"

bool GhostsAreBlue() {
    for (GhostColour colour : TICK_ORDER) {
        if (const Ghost* ghost = GhostOf(colour)) {
            return ghost->IsBlue();
        }
    }
    return false;
}

GridPoint FruitCell() {
    return CellOfPixel(FRUIT_POSITION);
}

GridPoint GhostCell(GhostColour colour) {
    const Ghost* ghost = GhostOf(colour);
    return ghost != nullptr ? ghost->CellPosition() : GridPoint(0, 0);
}
GridPoint RedGhostCell() {
    return GhostCell(GHOST_RED);
}
GridPoint GreenGhostCell() {
    return GhostCell(GHOST_GREEN);
}
GridPoint OrangeGhostCell() {
    return GhostCell(GHOST_ORANGE);
}
GridPoint TurquoiseGhostCell() {
    return GhostCell(GHOST_TURQUOISE);
}

bool PlayerAgent::IsGhostNear() {
    static const char* const LINES[GHOST_COLOURS] = {
        "Gulper is near the Red Ghost - Distance is: ",
        "Gulper is near the Green Ghost - Distance is: ",
        "Gulper is near the Orange Ghost - Distance is: ",
        "Gulper is near the Turquoise Ghost - Distance is: ",
    };
    const GridPoint here = CellPosition();
    for (GhostColour colour : HOUSE_ORDER) {
        const GridPoint cell = GhostCell(colour);
        if (cell == GridPoint(0, 0)) {
            continue;
        }
        const double d = Distance(here, cell);
        if (d < NEAR_DISTANCE) {
            AgentLog() << LINES[colour] << static_cast<float>(d) << std::endl;
            return true;
        }
    }
    return false;
}

std::vector<GridPoint> PlayerAgent::GhostsWithin(const GridPoint& from, double limit) const {
    std::vector<GridPoint> list;
    for (GhostColour colour : FLEE_ORDER) {
        const GridPoint cell = GhostCell(colour);
        if (cell == GridPoint(0, 0) || cell == GHOST_HOUSE_CELL) {
            continue;
        }
        if (Distance(from, cell) < limit) {
            list.push_back(cell);
        }
    }
    return list;
}

std::vector<GridPoint> PlayerAgent::GhostsWithin(double limit) const {
    return GhostsWithin(CellPosition(), limit);
}

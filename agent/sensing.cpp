#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"

namespace {

GridPoint CellOf(const Ghost* ghost) {
    return ghost != nullptr ? ghost->CellPosition() : GridPoint(0, 0);
}

}  // namespace

bool GhostsAreBlue() {
    for (const Ghost* ghost : {redGhost, greenGhost, orangeGhost, turquoiseGhost}) {
        if (ghost != nullptr) {
            return ghost->IsBlue();
        }
    }
    return false;
}

GridPoint FruitCell() {
    return CellOfPixel(FRUIT_POSITION);
}

GridPoint RedGhostCell() {
    return CellOf(redGhost);
}
GridPoint GreenGhostCell() {
    return CellOf(greenGhost);
}
GridPoint OrangeGhostCell() {
    return CellOf(orangeGhost);
}
GridPoint TurquoiseGhostCell() {
    return CellOf(turquoiseGhost);
}

bool PlayerAgent::IsGhostNear() {
    const GridPoint here = CellPosition();
    const struct {
        GridPoint cell;
        const char* line;
    } ghosts[] = {
        {RedGhostCell(), "Gulper is near the Red Ghost - Distance is: "},
        {OrangeGhostCell(), "Gulper is near the Orange Ghost - Distance is: "},
        {GreenGhostCell(), "Gulper is near the Green Ghost - Distance is: "},
        {TurquoiseGhostCell(), "Gulper is near the Turquoise Ghost - Distance is: "},
    };
    for (const auto& g : ghosts) {
        if (g.cell == GridPoint(0, 0)) {
            continue;
        }
        const double d = Distance(here, g.cell);
        if (d < NEAR_DISTANCE) {
            AgentLog() << g.line << static_cast<float>(d) << std::endl;
            return true;
        }
    }
    return false;
}

std::vector<GridPoint> PlayerAgent::GhostsWithin(double limit) const {
    const GridPoint here = CellPosition();
    std::vector<GridPoint> list;
    for (const GridPoint& cell :
         {OrangeGhostCell(), RedGhostCell(), GreenGhostCell(), TurquoiseGhostCell()}) {
        if (cell == GridPoint(0, 0) || cell == GHOST_HOUSE_CELL) {
            continue;
        }
        if (Distance(here, cell) < limit) {
            list.push_back(cell);
        }
    }
    return list;
}

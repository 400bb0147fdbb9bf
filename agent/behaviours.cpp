// Feeding, hunting and going for the fruit: each a route and its first step.
#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_state.h"

void PlayerAgent::SteerAlongPath() {
    const GridPoint here = CellPosition();
    direction = NodeAt(here.x, here.y)->direction;
}

void PlayerAgent::Feed() {
    std::ostream& log = AgentLog();
    const GridPoint here = CellPosition();
    log << "FEEDING!" << std::endl;
    log << "Gulper at: (" << here.x << "," << here.y << ")" << std::endl;
    const GridPoint target = FindNearestFood(here);
    if (!FindPath(here, target)) {
        log << "There is no path to the nearest food position even though this should never happen"
            << std::endl;
    }
    SteerAlongPath();
    log << "Gulper at x:" << here.x << " y:" << here.y << std::endl;
    log << "Nearest food dot at x:" << target.x << " y:" << target.y << std::endl;
}

bool PlayerAgent::ShouldHunt() const {
    return !GhostsWithin(HUNT_DISTANCE).empty();
}

void PlayerAgent::Hunt() {
    const GridPoint here = CellPosition();
    const std::vector<GridPoint> targets = GhostsWithin(HUNT_DISTANCE);
    if (targets.empty()) {
        return;  // only right after ShouldHunt said yes, so never in play
    }
    const GridPoint target = NearestOf(targets);
    FindPath(here, target);
    SteerAlongPath();
}

void PlayerAgent::GoForFruit() {
    FindPath(CellPosition(), FruitCell());
    SteerAlongPath();
}

void PlayerAgent::Think() {
    const bool blue = GhostsAreBlue();
    const bool fruit = FruitPresent();
    const GridPoint fruitCell = FruitCell();
    const GridPoint here = CellPosition();

    state = STATE_FEEDING;
    if (blue && ShouldHunt()) {
        state = STATE_HUNTING;
    }
    if (fruit && Distance(here, fruitCell) < FRUIT_DISTANCE && state != STATE_HUNTING) {
        state = STATE_GOING_FOR_FRUIT;
    }
    // Asked every time, so a near ghost is logged even while the ghosts are blue.
    if (IsGhostNear() && !blue) {
        state = STATE_FLEEING;
    }

    const char* banner = nullptr;
    switch (state) {
        case STATE_FLEEING:
            Flee();
            banner = "---------------------------FLEEING STATE------------------";
            break;
        case STATE_HUNTING:
            Hunt();
            banner = "---------------------------HUNTING STATE------------------";
            break;
        case STATE_GOING_FOR_FRUIT:
            GoForFruit();
            banner = "-----------------------GOING FOR FRUIT STATE--------------";
            break;
        default:
            Feed();
            banner = "---------------------------FEEDING STATE------------------";
            break;
    }
    AgentLog() << banner << std::endl;
}

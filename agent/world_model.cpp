#include <cmath>

#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"

int32_t CellContent(int32_t x, int32_t y) {
    if (x < 0 || x >= BOARD_COLUMNS || y < 0 || y >= BOARD_ROWS) {
        return CELL_OFF_BOARD;
    }
    const struct {
        const Ghost* ghost;
        int32_t code;
    } ghosts[] = {{redGhost, CELL_RED_GHOST},
                  {orangeGhost, CELL_ORANGE_GHOST},
                  {greenGhost, CELL_GREEN_GHOST},
                  {turquoiseGhost, CELL_TURQUOISE_GHOST}};
    for (const auto& entry : ghosts) {
        if (entry.ghost != nullptr && entry.ghost->CellPosition() == GridPoint(x, y)) {
            return entry.ghost->IsBlue() ? CELL_BLUE_GHOST : entry.code;
        }
    }
    if (fruitVisible && FruitCell() == GridPoint(x, y)) {
        return CELL_FRUIT;
    }
    return MazeGrid[GridIndex(x, y)];
}

PlayerAgent::PlayerAgent() {
    visited.fill(0);
    for (auto& node : nodes) {
        node = std::make_unique<PathNode>();
    }
    ResetNodes();
    state = STATE_FEEDING;
}

PlayerAgent::~PlayerAgent() = default;

void PlayerAgent::ResetNodes() {
    // A search that writes no first step leaves the Gulper going as it was.
    for (auto& node : nodes) {
        node->x = 0;
        node->y = 0;
        node->parent = nullptr;
        node->direction = direction;
    }
}

double PlayerAgent::Distance(const GridPoint& a, const GridPoint& b) const {
    const int32_t dx = a.x - b.x;
    const int32_t dy = a.y - b.y;
    const int32_t s = dx * dx + dy * dy;
    return std::sqrt(static_cast<double>(s));
}

// The agent object: its search records, what a cell holds as it sees it, and distances.
#include <cmath>

#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"

int32_t CellContent(int32_t x, int32_t y) {
    if (x < 0 || x >= BOARD_COLUMNS || y < 0 || y >= BOARD_ROWS) {
        return CELL_OFF_BOARD;
    }
    static const int32_t CODES[GHOST_COLOURS] = {CELL_RED_GHOST, CELL_GREEN_GHOST,
                                                 CELL_ORANGE_GHOST, CELL_TURQUOISE_GHOST};
    for (GhostColour colour : HOUSE_ORDER) {
        const Ghost* ghost = GhostOf(colour);
        if (ghost != nullptr && ghost->CellPosition() == GridPoint(x, y)) {
            return ghost->IsBlue() ? CELL_BLUE_GHOST : CODES[colour];
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
    const int32_t going = direction;  // read once: the records could alias it
    for (auto& node : nodes) {
        node->x = 0;
        node->y = 0;
        node->parent = nullptr;
        node->direction = going;
    }
    written.fill(false);
    writtenCount = 0;
    restingDirection = going;
}

void PlayerAgent::ResetWrittenNodes() {
    // A route search comes with most decisions and writes only the records it examines.
    const int32_t going = direction;
    for (size_t i = 0; i < writtenCount; ++i) {
        PathNode& node = *nodes[writtenList[i]];
        node.x = 0;
        node.y = 0;
        node.parent = nullptr;
        node.direction = going;
        written[writtenList[i]] = false;
    }
    writtenCount = 0;
    if (going != restingDirection) {
        for (auto& node : nodes) {
            node->direction = going;
        }
        restingDirection = going;
    }
}

double PlayerAgent::Distance(const GridPoint& a, const GridPoint& b) const {
    const int32_t dx = a.x - b.x;
    const int32_t dy = a.y - b.y;
    const int32_t s = dx * dx + dy * dy;
    return std::sqrt(static_cast<double>(s));
}

// The state of the game in progress: flags, countdowns, the ghosts and the player, and the
// settings the rules share. Each thread has its own, so that games played on worker threads
// at once keep apart; a thread plays one game at a time.
#pragma once

#include <array>
#include <cstdint>

#include "game/grid_point.h"
#include "game/maze.h"

class Ghost;
class PlayerSprite;
class Sprite;

const GridPoint FRUIT_POSITION(190, 190);

// Flags and countdowns of the game in progress.
extern thread_local bool gameWon;
extern thread_local bool fruitVisible;
extern thread_local bool attackMode;
extern thread_local int32_t scatterCountdown;
extern thread_local int32_t attackCountdown;
extern thread_local int32_t blueCountdown;

// The ghosts (null when switched off) and the player. None of them are owned here.
extern thread_local Ghost* redGhost;
extern thread_local Ghost* greenGhost;
extern thread_local Ghost* orangeGhost;
extern thread_local Ghost* turquoiseGhost;
extern thread_local PlayerSprite* playerAgent;

// The ghosts' colours; a colour indexes the per-ghost settings.
enum GhostColour { GHOST_RED = 0, GHOST_GREEN = 1, GHOST_ORANGE = 2, GHOST_TURQUOISE = 3 };
constexpr int GHOST_COLOURS = 4;
using GhostOrder = std::array<GhostColour, GHOST_COLOURS>;
// The tick moves the ghosts, ends their blue time and checks their catches in this order,
// and the board draws them in it.
constexpr GhostOrder TICK_ORDER = {GHOST_RED, GHOST_GREEN, GHOST_ORANGE, GHOST_TURQUOISE};
// A new game sends the ghosts home in this order, and the agent looks at them in it: what
// stands on a cell, which ghost is near, which cells its route may cross.
constexpr GhostOrder HOUSE_ORDER = {GHOST_RED, GHOST_ORANGE, GHOST_GREEN, GHOST_TURQUOISE};
// The order in which fleeing lists the ghosts it runs from.
constexpr GhostOrder FLEE_ORDER = {GHOST_ORANGE, GHOST_RED, GHOST_GREEN, GHOST_TURQUOISE};

// The ghost of a colour: redGhost, greenGhost, orangeGhost or turquoiseGhost.
inline Ghost*& GhostOf(GhostColour colour) {
    // Not a table of their addresses: each thread's ghosts are at addresses of its own.
    switch (colour) {
        case GHOST_RED:
            return redGhost;
        case GHOST_GREEN:
            return greenGhost;
        case GHOST_ORANGE:
            return orangeGhost;
        default:
            return turquoiseGhost;
    }
}
// Calls visit(ghost, colour) for each ghost that plays, in the given order.
template <typename Visit>
void ForEachGhost(Visit visit, const GhostOrder& order = TICK_ORDER) {
    for (GhostColour colour : order) {
        if (Ghost* ghost = GhostOf(colour)) {
            visit(*ghost, colour);
        }
    }
}
// "red", "green", "orange", "turquoise"; "none" for anything else.
const char* GhostColourName(int colour);
// A released ghost catches the Gulper, or is eaten by it while blue, when its truncated
// pixel distance to the Gulper is below this.
constexpr int32_t CATCH_DISTANCE = 15;

// Settings shared by the rules, named after their keys in the settings file.
extern thread_local int32_t dot_value;
extern thread_local int32_t powerpill_value;
extern thread_local int32_t ghost_value;
extern thread_local int32_t fruit_value;
extern thread_local int32_t n_moves_blue_ghosts;
extern thread_local int32_t n_moves_ghost_appears;
extern thread_local int32_t length_attack_mode;
extern thread_local int32_t length_scatter_mode;
extern thread_local int32_t powerpill_slowdown_factor;

int32_t DotValue();
int32_t PowerPillValue();
Sprite* PlayerSpritePtr();
void SetPlayerAgent(PlayerSprite* p);
bool FruitPresent();
bool IsScatterMode();
void SetAttackMode(bool b);
void SetScatterMode(bool b);

// Eating, shared by the player's move and the tick.
void DotEaten();
void PowerPillEaten();

// Every process-wide variable of the game and the live board, as one value: what a saved game
// holds of them. The default is their start value (zero, false, null).
struct GameStateValues {
    MazeCells maze{};
    int32_t foodLeft = 0;
    bool gameWon = false;
    bool fruitVisible = false;
    bool attackMode = false;
    int32_t scatterCountdown = 0;
    int32_t attackCountdown = 0;
    int32_t blueCountdown = 0;
    Ghost* ghosts[GHOST_COLOURS] = {nullptr, nullptr, nullptr, nullptr};
    PlayerSprite* player = nullptr;
    // dot_value to powerpill_slowdown_factor, in their order above.
    int32_t settings[9] = {};
};
GameStateValues SaveGameState();
void RestoreGameState(const GameStateValues& values);

// Puts every process-wide variable back to its start value (zero, false, null), as at
// process start. Lets one process play many independent games.
void ResetGameState();

// The game state's variables and their accessors.
#include "game/game_state.h"

#include "game/sprite.h"

thread_local bool gameWon = false;
thread_local bool fruitVisible = false;
thread_local bool attackMode = false;
thread_local int32_t scatterCountdown = 0;
thread_local int32_t attackCountdown = 0;
thread_local int32_t blueCountdown = 0;

thread_local Ghost* redGhost = nullptr;
thread_local Ghost* greenGhost = nullptr;
thread_local Ghost* orangeGhost = nullptr;
thread_local Ghost* turquoiseGhost = nullptr;
thread_local PlayerSprite* playerAgent = nullptr;

thread_local int32_t dot_value = 0;
thread_local int32_t powerpill_value = 0;
thread_local int32_t ghost_value = 0;
thread_local int32_t fruit_value = 0;
thread_local int32_t n_moves_blue_ghosts = 0;
thread_local int32_t n_moves_ghost_appears = 0;
thread_local int32_t length_attack_mode = 0;
thread_local int32_t length_scatter_mode = 0;
thread_local int32_t powerpill_slowdown_factor = 0;

int32_t DotValue() {
    return dot_value;
}
int32_t PowerPillValue() {
    return powerpill_value;
}
Sprite* PlayerSpritePtr() {
    return playerAgent;
}
void SetPlayerAgent(PlayerSprite* p) {
    playerAgent = p;
}
bool FruitPresent() {
    return fruitVisible;
}
bool IsScatterMode() {
    return !attackMode;
}
void SetAttackMode(bool b) {
    attackMode = b;
}
void SetScatterMode(bool b) {
    attackMode = !b;
}

const char* GhostColourName(int colour) {
    static const char* const names[GHOST_COLOURS] = {"red", "green", "orange", "turquoise"};
    return colour >= 0 && colour < GHOST_COLOURS ? names[colour] : "none";
}

namespace {
// The shared settings of this thread's game, in GameStateValues::settings's order.
std::array<int32_t*, 9> Settings() {
    return {&dot_value,          &powerpill_value,     &ghost_value,
            &fruit_value,        &n_moves_blue_ghosts, &n_moves_ghost_appears,
            &length_attack_mode, &length_scatter_mode, &powerpill_slowdown_factor};
}
}  // namespace

GameStateValues SaveGameState() {
    GameStateValues v;
    v.maze = MazeGrid;
    v.foodLeft = foodLeft;
    v.gameWon = gameWon;
    v.fruitVisible = fruitVisible;
    v.attackMode = attackMode;
    v.scatterCountdown = scatterCountdown;
    v.attackCountdown = attackCountdown;
    v.blueCountdown = blueCountdown;
    for (GhostColour colour : TICK_ORDER) {
        v.ghosts[colour] = GhostOf(colour);
    }
    v.player = playerAgent;
    const std::array<int32_t*, 9> settings = Settings();
    for (int i = 0; i < 9; ++i) {
        v.settings[i] = *settings[i];
    }
    return v;
}

void RestoreGameState(const GameStateValues& v) {
    MazeGrid = v.maze;
    foodLeft = v.foodLeft;
    gameWon = v.gameWon;
    fruitVisible = v.fruitVisible;
    attackMode = v.attackMode;
    scatterCountdown = v.scatterCountdown;
    attackCountdown = v.attackCountdown;
    blueCountdown = v.blueCountdown;
    for (GhostColour colour : TICK_ORDER) {
        GhostOf(colour) = v.ghosts[colour];
    }
    playerAgent = v.player;
    const std::array<int32_t*, 9> settings = Settings();
    for (int i = 0; i < 9; ++i) {
        *settings[i] = v.settings[i];
    }
}

void ResetGameState() {
    RestoreGameState(GameStateValues{});
}

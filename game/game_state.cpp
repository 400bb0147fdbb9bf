// The game state's variables and their accessors.
#include "game/game_state.h"

#include "game/sprite.h"

bool gameWon = false;
bool fruitVisible = false;
bool attackMode = false;
int32_t scatterCountdown = 0;
int32_t attackCountdown = 0;
int32_t blueCountdown = 0;

Ghost* redGhost = nullptr;
Ghost* greenGhost = nullptr;
Ghost* orangeGhost = nullptr;
Ghost* turquoiseGhost = nullptr;
PlayerSprite* playerAgent = nullptr;

int32_t dot_value = 0;
int32_t powerpill_value = 0;
int32_t ghost_value = 0;
int32_t fruit_value = 0;
int32_t n_moves_blue_ghosts = 0;
int32_t n_moves_ghost_appears = 0;
int32_t length_attack_mode = 0;
int32_t length_scatter_mode = 0;
int32_t powerpill_slowdown_factor = 0;

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

void ResetGameState() {
    MazeGrid = MazeCells{};
    foodLeft = 0;
    gameWon = fruitVisible = attackMode = false;
    scatterCountdown = attackCountdown = blueCountdown = 0;
    redGhost = greenGhost = orangeGhost = turquoiseGhost = nullptr;
    playerAgent = nullptr;
    dot_value = powerpill_value = ghost_value = fruit_value = 0;
    n_moves_blue_ghosts = n_moves_ghost_appears = 0;
    length_attack_mode = length_scatter_mode = powerpill_slowdown_factor = 0;
}

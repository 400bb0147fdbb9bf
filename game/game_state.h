#pragma once

#include <cstdint>

#include "game/grid_point.h"
#include "game/maze.h"

class Ghost;
class PlayerSprite;
class Sprite;

const GridPoint FRUIT_POSITION(190, 190);

// Flags and countdowns of the game in progress.
extern bool gameWon;
extern bool fruitVisible;
extern bool attackMode;
extern int32_t scatterCountdown;
extern int32_t attackCountdown;
extern int32_t blueCountdown;

// The ghosts (null when switched off) and the player. None of them are owned here.
extern Ghost* redGhost;
extern Ghost* greenGhost;
extern Ghost* orangeGhost;
extern Ghost* turquoiseGhost;
extern PlayerSprite* playerAgent;

// Settings shared by the rules, named after their keys in the settings file.
extern int32_t dot_value;
extern int32_t powerpill_value;
extern int32_t ghost_value;
extern int32_t fruit_value;
extern int32_t n_moves_blue_ghosts;
extern int32_t n_moves_ghost_appears;
extern int32_t length_attack_mode;
extern int32_t length_scatter_mode;
extern int32_t powerpill_slowdown_factor;

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

// Puts every process-wide variable back to its start value (zero, false, null), as at
// process start. Lets one process play many independent games.
void ResetGameState();

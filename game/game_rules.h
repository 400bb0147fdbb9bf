// The rules' share of the game window: its per-game members, the settings loader, a new game
// and the tick, none of which needs a window.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "game/settings.h"

// The game window's share of the game: its per-game members, the settings loader, the
// new-game reset and the tick. None of it touches the window, so the same code plays
// headless games in the tests and the simulator. The game window derives from it.
class GameRules {
  public:
    GameRules();
    virtual ~GameRules();
    GameRules(const GameRules&) = delete;
    GameRules& operator=(const GameRules&) = delete;

    // Defaults, then the settings file (SETTINGS_FILE) from the working directory.
    void LoadConfig();
    // The same from another file; false when it is missing or not an ordinary file of sane size
    // (the defaults stand).
    bool LoadConfigFrom(const char* fileName);
    // Defaults, then a settings file's bytes read beforehand.
    void LoadConfigText(const std::string& text);

    // Creates the enabled ghosts, red, green, orange, turquoise.
    void CreateGhosts();
    // Destroys the existing ghosts, red, green, orange, turquoise, and clears their pointers.
    void DestroyGhosts();

    void NewGame();
    void Tick();
    void SteerByKeys(int32_t avail);

    bool keyLeft = false;
    bool keyRight = false;
    bool keyDown = false;
    bool keyUp = false;
    bool keyboardControl = false;
    bool startScreen = false;
    bool playerCaught = false;
    bool spacePressed = false;
    bool ghostEnabled[GHOST_COLOURS] = {false, false, false, false};
    int32_t ghostSlowDown[GHOST_COLOURS] = {0, 0, 0, 0};
    int32_t fruitDelay = 0;
    int32_t fruitCountdown = 0;
    int32_t fps = 0;
    int32_t tickIntervalMs = 0;
};

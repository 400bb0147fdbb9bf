// The game's application object, which owns the game window and the agent.
#pragma once

#include "framework/Main.h"
#include "game/game_window.h"

class PlayerAgent;

// The application: the game window and the agent that plays in it.
class GameApp : public GLApp {
  public:
    GameApp();
    ~GameApp() override;
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Publishes the agent as the player before the window is created.
    void OnInit() override;

    GameWindow window;
    PlayerAgent* agent;
};

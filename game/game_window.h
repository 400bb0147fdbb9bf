#pragma once

#include "framework/GLWindow.h"
#include "framework/Image.h"
#include "game/frame_timer.h"
#include "game/game_rules.h"

// Virtual-key codes the game reacts to.
enum : int {
    KEY_SPACE = 32,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_F1 = 112,
};

// The game's window: builds the game when created, runs one tick per idle call, draws the
// board and reads the keys. The rules themselves come from GameRules.
class GameWindow : public GLWindow, public GameRules {
  public:
    GameWindow();
    ~GameWindow() override;

    void OnCreate() override;
    void OnDisplay() override;
    void OnKeyboard(int key, bool down) override;
    void OnIdle() override;

    void DrawMaze();
    void DrawStartScreen();
    void DrawWinScreen();
    void DrawLoseScreen();

    Image fruitImage;
    FrameTimer frameTimer;
};

// The dot and power-pill pictures, drawn on every cell that holds one.
extern Image dotImage;
extern Image powerPillImage;

// Draws a picture centred on (x, y); an empty picture is skipped.
void DrawCentred(Image& image, double x, double y);

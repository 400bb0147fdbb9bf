#pragma once

#include "framework/GLWindow.h"
#include "framework/GlyphText.h"
#include "framework/Image.h"
#include "framework/PictureBatch.h"
#include "game/frame_timer.h"
#include "game/game_rules.h"
#include "game/sprite.h"

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

    // How the frame reaches OpenGL: the pictures in batches of textured quads, the score line
    // from a glyph texture.
    PictureBatch pictures;
    GlyphText scoreText;

  private:
    // Queues a picture centred on (x, y), as DrawCentred draws it.
    void QueueCentred(Image& image, double x, double y);
    void QueueSprite(Sprite& sprite, bool blue);
    // Queues the score line's text at the current raster position.
    void PrintScoreText(const char* format, int32_t value);
};

// The dot and power-pill pictures, drawn on every cell that holds one.
extern Image dotImage;
extern Image powerPillImage;

// Draws a picture centred on (x, y); an empty picture is skipped.
void DrawCentred(Image& image, double x, double y);

// The game's window: the game built when it is created, one tick per idle call, the keys, and
// the one drawing of the board that every window of the game shows.
#pragma once

#include <string>

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

// Where the score line's text sits, and where a line of status below it would.
constexpr int SCORE_LINE_Y = -15;
constexpr int TEXT_LINE_HEIGHT = 20;
constexpr int STATUS_LINE_Y = SCORE_LINE_Y - TEXT_LINE_HEIGHT;

// The game's window: builds the game when created, runs one tick per idle call, draws the
// board and reads the keys. The rules themselves come from GameRules.
class GameWindow : public GLWindow, public GameRules {
  public:
    GameWindow();
    ~GameWindow() override;

    void OnCreate() override;
    // The whole frame: board, overlay, sprites, score line, status line, full picture, swap.
    // The only code that draws the board; a window that adds to it overrides the hooks below.
    void OnDisplay() final;
    void OnKeyboard(int key, bool down) override;
    void OnIdle() override;

    // Walls and door now, the food into the frame's pictures.
    void DrawMaze();
    void DrawStartScreen();
    void DrawWinScreen();
    void DrawLoseScreen();

    Image fruitImage;
    FrameTimer frameTimer;

  protected:
    // The client area and projection: the board over the score line's strip, and as many
    // more lines of text below it as asked. Forgets the textures of an earlier context.
    void SetUpView(int statusLines);
    // The client size for the board, the score line's strip and `statusLines` more lines of
    // text. Set before the window is made, the window is made at that size.
    void SizeFor(int statusLines);
    // The dot, power-pill and fruit pictures.
    void LoadBoardPictures();
    // The textures of the board's and the sprites' pictures made before the first frame
    // that shows them; needs the window's context.
    void PreparePictures();

    // Drawn over the board, food included, and under the fruit and the sprites, in plain
    // OpenGL lines. Nothing by default.
    virtual void DrawOverlay() {}
    // A line of text under the score line, in the score line's colour; none when empty.
    // Shows only in a view set up with a status line.
    virtual std::string StatusLine() const { return {}; }
    // After the frame is shown.
    virtual void OnFrameShown() {}

  private:
    // Queues a picture centred on (x, y).
    void QueueCentred(Image& image, double x, double y);
    void QueueSprite(Sprite& sprite, bool blue);
    // Queues a line of text at the current raster position.
    void QueueText(const std::string& text);
    void DrawFullPicture(const char* fileName);

    // How the frame reaches OpenGL: the pictures in batches of textured quads, the text lines
    // from a glyph texture. Each is flushed in its place within the frame.
    PictureBatch pictures;
    GlyphText text;
};

// The dot and power-pill pictures, drawn on every cell that holds one.
extern Image dotImage;
extern Image powerPillImage;

// The walls and the ghost-house door as lines, in their colours, through the pictures'
// program (see PictureBatch::WhiteTexture).
void DrawWalls(PictureBatch& pictures);
// The same lines as the strips, loops and lists they were laid out as, one batch each: the
// frame check's reference for DrawWalls.
void DrawWallsAsPrimitives();
// The picture of a sprite's direction (the blue pictures for a blue ghost's); null for a
// direction that is none.
Image* SpritePicture(Sprite& sprite, bool blue);

// The game window's life: construction, the create handler that builds the game, the idle
// handler that runs it and the keys.
#include "game/game_window.h"

#include <GL/gl.h>

#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"

namespace {
constexpr int32_t GAME_OVER_PAUSE_MS = 5000;

// The strip under the board: the score line's, and as many more lines of text.
int StripHeight(int statusLines) {
    return SCORE_STRIP_HEIGHT + statusLines * TEXT_LINE_HEIGHT;
}
}  // namespace

GameWindow::GameWindow() {
    keyLeft = keyRight = keyDown = keyUp = false;
    keyboardControl = startScreen = playerCaught = spacePressed = false;
    foodLeft = 0;
    redGhost = greenGhost = orangeGhost = turquoiseGhost = nullptr;
    scatterCountdown = attackCountdown = blueCountdown = 0;
    // Made at its size: a window resized once it is shown keeps its first frame waiting on X.
    SizeFor(0);
    // The font is found and rendered while the window and its context are made.
    GlyphText::Prefetch(*this);
}

// The ghosts go with GameRules, which made them.
GameWindow::~GameWindow() = default;

void GameWindow::SizeFor(int statusLines) {
    SetSize(WINDOW_WIDTH, BOARD_HEIGHT + StripHeight(statusLines));
}

void GameWindow::SetUpView(int statusLines) {
    // A new context: textures of an earlier one are gone.
    pictures.Forget();
    text.Forget();
    const int strip = StripHeight(statusLines);
    SizeFor(statusLines);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, BOARD_WIDTH, -strip, BOARD_HEIGHT, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, GetWidth(), GetHeight());
    glClearColor(0, 0, 0, 0);
}

void GameWindow::LoadBoardPictures() {
    dotImage.Load("data//dot.tga");
    powerPillImage.Load("data//powerpill.tga");
    fruitImage.Load("data//fruit.tga");
}

void GameWindow::OnCreate() {
    SetUpView(0);
    LoadConfig();
    CreateGhosts();
    NewGame();
    LoadBoardPictures();
    PreparePictures();
}

void GameWindow::OnIdle() {
    if (startScreen) {
        Redraw();
        if (spacePressed) {
            spacePressed = false;
            startScreen = false;
        }
        frameTimer.Wait(tickIntervalMs);
    } else if (!gameWon && !playerCaught) {
        Tick();
        Redraw();
        frameTimer.Wait(tickIntervalMs);
    } else {
        Redraw();
        frameTimer.Wait(GAME_OVER_PAUSE_MS);
        NewGame();
    }
}

void GameWindow::OnKeyboard(int key, bool down) {
    if (!down) {
        return;
    }
    // Any key press cancels a pending arrow or space.
    spacePressed = false;
    keyLeft = keyRight = keyDown = keyUp = false;
    switch (key) {
        case KEY_UP:
            keyUp = true;
            break;
        case KEY_RIGHT:
            keyRight = true;
            break;
        case KEY_DOWN:
            keyDown = true;
            break;
        case KEY_LEFT:
            keyLeft = true;
            break;
        case KEY_SPACE:
            spacePressed = true;
            break;
        case KEY_F1:
            NewGame();
            startScreen = true;
            break;
        default:
            break;
    }
}

// The bare window the game's costs are measured against: the same 380 x 460 window at the
// same tick rate (the fps of the settings file, read by the game's own loader), but every
// frame only clears and swaps. Runs until its window is closed or Ctrl+C.
//
// With --one-line each frame also draws one short line: the least drawing there is, which
// already brings in the driver's shader compiler and its drawing threads, so that the game's
// costs can be set beside what any window that draws at all pays.
#include <GL/gl.h>

#include <cstring>

#include "framework/GLWindow.h"
#include "framework/Main.h"
#include "game/frame_timer.h"
#include "game/game_rules.h"

namespace gulper {

namespace {

class FloorWindow : public GLWindow {
  public:
    void OnCreate() override {
        SetSize(380, 460);
        glClearColor(0, 0, 0, 0);
        GameRules settings;
        settings.LoadConfig();
        tickIntervalMs = 1000 / settings.fps;
        const GLAppRegistry* app = GLAppRegistry::Instance();
        oneLine = app->argc > 1 && std::strcmp(app->argv[1], "--one-line") == 0;
    }
    void OnDisplay() override {
        if (!oneLine) {
            GLWindow::OnDisplay();
            return;
        }
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3d(0, 0, 1);
        glBegin(GL_LINES);
        glVertex2d(-0.5, 0);
        glVertex2d(0.5, 0);
        glEnd();
        SwapBuffers();
    }
    void OnIdle() override {
        Redraw();
        frameTimer.Wait(tickIntervalMs);
    }
    // The framework's own paint handler clears the colour buffer and swaps.

    FrameTimer frameTimer;
    int32_t tickIntervalMs = 200;
    bool oneLine = false;
};

class FloorApp : public GLApp {
  public:
    FloorWindow window;
};

FloorApp floorApp;

}  // namespace

}  // namespace gulper

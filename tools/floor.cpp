// The bare window the game's costs are measured against: the same 380 x 460 window at the
// same tick rate (the fps of the settings file, read by the game's own loader), but every
// frame only clears and swaps. Runs until its window is closed or Ctrl+C.
#include <GL/gl.h>

#include "framework/GLWindow.h"
#include "framework/Main.h"
#include "game/frame_timer.h"
#include "game/game_rules.h"

namespace {

class FloorWindow : public GLWindow {
  public:
    void OnCreate() override {
        SetSize(380, 460);
        glClearColor(0, 0, 0, 0);
        GameRules settings;
        settings.LoadConfig();
        tickIntervalMs = 1000 / settings.fps;
    }
    void OnIdle() override {
        Redraw();
        frameTimer.Wait(tickIntervalMs);
    }
    // The framework's own paint handler clears the colour buffer and swaps.

    FrameTimer frameTimer;
    int32_t tickIntervalMs = 200;
};

class FloorApp : public GLApp {
  public:
    FloorWindow window;
};

FloorApp floorApp;

}  // namespace

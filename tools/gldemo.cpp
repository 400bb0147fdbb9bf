// Opens a framework window, prints a line of text, checks that the text reached the frame and
// closes itself: a quick look at the whole window path on a real display. With --stay it keeps
// redrawing until its window is closed (or the console's Ctrl+C).
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "framework/GLWindow.h"
#include "framework/Main.h"

namespace gulper {

namespace {

constexpr int FRAMES = 3;

bool Stay() {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    return registry->argc > 1 && std::strcmp(registry->argv[1], "--stay") == 0;
}

class DemoWindow : public GLWindow {
  public:
    void OnCreate() override {
        SetSize(380, 460);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 380, 0, 460, -1, 1);
        glMatrixMode(GL_MODELVIEW);
    }
    void OnDisplay() override {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3d(1, 1, 0);
        glRasterPos2d(10, 220);
        const int base = Printf("Gulper %d", frames);
        if (frames < FRAMES) {
            std::vector<unsigned char> pixels(static_cast<std::size_t>(GetWidth()) * GetHeight() *
                                              4);
            glReadPixels(0, 0, GetWidth(), GetHeight(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            litPixels = 0;
            for (std::size_t i = 0; i < pixels.size(); i += 4) {
                litPixels += pixels[i] != 0 ? 1 : 0;
            }
            std::printf("frame %d: %dx%d, glyphs at %d, %d text pixels\n", frames, GetWidth(),
                        GetHeight(), base, litPixels);
            std::fflush(stdout);
        }
        SwapBuffers();
        ++frames;
    }
    void OnIdle() override {
        if (frames < FRAMES) {
            Redraw();
        } else if (Stay()) {
            Redraw();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else if (!closing) {
            closing = true;
            platform::PostMessage(extra->window, platform::WM_CLOSE, 0, 0);
        }
    }
    int frames = 0;
    int litPixels = 0;
    bool closing = false;
};

class DemoApp : public GLApp {
  public:
    void OnExit() override {
        std::printf("%s\n", window.litPixels > 0 ? "text drawn" : "no text drawn");
    }
    DemoWindow window;
};

DemoApp demo;

}  // namespace

}  // namespace gulper

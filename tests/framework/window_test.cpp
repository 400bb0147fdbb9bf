#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/GLWindow.h"
#include "framework/Main.h"
#include "framework/platform/platform.h"

namespace {

std::vector<std::string> events;

class App : public GLApp {
  public:
    void OnInit() override { events.push_back("app init"); }
    void OnIdle() override { events.push_back("app idle"); }
    void OnExit() override { events.push_back("app exit"); }
};

// A window that records its handlers and closes itself after a few idle calls.
class Window : public GLWindow {
  public:
    void OnCreate() override {
        events.push_back("create");
        ++creates;
        platform::SendMessage(extra->window, platform::WM_USER + 1, 0, 0);  // ignored
        createWidth = GetWidth();
        Redraw();
    }
    void OnDisplay() override {
        events.push_back("display");
        GLWindow::OnDisplay();
    }
    void OnIdle() override {
        events.push_back("idle");
        if (++idles == closeAfter) {
            platform::PostMessage(extra->window, platform::WM_CLOSE, 0, 0);
        }
    }
    void OnKeyboard(int key, bool down) override { keys.push_back(down ? key : -key); }
    void OnMouseMove(int x, int y) override { mouse = {x, y}; }
    int creates = 0;
    int createWidth = 0;
    int idles = 0;
    int closeAfter = 3;
    std::vector<int> keys;
    std::pair<int, int> mouse;
};

class Framework : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
        events.clear();
        GLAppRegistry::Instance()->consoleMode = true;
    }
    int32_t Run() { return GLAppRegistry::Instance()->Run(0, nullptr); }
};

TEST_F(Framework, RunWithoutAWindowCallsInitAndExitAndReturnsZero) {
    App app;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"app init", "app exit"}));
}

TEST_F(Framework, CreateComesFirstIdleOnlyWhenNothingWaitsAndCloseEndsTheRun) {
    App app;
    Window window;
    EXPECT_EQ(GLAppRegistry::Instance()->MainWindow(), window.extra);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(window.creates, 1);
    EXPECT_EQ(window.createWidth, 320);
    ASSERT_GE(events.size(), 6u);
    EXPECT_EQ(events[0], "app init");
    EXPECT_EQ(events[1], "create");
    EXPECT_EQ(events[2], "display");  // the paint asked for in create waits for the queue
    for (size_t i = 3; i + 1 < events.size(); ++i) {
        if (events[i] == "idle") {
            EXPECT_EQ(events[i - 1], "app idle") << i;  // the application's idle first
        }
    }
    EXPECT_EQ(events.back(), "app exit");
}

TEST_F(Framework, SizeIsSetBeforeCreationAndNegativeBecomesZero) {
    App app;
    Window window;
    window.SetSize(-5, 10);
    EXPECT_EQ(window.GetWidth(), 0);
    EXPECT_EQ(window.GetHeight(), 10);
    window.SetSize(200, 150);
    window.closeAfter = 1;
    Run();
    EXPECT_EQ(window.createWidth, 200);
}

TEST_F(Framework, PaintWithoutAnInvalidAreaDrawsNothing) {
    App app;
    Window window;
    ASSERT_TRUE(window.extra->Create());  // showing the window invalidates it
    platform::Window* w = window.extra->window;
    window.extra->WindowProc(w, platform::WM_PAINT, 0, 0);
    window.extra->WindowProc(w, platform::WM_PAINT, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"display"}));
    window.Redraw();
    window.extra->WindowProc(w, platform::WM_PAINT, 0, 0);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(Framework, MouseRowsCountFromTheBottomAndKeysRepeat) {
    App app;
    Window window;
    window.SetSize(380, 460);
    window.closeAfter = 1000000;
    ASSERT_TRUE(window.extra->Create());
    platform::Window* w = window.extra->window;
    window.extra->WindowProc(w, platform::WM_MOUSEMOVE, 0, 7);  // x 7, top row
    EXPECT_EQ(window.mouse, std::make_pair(7, 459));
    window.extra->WindowProc(w, platform::WM_MOUSEMOVE, 0, 7 | (459 << 16));
    EXPECT_EQ(window.mouse, std::make_pair(7, 0));
    // Held keys arrive as repeated presses through the real queue, then one release.
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_LEFT;
    SDL_PushEvent(&e);
    e.key.repeat = 1;
    SDL_PushEvent(&e);
    SDL_PushEvent(&e);
    e.type = SDL_KEYUP;
    e.key.repeat = 0;
    SDL_PushEvent(&e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_F10;  // the system-key path reaches no handler
    SDL_PushEvent(&e);
    platform::Message m;
    while (platform::PeekMessage(&m) && m.message != platform::WM_PAINT) {
        if (m.window == nullptr) {
            m.window = w;
        }
        platform::DispatchMessage(m);
    }
    EXPECT_EQ(window.keys, (std::vector<int>{37, 37, 37, -37}));
}

TEST_F(Framework, ContextStackRestoresSixteenLevelsAndNoMore) {
    App app;
    Window window;
    ASSERT_TRUE(window.extra->Create());
    EXPECT_EQ(ContextStackDepth(), 1);  // creation leaves its level in place
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(window.extra->MakeCurrent(true));
    }
    EXPECT_EQ(ContextStackDepth(), 21);
    window.extra->MakeCurrent(false);  // level 20 was never saved: nothing is current
    EXPECT_EQ(platform::CurrentContext(), nullptr);
    for (int i = 0; i < 19; ++i) {
        window.extra->MakeCurrent(false);
    }
    EXPECT_EQ(ContextStackDepth(), 1);
    EXPECT_EQ(platform::CurrentContext(), window.extra->renderContext);
}

TEST_F(Framework, CloseOfAnotherWindowOnlyHidesIt) {
    App app;
    Window main;
    Window other;
    ASSERT_TRUE(main.extra->Create());
    ASSERT_TRUE(other.extra->Create());
    other.extra->WindowProc(other.extra->window, platform::WM_CLOSE, 0, 0);
    EXPECT_TRUE(platform::IsWindow(other.extra->window));
    main.extra->WindowProc(main.extra->window, platform::WM_CLOSE, 0, 0);
    EXPECT_FALSE(platform::IsWindow(main.extra->window));
    EXPECT_EQ(GLAppRegistry::Instance()->PumpMessages(), 0);
}

TEST_F(Framework, PrintfDrawsTextBuildsGlyphsOnceAndKeepsTheListBase) {
    App app;
    Window window;
    ASSERT_TRUE(window.extra->Create());
    glViewport(0, 0, 320, 240);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glListBase(77);
    glColor3d(1, 1, 1);
    glRasterPos2d(10, 100);
    const int base = window.Printf("Score: %d", 1230);
    ASSERT_NE(base, 0);
    GLint listBase = 0;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 77);
    std::vector<uint8_t> pixels(320 * 30 * 4);
    glReadPixels(0, 90, 320, 30, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        lit += pixels[i] > 200;
    }
    EXPECT_GT(lit, 30);
    EXPECT_EQ(window.Printf("%s", ""), base);  // no new lists
    EXPECT_EQ(window.Printf("%s", std::string(1023, 'x').c_str()), base);
    EXPECT_EQ(window.Printf("%s", std::string(1024, 'x').c_str()), 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2d(10, 100);
    window.Printf("\xff");  // code 255 has no glyph
    glReadPixels(0, 90, 320, 30, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 0);
    }
    window.extra->fontChanged = true;
    EXPECT_NE(window.Printf("again"), 0);
}

TEST_F(Framework, ShowMessageFitsAtMost1023Characters) {
    testing::internal::CaptureStdout();
    ShowMessage("%s", std::string(1023, 'a').c_str());
    ShowMessage("%s", std::string(1024, 'b').c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, std::string(1023, 'a'));
}

TEST_F(Framework, NoDisplayGivesTheFailureTextNotACrash) {
    ::setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    App app;
    Window window;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to create window\n");
}

}  // namespace

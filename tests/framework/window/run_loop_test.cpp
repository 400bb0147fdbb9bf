// The application around the windows: its run loop, its faults, and the window list.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "framework/testing/inject.h"
#include "tests/framework/window/test_window.h"

namespace {

// Runs `program` in a child process, its standard output joined to its standard error, and
// expects the exit code `code` and exactly `output`.
void ExpectProgram(const std::function<int()>& program, int code, const std::string& output) {
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            std::exit(program());
        },
        testing::ExitedWithCode(code), "^" + output + "$");
}

int RunOneWindow() {
    App app;
    Win window;
    return GLAppRegistry::Instance()->Run(0, nullptr);
}

TEST(RunLoop, FaultsAreNamedAndEndTheProgramWithTheirCode) {
    GLAppRegistry::Instance()->consoleMode = true;
    ExpectProgram([] { return GLAppRegistry::Instance()->Run(0, nullptr); }, 255,
                  "No application instance created, exiting.");
    ExpectProgram(
        [] {
            App apps[2];
            return 0;
        },
        1, "Error: more than one application instance defined!\n");
    // Mesa then offers less than the OpenGL 2.1 the framework asks for.
    setenv("MESA_GL_VERSION_OVERRIDE", "2.0", 1);
    ExpectProgram(RunOneWindow, 1, "Failed to create GL context\n");
    // Without a display SDL would fall back to its offscreen driver, where no one sees the game.
    setenv("SDL_VIDEODRIVER", "", 1);
    setenv("DISPLAY", ":9999", 1);
    setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    ExpectProgram(
        RunOneWindow, 1,
        "No display could be opened \\(DISPLAY is :9999\\)\\.\nFailed to create window\n");
}

TEST(RunLoop, WholeRunInOrderEndedByClosingTheMainWindowWithItsCode) {
    App app;
    Win one("one"), two("two");
    app.onInit = [&] { one.SetSize(200, 100); };  // windows are made after OnInit
    one.onCreate = [&] { platform::PostMessage(one.extra->window, platform::WM_USER + 2, 0, 0); };
    one.onIdle = [&](int idles) {
        if (idles == 2) {
            platform::PostMessage(one.extra->window, platform::WM_CLOSE, 7, 0);
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 7);
    EXPECT_EQ(history, (Strings{"init", "one-create", "two-create", "one-user2", "one-display",
                                "two-display", "idle", "one-idle", "two-idle", "idle", "one-idle",
                                "two-idle", "exit"}));
    EXPECT_EQ(one.resizes, (Pairs{{200, 100}}));
}

TEST(RunLoop, CloseOfAnotherWindowHidesItAndAQuitRequestClosesTheMainOne) {
    App app;
    Win main("main"), other("other");
    bool hiddenButAlive = false;
    other.onIdle = [&](int idles) {
        if (idles == 1) {
            platform::InjectClose(other.extra->window);
        } else if (idles == 3) {
            hiddenButAlive = platform::IsWindow(other.extra->window) &&
                             !platform::IsWindowVisible(other.extra->window);
            platform::InjectQuit();  // what Ctrl+C in the console sends
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
    EXPECT_TRUE(hiddenButAlive);
    EXPECT_FALSE(platform::IsWindow(main.extra->window));
}

TEST(RunLoop, WindowListKeepsOrderTheFirstIsMainAndAGoneWindowLeavesIt) {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    Win a, b, c;
    EXPECT_EQ(registry->MainWindow(), a.extra);
    registry->RemoveWindow(b.extra);
    registry->AddWindow(b.extra);
    auto d = std::make_unique<Win>();
    ASSERT_TRUE(d->Make());
    const platform::Window made = d->extra->window;
    d.reset();
    EXPECT_FALSE(platform::IsWindow(made));
    EXPECT_EQ(registry->windows, (std::vector<GLWindowExtra*>{a.extra, c.extra, b.extra}));
    registry->RemoveWindow(a.extra);
    EXPECT_EQ(registry->MainWindow(), nullptr);  // a window that is gone cannot end the program
}

TEST(RunLoop, TakenClassNameLeavesTheWindowWithoutRecord) {
    ASSERT_NE(platform::RegisterClass("GLAppWnd", &platform::DefWindowProc), 0);
    App app;
    testing::internal::CaptureStdout();
    Win window;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to register window class\n");
    EXPECT_EQ(window.extra, nullptr);
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
}

}  // namespace

// The application object, its window list and run loop, and messages to the user.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "tests/framework/window/support.h"

using test::App;
using test::Strings;
using test::Win;

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

// A program with one window, run with these environment settings.
std::function<int()> OneWindow(std::vector<std::string> settings) {
    return [settings]() mutable {
        for (std::string& setting : settings) {
            putenv(setting.data());
        }
        App app;
        Win window;
        return GLAppRegistry::Instance()->Run(0, nullptr);
    };
}

TEST(RunLoop, FaultsAreNamedAndEndTheProgramWithTheirCode) {
    GLAppRegistry::Instance()->consoleMode = true;
    ExpectProgram([] { return GLAppRegistry::Instance()->Run(0, nullptr); }, 255,
                  "No application instance created, exiting.");
    ExpectProgram(
        [] {
            App first;
            App second;
            return 0;
        },
        1, "Error: more than one application instance defined!\n");
    // Without a display SDL would fall back to its offscreen driver, where no one sees the game.
    ExpectProgram(
        OneWindow({"SDL_VIDEODRIVER=", "DISPLAY=:9999", "XDG_RUNTIME_DIR=/nonexistent"}), 1,
        "No display could be opened \\(DISPLAY is :9999\\)\\.\nFailed to create window\n");
    // Mesa then offers less than the OpenGL 2.1 the framework asks for.
    ExpectProgram(OneWindow({"MESA_GL_VERSION_OVERRIDE=2.0"}), 1, "Failed to create GL context\n");
}

TEST(RunLoop, WholeRunInOrderEndedByClosingTheMainWindowWithItsCode) {
    {
        App app;
        EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);  // no window: init and exit
    }
    App app;
    Win one("one"), two("two");
    app.onInit = [&] { one.SetSize(200, 100); };  // windows are made after OnInit
    one.onCreate = [&] {
        platform::PostMessage(one.extra->window, platform::WM_USER + 2, 0, 0);
        platform::PostMessage(one.extra->window, platform::WM_USER + 3, 0, 0);
    };
    one.onIdle = [&](int idles) {
        if (idles == 2) {
            platform::PostMessage(one.extra->window, platform::WM_CLOSE, 7, 0);
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 7);
    EXPECT_EQ(test::log, (Strings{"init", "exit", "init", "one-create", "two-create", "one-user2",
                                  "one-user3", "one-display", "two-display", "idle", "one-idle",
                                  "two-idle", "idle", "one-idle", "two-idle", "exit"}));
    EXPECT_EQ(one.resizes, (test::Pairs{{200, 100}}));
    EXPECT_FALSE(platform::IsWindow(one.extra->window));
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
    EXPECT_FALSE(registry->AddWindow(nullptr));
    Win a, b, c;
    EXPECT_EQ(registry->MainWindow(), a.extra);
    registry->RemoveWindow(b.extra);
    registry->RemoveWindow(b.extra);  // no longer there: nothing happens
    registry->AddWindow(b.extra);
    platform::Window made = nullptr;
    {
        Win d;
        ASSERT_TRUE(d.Make());
        made = d.extra->window;
    }
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
    EXPECT_FALSE(window.SetSize(10, 10));
    EXPECT_EQ(window.Printf("x") + window.GetWidth(), 0);
    window.Redraw();
    window.SwapBuffers();
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
}

TEST(ShowMessage, ConsoleTextUpTo1023CharactersAndABoxWithoutDisplayStillReachesTheUser) {
    GLAppRegistry::Instance()->consoleMode = true;
    const std::string fits(1023, 'm');
    testing::internal::CaptureStdout();
    ShowMessage("%s", fits.c_str());
    ShowMessage("%s", (fits + "m").c_str());
    ShowMessage("%d apples%s", 3, "\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), fits + "3 apples\n");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    GLAppRegistry::Instance()->consoleMode = false;
    testing::internal::CaptureStderr();
    ShowMessage("Level %d", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Message: Level 2\n");
}

}  // namespace

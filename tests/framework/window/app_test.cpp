// The application object, its window list and run loop, messages to the user, and whole programs
// on the framework.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "tests/framework/window/support.h"

using test::App;
using test::Win;

namespace {

using Strings = std::vector<std::string>;

TEST(RunLoop, WithoutWindowInitThenExitAndWithoutApplicationNothing) {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    registry->consoleMode = true;
    {
        App app;
        EXPECT_EQ(registry->Run(0, nullptr), 0);
    }
    EXPECT_EQ(test::log, (Strings{"init", "exit"}));
    testing::internal::CaptureStdout();
    EXPECT_EQ(registry->Run(0, nullptr), -1);  // the object went with its scope
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No application instance created, exiting.");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            App first;
            App second;
        },
        testing::ExitedWithCode(1), "^Error: more than one application instance defined!\n$");
}

TEST(RunLoop, WholeRunInOrderEndedByClosingTheMainWindowWithItsCode) {
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
    EXPECT_EQ(test::log, (Strings{"init", "one-create", "two-create", "one-user2", "one-user3",
                                  "one-display", "two-display", "idle", "one-idle", "two-idle",
                                  "idle", "one-idle", "two-idle", "exit"}));
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
    EXPECT_EQ(test::log.back(), "exit");
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

// The window demo's output (standard error included) and exit status.
std::pair<std::string, int> RunDemo(const std::string& environment, const char* arguments = "") {
    const std::string command =
        environment + " timeout --preserve-status -s INT 2 " + GULPER_GLDEMO + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(Demo, DrawsItsTextAnInterruptClosesItAndEachFaultIsNamed) {
    const auto [output, status] = RunDemo("SDL_VIDEODRIVER=offscreen", " --stay");
    EXPECT_EQ(status, 0) << output;  // Ctrl+C closes the main window: the normal way out
    EXPECT_NE(output.find("frame 0: 380x460"), std::string::npos) << output;
    EXPECT_NE(output.find("\ntext drawn\n"), std::string::npos) << output;
    // Without a display SDL would fall back to its offscreen driver, where no one sees the game.
    EXPECT_EQ(RunDemo("env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:9999 "
                      "XDG_RUNTIME_DIR=/nonexistent"),
              std::make_pair(std::string("No display could be opened (DISPLAY is :9999).\n"
                                         "Failed to create window\nno text drawn\n"),
                             1));
    // Mesa then offers less than the OpenGL 2.1 the framework asks for.
    EXPECT_EQ(RunDemo("SDL_VIDEODRIVER=offscreen MESA_GL_VERSION_OVERRIDE=2.0"),
              std::make_pair(std::string("Failed to create GL context\nno text drawn\n"), 1));
}

}  // namespace

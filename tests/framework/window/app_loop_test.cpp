// The application object, the run loop and the order of a whole run.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/framework/window/support.h"

using test::Log;
using test::RecordingApp;
using test::RecordingWindow;

namespace {

std::ptrdiff_t IndexOf(const std::string& entry) {
    auto it = std::find(Log().begin(), Log().end(), entry);
    return it == Log().end() ? -1 : it - Log().begin();
}

TEST(RunLoop, WithoutWindowCallsInitAndExitAndReturnsZero) {
    {
        RecordingApp app;
        EXPECT_EQ(GLAppRegistry::Instance()->app, &app);
        EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
        EXPECT_EQ(Log(), (std::vector<std::string>{"init", "exit"}));
    }
    EXPECT_EQ(GLAppRegistry::Instance()->app, nullptr);  // gone with the object
}

TEST(RunLoop, StartUpAndExitOrder) {
    RecordingApp app;
    RecordingWindow window;
    bool createdBeforeInit = true;
    app.onInit = [&] { createdBeforeInit = window.extra->window != nullptr; };
    window.onIdle = [](RecordingWindow& self) {
        if (self.idles == 3) {
            self.Close();
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
    EXPECT_FALSE(createdBeforeInit);
    const std::string log = test::Joined(Log());
    ASSERT_GE(Log().size(), 4u) << log;
    EXPECT_EQ(Log().front(), "init") << log;
    EXPECT_EQ(Log().back(), "exit") << log;
    // OnCreate comes before the first paint and the first idle pass.
    EXPECT_EQ(IndexOf("win-create"), 1) << log;
    EXPECT_GT(IndexOf("win-display"), IndexOf("win-create")) << log;
    EXPECT_GT(IndexOf("app-idle"), IndexOf("win-create")) << log;
    EXPECT_EQ(window.creates, 1);
    EXPECT_EQ(window.idles, 3);
}

TEST(RunLoop, NoIdleWhileMessagesWaitAndApplicationIdleFirst) {
    RecordingApp app;
    RecordingWindow first("one");
    RecordingWindow second("two");
    first.onCreate = [](RecordingWindow& self) {
        for (unsigned i = 2; i < 7; ++i) {
            platform::PostMessage(self.extra->window, platform::WM_USER + i, 0, 0);
        }
    };
    first.onIdle = [](RecordingWindow& self) {
        if (self.idles == 4) {
            self.Close();
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
    const std::string log = test::Joined(Log());
    // The five messages queued in OnCreate are all handled before any idle call.
    const std::ptrdiff_t lastMessage = IndexOf("one-user6");
    ASSERT_GT(lastMessage, IndexOf("one-create")) << log;
    for (std::ptrdiff_t i = 0; i < lastMessage; ++i) {
        EXPECT_EQ(Log()[i].find("idle"), std::string::npos) << log;
    }
    // Each idle pass: the application, then the windows in the order they were made.
    int passes = 0;
    for (std::size_t i = 0; i < Log().size(); ++i) {
        if (Log()[i] == "app-idle") {
            ++passes;
            ASSERT_LT(i + 2, Log().size()) << log;
            EXPECT_EQ(Log()[i + 1], "one-idle") << log;
            EXPECT_EQ(Log()[i + 2], "two-idle") << log;
        }
    }
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(second.idles, 4);
}

TEST(RunLoop, ClosingMainWindowEndsRunAfterOnExitWithCloseCode) {
    RecordingApp app;
    RecordingWindow window;
    window.onIdle = [](RecordingWindow& self) { self.Close(7); };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 7);
    EXPECT_EQ(Log().back(), "exit");
    // The platform window went with the close; the record keeps its handles until destroyed.
    EXPECT_FALSE(platform::IsWindow(window.extra->window));
    EXPECT_NE(window.extra->renderContext, nullptr);
}

TEST(RunLoop, CloseButtonOfOtherWindowOnlyHidesIt) {
    RecordingApp app;
    RecordingWindow mainWindow("main");
    RecordingWindow other("other");
    bool otherAliveButHidden = false;
    other.onIdle = [&](RecordingWindow& self) {
        if (self.idles == 1) {
            platform::InjectClose(self.extra->window);
        } else if (self.idles == 3) {
            otherAliveButHidden = platform::IsWindow(self.extra->window) &&
                                  !platform::IsWindowVisible(self.extra->window);
            platform::InjectClose(mainWindow.extra->window);
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
    EXPECT_TRUE(otherAliveButHidden);
    EXPECT_EQ(GLAppRegistry::Instance()->MainWindow(), mainWindow.extra);
}

TEST(RunLoop, QuitRequestClosesMainWindowWithZero) {
    RecordingApp app;
    RecordingWindow window;
    window.onIdle = [](RecordingWindow& self) {
        if (self.idles == 2) {
            platform::InjectQuit();  // what Ctrl+C in the console sends
        }
    };
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
    EXPECT_EQ(Log().back(), "exit");
    EXPECT_EQ(window.idles, 2);
}

TEST(RunLoop, WindowListKeepsOrderAndFirstWindowIsMain) {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    EXPECT_FALSE(registry->AddWindow(nullptr));
    RecordingWindow a("a");
    RecordingWindow b("b");
    RecordingWindow c("c");
    EXPECT_EQ(registry->MainWindow(), a.extra);
    EXPECT_EQ(registry->windows, (std::vector<GLWindowExtra*>{a.extra, b.extra, c.extra}));
    registry->RemoveWindow(b.extra);
    registry->RemoveWindow(b.extra);  // no longer there: nothing happens
    EXPECT_EQ(registry->windows, (std::vector<GLWindowExtra*>{a.extra, c.extra}));
    registry->AddWindow(b.extra);
    EXPECT_EQ(registry->windows, (std::vector<GLWindowExtra*>{a.extra, c.extra, b.extra}));
}

TEST(RunLoop, TakenClassNameLeavesWindowWithoutRecord) {
    // The class name is taken, so the framework cannot register its own.
    ASSERT_NE(platform::RegisterClass("GLAppWnd", &platform::DefWindowProc), 0);
    RecordingApp app;
    testing::internal::CaptureStdout();
    RecordingWindow window;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to register window class\n");
    EXPECT_EQ(window.extra, nullptr);
    EXPECT_TRUE(GLAppRegistry::Instance()->windows.empty());
    EXPECT_FALSE(window.SetSize(10, 10));
    EXPECT_EQ(window.GetWidth(), 0);
    EXPECT_EQ(window.Printf("x"), 0);
    window.Redraw();
    window.SwapBuffers();
    EXPECT_EQ(GLAppRegistry::Instance()->Run(0, nullptr), 0);
}

TEST(RunLoop, NoDisplayGivesCreateFailureAndNoEndlessLoop) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    RecordingApp app;
    RecordingWindow window;
    testing::internal::CaptureStdout();
    const int code = GLAppRegistry::Instance()->Run(0, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to create window\n");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{"init", "exit"}));
    EXPECT_EQ(window.extra->window, nullptr);
}

TEST(ShowMessage, ConsoleTextUpTo1023Characters) {
    GLAppRegistry::Instance()->consoleMode = true;
    const std::string fits(1023, 'm');
    testing::internal::CaptureStdout();
    ShowMessage("%s", fits.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), fits);
    testing::internal::CaptureStdout();
    ShowMessage("%s", (fits + "m").c_str());
    ShowMessage("%d apples%s", 3, "\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "3 apples\n");
}

TEST(ShowMessage, BoxWithoutDisplayStillReachesTheUser) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    GLAppRegistry::Instance()->consoleMode = false;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ShowMessage("Level %d", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Message: Level 2\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace

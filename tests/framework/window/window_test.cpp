// The GL window: creation, messages and handlers, sizes, input, painting and the context stack.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "tests/framework/window/support.h"

using test::DrainMessages;
using test::RecordingWindow;

namespace {

using Sizes = std::vector<std::pair<int, int>>;

// A window made, with its OnCreate and first paint handled.
class MadeWindow : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.extra->Create());
        DrainMessages();
    }
    RecordingWindow window;
};
using GLWindowMessages = MadeWindow;
using GLWindowSize = MadeWindow;
using GLWindowInput = MadeWindow;

TEST(GLWindowCreate, MakesVisibleTrueColourWindowWithCurrentContext) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    GLWindowExtra& e = *window.extra;
    EXPECT_TRUE(platform::IsWindowVisible(e.window));
    EXPECT_EQ(e.palette, nullptr);  // true colour needs none
    EXPECT_EQ(platform::GetCurrentContext(), e.renderContext);
    EXPECT_EQ(platform::GetCurrentDC(), e.deviceContext);
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 1);
    platform::PixelFormatDescriptor format;
    ASSERT_TRUE(platform::DescribePixelFormat(e.deviceContext,
                                              platform::GetPixelFormat(e.deviceContext), &format));
    EXPECT_NE(format.flags & platform::PFD_DOUBLEBUFFER, 0u);
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(depth, 24);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    // The size at creation reached OnResize with the context current; OnCreate is still queued.
    EXPECT_EQ(window.resizes, (Sizes{{320, 240}}));
    EXPECT_EQ(window.creates, 0);
    DrainMessages();
    EXPECT_EQ(window.creates, 1);
    EXPECT_EQ(window.displays, 1);
}

TEST(GLWindowCreate, SizeAndPixelFormatSetBeforehandAreWhatIsMade) {
    RecordingWindow window;
    EXPECT_FALSE(window.SetSize(200, 150));  // nothing to resize yet
    window.extra->displayMode = 1;           // single-buffered
    window.extra->depthBits = 16;
    window.extra->stencilBits = 8;
    window.extra->alphaBits = 8;
    ASSERT_TRUE(window.extra->Create());
    platform::Rect client;
    ASSERT_TRUE(platform::GetClientRect(window.extra->window, &client));
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_EQ(window.GetWidth(), 200);
    EXPECT_EQ(window.GetHeight(), 150);

    const platform::DeviceContext dc = window.extra->deviceContext;
    platform::PixelFormatDescriptor format;
    ASSERT_TRUE(platform::DescribePixelFormat(dc, platform::GetPixelFormat(dc), &format));
    EXPECT_EQ(format.flags & platform::PFD_DOUBLEBUFFER, 0u);
    EXPECT_EQ(format.depthBits, 16);
    EXPECT_EQ(format.stencilBits, 8);
    EXPECT_EQ(format.alphaBits, 8);
    EXPECT_EQ(format.flags & platform::PFD_NEED_PALETTE, 0u);
    GLint stencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_EQ(stencil, 8);
    // A window's format is set once.
    EXPECT_FALSE(platform::SetPixelFormat(dc, platform::GetPixelFormat(dc) + 1, format));
}

TEST(GLWindowCreate, DestroyReleasesEverythingAndKeepsPosition) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    const platform::Window handle = window.extra->window;
    window.extra->Destroy();
    EXPECT_FALSE(platform::IsWindow(handle));
    EXPECT_EQ(window.extra->window, nullptr);
    EXPECT_EQ(window.extra->deviceContext, nullptr);
    EXPECT_EQ(window.extra->renderContext, nullptr);
    EXPECT_NE(window.extra->x, INT32_MIN);
    ASSERT_TRUE(window.extra->Create());  // and it can be made again
    EXPECT_TRUE(platform::IsWindow(window.extra->window));
}

TEST(GLWindowCreate, CreateMessageDuringOnCreateIsIgnored) {
    RecordingWindow window;
    window.onCreate = [](RecordingWindow& self) {
        EXPECT_TRUE(self.extra->inCreate);
        platform::SendMessage(self.extra->window, platform::WM_USER + 1, 0, 0);
    };
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    EXPECT_EQ(window.creates, 1);
    EXPECT_FALSE(window.extra->inCreate);
}

TEST_F(GLWindowMessages, PaintOnlyForAnUpdateRegionAndOnlyWhenNothingElseWaits) {
    const int displays = window.displays;
    platform::PostMessage(window.extra->window, platform::WM_PAINT, 0, 0);
    DrainMessages();
    EXPECT_EQ(window.displays, displays);
    window.Redraw();
    window.Redraw();  // one region, one paint
    DrainMessages();
    EXPECT_EQ(window.displays, displays + 1);

    test::Log().clear();
    window.Redraw();
    platform::PostMessage(window.extra->window, platform::WM_USER + 2, 0, 0);
    platform::PostMessage(window.extra->window, platform::WM_USER + 3, 0, 0);
    DrainMessages();
    EXPECT_EQ(test::Log(), (std::vector<std::string>{"win-user2", "win-user3", "win-display"}));
}

TEST_F(GLWindowSize, NegativeBecomesZeroAndResizeArrivesBeforeReturn) {
    window.resizes.clear();
    EXPECT_TRUE(window.SetSize(380, 460));
    EXPECT_EQ(window.resizes, (Sizes{{380, 460}}));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 380);
    EXPECT_EQ(viewport[3], 460);
    window.SetSize(-5, 10);
    EXPECT_EQ(window.resizes.back(), std::make_pair(0, 10));
    // The window system's own report of the nearest size it could make does not undo it.
    DrainMessages();
    EXPECT_EQ(window.GetWidth(), 0);
    EXPECT_EQ(window.GetHeight(), 10);
}

TEST_F(GLWindowInput, MouseYCountsFromBottomRowButtonsInOrderAndFramePointer) {
    const platform::Window w = window.extra->window;
    window.SetSize(380, 460);
    DrainMessages();
    platform::InjectMouseMove(w, 5, 0);
    platform::InjectMouseMove(w, 379, 459);
    platform::InjectMouseMove(w, -3, 470);  // captured, outside the client
    for (int button = 0; button < 3; ++button) {
        platform::InjectMouseButton(w, button, true, 10, 10);
        platform::InjectMouseButton(w, button, false, 10, 10);
    }
    DrainMessages();
    EXPECT_EQ(window.moves, (Sizes{{5, 459}, {379, 0}, {-3, -11}}));
    EXPECT_EQ(window.buttons,
              (std::vector<std::pair<int, bool>>{
                  {0, true}, {0, false}, {1, true}, {1, false}, {2, true}, {2, false}}));
    platform::InjectMouseLeave(w);
    DrainMessages();
    EXPECT_TRUE(window.extra->cursorOutside);
    platform::InjectMouseMove(w, 1, 1);
    DrainMessages();
    EXPECT_FALSE(window.extra->cursorOutside);
}

TEST_F(GLWindowInput, HeldKeyRepeatsAndReleasesOnceSystemKeysReachNoHandler) {
    const platform::Window w = window.extra->window;
    platform::InjectKey(w, 'X', true, false, true);
    platform::InjectKey(w, 'X', false, false, true);
    platform::InjectKey(w, platform::VK_F10, true);
    platform::InjectKey(w, platform::VK_F10, false);
    platform::InjectKey(w, platform::VK_LEFT, true);
    platform::InjectKey(w, platform::VK_LEFT, true, true);
    platform::InjectKey(w, platform::VK_LEFT, true, true);
    platform::InjectKey(w, platform::VK_LEFT, false);
    platform::InjectKey(w, platform::VK_SPACE, true);
    platform::InjectKey(w, platform::VK_F1, true);
    platform::InjectKey(w, 'A', true);
    platform::InjectKey(w, '7', false);
    DrainMessages();
    EXPECT_EQ(window.keys, (std::vector<std::pair<int, bool>>{{37, true},
                                                              {37, true},
                                                              {37, true},
                                                              {37, false},
                                                              {32, true},
                                                              {112, true},
                                                              {65, true},
                                                              {55, false}}));
}

TEST(ContextStack, RestoresWhatWasCurrentAndCountsBeyondSixteen) {
    RecordingWindow a("a");
    RecordingWindow b("b");
    ASSERT_TRUE(a.extra->Create());
    ASSERT_TRUE(b.extra->Create());
    const int base = GLWindowExtra::ContextDepth();
    EXPECT_EQ(base, 2);
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);
    ASSERT_TRUE(a.extra->MakeCurrent(true));
    EXPECT_EQ(platform::GetCurrentContext(), a.extra->renderContext);
    ASSERT_TRUE(b.extra->MakeCurrent(true));
    EXPECT_EQ(platform::GetCurrentDC(), b.extra->deviceContext);
    b.extra->MakeCurrent(false);
    EXPECT_EQ(platform::GetCurrentContext(), a.extra->renderContext);
    a.extra->MakeCurrent(false);
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);

    // Fill the sixteen saved levels, alternating windows, then go one deeper.
    for (int level = base; level < 16; ++level) {
        ASSERT_TRUE((level % 2 == 0 ? a : b).extra->MakeCurrent(true));
    }
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);
    ASSERT_TRUE(a.extra->MakeCurrent(true));  // counted, not saved
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 17);
    a.extra->MakeCurrent(false);
    EXPECT_EQ(platform::GetCurrentContext(), nullptr);  // nothing saved to go back to
    a.extra->MakeCurrent(false);
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 15);
    EXPECT_EQ(platform::GetCurrentContext(), a.extra->renderContext);  // the level-15 one
    while (GLWindowExtra::ContextDepth() > base) {
        a.extra->MakeCurrent(false);
    }
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);
}

TEST(ContextStack, HandlersRunWithTheirWindowsContextOrAreSkippedWithoutOne) {
    RecordingWindow a("a");
    RecordingWindow b("b");
    ASSERT_TRUE(a.extra->Create());
    ASSERT_TRUE(b.extra->Create());
    platform::RenderContext seen = nullptr;
    a.onCreate = [&](RecordingWindow&) { seen = platform::GetCurrentContext(); };
    DrainMessages();
    EXPECT_EQ(seen, a.extra->renderContext);
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);

    // a's context is gone while its record still holds the handle.
    a.resizes.clear();
    ASSERT_TRUE(platform::DeleteContext(a.extra->renderContext));
    const int depth = GLWindowExtra::ContextDepth();
    for (int i = 0; i < 20; ++i) {
        platform::SendMessage(a.extra->window, platform::WM_SIZE, 0, (20 << 16) | 30);
        platform::InjectMouseMove(a.extra->window, 1, 1);
    }
    a.Redraw();
    const int displays = a.displays;
    DrainMessages();
    EXPECT_TRUE(a.resizes.empty());
    EXPECT_TRUE(a.moves.empty());
    EXPECT_EQ(a.displays, displays);
    EXPECT_EQ(a.GetWidth(), 30);  // the size is still taken
    EXPECT_EQ(GLWindowExtra::ContextDepth(), depth);
    a.extra->renderContext = nullptr;
}

}  // namespace

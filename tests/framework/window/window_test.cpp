// The GL window: creation, messages and handlers, sizes, input, painting and the context stack.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "tests/framework/window/support.h"

using test::DrainMessages;
using test::RecordingWindow;

namespace {

TEST(GLWindowRecord, DefaultsAndPaletteTable) {
    RecordingWindow window;
    const GLWindowExtra& e = *window.extra;
    EXPECT_EQ(e.owner, &window);
    EXPECT_EQ(e.x, INT32_MIN);
    EXPECT_EQ(e.y, INT32_MIN);
    EXPECT_EQ(e.width, 320);
    EXPECT_EQ(e.height, 240);
    EXPECT_EQ(e.displayMode, 7u);
    EXPECT_EQ(e.colorBits, 24u);
    EXPECT_EQ(e.depthBits, 32u);
    EXPECT_EQ(e.stencilBits + e.alphaBits + e.accumBits, 0u);
    EXPECT_EQ(e.title, "OpenGL");
    EXPECT_EQ(e.fontHeight, 0);
    EXPECT_TRUE(e.fontName.empty());
    EXPECT_TRUE(e.visible);
    EXPECT_FALSE(e.fontChanged || e.fullScreen || e.topMost || e.cursorOutside || e.inCreate);
    EXPECT_EQ(e.fontBase, 0u);
    EXPECT_NE(e.cursor, nullptr);
    EXPECT_EQ(e.window, nullptr);
    EXPECT_NE(GLAppRegistry::Instance()->windowClass, 0);
    EXPECT_NE(GLAppRegistry::Instance()->module, nullptr);

    platform::PaletteEntry table[256];
    GLWindowExtra::FillPaletteTable(table);
    auto rgb = [&](int i) {
        return std::vector<int>{table[i].red, table[i].green, table[i].blue, table[i].flags};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rgb(7), (std::vector<int>{255, 0, 0, 0}));
    EXPECT_EQ(rgb(9 + 2 * 8 + 3 * 64), (std::vector<int>{63, 139, 255, 0}));
    EXPECT_EQ(rgb(3), (std::vector<int>{128, 0, 0, 0}));
    EXPECT_EQ(rgb(164), (std::vector<int>{160, 160, 164, 0}));
    EXPECT_EQ(rgb(247), (std::vector<int>{255, 251, 240, 0}));
    EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255, 0}));
}

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
    EXPECT_EQ(format.depthBits, 32);
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(depth, 24);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    // The size at creation reached OnResize with the context current; OnCreate is still queued.
    EXPECT_EQ(window.resizes, (std::vector<std::pair<int, int>>{{320, 240}}));
    EXPECT_EQ(window.creates, 0);
    DrainMessages();
    EXPECT_EQ(window.creates, 1);
    EXPECT_EQ(window.displays, 1);
}

TEST(GLWindowCreate, PixelFormatFollowsDisplayModeAndBits) {
    RecordingWindow window;
    window.extra->displayMode = 1;  // single-buffered
    window.extra->depthBits = 16;
    window.extra->stencilBits = 8;
    window.extra->alphaBits = 8;
    ASSERT_TRUE(window.extra->Create());
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

TEST(GLWindowCreate, SizeSetBeforeCreationIsTheClientSize) {
    RecordingWindow window;
    EXPECT_FALSE(window.SetSize(200, 150));  // nothing to resize yet
    ASSERT_TRUE(window.extra->Create());
    platform::Rect client;
    ASSERT_TRUE(platform::GetClientRect(window.extra->window, &client));
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_EQ(window.GetWidth(), 200);
    EXPECT_EQ(window.GetHeight(), 150);
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
    // It can be made again.
    ASSERT_TRUE(window.extra->Create());
    EXPECT_TRUE(platform::IsWindow(window.extra->window));
}

TEST(GLWindowMessages, CreateMessageDuringOnCreateIsIgnored) {
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

TEST(GLWindowMessages, PaintWithEmptyUpdateRegionCallsNoDisplay) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    const int displays = window.displays;
    platform::PostMessage(window.extra->window, platform::WM_PAINT, 0, 0);
    DrainMessages();
    EXPECT_EQ(window.displays, displays);
    window.Redraw();
    window.Redraw();  // one region, one paint
    DrainMessages();
    EXPECT_EQ(window.displays, displays + 1);
}

TEST(GLWindowMessages, PaintWaitsUntilNothingElseWaits) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    test::Log().clear();
    window.Redraw();
    platform::PostMessage(window.extra->window, platform::WM_USER + 2, 0, 0);
    platform::PostMessage(window.extra->window, platform::WM_USER + 3, 0, 0);
    DrainMessages();
    EXPECT_EQ(test::Log(), (std::vector<std::string>{"win-user2", "win-user3", "win-display"}));
}

TEST(GLWindowSize, NegativeBecomesZeroAndResizeArrivesBeforeReturn) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    window.resizes.clear();
    EXPECT_TRUE(window.SetSize(380, 460));
    EXPECT_EQ(window.resizes, (std::vector<std::pair<int, int>>{{380, 460}}));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 380);
    EXPECT_EQ(viewport[3], 460);
    window.SetSize(-5, 10);
    EXPECT_EQ(window.GetWidth(), 0);
    EXPECT_EQ(window.GetHeight(), 10);
    EXPECT_EQ(window.resizes.back(), std::make_pair(0, 10));
    // The window system's own report of the nearest size it could make does not undo it.
    DrainMessages();
    EXPECT_EQ(window.GetWidth(), 0);
    EXPECT_EQ(window.GetHeight(), 10);
}

TEST(GLWindowInput, MouseYCountsFromBottomRow) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    window.SetSize(380, 460);
    DrainMessages();
    platform::InjectMouseMove(window.extra->window, 5, 0);
    platform::InjectMouseMove(window.extra->window, 379, 459);
    platform::InjectMouseMove(window.extra->window, -3, 470);  // captured, outside the client
    DrainMessages();
    EXPECT_EQ(window.moves, (std::vector<std::pair<int, int>>{{5, 459}, {379, 0}, {-3, -11}}));
}

TEST(GLWindowInput, MouseButtonsAndFramePointer) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    for (int button = 0; button < 3; ++button) {
        platform::InjectMouseButton(window.extra->window, button, true, 10, 10);
        platform::InjectMouseButton(window.extra->window, button, false, 10, 10);
    }
    DrainMessages();
    EXPECT_EQ(window.buttons,
              (std::vector<std::pair<int, bool>>{
                  {0, true}, {0, false}, {1, true}, {1, false}, {2, true}, {2, false}}));
    platform::InjectMouseLeave(window.extra->window);
    DrainMessages();
    EXPECT_TRUE(window.extra->cursorOutside);
    platform::InjectMouseMove(window.extra->window, 1, 1);
    DrainMessages();
    EXPECT_FALSE(window.extra->cursorOutside);
}

TEST(GLWindowInput, HeldKeyRepeatsAndReleasesOnce) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    platform::Window w = window.extra->window;
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

TEST(GLWindowInput, SystemKeysReachNoHandler) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    platform::Window w = window.extra->window;
    platform::InjectKey(w, 'X', true, false, true);
    platform::InjectKey(w, 'X', false, false, true);
    platform::InjectKey(w, platform::VK_F10, true);
    platform::InjectKey(w, platform::VK_F10, false);
    DrainMessages();
    EXPECT_TRUE(window.keys.empty());
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
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 16);
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

TEST(ContextStack, HandlerWithoutUsableContextIsSkippedAndStackKept) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    test::DrainMessages();
    window.resizes.clear();
    // The context is gone while the record still holds its handle.
    ASSERT_TRUE(platform::DeleteContext(window.extra->renderContext));
    const int depth = GLWindowExtra::ContextDepth();
    for (int i = 0; i < 20; ++i) {
        platform::SendMessage(window.extra->window, platform::WM_SIZE, 0, (20 << 16) | 30);
        platform::InjectMouseMove(window.extra->window, 1, 1);
    }
    window.Redraw();
    const int displays = window.displays;
    test::DrainMessages();
    EXPECT_TRUE(window.resizes.empty());
    EXPECT_TRUE(window.moves.empty());
    EXPECT_EQ(window.displays, displays);
    EXPECT_EQ(window.GetWidth(), 30);  // the size is still taken
    EXPECT_EQ(GLWindowExtra::ContextDepth(), depth);
    window.extra->renderContext = nullptr;
}

TEST(ContextStack, HandlersRunWithTheirWindowsContext) {
    RecordingWindow a("a");
    RecordingWindow b("b");
    ASSERT_TRUE(a.extra->Create());
    ASSERT_TRUE(b.extra->Create());
    platform::RenderContext seen = nullptr;
    a.onCreate = [&](RecordingWindow&) { seen = platform::GetCurrentContext(); };
    DrainMessages();
    EXPECT_EQ(seen, a.extra->renderContext);
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);
}

}  // namespace

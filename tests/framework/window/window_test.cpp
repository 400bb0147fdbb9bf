// The GL window under SDL's offscreen driver: creation, pixel formats, painting, sizes and
// placement, mouse and keys, the context stack and bitmap text.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "framework/platform/glyph_bitmaps.h"
#include "tests/framework/window/support.h"

using test::Drain;
using test::Pairs;
using test::Win;

namespace {

using Strings = std::vector<std::string>;

class GLWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(w.Make());
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, 320, 0, 240, -1, 1);
    }
    // The raster position's advance over `text` printed from (10, 100).
    float AdvanceOf(const std::string& text, int* base = nullptr) {
        glRasterPos2d(10, 100);
        const int used = w.Printf("%s", text.c_str());
        if (base != nullptr) {
            *base = used;
        }
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0] - 10.0f;
    }
    static GLint Get(GLenum what) {
        GLint value = -1;
        glGetIntegerv(what, &value);
        return value;
    }
    Win w;
};

TEST_F(GLWindowTest, MadeVisibleWithItsContextCurrentAndOnCreateBeforeThePaint) {
    EXPECT_TRUE(platform::IsWindowVisible(w.extra->window));
    EXPECT_EQ(w.extra->palette, nullptr);  // true colour needs none
    EXPECT_EQ(platform::GetCurrentContext(), w.extra->renderContext);
    EXPECT_EQ(platform::GetCurrentDC(), w.extra->deviceContext);
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 1);
    platform::PixelFormatDescriptor f;
    const platform::DeviceContext dc = w.extra->deviceContext;
    ASSERT_TRUE(platform::DescribePixelFormat(dc, platform::GetPixelFormat(dc), &f));
    EXPECT_NE(f.flags & platform::PFD_DOUBLEBUFFER, 0u);
    EXPECT_GE(Get(GL_DEPTH_BITS), 24);
    EXPECT_EQ(Get(GL_ALPHA_BITS), 0);
    EXPECT_EQ(w.resizes, (Pairs{{320, 240}}));
    EXPECT_EQ(test::log, (Strings{"w-create", "w-display"}));
}

TEST_F(GLWindowTest, SizeAndPixelFormatAskedBeforehandAreWhatIsMade) {
    Win v("v");
    EXPECT_FALSE(v.SetSize(200, 150));  // nothing to resize yet
    v.extra->displayMode = 1;           // single-buffered
    v.extra->depthBits = 16;
    v.extra->stencilBits = 8;
    v.extra->alphaBits = 8;
    ASSERT_TRUE(v.Make());
    EXPECT_EQ(v.resizes, (Pairs{{200, 150}}));
    EXPECT_EQ(std::make_pair(Get(GL_STENCIL_BITS), Get(GL_ALPHA_BITS)), std::make_pair(8, 8));
    const platform::DeviceContext dc = v.extra->deviceContext;
    platform::PixelFormatDescriptor f;
    ASSERT_TRUE(platform::DescribePixelFormat(dc, platform::GetPixelFormat(dc), &f));
    EXPECT_EQ((std::vector<int>{static_cast<int>(f.flags & platform::PFD_DOUBLEBUFFER), f.depthBits,
                                f.stencilBits, f.alphaBits}),
              (std::vector<int>{0, 16, 8, 8}));
    // A window's format is set once.
    EXPECT_FALSE(platform::SetPixelFormat(dc, platform::GetPixelFormat(dc) + 1, f));
}

TEST_F(GLWindowTest, DestroyedWindowIsGoneAndIsMadeAgainWhereItWas) {
    platform::Rect before, after;
    ASSERT_TRUE(platform::GetWindowRect(w.extra->window, &before));
    const platform::Window old = w.extra->window;
    w.extra->Destroy();
    EXPECT_FALSE(platform::IsWindow(old));
    EXPECT_EQ(w.extra->renderContext, nullptr);
    ASSERT_TRUE(w.Make());
    w.SetSize(380, 460);  // the program's place is kept, not centred again
    ASSERT_TRUE(platform::GetWindowRect(w.extra->window, &after));
    EXPECT_EQ(std::make_pair(after.left, after.top), std::make_pair(before.left, before.top));
}

TEST_F(GLWindowTest, PaintOnlyForAnUpdateRegionAndOnlyWhenNothingElseWaits) {
    test::log.clear();
    platform::PostMessage(w.extra->window, platform::WM_PAINT, 0, 0);
    Drain();
    w.Redraw();
    w.Redraw();  // one region, one paint
    platform::PostMessage(w.extra->window, platform::WM_USER + 2, 0, 0);
    platform::PostMessage(w.extra->window, platform::WM_USER + 3, 0, 0);
    Drain();
    EXPECT_EQ(test::log, (Strings{"w-user2", "w-user3", "w-display"}));
}

TEST_F(GLWindowTest, SizesReachOnResizeOnceAndLateReportsArePassedOver) {
    w.resizes.clear();
    EXPECT_TRUE(w.SetSize(380, 460));
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}}));  // before SetSize returns
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::make_pair(viewport[2], viewport[3]), std::make_pair(380, 460));
    // The window manager's answer to the size the window was made with, arriving late.
    ASSERT_TRUE(platform::InjectSizeReport(w.extra->window, 320, 240));
    Drain();
    w.SetSize(-5, 10);
    Drain();
    ASSERT_TRUE(platform::InjectUserResize(w.extra->window, 500, 400));
    Drain();
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}, {0, 10}, {500, 400}}));
    EXPECT_EQ(std::make_pair(w.GetWidth(), w.GetHeight()), std::make_pair(500, 400));
}

TEST_F(GLWindowTest, PlacedByThePlatformItStaysCentredAndFullScreenHasNoFrame) {
    std::int32_t width = 0, height = 0;
    ASSERT_TRUE(platform::GetDisplaySize(&width, &height));
    platform::Rect r;
    for (const auto& [cx, cy] : Pairs{{320, 240}, {100, 700}, {5000, 4000}}) {
        w.SetSize(cx, cy);
        Drain();
        ASSERT_TRUE(platform::GetWindowRect(w.extra->window, &r));
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (std::vector<int>{std::max((width - cx) / 2, 0), std::max((height - cy) / 2, 0),
                                    cx, cy}));
    }
    bool resizable = false;
    EXPECT_EQ(platform::WindowStyleOf(w.extra->window, &resizable), platform::WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(resizable);
    w.extra->fullScreen = true;
    w.resizes.clear();
    ASSERT_TRUE(w.Make());
    EXPECT_EQ(platform::WindowStyleOf(w.extra->window, &resizable), platform::WS_POPUP);
    EXPECT_FALSE(resizable);
    ASSERT_TRUE(platform::GetWindowRect(w.extra->window, &r));
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{0, 0, width, height}));
    EXPECT_EQ(w.resizes, (Pairs{{width, height}}));
}

TEST_F(GLWindowTest, MouseYCountsFromTheBottomRowAndButtonsArriveInOrder) {
    const platform::Window h = w.extra->window;
    platform::InjectMouseMove(h, 5, 0);
    platform::InjectMouseMove(h, 319, 239);
    platform::InjectMouseMove(h, -3, 250);  // captured, outside the client
    for (int button = 0; button < 3; ++button) {
        platform::InjectMouseButton(h, button, true);
        platform::InjectMouseButton(h, button, false);
    }
    Drain();
    EXPECT_EQ(w.moves, (Pairs{{5, 239}, {319, 0}, {-3, -11}}));
    EXPECT_EQ(w.buttons, (Pairs{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}}));
    platform::InjectMouseLeave(h);
    Drain();
    EXPECT_TRUE(w.extra->cursorOutside);
    platform::InjectMouseMove(h, 1, 1);
    Drain();
    EXPECT_FALSE(w.extra->cursorOutside);
}

TEST_F(GLWindowTest, KeysPutInByCodeArriveWithTheirStateBitsSystemKeysReachNoHandler) {
    constexpr platform::LParam UP = 0xC0000001, REPEAT = 0x40000001;
    const struct {
        int code;
        bool down, repeat, alt;
        std::uint32_t message;
        platform::LParam flags;
    } cases[] = {
        {platform::VK_LEFT, true, false, false, platform::WM_KEYDOWN, 1},
        {platform::VK_LEFT, true, true, false, platform::WM_KEYDOWN, REPEAT},
        {platform::VK_LEFT, false, false, false, platform::WM_KEYUP, UP},
        {'X', true, false, true, platform::WM_SYSKEYDOWN, 1},
        {'X', false, false, true, platform::WM_SYSKEYUP, UP},
        {platform::VK_F10, true, false, false, platform::WM_SYSKEYDOWN, 1},
        {platform::VK_MENU, false, false, false, platform::WM_SYSKEYUP, UP},
    };
    Pairs keys;
    for (const auto& c : cases) {
        w.keyMessages.clear();
        ASSERT_TRUE(platform::InjectKey(w.extra->window, c.code, c.down, c.repeat, c.alt));
        Drain();
        EXPECT_EQ(w.keyMessages, (decltype(w.keyMessages){{c.message, c.flags}})) << c.code;
        if (c.message == platform::WM_KEYDOWN || c.message == platform::WM_KEYUP) {
            keys.push_back({c.code, c.down});
        }
    }
    EXPECT_EQ(w.keys, keys);
    // Every code a key gives comes back as itself; one no key gives is refused.
    EXPECT_FALSE(platform::InjectKey(w.extra->window, 7, true));
    w.keys.clear();
    keys.clear();
    for (int code : {19,  20,  33,  38,  45,  46,  65,  90,  91,  93,  96,  105, 106,
                     111, 124, 135, 144, 145, 186, 187, 189, 192, 219, 222, 223, 226}) {
        EXPECT_TRUE(platform::InjectKey(w.extra->window, code, true)) << code;
        keys.push_back({code, true});
    }
    Drain();
    EXPECT_EQ(w.keys, keys);
}

TEST_F(GLWindowTest, EveryKeyReachesOnKeyboardWithItsVirtualKeyCode) {
    // SDL's scan code, key code and modifiers; -1 for a key that takes the system path.
    const struct {
        int scancode, keycode, modifiers, expected;
    } cases[] = {
        {SDL_SCANCODE_COMMA, SDLK_COMMA, 0, 188},
        {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 0, 192},
        {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 0, 222},
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 0, 187},
        // Punctuation of other layouts by its character; unknown characters by the key's place.
        {SDL_SCANCODE_SLASH, SDLK_EXCLAIM, 0, 223},
        {SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, 0, 226},
        {SDL_SCANCODE_SEMICOLON, 0xF6, 0, 186},
        {SDL_SCANCODE_NONUSBACKSLASH, 0xA7, 0, 226},
        // Letters follow the layout; keys without a Latin letter or digit follow their place.
        {SDL_SCANCODE_Q, SDLK_a, 0, 'A'},
        {SDL_SCANCODE_F, 0x430, 0, 'F'},
        {SDL_SCANCODE_2, 0xE9, 0, '2'},
        {SDL_SCANCODE_0, 0xE0, 0, '0'},
        {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0, 20},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0, 19},
        // The keypad: digits with Num Lock on, else the navigation key printed on them.
        {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, 96},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NUM, 105},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, 110},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, 46},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, 0, 38},
        {SDL_SCANCODE_KP_1, SDLK_KP_1, 0, 35},
        {SDL_SCANCODE_KP_5, SDLK_KP_5, 0, 12},
        {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 0, 106},
        {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, KMOD_NUM, 111},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 13},
        {SDL_SCANCODE_UP, SDLK_UP, KMOD_NUM, 38},
        {SDL_SCANCODE_RGUI, SDLK_RGUI, 0, 92},
        {SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0, 93},
        {SDL_SCANCODE_F12, SDLK_F12, 0, 123},
        {SDL_SCANCODE_F13, SDLK_F13, 0, 124},
        {SDL_SCANCODE_F24, SDLK_F24, 0, 135},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, 0, 32},
        // A key with no code of the window system's still arrives, with one of its own.
        {SDL_SCANCODE_KBDILLUMUP, SDLK_KBDILLUMUP, 0, 255},
        {SDL_SCANCODE_MODE, SDLK_MODE, 0, 255},
        {SDL_SCANCODE_COMMA, SDLK_COMMA, KMOD_LALT, -1},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_RALT, -1},
    };
    for (const auto& c : cases) {
        w.keys.clear();
        for (bool down : {true, false}) {
            ASSERT_TRUE(platform::InjectKeySym(w.extra->window, c.scancode, c.keycode,
                                               static_cast<unsigned>(c.modifiers), down));
        }
        Drain();
        EXPECT_EQ(w.keys, c.expected < 0 ? Pairs{} : (Pairs{{c.expected, 1}, {c.expected, 0}}))
            << "scan code " << c.scancode << ", key code " << c.keycode;
    }
}

TEST_F(GLWindowTest, ContextStackRestoresWhatWasCurrentAndCountsBeyondSixteen) {
    Win b("b");
    ASSERT_TRUE(b.Make());
    const auto current = [] { return platform::GetCurrentContext(); };
    GLWindowExtra& a = *w.extra;
    ASSERT_EQ(GLWindowExtra::ContextDepth(), 2);
    ASSERT_TRUE(a.MakeCurrent(true));
    EXPECT_EQ(current(), a.renderContext);
    ASSERT_TRUE(b.extra->MakeCurrent(true));
    EXPECT_EQ(platform::GetCurrentDC(), b.extra->deviceContext);
    EXPECT_TRUE(b.extra->MakeCurrent(false));
    EXPECT_EQ(current(), a.renderContext);
    EXPECT_TRUE(a.MakeCurrent(false));
    EXPECT_EQ(current(), b.extra->renderContext);
    // Fill the sixteen saved levels, alternating windows, then go one deeper.
    for (int level = 2; level < 16; ++level) {
        ASSERT_TRUE((level % 2 == 0 ? a : *b.extra).MakeCurrent(true));
    }
    ASSERT_TRUE(a.MakeCurrent(true));  // counted, not saved
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 17);
    a.MakeCurrent(false);
    EXPECT_EQ(current(), nullptr);  // nothing saved to go back to
    a.MakeCurrent(false);
    EXPECT_EQ(current(), a.renderContext);  // the level-15 one
    while (GLWindowExtra::ContextDepth() > 2) {
        a.MakeCurrent(false);
    }
    EXPECT_EQ(current(), b.extra->renderContext);
}

TEST_F(GLWindowTest, HandlersRunWithTheirWindowsContextOrAreSkippedWithoutOne) {
    Win b("b");
    platform::RenderContext seen = nullptr;
    w.onCreate = [&] { seen = platform::GetCurrentContext(); };
    ASSERT_TRUE(b.extra->Create());
    ASSERT_TRUE(w.extra->Create());
    ASSERT_TRUE(b.extra->MakeCurrent(true));
    Drain();
    EXPECT_EQ(seen, w.extra->renderContext);
    EXPECT_EQ(platform::GetCurrentContext(), b.extra->renderContext);
    // w's context is gone while its record still holds the handle.
    ASSERT_TRUE(platform::DeleteContext(w.extra->renderContext));
    const int depth = GLWindowExtra::ContextDepth();
    w.resizes.clear();
    test::log.clear();
    platform::SendMessage(w.extra->window, platform::WM_SIZE, 0, (20 << 16) | 30);
    platform::InjectMouseMove(w.extra->window, 1, 1);
    platform::InjectMouseButton(w.extra->window, 0, true);
    w.Redraw();
    Drain();
    EXPECT_TRUE(w.resizes.empty() && w.moves.empty() && w.buttons.empty() && test::log.empty());
    EXPECT_EQ(w.GetWidth(), 30);  // the size is still taken
    EXPECT_EQ(GLWindowExtra::ContextDepth(), depth);
    w.extra->renderContext = nullptr;
}

TEST_F(GLWindowTest, GlyphListsAreBuiltOnceReusedAndRebuiltForANewFont) {
    int base = 0;
    EXPECT_EQ(AdvanceOf("", &base), 0.0f);  // builds the glyphs, draws nothing
    ASSERT_NE(base, 0);
    for (int c = -1; c <= 255; ++c) {
        ASSERT_EQ(glIsList(base + c), c >= 0 && c < 255) << c;
    }
    const float a = AdvanceOf("AB") - AdvanceOf("B", &base);
    EXPECT_EQ(base, w.extra->fontBase);
    ASSERT_GT(a, 3.0f);
    // Later texts call these very lists: with one gone, its character draws nothing.
    glDeleteLists(base + 'A', 1);
    EXPECT_EQ(AdvanceOf("AB"), AdvanceOf("B"));
    w.extra->fontChanged = true;
    EXPECT_EQ(AdvanceOf("AB") - AdvanceOf("B"), a);
    // The height asked for is honoured; without one the system font is used, whatever the face.
    const struct {
        int height;
        const char* face;
    } fonts[] = {{8, ""}, {26, ""}, {26, "DejaVu Sans Mono"}, {0, "DejaVu Sans Mono"}};
    const float system = AdvanceOf("MMMMMMMMMM");
    std::vector<float> widths;
    for (const auto& font : fonts) {
        w.extra->fontHeight = font.height;
        w.extra->fontName = font.face;
        w.extra->fontChanged = true;
        widths.push_back(AdvanceOf("MMMMMMMMMM"));
    }
    EXPECT_LT(widths[0], system * 0.8f);
    EXPECT_GT(widths[1], system * 1.6f);
    EXPECT_NE(widths[2], widths[1]);  // monospaced capitals are narrower
    EXPECT_EQ(widths[3], system);
}

TEST_F(GLWindowTest, PrintfDrawsUpTo1023CharactersLeavingTheListBaseAndLine) {
    const float one = AdvanceOf("i");
    ASSERT_GT(one, 0.0f);
    int base = 0;
    EXPECT_FLOAT_EQ(AdvanceOf(std::string(1023, 'i'), &base), 1023 * one);
    EXPECT_NE(base, 0);
    EXPECT_EQ(AdvanceOf(std::string(1024, 'i'), &base), 0.0f);
    EXPECT_EQ(base, 0);
    // Code 255 has no list of ours, whatever list follows the glyphs.
    const GLuint after = glGenLists(1);
    ASSERT_EQ(after, w.extra->fontBase + 255);
    glNewList(after, GL_COMPILE);
    glBitmap(0, 0, 0, 0, 500, 0, nullptr);
    glEndList();
    EXPECT_FLOAT_EQ(AdvanceOf("i\xFFi"), 2 * one);
    // The caller's list base is kept, and a line feed stays on the line.
    glListBase(42);
    EXPECT_FLOAT_EQ(AdvanceOf("i\ni"), 2 * one + AdvanceOf("\n"));
    EXPECT_EQ(Get(GL_LIST_BASE), 42);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    EXPECT_EQ(position[1], 100.0f);
    Win unmade;
    EXPECT_EQ(unmade.Printf("x"), 0);
    EXPECT_EQ(unmade.extra->PrintText(nullptr), 0);
}

TEST_F(GLWindowTest, DrawnTextIsTheFontsGlyphBitmapInTheRasterColour) {
    std::vector<platform::GlyphBitmap> glyphs;
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 'g', 1, &glyphs));
    const platform::GlyphBitmap& g = glyphs[0];
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3d(1, 0, 1);
    ASSERT_EQ(AdvanceOf("g"), g.xmove);
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const int left = static_cast<int>(10 - g.xorig), bottom = static_cast<int>(100 - g.yorig);
    int lit = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const unsigned char* p = &pixels[(y * 320 + x) * 4];
            const int gx = x - left, gy = y - bottom;
            const bool set = gx >= 0 && gy >= 0 && gx < g.width && gy < g.rows &&
                             g.pixels[gy * g.width + gx] != 0;
            lit += set;
            ASSERT_EQ((std::vector<int>{p[0], p[1], p[2]}),
                      (std::vector<int>{set ? 255 : 0, 0, set ? 255 : 0}))
                << x << ", " << y;
        }
    }
    EXPECT_GT(lit, 10);
}

TEST_F(GLWindowTest, NoFontFoundDrawsNothingAndIsTriedAgainNextTime) {
    const std::string config = testing::TempDir() + "gulper-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    EXPECT_EQ(w.Printf("Score"), 0);
    EXPECT_EQ(w.extra->fontBase, 0u);
    for (GLuint list = 1; list <= 1024; ++list) {
        ASSERT_FALSE(glIsList(list)) << list;  // the lists made for both attempts are gone
    }
    unsetenv("FONTCONFIG_FILE");
    EXPECT_NE(w.Printf("Score"), 0);
}

}  // namespace

// The GL window under SDL's offscreen driver: creation, pixel formats, painting, sizes and
// placement, mouse and keys, the context stack and bitmap text.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <fstream>

#include "framework/platform/glyph_bitmaps.h"
#include "tests/framework/window/support.h"

using test::Drain;
using test::Pairs;
using test::Win;

namespace {

using Ints = std::vector<int>;

class GLWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(w.Make());
        glOrtho(0, 320, 0, 240, -1, 1);
    }
    // The raster position's advance over `text` printed from (10, 100); `base` the lists used.
    float AdvanceOf(const std::string& text) {
        glRasterPos2d(10, 100);
        base = w.Printf("%s", text.c_str());
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0] - 10.0f;
    }
    static GLint Get(GLenum what) {
        GLint value[4] = {};
        glGetIntegerv(what, value);
        return what == GL_VIEWPORT ? value[2] * 10000 + value[3] : value[0];
    }
    Win w;
    int base = 0;
};

TEST_F(GLWindowTest, MadeVisibleAsAskedWithItsContextCurrentAndOnCreateBeforeThePaint) {
    EXPECT_TRUE(platform::IsWindowVisible(w.extra->window));
    EXPECT_EQ(w.extra->palette, nullptr);  // true colour needs none
    EXPECT_EQ(platform::GetCurrentDC(), w.extra->deviceContext);
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 1);
    EXPECT_GE(Get(GL_DEPTH_BITS), 24);
    EXPECT_EQ(w.resizes, (Pairs{{320, 240}}));
    EXPECT_EQ(test::log, (test::Strings{"w-create", "w-display"}));
    const auto format = [](Win& window) {
        const platform::DeviceContext dc = window.extra->deviceContext;
        platform::PixelFormatDescriptor f;
        EXPECT_TRUE(platform::DescribePixelFormat(dc, platform::GetPixelFormat(dc), &f));
        return Ints{(f.flags & platform::PFD_DOUBLEBUFFER) != 0, f.depthBits, f.stencilBits,
                    f.alphaBits};
    };
    EXPECT_EQ(format(w)[0], 1);  // double-buffered unless asked otherwise
    Win v("v");
    EXPECT_FALSE(v.SetSize(200, 150));  // nothing to resize yet
    v.extra->displayMode = 1;           // single-buffered
    v.extra->depthBits = 16;
    v.extra->stencilBits = v.extra->alphaBits = 8;
    ASSERT_TRUE(v.Make());
    EXPECT_EQ(platform::GetCurrentContext(), v.extra->renderContext);
    EXPECT_EQ(v.resizes, (Pairs{{200, 150}}));
    EXPECT_EQ(format(v), (Ints{0, 16, 8, 8}));
    EXPECT_EQ((Ints{Get(GL_STENCIL_BITS), Get(GL_ALPHA_BITS)}), (Ints{8, 8}));
}

TEST_F(GLWindowTest, PlacedByThePlatformStaysCentredIsMadeAgainWhereItWasFullScreenNoFrame) {
    std::int32_t width = 0, height = 0;
    ASSERT_TRUE(platform::GetDisplaySize(&width, &height));
    const auto rect = [&] {
        platform::Rect r{};
        EXPECT_TRUE(platform::GetWindowRect(w.extra->window, &r));
        return Ints{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    for (const auto& [cx, cy] : Pairs{{100, 700}, {5000, 4000}, {380, 460}}) {
        w.SetSize(cx, cy);
        Drain();
        EXPECT_EQ(rect(),
                  (Ints{std::max((width - cx) / 2, 0), std::max((height - cy) / 2, 0), cx, cy}));
    }
    const Ints before = rect();
    const platform::Window old = w.extra->window;
    w.extra->Destroy();
    EXPECT_FALSE(platform::IsWindow(old));
    ASSERT_TRUE(w.Make());
    w.SetSize(200, 100);  // the place is kept now, not centred again
    EXPECT_EQ(rect(), (Ints{before[0], before[1], 200, 100}));
    bool resizable = false;
    EXPECT_EQ(platform::WindowStyleOf(w.extra->window, &resizable), platform::WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(resizable);
    w.extra->fullScreen = true;
    w.resizes.clear();
    ASSERT_TRUE(w.Make());
    EXPECT_EQ(platform::WindowStyleOf(w.extra->window, &resizable), platform::WS_POPUP);
    EXPECT_FALSE(resizable);
    EXPECT_EQ(rect(), (Ints{0, 0, width, height}));
    EXPECT_EQ(w.resizes, (Pairs{{width, height}}));
}

TEST_F(GLWindowTest, SizesReachOnResizeOnceAndPaintWaitsForAnUpdateRegionAndOtherMessages) {
    w.resizes.clear();
    EXPECT_TRUE(w.SetSize(380, 460));
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}}));  // before SetSize returns
    EXPECT_EQ(Get(GL_VIEWPORT), 380 * 10000 + 460);
    // The window manager's answer to the size the window was made with, arriving late.
    ASSERT_TRUE(platform::InjectSizeReport(w.extra->window, 320, 240));
    Drain();
    w.SetSize(-5, 10);
    Drain();
    ASSERT_TRUE(platform::InjectUserResize(w.extra->window, 500, 400));
    Drain();
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}, {0, 10}, {500, 400}}));
    EXPECT_EQ((Ints{w.GetWidth(), w.GetHeight()}), (Ints{500, 400}));
    test::log.clear();
    platform::PostMessage(w.extra->window, platform::WM_PAINT, 0, 0);  // no region: no paint
    Drain();
    w.Redraw();
    w.Redraw();  // one region, one paint
    platform::PostMessage(w.extra->window, platform::WM_USER + 2, 0, 0);
    Drain();
    EXPECT_EQ(test::log, (test::Strings{"w-user2", "w-display"}));
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
    platform::InjectMouseLeave(h);
    Drain();
    EXPECT_EQ(w.moves, (Pairs{{5, 239}, {319, 0}, {-3, -11}}));
    EXPECT_EQ(w.buttons, (Pairs{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}}));
    EXPECT_TRUE(w.extra->cursorOutside);
    platform::InjectMouseMove(h, 1, 1);
    Drain();
    EXPECT_FALSE(w.extra->cursorOutside);
}

TEST_F(GLWindowTest, KeysArriveWithTheirCodesAndStateBitsAndSystemKeysReachNoHandler) {
    // Put in by code: the messages and their state bits.
    constexpr platform::LParam UP = 0xC0000001, REPEAT = 0x40000001;
    constexpr std::uint32_t DOWN = platform::WM_KEYDOWN, SYSDOWN = platform::WM_SYSKEYDOWN;
    const struct {
        int code;
        bool down, repeat, alt;
        std::uint32_t message;
        platform::LParam flags;
    } byCode[] = {{platform::VK_LEFT, true, false, false, DOWN, 1},
                  {platform::VK_LEFT, true, true, false, DOWN, REPEAT},
                  {platform::VK_LEFT, false, false, false, platform::WM_KEYUP, UP},
                  {'X', true, false, true, SYSDOWN, 1},
                  {'X', false, false, true, platform::WM_SYSKEYUP, UP},
                  {platform::VK_F10, true, false, false, SYSDOWN, 1},
                  {platform::VK_MENU, true, true, false, SYSDOWN, REPEAT}};
    for (const auto& c : byCode) {
        w.keyMessages.clear();
        ASSERT_TRUE(platform::InjectKey(w.extra->window, c.code, c.down, c.repeat, c.alt));
        Drain();
        EXPECT_EQ(w.keyMessages, (decltype(w.keyMessages){{c.message, c.flags}})) << c.code;
    }
    EXPECT_EQ(w.keys, (Pairs{{37, 1}, {37, 1}, {37, 0}}));
    EXPECT_FALSE(platform::InjectKey(w.extra->window, 7, true));  // no key gives it
    // As SDL reports them: scan code, key code, modifiers; -1 for the system path.
    const struct {
        int scancode, keycode, modifiers, expected;
    } bySdl[] = {{SDL_SCANCODE_COMMA, SDLK_COMMA, 0, 188},
                 {SDL_SCANCODE_SLASH, SDLK_EXCLAIM, 0, 223},
                 {SDL_SCANCODE_SEMICOLON, 0xF6, 0, 186},
                 {SDL_SCANCODE_Q, SDLK_a, 0, 'A'},
                 {SDL_SCANCODE_F, 0x430, 0, 'F'},
                 {SDL_SCANCODE_2, 0xE9, 0, '2'},
                 {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, 110},
                 {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, 46},
                 {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 13},
                 {SDL_SCANCODE_F13, SDLK_F13, 0, 124},
                 {SDL_SCANCODE_KBDILLUMUP, SDLK_KBDILLUMUP, 0, 255},
                 {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_RALT, -1}};
    for (const auto& c : bySdl) {
        w.keys.clear();
        for (bool down : {true, false}) {
            ASSERT_TRUE(platform::InjectKeySym(w.extra->window, c.scancode, c.keycode,
                                               static_cast<unsigned>(c.modifiers), down));
        }
        Drain();
        EXPECT_EQ(w.keys, c.expected < 0 ? Pairs{} : (Pairs{{c.expected, 1}, {c.expected, 0}}))
            << c.scancode << ", " << c.keycode;
    }
    // Every code a key gives comes back as itself.
    w.keys.clear();
    Pairs expected;
    for (int code : {12, 19, 33, 46, 65, 96, 110, 124, 144, 186, 192, 222, 223, 226}) {
        EXPECT_TRUE(platform::InjectKey(w.extra->window, code, true)) << code;
        expected.push_back({code, 1});
    }
    Drain();
    EXPECT_EQ(w.keys, expected);
}

TEST_F(GLWindowTest, ContextStackRestoresWhatWasCurrentAndHandlersRunWithTheirOwnContext) {
    Win b("b");
    platform::RenderContext seen = nullptr;
    b.onCreate = [&] { seen = platform::GetCurrentContext(); };
    ASSERT_TRUE(b.extra->Create());
    GLWindowExtra &x = *w.extra, &y = *b.extra;
    const auto current = [] { return platform::GetCurrentContext(); };
    ASSERT_TRUE(x.MakeCurrent(true));
    Drain();
    EXPECT_EQ(seen, y.renderContext);
    EXPECT_EQ(current(), x.renderContext);
    ASSERT_TRUE(y.MakeCurrent(true));
    EXPECT_EQ(platform::GetCurrentDC(), y.deviceContext);
    EXPECT_TRUE(y.MakeCurrent(false));
    EXPECT_EQ(current(), x.renderContext);
    EXPECT_TRUE(x.MakeCurrent(false));
    EXPECT_EQ(current(), y.renderContext);
    for (int level = 2; level < 16; ++level) {  // the sixteen saved levels, alternating
        ASSERT_TRUE((level % 2 == 0 ? x : y).MakeCurrent(true));
    }
    ASSERT_TRUE(x.MakeCurrent(true));  // counted, not saved
    x.MakeCurrent(false);
    EXPECT_EQ(current(), nullptr);  // nothing saved to go back to
    x.MakeCurrent(false);
    EXPECT_EQ(current(), x.renderContext);  // the level-15 one
    while (GLWindowExtra::ContextDepth() > 2) {
        x.MakeCurrent(false);
    }
    EXPECT_EQ(current(), y.renderContext);
    // Without its context a window's handlers are skipped, and the stack does not drift.
    ASSERT_TRUE(platform::DeleteContext(x.renderContext));
    w.resizes.clear();
    test::log.clear();
    platform::SendMessage(x.window, platform::WM_SIZE, 0, (20 << 16) | 30);
    platform::InjectMouseMove(x.window, 1, 1);
    platform::InjectMouseButton(x.window, 0, true);
    w.Redraw();
    Drain();
    EXPECT_TRUE(w.resizes.empty() && w.moves.empty() && w.buttons.empty() && test::log.empty());
    EXPECT_EQ(w.GetWidth(), 30);  // the size is still taken
    EXPECT_EQ(GLWindowExtra::ContextDepth(), 2);
    x.renderContext = nullptr;
}

TEST_F(GLWindowTest, GlyphListsAreBuiltOnceReusedAndRebuiltForAnotherFont) {
    EXPECT_EQ(AdvanceOf(""), 0.0f);  // builds the glyphs, draws nothing
    ASSERT_NE(base, 0);
    EXPECT_TRUE(glIsList(base) && glIsList(base + 254));
    const int first = base;
    const float a = AdvanceOf("AB") - AdvanceOf("B");
    EXPECT_EQ(base, first);
    ASSERT_GT(a, 3.0f);
    glDeleteLists(base + 'A', 1);  // later texts call these very lists
    EXPECT_EQ(AdvanceOf("AB"), AdvanceOf("B"));
    w.extra->fontChanged = true;
    EXPECT_EQ(AdvanceOf("AB") - AdvanceOf("B"), a);
    // Heights are honoured; without one the system font is used, whatever the face.
    const float system = AdvanceOf("MMMMMMMMMM");
    std::vector<float> widths;
    const char* mono = "DejaVu Sans Mono";
    for (const auto& [height, face] :
         std::vector<std::pair<int, const char*>>{{8, ""}, {26, ""}, {26, mono}, {0, mono}}) {
        w.extra->fontHeight = height;
        w.extra->fontName = face;
        w.extra->fontChanged = true;
        widths.push_back(AdvanceOf("MMMMMMMMMM"));
    }
    EXPECT_LT(widths[0], system * 0.8f);
    EXPECT_GT(widths[1], system * 1.6f);
    EXPECT_NE(widths[2], widths[1]);  // monospaced capitals are narrower
    EXPECT_EQ(widths[3], system);
}

TEST_F(GLWindowTest, PrintfDrawsUpTo1023CharactersKeepingTheListBaseAndLine) {
    const float one = AdvanceOf("i");
    ASSERT_GT(one, 0.0f);
    EXPECT_FLOAT_EQ(AdvanceOf(std::string(1023, 'i')), 1023 * one);
    EXPECT_NE(base, 0);
    EXPECT_EQ(AdvanceOf(std::string(1024, 'i')), 0.0f);
    EXPECT_EQ(base, 0);
    // Code 255 has no list of ours, whatever list follows the glyphs.
    const GLuint after = glGenLists(1);
    ASSERT_EQ(after, w.extra->fontBase + 255);
    glNewList(after, GL_COMPILE);
    glBitmap(0, 0, 0, 0, 500, 0, nullptr);
    glEndList();
    EXPECT_FLOAT_EQ(AdvanceOf("i\xFFi"), 2 * one);
    glListBase(42);
    EXPECT_FLOAT_EQ(AdvanceOf("i\ni"), 2 * one + AdvanceOf("\n"));
    EXPECT_EQ(Get(GL_LIST_BASE), 42);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    EXPECT_EQ(position[1], 100.0f);  // a line feed stays on the line
    Win unmade;
    EXPECT_EQ(unmade.Printf("x") + unmade.extra->PrintText(nullptr), 0);
}

TEST_F(GLWindowTest, DrawnTextIsTheFontsGlyphBitmapInTheRasterColour) {
    std::vector<platform::GlyphBitmap> glyphs;
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 'g', 1, &glyphs));
    const platform::GlyphBitmap& g = glyphs[0];
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3d(1, 0, 1);
    ASSERT_EQ(AdvanceOf("g"), g.xmove);
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const int left = static_cast<int>(10 - g.xorig), bottom = static_cast<int>(100 - g.yorig);
    int lit = 0;
    for (int i = 0; i < 320 * 240; ++i) {
        const int x = i % 320 - left, y = i / 320 - bottom;
        const bool set = x >= 0 && y >= 0 && x < g.width && y < g.rows && g.pixels[y * g.width + x];
        lit += set;
        ASSERT_EQ((Ints{pixels[i * 4], pixels[i * 4 + 1], pixels[i * 4 + 2]}),
                  (Ints{set * 255, 0, set * 255}))
            << i % 320 << ", " << i / 320;
    }
    EXPECT_GT(lit, 10);
}

TEST_F(GLWindowTest, NoFontFoundDrawsNothingAndIsTriedAgainNextTime) {
    const std::string config = testing::TempDir() + "gulper-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    EXPECT_EQ(w.Printf("Score"), 0);
    for (GLuint list = 1; list <= 1024; ++list) {
        ASSERT_FALSE(glIsList(list)) << list;  // the lists made for both attempts are gone
    }
    unsetenv("FONTCONFIG_FILE");
    EXPECT_NE(w.Printf("Score"), 0);
}

}  // namespace

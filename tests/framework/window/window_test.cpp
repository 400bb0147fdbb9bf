// The GL window under SDL's offscreen driver: creation, painting, sizes and placement, mouse and
// keys, the context stack and bitmap text.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>

#include "framework/platform/glyph_bitmaps.h"
#include "framework/testing/inject.h"
#include "tests/framework/window/test_window.h"

namespace {

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
    // Current at one level of the context stack: one pop leaves what was current before, none.
    w.extra->MakeCurrent(false);
    EXPECT_EQ(platform::GetCurrentContext(), nullptr);
    ASSERT_TRUE(w.extra->MakeCurrent(true));
    EXPECT_EQ(w.resizes, (Pairs{{320, 240}}));
    Win v("v");
    EXPECT_FALSE(v.SetSize(200, 150));  // nothing to resize yet
    v.extra->displayMode = 1;           // single-buffered
    v.extra->depthBits = 16;
    v.extra->stencilBits = v.extra->alphaBits = 8;
    ASSERT_TRUE(v.Make());
    const platform::DeviceContext dc = v.extra->deviceContext;
    EXPECT_EQ(platform::GetCurrentContext(), v.extra->renderContext);
    EXPECT_EQ(v.resizes, (Pairs{{200, 150}}));
    platform::PixelFormatDescriptor f;
    ASSERT_TRUE(platform::DescribePixelFormat(dc, platform::GetPixelFormat(dc), &f));
    EXPECT_EQ((Ints{int(f.flags & platform::PFD_DOUBLEBUFFER), f.depthBits, f.stencilBits,
                    f.alphaBits, Get(GL_STENCIL_BITS), Get(GL_ALPHA_BITS)}),
              (Ints{0, 16, 8, 8, 8, 8}));
}

TEST_F(GLWindowTest, PlacedByThePlatformStaysCentredAndIsMadeAgainWhereItWas) {
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
}

TEST_F(GLWindowTest, SizesReachOnResizeOnceAndPaintWaitsForAnUpdateRegionAndOtherMessages) {
    w.resizes.clear();
    EXPECT_TRUE(w.SetSize(380, 460));
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}}));  // before SetSize returns
    EXPECT_EQ(Get(GL_VIEWPORT), 380 * 10000 + 460);
    EXPECT_TRUE(w.SetSize(380, 460));  // the size it has: nothing more to report
    EXPECT_TRUE(w.SetSize(380, 500));  // the height alone
    EXPECT_TRUE(w.SetSize(380, 460));
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}, {380, 500}, {380, 460}}));
    EXPECT_FALSE(platform::SetWindowSize(nullptr, 10, 10));  // no such window
    EXPECT_FALSE(platform::SetWindowSize(w.extra->window, -1, 10));
    EXPECT_FALSE(platform::SetWindowSize(w.extra->window, 10, -1));
    // The window manager's answer to the size the window was made with, arriving late.
    ASSERT_TRUE(platform::InjectSizeReport(w.extra->window, 320, 240));
    Drain();
    w.SetSize(-5, 10);
    Drain();
    ASSERT_TRUE(platform::InjectUserResize(w.extra->window, 500, 400));
    Drain();
    EXPECT_EQ(w.resizes, (Pairs{{380, 460}, {380, 500}, {380, 460}, {0, 10}, {500, 400}}));
    EXPECT_EQ((Ints{w.GetWidth(), w.GetHeight()}), (Ints{500, 400}));
    history.clear();
    platform::PostMessage(w.extra->window, platform::WM_PAINT, 0, 0);  // no region: no paint
    Drain();
    w.Redraw();
    w.Redraw();  // one region, one paint
    platform::PostMessage(w.extra->window, platform::WM_USER + 2, 0, 0);
    Drain();
    EXPECT_EQ(history, (Strings{"w-user2", "w-display"}));
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
}

TEST_F(GLWindowTest, KeysArriveWithTheirCodesAndStateBitsAndSystemKeysReachNoHandler) {
    const platform::Window h = w.extra->window;
    ASSERT_TRUE(platform::InjectKey(h, platform::VK_LEFT, true) &&
                platform::InjectKey(h, platform::VK_LEFT, true, true) &&
                platform::InjectKey(h, platform::VK_LEFT, false) &&
                platform::InjectKey(h, 'X', true, false, true) &&
                platform::InjectKey(h, 'X', false, false, true) &&
                platform::InjectKey(h, platform::VK_F10, true) &&
                platform::InjectKey(h, platform::VK_MENU, true, true));
    EXPECT_FALSE(platform::InjectKey(h, 7, true));  // no key gives it
    Drain();
    // Repeat count 1; bit 30 the previous state, bit 31 the transition.
    constexpr platform::LParam HELD = 0x40000001, RELEASED = 0xC0000001;
    constexpr std::uint32_t DOWN = platform::WM_KEYDOWN, SYSDOWN = platform::WM_SYSKEYDOWN;
    EXPECT_EQ(w.keyMessages, (std::vector<std::uint32_t>{DOWN, DOWN, platform::WM_KEYUP, SYSDOWN,
                                                         platform::WM_SYSKEYUP, SYSDOWN, SYSDOWN}));
    EXPECT_EQ(w.keyFlags, (std::vector<platform::LParam>{1, HELD, RELEASED, 1, RELEASED, 1, HELD}));
    EXPECT_EQ(w.keys, (Pairs{{37, 1}, {37, 1}, {37, 0}}));
    const struct {
        int scancode, keycode, modifiers, expected;
    } bySdl[] = {// As SDL reports them: scan code, key code, modifiers; -1 for the system path.
                 {SDL_SCANCODE_SLASH, SDLK_EXCLAIM, 0, 223},
                 {SDL_SCANCODE_SEMICOLON, 0xF6, 0, 186},
                 {SDL_SCANCODE_Q, SDLK_a, 0, 'A'},
                 {SDL_SCANCODE_F, 0x430, 0, 'F'},
                 {SDL_SCANCODE_2, 0xE9, 0, '2'},
                 {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, 46},
                 {SDL_SCANCODE_KBDILLUMUP, SDLK_KBDILLUMUP, 0, 255},
                 {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_RALT, -1}};
    w.keys.clear();
    Pairs expected;
    for (const auto& c : bySdl) {
        ASSERT_TRUE(platform::InjectKeySym(h, c.scancode, c.keycode, c.modifiers, false));
        if (c.expected >= 0) {
            expected.push_back({c.expected, 0});
        }
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
    ASSERT_TRUE(x.MakeCurrent(true));
    Drain();
    EXPECT_EQ(seen, y.renderContext);
    EXPECT_EQ(platform::GetCurrentContext(), x.renderContext);
    ASSERT_TRUE(y.MakeCurrent(true));
    EXPECT_TRUE(y.MakeCurrent(false));
    EXPECT_EQ(platform::GetCurrentContext(), x.renderContext);
    EXPECT_TRUE(x.MakeCurrent(false));
    EXPECT_EQ(platform::GetCurrentContext(), y.renderContext);
}

TEST_F(GLWindowTest, GlyphListsAreBuiltOnceReusedRebuiltForAnotherFontAndKeepTheCallersState) {
    EXPECT_EQ(AdvanceOf(""), 0.0f);  // builds the glyphs, draws nothing
    EXPECT_TRUE(glIsList(base) && glIsList(base + 254));
    const float a = AdvanceOf("AB") - AdvanceOf("B");
    ASSERT_GT(a, 3.0f);
    glDeleteLists(base + 'A', 1);  // later texts call these very lists
    EXPECT_EQ(AdvanceOf("AB"), AdvanceOf("B"));
    w.extra->fontChanged = true;
    EXPECT_EQ(AdvanceOf("AB") - AdvanceOf("B"), a);
    // Without a height of its own the system font is used, whatever the face.
    const float system = AdvanceOf("MMMMMMMMMM");
    w.extra->fontName = "DejaVu Sans Mono";
    w.extra->fontChanged = true;
    EXPECT_EQ(AdvanceOf("MMMMMMMMMM"), system);
    w.extra->fontHeight = 40;
    w.extra->fontChanged = true;
    EXPECT_EQ(AdvanceOf("M"), AdvanceOf("i"));  // the named face, monospaced, at its height
    EXPECT_GT(AdvanceOf("M"), system / 10 * 1.5f);
    // Up to 1023 characters are drawn, keeping the caller's list base and line.
    const float one = AdvanceOf("i");
    ASSERT_GT(one, 0.0f);
    EXPECT_FLOAT_EQ(AdvanceOf(std::string(1023, 'i')), 1023 * one);
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
    EXPECT_FLOAT_EQ(AdvanceOf("i\ni"), 2 * one + AdvanceOf("\n"));  // on one line
    EXPECT_EQ(Get(GL_LIST_BASE), 42);
    const GLuint single = glGenLists(1);  // one glyph, or none, as asked
    EXPECT_TRUE(platform::UseFontBitmaps(w.extra->deviceContext, 0, "", 'A', 1, single));
    EXPECT_FALSE(platform::UseFontBitmaps(w.extra->deviceContext, 0, "", 'A', 0, single));
}

TEST_F(GLWindowTest, DrawnTextIsTheFontsGlyphBitmapInTheRasterColour) {
    std::vector<platform::GlyphBitmap> glyphs;
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 'g', 1, &glyphs));
    const platform::GlyphBitmap& g = glyphs[0];
    ASSERT_GT(g.width * g.rows, 10);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3d(1, 0, 1);
    ASSERT_EQ(AdvanceOf("g"), g.xmove);
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const int left = static_cast<int>(10 - g.xorig), bottom = static_cast<int>(100 - g.yorig);
    for (int i = 0; i < 320 * 240; ++i) {
        const int x = i % 320 - left, y = i / 320 - bottom;
        const bool set = x >= 0 && y >= 0 && x < g.width && y < g.rows && g.pixels[y * g.width + x];
        ASSERT_EQ((Ints{pixels[i * 4], pixels[i * 4 + 1], pixels[i * 4 + 2]}),
                  (Ints{set * 255, 0, set * 255}))
            << i % 320 << ", " << i / 320;
    }
}

bool SameGlyphs(const std::vector<platform::GlyphBitmap>& a,
                const std::vector<platform::GlyphBitmap>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.width == y.width && x.rows == y.rows && x.xorig == y.xorig && x.yorig == y.yorig &&
               x.xmove == y.xmove && x.pixels == y.pixels;
    });
}

// A rendering started ahead is what the same request renders at once; another request renders
// its own, and the one started ahead is taken once, with its failure when no font was found.
TEST(FontGlyphs, ARenderingAskedAheadServesTheSameRequestOnceFromTheDisplaysOpening) {
    std::vector<platform::GlyphBitmap> now, ahead, other, single;
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 32, 64, &now));
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 'A', 1, &single));
    const std::string config = testing::TempDir() + "gulper-no-fonts-ahead.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";

    // No display yet: the request waits, and is rendered when asked for, with the fonts of
    // that moment.
    platform::PrefetchFontGlyphs(0, "", 32, 64);
    platform::PrefetchFontGlyphs(0, "", 'A', 1);  // one waits already: nothing more starts
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 'A', 1, &other));
    EXPECT_TRUE(SameGlyphs(other, single));
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    EXPECT_FALSE(platform::RenderFontGlyphs(0, "", 32, 64, &ahead));
    unsetenv("FONTCONFIG_FILE");

    // A request waiting when the display opens is rendered on its own thread from then on,
    // and one asked for with the display open starts at once; each is taken once.
    platform::PrefetchFontGlyphs(0, "", 32, 64);
    ASSERT_TRUE(platform::UseOffscreenVideo());
    ASSERT_TRUE(platform::RenderFontGlyphs(0, "", 32, 64, &ahead));
    EXPECT_TRUE(SameGlyphs(ahead, now));
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    platform::PrefetchFontGlyphs(0, "", 32, 64);
    EXPECT_FALSE(platform::RenderFontGlyphs(0, "", 32, 64, &ahead));
    unsetenv("FONTCONFIG_FILE");
    EXPECT_TRUE(platform::RenderFontGlyphs(0, "", 32, 64, &ahead));  // found again
    EXPECT_TRUE(SameGlyphs(ahead, now));
    std::remove(config.c_str());
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

// Bitmap text: glyph lists built once per window, the text buffer's limit, and what reaches the
// frame.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/framework/window/support.h"

using test::RecordingWindow;

namespace {

class Text : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.extra->Create());
        window.SetSize(380, 460);
        test::DrainMessages();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 380, 0, 460, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // Where the raster position is after printing `text` from x = 10.
    float AdvanceOf(const std::string& text, int* result = nullptr) {
        glRasterPos2d(10, 200);
        const int base = window.Printf("%s", text.c_str());
        if (result != nullptr) {
            *result = base;
        }
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0] - 10.0f;
    }

    // Whether any display list exists among the first `count` names.
    static bool AnyList(GLuint count) {
        for (GLuint list = 1; list <= count; ++list) {
            if (glIsList(list)) {
                return true;
            }
        }
        return false;
    }

    // How many pixels are lit, and the lowest and highest row holding one.
    struct Lit {
        int count = 0, bottom = 460, top = -1;
    };
    static Lit LitPixels() {
        std::vector<unsigned char> pixels(380 * 460 * 4);
        glReadPixels(0, 0, 380, 460, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        Lit lit;
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            if (pixels[i] > 128) {
                const int row = static_cast<int>(i / 4 / 380);
                ++lit.count;
                lit.bottom = std::min(lit.bottom, row);
                lit.top = std::max(lit.top, row);
            }
        }
        return lit;
    }

    RecordingWindow window;
};

TEST_F(Text, GlyphsBuiltOnceAndReused) {
    ASSERT_FALSE(AnyList(1024));
    const std::string empty;
    glRasterPos2d(10, 200);
    const int base = window.Printf("%s", empty.c_str());  // builds the glyphs, draws nothing
    ASSERT_NE(base, 0);
    for (GLuint c = 0; c < 255; ++c) {
        ASSERT_TRUE(glIsList(base + c)) << c;
    }
    EXPECT_FALSE(glIsList(base + 255));
    EXPECT_FALSE(glIsList(base - 1));
    int second = 0;
    AdvanceOf("Score 120", &second);
    EXPECT_EQ(second, base);

    // Later texts use these very lists: with one of them gone, its character draws nothing.
    const float normal = AdvanceOf("AB") - AdvanceOf("B");
    ASSERT_GT(normal, 3.0f);
    glDeleteLists(base + 'A', 1);
    EXPECT_FLOAT_EQ(AdvanceOf("AB"), AdvanceOf("B"));
    // fontChanged throws them away and builds them anew.
    window.extra->fontChanged = true;
    EXPECT_FLOAT_EQ(AdvanceOf("AB") - AdvanceOf("B"), normal);
    EXPECT_FALSE(window.extra->fontChanged);
}

TEST_F(Text, TextOf1023CharactersDrawnWholeAnd1024NotAtAllNorWithoutADevice) {
    const float one = AdvanceOf("i");
    ASSERT_GT(one, 0.0f);
    int result = 0;
    EXPECT_FLOAT_EQ(AdvanceOf(std::string(1023, 'i'), &result), 1023 * one);
    EXPECT_NE(result, 0);
    EXPECT_FLOAT_EQ(AdvanceOf(std::string(1024, 'i'), &result), 0.0f);
    EXPECT_EQ(result, 0);
    RecordingWindow unmade;
    EXPECT_EQ(unmade.Printf("x"), 0);
    EXPECT_EQ(unmade.extra->PrintText(nullptr), 0);
}

TEST_F(Text, Code255DrawsNothingEvenWithAListAfterTheGlyphs) {
    const float pair = AdvanceOf("AA");
    ASSERT_GT(pair, 0.0f);
    // Whatever list follows the 255 glyph lists is not ours to call.
    const GLuint after = glGenLists(1);
    ASSERT_EQ(after, window.extra->fontBase + 255);
    glNewList(after, GL_COMPILE);
    glBitmap(0, 0, 0, 0, 500, 0, nullptr);
    glEndList();
    EXPECT_FLOAT_EQ(AdvanceOf("A\xFF"
                              "A"),
                    pair);
    glDeleteLists(after, 1);
}

TEST_F(Text, CallersListBaseKeptAndLineFeedStaysOnTheLine) {
    glListBase(42);
    window.Printf("Food %d\n", 153);
    GLint listBase = 0;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 42);
    glRasterPos2d(10, 200);
    window.Printf("a\nb");
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    EXPECT_FLOAT_EQ(position[1], 200.0f);
    EXPECT_GT(position[0], 10.0f);
}

TEST_F(Text, DrawnTextLightsPixelsInTheRasterColour) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(LitPixels().count, 0);
    glColor3d(1, 1, 1);
    glRasterPos2d(10, 200);
    ASSERT_NE(window.Printf("Gulper %d", 2), 0);
    const Lit lit = LitPixels();
    EXPECT_GT(lit.count, 40);
    EXPECT_LT(lit.count, 2000);
    // A bold 13-pixel face: glyphs sit within one text line's height.
    EXPECT_GE(lit.bottom, 195);
    EXPECT_LE(lit.top, 215);
}

TEST_F(Text, NoFontFoundDrawsNothingAndTriesAgainNextTime) {
    const std::string config = testing::TempDir() + "gulper-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    glRasterPos2d(10, 200);
    EXPECT_EQ(window.Printf("Score"), 0);
    EXPECT_EQ(window.extra->fontBase, 0u);
    EXPECT_FALSE(AnyList(1024));  // the lists made for both attempts are gone
    unsetenv("FONTCONFIG_FILE");
    EXPECT_NE(window.Printf("Score"), 0);
}

}  // namespace

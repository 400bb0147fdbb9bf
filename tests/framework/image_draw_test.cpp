#include <GL/gl.h>
#include <SDL.h>

#include <array>
#include <cstdlib>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/testing/image_override.h"
#include "tests/framework/image_test_files.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

// A 16 x 16 OpenGL context of SDL's offscreen driver with a projection of one unit a pixel.
// Like the game's, it lives as long as the process: the driver keeps memory of its own until
// the process ends. Its extension list leaves out the blue-first layouts' name, so that they
// are known from the version number.
class DrawTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("MESA_EXTENSION_OVERRIDE", "-GL_EXT_bgra", 1);
        if (SDL_Init(SDL_INIT_VIDEO) == 0) {
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            window =
                SDL_CreateWindow("image test", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
        }
    }
    void SetUp() override {
        ASSERT_NE(context, nullptr) << SDL_GetError();
        glViewport(0, 0, 16, 16);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 16, 0, 16, -1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { ImageOverrideBGRASupport(-1); }
    static Rgb PixelAt(int x, int y) {
        uint8_t rgba[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }
    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext context = nullptr;
};

// 2 x 2 blue-first pixels, the gap bytes 0x55: bottom row red, green; top row blue, white.
void MakeBGR(Image& image, int rowGap) {
    ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_BGR, rowGap));
    const Bytes rows = Bytes{0, 0, 255, 0, 255, 0} + Bytes(rowGap, 0x55) +
                       Bytes{255, 0, 0, 255, 255, 255} + Bytes(rowGap, 0x55);
    std::copy(rows.begin(), rows.end(), image.extra->pixels);
}

}  // namespace

TEST_F(DrawTest, PicturesLandAtTheRasterPositionInTheirColoursWhicheverWayTheDriverTakesThem) {
    EXPECT_TRUE(Image::SupportsBGRA());  // Mesa's version has them
    for (int mode : {-1, 0}) {
        for (int gap : {0, 2}) {
            SCOPED_TRACE(std::to_string(mode) + " gap " + std::to_string(gap));
            ImageOverrideBGRASupport(mode);
            Image bgr;
            MakeBGR(bgr, gap);
            Image bgra;
            ASSERT_TRUE(bgra.extra->Allocate(2, 1, PIXEL_BGRA, 0));
            const Bytes row = {10, 20, 200, 255, 250, 120, 30, 255};
            std::copy(row.begin(), row.end(), bgra.extra->pixels);
            glClear(GL_COLOR_BUFFER_BIT);
            glRasterPos2i(3, 4);
            ASSERT_TRUE(bgr.Draw());
            glRasterPos2i(10, 12);
            ASSERT_TRUE(bgra.Draw());
            const Rgb expected[][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 255}}};
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(PixelAt(3 + i % 2, 4 + i / 2), expected[i / 2][i % 2]) << i;
            }
            EXPECT_EQ(PixelAt(2, 4), (Rgb{0, 0, 0}));
            EXPECT_EQ(PixelAt(5, 5), (Rgb{0, 0, 0}));
            EXPECT_EQ(PixelAt(10, 12), (Rgb{200, 20, 10}));
            EXPECT_EQ(PixelAt(11, 12), (Rgb{30, 120, 250}));
            // Drawing never changes the images.
            EXPECT_EQ(bgr.extra->format, PIXEL_BGR);
            EXPECT_EQ(bgr.extra->stride, 6u + gap);
            EXPECT_EQ(bgra.extra->format, PIXEL_BGRA);
        }
    }
    Image grey;
    ASSERT_TRUE(grey.extra->Allocate(1, 1, PIXEL_LUMINANCE, 3));
    grey.Row(0)[0] = 77;
    glRasterPos2i(0, 0);
    ASSERT_TRUE(grey.Draw());
    EXPECT_EQ(PixelAt(0, 0), (Rgb{77, 77, 77}));
}

TEST_F(DrawTest, EmptyOrUnknownPicturesMakeNoCall) {
    glEnable(0xFFFF);  // a pending error, which any drawing attempt would read and discard
    Image image;
    EXPECT_FALSE(image.Draw());
    ASSERT_TRUE(image.extra->Allocate(1, 1, PIXEL_RGB, 0));
    image.extra->format = 7;
    EXPECT_FALSE(image.Draw());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
}

// The picture is sent tightly packed whatever the caller's unpack settings, which are the same
// afterwards, even when the transfer fails.
TEST_F(DrawTest, UnpackSettingsAreTheSameAfterDrawingAndTransferErrorsAreReported) {
    const GLenum names[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_PIXELS,
                            GL_UNPACK_SKIP_ROWS, GL_UNPACK_ALIGNMENT};
    const GLint values[] = {1, 7, 1, 2, 8};
    for (int i = 0; i < 5; ++i) {
        glPixelStorei(names[i], values[i]);
    }
    glEnable(0xFFFF);  // an earlier error does not count against the picture
    Image image;
    MakeBGR(image, 0);
    glRasterPos2i(1, 1);
    ASSERT_TRUE(image.Draw());
    EXPECT_EQ(PixelAt(1, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(2, 2), (Rgb{255, 255, 255}));

    // With a pixel-unpack buffer bound, the picture's address is taken as an offset far past
    // the end of the buffer, which OpenGL refuses.
    using GenBuffers = void (*)(GLsizei, GLuint*);
    using BindBuffer = void (*)(GLenum, GLuint);
    using BufferData = void (*)(GLenum, ptrdiff_t, const void*, GLenum);
    const auto genBuffers = reinterpret_cast<GenBuffers>(SDL_GL_GetProcAddress("glGenBuffers"));
    const auto bindBuffer = reinterpret_cast<BindBuffer>(SDL_GL_GetProcAddress("glBindBuffer"));
    const auto bufferData = reinterpret_cast<BufferData>(SDL_GL_GetProcAddress("glBufferData"));
    ASSERT_TRUE(genBuffers && bindBuffer && bufferData);
    constexpr GLenum PIXEL_UNPACK_BUFFER = 0x88EC;
    GLuint buffer = 0;
    genBuffers(1, &buffer);
    bindBuffer(PIXEL_UNPACK_BUFFER, buffer);
    bufferData(PIXEL_UNPACK_BUFFER, 16, nullptr, 0x88E4 /* static draw */);
    EXPECT_FALSE(image.Draw());
    bindBuffer(PIXEL_UNPACK_BUFFER, 0);
    for (int i = 0; i < 5; ++i) {
        GLint now = -1;
        glGetIntegerv(names[i], &now);
        EXPECT_EQ(now, values[i]) << "setting " << i;
    }
}

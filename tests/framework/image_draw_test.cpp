#include <GL/gl.h>
#include <SDL.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/testing/image_override.h"

namespace {

constexpr int SIZE = 16;

// A small OpenGL context of SDL's offscreen driver with a projection of one unit a pixel.
// Like the game's, it is made once and lives as long as the process: the GL driver keeps
// memory of its own until the process ends.
class DrawTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        window =
            SDL_CreateWindow("image test", 0, 0, SIZE, SIZE, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window != nullptr) {
            context = SDL_GL_CreateContext(window);
        }
    }
    void SetUp() override {
        ASSERT_NE(context, nullptr) << SDL_GetError();
        glViewport(0, 0, SIZE, SIZE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, SIZE, 0, SIZE, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    void TearDown() override { ImageOverrideBGRASupport(-1); }

    void DrawAndCheckBlueFirstPictures(int rowGap);
    std::array<uint8_t, 3> PixelAt(int x, int y) {
        uint8_t rgba[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext context = nullptr;
};

using Rgb = std::array<uint8_t, 3>;

// A 2 x 2 blue-first picture with a row gap: bottom row red, green; top row blue, white.
void MakeBGR(Image& image, int rowGap) {
    ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_BGR, rowGap));
    std::memset(image.extra->pixels, 0x55, image.extra->size);
    const uint8_t bottom[6] = {0, 0, 255, 0, 255, 0};
    const uint8_t top[6] = {255, 0, 0, 255, 255, 255};
    std::memcpy(image.Row(0), bottom, 6);
    std::memcpy(image.Row(1), top, 6);
}

}  // namespace

// Both blue-first layouts, drawn at (3, 4) and (10, 12), whichever way the driver takes them.
void DrawTest::DrawAndCheckBlueFirstPictures(int rowGap) {
    Image bgr;
    MakeBGR(bgr, rowGap);
    Image bgra;
    ASSERT_TRUE(bgra.extra->Allocate(2, 1, PIXEL_BGRA, 0));
    const uint8_t row[8] = {10, 20, 200, 255, 250, 120, 30, 255};
    std::memcpy(bgra.Row(0), row, 8);
    glRasterPos2i(3, 4);
    ASSERT_TRUE(bgr.Draw());
    glRasterPos2i(10, 12);
    ASSERT_TRUE(bgra.Draw());
    EXPECT_EQ(PixelAt(3, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(4, 4), (Rgb{0, 255, 0}));
    EXPECT_EQ(PixelAt(3, 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(4, 5), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(2, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(5, 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(10, 12), (Rgb{200, 20, 10}));
    EXPECT_EQ(PixelAt(11, 12), (Rgb{30, 120, 250}));
    // Drawing never changes the images.
    EXPECT_EQ(bgr.extra->format, PIXEL_BGR);
    EXPECT_EQ(bgr.extra->stride, 6u + rowGap);
    EXPECT_EQ(bgra.extra->format, PIXEL_BGRA);
}

TEST_F(DrawTest, PicturesLandAtTheRasterPositionInTheirColours) {
    EXPECT_TRUE(Image::SupportsBGRA());  // Mesa has the blue-first layouts
    DrawAndCheckBlueFirstPictures(2);
    Image grey;
    ASSERT_TRUE(grey.extra->Allocate(1, 1, PIXEL_LUMINANCE, 3));
    grey.Row(0)[0] = 77;
    glRasterPos2i(0, 0);
    ASSERT_TRUE(grey.Draw());
    EXPECT_EQ(PixelAt(0, 0), (Rgb{77, 77, 77}));
}

TEST_F(DrawTest, WithoutBlueFirstLayoutsAConvertedCopyGivesTheSameColours) {
    ImageOverrideBGRASupport(0);
    EXPECT_FALSE(Image::SupportsBGRA());
    DrawAndCheckBlueFirstPictures(0);
}

TEST_F(DrawTest, UnpackSettingsAreTheSameAfterDrawing) {
    const GLenum names[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_PIXELS,
                            GL_UNPACK_SKIP_ROWS, GL_UNPACK_ALIGNMENT};
    const GLint values[] = {1, 7, 1, 2, 8};
    for (int i = 0; i < 5; ++i) {
        glPixelStorei(names[i], values[i]);
    }
    Image image;
    MakeBGR(image, 0);
    glRasterPos2i(1, 1);
    ASSERT_TRUE(image.Draw());  // as a tight picture whatever the caller had set
    EXPECT_EQ(PixelAt(1, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(2, 2), (Rgb{255, 255, 255}));
    for (int i = 0; i < 5; ++i) {
        GLint now = -1;
        glGetIntegerv(names[i], &now);
        EXPECT_EQ(now, values[i]) << "setting " << i;
    }
}

TEST_F(DrawTest, EmptyImageMakesNoCall) {
    // A pending error would be read and discarded by any drawing attempt.
    glEnable(0xFFFF);
    Image empty;
    EXPECT_FALSE(empty.Draw());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
}

TEST_F(DrawTest, ErrorOfTheTransferIsReportedAndSettingsStillRestored) {
    glEnable(0xFFFF);  // an earlier error does not count against the picture
    Image image;
    MakeBGR(image, 0);
    glRasterPos2i(1, 1);
    EXPECT_TRUE(image.Draw());

    // With a pixel-unpack buffer bound, the picture's address is taken as an offset far
    // past the end of the buffer, which OpenGL refuses.
    using GenBuffers = void (*)(GLsizei, GLuint*);
    using BindBuffer = void (*)(GLenum, GLuint);
    using BufferData = void (*)(GLenum, ptrdiff_t, const void*, GLenum);
    const auto genBuffers = reinterpret_cast<GenBuffers>(SDL_GL_GetProcAddress("glGenBuffers"));
    const auto bindBuffer = reinterpret_cast<BindBuffer>(SDL_GL_GetProcAddress("glBindBuffer"));
    const auto bufferData = reinterpret_cast<BufferData>(SDL_GL_GetProcAddress("glBufferData"));
    ASSERT_TRUE(genBuffers && bindBuffer && bufferData);
    constexpr GLenum PIXEL_UNPACK_BUFFER = 0x88EC;
    constexpr GLenum STATIC_DRAW = 0x88E4;
    GLuint buffer = 0;
    genBuffers(1, &buffer);
    bindBuffer(PIXEL_UNPACK_BUFFER, buffer);
    bufferData(PIXEL_UNPACK_BUFFER, 16, nullptr, STATIC_DRAW);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    EXPECT_FALSE(image.Draw());
    bindBuffer(PIXEL_UNPACK_BUFFER, 0);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2);
}

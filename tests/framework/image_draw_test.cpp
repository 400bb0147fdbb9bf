#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "framework/Image.h"

namespace {

// A real OpenGL context on SDL's offscreen driver: no display needed.
class ImageDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("draw", 0, 0, 32, 32, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
        glViewport(0, 0, 32, 32);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 32, 0, 32, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        SDL_Quit();
    }
    static void Pixel(int x, int y, uint8_t out[3]) {
        uint8_t rgba[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        out[0] = rgba[0], out[1] = rgba[1], out[2] = rgba[2];
    }
    // Two pixels: orange at the left, teal at the right, drawn at (4, 6).
    static void DrawPair(int format, int gap) {
        Image image;
        ASSERT_TRUE(image.extra->Allocate(2, 1, format, gap));
        const int bpp = image.BytesPerPixel();
        const uint8_t left[4] = {0, 128, 255, 255};  // blue, green, red, alpha
        const uint8_t right[4] = {200, 100, 0, 255};
        std::memcpy(image.Row(0), left, bpp);
        std::memcpy(image.Row(0) + bpp, right, bpp);
        glRasterPos2d(4, 6);
        EXPECT_TRUE(image.Draw());
    }
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

void ExpectColours(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t rgba[4];
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[0], r) << x << "," << y;
    EXPECT_EQ(rgba[1], g) << x << "," << y;
    EXPECT_EQ(rgba[2], b) << x << "," << y;
}

TEST_F(ImageDraw, BlueFirstPicturesLandWithTheirColours) {
    for (int format : {PIXEL_BGR, PIXEL_BGRA}) {
        for (int gap : {0, 3}) {
            glClear(GL_COLOR_BUFFER_BIT);
            DrawPair(format, gap);
            ExpectColours(4, 6, 255, 128, 0);
            ExpectColours(5, 6, 0, 100, 200);
            ExpectColours(6, 6, 0, 0, 0);
        }
    }
}

TEST_F(ImageDraw, WithoutBlueFirstSupportAConvertedCopyDrawsTheSame) {
    Image::ForceSupportsBGRA(false);
    EXPECT_FALSE(Image::SupportsBGRA());
    DrawPair(PIXEL_BGRA, 0);
    ExpectColours(4, 6, 255, 128, 0);
    ExpectColours(5, 6, 0, 100, 200);
}

TEST_F(ImageDraw, UnpackSettingsAreRestored) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    DrawPair(PIXEL_BGR, 1);
    GLint alignment = 0, rowLength = 0, swap = 1;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_UNPACK_SWAP_BYTES, &swap);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(rowLength, 7);
    EXPECT_EQ(swap, 0);
}

TEST_F(ImageDraw, EmptyImageDrawsNothingAndTouchesNoState) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    Image empty;
    glRasterPos2d(4, 6);
    EXPECT_FALSE(empty.Draw());
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    ExpectColours(4, 6, 0, 0, 0);
}

TEST_F(ImageDraw, LuminanceAndOutsideTheViewAreHandled) {
    Image grey;
    grey.extra->Allocate(1, 1, PIXEL_LUMINANCE, 0);
    grey.Row(0)[0] = 90;
    glRasterPos2d(10, 10);
    EXPECT_TRUE(grey.Draw());
    ExpectColours(10, 10, 90, 90, 90);
    glRasterPos2d(-100, -100);  // invalid raster position: nothing drawn, no error
    EXPECT_TRUE(grey.Draw());
}

}  // namespace

// DrawImage in a real OpenGL context: colours, row gaps, both ways of sending blue-first
// layouts, and the caller's unpack settings.
#include <GL/gl.h>
#include <SDL.h>

#include <gtest/gtest.h>

#include "framework/ImageDrawing.h"
#include "tests/framework/image_test_files.h"

namespace {

// The colour at (x, y), red first.
Bytes At(int x, int y) {
    Bytes rgba(4);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return Bytes(rgba.begin(), rgba.end() - 1);
}

// 2 x 2 blue-first pixels and the row gap: bottom row red, green; top row blue, white.
void MakeBGR(Image& image, int rowGap) {
    ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_BGR, rowGap));
    const Bytes rows = Bytes{0, 0, 255, 0, 255, 0} + Bytes(rowGap, 0x55) +
                       Bytes{255, 0, 0, 255, 255, 255} + Bytes(rowGap, 0x55);
    std::copy(rows.begin(), rows.end(), image.extra->pixels);
}

}  // namespace

// In a 16 x 16 context of SDL's offscreen driver, one unit a pixel, whose extension list leaves
// out the blue-first layouts' name, so that they are known from the version number. The context
// lives as long as the process, like the game's: the driver keeps memory until the process ends.
TEST(DrawTest, PicturesLandInTheirColoursWithTheCallersUnpackSettingsKept) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_EXT_bgra", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_Window* window =
        SDL_CreateWindow("image test", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window == nullptr ? nullptr : SDL_GL_CreateContext(window), nullptr)
        << SDL_GetError();
    glOrtho(0, 16, 0, 16, -1, 1);
    EXPECT_TRUE(OpenGLDrawsBGRA());  // Mesa's version has them
    // Whichever way blue-first layouts are sent, as they are or converted, with or without a
    // row gap.
    for (bool direct : {true, false}) {
        bool (*const drawsBGRA)() = direct ? OpenGLDrawsBGRA : +[] { return false; };
        for (int gap : {0, 2}) {
            SCOPED_TRACE(std::string(direct ? "direct" : "converted") + " gap " +
                         std::to_string(gap));
            Image bgr, bgra;
            MakeBGR(bgr, gap);
            ASSERT_TRUE(bgra.extra->Allocate(2, 1, PIXEL_BGRA, 0));
            const Bytes row = {10, 20, 200, 255, 250, 120, 30, 255};
            std::copy(row.begin(), row.end(), bgra.extra->pixels);
            glClear(GL_COLOR_BUFFER_BIT);
            glRasterPos2i(3, 4);
            ASSERT_TRUE(DrawImage(bgr, drawsBGRA));
            glRasterPos2i(10, 12);
            ASSERT_TRUE(DrawImage(bgra, drawsBGRA));
            EXPECT_EQ(At(3, 4) + At(4, 4) + At(3, 5) + At(4, 5) + At(2, 4) + At(5, 5),
                      (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255} + Bytes(6, 0)));
            EXPECT_EQ(At(10, 12) + At(11, 12), (Bytes{200, 20, 10, 30, 120, 250}));
            // Drawing never changes the images.
            EXPECT_TRUE(bgr.extra->format == PIXEL_BGR && bgr.extra->stride == 6u + gap);
            EXPECT_EQ(bgra.extra->format, PIXEL_BGRA);
        }
    }
    Image grey;
    ASSERT_TRUE(grey.extra->Allocate(1, 1, PIXEL_LUMINANCE, 3));
    grey.Row(0)[0] = 77;
    glRasterPos2i(0, 0);
    ASSERT_TRUE(DrawImage(grey));
    EXPECT_EQ(At(0, 0), Bytes(3, 77));

    // Pictures are sent tightly packed whatever the caller's unpack settings, which are the
    // same afterwards, even when OpenGL refuses the transfer. Only the transfer's own error
    // counts; an empty or unknown picture makes no call, leaving an earlier error pending.
    const GLenum names[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_PIXELS,
                            GL_UNPACK_SKIP_ROWS, GL_UNPACK_ALIGNMENT};
    const GLint values[] = {1, 7, 1, 2, 8};
    for (int i = 0; i < 5; ++i)
        glPixelStorei(names[i], values[i]);
    glEnable(0xFFFF);
    Image image;
    EXPECT_FALSE(DrawImage(image));
    ASSERT_TRUE(image.extra->Allocate(1, 1, PIXEL_RGB, 0));
    image.extra->format = 7;
    EXPECT_FALSE(DrawImage(image));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
    glEnable(0xFFFF);
    MakeBGR(image, 0);
    glRasterPos2i(1, 1);
    ASSERT_TRUE(DrawImage(image));
    EXPECT_EQ(At(1, 1) + At(2, 2), (Bytes{255, 0, 0, 255, 255, 255}));
    image.extra->width = -1;  // a size OpenGL refuses
    EXPECT_FALSE(DrawImage(image));
    for (int i = 0; i < 5; ++i) {
        GLint now = -1;
        glGetIntegerv(names[i], &now);
        EXPECT_EQ(now, values[i]) << "setting " << i;
    }
}

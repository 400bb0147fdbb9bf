// Images drawn at the current raster position of the current OpenGL context.
#include "framework/ImageDrawing.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr GLenum GL_BGR_LAYOUT = 0x80E0;   // GL_BGR_EXT
constexpr GLenum GL_BGRA_LAYOUT = 0x80E1;  // GL_BGRA_EXT

GLenum GLFormatOf(int format) {
    switch (format) {
        case PIXEL_RGB:
            return GL_RGB;
        case PIXEL_RGBA:
            return GL_RGBA;
        case PIXEL_BGR:
            return GL_BGR_LAYOUT;
        case PIXEL_BGRA:
            return GL_BGRA_LAYOUT;
        case PIXEL_LUMINANCE:
            return GL_LUMINANCE;
        case PIXEL_LUMINANCE_ALPHA:
            return GL_LUMINANCE_ALPHA;
        case PIXEL_ALPHA:
            return GL_ALPHA;
        default:
            return 0;
    }
}

bool AskOpenGLForBGRA() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions != nullptr && std::strstr(extensions, "GL_EXT_bgra") != nullptr) {
        return true;
    }
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    float number = 0.0f;
    if (version != nullptr && std::sscanf(version, "%f", &number) == 1) {
        return static_cast<double>(number) >= 1.2;
    }
    return false;
}

// Saves the pixel-unpack settings, sets the ones a tightly packed picture needs, and puts
// the caller's values back when it goes.
class UnpackSettings {
  public:
    UnpackSettings() {
        for (int i = 0; i < COUNT; ++i) {
            glGetIntegerv(NAMES[i], &saved[i]);
            const GLint wanted = NAMES[i] == GL_UNPACK_ALIGNMENT ? 1 : 0;
            changed[i] = saved[i] != wanted;
            if (changed[i]) {
                glPixelStorei(NAMES[i], wanted);
            }
        }
    }
    ~UnpackSettings() {
        for (int i = 0; i < COUNT; ++i) {
            if (changed[i]) {
                glPixelStorei(NAMES[i], saved[i]);
            }
        }
    }
    UnpackSettings(const UnpackSettings&) = delete;
    UnpackSettings& operator=(const UnpackSettings&) = delete;

  private:
    static constexpr int COUNT = 5;
    static constexpr GLenum NAMES[COUNT] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH,
                                            GL_UNPACK_SKIP_PIXELS, GL_UNPACK_SKIP_ROWS,
                                            GL_UNPACK_ALIGNMENT};
    GLint saved[COUNT] = {};
    bool changed[COUNT] = {};
};

}  // namespace

bool OpenGLDrawsBGRA() {
    static const bool decided = AskOpenGLForBGRA();
    return decided;
}

bool DrawImage(const Image& image, bool (*drawsBGRA)()) {
    const ImageExtra& from = *image.extra;
    if (from.pixels == nullptr || from.height < 1) {
        return false;
    }
    const bool bgra = drawsBGRA();
    const bool blueFirst = from.format == PIXEL_BGR || from.format == PIXEL_BGRA;
    const Image* source = &image;
    Image packed;
    if (from.stride != from.rowBytes || (!bgra && blueFirst)) {
        if (!packed.extra->Allocate(from.width, from.height, from.format, 0)) {
            return false;
        }
        for (int y = 0; y < from.height; ++y) {
            std::memcpy(packed.Row(y), image.Row(y), from.rowBytes);
        }
        if (!bgra && blueFirst &&
            !packed.ConvertTo(from.format == PIXEL_BGR ? PIXEL_RGB : PIXEL_RGBA)) {
            return false;
        }
        source = &packed;
    }
    const GLenum glFormat = GLFormatOf(source->extra->format);
    if (glFormat == 0) {
        return false;
    }
    UnpackSettings unpack;
    glGetError();
    glDrawPixels(source->extra->width, source->extra->height, glFormat, GL_UNSIGNED_BYTE,
                 source->extra->pixels);
    return glGetError() == GL_NO_ERROR;
}

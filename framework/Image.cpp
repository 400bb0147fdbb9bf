#include "framework/Image.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Assertion.h"

// Defined only by the test-support library, where tests force either drawing path; the game
// links no definition, so the address is null and the answer comes from the OpenGL strings.
extern "C" int ImageBGRAOverride() __attribute__((weak));

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

bool DecideBGRASupport() {
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

// One pixel of any layout, read into colour, grey value and alpha.
struct PixelValue {
    uint8_t red, green, blue;  // for grey or alpha-only sources: the grey or alpha value
    uint8_t grey;              // luminance; for an alpha-only source its alpha
    uint8_t alpha;             // 255 when the source has none
    bool hasAlpha;
    bool alphaOnly;
};

PixelValue ReadPixel(const uint8_t* p, int format) {
    PixelValue v{};
    v.alpha = 255;
    switch (format) {
        case PIXEL_RGB:
        case PIXEL_RGBA:
            v.red = p[0];
            v.green = p[1];
            v.blue = p[2];
            break;
        case PIXEL_BGR:
        case PIXEL_BGRA:
            v.blue = p[0];
            v.green = p[1];
            v.red = p[2];
            break;
        case PIXEL_LUMINANCE:
        case PIXEL_LUMINANCE_ALPHA:
            v.red = v.green = v.blue = v.grey = p[0];
            break;
        case PIXEL_ALPHA:
            v.red = v.green = v.blue = v.grey = v.alpha = p[0];
            v.hasAlpha = v.alphaOnly = true;
            break;
        default:
            break;
    }
    if (format <= PIXEL_BGRA) {
        v.grey = Luminance(v.red, v.green, v.blue);
    }
    if (format == PIXEL_RGBA || format == PIXEL_BGRA) {
        v.alpha = p[3];
        v.hasAlpha = true;
    } else if (format == PIXEL_LUMINANCE_ALPHA) {
        v.alpha = p[1];
        v.hasAlpha = true;
    }
    return v;
}

void WritePixel(uint8_t* p, int format, const PixelValue& v) {
    switch (format) {
        case PIXEL_RGB:
        case PIXEL_RGBA:
            p[0] = v.red;
            p[1] = v.green;
            p[2] = v.blue;
            break;
        case PIXEL_BGR:
        case PIXEL_BGRA:
            p[0] = v.blue;
            p[1] = v.green;
            p[2] = v.red;
            break;
        case PIXEL_LUMINANCE:
            p[0] = v.grey;
            break;
        case PIXEL_LUMINANCE_ALPHA:
            p[0] = v.alphaOnly ? 0 : v.grey;
            p[1] = v.alpha;
            break;
        case PIXEL_ALPHA:
            p[0] = v.hasAlpha ? v.alpha : v.grey;
            break;
        default:
            break;
    }
    if (format == PIXEL_RGBA || format == PIXEL_BGRA) {
        p[3] = v.alpha;
    }
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

int PixelFormatBytes(int format) {
    switch (format) {
        case PIXEL_RGB:
        case PIXEL_BGR:
            return 3;
        case PIXEL_RGBA:
        case PIXEL_BGRA:
            return 4;
        case PIXEL_LUMINANCE:
        case PIXEL_ALPHA:
            return 1;
        case PIXEL_LUMINANCE_ALPHA:
            return 2;
        default:
            return 0;
    }
}

uint8_t Luminance(uint8_t red, uint8_t green, uint8_t blue) {
    const double value = blue * static_cast<double>(0.1f) + green * static_cast<double>(0.6f) +
                         red * static_cast<double>(0.3f) + 0.5;
    return static_cast<uint8_t>(std::min(value, 255.0));
}

// ---- ImageExtra

ImageExtra::ImageExtra(Image* owner)
    : owner(owner),
      format(0),
      pixels(nullptr),
      width(0),
      height(0),
      size(0),
      capacity(0),
      rowBytes(0),
      stride(0) {}

ImageExtra::~ImageExtra() {
    Free();
}

void ImageExtra::Free() {
    std::free(pixels);
    pixels = nullptr;
    format = 0;
    width = 0;
    height = 0;
    size = 0;
    capacity = 0;
    rowBytes = 0;
    stride = 0;
}

bool ImageExtra::Allocate(int newWidth, int newHeight, int newFormat, int rowGap) {
    Free();
    if (newWidth < 0 || newHeight < 0) {
        return false;
    }
    if (newWidth == 0 || newHeight == 0) {
        return true;
    }
    const int bytesPerPixel = PixelFormatBytes(newFormat);
    if (bytesPerPixel == 0 || rowGap < 0) {
        return false;
    }
    // Sizes come from files: work them out in 64 bits before trusting them.
    const uint64_t newRowBytes = static_cast<uint64_t>(bytesPerPixel) * newWidth;
    const uint64_t newStride = newRowBytes + static_cast<uint64_t>(rowGap);
    const uint64_t newSize = newStride * static_cast<uint64_t>(newHeight);
    if (newSize > IMAGE_MAX_BYTES) {
        return false;
    }
    pixels = static_cast<uint8_t*>(std::malloc(newSize));
    if (pixels == nullptr) {
        return false;
    }
    format = newFormat;
    width = newWidth;
    height = newHeight;
    size = capacity = static_cast<uint32_t>(newSize);
    rowBytes = static_cast<uint32_t>(newRowBytes);
    stride = static_cast<uint32_t>(newStride);
    return true;
}

// ---- Image

Image::Image() : extra(new (std::nothrow) ImageExtra(this)) {
    if (extra == nullptr) {
        FrameworkAssertionFailed("extra!=NULL", "Image");
    }
}

Image::Image(const Image& other) : Image() {
    CopyFrom(other);
}

Image& Image::operator=(const Image& other) {
    CopyFrom(other);
    return *this;
}

Image::~Image() {
    delete extra;
}

bool Image::IsValid() const {
    if (extra->pixels == nullptr || extra->width == 0 || extra->height < 1) {
        return false;
    }
    const uint64_t gap = extra->stride - extra->rowBytes;
    const uint64_t rowSize = static_cast<uint64_t>(BytesPerPixel()) * extra->width + gap;
    return rowSize * static_cast<uint64_t>(extra->height) == extra->size;
}

int Image::GetWidth() const {
    return extra->pixels != nullptr ? extra->width : 0;
}

int Image::GetHeight() const {
    return extra->pixels != nullptr ? extra->height : 0;
}

int Image::BytesPerPixel() const {
    return PixelFormatBytes(extra->format);
}

void Image::Clear() {
    extra->Free();
}

uint8_t* Image::Row(int y) {
    if (extra->pixels == nullptr || y < 0 || y >= extra->height) {
        return nullptr;
    }
    return extra->pixels + static_cast<size_t>(y) * extra->stride;
}

const uint8_t* Image::Row(int y) const {
    return const_cast<Image*>(this)->Row(y);
}

bool Image::CopyFrom(const Image& other) {
    if (&other == this) {
        return true;
    }
    const ImageExtra& from = *other.extra;
    if (from.pixels == nullptr) {
        extra->Free();
        return true;
    }
    if (!extra->Allocate(from.width, from.height, from.format,
                         static_cast<int>(from.stride - from.rowBytes))) {
        return false;
    }
    std::memcpy(extra->pixels, from.pixels, extra->size);
    return true;
}

void Image::FlipVertical() {
    // Swapping rows in place gives the same picture as copying from a flipped copy.
    for (int y = 0, other = extra->height - 1; y < other; ++y, --other) {
        std::swap_ranges(Row(y), Row(y) + extra->stride, Row(other));
    }
}

bool Image::ConvertTo(int newFormat) {
    if (newFormat == extra->format) {
        return true;
    }
    if (PixelFormatBytes(newFormat) == 0 || PixelFormatBytes(extra->format) == 0) {
        return false;
    }
    Image converted;
    if (!converted.extra->Allocate(extra->width, extra->height, newFormat, 0)) {
        return false;
    }
    const int fromBytes = BytesPerPixel();
    const int toBytes = converted.BytesPerPixel();
    for (int y = 0; y < converted.extra->height; ++y) {
        const uint8_t* from = Row(y);
        uint8_t* to = converted.Row(y);
        for (int x = 0; x < extra->width; ++x, from += fromBytes, to += toBytes) {
            WritePixel(to, newFormat, ReadPixel(from, extra->format));
        }
    }
    if (converted.extra->pixels == nullptr) {
        extra->Free();  // an empty image stays empty
        return true;
    }
    std::swap(extra->pixels, converted.extra->pixels);
    std::swap(extra->size, converted.extra->size);
    std::swap(extra->capacity, converted.extra->capacity);
    std::swap(extra->rowBytes, converted.extra->rowBytes);
    std::swap(extra->stride, converted.extra->stride);
    extra->format = newFormat;
    return true;
}

bool Image::SupportsBGRA() {
    if (&ImageBGRAOverride != nullptr) {
        const int mode = ImageBGRAOverride();
        if (mode >= 0) {
            return mode != 0;
        }
    }
    static const bool decided = DecideBGRASupport();
    return decided;
}

bool Image::Draw() {
    if (extra->pixels == nullptr || extra->height < 1) {
        return false;
    }
    const bool bgra = SupportsBGRA();
    const bool blueFirst = extra->format == PIXEL_BGR || extra->format == PIXEL_BGRA;
    const Image* source = this;
    Image packed;
    if (extra->stride != extra->rowBytes || (!bgra && blueFirst)) {
        if (!packed.extra->Allocate(extra->width, extra->height, extra->format, 0)) {
            return false;
        }
        for (int y = 0; y < extra->height; ++y) {
            std::memcpy(packed.Row(y), Row(y), extra->rowBytes);
        }
        if (!bgra && blueFirst &&
            !packed.ConvertTo(extra->format == PIXEL_BGR ? PIXEL_RGB : PIXEL_RGBA)) {
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

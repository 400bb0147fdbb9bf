#include "framework/Image.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr GLenum GL_BGR_FORMAT = 0x80E0;
constexpr GLenum GL_BGRA_FORMAT = 0x80E1;

int bgraSupport = -1;  // -1 until asked; then 0 or 1

[[noreturn]] void RecordAllocationFailed() {
    std::fprintf(stderr, "Image: assertion failed: extra!=NULL\n");
    std::abort();
}

ImageExtra* NewRecord(Image* owner) {
    ImageExtra* extra = new (std::nothrow) ImageExtra(owner);
    if (extra == nullptr) {
        RecordAllocationFailed();
    }
    return extra;
}

// One pixel read from any layout, in the terms the conversion table speaks of.
struct Pixel {
    uint8_t r = 0, g = 0, b = 0;  // the colour, spread from grey or alpha where needed
    uint8_t a = 255;
    bool hasAlpha = false;
    uint8_t lum = 0;  // luminance, or the alpha of an alpha-only pixel
    bool alphaOnly = false;
};

Pixel ReadPixel(const uint8_t* p, int format) {
    Pixel px;
    switch (format) {
        case PIXEL_RGB:
        case PIXEL_RGBA:
            px.r = p[0], px.g = p[1], px.b = p[2];
            break;
        case PIXEL_BGR:
        case PIXEL_BGRA:
            px.b = p[0], px.g = p[1], px.r = p[2];
            break;
        case PIXEL_LUMINANCE:
        case PIXEL_LUMINANCE_ALPHA:
            px.r = px.g = px.b = px.lum = p[0];
            break;
        case PIXEL_ALPHA:
            px.r = px.g = px.b = px.lum = px.a = p[0];
            px.hasAlpha = px.alphaOnly = true;
            return px;
    }
    if (format == PIXEL_RGBA || format == PIXEL_BGRA) {
        px.a = p[3], px.hasAlpha = true;
    } else if (format == PIXEL_LUMINANCE_ALPHA) {
        px.a = p[1], px.hasAlpha = true;
    }
    if (format <= PIXEL_BGRA) {
        px.lum = Luminance(px.r, px.g, px.b);
    }
    return px;
}

void WritePixel(uint8_t* p, int format, const Pixel& px) {
    const uint8_t alpha = px.hasAlpha ? px.a : 255;
    switch (format) {
        case PIXEL_RGB:
            p[0] = px.r, p[1] = px.g, p[2] = px.b;
            break;
        case PIXEL_RGBA:
            p[0] = px.r, p[1] = px.g, p[2] = px.b, p[3] = alpha;
            break;
        case PIXEL_BGR:
            p[0] = px.b, p[1] = px.g, p[2] = px.r;
            break;
        case PIXEL_BGRA:
            p[0] = px.b, p[1] = px.g, p[2] = px.r, p[3] = alpha;
            break;
        case PIXEL_LUMINANCE:
            p[0] = px.lum;
            break;
        case PIXEL_LUMINANCE_ALPHA:
            p[0] = px.alphaOnly ? 0 : px.lum;
            p[1] = alpha;
            break;
        case PIXEL_ALPHA:
            p[0] = px.hasAlpha ? px.a : px.lum;
            break;
    }
}

GLenum GlFormat(int format) {
    switch (format) {
        case PIXEL_RGB:
            return GL_RGB;
        case PIXEL_RGBA:
            return GL_RGBA;
        case PIXEL_BGR:
            return GL_BGR_FORMAT;
        case PIXEL_BGRA:
            return GL_BGRA_FORMAT;
        case PIXEL_LUMINANCE:
            return GL_LUMINANCE;
        case PIXEL_LUMINANCE_ALPHA:
            return GL_LUMINANCE_ALPHA;
        default:
            return GL_ALPHA;
    }
}

}  // namespace

int BytesPerPixelOf(int format) {
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

uint8_t Luminance(uint8_t r, uint8_t g, uint8_t b) {
    const double l = b * static_cast<double>(0.1f) + g * static_cast<double>(0.6f) +
                     r * static_cast<double>(0.3f) + 0.5;
    return static_cast<uint8_t>(l > 255 ? 255 : l);
}

ImageExtra::ImageExtra(Image* o) : owner(o) {}

ImageExtra::~ImageExtra() {
    Free();
}

void ImageExtra::Free() {
    std::free(pixels);
    pixels = nullptr;
    format = width = height = 0;
    size = capacity = rowBytes = stride = 0;
}

bool ImageExtra::Allocate(int w, int h, int f, int rowGap) {
    Free();
    if (w >= 1 && h >= 1) {
        // Sizes come from files: refuse what overflows or is beyond any real picture.
        const uint64_t row = static_cast<uint64_t>(BytesPerPixelOf(f)) * static_cast<uint64_t>(w);
        if (rowGap < 0) {
            return false;
        }
        const uint64_t total = (row + static_cast<uint64_t>(rowGap)) * static_cast<uint64_t>(h);
        if (total == 0 || total > MAX_IMAGE_BYTES) {
            return false;
        }
        pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(total)));
        if (pixels == nullptr) {
            return false;
        }
        rowBytes = static_cast<uint32_t>(row);
        stride = static_cast<uint32_t>(row + rowGap);
        size = capacity = static_cast<uint32_t>(total);
        width = w;
        height = h;
        format = f;
        return true;
    }
    return w == 0 || h == 0 ? (w >= 0 && h >= 0) : false;
}

Image::Image() : extra(NewRecord(this)) {}

Image::Image(const Image& other) : extra(NewRecord(this)) {
    CopyFrom(other);
}

Image::~Image() {
    delete extra;
}

bool Image::IsValid() const {
    const ImageExtra& e = *extra;
    return e.pixels != nullptr && e.width != 0 && e.height >= 1 &&
           static_cast<uint64_t>(e.stride) * static_cast<uint64_t>(e.height) == e.size &&
           e.stride >= e.rowBytes &&
           e.rowBytes == static_cast<uint64_t>(BytesPerPixelOf(e.format)) * e.width;
}

int Image::GetWidth() const {
    return extra->pixels != nullptr ? extra->width : 0;
}
int Image::GetHeight() const {
    return extra->pixels != nullptr ? extra->height : 0;
}
int Image::BytesPerPixel() const {
    return BytesPerPixelOf(extra->format);
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

void Image::CopyFrom(const Image& other) {
    if (&other == this) {
        return;
    }
    const ImageExtra& o = *other.extra;
    if (o.pixels == nullptr ||
        !extra->Allocate(o.width, o.height, o.format, static_cast<int>(o.stride - o.rowBytes))) {
        Clear();
        return;
    }
    for (int y = 0; y < o.height; ++y) {
        std::memcpy(Row(y), other.Row(y), o.stride);
    }
}

void Image::FlipVertical() {
    const Image copy(*this);
    for (int y = 0; y < extra->height; ++y) {
        uint8_t* target = Row(extra->height - 1 - y);
        const uint8_t* source = copy.Row(y);
        if (target == nullptr || source == nullptr) {
            break;
        }
        std::memcpy(target, source, extra->stride);
    }
}

bool Image::ConvertTo(int format) {
    if (format == extra->format) {
        return true;
    }
    if (extra->format < PIXEL_RGB || extra->format > PIXEL_ALPHA || format < PIXEL_RGB ||
        format > PIXEL_ALPHA) {
        return false;
    }
    Image converted;
    if (!converted.extra->Allocate(extra->width, extra->height, format, 0)) {
        return false;
    }
    const int from = BytesPerPixel();
    const int to = BytesPerPixelOf(format);
    for (int y = 0; y < extra->height; ++y) {
        const uint8_t* source = Row(y);
        uint8_t* target = converted.Row(y);
        for (int x = 0; x < extra->width; ++x) {
            WritePixel(target + x * to, format, ReadPixel(source + x * from, extra->format));
        }
    }
    CopyFrom(converted);
    return true;
}

bool Image::SupportsBGRA() {
    if (bgraSupport < 0) {
        bgraSupport = 0;
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        float number = 0;
        if (extensions != nullptr && std::strstr(extensions, "GL_EXT_bgra") != nullptr) {
            bgraSupport = 1;
        } else if (version != nullptr && std::sscanf(version, "%f", &number) == 1 &&
                   static_cast<double>(number) >= 1.2) {
            bgraSupport = 1;
        }
    }
    return bgraSupport == 1;
}

void Image::ForceSupportsBGRA(bool supported) {
    bgraSupport = supported ? 1 : 0;
}

bool Image::Draw() {
    if (extra->pixels == nullptr || extra->height < 1) {
        return false;
    }
    const bool bgra = SupportsBGRA();
    Image packed;
    const Image* source = this;
    int format = extra->format;
    if (extra->stride != extra->rowBytes || !bgra) {
        if (!packed.extra->Allocate(extra->width, extra->height, extra->format, 0)) {
            return false;
        }
        for (int y = 0; y < extra->height; ++y) {
            std::memcpy(packed.Row(y), Row(y), extra->rowBytes);
        }
        if (!bgra && (format == PIXEL_BGR || format == PIXEL_BGRA)) {
            format = format == PIXEL_BGR ? PIXEL_RGB : PIXEL_RGBA;
            if (!packed.ConvertTo(format)) {
                return false;
            }
        }
        source = &packed;
    }

    const GLenum names[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_PIXELS,
                            GL_UNPACK_SKIP_ROWS, GL_UNPACK_ALIGNMENT};
    const GLint wanted[] = {0, 0, 0, 0, 1};
    GLint saved[5];
    for (int i = 0; i < 5; ++i) {
        glGetIntegerv(names[i], &saved[i]);
        if (saved[i] != wanted[i]) {
            glPixelStorei(names[i], wanted[i]);
        }
    }
    glGetError();
    glDrawPixels(extra->width, extra->height, GlFormat(format), GL_UNSIGNED_BYTE,
                 source->extra->pixels);
    const GLenum error = glGetError();
    for (int i = 1; i < 5; ++i) {
        if (saved[i] != wanted[i]) {
            glPixelStorei(names[i], saved[i]);
        }
    }
    return error == GL_NO_ERROR;
}

// Image's conversions: pixels rewritten in another layout, and rows flipped.
#include "framework/Image.h"

#include <algorithm>

namespace {

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

}  // namespace

uint8_t Luminance(uint8_t red, uint8_t green, uint8_t blue) {
    const double value = blue * static_cast<double>(0.1f) + green * static_cast<double>(0.6f) +
                         red * static_cast<double>(0.3f) + 0.5;
    return static_cast<uint8_t>(std::min(value, 255.0));
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

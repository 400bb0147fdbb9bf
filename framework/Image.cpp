// Image's pixel memory: the implementation record that owns it, the image's size and rows,
// and copies. Conversions are in ImageConversions.cpp, the file readers in ImageReaders.cpp.
#include "framework/Image.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Assertion.h"

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

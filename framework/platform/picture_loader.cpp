// The platform's picture decoders: each file is checked by its header first, then handed to
// the one decoder of its format.
#include "framework/platform/picture_loader.h"

#include <SDL.h>
#include <SDL_image.h>
#include <png.h>

#include <cstring>
#include <memory>

#include "framework/data_file.h"
#include "framework/platform/gif_decoder.h"

namespace platform {

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Copies a surface into blue, green, red rows. Pictures are composed over white where
// translucent; bitmaps drop any alpha, as a 24-bit copy of them would.
bool CopyPixels(SDL_Surface* decoded, bool overWhite, const PictureLimits& limits,
                DecodedPicture& picture) {
    if (decoded == nullptr || !FitsLimits(limits, decoded->w, decoded->h)) {
        return false;
    }
    Surface rgba(SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba) {
        return false;
    }
    if (SDL_MUSTLOCK(rgba.get()) && SDL_LockSurface(rgba.get()) != 0) {
        return false;
    }
    try {
        picture.bgr.resize(3ull * static_cast<uint64_t>(rgba->w) * rgba->h);
    } catch (const std::bad_alloc&) {
        return false;
    }
    picture.width = rgba->w;
    picture.height = rgba->h;
    uint8_t* out = picture.bgr.data();
    for (int y = 0; y < rgba->h; ++y) {
        const uint8_t* in = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
        for (int x = 0; x < rgba->w; ++x, in += 4, out += 3) {
            const unsigned alpha = overWhite ? in[3] : 255;
            for (int c = 0; c < 3; ++c) {
                out[2 - c] =
                    static_cast<uint8_t>((in[c] * alpha + 255 * (255 - alpha) + 127) / 255);
            }
        }
    }
    if (SDL_MUSTLOCK(rgba.get())) {
        SDL_UnlockSurface(rgba.get());
    }
    return true;
}

// PNG through libpng's own reader, which keeps its errors to itself rather than printing
// them; the size it reads is checked again before any pixel memory is taken.
bool DecodePng(std::FILE* file, const PictureLimits& limits, DecodedPicture& picture) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&png, file)) {
        return false;
    }
    if (!FitsLimits(limits, png.width, png.height)) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_BGR;
    try {
        picture.bgr.resize(PNG_IMAGE_SIZE(png));
    } catch (const std::bad_alloc&) {
        png_image_free(&png);
        return false;
    }
    const png_color white = {255, 255, 255};
    if (!png_image_finish_read(&png, &white, picture.bgr.data(), 0, nullptr)) {
        return false;  // finishing frees the reader, failed or not
    }
    picture.width = static_cast<int>(png.width);
    picture.height = static_cast<int>(png.height);
    return true;
}

// Opens only an ordinary file of bounded size, checks its header, then hands the same open stream
// to the one decoder of the format found, never choosing by the name.
bool Decode(const char* path, bool bitmapsOnly, const PictureLimits& limits,
            DecodedPicture& picture) {
    if (path == nullptr) {
        return false;
    }
    File file = OpenDataFile(path, limits.maxFileBytes);
    if (!file) {
        return false;
    }
    const PictureFormat format = CheckPictureFile(file.get(), limits);
    if (format == PictureFormat::NONE || (bitmapsOnly && format != PictureFormat::BMP) ||
        std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    if (format == PictureFormat::GIF) {
        return DecodeGifFrame(file.get(), limits, picture);
    }
    if (format == PictureFormat::PNG) {
        return DecodePng(file.get(), limits, picture);
    }
    SDL_RWops* stream = SDL_RWFromFP(file.get(), SDL_FALSE);
    if (stream == nullptr) {
        return false;
    }
    Surface decoded;
    switch (format) {
        case PictureFormat::BMP:
            decoded.reset(SDL_LoadBMP_RW(stream, 0));
            break;
        case PictureFormat::JPEG:
            decoded.reset(IMG_LoadJPG_RW(stream));
            break;
        case PictureFormat::PNG:
        case PictureFormat::GIF:
        case PictureFormat::NONE:
            break;
    }
    SDL_RWclose(stream);
    return decoded && CopyPixels(decoded.get(), !bitmapsOnly, limits, picture);
}

}  // namespace

bool DecodeBitmapFile(const char* path, const PictureLimits& limits, DecodedPicture& picture) {
    return Decode(path, true, limits, picture);
}

bool DecodePictureFile(const char* path, const PictureLimits& limits, DecodedPicture& picture) {
    return Decode(path, false, limits, picture);
}

}  // namespace platform

#include "framework/platform/picture_loader.h"

#include <SDL.h>
#include <SDL_image.h>

#include <memory>
#include <new>

#include "framework/Image.h"

namespace platform {

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Copies a surface into blue, green, red rows. Pictures are composed over white where
// translucent; bitmaps drop any alpha, as a 24-bit copy of them would.
bool CopyPixels(SDL_Surface* decoded, bool overWhite, DecodedPicture& picture) {
    if (decoded == nullptr || decoded->w < 1 || decoded->h < 1) {
        return false;
    }
    const uint64_t bytes = 3ull * static_cast<uint64_t>(decoded->w) * decoded->h;
    if (bytes > IMAGE_MAX_BYTES) {
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
        picture.bgr.resize(bytes);
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

}  // namespace

bool DecodeBitmapFile(const char* path, DecodedPicture& picture) {
    if (path == nullptr) {
        return false;
    }
    Surface bitmap(SDL_LoadBMP(path));
    return bitmap && CopyPixels(bitmap.get(), false, picture);
}

bool DecodePictureFile(const char* path, DecodedPicture& picture) {
    if (path == nullptr) {
        return false;
    }
    Surface decoded(IMG_Load(path));
    return decoded && CopyPixels(decoded.get(), true, picture);
}

}  // namespace platform

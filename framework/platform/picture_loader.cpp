#include "framework/platform/picture_loader.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

#include "framework/Image.h"

namespace {

// Copies an SDL surface into bottom-first padded BGR rows, composing over white.
bool TakeSurface(SDL_Surface* loaded, PlatformPicture* out) {
    if (loaded == nullptr) {
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (argb == nullptr) {
        return false;
    }
    const uint64_t stride = ((static_cast<uint64_t>(argb->w) * 24 + 31) / 32) * 4;
    const uint64_t total = stride * static_cast<uint64_t>(argb->h);
    bool ok = argb->w > 0 && argb->h > 0 && total <= MAX_IMAGE_BYTES && SDL_LockSurface(argb) == 0;
    if (ok) {
        out->width = argb->w;
        out->height = argb->h;
        out->stride = static_cast<int>(stride);
        out->bytes.assign(static_cast<size_t>(total), 0);
        for (int y = 0; y < argb->h; ++y) {
            const auto* src = static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch;
            uint8_t* dst = out->bytes.data() + (argb->h - 1 - y) * stride;
            for (int x = 0; x < argb->w; ++x) {
                uint32_t v;
                std::memcpy(&v, src + 4 * x, 4);
                const uint32_t a = v >> 24;
                const uint32_t channel[3] = {v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF};
                for (int c = 0; c < 3; ++c) {
                    dst[3 * x + c] = static_cast<uint8_t>((channel[c] * a + 255 * (255 - a)) / 255);
                }
            }
        }
        SDL_UnlockSurface(argb);
    }
    SDL_FreeSurface(argb);
    return ok;
}

}  // namespace

bool PlatformLoadBitmap(const char* path, PlatformPicture* out) {
    return TakeSurface(SDL_LoadBMP(path), out);
}

bool PlatformLoadPicture(const char* path, PlatformPicture* out) {
    return TakeSurface(IMG_Load(path), out);
}

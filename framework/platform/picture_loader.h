#pragma once

#include <cstdint>
#include <vector>

// Pictures decoded by the platform, as 24-bit blue-green-red rows, bottom row first, each
// row padded to a multiple of 4 bytes.
struct PlatformPicture {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bytes;
};

// Any bitmap file the platform reads.
bool PlatformLoadBitmap(const char* path, PlatformPicture* out);
// Any picture format the platform decodes; transparent parts come out white.
bool PlatformLoadPicture(const char* path, PlatformPicture* out);

#pragma once

#include <cstdint>
#include <vector>

// The platform's picture decoders. Both hand back 24-bit pixels, blue, green, red, top row
// first and tightly packed (3 x width bytes a row).
namespace platform {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
};

// Any bitmap file the platform's bitmap loader reads.
bool DecodeBitmapFile(const char* path, DecodedPicture& picture);
// Any picture format the platform's picture decoder reads; transparent parts come out
// composed over white.
bool DecodePictureFile(const char* path, DecodedPicture& picture);

}  // namespace platform

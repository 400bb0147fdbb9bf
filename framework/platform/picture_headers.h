// Picture files before any decoder sees them: the limits a picture must keep, each accepted
// format recognised and sized from its header, and the rows a decoder hands back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace platform {

// A decoded picture: 24-bit pixels, blue, green, red, top row first and tightly packed (3 x
// width bytes a row).
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
};

// The largest picture a decoder may produce: its 24-bit rows, each padded to 4 bytes, must
// fit in maxBytes, and neither side may pass maxSide pixels.
struct PictureLimits {
    uint64_t maxBytes = 0;
    int64_t maxSide = 0;
    // The file's own size, before its header is read.
    uint64_t maxFileBytes = 0;
};

// Whether a picture of that size is within the limits.
bool FitsLimits(const PictureLimits& limits, int64_t width, int64_t height);

enum class PictureFormat { NONE, BMP, PNG, JPEG, GIF };

// Recognises a picture by its signature and reads its size from its header, from the start of
// the file. NONE when no accepted format's signature is there, when the header is broken, when
// the picture is over the limits, or when the file is too small to hold the picture it
// declares even at its format's best compression. Decoders are only handed files that pass.
PictureFormat CheckPictureFile(std::FILE* file, const PictureLimits& limits);

}  // namespace platform

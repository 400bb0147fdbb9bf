// Our own decoder of a GIF's first frame, which needs no library.
#pragma once

#include <cstdio>

#include "framework/platform/picture_headers.h"

namespace platform {

// Decodes the first frame of a GIF from the start of the file into blue, green, red rows, top
// row first, with transparent pixels white. The frame must be within the limits, every pixel
// must come from the data and name an entry of the colour table; anything else fails. Memory
// beyond the frame's own is a few fixed tables.
bool DecodeGifFrame(std::FILE* file, const PictureLimits& limits, DecodedPicture& picture);

}  // namespace platform

// The platform's picture decoders (SDL2 for bitmaps, libpng, SDL2_image for JPEG, our own for
// GIF), each handed only files whose header passed CheckPictureFile.
#pragma once

#include "framework/platform/picture_headers.h"

namespace platform {

// Any bitmap file the platform's bitmap loader reads.
bool DecodeBitmapFile(const char* path, const PictureLimits& limits, DecodedPicture& picture);
// A bitmap, PNG, JPEG or GIF picture (the first frame of a GIF, decoded by our own code),
// recognised by its content whatever its name; transparent parts come out composed over white.
bool DecodePictureFile(const char* path, const PictureLimits& limits, DecodedPicture& picture);

}  // namespace platform

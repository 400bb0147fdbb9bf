// PNG encoding of a canvas into memory, so one encoding can be both written and embedded.
#pragma once

#include <string>

#include "picture/canvas.h"

namespace gulper {

// The canvas as the bytes of a PNG file: 8-bit RGB, or RGBA for four channels. False, with
// no bytes, when libpng fails.
bool EncodePng(const Canvas& canvas, std::string* bytes);

}  // namespace gulper

// The drawing path's BGRA answer, forced for tests.
#include "framework/testing/image_override.h"

namespace {

int overrideMode = -1;

}  // namespace

// Image.cpp asks this when a test program links it (the game links none).
extern "C" int ImageBGRAOverride() {
    return overrideMode;
}

void ImageOverrideBGRASupport(int mode) {
    overrideMode = mode;
}

// A picture reader on arbitrary bytes. Built three times: the Targa reader (FUZZ_TGA), the
// bitmap reader (FUZZ_BMP), and Image::Load as the game calls it, with a ".tga" name and all
// the readers in their order, the platform's decoders included.
#include <cstdlib>

#include "framework/Image.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#if defined(FUZZ_BMP)
    const char* path = WriteFuzzInput(data, size, ".bmp");
#else
    const char* path = WriteFuzzInput(data, size, ".tga");
#endif
    if (path == nullptr) {
        return 0;
    }
    Image image;
#if defined(FUZZ_TGA)
    const bool loaded = image.extra->LoadTGA(path);
#elif defined(FUZZ_BMP)
    const bool loaded = image.extra->LoadBMP(path);
#else
    const bool loaded = image.Load(path);
#endif
    const ImageExtra& picture = *image.extra;
    if (!loaded) {
        if (picture.pixels != nullptr) {
            std::abort();  // a failed load leaves the image empty
        }
        return 0;
    }
    // A loaded picture is whole and within the bounds: every byte of it can be read.
    if (!image.IsValid() || picture.width > IMAGE_MAX_SIDE || picture.height > IMAGE_MAX_SIDE ||
        picture.size > IMAGE_MAX_BYTES) {
        std::abort();
    }
    volatile uint8_t sum = 0;
    for (uint32_t i = 0; i < picture.size; ++i) {
        sum = sum + picture.pixels[i];
    }
    return 0;
}

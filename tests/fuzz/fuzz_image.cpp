// Image::Load on arbitrary bytes, as the game calls it: a ".tga" name and all four readers in
// their order, the platform's decoders included.
#include <cstdlib>

#include "framework/Image.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = WriteFuzzInput(data, size, ".tga");
    if (path == nullptr) {
        return 0;
    }
    Image image;
    if (image.Load(path)) {
        // A loaded picture is whole and within the bounds: every byte of it can be read.
        const ImageExtra& loaded = *image.extra;
        if (!image.IsValid() || loaded.width > IMAGE_MAX_SIDE || loaded.height > IMAGE_MAX_SIDE ||
            loaded.size > IMAGE_MAX_BYTES) {
            std::abort();
        }
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < loaded.size; ++i) {
            sum = sum + loaded.pixels[i];
        }
    } else if (image.extra->pixels != nullptr) {
        std::abort();  // a failed load leaves the image empty
    }
    return 0;
}

// Bitmap reader on arbitrary bytes.
#include <cstdlib>

#include "framework/Image.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = WriteFuzzInput(data, size, ".bmp");
    if (path == nullptr) {
        return 0;
    }
    Image image;
    if (image.extra->LoadBMP(path)) {
        // A loaded picture is whole: every byte of it can be read.
        if (!image.IsValid()) {
            std::abort();
        }
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < image.extra->size; ++i) {
            sum = sum + image.extra->pixels[i];
        }
    } else if (image.extra->pixels != nullptr) {
        std::abort();  // a failed load leaves the image empty
    }
    return 0;
}

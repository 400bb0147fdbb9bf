// A reader of untrusted files on arbitrary bytes. Built four times: the Targa reader (FUZZ_TGA),
// the bitmap reader (FUZZ_BMP), the settings reader (FUZZ_CONFIG), and Image::Load as the game
// calls it, with a ".tga" name and all the readers in their order, the platform's decoders
// included.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "game/game_rules.h"
#include "game/game_state.h"

namespace {

// The readers take file names, so each input goes to a file of its own in memory-backed
// storage (/dev/shm where there is one), named with the ending the reader is given.
const char* WriteInput(const uint8_t* data, size_t size, const char* ending) {
    static std::string path;
    if (path.empty()) {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/gulper-fuzz-" + std::to_string(getpid()) + ending;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(data, 1, size, file) == size;
    return file != nullptr && std::fclose(file) == 0 && written ? path.c_str() : nullptr;
}

}  // namespace

#if defined(FUZZ_PLATFORM_READERS)
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InstallPlatformImageReaders();  // Load as the game has it
    return 0;
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#if defined(FUZZ_CONFIG)
    const char* path = WriteInput(data, size, ".txt");
    GameRules rules;
    if (path != nullptr && !rules.LoadConfigFrom(path)) {
        std::abort();  // the file exists, so it must have been read
    }
    // Whatever the file holds, every setting stays in its range.
    if (rules.fps < 1 || rules.fps > 20 || dot_value < 1 || dot_value > 50) {
        std::abort();
    }
    for (int32_t factor : rules.ghostSlowDown) {
        if (factor < 1 || factor > 5) {
            std::abort();
        }
    }
    return 0;
#else
    const char* path = WriteInput(data, size, FUZZ_ENDING);
    Image image;
    const ImageExtra& picture = *image.extra;
    const bool loaded = path != nullptr && FUZZ_LOAD(path);
    if (!loaded && picture.pixels != nullptr) {
        std::abort();  // a failed load leaves the image empty
    }
    if (!loaded) {
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
#endif
}

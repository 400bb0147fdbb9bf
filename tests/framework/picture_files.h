// What the picture file tests share: headers of each format made by hand, the peak address
// space, and a fixture that loads files as the game does, the platform's loaders after our own.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "framework/platform/picture_loader.h"
#include "tests/framework/image_test_files.h"

using platform::PictureFormat;
constexpr platform::PictureLimits LIMITS{IMAGE_MAX_BYTES, IMAGE_MAX_SIDE, IMAGE_MAX_FILE_BYTES};
const Bytes TWELVE = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A PNG signature and header chunk, padded with zeros to `size` bytes.
inline Bytes Png(uint32_t width, uint32_t height, size_t size, int depth = 8, int colour = 2) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b = With(b + Bytes(std::max<size_t>(size, 33) - 16, 0), 16, width, 4, true);
    return With(With(b, 20, height, 4, true), 24, depth << 8 | colour, 2, true);
}

// A JPEG start, a comment and a baseline frame header, padded to `size` bytes; every component
// has the given sampling factors.
inline Bytes Jpeg(int width, int height, size_t size, int components = 1, int sampling = 0x11) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xFE, 0, 4,
               'h',  'i',  0xFF, 0xC0, 0, uint8_t(8 + 3 * components),
               8,    0,    0,    0,    0, uint8_t(components)};
    for (int c = 1; c <= components; ++c)
        b = b + Bytes{uint8_t(c), uint8_t(sampling), 0};
    b = With(With(b, 13, height, 2, true), 15, width, 2, true);
    return b + Bytes(size > b.size() ? size - b.size() : 0, 0);
}

// A GIF of one frame with a two-colour table (red, white) after a graphic control extension.
inline Bytes Gif(uint32_t screenWidth, uint32_t screenHeight, uint32_t width, uint32_t height,
                 const Bytes& lzw) {
    Bytes b =
        Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 255, 0, 0, 255, 255, 255} +
        Bytes{0x21, 0xF9, 4, 0, 0, 0, 0, 0} + Bytes{0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    b = With(With(b, 6, screenWidth | screenHeight << 16), 32, width | height << 16);
    return b + Bytes{uint8_t(lzw.size())} + lzw + Bytes{0, 0x3B};
}
const Bytes RED_WHITE = {0x44, 0x0A};  // codes clear, 0, 1, end at 3 bits

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The most address space the process has held, in kB.
inline long PeakKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmPeak:", 0) == 0)
            return std::stol(line.substr(7));
    return 0;
}

// Load as the game has it, the platform's loaders after our own.
class PictureFiles : public TempFolderTest {
  protected:
    PictureFiles() { InstallPlatformImageReaders(); }
    // Loads the file, a bitmap (.bmp) with the own bitmap reader alone, the rest with Load, and
    // compares every row, bottom row first; no pixels: the load fails and empties the image.
    void Expect(const std::string& name, const Bytes& bytes, const Bytes& pixels = {},
                int width = 2, int format = PIXEL_BGR) {
        SCOPED_TRACE(name + " of " + std::to_string(bytes.size()) + " bytes");
        ASSERT_TRUE(image.extra->Allocate(1, 1, PIXEL_RGB, 0));
        const std::string path = Write(name, bytes);
        const bool bitmap = name.find(".bmp") != std::string::npos;
        EXPECT_EQ(bitmap ? image.extra->LoadBMP(path.c_str()) : image.Load(path.c_str()),
                  !pixels.empty());
        EXPECT_EQ(image.IsValid(), !pixels.empty());
        EXPECT_EQ(Pixels(), pixels);
        if (!pixels.empty()) {
            EXPECT_TRUE(image.GetWidth() == width && image.extra->format == format);
        }
    }
    Bytes Pixels() { return Bytes(image.extra->pixels, image.extra->pixels + image.extra->size); }
    File Open(const Bytes& bytes) {
        return File(std::fopen(Write("file", bytes).c_str(), "rb"), std::fclose);
    }
    // A picture of opaque red on the left half and `right` (RGBA, white) on the other, saved as
    // PNG, JPEG or 32-bit bitmap (p, j, b).
    Bytes Saved(char kind, int width = 16, int height = 8, uint32_t right = 0xFFFFFFFF) {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        for (int i = 0; i < width * height; ++i)
            static_cast<uint32_t*>(surface->pixels)[i] = i % width < width / 2 ? 0xFF0000FF : right;
        const std::string path = folder / "saved";
        EXPECT_EQ(kind == 'p'   ? IMG_SavePNG(surface, path.c_str())
                  : kind == 'j' ? IMG_SaveJPG(surface, path.c_str(), 100)
                                : SDL_SaveBMP(surface, path.c_str()),
                  0);
        SDL_FreeSurface(surface);
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    Image image;
};

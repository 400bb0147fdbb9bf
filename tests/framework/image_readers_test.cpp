#include <SDL.h>
#include <SDL_image.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "tests/framework/image_test_files.h"

namespace {

struct Case {
    std::string name;  // bitmaps (.bmp) go to the own bitmap reader alone, the rest to Load
    Bytes bytes;
    Bytes pixels;  // every row, bottom row first; none: the load fails and empties the image
    int format;
    int width;
    Case(std::string name, Bytes bytes, Bytes pixels = {}, int format = PIXEL_BGR, int width = 2)
        : name(name), bytes(bytes), pixels(pixels), format(format), width(width) {}
};

class Reader : public TempFolderTest {
  protected:
    void Expect(const Case& c) {
        SCOPED_TRACE(c.name + " of " + std::to_string(c.bytes.size()) + " bytes");
        ASSERT_TRUE(image.extra->Allocate(1, 1, PIXEL_RGB, 0));
        const std::string path = Write(c.name, c.bytes);
        const bool bitmap = c.name.size() > 4 && c.name.substr(c.name.size() - 4) == ".bmp";
        ASSERT_EQ(bitmap ? image.extra->LoadBMP(path.c_str()) : image.Load(path.c_str()),
                  !c.pixels.empty());
        EXPECT_EQ(image.IsValid(), !c.pixels.empty());
        if (c.pixels.empty()) {
            EXPECT_EQ(image.extra->pixels, nullptr);
            return;
        }
        EXPECT_EQ(image.extra->format, c.format);
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(Bytes(image.extra->pixels, image.extra->pixels + image.extra->size), c.pixels);
    }
    Image image;
};

const Bytes TWELVE = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
const Bytes TWELVE_TURNED = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};

}  // namespace

TEST_F(Reader, TargaFilesLoadAsStoredOrFailWhole) {
    const Bytes plain = Targa(2, 2, 2, 24, 0, TWELVE);
    const Bytes signed_ = Targa(2, 2, 2, 24, 0, TWELVE, true);
    const Bytes tightest = {0xFF, 9, 8, 7, 0xFF, 6, 5, 4};  // at best 128 pixels a packet
    std::vector<Case> cases = {
        {"plain.tga", plain, TWELVE},
        {"upper.TGA", plain, TWELVE},
        {"top.tga", Targa(2, 2, 2, 24, 0x28, TWELVE), TWELVE_TURNED},
        {"alpha.tga",
         Targa(2, 1, 2, 32, 0, {1, 2, 3, 4, 5, 6, 7, 8}, false, 0, {'i', 'd'}),
         {1, 2, 3, 4, 5, 6, 7, 8},
         PIXEL_BGRA,
         1},
        {"small.tga", Targa(2, 1, 1, 24, 0, {9, 8, 7}), {9, 8, 7}, PIXEL_BGR, 1},
        {"run.tga", Targa(10, 2, 2, 24, 0, {0x83, 1, 2, 3}), Repeat({1, 2, 3}, 4)},
        {"runs.tga",
         Targa(10, 2, 2, 24, 0, {0, 1, 2, 3, 0x81, 4, 5, 6, 0, 7, 8, 9}),
         {1, 2, 3, 4, 5, 6, 4, 5, 6, 7, 8, 9}},
        {"tightest.tga", Targa(10, 16, 16, 24, 0, tightest),
         Repeat({9, 8, 7}, 128) + Repeat({6, 5, 4}, 128), PIXEL_BGR, 16},
        {"tightest.dat", Targa(10, 16, 16, 24, 0, tightest, true),
         Repeat({9, 8, 7}, 128) + Repeat({6, 5, 4}, 128), PIXEL_BGR, 16},
        {"signed.Tga", signed_, TWELVE},
        {"signed", signed_, TWELVE},
        {".tga", plain, TWELVE},  // a four-character name, but after the folder
        // No signature and no exact extension; a picture too small for one needs the name.
        {"plain.Tga", plain},
        {"plain.png", plain},
        {"plain", plain},
        {"small.dat", Targa(2, 1, 1, 24, 0, {9, 8, 7})},
        // Short of pixels or runs, or runs past the picture.
        {"tighter.tga", Targa(10, 16, 16, 24, 0, {0xFF, 9, 8, 7, 0xFF, 6, 5})},
        {"three.tga", Targa(10, 2, 2, 24, 0, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"five.tga", Targa(10, 2, 2, 24, 0, {0x84, 1, 2, 3})},
        {"five-raw.tga", Targa(10, 2, 2, 24, 0, Bytes{0x04} + Repeat({1, 2, 3}, 5))},
        {"cut-raw.tga", Targa(10, 2, 2, 24, 0, {0x03, 1, 2, 3, 4, 5, 6})},
        {"cut-run.tga", Targa(10, 2, 2, 24, 0, {0x83, 1})},
        // Colour-mapped, grey, 16 bits, a colour map, no width, no height, too large.
        {"mapped.tga", Targa(1, 2, 2, 24, 0, TWELVE, false, 1)},
        {"mapped-runs.tga", Targa(9, 2, 2, 24, 0, TWELVE, false, 1)},
        {"grey.tga", Targa(3, 2, 2, 24, 0, TWELVE)},
        {"grey-runs.tga", Targa(11, 2, 2, 24, 0, TWELVE)},
        {"sixteen.tga", Targa(2, 2, 2, 16, 0, TWELVE)},
        {"map.tga", Targa(2, 2, 2, 24, 0, TWELVE, false, 1)},
        {"narrow.tga", Targa(2, 0, 2, 24, 0, TWELVE)},
        {"flat.tga", Targa(2, 2, 0, 24, 0, TWELVE)},
        {"huge.tga", Targa(2, 65535, 65535, 32, 0, TWELVE)},
    };
    for (size_t length : {0, 10, 17, 18, 29}) {
        cases.push_back({"cut.tga", Bytes(plain.begin(), plain.begin() + long(length))});
    }
    for (const Case& c : cases) {
        Expect(c);
    }
    std::filesystem::current_path(folder);
    EXPECT_FALSE(image.Load(".tga"));
    EXPECT_FALSE(image.Load(nullptr));
    EXPECT_FALSE(image.Load((folder / "absent.tga").c_str()));
}

TEST_F(Reader, BitmapFilesLoadAsStoredOrFailWhole) {
    const Bytes grey = {0, 0, 0, 0, 80, 80, 80, 0, 200, 200, 200, 0};
    const Bytes two = {2, 1, 0, 0, 0, 2, 0, 0};
    const Bytes good = Bitmap(2, 2, 24, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    std::vector<Case> cases = {
        {"good.bmp", good, TWELVE},
        {"exact.bmp", With(good, 34, 16), TWELVE},  // image size naming exactly the rows
        {"narrow.bmp",
         Bitmap(1, 2, 24, {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}),
         {1, 2, 3, 4, 5, 6},
         PIXEL_BGR,
         1},
        {"top.bmp",
         Bitmap(1, -2, 24, {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}),
         {4, 5, 6, 1, 2, 3},
         PIXEL_BGR,
         1},
        {"grey.bmp", Bitmap(2, 2, 8, two, grey), {200, 80, 0, 200}, PIXEL_LUMINANCE},
        {"grey-top.bmp", Bitmap(2, -2, 8, two, grey), {0, 200, 200, 80}, PIXEL_LUMINANCE},
        {"coloured.bmp",
         Bitmap(2, 1, 8, {1, 0, 0, 0}, {10, 20, 30, 0, 80, 80, 80, 0}),
         {80, 80, 80, 10, 20, 30}},
        {"no-colour.bmp", Bitmap(1, 1, 8, {2, 0, 0, 0}, {0, 0, 0, 0, 9, 9, 9, 0})},
        // More colours than an 8-bit pixel can name.
        {"257.bmp", Bitmap(1, 1, 8, {1, 0, 0, 0}, Repeat({9, 9, 9, 0}, 257))},
        {"all.bmp", With(Bitmap(1, 1, 8, {1, 0, 0, 0}, Repeat({9, 9, 9, 0}, 2)), 46, ~0u)},
    };
    // Not "BM", two planes, 16 or 32 bits, compressed, no width or height, a width that would
    // overflow 32-bit sizes, the most negative height, an image size short of the rows or past
    // the end, pixel data past the end.
    const uint32_t changes[][3] = {
        {0, 0x4D41, 2},    {26, 2, 2}, {28, 16, 2}, {28, 32, 2},
        {30, 1, 4},        {18, 0, 4}, {22, 0, 4},  {18, 0x7FFFFFFF, 4},
        {22, 1u << 31, 4}, {34, 4, 4}, {34, 17, 4}, {10, 0xFFFFFFF0, 4},
    };
    for (const auto& c : changes) {
        cases.push_back({"changed.bmp", With(good, c[0], c[1], int(c[2]))});
    }
    for (size_t length : {0, 13, 53, 69}) {
        cases.push_back({"cut.bmp", Bytes(good.begin(), good.begin() + long(length))});
    }
    for (const Case& c : cases) {
        Expect(c);
    }
}

TEST_F(Reader, OwnReadersStopAtTheWidestAndTallestPicture) {
    for (int side : {IMAGE_MAX_SIDE, IMAGE_MAX_SIDE + 1}) {
        const bool fits = side == IMAGE_MAX_SIDE;
        for (bool wide : {true, false}) {
            const int width = wide ? side : 1;
            const int height = wide ? 1 : side;
            const Bytes rows(wide ? (side + 3) / 4 * 4 : 4 * side, 0);
            Expect({"long.tga", Targa(2, width, height, 24, 0, Bytes(3 * side, 7)),
                    fits ? Bytes(3 * side, 7) : Bytes(), PIXEL_BGR, width});
            Expect({"long.bmp", Bitmap(width, height, 8, rows, {7, 7, 7, 0}),
                    fits ? Bytes(side, 7) : Bytes(), PIXEL_LUMINANCE, width});
        }
    }
}

TEST_F(Reader, BitmapBeyondTheMemoryLeftFails) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator stops the program instead of failing";
#endif
    const std::string path = Write("big.bmp", Bitmap(8000, 8000, 24, {}));
    std::filesystem::resize_file(path, 54 + 24000ull * 8000);  // sparse: 192 MB of black
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    const rlimit tight = {rlim_t(pages) * sysconf(_SC_PAGESIZE) + (64 << 20), limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    const bool loaded = image.extra->LoadBMP(path.c_str());
    setrlimit(RLIMIT_AS, &limit);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(image.extra->pixels, nullptr);
}

TEST_F(Reader, PlatformLoadersKeepBitmapRowGapsAndComposeOverWhite) {
    // 1 x 2 of 16 bits, which the own reader refuses: blue, then red (5-5-5).
    const std::string path = Write("sixteen.bmp", Bitmap(1, 2, 16, {0x1F, 0, 0, 0, 0, 0x7C, 0, 0}));
    ASSERT_FALSE(image.extra->LoadBMP(path.c_str()));
    ASSERT_TRUE(image.Load(path.c_str()));
    EXPECT_EQ(image.extra->stride, 4u);
    EXPECT_EQ(Bytes(image.extra->pixels, image.extra->pixels + 8),
              (Bytes{255, 0, 0, 0, 0, 0, 255, 0}));

    // 2 x 1 as PNG: opaque red, then fully transparent.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    const Bytes rgba = {255, 0, 0, 255, 0, 0, 0, 0};
    std::copy(rgba.begin(), rgba.end(), static_cast<uint8_t*>(surface->pixels));
    ASSERT_EQ(IMG_SavePNG(surface, (folder / "fruit.png").c_str()), 0);
    SDL_FreeSurface(surface);
    // A relative name is joined to the current directory; over 260 characters is refused.
    std::filesystem::current_path(folder);
    ASSERT_TRUE(image.Load("fruit.png"));
    EXPECT_EQ(Bytes(image.extra->pixels, image.extra->pixels + 8),
              (Bytes{0, 0, 255, 255, 255, 255, 0, 0}));
    EXPECT_FALSE(image.extra->LoadPicture(std::string(300, 'x').c_str()));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.extra->LoadPicture(nullptr));
}

// The own Targa and bitmap readers behind Image::Load: handed only files whose header declares a
// picture the file could hold, and the platform's loaders only where they are installed.
#include <sys/resource.h>
#include <unistd.h>

#include "framework/platform/gif_decoder.h"
#include "tests/framework/picture_files.h"

TEST_F(PictureFiles, TargaFilesLoadAsStoredOrFailWhole) {
    const Bytes plain = Targa(2, 2, 2, 24, 0, TWELVE),
                signed_ = Targa(2, 2, 2, 24, 0, TWELVE, true);
    const Bytes tightest = {0xFF, 9, 8, 7, 0xFF, 6, 5, 4};  // at best 128 pixels a packet
    const Bytes tightestPixels = Repeat({9, 8, 7}, 128) + Repeat({6, 5, 4}, 128);
    for (const char* name : {"plain.tga", "plain.TGA", ".tga"})  // ".tga" after the folder
        Expect(name, plain, TWELVE);
    for (const char* name : {"signed.Tga", "signed"})
        Expect(name, signed_, TWELVE);
    Expect("top.tga", Targa(2, 2, 2, 24, 0x28, TWELVE), {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6});
    Expect("alpha.tga", Targa(2, 1, 2, 32, 0, {1, 2, 3, 4, 5, 6, 7, 8}, false, 0, {'i', 'd'}),
           {1, 2, 3, 4, 5, 6, 7, 8}, 1, PIXEL_BGRA);
    Expect("small.tga", Targa(2, 1, 1, 24, 0, {9, 8, 7}), {9, 8, 7}, 1);
    Expect("run.tga", Targa(10, 2, 2, 24, 0, {0x83, 1, 2, 3}), Repeat({1, 2, 3}, 4));
    Expect("runs.tga", Targa(10, 2, 2, 24, 0, {0, 1, 2, 3, 0x81, 4, 5, 6, 0, 7, 8, 9}),
           {1, 2, 3, 4, 5, 6, 4, 5, 6, 7, 8, 9});
    Expect("tightest.tga", Targa(10, 16, 16, 24, 0, tightest), tightestPixels, 16);
    Expect("tightest.dat", Targa(10, 16, 16, 24, 0, tightest, true), tightestPixels, 16);
    // Neither a footer nor an exact extension, or a picture too small even for a footer.
    for (const char* name : {"plain.Tga", "plain.png", "plain"})
        Expect(name, plain);
    Expect("small.dat", Targa(2, 1, 1, 24, 0, {9, 8, 7}));
    // Short of pixels or runs, runs past the picture.
    Expect("tighter.tga", Targa(10, 16, 16, 24, 0, {0xFF, 9, 8, 7, 0xFF, 6, 5}));
    for (const Bytes& runs :
         {Bytes{2, 1, 2, 3, 4, 5, 6, 7, 8, 9}, Bytes{0x84, 1, 2, 3},
          Bytes{4} + Repeat({1, 2, 3}, 5), Bytes{3, 1, 2, 3, 4, 5, 6}, Bytes{0x83, 1}})
        Expect("broken.tga", Targa(10, 2, 2, 24, 0, runs));
    // Type, colour map type, depth, width, height: colour-mapped, grey, 16 bits, a colour map,
    // no width, no height, too large.
    const int refused[][5] = {{1, 1, 24, 2, 2},        {3, 0, 24, 2, 2}, {2, 0, 16, 2, 2},
                              {2, 1, 24, 2, 2},        {2, 0, 24, 0, 2}, {2, 0, 24, 2, 0},
                              {2, 0, 32, 65535, 65535}};
    for (const auto& r : refused)
        Expect("refused.tga", Targa(r[0], r[3], r[4], r[2], 0, TWELVE, false, r[1]));
    for (long length : {0, 10, 17, 18, 29})
        Expect("cut.tga", Bytes(plain.begin(), plain.begin() + length));
    // A few bytes of runs declaring the largest picture take no memory for it.
    const long peak = PeakKb();
    Expect("bomb.tga", Targa(10, 8192, 8192, 32, 0, {0xFF, 1, 2, 3, 4}));
    EXPECT_LT(PeakKb(), peak + 64 * 1024);
    std::filesystem::current_path(folder);
    EXPECT_FALSE(image.Load(".tga"));
    EXPECT_FALSE(image.Load(nullptr));
    EXPECT_FALSE(image.Load("absent.tga"));
}

TEST_F(PictureFiles, BitmapFilesLoadAsStoredOrFailWhole) {
    const Bytes grey = {0, 0, 0, 0, 80, 80, 80, 0, 200, 200, 200, 0},
                two = {2, 1, 0, 0, 0, 2, 0, 0};
    const Bytes good = Bitmap(2, 2, 24, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    Expect("good.bmp", good, TWELVE);
    Expect("exact.bmp", With(good, 34, 16), TWELVE);  // image size naming exactly the rows
    Expect("narrow.bmp", Bitmap(1, 2, 24, {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}), {1, 2, 3, 4, 5, 6}, 1);
    Expect("top.bmp", Bitmap(1, -2, 24, {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}), {4, 5, 6, 1, 2, 3}, 1);
    Expect("grey.bmp", Bitmap(2, 2, 8, two, grey), {200, 80, 0, 200}, 2, PIXEL_LUMINANCE);
    Expect("grey-top.bmp", Bitmap(2, -2, 8, two, grey), {0, 200, 200, 80}, 2, PIXEL_LUMINANCE);
    Expect("coloured.bmp", Bitmap(2, 1, 8, {1, 0, 0, 0}, {10, 20, 30, 0, 80, 80, 80, 0}),
           {80, 80, 80, 10, 20, 30});
    // A pixel past the colours read; more colours than an 8-bit pixel can name.
    Expect("no-colour.bmp", Bitmap(1, 1, 8, {3, 0, 0, 0}, grey));
    Expect("257.bmp", Bitmap(1, 1, 8, {1, 0, 0, 0}, Repeat({9, 9, 9, 0}, 257)));
    Expect("all.bmp", With(Bitmap(1, 1, 8, {1, 0, 0, 0}, grey), 46, ~0u));
    // Not "BM", two planes, 16 or 32 bits, compressed, no width or height, a width that would
    // overflow 32-bit sizes, the most negative height, an image size short of the rows or past
    // the end, pixel data past the end.
    const uint32_t changes[][3] = {{0, 0x4D41, 2},    {26, 2, 2}, {28, 16, 2}, {28, 32, 2},
                                   {30, 1, 4},        {18, 0, 4}, {22, 0, 4},  {18, 0x7FFFFFFF, 4},
                                   {22, 1u << 31, 4}, {34, 4, 4}, {34, 17, 4}, {10, 0xFFFFFFF0, 4}};
    for (const auto& c : changes)
        Expect("changed.bmp", With(good, c[0], c[1], int(c[2])));
    for (long length : {0, 13, 53, 69})
        Expect("cut.bmp", Bytes(good.begin(), good.begin() + length));
}

TEST_F(PictureFiles, OwnReadersStopAtTheWidestAndTallestPicture) {
    for (int side : {IMAGE_MAX_SIDE, IMAGE_MAX_SIDE + 1}) {
        for (int width : {side, 1}) {
            const int height = width == 1 ? side : 1;
            const bool fits = side == IMAGE_MAX_SIDE;
            Expect("long.tga", Targa(2, width, height, 24, 0, Bytes(3 * side, 7)),
                   fits ? Bytes(3 * side, 7) : Bytes(), width);
            Expect("long.bmp",
                   Bitmap(width, height, 8, Bytes(height * ((width + 3) / 4 * 4), 0), {7, 7, 7, 0}),
                   fits ? Bytes(side, 7) : Bytes(), width, PIXEL_LUMINANCE);
        }
    }
}

// Out of memory for the pixels, a load fails: a 24-bit bitmap for the own reader, and a 32-bit
// one whose copy in the platform loader's layout no longer fits.
TEST_F(PictureFiles, PicturesBeyondTheMemoryLeftFail) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator stops the program instead of failing";
#endif
    const std::string big = Write("big.bmp", Bitmap(8000, 8000, 24, {}));
    const std::string wide = Write("wide", Bitmap(4000, 4000, 32, {}));
    std::filesystem::resize_file(big, 54 + 24000ull * 8000);  // sparse: 192 MB of black
    std::filesystem::resize_file(wide, 54 + 64000000ull);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    const rlimit tight = {rlim_t(pages) * sysconf(_SC_PAGESIZE) + (100 << 20), limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);  // 100 MB more than in use
    platform::DecodedPicture picture;
    const bool loaded = image.extra->LoadBMP(big.c_str()) ||
                        platform::DecodeBitmapFile(wide.c_str(), LIMITS, picture);
    setrlimit(RLIMIT_AS, &limit);
    EXPECT_FALSE(loaded);
}

// A program without the window side, as the simulator is, reads our own formats alone.
TEST_F(PictureFiles, WithoutThePlatformLoadersOnlyOurOwnReadersRun) {
    SetPlatformImageReaders({});
    Expect("fruit.tga", Saved('p'));
    Expect("sixteen", Bitmap(1, 2, 16, {0x1F, 0, 0, 0, 0, 0x7C, 0, 0}));
    EXPECT_FALSE(image.extra->LoadBitmapFile(
        Write("plain", Bitmap(2, 1, 24, {1, 2, 3, 4, 5, 6, 0, 0})).c_str()));
    Expect("plain.tga", Targa(2, 2, 2, 24, 0, TWELVE), TWELVE);
}

// The own Targa and bitmap readers, and the platform decoders behind Image::Load: chosen by
// content, and handed only files whose header declares a picture the file could hold.
#include <SDL.h>
#include <SDL_image.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "framework/platform/gif_decoder.h"
#include "framework/platform/picture_loader.h"
#include "tests/framework/image_test_files.h"

namespace {

using platform::PictureFormat;
constexpr platform::PictureLimits LIMITS{IMAGE_MAX_BYTES, IMAGE_MAX_SIDE, IMAGE_MAX_FILE_BYTES};
const Bytes TWELVE = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A PNG signature and header chunk, padded with zeros to `size` bytes.
Bytes Png(uint32_t width, uint32_t height, size_t size, int depth = 8, int colour = 2) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b = With(b + Bytes(std::max<size_t>(size, 33) - 16, 0), 16, width, 4, true);
    return With(With(b, 20, height, 4, true), 24, depth << 8 | colour, 2, true);
}

// A JPEG start, a comment and a baseline frame header, padded to `size` bytes; every component
// has the given sampling factors.
Bytes Jpeg(int width, int height, size_t size, int components = 1, int sampling = 0x11) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xFE, 0, 4,
               'h',  'i',  0xFF, 0xC0, 0, uint8_t(8 + 3 * components),
               8,    0,    0,    0,    0, uint8_t(components)};
    for (int c = 1; c <= components; ++c)
        b = b + Bytes{uint8_t(c), uint8_t(sampling), 0};
    b = With(With(b, 13, height, 2, true), 15, width, 2, true);
    return b + Bytes(size > b.size() ? size - b.size() : 0, 0);
}

// A GIF of one frame with a two-colour table (red, white) after a graphic control extension.
Bytes Gif(uint32_t screenWidth, uint32_t screenHeight, uint32_t width, uint32_t height,
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
long PeakKb() {
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

}  // namespace

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

TEST_F(PictureFiles, PlatformDecodersTakeEveryAcceptedFormatUnderAnyName) {
    const Bytes gif = Gif(2, 1, 2, 1, RED_WHITE), second = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2};
    const std::tuple<const char*, Bytes, int, int> cases[] = {
        {"PNG", Saved('p'), 16, 8},
        {"JPEG", Saved('j'), 16, 8},
        {"32-bit bitmap", Saved('b'), 16, 8},
        {"GIF", gif, 2, 1},
        {"GIF of two frames",
         Bytes(gif.begin(), gif.end() - 1) + second + Bytes{2, 0x44, 1, 0, 0x3B}, 2, 1},
        {"core bitmap",
         Bitmap(2, 2, 24, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0}, {}, true), 2,
         2}};
    for (const auto& [what, bytes, width, height] : cases) {
        for (const char* name : {"fruit.tga", "fruit.Tga", "fruit"}) {
            ASSERT_TRUE(image.Load(Write(name, bytes).c_str())) << what << " as " << name;
            ASSERT_TRUE(image.GetWidth() == width && image.GetHeight() == height) << what;
            const uint8_t* red = image.Row(0);  // bottom left; top right is white
            const uint8_t* white = image.Row(height - 1) + 3 * (width - 1);
            EXPECT_TRUE(red[0] < 24 && red[1] < 24 && red[2] > 231 && white[0] > 231 &&
                        white[1] > 231 && white[2] > 231 && image.extra->format == PIXEL_BGR)
                << what;
        }
    }
    // Bitmap rows keep their 4-byte alignment as the row gap: 1 x 2 of 16 bits, which the own
    // reader refuses, blue then red.
    Expect("sixteen", Bitmap(1, 2, 16, {0x1F, 0, 0, 0, 0, 0x7C, 0, 0}),
           {255, 0, 0, 0, 0, 0, 255, 0}, 1);
    // Pictures are composed over white; a relative name is joined to the current folder, which
    // with it must fit in 260 characters.
    Write("fruit.png", Saved('p', 2, 1, 0));  // red, then transparent
    std::filesystem::current_path(folder);
    ASSERT_TRUE(image.Load("fruit.png"));
    EXPECT_EQ(Pixels(), (Bytes{0, 0, 255, 255, 255, 255, 0, 0}));
    EXPECT_FALSE(image.extra->LoadPicture(std::string(300, 'x').c_str()) || image.IsValid());
}

TEST_F(PictureFiles, HeadersDecideBeforeAnyDecoderRuns) {
    const Bytes gif = Gif(2, 1, 2, 1, RED_WHITE), lzw = {0x44, 1};
    // A 1 x 1 frame with a local table of four colours, whose bytes read as a frame's data
    // and an unknown block when the table is skipped short; then a frame too big for its data.
    const Bytes untrailed(gif.begin(), gif.end() - 1),
        localTable = Bytes{0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x81} +
                     Bytes{255, 0, 0, 7, 0, 0x55, 0, 0, 255, 255, 255, 255} +
                     Bytes{2, 2, 0x44, 1, 0},
        bigFrame = {0x2C, 0, 0, 0, 0, 0x40, 0x1F, 0x40, 0x1F, 0, 2, 2, 0x44, 1, 0};
    const std::tuple<const char*, Bytes, PictureFormat> cases[] = {
        {"GIF frame with a local colour table", untrailed + localTable + Bytes{0x3B},
         PictureFormat::GIF},
        {"GIF frame 8000 square after a local colour table",
         untrailed + localTable + bigFrame + Bytes{0x3B}, PictureFormat::NONE},
        {"GIF cut short in its data", Bytes(gif.begin(), gif.end() - 4), PictureFormat::GIF},
        {"run-length bitmap", With(Bitmap(10, 25, 8, {}), 30, 1), PictureFormat::BMP},
        {"PNG 16384 x 1", Png(16384, 1, 100), PictureFormat::PNG},
        // Over a side or over the byte cap.
        {"PNG 16385 wide", Png(16385, 1, 100), PictureFormat::NONE},
        // A block buffer of 125 MiB for one component at full resolution; just over the cap
        // for three.
        {"JPEG grey 16384 x 4000", Jpeg(16384, 4000, 130000), PictureFormat::JPEG},
        {"JPEG colour 16384 x 2728", Jpeg(16384, 2728, 90000, 3), PictureFormat::NONE},
        {"GIF huge logical screen", Gif(65535, 65535, 1, 1, lzw), PictureFormat::NONE},
        {"GIF screen 0 x 20000", Gif(0, 20000, 1, 1, lzw), PictureFormat::NONE},
        {"bitmap most negative height", Bitmap(1, INT32_MIN, 24, {}), PictureFormat::NONE},
        // Within the limits but more than the file could ever hold.
        {"PNG 4000 square in 5 KB", Png(4000, 4000, 5600), PictureFormat::NONE},
        {"JPEG 8000 square in 5 KB", Jpeg(8000, 8000, 5000), PictureFormat::NONE},
        {"GIF frame 8000 square from two bytes", Gif(1, 1, 8000, 8000, lzw), PictureFormat::NONE},
        {"bitmap rows past the end", Bitmap(2, 2, 24, {}), PictureFormat::NONE},
        {"run-length bitmap 1000 square in 54 bytes", With(Bitmap(1000, 1000, 8, {}), 30, 1),
         PictureFormat::NONE},
        // Broken or unknown.
        {"PNG depth 3", Png(1, 1, 40, 3), PictureFormat::NONE},
        {"JPEG zero tall", Jpeg(8, 0, 40), PictureFormat::NONE},
        {"JPEG sampling factor 0", Jpeg(8, 8, 40, 1, 0x01), PictureFormat::NONE},
        {"JPEG scan before a frame", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, PictureFormat::NONE},
        {"GIF frame zero wide", Gif(1, 1, 0, 1, lzw), PictureFormat::NONE},
        {"bitmap of 7 bits per pixel", Bitmap(1, 1, 7, {0, 0, 0, 0}), PictureFormat::NONE},
        {"bitmap JPEG-compressed", With(Bitmap(1, 1, 24, {0, 0, 0, 0}), 30, 4),
         PictureFormat::NONE},
        {"text", {'G', 'I', 'F', ' ', 'p', 'l', 'e', 'a', 's', 'e'}, PictureFormat::NONE},
    };
    for (const auto& [what, bytes, format] : cases) {
        EXPECT_EQ(platform::CheckPictureFile(Open(bytes).get(), LIMITS), format) << what;
        EXPECT_TRUE(format != PictureFormat::NONE || !image.Load(Write("x.tga", bytes).c_str()))
            << what;
    }
}

// What the decoders keep is left to the leak checker of the sanitizer run.
TEST_F(PictureFiles, DecodersTakeTheCallersLimits) {
    platform::DecodedPicture picture;
    const std::string png = Write("p.png", Saved('p')), bitmap = Write("b.tga", Saved('b'));
    EXPECT_FALSE(platform::DecodeBitmapFile(png.c_str(), LIMITS, picture));
    EXPECT_FALSE(platform::DecodePictureFile(
        png.c_str(), {16 * 3 * 8 - 1, 16384, IMAGE_MAX_FILE_BYTES}, picture));
    EXPECT_FALSE(
        platform::DecodePictureFile(png.c_str(), {1024, 15, IMAGE_MAX_FILE_BYTES}, picture));
    EXPECT_TRUE(
        platform::DecodePictureFile(png.c_str(), {16 * 3 * 8, 16, IMAGE_MAX_FILE_BYTES}, picture));
    EXPECT_TRUE(platform::DecodeBitmapFile(bitmap.c_str(), LIMITS, picture));
}

// GIF frames made by ImageMagick, our reference encoder and decoder, decode to the colours it
// gives for the first frame, with transparency over white.
TEST_F(PictureFiles, GifFramesMatchAReferenceDecoder) {
    if (std::system("convert -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::string gif = folder / "picture.tga", rgb = folder / "reference.rgb";
    for (const std::string make :
         {"-size 300x200 xc: +noise Random -colors 256",  // the code table fills
          "-size 64x53 xc:red -fill blue -draw 'rectangle 0,0 31,47' -transparent red -interlace "
          "GIF",
          "-size 1000x700 xc:white -fill black -draw 'circle 500,350 200 300'"}) {
        ASSERT_EQ(std::system(("convert " + make + " gif:'" + gif + "' && convert '" + gif +
                               "[0]' -background white -alpha remove -alpha off -depth 8 rgb:'" +
                               rgb + "'")
                                  .c_str()),
                  0);
        std::ifstream in(rgb, std::ios::binary);
        const Bytes expected{std::istreambuf_iterator<char>(in), {}};
        ASSERT_TRUE(image.Load(gif.c_str())) << make;
        Bytes rows;  // top row first, red first, as the reference
        for (int y = image.GetHeight() - 1; y >= 0; --y) {
            for (const uint8_t* p = image.Row(y); p < image.Row(y) + image.extra->rowBytes; p += 3)
                rows.insert(rows.end(), {p[2], p[1], p[0]});
        }
        EXPECT_TRUE(rows == expected) << make;
    }
}

// Broken data past a sound header fails in the decoder, and says nothing: a reader reports
// failure by its result only.
TEST_F(PictureFiles, BrokenDataFailsQuietly) {
    const Bytes png = Saved('p'), gif = Gif(2, 1, 2, 1, RED_WHITE);
    for (const Bytes& bytes : {Bytes(png.begin(), png.end() - 30),
                               With(png, png.size() - 20, png[png.size() - 20] ^ 0x55, 1),
                               Gif(2, 1, 2, 1, {0xC4, 0x0A}),  // indices 0 and 3 of two colours
                               Gif(2, 1, 2, 1, {0x7C, 0x0A}),  // code 7 before it is defined
                               Gif(3, 1, 3, 1, RED_WHITE)}) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        Expect("broken.tga", bytes);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(),
                  "");
    }
    // What the header check stops first, the GIF decoder refuses on its own too: a file cut in
    // its colour table, in the frame's descriptor, before its data.
    platform::DecodedPicture picture;
    for (long length : {16, 30, 38})
        EXPECT_FALSE(platform::DecodeGifFrame(Open(Bytes(gif.begin(), gif.begin() + length)).get(),
                                              LIMITS, picture));
}

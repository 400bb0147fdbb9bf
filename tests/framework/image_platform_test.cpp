// The platform decoders behind Image::Load: chosen by content, never by name, and handed only
// files whose header declares a picture within the limits and within reach of the file's size.
#include <SDL.h>
#include <SDL_image.h>
#include <malloc.h>

#include <climits>
#include <cstdlib>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/platform/gif_decoder.h"
#include "framework/platform/picture_loader.h"
#include "tests/framework/image_test_files.h"

namespace {

using platform::PictureFormat;

constexpr platform::PictureLimits LIMITS{IMAGE_MAX_BYTES, IMAGE_MAX_SIDE};

// A PNG signature and header chunk, padded with zeros to `size` bytes.
Bytes Png(uint32_t width, uint32_t height, size_t size, int depth = 8, int colour = 2) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(std::max<size_t>(size, 33));
    Put(b, 16, width, 4, true);
    Put(b, 20, height, 4, true);
    b[24] = static_cast<uint8_t>(depth);
    b[25] = static_cast<uint8_t>(colour);
    return b;
}

// A JPEG start, a comment and a baseline frame header, padded to `size` bytes; every component
// has the given sampling factors.
Bytes Jpeg(uint16_t width, uint16_t height, size_t size, int components = 1, int sampling = 0x11) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xFE, 0, 4, 'h', 'i', 0xFF, 0xC0, 0, 0, 8, 0, 0, 0, 0};
    b[11] = static_cast<uint8_t>(8 + 3 * components);
    Put(b, 13, height, 2, true);
    Put(b, 15, width, 2, true);
    b.push_back(static_cast<uint8_t>(components));
    for (int c = 1; c <= components; ++c) {
        b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(sampling), 0});
    }
    b.resize(std::max(size, b.size()));
    return b;
}

// A GIF of one frame with a two-colour table (red, white) and a graphic control extension.
Bytes Gif(int screenWidth, int screenHeight, int width, int height, const Bytes& lzw) {
    Bytes b = {'G',  'I',  'F', '8', '9', 'a', 0, 0, 0,    0, 0x80, 0, 0, 255, 0, 0, 255, 255, 255,
               0x21, 0xF9, 4,   0,   0,   0,   0, 0, 0x2C, 0, 0,    0, 0, 0,   0, 0, 0,   0,   2};
    Put(b, 6, screenWidth, 2);
    Put(b, 8, screenHeight, 2);
    Put(b, 32, width, 2);
    Put(b, 34, height, 2);
    return b + Bytes{uint8_t(lzw.size())} + lzw + Bytes{0, 0x3B};
}
// Codes clear, 0, 1, end at 3 bits: a red and a white pixel.
const Bytes RED_WHITE = {0x44, 0x0A};

class PlatformPictures : public TempFolderTest {
  protected:
    PictureFormat Check(const Bytes& bytes) {
        std::FILE* file = std::fopen(Write("header", bytes).c_str(), "rb");
        const PictureFormat format = platform::CheckPictureFile(file, LIMITS);
        std::fclose(file);
        return format;
    }
    // A 16 x 8 picture, red on the left half and white on the right, saved by `save`.
    Bytes Saved(int (*save)(SDL_Surface*, const char*)) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 8, 32, SDL_PIXELFORMAT_RGBA32);
        for (int i = 0; i < 16 * 8; ++i) {
            const uint8_t other = i % 16 < 8 ? 0 : 255;
            const uint8_t pixel[4] = {255, other, other, 255};
            std::copy(pixel, pixel + 4, static_cast<uint8_t*>(surface->pixels) + 4 * i);
        }
        EXPECT_EQ(save(surface, (folder / "saved").c_str()), 0);
        SDL_FreeSurface(surface);
        std::ifstream in(folder / "saved", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Image image;
};

int SavePng(SDL_Surface* surface, const char* path) {
    return IMG_SavePNG(surface, path);
}
int SaveJpeg(SDL_Surface* surface, const char* path) {
    return IMG_SaveJPG(surface, path, 100);
}
int SaveBitmap(SDL_Surface* surface, const char* path) {
    return SDL_SaveBMP(surface, path);
}

bool Near(const uint8_t* bgr, int blue, int green, int red) {
    return std::abs(bgr[0] - blue) < 24 && std::abs(bgr[1] - green) < 24 &&
           std::abs(bgr[2] - red) < 24;
}

}  // namespace

TEST_F(PlatformPictures, EveryAcceptedFormatLoadsUnderAnyName) {
    Bytes twoFrames = Gif(2, 1, 2, 1, RED_WHITE);  // then a larger frame, not taken
    twoFrames.pop_back();
    twoFrames = twoFrames + Bytes{0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    const struct {
        const char* what;
        Bytes bytes;
        int width, height;
    } cases[] = {
        {"PNG", Saved(SavePng), 16, 8},
        {"JPEG", Saved(SaveJpeg), 16, 8},
        {"GIF", Gif(2, 1, 2, 1, RED_WHITE), 2, 1},
        {"GIF of two frames", twoFrames, 2, 1},
        {"32-bit bitmap", Saved(SaveBitmap), 16, 8},
        {"core bitmap",
         Bitmap(2, 2, 24, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0}, {}, true), 2,
         2},
    };
    for (const auto& c : cases) {
        for (const char* name : {"fruit.tga", "fruit.Tga", "fruit"}) {
            SCOPED_TRACE(std::string(c.what) + " as " + name);
            ASSERT_TRUE(image.Load(Write(name, c.bytes).c_str()));
            ASSERT_EQ(image.GetWidth(), c.width);
            ASSERT_EQ(image.GetHeight(), c.height);
            EXPECT_EQ(image.extra->format, PIXEL_BGR);
            EXPECT_TRUE(Near(image.Row(0), 0, 0, 255));
            EXPECT_TRUE(Near(image.Row(c.height - 1) + 3 * (c.width - 1), 255, 255, 255));
        }
    }
}

TEST_F(PlatformPictures, HeadersDecideBeforeAnyDecoderRuns) {
    Bytes gifCut = Gif(2, 1, 2, 1, RED_WHITE);
    gifCut.resize(gifCut.size() - 4);
    const Bytes core = Bitmap(2, 3, 24, Bytes(24), {}, true);
    const struct {
        const char* what;
        Bytes bytes;
        PictureFormat expected;
    } cases[] = {
        // Plausible headers pass.
        {"PNG 16384 x 1", Png(16384, 1, 100), PictureFormat::PNG},
        {"PNG 1 x 1 palette", Png(1, 1, 40, 8, 3), PictureFormat::PNG},
        {"JPEG 8 x 8", Jpeg(8, 8, 40), PictureFormat::JPEG},
        {"GIF 2 x 1", Gif(2, 1, 2, 1, RED_WHITE), PictureFormat::GIF},
        {"GIF cut short in its data", gifCut, PictureFormat::GIF},
        {"bitmap 1 x 1 with its row", Bitmap(1, 1, 24, {1, 2, 3, 0}), PictureFormat::BMP},
        {"core bitmap 2 x 3 with its rows", core, PictureFormat::BMP},
        {"run-length bitmap", With(Bitmap(10, 25, 8, {}), 30, 1), PictureFormat::BMP},
        // Over a side or over the byte cap.
        {"PNG 16385 wide", Png(16385, 1, 100), PictureFormat::NONE},
        {"PNG 65535 square", Png(65535, 65535, 82), PictureFormat::NONE},
        {"PNG over the byte cap", Png(16384, 5462, 1 << 20), PictureFormat::NONE},
        {"PNG 2^31 - 1 tall", Png(1, 0x7FFFFFFF, 100), PictureFormat::NONE},
        {"JPEG 65535 square", Jpeg(65535, 65535, 1 << 20), PictureFormat::NONE},
        // A block buffer of 125 MiB for one component at full resolution, or just over the cap
        // for three.
        {"JPEG grey 16384 x 4000", Jpeg(16384, 4000, 130000), PictureFormat::JPEG},
        {"JPEG colour 16384 x 2728", Jpeg(16384, 2728, 90000, 3), PictureFormat::NONE},
        {"JPEG sampling factor 0", Jpeg(8, 8, 40, 1, 0x01), PictureFormat::NONE},
        {"GIF huge logical screen", Gif(65535, 65535, 1, 1, {0x44, 0x01}), PictureFormat::NONE},
        {"GIF screen 0 x 20000", Gif(0, 20000, 1, 1, {0x44, 0x01}), PictureFormat::NONE},
        {"GIF frame 65535 square", Gif(1, 1, 65535, 65535, {0x44, 0x01}), PictureFormat::NONE},
        {"bitmap 65535 square", Bitmap(65535, 65535, 24, {}), PictureFormat::NONE},
        {"bitmap most negative height", Bitmap(1, INT32_MIN, 24, {}), PictureFormat::NONE},
        {"core bitmap 65535 square", Bitmap(65535, 65535, 24, {}, {}, true), PictureFormat::NONE},
        {"run-length bitmap over the cap", With(Bitmap(16384, 16384, 8, {}), 30, 1),
         PictureFormat::NONE},
        // Within the limits but more than the file could ever hold.
        {"PNG 4000 square in 5 KB", Png(4000, 4000, 5600), PictureFormat::NONE},
        {"JPEG 8000 square in 5 KB", Jpeg(8000, 8000, 5000), PictureFormat::NONE},
        {"GIF frame 8000 square from two bytes", Gif(1, 1, 8000, 8000, {0x44, 0x01}),
         PictureFormat::NONE},
        {"bitmap rows past the end", Bitmap(2, 2, 24, {}), PictureFormat::NONE},
        {"core bitmap a byte short", Bytes(core.begin(), core.end() - 1), PictureFormat::NONE},
        {"run-length bitmap 1000 square in 54 bytes", With(Bitmap(1000, 1000, 8, {}), 30, 1),
         PictureFormat::NONE},
        // Broken or unknown.
        {"PNG zero wide", Png(0, 1, 40), PictureFormat::NONE},
        {"PNG depth 3", Png(1, 1, 40, 3), PictureFormat::NONE},
        {"JPEG zero tall", Jpeg(8, 0, 40), PictureFormat::NONE},
        {"JPEG scan before a frame", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, PictureFormat::NONE},
        {"GIF frame zero wide", Gif(1, 1, 0, 1, {0x44, 0x01}), PictureFormat::NONE},
        {"bitmap of 7 bits per pixel", Bitmap(1, 1, 7, {0, 0, 0, 0}), PictureFormat::NONE},
        {"bitmap JPEG-compressed", With(Bitmap(1, 1, 24, {0, 0, 0, 0}), 30, 4),
         PictureFormat::NONE},
        {"empty", {}, PictureFormat::NONE},
        {"text", {'G', 'I', 'F', ' ', 'p', 'l', 'e', 'a', 's', 'e'}, PictureFormat::NONE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Check(c.bytes), c.expected) << c.what;
        if (c.expected == PictureFormat::NONE) {
            EXPECT_FALSE(image.Load(Write("hostile.tga", c.bytes).c_str())) << c.what;
            EXPECT_EQ(image.extra->pixels, nullptr) << c.what;
        }
    }
}

TEST_F(PlatformPictures, BitmapLoaderTakesBitmapsOnlyAndLimitsComeFromTheCaller) {
    platform::DecodedPicture picture;
    ASSERT_TRUE(
        platform::DecodeBitmapFile(Write("b.tga", Saved(SaveBitmap)).c_str(), LIMITS, picture));
    ASSERT_EQ(picture.bgr.size(), 16u * 8 * 3);
    EXPECT_EQ(Bytes(&picture.bgr[21], &picture.bgr[27]), (Bytes{0, 0, 255, 255, 255, 255}));
    const std::string png = Write("p.png", Saved(SavePng));
    EXPECT_FALSE(platform::DecodeBitmapFile(png.c_str(), LIMITS, picture));
    EXPECT_FALSE(platform::DecodePictureFile(png.c_str(), {16 * 3 * 8 - 1, 16384}, picture));
    EXPECT_FALSE(platform::DecodePictureFile(png.c_str(), {1024, 15}, picture));
    EXPECT_TRUE(platform::DecodePictureFile(png.c_str(), {16 * 3 * 8, 16}, picture));
}

TEST_F(PlatformPictures, DecodingKeepsNoMemory) {
    const std::string bitmap = Write("b.bmp", Bitmap(256, 256, 32, Bytes(256 * 256 * 4)));
    platform::DecodedPicture picture;
    const auto decode = [&] {
        ASSERT_TRUE(platform::DecodeBitmapFile(bitmap.c_str(), LIMITS, picture));
        ASSERT_TRUE(platform::DecodePictureFile(bitmap.c_str(), LIMITS, picture));
    };
    decode();  // the first sets the library up
    const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    for (int i = 0; i < 3; ++i) {
        decode();
    }
    EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, before + 64 * 1024);
}

// GIF frames made by ImageMagick, our reference encoder and decoder, decode to the same
// colours as it gives for the first frame, with transparency over white.
TEST_F(PlatformPictures, GifFramesMatchAReferenceDecoder) {
    if (std::system("convert -version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick is not installed";
    }
    const struct {
        const char* make;
        int width, height;
    } cases[] = {
        // 256 colours of noise: codes grow to 12 bits and the table fills.
        {"-size 300x200 xc: +noise Random -colors 256", 300, 200},
        {"-size 37x53 xc: +noise Random -colors 64 -interlace GIF", 37, 53},
        {"-size 64x48 xc:red -fill blue -draw 'rectangle 0,0 31,47' -transparent red", 64, 48},
        {"-size 1000x700 xc:white -fill black -draw 'circle 500,350 200 300'", 1000, 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.make);
        const std::string gif = folder / "picture.tga";
        const std::string rgb = folder / "reference.rgb";
        ASSERT_EQ(std::system(("convert " + std::string(c.make) + " gif:'" + gif + "'").c_str()),
                  0);
        ASSERT_EQ(std::system(("convert '" + gif +
                               "[0]' -background white -alpha remove -alpha off -depth 8 rgb:'" +
                               rgb + "'")
                                  .c_str()),
                  0);
        std::ifstream in(rgb, std::ios::binary);
        const Bytes expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_TRUE(image.Load(gif.c_str()));
        ASSERT_EQ(image.GetWidth(), c.width);
        ASSERT_EQ(image.GetHeight(), c.height);
        Bytes rows;  // top row first, red first, as the reference
        for (int y = c.height - 1; y >= 0; --y) {
            for (const uint8_t* p = image.Row(y); p < image.Row(y) + 3 * c.width; p += 3) {
                rows.insert(rows.end(), {p[2], p[1], p[0]});
            }
        }
        EXPECT_TRUE(rows == expected);
    }
}

// Broken data past a sound header fails in the decoder, and says nothing: a reader reports
// failure by its result only.
TEST_F(PlatformPictures, BrokenDataFailsQuietly) {
    const Bytes png = Saved(SavePng);
    const Bytes gif = Gif(2, 1, 2, 1, RED_WHITE);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"PNG cut short", Bytes(png.begin(), png.end() - 30)},
        {"PNG with a damaged chunk", With(png, png.size() - 20, png[png.size() - 20] ^ 0x55, 1)},
        {"GIF colour index past the table", Gif(2, 1, 2, 1, {0xC4, 0x0A})},
        {"GIF code not yet defined", Gif(2, 1, 2, 1, {0x7C, 0x0A})},
        {"GIF with too few pixels", Gif(3, 1, 3, 1, RED_WHITE)},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(image.Load(Write("broken.tga", c.bytes).c_str())) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
        EXPECT_EQ(image.extra->pixels, nullptr) << c.what;
    }
    // What the header check stops first, the decoder refuses on its own too.
    for (size_t length : {16, 30, 38}) {
        std::FILE* file = std::fopen(
            Write("cut.gif", Bytes(gif.begin(), gif.begin() + long(length))).c_str(), "rb");
        platform::DecodedPicture picture;
        EXPECT_FALSE(platform::DecodeGifFrame(file, LIMITS, picture)) << length;
        std::fclose(file);
    }
}

// The platform decoders behind Image::Load: chosen by content, never by name, and handed only
// files whose header declares a picture within the limits and within reach of the file's size.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/platform/picture_loader.h"
#include "tests/framework/image_test_files.h"

namespace {

using platform::PictureFormat;

constexpr platform::PictureLimits LIMITS{IMAGE_MAX_BYTES, IMAGE_MAX_SIDE};

void PutBig32(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 24);
    b[at + 1] = static_cast<uint8_t>(v >> 16);
    b[at + 2] = static_cast<uint8_t>(v >> 8);
    b[at + 3] = static_cast<uint8_t>(v);
}

// A PNG signature and header chunk only, padded with zeros to `size` bytes.
Bytes PngHeader(uint32_t width, uint32_t height, size_t size, int depth = 8, int colour = 2) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33, 0);
    PutBig32(b, 16, width);
    PutBig32(b, 20, height);
    b[24] = static_cast<uint8_t>(depth);
    b[25] = static_cast<uint8_t>(colour);
    b.resize(std::max(size, b.size()), 0);
    return b;
}

// A JPEG start, a comment segment and a baseline frame header, padded to `size` bytes; each
// component has the given sampling factors.
Bytes JpegHeader(uint16_t width, uint16_t height, size_t size, int components = 1,
                 uint8_t sampling = 0x11) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xFE, 0, 4, 'h', 'i', 0xFF, 0xC0, 0};
    b.push_back(static_cast<uint8_t>(8 + 3 * components));
    b.push_back(8);
    b.push_back(static_cast<uint8_t>(height >> 8));
    b.push_back(static_cast<uint8_t>(height));
    b.push_back(static_cast<uint8_t>(width >> 8));
    b.push_back(static_cast<uint8_t>(width));
    b.push_back(static_cast<uint8_t>(components));
    for (int c = 1; c <= components; ++c) {
        b.insert(b.end(), {static_cast<uint8_t>(c), sampling, 0});
    }
    b.resize(std::max(size, b.size()), 0);
    return b;
}

// A GIF of one frame with a two-colour table (red, white), LZW data as given.
Bytes Gif(uint16_t screenWidth, uint16_t screenHeight, uint16_t width, uint16_t height,
          const Bytes& lzw) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 255, 0, 0, 255, 255, 255};
    Put16(b, 6, screenWidth);
    Put16(b, 8, screenHeight);
    b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // a graphic control extension
    b.insert(b.end(), {0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    Put16(b, b.size() - 6, width);
    Put16(b, b.size() - 4, height);
    b.push_back(static_cast<uint8_t>(lzw.size()));
    b.insert(b.end(), lzw.begin(), lzw.end());
    b.insert(b.end(), {0, 0x3B});
    return b;
}
// Codes clear, 0, 1, end at 3 bits: a red and a white pixel.
const Bytes RED_WHITE_LZW = {0x44, 0x0A};

// The header of a 24-bit bitmap with no pixel rows after it.
Bytes BitmapHeader(int32_t width, int32_t height, int bits = 24, uint32_t compression = 0) {
    Bytes b = Bitmap(BitmapSpec{});
    b.resize(54);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 28, static_cast<uint32_t>(bits));
    Put32(b, 30, compression);
    return b;
}

class PlatformPictures : public TempFolderTest {
  protected:
    PictureFormat Check(const Bytes& bytes) {
        const std::string path = Write("header", bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_NE(file, nullptr);
        const PictureFormat format = platform::CheckPictureFile(file, LIMITS);
        std::fclose(file);
        return format;
    }
    // Saves a 16 x 8 surface, opaque red on the left half and white on the right, in the
    // given way; returns its bytes.
    Bytes Saved(int (*save)(SDL_Surface*, const std::string&)) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 8, 32, SDL_PIXELFORMAT_RGBA32);
        EXPECT_NE(surface, nullptr);
        for (int y = 0; y < 8; ++y) {
            uint8_t* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
            for (int x = 0; x < 16; ++x) {
                const uint8_t pixel[4] = {255, x < 8 ? uint8_t{0} : uint8_t{255},
                                          x < 8 ? uint8_t{0} : uint8_t{255}, 255};
                std::memcpy(row + 4 * x, pixel, 4);
            }
        }
        const std::string path = (folder / "saved").string();
        EXPECT_EQ(save(surface, path), 0);
        SDL_FreeSurface(surface);
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Image image;
};

int SavePng(SDL_Surface* surface, const std::string& path) {
    return IMG_SavePNG(surface, path.c_str());
}
int SaveJpeg(SDL_Surface* surface, const std::string& path) {
    return IMG_SaveJPG(surface, path.c_str(), 100);
}
int SaveBitmap(SDL_Surface* surface, const std::string& path) {
    return SDL_SaveBMP(surface, path.c_str());
}

bool Near(const uint8_t* bgr, int blue, int green, int red) {
    return std::abs(bgr[0] - blue) < 24 && std::abs(bgr[1] - green) < 24 &&
           std::abs(bgr[2] - red) < 24;
}

}  // namespace

TEST_F(PlatformPictures, EveryAcceptedFormatLoadsUnderAnyName) {
    struct Case {
        const char* what;
        Bytes bytes;
        int width;
        int height;
    };
    const Case cases[] = {
        {"PNG", Saved(SavePng), 16, 8},
        {"JPEG", Saved(SaveJpeg), 16, 8},
        {"GIF", Gif(2, 1, 2, 1, RED_WHITE_LZW), 2, 1},
        {"32-bit bitmap", Saved(SaveBitmap), 16, 8},
    };
    for (const Case& c : cases) {
        for (const char* name : {"fruit.tga", "fruit.TGA", "fruit.Tga", "fruit", "fruit.png"}) {
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

TEST_F(PlatformPictures, OnlyTheFirstFrameOfAGifIsTaken) {
    Bytes bytes = Gif(2, 1, 2, 1, RED_WHITE_LZW);
    bytes.pop_back();  // the trailer; a second, larger frame follows
    const Bytes second = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    bytes.insert(bytes.end(), second.begin(), second.end());
    ASSERT_TRUE(image.Load(Write("two.gif", bytes).c_str()));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 1);
}

TEST_F(PlatformPictures, FooterlessTargaLoadsOnlyUnderAnExactExtension) {
    TargaSpec s;
    s.data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (const char* name : {"dot.tga", "dot.TGA"}) {
        EXPECT_TRUE(image.Load(Write(name, Targa(s)).c_str())) << name;
    }
    for (const char* name : {"dot.Tga", "dot.tGA", "dot.png", "dot"}) {
        EXPECT_FALSE(image.Load(Write(name, Targa(s)).c_str())) << name;
        EXPECT_FALSE(image.IsValid()) << name;
    }
    s.footer = true;
    EXPECT_TRUE(image.Load(Write("dot.Tga", Targa(s)).c_str()));
    // Targa has no signature to recognise: it is never handed to a platform decoder.
    EXPECT_EQ(Check(Targa(s)), PictureFormat::NONE);
}

TEST_F(PlatformPictures, HeadersDecideBeforeAnyDecoderRuns) {
    struct Case {
        const char* what;
        Bytes bytes;
        PictureFormat expected;
    };
    Bytes gifHugeScreen = Gif(65535, 65535, 1, 1, {0x44, 0x01});
    Bytes gifTruncatedFrame = Gif(2, 1, 2, 1, RED_WHITE_LZW);
    gifTruncatedFrame.resize(gifTruncatedFrame.size() - 4);
    Bytes bitmapCore = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0};
    bitmapCore.insert(bitmapCore.end(), {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0});
    const Case cases[] = {
        // Plausible headers pass.
        {"PNG 16384 x 1", PngHeader(16384, 1, 100), PictureFormat::PNG},
        {"PNG 1 x 1 palette", PngHeader(1, 1, 40, 8, 3), PictureFormat::PNG},
        {"JPEG 8 x 8", JpegHeader(8, 8, 40), PictureFormat::JPEG},
        {"GIF 2 x 1", Gif(2, 1, 2, 1, RED_WHITE_LZW), PictureFormat::GIF},
        {"GIF cut short in its data", gifTruncatedFrame, PictureFormat::GIF},
        {"bitmap 1 x 1 with its row", Bitmap(BitmapSpec{1, 1, 24, {{1, 2, 3, 0}}, {}, 0, 0}),
         PictureFormat::BMP},
        {"run-length bitmap", BitmapHeader(10, 25, 8, 1), PictureFormat::BMP},
        // Over a side or over the byte cap.
        {"PNG 16385 wide", PngHeader(16385, 1, 100), PictureFormat::NONE},
        {"PNG 65535 square", PngHeader(65535, 65535, 82), PictureFormat::NONE},
        {"PNG over the byte cap", PngHeader(16384, 5462, 1 << 20), PictureFormat::NONE},
        {"PNG 2^31 - 1 tall", PngHeader(1, 0x7FFFFFFF, 100), PictureFormat::NONE},
        {"JPEG 65535 square", JpegHeader(65535, 65535, 1 << 20), PictureFormat::NONE},
        // 16384 x 4000: 188 MiB of pixels, and a block buffer of 125 MiB for one component or
        // 375 MiB for three at full resolution.
        {"JPEG grey 16384 x 4000", JpegHeader(16384, 4000, 130000), PictureFormat::JPEG},
        {"JPEG colour 16384 x 4000, no subsampling", JpegHeader(16384, 4000, 130000, 3),
         PictureFormat::NONE},
        {"JPEG sampling factor 0", JpegHeader(8, 8, 40, 1, 0x01), PictureFormat::NONE},
        {"GIF huge logical screen", gifHugeScreen, PictureFormat::NONE},
        {"GIF frame 65535 square", Gif(1, 1, 65535, 65535, {0x44, 0x01}), PictureFormat::NONE},
        {"bitmap 65535 square", BitmapHeader(65535, 65535), PictureFormat::NONE},
        {"bitmap most negative height", BitmapHeader(1, INT32_MIN), PictureFormat::NONE},
        {"core bitmap 65535 square", bitmapCore, PictureFormat::NONE},
        {"run-length bitmap over the cap", BitmapHeader(16384, 16384, 8, 1), PictureFormat::NONE},
        // Within the limits but more than the file could ever hold.
        {"PNG 4000 square in 5 KB", PngHeader(4000, 4000, 5600), PictureFormat::NONE},
        {"JPEG 8000 square in 5 KB", JpegHeader(8000, 8000, 5000), PictureFormat::NONE},
        {"GIF frame 8000 square from two bytes", Gif(1, 1, 8000, 8000, {0x44, 0x01}),
         PictureFormat::NONE},
        {"bitmap rows past the end", BitmapHeader(2, 2), PictureFormat::NONE},
        {"run-length bitmap of 1000 square in 54 bytes", BitmapHeader(1000, 1000, 8, 1),
         PictureFormat::NONE},
        // Broken or unknown.
        {"PNG zero wide", PngHeader(0, 1, 40), PictureFormat::NONE},
        {"PNG depth 3", PngHeader(1, 1, 40, 3), PictureFormat::NONE},
        {"JPEG zero tall", JpegHeader(8, 0, 40), PictureFormat::NONE},
        {"JPEG scan before a frame", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, PictureFormat::NONE},
        {"GIF frame zero wide", Gif(1, 1, 0, 1, {0x44, 0x01}), PictureFormat::NONE},
        {"bitmap of 7 bits per pixel", BitmapHeader(1, 1, 7), PictureFormat::NONE},
        {"bitmap JPEG-compressed", BitmapHeader(1, 1, 24, 4), PictureFormat::NONE},
        {"empty", {}, PictureFormat::NONE},
        {"text", {'G', 'I', 'F', ' ', 'p', 'l', 'e', 'a', 's', 'e'}, PictureFormat::NONE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Check(c.bytes), c.expected) << c.what;
        if (c.expected == PictureFormat::NONE) {
            EXPECT_FALSE(image.Load(Write("hostile.tga", c.bytes).c_str())) << c.what;
            EXPECT_EQ(image.extra->pixels, nullptr) << c.what;
        }
    }
}

TEST_F(PlatformPictures, BitmapLoaderTakesBitmapsOnly) {
    platform::DecodedPicture picture;
    EXPECT_TRUE(
        platform::DecodeBitmapFile(Write("b.tga", Saved(SaveBitmap)).c_str(), LIMITS, picture));
    ASSERT_EQ(picture.bgr.size(), 16u * 8 * 3);
    EXPECT_EQ(Bytes(picture.bgr.begin() + 21, picture.bgr.begin() + 27),
              (Bytes{0, 0, 255, 255, 255, 255}));
    EXPECT_FALSE(
        platform::DecodeBitmapFile(Write("p.bmp", Saved(SavePng)).c_str(), LIMITS, picture));
    // The limits come from the caller.
    EXPECT_FALSE(platform::DecodePictureFile(Write("p.png", Saved(SavePng)).c_str(),
                                             platform::PictureLimits{16 * 3 * 8 - 1, 16384},
                                             picture));
    EXPECT_FALSE(platform::DecodePictureFile(Write("p.png", Saved(SavePng)).c_str(),
                                             platform::PictureLimits{1024, 15}, picture));
    EXPECT_TRUE(platform::DecodePictureFile(Write("p.png", Saved(SavePng)).c_str(),
                                            platform::PictureLimits{16 * 3 * 8, 16}, picture));
}

// GIF frames made by ImageMagick, our reference encoder and decoder, decode to the same
// colours as it gives for the first frame, with transparency over white.
TEST_F(PlatformPictures, GifFramesMatchAReferenceDecoder) {
    if (std::system("convert -version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick is not installed";
    }
    struct Case {
        const char* name;
        const char* make;
        int width;
        int height;
    };
    const Case cases[] = {
        // 256 colours of noise: codes grow to 12 bits and the table fills.
        {"noise", "-size 300x200 xc: +noise Random -colors 256", 300, 200},
        {"interlaced", "-size 37x53 xc: +noise Random -colors 64 -interlace GIF", 37, 53},
        {"transparent",
         "-size 64x48 xc:red -fill blue -draw 'rectangle 0,0 31,47' -transparent red", 64, 48},
        {"long runs", "-size 1000x700 xc:white -fill black -draw 'circle 500,350 200 300'", 1000,
         700},
        {"two frames", "-size 40x30 xc:yellow -size 40x30 xc:green", 40, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string gif = (folder / "picture.tga").string();
        const std::string rgb = (folder / "reference.rgb").string();
        const std::string make = std::string("convert ") + c.make + " gif:'" + gif + "'";
        ASSERT_EQ(std::system(make.c_str()), 0);
        const std::string reference = "convert '" + gif +
                                      "[0]' -background white -alpha remove -alpha off "
                                      "-depth 8 rgb:'" +
                                      rgb + "'";
        ASSERT_EQ(std::system(reference.c_str()), 0);
        std::ifstream in(rgb, std::ios::binary);
        const Bytes expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(expected.size(), static_cast<size_t>(c.width) * c.height * 3);

        ASSERT_TRUE(image.Load(gif.c_str()));
        ASSERT_EQ(image.GetWidth(), c.width);
        ASSERT_EQ(image.GetHeight(), c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            const uint8_t* row = image.Row(c.height - 1 - y);
            const uint8_t* want = expected.data() + static_cast<size_t>(y) * c.width * 3;
            for (int x = 0; x < c.width; ++x) {
                wrong += row[3 * x] != want[3 * x + 2] || row[3 * x + 1] != want[3 * x + 1] ||
                         row[3 * x + 2] != want[3 * x];
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Broken data past a sound header fails in the decoder, and says nothing: a reader reports
// failure by its result only.
TEST_F(PlatformPictures, BrokenDataFailsQuietly) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes png = Saved(SavePng);
    Bytes badCrc = png;
    badCrc[badCrc.size() - 20] ^= 0x55;              // inside the image data chunk
    Bytes gifIndex = Gif(2, 1, 2, 1, {0xC4, 0x0A});  // indices 0 and 3 of a 2-colour table
    Bytes gifCode = Gif(2, 1, 2, 1, {0x7C, 0x0A});   // code 7 before it is defined
    const Case cases[] = {
        {"PNG cut short", Bytes(png.begin(), png.begin() + static_cast<long>(png.size()) - 30)},
        {"PNG with a damaged chunk", badCrc},
        {"GIF colour index past the table", gifIndex},
        {"GIF code not yet defined", gifCode},
        {"GIF with too few pixels", Gif(3, 1, 3, 1, RED_WHITE_LZW)},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(image.Load(Write("broken.tga", c.bytes).c_str())) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
        EXPECT_EQ(image.extra->pixels, nullptr) << c.what;
    }
}

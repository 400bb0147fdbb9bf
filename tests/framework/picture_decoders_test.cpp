// The platform decoders behind Image::Load: chosen by content, under any name, and handed only
// files whose header declares a picture the file could hold.
#include <sys/resource.h>
#include <unistd.h>

#include "framework/platform/gif_decoder.h"
#include "tests/framework/picture_files.h"

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

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Image.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, int v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back((v >> (8 * i)) & 0xFF);
    }
}

Bytes TgaHeader(int type, int w, int h, int depth, int descriptor = 0, int mapType = 0) {
    Bytes b = {0, static_cast<uint8_t>(mapType), static_cast<uint8_t>(type), 0, 0, 0, 0, 0};
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, w);
    Put16(b, h);
    b.push_back(static_cast<uint8_t>(depth));
    b.push_back(static_cast<uint8_t>(descriptor));
    return b;
}

void AddFooter(Bytes& b) {
    Put32(b, 0);
    Put32(b, 0);
    const char sig[] = "TRUEVISION-XFILE.";
    b.insert(b.end(), sig, sig + 18);  // with its closing zero
}

// A 2 x 2 24-bit picture: bottom row blue, green; top row red, white.
Bytes Tga2x2(bool footer, int descriptor = 0) {
    Bytes b = TgaHeader(2, 2, 2, 24, descriptor);
    const uint8_t px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    b.insert(b.end(), px, px + 12);
    if (footer) {
        AddFooter(b);
    }
    return b;
}

Bytes Bmp(int bits, int w, int h, const Bytes& table, const Bytes& rows) {
    Bytes b = {'B', 'M'};
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, static_cast<uint32_t>(54 + table.size()));
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, bits == 8 ? static_cast<uint32_t>(table.size() / 4) : 0);
    Put32(b, 0);
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

class ImageFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("gulper-image-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return p.string();
    }
    fs::path dir;
};

TEST(ImageMemory, AllocateShapesRowsWithTheirGap) {
    Image image;
    EXPECT_TRUE(image.extra->Allocate(0, 5, PIXEL_RGB, 0));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.extra->Allocate(-1, 5, PIXEL_RGB, 0));
    ASSERT_TRUE(image.extra->Allocate(3, 2, PIXEL_BGR, 3));
    EXPECT_EQ(image.extra->rowBytes, 9u);
    EXPECT_EQ(image.extra->stride, 12u);
    EXPECT_EQ(image.extra->size, 24u);
    EXPECT_EQ(image.extra->capacity, 24u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.Row(1), image.Row(0) + 12);
    EXPECT_EQ(image.Row(2), nullptr);
    EXPECT_EQ(image.Row(-1), nullptr);
    image.Clear();
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.Row(0), nullptr);
    // Sizes that overflow or pass any sane bound are refused.
    EXPECT_FALSE(image.extra->Allocate(65535, 65535, PIXEL_BGRA, 0));
    EXPECT_FALSE(image.extra->Allocate(0x7FFFFFFF, 0x7FFFFFFF, PIXEL_RGBA, 0));
    EXPECT_EQ(image.extra->pixels, nullptr);
}

TEST(ImageMemory, ConvertKeepsOrRemovesTheGapAndCopiesKeepIt) {
    Image image;
    ASSERT_TRUE(image.extra->Allocate(3, 2, PIXEL_BGR, 3));
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 9; ++i) {
            image.Row(y)[i] = static_cast<uint8_t>(10 * y + i);
        }
    }
    EXPECT_TRUE(image.ConvertTo(PIXEL_BGR));
    EXPECT_EQ(image.extra->stride, 12u);
    Image copy(image);
    EXPECT_EQ(copy.extra->stride, 12u);
    EXPECT_EQ(std::memcmp(copy.Row(1), image.Row(1), 9), 0);
    ASSERT_TRUE(image.ConvertTo(PIXEL_RGB));
    EXPECT_EQ(image.extra->stride, 9u);
    EXPECT_EQ(image.Row(1)[0], 12);  // red came from the third byte
    EXPECT_EQ(image.Row(1)[2], 10);
    EXPECT_FALSE(image.ConvertTo(9));
}

uint8_t ToLuminance(uint8_t r, uint8_t g, uint8_t b) {
    Image image;
    image.extra->Allocate(1, 1, PIXEL_RGB, 0);
    image.Row(0)[0] = r, image.Row(0)[1] = g, image.Row(0)[2] = b;
    image.ConvertTo(PIXEL_LUMINANCE);
    return image.Row(0)[0];
}

TEST(ImageMemory, LuminanceWeighsGreenMost) {
    EXPECT_EQ(ToLuminance(255, 255, 255), 255);
    EXPECT_EQ(ToLuminance(0, 0, 0), 0);
    EXPECT_EQ(ToLuminance(255, 0, 0), 77);
    EXPECT_EQ(ToLuminance(0, 255, 0), 153);
    EXPECT_EQ(ToLuminance(0, 0, 255), 26);
}

TEST(ImageMemory, AlphaSpreadsIntoEveryChannel) {
    auto from = [](int target) {
        Image image;
        image.extra->Allocate(1, 1, PIXEL_ALPHA, 0);
        image.Row(0)[0] = 200;
        image.ConvertTo(target);
        return std::vector<uint8_t>(image.Row(0), image.Row(0) + image.BytesPerPixel());
    };
    EXPECT_EQ(from(PIXEL_RGBA), (std::vector<uint8_t>{200, 200, 200, 200}));
    EXPECT_EQ(from(PIXEL_LUMINANCE), (std::vector<uint8_t>{200}));
    EXPECT_EQ(from(PIXEL_LUMINANCE_ALPHA), (std::vector<uint8_t>{0, 200}));
    Image rgb;
    rgb.extra->Allocate(1, 1, PIXEL_RGB, 0);
    rgb.Row(0)[0] = 255, rgb.Row(0)[1] = 0, rgb.Row(0)[2] = 0;
    rgb.ConvertTo(PIXEL_BGRA);
    EXPECT_EQ(std::vector<uint8_t>(rgb.Row(0), rgb.Row(0) + 4),
              (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST(ImageMemory, FlipTwiceRestoresTheRows) {
    Image image;
    image.extra->Allocate(2, 3, PIXEL_LUMINANCE, 2);
    for (int y = 0; y < 3; ++y) {
        image.Row(y)[0] = image.Row(y)[1] = static_cast<uint8_t>(y);
    }
    image.FlipVertical();
    EXPECT_EQ(image.Row(0)[0], 2);
    EXPECT_EQ(image.Row(2)[1], 0);
    image.FlipVertical();
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(image.Row(y)[0], y);
    }
    Image one;
    one.extra->Allocate(2, 1, PIXEL_LUMINANCE, 0);
    one.Row(0)[0] = 9;
    one.FlipVertical();
    EXPECT_EQ(one.Row(0)[0], 9);
}

TEST_F(ImageFiles, TargaWithoutFooterNeedsTheExtension) {
    const Bytes plain = Tga2x2(false);
    Image image;
    EXPECT_TRUE(image.Load(Write("a.tga", plain).c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.Row(0)[0], 255);  // bottom-left blue
    EXPECT_TRUE(image.Load(Write("b.TGA", plain).c_str()));
    // The Targa reader wants the exact case (the platform's decoder may still take it).
    EXPECT_FALSE(image.extra->LoadTGA(Write("c.Tga", plain).c_str()));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.extra->LoadTGA(Write("d.pic", plain).c_str()));
    // A name of four characters never counts as ending in the extension.
    Write(".tga", plain);
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    EXPECT_FALSE(image.extra->LoadTGA(".tga"));
    EXPECT_TRUE(image.extra->LoadTGA("a.tga"));
    fs::current_path(old);
    // With the footer any name serves.
    const Bytes footed = Tga2x2(true);
    EXPECT_TRUE(image.extra->LoadTGA(Write("e.Tga", footed).c_str()));
    EXPECT_TRUE(image.extra->LoadTGA(Write("f.bin", footed).c_str()));
}

TEST_F(ImageFiles, TopDownTargaIsTurnedBottomUp) {
    Image image;
    ASSERT_TRUE(image.Load(Write("top.tga", Tga2x2(true, 0x20)).c_str()));
    // The first stored row (blue, green) is now the top row.
    EXPECT_EQ(image.Row(1)[0], 255);
    EXPECT_EQ(image.Row(0)[2], 255);  // red at the bottom left
}

// A run-length file long enough to have a footer's room, padded by an image ID.
Bytes RleHeader(int depth) {
    Bytes b = TgaHeader(10, 2, 2, depth);
    b[0] = 10;
    b.resize(b.size() + 10, 0);
    return b;
}

TEST_F(ImageFiles, RunLengthRunsFillThePictureExactly) {
    Image image;
    Bytes four = RleHeader(32);
    for (uint8_t v : {0x83, 1, 2, 3, 4}) {
        four.push_back(v);
    }
    ASSERT_TRUE(image.extra->LoadTGA(Write("four.tga", four).c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGRA);
    EXPECT_EQ(image.Row(1)[4 + 3], 4);
    Bytes three = RleHeader(24);
    for (uint8_t v : {0x82, 9, 9, 9}) {
        three.push_back(v);
    }
    EXPECT_FALSE(image.extra->LoadTGA(Write("three.tga", three).c_str()));
    Bytes five = RleHeader(24);
    for (uint8_t v : {0x84, 9, 9, 9}) {
        five.push_back(v);
    }
    EXPECT_FALSE(image.extra->LoadTGA(Write("five.tga", five).c_str()));
    // A literal run crossing the row end, then a repeated one.
    Bytes mixed = RleHeader(24);
    for (uint8_t v : {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0x80, 4, 4, 4}) {
        mixed.push_back(v);
    }
    ASSERT_TRUE(image.extra->LoadTGA(Write("mixed.tga", mixed).c_str()));
    EXPECT_EQ(image.Row(1)[0], 3);
    EXPECT_EQ(image.Row(1)[3], 4);
}

TEST_F(ImageFiles, OtherTargaKindsAreRefusedByTheTargaReader) {
    Image image;
    for (const Bytes& b :
         {TgaHeader(1, 2, 2, 24, 0, 1), TgaHeader(9, 2, 2, 24, 0, 1), TgaHeader(3, 2, 2, 8),
          TgaHeader(11, 2, 2, 8), TgaHeader(2, 2, 2, 16), TgaHeader(2, 0, 2, 24)}) {
        Bytes file = b;
        file.resize(file.size() + 64, 0);
        EXPECT_FALSE(image.extra->LoadTGA(Write("x.tga", file).c_str()));
    }
    Bytes truncated = Tga2x2(false);
    truncated.resize(truncated.size() - 2);
    EXPECT_FALSE(image.extra->LoadTGA(Write("short.tga", truncated).c_str()));
    EXPECT_FALSE(image.extra->LoadTGA(Write("tiny.tga", Bytes{1, 2, 3}).c_str()));
}

TEST_F(ImageFiles, EightBitBitmapsAreGreyOrColour) {
    Image image;
    const Bytes greyTable = {10, 10, 10, 0, 200, 200, 200, 0};
    const Bytes rows = {1, 0, 0, 0, 0, 1, 0, 0};  // 2 x 2, rows padded to 4
    ASSERT_TRUE(image.Load(Write("grey.bmp", Bmp(8, 2, 2, greyTable, rows)).c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_LUMINANCE);
    EXPECT_EQ(image.Row(0)[0], 200);
    EXPECT_EQ(image.Row(1)[1], 200);
    const Bytes colourTable = {10, 10, 10, 0, 0, 0, 255, 0};
    ASSERT_TRUE(image.Load(Write("colour.bmp", Bmp(8, 2, 2, colourTable, rows)).c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.Row(0)[2], 255);
    // A pixel naming an entry the table does not hold fails the load.
    const Bytes badRows = {7, 0, 0, 0, 0, 1, 0, 0};
    EXPECT_FALSE(image.extra->LoadBMP(Write("bad.bmp", Bmp(8, 2, 2, greyTable, badRows)).c_str()));
    EXPECT_FALSE(image.IsValid());
}

TEST_F(ImageFiles, TwentyFourBitBitmapRowsArePadded) {
    Image image;
    const Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0};  // width 1: 3 bytes and 1 of padding
    ASSERT_TRUE(image.extra->LoadBMP(Write("w1.bmp", Bmp(24, 1, 2, {}, rows)).c_str()));
    EXPECT_EQ(image.extra->rowBytes, 3u);
    EXPECT_EQ(image.Row(1)[0], 4);
    Bytes cut = Bmp(24, 1, 2, {}, rows);
    cut.resize(cut.size() - 3);
    EXPECT_FALSE(image.extra->LoadBMP(Write("cut.bmp", cut).c_str()));
    // The platform's own bitmap reader gives padded bottom-up rows.
    ASSERT_TRUE(image.extra->LoadBitmapFile((dir / "w1.bmp").string().c_str()));
    EXPECT_EQ(image.extra->stride, 4u);
    EXPECT_EQ(image.Row(0)[0], 1);
}

TEST_F(ImageFiles, MissingFileLeavesTheImageEmpty) {
    Image image;
    image.extra->Allocate(2, 2, PIXEL_RGB, 0);
    EXPECT_FALSE(image.Load((dir / "absent.tga").string().c_str()));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.Load(nullptr));
}

}  // namespace

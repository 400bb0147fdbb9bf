#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Image.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 3 x 2 blue-first picture with a 3-byte row gap; pixel (x, y) is (x, y, 10 * x + y),
// gap bytes 0xEE.
void MakeGappedBGR(Image& image) {
    ASSERT_TRUE(image.extra->Allocate(3, 2, PIXEL_BGR, 3));
    for (int y = 0; y < 2; ++y) {
        uint8_t* row = image.Row(y);
        for (int x = 0; x < 3; ++x) {
            row[3 * x] = static_cast<uint8_t>(x);
            row[3 * x + 1] = static_cast<uint8_t>(y);
            row[3 * x + 2] = static_cast<uint8_t>(10 * x + y);
        }
        std::memset(row + 9, 0xEE, 3);
    }
}

// A one-row picture of the given layout and bytes.
Image OneRow(int format, const Bytes& bytes) {
    Image image;
    const int width = static_cast<int>(bytes.size()) / PixelFormatBytes(format);
    EXPECT_TRUE(image.extra->Allocate(width, 1, format, 0));
    std::memcpy(image.Row(0), bytes.data(), bytes.size());
    return image;
}

Bytes RowBytes(const Image& image, int y) {
    const uint8_t* row = image.Row(y);
    return Bytes(row, row + image.extra->rowBytes);
}

void ExpectEmpty(const Image& image) {
    const ImageExtra& e = *image.extra;
    EXPECT_EQ(e.owner, &image);
    EXPECT_EQ(e.pixels, nullptr);
    EXPECT_EQ(e.format, 0);
    EXPECT_EQ(e.size, 0u);
    EXPECT_EQ(e.capacity, 0u);
    EXPECT_EQ(e.rowBytes, 0u);
    EXPECT_EQ(e.stride, 0u);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.Row(0), nullptr);
}

}  // namespace

TEST(ImageMemory, ZeroSizeIsEmptyAndNegativeOrOversizedFails) {
    Image image;
    ExpectEmpty(image);
    EXPECT_TRUE(image.extra->Allocate(0, 5, PIXEL_RGB, 0));
    ExpectEmpty(image);
    EXPECT_TRUE(image.extra->Allocate(5, 0, PIXEL_RGB, 0));
    ExpectEmpty(image);

    ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_RGB, 0));
    EXPECT_FALSE(image.extra->Allocate(-1, 5, PIXEL_RGB, 0));
    ExpectEmpty(image);
    EXPECT_FALSE(image.extra->Allocate(5, -1, PIXEL_RGB, 0));
    EXPECT_FALSE(image.extra->Allocate(2, 2, PIXEL_RGB, -1));
    EXPECT_FALSE(image.extra->Allocate(2, 2, 7, 0));
    // 65535 x 65535 four-byte pixels would be 16 GiB: refused, not wrapped round.
    EXPECT_FALSE(image.extra->Allocate(65535, 65535, PIXEL_BGRA, 0));
    ExpectEmpty(image);
    // Just over the bound is refused, the bound itself is not.
    EXPECT_FALSE(image.extra->Allocate(8192, 8193, PIXEL_BGRA, 0));
    EXPECT_TRUE(image.extra->Allocate(8192, 8192, PIXEL_BGRA, 0));
    EXPECT_EQ(image.extra->size, IMAGE_MAX_BYTES);
}

TEST(ImageMemory, RowGapLayoutAndRowBounds) {
    Image image;
    MakeGappedBGR(image);
    const ImageExtra& e = *image.extra;
    EXPECT_EQ(e.rowBytes, 9u);
    EXPECT_EQ(e.stride, 12u);
    EXPECT_EQ(e.size, 24u);
    EXPECT_EQ(e.capacity, 24u);
    EXPECT_EQ(image.BytesPerPixel(), 3);
    EXPECT_EQ(image.Row(0), e.pixels);
    EXPECT_EQ(image.Row(1), e.pixels + 12);
    EXPECT_EQ(image.Row(2), nullptr);
    EXPECT_EQ(image.Row(-1), nullptr);

    image.Clear();
    ExpectEmpty(image);
}

TEST(ImageMemory, CopiesAreIndependentAndKeepTheGap) {
    Image image;
    MakeGappedBGR(image);
    Image copy(image);
    EXPECT_NE(copy.extra->pixels, image.extra->pixels);
    EXPECT_EQ(copy.extra->owner, &copy);
    EXPECT_EQ(copy.extra->stride, 12u);
    EXPECT_EQ(std::memcmp(copy.extra->pixels, image.extra->pixels, 24), 0);
    copy.Row(0)[0] = 99;
    EXPECT_EQ(image.Row(0)[0], 0);

    copy = copy;  // copying onto itself keeps the pixels
    EXPECT_EQ(copy.Row(0)[0], 99);

    Image empty;
    EXPECT_TRUE(copy.CopyFrom(empty));
    ExpectEmpty(copy);
}

TEST(ImageConvert, SameLayoutKeepsTheGapOthersRemoveItUnknownChangesNothing) {
    Image image;
    MakeGappedBGR(image);
    const uint8_t* before = image.extra->pixels;
    EXPECT_FALSE(image.ConvertTo(7));
    EXPECT_FALSE(image.ConvertTo(-1));
    EXPECT_EQ(image.extra->pixels, before);
    EXPECT_TRUE(image.ConvertTo(PIXEL_BGR));
    EXPECT_EQ(image.extra->stride, 12u);
    EXPECT_EQ(image.Row(1)[9], 0xEE);

    EXPECT_TRUE(image.ConvertTo(PIXEL_RGB));
    EXPECT_EQ(image.extra->format, PIXEL_RGB);
    EXPECT_EQ(image.extra->rowBytes, 9u);
    EXPECT_EQ(image.extra->stride, 9u);
    EXPECT_EQ(image.extra->size, 18u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(RowBytes(image, 0), (Bytes{0, 0, 0, 10, 0, 1, 20, 0, 2}));
    EXPECT_EQ(RowBytes(image, 1), (Bytes{1, 1, 0, 11, 1, 1, 21, 1, 2}));
}

TEST(ImageConvert, LuminanceAndAlphaAreTakenSpreadOrMadeOpaque) {
    struct Case {
        int from;
        Bytes in;
        int to;
        Bytes out;
    };
    const Case cases[] = {
        // White, black, red, green, blue: weights 0.3, 0.6, 0.1.
        {PIXEL_RGB,
         {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255},
         PIXEL_LUMINANCE,
         {255, 0, 77, 153, 26}},
        {PIXEL_BGR, {255, 0, 0, 0, 0, 255}, PIXEL_LUMINANCE_ALPHA, {26, 255, 77, 255}},
        {PIXEL_ALPHA, {200}, PIXEL_RGBA, {200, 200, 200, 200}},
        {PIXEL_ALPHA, {200}, PIXEL_LUMINANCE, {200}},
        {PIXEL_ALPHA, {200}, PIXEL_LUMINANCE_ALPHA, {0, 200}},
        {PIXEL_ALPHA, {200}, PIXEL_BGR, {200, 200, 200}},
        {PIXEL_BGRA, {1, 2, 3, 40}, PIXEL_RGBA, {3, 2, 1, 40}},
        {PIXEL_BGRA, {1, 2, 3, 40}, PIXEL_ALPHA, {40}},
        // No alpha in the source: opaque, or its luminance where only alpha is kept.
        {PIXEL_RGB, {255, 0, 0}, PIXEL_BGRA, {0, 0, 255, 255}},
        {PIXEL_RGB, {255, 0, 0}, PIXEL_ALPHA, {77}},
        {PIXEL_LUMINANCE_ALPHA, {90, 30}, PIXEL_RGBA, {90, 90, 90, 30}},
        {PIXEL_LUMINANCE_ALPHA, {90, 30}, PIXEL_ALPHA, {30}},
        {PIXEL_LUMINANCE_ALPHA, {90, 30}, PIXEL_LUMINANCE, {90}},
        {PIXEL_LUMINANCE, {90}, PIXEL_LUMINANCE_ALPHA, {90, 255}},
        {PIXEL_LUMINANCE, {90}, PIXEL_ALPHA, {90}},
    };
    for (const Case& c : cases) {
        Image image = OneRow(c.from, c.in);
        ASSERT_TRUE(image.ConvertTo(c.to)) << c.from << " to " << c.to;
        EXPECT_EQ(RowBytes(image, 0), c.out) << c.from << " to " << c.to;
    }
}

TEST(ImageFlip, TurnsRowsOverAndTwiceRestoresThem) {
    Image image;
    ASSERT_TRUE(image.extra->Allocate(2, 3, PIXEL_LUMINANCE_ALPHA, 1));
    for (uint32_t i = 0; i < image.extra->size; ++i) {
        image.extra->pixels[i] = static_cast<uint8_t>(i);
    }
    const Image original(image);
    image.FlipVertical();
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(std::memcmp(image.Row(y), original.Row(2 - y), 5), 0) << "row " << y;
    }
    image.FlipVertical();
    EXPECT_EQ(std::memcmp(image.extra->pixels, original.extra->pixels, 15), 0);

    Image single = OneRow(PIXEL_RGB, {1, 2, 3, 4, 5, 6});
    single.FlipVertical();
    EXPECT_EQ(RowBytes(single, 0), (Bytes{1, 2, 3, 4, 5, 6}));
    Image empty;
    empty.FlipVertical();
    EXPECT_FALSE(empty.IsValid());
}

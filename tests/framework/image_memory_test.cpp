#include <gtest/gtest.h>

#include "framework/Image.h"
#include "tests/framework/image_test_files.h"

namespace {

Bytes Pixels(const Image& image) {
    return Bytes(image.extra->pixels, image.extra->pixels + image.extra->size);
}

// Every field of an empty image is zero but its owner.
void ExpectEmpty(const Image& image) {
    const ImageExtra& e = *image.extra;
    EXPECT_EQ(e.owner, &image);
    EXPECT_EQ(e.pixels, nullptr);
    EXPECT_EQ(e.format | e.width | e.height, 0);
    EXPECT_EQ(e.size | e.capacity | e.rowBytes | e.stride, 0u);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.Row(0), nullptr);
}

// 3 x 2 blue-first pixels and a 3-byte row gap; every byte holds its offset.
void FillGapped(Image& image) {
    ASSERT_TRUE(image.extra->Allocate(3, 2, PIXEL_BGR, 3));
    for (uint32_t i = 0; i < image.extra->size; ++i) {
        image.extra->pixels[i] = static_cast<uint8_t>(i);
    }
}

}  // namespace

TEST(ImageMemory, AllocateSizesThePictureOrLeavesItEmpty) {
    const struct {
        int width, height, format, gap;
        bool ok;
        uint32_t size;
    } cases[] = {
        {3, 2, PIXEL_BGR, 3, true, 24},
        {2, 2, PIXEL_BGRA, 0, true, 16},
        {8192, 8192, PIXEL_BGRA, 0, true, IMAGE_MAX_BYTES},
        {8192, 8193, PIXEL_BGRA, 0, false, 0},
        {65535, 65535, PIXEL_BGRA, 0, false, 0},  // 16 GiB: refused, not wrapped round
        {0, 5, PIXEL_RGB, 0, true, 0},
        {5, 0, PIXEL_RGB, 0, true, 0},
        {-1, 5, PIXEL_RGB, 0, false, 0},
        {5, -1, PIXEL_RGB, 0, false, 0},
        {2, 2, PIXEL_RGB, -1, false, 0},
        {2, 2, 7, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Image image;
        ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_RGB, 0));
        EXPECT_EQ(image.extra->Allocate(c.width, c.height, c.format, c.gap), c.ok);
        EXPECT_EQ(image.extra->size, c.size);
        if (c.size == 0) {
            ExpectEmpty(image);
        }
    }
}

TEST(ImageMemory, RowsAndCopiesKeepTheGapAndCopiesAreIndependent) {
    Image image;
    FillGapped(image);
    EXPECT_EQ(image.extra->rowBytes, 9u);
    EXPECT_EQ(image.extra->stride, 12u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.Row(1), image.extra->pixels + 12);
    EXPECT_EQ(image.Row(2), nullptr);
    EXPECT_EQ(image.Row(-1), nullptr);

    Image copy(image);
    EXPECT_NE(copy.extra->pixels, image.extra->pixels);
    EXPECT_EQ(copy.extra->owner, &copy);
    EXPECT_EQ(copy.extra->stride, 12u);
    EXPECT_EQ(Pixels(copy), Pixels(image));
    copy.Row(0)[0] = 99;
    EXPECT_EQ(image.Row(0)[0], 0);
    EXPECT_TRUE(copy.CopyFrom(copy));
    EXPECT_EQ(copy.Row(0)[0], 99);
    EXPECT_TRUE(copy.CopyFrom(Image()));
    ExpectEmpty(copy);
    image.Clear();
    ExpectEmpty(image);
}

TEST(ImageConvert, SameLayoutKeepsTheGapOthersDropItUnknownChangesNothing) {
    Image image;
    FillGapped(image);
    const Bytes before = Pixels(image);
    EXPECT_TRUE(image.ConvertTo(PIXEL_BGR));
    EXPECT_FALSE(image.ConvertTo(7));
    EXPECT_FALSE(image.ConvertTo(-1));
    EXPECT_EQ(Pixels(image), before);
    EXPECT_TRUE(image.ConvertTo(PIXEL_RGB));
    EXPECT_EQ(image.extra->format, PIXEL_RGB);
    EXPECT_EQ(image.extra->stride, 9u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(Pixels(image),
              (Bytes{2, 1, 0, 5, 4, 3, 8, 7, 6, 14, 13, 12, 17, 16, 15, 20, 19, 18}));
}

TEST(ImageConvert, LuminanceAndAlphaAreTakenSpreadOrMadeOpaque) {
    const struct {
        int from;
        Bytes in;
        int to;
        Bytes out;
    } cases[] = {
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
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(
            image.extra->Allocate(int(c.in.size()) / PixelFormatBytes(c.from), 1, c.from, 0));
        std::copy(c.in.begin(), c.in.end(), image.extra->pixels);
        ASSERT_TRUE(image.ConvertTo(c.to)) << c.from << " to " << c.to;
        EXPECT_EQ(Pixels(image), c.out) << c.from << " to " << c.to;
    }
}

TEST(ImageFlip, TurnsRowsOverAndTwiceRestoresThem) {
    Image image;
    FillGapped(image);
    const Bytes before = Pixels(image);
    image.FlipVertical();
    EXPECT_EQ(Pixels(image),
              Bytes(before.begin() + 12, before.end()) + Bytes(&before[0], &before[12]));
    image.FlipVertical();
    EXPECT_EQ(Pixels(image), before);
    image.Clear();
    image.FlipVertical();
    EXPECT_FALSE(image.IsValid());
}

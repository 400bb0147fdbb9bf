// Image memory and conversions: sizes, rows, copies, flips and layouts.
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
    EXPECT_TRUE(e.owner == &image && e.pixels == nullptr && !image.IsValid());
    EXPECT_EQ(e.format | e.width | e.height | int(e.size | e.capacity | e.rowBytes | e.stride), 0);
}

// 3 x 2 blue-first pixels and a 3-byte row gap; every byte holds its offset.
void FillGapped(Image& image) {
    ASSERT_TRUE(image.extra->Allocate(3, 2, PIXEL_BGR, 3));
    for (uint32_t i = 0; i < image.extra->size; ++i)
        image.extra->pixels[i] = static_cast<uint8_t>(i);
}

}  // namespace

TEST(ImageMemory, AllocateSizesThePictureOrLeavesItEmpty) {
    // Width, height, layout, row gap, then the size, or -1 when refused; 16 GiB is refused, not
    // wrapped round.
    const int cases[][5] = {{3, 2, PIXEL_BGR, 3, 24},
                            {2, 2, PIXEL_BGRA, 0, 16},
                            {0, 5, PIXEL_RGB, 0, 0},
                            {5, 0, PIXEL_RGB, 0, 0},
                            {8192, 8192, PIXEL_BGRA, 0, 8192 * 8192 * 4},
                            {8192, 8193, PIXEL_BGRA, 0, -1},
                            {65535, 65535, PIXEL_BGRA, 0, -1},
                            {-1, 5, PIXEL_RGB, 0, -1},
                            {5, -1, PIXEL_RGB, 0, -1},
                            {2, 2, PIXEL_RGB, -1, -1},
                            {2, 2, 7, 0, -1}};
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(image.extra->Allocate(2, 2, PIXEL_RGB, 0));
        EXPECT_EQ(image.extra->Allocate(c[0], c[1], c[2], c[3]), c[4] >= 0)
            << c[0] << " x " << c[1];
        if (c[4] > 0)
            EXPECT_EQ(image.extra->size, uint32_t(c[4]));
        else
            ExpectEmpty(image);
    }
}

TEST(ImageMemory, RowsCopiesAndFlipsKeepTheGap) {
    Image image;
    FillGapped(image);
    EXPECT_TRUE(image.IsValid() && image.extra->rowBytes == 9 &&
                image.Row(1) == &image.extra->pixels[12]);
    EXPECT_TRUE(image.Row(2) == nullptr && image.Row(-1) == nullptr);
    const Bytes before = Pixels(image);
    Image copy(image);
    EXPECT_TRUE(copy.extra->owner == &copy && copy.extra->pixels != image.extra->pixels);
    EXPECT_EQ(Pixels(copy), before);
    copy.FlipVertical();  // the copy's own pixels only
    EXPECT_EQ(Pixels(copy), Bytes(&before[12], &before[24]) + Bytes(&before[0], &before[12]));
    EXPECT_EQ(Pixels(image), before);
    EXPECT_TRUE(copy.CopyFrom(copy));
    EXPECT_EQ(copy.Row(0)[0], 12);
    EXPECT_TRUE(copy.CopyFrom(Image()));
    ExpectEmpty(copy);
    copy.FlipVertical();
    image.Clear();
    ExpectEmpty(image);
}

TEST(ImageConvert, LayoutsConvertByLuminanceAlphaOrOpacity) {
    Image image;
    FillGapped(image);
    const Bytes before = Pixels(image);
    EXPECT_TRUE(image.ConvertTo(PIXEL_BGR));  // the same layout keeps the gap
    EXPECT_FALSE(image.ConvertTo(7));
    EXPECT_EQ(Pixels(image), before);
    EXPECT_TRUE(image.ConvertTo(PIXEL_RGB) && image.IsValid());
    EXPECT_EQ(Pixels(image),
              (Bytes{2, 1, 0, 5, 4, 3, 8, 7, 6, 14, 13, 12, 17, 16, 15, 20, 19, 18}));
    const std::tuple<int, Bytes, int, Bytes> cases[] = {
        // Red, green, blue: weights 0.3, 0.6, 0.1; without alpha, opaque or the luminance.
        {PIXEL_RGB, {255, 0, 0, 0, 255, 0, 0, 0, 255}, PIXEL_LUMINANCE, {77, 153, 26}},
        {PIXEL_BGR, {255, 0, 0, 0, 0, 255}, PIXEL_LUMINANCE_ALPHA, {26, 255, 77, 255}},
        {PIXEL_ALPHA, {200}, PIXEL_LUMINANCE_ALPHA, {0, 200}},
        {PIXEL_ALPHA, {200}, PIXEL_BGR, {200, 200, 200}},
        {PIXEL_BGRA, {1, 2, 3, 40}, PIXEL_RGBA, {3, 2, 1, 40}},
        {PIXEL_RGB, {255, 0, 0}, PIXEL_BGRA, {0, 0, 255, 255}},
        {PIXEL_RGB, {255, 0, 0}, PIXEL_ALPHA, {77}},
        {PIXEL_LUMINANCE_ALPHA, {90, 30}, PIXEL_RGBA, {90, 90, 90, 30}},
    };
    for (const auto& [from, in, to, out] : cases) {
        ASSERT_TRUE(image.extra->Allocate(int(in.size()) / PixelFormatBytes(from), 1, from, 0));
        std::copy(in.begin(), in.end(), image.extra->pixels);
        EXPECT_TRUE(image.ConvertTo(to) && Pixels(image) == out) << from << " to " << to;
    }
}

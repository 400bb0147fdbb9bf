#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

#include <gtest/gtest.h>

#include "framework/Image.h"
#include "tests/framework/image_test_files.h"

namespace {

Bytes RowOf(const Image& image, int y) {
    const uint8_t* row = image.Row(y);
    return Bytes(row, row + image.extra->rowBytes);
}

// 2 x 2, 24 bits, stored bottom row first: blue-first pixel values 1..12.
TargaSpec PlainTarga(bool footer = false) {
    TargaSpec s;
    s.data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    s.footer = footer;
    return s;
}

class Reader : public TempFolderTest {
  protected:
    bool LoadTGA(const std::string& name, const TargaSpec& spec) {
        return image.extra->LoadTGA(Write(name, Targa(spec)).c_str());
    }
    bool LoadBMP(const BitmapSpec& spec) { return LoadBMP(Bitmap(spec)); }
    bool LoadBMP(const Bytes& bytes) {
        return image.extra->LoadBMP(Write("picture.bmp", bytes).c_str());
    }
    Image image;
};
using TargaReader = Reader;
using BitmapReader = Reader;

}  // namespace

TEST_F(TargaReader, PicturesLoadAsStoredTopDownRowsTurnedOverAlphaKept) {
    ASSERT_TRUE(LoadTGA("dot.tga", PlainTarga()));
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{7, 8, 9, 10, 11, 12}));

    TargaSpec s = PlainTarga();
    s.descriptor = 0x20 | 0x08;  // the other bits are ignored
    ASSERT_TRUE(LoadTGA("top.tga", s));
    EXPECT_EQ(RowOf(image, 1), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RowOf(image, 0), (Bytes{7, 8, 9, 10, 11, 12}));

    // Thirty-two bits keep their alpha; the image id is skipped.
    s = TargaSpec();
    s.width = 1;
    s.height = 2;
    s.depth = 32;
    s.imageId = {'i', 'd', '!'};
    s.data = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(LoadTGA("ghost.tga", s));
    EXPECT_EQ(image.extra->format, PIXEL_BGRA);
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{5, 6, 7, 8}));
}

TEST_F(TargaReader, NameOrFooterDecides) {
    const struct {
        const char* name;
        bool footer, loads;
    } cases[] = {
        {"a.tga", false, true},  {"b.TGA", false, true}, {"c.Tga", false, false},
        {"d.png", false, false}, {"e", false, false},    {"f.tga", true, true},
        {"g.Tga", true, true},   {"h.dat", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadTGA(c.name, PlainTarga(c.footer)), c.loads) << c.name;
        EXPECT_EQ(image.IsValid(), c.loads) << c.name;
    }
    EXPECT_EQ(RowOf(image, 1), (Bytes{7, 8, 9, 10, 11, 12}));

    // 21 bytes in all: no room for a footer, yet the name is enough.
    TargaSpec small;
    small.width = 1;
    small.height = 1;
    small.data = {9, 8, 7};
    ASSERT_TRUE(LoadTGA("one.tga", small));
    EXPECT_EQ(RowOf(image, 0), (Bytes{9, 8, 7}));
    EXPECT_FALSE(LoadTGA("one.dat", small));

    // A four-character name never has the extension; with a folder in front it does.
    EXPECT_TRUE(image.extra->LoadTGA(Write(".tga", Targa(PlainTarga())).c_str()));
    std::filesystem::current_path(folder);
    EXPECT_FALSE(image.extra->LoadTGA(".tga"));
    EXPECT_FALSE(image.extra->LoadTGA(".TGA"));
    Write("x.tg", Targa(PlainTarga(true)));
    EXPECT_TRUE(image.extra->LoadTGA("x.tg"));
}

TEST_F(TargaReader, RunsFillThePictureAcrossRows) {
    TargaSpec s;
    s.type = 10;
    s.data = {0x83, 1, 2, 3};  // one repeated run of 4
    ASSERT_TRUE(LoadTGA("four.tga", s));
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{1, 2, 3, 1, 2, 3}));

    s.data = {0x00, 1, 2, 3, 0x81, 4, 5, 6, 0x00, 7, 8, 9};  // literal, repeated, literal
    ASSERT_TRUE(LoadTGA("mixed.tga", s));
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{4, 5, 6, 7, 8, 9}));

    const Bytes broken[] = {
        {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9},  // only 3 pixels
        {0x84, 1, 2, 3},                    // a run of 5 into 4 pixels
        {0x04, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3},
        {0x03, 1, 2, 3, 4, 5, 6},  // a literal run cut short by the end of the file
        {0x83, 1},                 // a repeated run without its whole pixel
    };
    for (const Bytes& data : broken) {
        s.data = data;
        EXPECT_FALSE(LoadTGA("broken.tga", s)) << data.size();
        EXPECT_FALSE(image.IsValid());
    }

    // At best a packet holds 128 pixels: a file as small as that still loads, with or
    // without its footer, and one byte less is refused before the picture is made.
    s.width = 16;
    s.height = 16;
    s.data = {0xFF, 9, 8, 7, 0xFF, 6, 5, 4};
    for (bool footer : {false, true}) {
        s.footer = footer;
        ASSERT_TRUE(LoadTGA("tightest.tga", s)) << footer;
        EXPECT_EQ(image.Row(0)[0], 9);
        EXPECT_EQ(image.Row(15)[0], 6);
    }
    s.footer = false;
    s.data.pop_back();
    EXPECT_FALSE(LoadTGA("tightest-less-one.tga", s));
}

TEST_F(TargaReader, RefusedKindsTruncatedOrHugeFilesFailCleanly) {
    // Type, colour map type, depth, width, height: mapped, grey, 16 bits, map flag, no size.
    const int refused[][5] = {{1, 1, 24, 2, 2},  {9, 1, 24, 2, 2}, {3, 0, 24, 2, 2},
                              {11, 0, 24, 2, 2}, {2, 0, 16, 2, 2}, {2, 1, 24, 2, 2},
                              {2, 0, 24, 0, 2},  {2, 0, 24, 2, 0}};
    for (const auto& kind : refused) {
        TargaSpec s = PlainTarga();
        s.type = kind[0];
        s.colourMapType = kind[1];
        s.depth = kind[2];
        s.width = kind[3];
        s.height = kind[4];
        s.data.resize(16);
        ASSERT_TRUE(image.extra->Allocate(1, 1, PIXEL_RGB, 0));
        EXPECT_FALSE(LoadTGA("refused.tga", s)) << &kind - refused;
        EXPECT_FALSE(image.IsValid()) << &kind - refused;
        EXPECT_EQ(image.extra->pixels, nullptr);
    }
    const Bytes whole = Targa(PlainTarga());
    for (size_t length : {size_t{0}, size_t{10}, size_t{17}, size_t{18}, whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_FALSE(image.extra->LoadTGA(Write("cut.tga", cut).c_str())) << length;
        EXPECT_FALSE(image.IsValid());
    }
    TargaSpec huge = PlainTarga();
    huge.width = 65535;
    huge.height = 65535;
    huge.depth = 32;
    EXPECT_FALSE(LoadTGA("huge.tga", huge));
    EXPECT_FALSE(image.extra->LoadTGA(nullptr));
    EXPECT_FALSE(image.extra->LoadTGA((folder / "absent.tga").c_str()));
}

TEST_F(BitmapReader, TwentyFourBitsBottomUpAndWidthOneRows) {
    BitmapSpec s;
    s.width = 1;
    s.height = 2;
    s.rows = {{1, 2, 3, 0xAA}, {4, 5, 6, 0xBB}};  // file rows of 4 bytes
    ASSERT_TRUE(LoadBMP(s));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.extra->rowBytes, 3u);
    EXPECT_EQ(image.extra->stride, 3u);
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{4, 5, 6}));

    s.height = -2;  // top-down
    ASSERT_TRUE(LoadBMP(s));
    EXPECT_EQ(RowOf(image, 0), (Bytes{4, 5, 6}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{1, 2, 3}));
}

TEST_F(BitmapReader, EightBitsGreyOrColouredAndBrokenTablesFail) {
    BitmapSpec s;
    s.bits = 8;
    s.width = 2;
    s.height = 1;
    s.table = {{0, 0, 0, 0}, {80, 80, 80, 0}, {200, 200, 200, 0}};
    s.rows = {{2, 1, 0, 0}};
    ASSERT_TRUE(LoadBMP(s));
    EXPECT_EQ(image.extra->format, PIXEL_LUMINANCE);
    EXPECT_EQ(RowOf(image, 0), (Bytes{200, 80}));

    s.table[0] = {10, 20, 30, 0};  // one coloured entry, not even used
    s.rows = {{1, 0, 0, 0}};
    ASSERT_TRUE(LoadBMP(s));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(RowOf(image, 0), (Bytes{80, 80, 80, 10, 20, 30}));

    s.width = 1;
    s.table = {{0, 0, 0, 0}, {9, 9, 9, 0}};
    s.rows = {{2, 0, 0, 0}};  // points past the two colours read
    EXPECT_FALSE(LoadBMP(s));
    EXPECT_FALSE(image.IsValid());
    s.rows = {{1, 0, 0, 0}};
    for (uint32_t used : {257u, 0xFFFFFFFFu}) {  // more colours than an 8-bit pixel can name
        s.coloursUsed = used;
        EXPECT_FALSE(LoadBMP(s)) << used;
    }
    s.coloursUsed = 0;
    ASSERT_TRUE(LoadBMP(s));
    EXPECT_EQ(RowOf(image, 0), (Bytes{9}));
}

TEST_F(BitmapReader, RefusedOrTruncatedFilesFailCleanly) {
    BitmapSpec good;
    good.width = 2;
    good.height = 2;
    good.rows = {{1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}};
    const Bytes whole = Bitmap(good);
    ASSERT_TRUE(LoadBMP(whole));
    for (size_t length : {size_t{0}, size_t{13}, size_t{53}, whole.size() - 1}) {
        EXPECT_FALSE(LoadBMP(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))))
            << length;
        EXPECT_FALSE(image.IsValid());
    }
    struct Change {
        size_t at;
        uint32_t value;
        bool wide;
    };
    const Change changes[] = {
        {0, 0x4D41, false},      // not "BM"
        {26, 2, false},          // planes
        {28, 16, false},         // bits per pixel
        {28, 32, false},         //
        {30, 1, true},           // compression
        {18, 0, true},           // width
        {22, 0, true},           // height
        {18, 0x7FFFFFFF, true},  // a width that would overflow 32-bit sizes
        {22, 0x80000000, true},  // the most negative height
        {34, 4, true},           // image size not covering the rows
        {34, 17, true},          // image size past the end of the file
        {10, 0xFFFFFFF0, true},  // pixel data past the end of the file
    };
    for (const Change& c : changes) {
        Bytes bytes = whole;
        c.wide ? Put32(bytes, c.at, c.value) : Put16(bytes, c.at, c.value);
        EXPECT_FALSE(LoadBMP(bytes)) << c.at;
        EXPECT_FALSE(image.IsValid()) << c.at;
    }
    Bytes exact = whole;
    Put32(exact, 34, 16);  // image size naming exactly the rows in the file
    EXPECT_TRUE(LoadBMP(exact));
}

TEST_F(Reader, OwnReadersStopAtTheWidestAndTallestPicture) {
    for (int side : {IMAGE_MAX_SIDE, IMAGE_MAX_SIDE + 1}) {
        const bool fits = side == IMAGE_MAX_SIDE;
        for (bool wide : {true, false}) {
            SCOPED_TRACE(std::to_string(side) + (wide ? " wide" : " tall"));
            TargaSpec targa = PlainTarga();
            targa.width = wide ? side : 1;
            targa.height = wide ? 1 : side;
            targa.data.assign(static_cast<size_t>(side) * 3, 7);
            EXPECT_EQ(LoadTGA("long.tga", targa), fits);
            BitmapSpec bitmap;
            bitmap.width = targa.width;
            bitmap.height = targa.height;
            bitmap.bits = 8;
            bitmap.table = {{7, 7, 7, 0}};
            bitmap.rows.assign(wide ? 1 : side, Bytes(wide ? (side + 3) / 4 * 4 : 4, 0));
            EXPECT_EQ(LoadBMP(bitmap), fits);
        }
    }
}

TEST_F(Reader, LoadTriesEveryReaderAndEmptiesOnFailure) {
    ASSERT_TRUE(image.Load(Write("dot.tga", Targa(PlainTarga())).c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(RowOf(image, 1), (Bytes{7, 8, 9, 10, 11, 12}));

    BitmapSpec bitmap;
    bitmap.rows = {{1, 2, 3, 0}};
    ASSERT_TRUE(image.Load(Write("dot.bmp", Bitmap(bitmap)).c_str()));
    EXPECT_EQ(RowOf(image, 0), (Bytes{1, 2, 3}));

    EXPECT_FALSE(image.Load((folder / "missing.tga").c_str()));
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.extra->pixels, nullptr);
    EXPECT_FALSE(image.Load(Write("noise.txt", {'n', 'o', 't', ' ', 'a', 'n', 'y'}).c_str()));
    EXPECT_FALSE(image.IsValid());
}

TEST_F(Reader, PlatformBitmapLoaderKeepsTheRowAlignment) {
    // A 1 x 2 bitmap of 16 bits, which the framework's own reader refuses.
    Bytes bytes = Bitmap(BitmapSpec{});
    Put16(bytes, 28, 16);
    bytes.resize(54);
    const Bytes rows = {0x1F, 0x00, 0, 0, 0x00, 0x7C, 0, 0};  // blue, then red (5-5-5)
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    Put32(bytes, 22, 2);
    const std::string path = Write("sixteen.bmp", bytes);
    ASSERT_FALSE(image.extra->LoadBMP(path.c_str()));
    ASSERT_TRUE(image.extra->LoadBitmapFile(path.c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.extra->rowBytes, 3u);
    EXPECT_EQ(image.extra->stride, 4u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(RowOf(image, 0), (Bytes{255, 0, 0}));
    EXPECT_EQ(RowOf(image, 1), (Bytes{0, 0, 255}));
    EXPECT_FALSE(image.extra->LoadBitmapFile((folder / "missing.bmp").c_str()));
    EXPECT_FALSE(image.IsValid());
}

TEST_F(Reader, PlatformPictureLoaderComposesOverWhite) {
    // A 2 x 1 picture: opaque red, then fully transparent, written as PNG.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    const uint8_t pixels[8] = {255, 0, 0, 255, 0, 0, 0, 0};
    std::memcpy(surface->pixels, pixels, sizeof pixels);
    const std::string path = (folder / "fruit.png").string();
    ASSERT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
    SDL_FreeSurface(surface);

    ASSERT_TRUE(image.Load(path.c_str()));
    EXPECT_EQ(image.extra->format, PIXEL_BGR);
    EXPECT_EQ(image.extra->stride, 8u);
    EXPECT_EQ(RowOf(image, 0), (Bytes{0, 0, 255, 255, 255, 255}));

    // A relative name is joined to the current directory; over 260 characters is refused.
    std::filesystem::current_path(folder);
    ASSERT_TRUE(image.extra->LoadPicture("fruit.png"));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_FALSE(image.extra->LoadPicture(std::string(300, 'x').c_str()));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.extra->LoadPicture(nullptr));
}

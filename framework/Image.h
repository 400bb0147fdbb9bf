#pragma once

#include <cstdint>

// Pixel layouts, 8 bits a channel.
enum : int32_t {
    PIXEL_RGB = 0,
    PIXEL_RGBA = 1,
    PIXEL_BGR = 2,
    PIXEL_BGRA = 3,
    PIXEL_LUMINANCE = 4,
    PIXEL_LUMINANCE_ALPHA = 5,
    PIXEL_ALPHA = 6,
};

// Largest picture a reader accepts: anything bigger is a damaged or hostile file.
constexpr uint64_t MAX_IMAGE_BYTES = 256ull << 20;

class Image;

// The pixel memory of an Image and its shape. Row 0 is the bottom row; rows lie `stride`
// bytes apart, which may leave a gap after each row's `rowBytes`.
class ImageExtra {
  public:
    explicit ImageExtra(Image* owner);
    ~ImageExtra();
    ImageExtra(const ImageExtra&) = delete;
    ImageExtra& operator=(const ImageExtra&) = delete;

    bool Allocate(int width, int height, int format, int rowGap);
    void Free();

    bool LoadBMP(const char* fileName);
    bool LoadBitmapFile(const char* fileName);
    bool LoadTGA(const char* fileName);
    bool LoadPicture(const char* fileName);

    Image* owner;
    int32_t format = 0;
    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t size = 0;
    uint32_t capacity = 0;
    uint32_t rowBytes = 0;
    uint32_t stride = 0;
};

// A picture in memory that can be read from a file, converted, flipped and drawn at the
// current raster position.
class Image {
  public:
    Image();
    Image(const Image& other);
    Image& operator=(const Image& other) {
        CopyFrom(other);
        return *this;
    }
    virtual ~Image();

    bool Load(const char* fileName);
    bool Draw();
    bool IsValid() const;
    int GetWidth() const;
    int GetHeight() const;
    int BytesPerPixel() const;
    void Clear();
    uint8_t* Row(int y);
    const uint8_t* Row(int y) const;
    void CopyFrom(const Image& other);
    void FlipVertical();
    bool ConvertTo(int format);

    // Whether the current OpenGL draws blue-first layouts; asked once per process.
    static bool SupportsBGRA();
    // Lets tests take the path of an implementation without blue-first layouts.
    static void ForceSupportsBGRA(bool supported);

    ImageExtra* extra;
};

int BytesPerPixelOf(int format);
// Luminance of a colour: 0.3 red + 0.6 green + 0.1 blue, rounded.
uint8_t Luminance(uint8_t r, uint8_t g, uint8_t b);

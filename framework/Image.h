// Pictures in memory: pixel layouts, the image and its record, and the file readers' hooks.
#pragma once

#include <cstdint>

// Pixel layouts of an image; every channel is one unsigned byte.
enum PixelFormat {
    PIXEL_RGB = 0,
    PIXEL_RGBA = 1,
    PIXEL_BGR = 2,
    PIXEL_BGRA = 3,
    PIXEL_LUMINANCE = 4,
    PIXEL_LUMINANCE_ALPHA = 5,
    PIXEL_ALPHA = 6,
};

// Largest pixel memory one image may hold. Sizes read from files are checked against it
// before anything is allocated.
constexpr uint64_t IMAGE_MAX_BYTES = 256ull * 1024 * 1024;
// Largest picture file read, checked on the file itself before any header: the pixels of an
// uncompressed picture at the pixel bound, and room for its headers. A larger file, or one that
// is not an ordinary file, is passed over unread.
constexpr uint64_t IMAGE_MAX_FILE_BYTES = IMAGE_MAX_BYTES + (1u << 20);
// Widest and tallest picture a file reader accepts, checked from the file's header.
constexpr int IMAGE_MAX_SIDE = 16384;

class Image;

// The image's implementation record: owns the pixel memory. Rows run bottom row first,
// `stride` bytes apart, each holding `rowBytes` bytes of pixels and then the row gap.
struct ImageExtra {
    explicit ImageExtra(Image* owner);
    ~ImageExtra();
    ImageExtra(const ImageExtra&) = delete;
    ImageExtra& operator=(const ImageExtra&) = delete;

    // Replaces the pixel memory with width x height pixels of the given layout (contents
    // undefined). A zero width or height leaves the image empty and succeeds; a negative
    // one, a negative row gap, an unknown layout or a picture over IMAGE_MAX_BYTES fails
    // with the image empty.
    bool Allocate(int width, int height, int format, int rowGap);
    // Frees the pixel memory and zeroes every field but `owner`.
    void Free();

    // The readers. Each replaces the contents on success and leaves the image empty on
    // failure (LoadBMP leaves it untouched when the file cannot be opened). LoadBitmapFile and
    // LoadPicture are the platform's loaders, which fail until they are installed.
    bool LoadBMP(const char* fileName);
    bool LoadBitmapFile(const char* fileName);
    bool LoadTGA(const char* fileName);
    bool LoadPicture(const char* fileName);

    Image* owner;
    int32_t format;
    uint8_t* pixels;
    int32_t width;
    int32_t height;
    uint32_t size;
    uint32_t capacity;
    uint32_t rowBytes;
    uint32_t stride;
};

// A picture in memory that can be read from a file, converted and flipped. Drawing it is
// framework/ImageDrawing.h's, on the window side.
class Image {
  public:
    Image();
    Image(const Image& other);
    Image& operator=(const Image& other);
    virtual ~Image();

    // Tries the bitmap reader, the platform bitmap loader, the Targa reader and the platform
    // picture loader, in that order. The image is empty when all of them fail.
    bool Load(const char* fileName);

    bool IsValid() const;
    int GetWidth() const;
    int GetHeight() const;
    int BytesPerPixel() const;
    void Clear();
    // First byte of row y (0 is the bottom row); null outside the picture.
    uint8_t* Row(int y);
    const uint8_t* Row(int y) const;
    // Makes this a copy of the other image, row gap included; false when out of memory.
    bool CopyFrom(const Image& other);
    void FlipVertical();
    // Rewrites the pixels in another layout. The same layout changes nothing; a real
    // conversion leaves no row gap. False for an unknown layout or when out of memory, with
    // the image unchanged.
    bool ConvertTo(int format);

    ImageExtra* extra;
};

// Bytes per pixel of a layout; 0 for an unknown one.
int PixelFormatBytes(int format);

// Luminance of a colour, 0 to 255, weighted 0.3 red, 0.6 green and 0.1 blue, rounded.
uint8_t Luminance(uint8_t red, uint8_t green, uint8_t blue);

// A reader of one kind of picture file, as ImageExtra's readers behave.
using ImageFileReader = bool (*)(ImageExtra& image, const char* fileName);

// The platform's loaders, which need the window side's libraries: without them a program (the
// simulator) reads only the framework's own formats.
struct PlatformImageReaders {
    ImageFileReader bitmapFile = nullptr;  // LoadBitmapFile
    ImageFileReader picture = nullptr;     // LoadPicture
};
// Installs the loaders for every image from now on; the window side does it before any
// picture is read (framework/ImagePlatformReaders.h).
void SetPlatformImageReaders(const PlatformImageReaders& readers);

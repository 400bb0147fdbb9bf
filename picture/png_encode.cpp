// PNG encoding into memory with libpng.
#include "picture/png_encode.h"

#include <png.h>

namespace gulper {

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

void Flush(png_structp) {}

}  // namespace

bool EncodePng(const Canvas& canvas, std::string* bytes) {
    bytes->clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, bytes, Append, Flush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width),
                     static_cast<png_uint_32>(canvas.height), 8,
                     canvas.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < canvas.height; ++y) {
            png_write_row(png, canvas.At(0, y));
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (!ok) {
        bytes->clear();
    }
    return ok;
}

}  // namespace gulper

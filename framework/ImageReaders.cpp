#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/Image.h"
#include "framework/platform/picture_loader.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File Open(const char* fileName) {
    return File(fileName != nullptr ? std::fopen(fileName, "rb") : nullptr);
}

bool ReadExactly(FILE* f, void* buffer, size_t n) {
    return std::fread(buffer, 1, n, f) == n;
}

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The file's rows cover the picture when the data read holds `height` rows of `rowSize`.
bool ReadPixelRows(FILE* f, uint32_t offset, uint32_t imageSize, uint64_t rowSize, int height,
                   std::vector<uint8_t>* data) {
    const uint64_t needed = rowSize * static_cast<uint64_t>(height);
    const uint64_t declared = imageSize != 0 ? imageSize : needed;
    if (declared < needed || needed > MAX_IMAGE_BYTES || std::fseek(f, offset, SEEK_SET) != 0) {
        return false;
    }
    // Read no more than the rows themselves: a declared size beyond them is not trusted.
    data->resize(static_cast<size_t>(needed));
    return ReadExactly(f, data->data(), data->size());
}

bool EndsInTargaExtension(const char* name) {
    const size_t length = std::strlen(name);
    if (length <= 4) {
        return false;
    }
    const char* found = std::strstr(name, ".tga");
    if (found == nullptr) {
        found = std::strstr(name, ".TGA");
    }
    return found != nullptr && found == name + length - 4;
}

void TakePicture(ImageExtra* extra, const PlatformPicture& picture, bool* ok) {
    const int gap = picture.stride - (picture.width * 24 + 7) / 8;
    *ok = extra->Allocate(picture.width, picture.height, PIXEL_BGR, gap) &&
          extra->size == picture.bytes.size();
    if (*ok) {
        std::memcpy(extra->pixels, picture.bytes.data(), extra->size);
    } else {
        extra->Free();
    }
}

}  // namespace

bool Image::Load(const char* fileName) {
    return extra->LoadBMP(fileName) || extra->LoadBitmapFile(fileName) ||
           extra->LoadTGA(fileName) || extra->LoadPicture(fileName);
}

bool ImageExtra::LoadBMP(const char* fileName) {
    File f = Open(fileName);
    if (!f) {
        return false;
    }
    Free();
    uint8_t fileHeader[14];
    uint8_t info[40];
    if (!ReadExactly(f.get(), fileHeader, 14) || !ReadExactly(f.get(), info, 40) ||
        U16(fileHeader) != 0x4D42 || U16(info + 12) != 1 || U32(info + 16) != 0) {
        return false;
    }
    const uint32_t dataOffset = U32(fileHeader + 10);
    const uint32_t headerSize = U32(info);
    const int32_t w = static_cast<int32_t>(U32(info + 4));
    int32_t h = static_cast<int32_t>(U32(info + 8));
    const uint16_t bits = U16(info + 14);
    const uint32_t imageSize = U32(info + 20);
    const bool topDown = h < 0;
    if (h == INT32_MIN) {
        return false;
    }
    h = topDown ? -h : h;
    if (w < 1 || h < 1) {
        return false;
    }
    auto fileRow = [topDown, h](int y) { return topDown ? h - 1 - y : y; };

    std::vector<uint8_t> data;
    if (bits == 24) {
        const uint64_t rowSize = (3ull * w + 3) / 4 * 4;
        if (!ReadPixelRows(f.get(), dataOffset, imageSize, rowSize, h, &data) ||
            !Allocate(w, h, PIXEL_BGR, 0)) {
            Free();
            return false;
        }
        for (int y = 0; y < h; ++y) {
            std::memcpy(pixels + static_cast<size_t>(y) * stride, &data[fileRow(y) * rowSize],
                        rowBytes);
        }
        return true;
    }
    if (bits != 8) {
        return false;
    }
    const uint32_t declaredColours = U32(info + 32);
    const uint32_t colourCount = declaredColours == 0 ? 256 : declaredColours;
    if (colourCount > 256 ||
        std::fseek(f.get(), 14 + static_cast<long>(headerSize), SEEK_SET) != 0) {
        return false;  // a table of more than 256 entries is no 8-bit bitmap
    }
    uint8_t table[256][4];
    for (uint32_t i = 0; i < colourCount; ++i) {
        if (!ReadExactly(f.get(), table[i], 4)) {
            return false;
        }
    }
    bool grey = true;
    for (uint32_t i = 0; i < colourCount; ++i) {
        grey = grey && table[i][0] == table[i][1] && table[i][1] == table[i][2];
    }
    const uint64_t rowSize = (static_cast<uint64_t>(w) + 3) / 4 * 4;
    if (!ReadPixelRows(f.get(), dataOffset, imageSize, rowSize, h, &data) ||
        !Allocate(w, h, grey ? PIXEL_LUMINANCE : PIXEL_BGR, 0)) {
        Free();
        return false;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* source = &data[fileRow(y) * rowSize];
        uint8_t* target = pixels + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            if (source[x] >= colourCount) {
                Free();  // a pixel naming a colour the table does not hold
                return false;
            }
            const uint8_t* entry = table[source[x]];
            if (grey) {
                target[x] = entry[1];
            } else {
                std::memcpy(target + 3 * x, entry, 3);
            }
        }
    }
    return true;
}

bool ImageExtra::LoadBitmapFile(const char* fileName) {
    Free();
    PlatformPicture picture;
    bool ok = false;
    if (fileName != nullptr && PlatformLoadBitmap(fileName, &picture)) {
        TakePicture(this, picture, &ok);
    }
    return ok;
}

bool ImageExtra::LoadTGA(const char* fileName) {
    Free();
    if (fileName == nullptr) {
        return false;
    }
    File f = Open(fileName);
    uint8_t footer[26];
    if (!f || std::fseek(f.get(), -26, SEEK_END) != 0 || !ReadExactly(f.get(), footer, 26)) {
        return false;
    }
    if (std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) != 0 && !EndsInTargaExtension(fileName)) {
        return false;
    }
    uint8_t header[18];
    if (std::fseek(f.get(), 0, SEEK_SET) != 0 || !ReadExactly(f.get(), header, 18)) {
        return false;
    }
    const int type = header[2];
    const int depth = header[16];
    const int w = U16(header + 12);
    const int h = U16(header + 14);
    if ((type != 2 && type != 10) || header[1] != 0 || (depth != 24 && depth != 32) || w == 0 ||
        h == 0) {
        return false;
    }
    const bool topDown = (header[17] & 0x20) != 0;
    if (std::fseek(f.get(), 18 + header[0], SEEK_SET) != 0 ||
        !Allocate(w, h, depth == 24 ? PIXEL_BGR : PIXEL_BGRA, 0)) {
        Free();
        return false;
    }
    const size_t pixelBytes = static_cast<size_t>(depth / 8);
    bool ok = true;
    if ((type & 8) == 0) {
        for (int y = 0; y < h && ok; ++y) {
            ok = ReadExactly(f.get(), pixels + static_cast<size_t>(y) * stride, rowBytes);
        }
    } else {
        // Runs fill the picture as one stream, across row ends.
        size_t filled = 0;
        int runHeader = std::fgetc(f.get());
        while (ok && filled < size && runHeader != EOF) {
            const size_t count = (static_cast<size_t>(runHeader) & 0x7F) + 1;
            const size_t bytes = count * pixelBytes;
            if (filled + bytes > size) {
                ok = false;
                break;
            }
            if (runHeader & 0x80) {
                uint8_t value[4];
                ok = ReadExactly(f.get(), value, pixelBytes);
                for (size_t i = 0; ok && i < count; ++i) {
                    std::memcpy(pixels + filled + i * pixelBytes, value, pixelBytes);
                }
            } else {
                ok = ReadExactly(f.get(), pixels + filled, bytes);
            }
            filled += bytes;
            if (filled < size) {
                runHeader = std::fgetc(f.get());
            }
        }
        ok = ok && filled == size;
    }
    if (!ok) {
        Free();
        return false;
    }
    if (topDown) {
        owner->FlipVertical();
    }
    return true;
}

bool ImageExtra::LoadPicture(const char* fileName) {
    Free();
    if (fileName == nullptr) {
        return false;
    }
    std::string path = fileName;
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr) {
            return false;
        }
        path = std::string(cwd) + "/" + fileName;
    }
    if (path.size() + 1 > 260) {
        return false;
    }
    PlatformPicture picture;
    bool ok = false;
    if (PlatformLoadPicture(path.c_str(), &picture)) {
        TakePicture(this, picture, &ok);
    }
    return ok;
}

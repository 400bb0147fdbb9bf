// The file readers of Image: our own bitmap and Targa readers, and Load, which tries them and
// the platform's loaders the window side installs. Only an ordinary file of bounded size is
// read. Every size in a file is untrusted: sizes are worked out in 64 bits and checked against
// the picture bound before anything is allocated or read, and every stream is closed on every
// path.
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Image.h"
#include "framework/data_file.h"

namespace {

// Empty until the window side installs the platform's loaders: GLApp's constructor does, before
// the members of the program's application object read their pictures.
PlatformImageReaders platformReaders;

// Only an ordinary file no larger than any picture could be; opening never waits.
File OpenForReading(const char* fileName) {
    return OpenDataFile(fileName, IMAGE_MAX_FILE_BYTES);
}

// Bytes in the file, or -1 when it cannot be told.
int64_t FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

bool ReadBytes(std::FILE* file, void* buffer, size_t count) {
    return std::fread(buffer, 1, count, file) == count;
}

bool SeekTo(std::FILE* file, uint64_t offset) {
    return offset <= static_cast<uint64_t>(LONG_MAX) &&
           std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

bool SidesFit(int64_t width, int64_t height) {
    return width <= IMAGE_MAX_SIDE && height <= IMAGE_MAX_SIDE;
}

// The image's row for a file row: files store bottom row first unless marked top-down.
int ImageRowOf(int fileRow, int height, bool topDown) {
    return topDown ? height - 1 - fileRow : fileRow;
}

bool EndsInTargaExtension(const char* fileName) {
    const size_t length = std::strlen(fileName);
    if (length <= 4) {
        return false;
    }
    const char* ending = fileName + length - 4;
    return std::strstr(fileName, ".tga") == ending || std::strstr(fileName, ".TGA") == ending;
}

}  // namespace

void SetPlatformImageReaders(const PlatformImageReaders& readers) {
    platformReaders = readers;
}

bool Image::Load(const char* fileName) {
    return extra->LoadBMP(fileName) || extra->LoadBitmapFile(fileName) ||
           extra->LoadTGA(fileName) || extra->LoadPicture(fileName);
}

bool ImageExtra::LoadBMP(const char* fileName) {
    File file = OpenForReading(fileName);
    if (!file) {
        return false;
    }
    Free();
    uint8_t fileHeader[14];
    uint8_t infoHeader[40];
    if (!ReadBytes(file.get(), fileHeader, sizeof fileHeader) ||
        !ReadBytes(file.get(), infoHeader, sizeof infoHeader)) {
        return false;
    }
    const uint32_t dataOffset = Little32(fileHeader + 10);
    const uint32_t headerSize = Little32(infoHeader + 0);
    const int64_t fileWidth = static_cast<int32_t>(Little32(infoHeader + 4));
    int64_t fileHeight = static_cast<int32_t>(Little32(infoHeader + 8));
    const uint16_t planes = Little16(infoHeader + 12);
    const uint16_t bitsPerPixel = Little16(infoHeader + 14);
    const uint32_t compression = Little32(infoHeader + 16);
    const uint32_t imageSize = Little32(infoHeader + 20);
    const uint32_t coloursUsed = Little32(infoHeader + 32);
    if (Little16(fileHeader) != 0x4D42 || planes != 1 || compression != 0) {
        return false;
    }
    const bool topDown = fileHeight < 0;
    if (topDown) {
        fileHeight = -fileHeight;
    }
    if (fileWidth < 1 || fileHeight < 1 || !SidesFit(fileWidth, fileHeight) ||
        (bitsPerPixel != 24 && bitsPerPixel != 8)) {
        return false;
    }
    const int64_t bytesPerPixel = bitsPerPixel / 8;
    const uint64_t rowSize = (static_cast<uint64_t>(fileWidth) * bytesPerPixel + 3) / 4 * 4;
    const uint64_t dataSize = rowSize * static_cast<uint64_t>(fileHeight);
    // The pixel data must cover every row, and the data the header declares must be in the
    // file: checked before anything is allocated for it.
    const int64_t fileSize = FileSize(file.get());
    const uint64_t declared = imageSize != 0 ? imageSize : dataSize;
    if (dataSize > IMAGE_MAX_BYTES || declared < dataSize || fileSize < 0 ||
        dataOffset > static_cast<uint64_t>(fileSize) ||
        declared > static_cast<uint64_t>(fileSize) - dataOffset) {
        return false;
    }
    const int w = static_cast<int>(fileWidth);
    const int h = static_cast<int>(fileHeight);

    if (bitsPerPixel == 24) {
        if (!SeekTo(file.get(), dataOffset) || !Allocate(w, h, PIXEL_BGR, 0)) {
            Free();
            return false;
        }
        std::vector<uint8_t> fileRow(rowSize);
        for (int y = 0; y < h; ++y) {
            if (!ReadBytes(file.get(), fileRow.data(), rowSize)) {
                Free();
                return false;
            }
            std::memcpy(pixels + static_cast<size_t>(ImageRowOf(y, h, topDown)) * stride,
                        fileRow.data(), rowBytes);
        }
        return true;
    }

    // 8 bits: a colour table of at most 256 entries, blue, green, red, reserved.
    const uint32_t colours = coloursUsed == 0 ? 256 : coloursUsed;
    if (colours > 256 || !SeekTo(file.get(), 14ull + headerSize)) {
        return false;
    }
    uint8_t table[256][4];
    bool grey = true;
    for (uint32_t i = 0; i < colours; ++i) {
        if (!ReadBytes(file.get(), table[i], 4)) {
            return false;
        }
        grey = grey && table[i][0] == table[i][1] && table[i][1] == table[i][2];
    }
    std::vector<uint8_t> data(dataSize);
    if (!SeekTo(file.get(), dataOffset) || !ReadBytes(file.get(), data.data(), dataSize)) {
        return false;
    }
    if (!Allocate(w, h, grey ? PIXEL_LUMINANCE : PIXEL_BGR, 0)) {
        Free();
        return false;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = data.data() + static_cast<size_t>(y) * rowSize;
        uint8_t* out = pixels + static_cast<size_t>(ImageRowOf(y, h, topDown)) * stride;
        for (int x = 0; x < w; ++x) {
            // A pixel naming an entry past the table read has no colour: the file is broken.
            if (in[x] >= colours) {
                Free();
                return false;
            }
            const uint8_t* entry = table[in[x]];
            if (grey) {
                *out++ = entry[1];
            } else {
                *out++ = entry[0];
                *out++ = entry[1];
                *out++ = entry[2];
            }
        }
    }
    return true;
}

bool ImageExtra::LoadBitmapFile(const char* fileName) {
    Free();
    return platformReaders.bitmapFile != nullptr && platformReaders.bitmapFile(*this, fileName);
}

bool ImageExtra::LoadTGA(const char* fileName) {
    Free();
    if (fileName == nullptr) {
        return false;
    }
    File file = OpenForReading(fileName);
    if (!file) {
        return false;
    }
    const int64_t fileSize = FileSize(file.get());
    if (fileSize < 18) {
        return false;
    }
    // A file too short for a footer has none; it can still be a small Targa picture.
    bool hasSignature = false;
    if (fileSize >= 26) {
        uint8_t footer[26];
        if (std::fseek(file.get(), -26, SEEK_END) != 0 ||
            !ReadBytes(file.get(), footer, sizeof footer)) {
            return false;
        }
        hasSignature = std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) == 0;
    }
    if (!hasSignature && !EndsInTargaExtension(fileName)) {
        return false;
    }

    uint8_t header[18];
    if (!SeekTo(file.get(), 0) || !ReadBytes(file.get(), header, sizeof header)) {
        return false;
    }
    const uint8_t idLength = header[0];
    const uint8_t colourMapType = header[1];
    const uint8_t imageType = header[2];
    const uint16_t fileWidth = Little16(header + 12);
    const uint16_t fileHeight = Little16(header + 14);
    const uint8_t depth = header[16];
    const bool topDown = (header[17] & 0x20) != 0;
    if ((imageType != 2 && imageType != 10) || colourMapType != 0 || (depth != 24 && depth != 32) ||
        fileWidth == 0 || fileHeight == 0 || !SidesFit(fileWidth, fileHeight)) {
        return false;
    }
    // The pixels must fit in what the file holds after the header before any memory is
    // taken for them: raw rows byte for byte, runs at best 128 pixels per packet.
    const size_t pixelBytes = depth / 8;
    const int64_t pixelCount = static_cast<int64_t>(fileWidth) * fileHeight;
    const int64_t available = fileSize - 18 - idLength;
    const int64_t needed = imageType == 2
                               ? pixelCount * static_cast<int64_t>(pixelBytes)
                               : (pixelCount + 127) / 128 * static_cast<int64_t>(1 + pixelBytes);
    if (needed > available) {
        return false;
    }
    if (!SeekTo(file.get(), 18u + idLength) ||
        !Allocate(fileWidth, fileHeight, depth == 24 ? PIXEL_BGR : PIXEL_BGRA, 0)) {
        Free();
        return false;
    }
    if (imageType == 2) {
        for (int y = 0; y < height; ++y) {
            if (!ReadBytes(file.get(), pixels + static_cast<size_t>(y) * stride, rowBytes)) {
                Free();
                return false;
            }
        }
    } else {
        // Runs fill the picture as one stream, across row ends.
        uint8_t* out = pixels;
        uint8_t* const end = pixels + size;
        int runHeader;
        while (out < end && (runHeader = std::fgetc(file.get())) != EOF) {
            const size_t count = (runHeader & 0x7F) + 1u;
            if (count * pixelBytes > static_cast<size_t>(end - out)) {
                Free();
                return false;
            }
            if (runHeader & 0x80) {
                uint8_t value[4];
                if (!ReadBytes(file.get(), value, pixelBytes)) {
                    Free();
                    return false;
                }
                for (size_t i = 0; i < count; ++i, out += pixelBytes) {
                    std::memcpy(out, value, pixelBytes);
                }
            } else {
                if (!ReadBytes(file.get(), out, count * pixelBytes)) {
                    Free();
                    return false;
                }
                out += count * pixelBytes;
            }
        }
        if (out != end) {
            Free();
            return false;
        }
    }
    file.reset();
    if (topDown) {
        owner->FlipVertical();
    }
    return true;
}

bool ImageExtra::LoadPicture(const char* fileName) {
    Free();
    return platformReaders.picture != nullptr && platformReaders.picture(*this, fileName);
}

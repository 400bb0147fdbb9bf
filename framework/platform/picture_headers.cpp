// Each accepted picture format recognised by its signature and sized from its header, before
// any decoder sees the file.
#include "framework/platform/picture_headers.h"

#include <climits>
#include <cstring>

#include "framework/file_bytes.h"

namespace platform {

namespace {

// Best cases of each format's coding, used to tell a picture that a file could really hold
// from a small file that declares a huge one. A deflate stream expands at most 1032 times.
constexpr uint64_t DEFLATE_MAX_RATIO = 1032;
// Every 8 x 8 block of a Huffman-coded JPEG takes at least one bit.
constexpr uint64_t JPEG_BLOCKS_PER_BYTE = 8;
// An LZW code of a GIF is at least 3 bits wide and stands for at most 4096 pixels.
constexpr uint64_t GIF_PIXELS_PER_CODE = 4096;

// Reads the file front to back; every read is checked.
class Reader {
  public:
    explicit Reader(std::FILE* file) : file(file) {}
    bool Bytes(void* out, size_t count) { return std::fread(out, 1, count, file) == count; }
    bool Byte(uint8_t& out) { return Bytes(&out, 1); }
    bool Skip(uint64_t count) {
        // Seeking past the end succeeds on a stream; the next read finds the end.
        return count <= static_cast<uint64_t>(LONG_MAX) &&
               std::fseek(file, static_cast<long>(count), SEEK_CUR) == 0;
    }

  private:
    std::FILE* file;
};

// Bitmap: the file header, then a core header (12 bytes, 16-bit sizes) or an information
// header of 40 bytes or more (32-bit sizes, negative height for top-down rows).
bool CheckBitmap(std::FILE* file, uint64_t fileSize, const PictureLimits& limits) {
    uint8_t header[54];
    if (fileSize < 26 || !Reader(file).Bytes(header, 26)) {
        return false;
    }
    const uint32_t dataOffset = Little32(header + 10);
    const uint32_t headerSize = Little32(header + 14);
    int64_t width;
    int64_t height;
    uint32_t bits;
    uint32_t compression = 0;
    if (headerSize == 12) {
        width = Little16(header + 18);
        height = Little16(header + 20);
        bits = Little16(header + 24);
    } else if (headerSize >= 40 && 14ull + headerSize <= fileSize) {
        if (!Reader(file).Bytes(header + 26, 28)) {
            return false;
        }
        width = static_cast<int32_t>(Little32(header + 18));
        height = static_cast<int32_t>(Little32(header + 22));
        bits = Little16(header + 28);
        compression = Little32(header + 30);
    } else {
        return false;
    }
    height = height < 0 ? -height : height;
    if (!FitsLimits(limits, width, height)) {
        return false;
    }
    const bool knownDepth =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!knownDepth) {
        return false;
    }
    switch (compression) {
        case 0:    // plain rows
        case 3:    // plain rows with colour masks
        case 6: {  // plain rows with colour and alpha masks
            const uint64_t rowSize = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
            return dataOffset <= fileSize && rowSize * height <= fileSize - dataOffset;
        }
        case 1:    // run-length encoded, 8 bits
        case 2: {  // run-length encoded, 4 bits
            // A run codes at most 255 pixels in 2 bytes. Skip and end-of-picture codes could
            // leave any share of the picture blank, but a file leaning on them to declare a
            // picture far larger than its runs could fill is refused like any other bomb.
            const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
            return ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) &&
                   dataOffset <= fileSize && pixels <= (fileSize - dataOffset) / 2 * 255 + 255;
        }
        default:
            return false;
    }
}

// PNG: the signature, then the header chunk, which must come first.
bool CheckPng(std::FILE* file, uint64_t fileSize, const PictureLimits& limits) {
    uint8_t header[33];
    if (!Reader(file).Bytes(header, sizeof header) || Big32(header + 8) != 13 ||
        std::memcmp(header + 12, "IHDR", 4) != 0) {
        return false;
    }
    const int64_t width = Big32(header + 16);
    const int64_t height = Big32(header + 20);
    const unsigned depth = header[24];
    const unsigned colourType = header[25];
    unsigned channels;
    bool depthAllowed;
    switch (colourType) {
        case 0:
            channels = 1;
            depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
            break;
        case 3:
            channels = 1;
            depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8;
            break;
        case 2:
        case 4:
        case 6:
            channels = colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
            depthAllowed = depth == 8 || depth == 16;
            break;
        default:
            return false;
    }
    if (!depthAllowed || !FitsLimits(limits, width, height)) {
        return false;
    }
    // Each row is a filter byte and the packed pixels, all inside the deflate stream.
    const uint64_t rowBytes = 1 + (static_cast<uint64_t>(width) * channels * depth + 7) / 8;
    return rowBytes * static_cast<uint64_t>(height) <= DEFLATE_MAX_RATIO * fileSize;
}

// JPEG: walks the marker segments up to the first frame header.
bool CheckJpeg(std::FILE* file, uint64_t fileSize, const PictureLimits& limits) {
    Reader reader(file);
    if (!reader.Skip(2)) {
        return false;
    }
    for (;;) {
        uint8_t marker;
        if (!reader.Byte(marker) || marker != 0xFF) {
            return false;
        }
        while (marker == 0xFF) {  // fill bytes may come before a marker code
            if (!reader.Byte(marker)) {
                return false;
            }
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            continue;  // markers without a segment
        }
        if (marker == 0xD9 || marker == 0xDA || marker == 0x00) {
            return false;  // end of picture or scan data before any frame header
        }
        uint8_t lengthBytes[2];
        if (!reader.Bytes(lengthBytes, 2) || Big16(lengthBytes) < 2) {
            return false;
        }
        const uint16_t length = Big16(lengthBytes);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            if (!reader.Skip(length - 2u)) {
                return false;
            }
            continue;
        }
        // Precision, height, width, then id, sampling factors and table of each component.
        uint8_t header[6 + 3 * 4];
        if (length < 8 || !reader.Bytes(header, 6)) {
            return false;
        }
        const int components = header[5];
        if (components < 1 || components > 4 || length != 8 + 3 * components ||
            !reader.Bytes(header + 6, 3u * components)) {
            return false;
        }
        // A height of 0 would be given later in the data, after the decoder has begun.
        const int64_t height = Big16(header + 1);
        const int64_t width = Big16(header + 3);
        if (!FitsLimits(limits, width, height)) {
            return false;
        }
        const bool arithmetic = marker >= 0xC9;
        const uint64_t blocks = static_cast<uint64_t>((width + 7) / 8) * ((height + 7) / 8);
        if (!arithmetic && blocks > JPEG_BLOCKS_PER_BYTE * fileSize) {
            return false;
        }
        // A progressive or multi-scan picture is decoded through a buffer of every block's
        // coefficients, 128 bytes a block: that too must fit in the cap.
        int maxH = 1;
        int maxV = 1;
        for (int c = 0; c < components; ++c) {
            const int h = header[7 + 3 * c] >> 4;
            const int v = header[7 + 3 * c] & 15;
            if (h < 1 || h > 4 || v < 1 || v > 4) {
                return false;
            }
            maxH = h > maxH ? h : maxH;
            maxV = v > maxV ? v : maxV;
        }
        uint64_t coefficientBytes = 0;
        for (int c = 0; c < components; ++c) {
            const int h = header[7 + 3 * c] >> 4;
            const int v = header[7 + 3 * c] & 15;
            const uint64_t across = (static_cast<uint64_t>(width) * h + 8 * maxH - 1) / (8 * maxH);
            const uint64_t down = (static_cast<uint64_t>(height) * v + 8 * maxV - 1) / (8 * maxV);
            coefficientBytes += (across + h) * (down + v) * 128;  // rounded up to whole MCUs
        }
        return coefficientBytes <= limits.maxBytes;
    }
}

// Skips a run of GIF data sub-blocks up to the empty one; counts their bytes.
bool SkipGifSubBlocks(Reader& reader, uint64_t& bytes) {
    for (;;) {
        uint8_t length;
        if (!reader.Byte(length)) {
            return false;
        }
        if (length == 0) {
            return true;
        }
        bytes += length;
        if (!reader.Skip(length)) {
            return false;
        }
    }
}

// GIF: the logical screen, then every image descriptor up to the trailer or the end of the
// file. Each frame is checked against the limits and against what its LZW data can hold.
bool CheckGif(std::FILE* file, const PictureLimits& limits) {
    Reader reader(file);
    uint8_t screen[13];
    if (!reader.Bytes(screen, sizeof screen)) {
        return false;
    }
    const int64_t screenWidth = Little16(screen + 6);
    const int64_t screenHeight = Little16(screen + 8);
    if ((screenWidth != 0 || screenHeight != 0) && !FitsLimits(limits, screenWidth, screenHeight)) {
        return false;
    }
    if ((screen[10] & 0x80) != 0 && !reader.Skip(3u << ((screen[10] & 7) + 1))) {
        return false;
    }
    bool sawFrame = false;
    for (;;) {
        uint8_t introducer;
        if (!reader.Byte(introducer) || introducer == 0x3B) {
            return sawFrame;  // trailer, or a file cut short after whole frames
        }
        if (introducer == 0x21) {
            uint8_t label;
            uint64_t ignored = 0;
            if (!reader.Byte(label) || !SkipGifSubBlocks(reader, ignored)) {
                return sawFrame;
            }
            continue;
        }
        if (introducer != 0x2C) {
            return sawFrame;
        }
        uint8_t descriptor[9];
        uint8_t codeSize;
        if (!reader.Bytes(descriptor, sizeof descriptor)) {
            return false;
        }
        const int64_t width = Little16(descriptor + 4);
        const int64_t height = Little16(descriptor + 6);
        if (!FitsLimits(limits, width, height)) {
            return false;
        }
        if ((descriptor[8] & 0x80) != 0 && !reader.Skip(3u << ((descriptor[8] & 7) + 1))) {
            return false;
        }
        uint64_t dataBytes = 0;
        if (!reader.Byte(codeSize)) {
            return false;
        }
        const bool whole = SkipGifSubBlocks(reader, dataBytes);
        const uint64_t codes = dataBytes * 8 / 3 + 1;
        if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) >
            codes * GIF_PIXELS_PER_CODE) {
            return false;
        }
        sawFrame = true;
        if (!whole) {
            return true;
        }
    }
}

}  // namespace

bool FitsLimits(const PictureLimits& limits, int64_t width, int64_t height) {
    if (width < 1 || height < 1 || width > limits.maxSide || height > limits.maxSide) {
        return false;
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    return stride * static_cast<uint64_t>(height) <= limits.maxBytes;
}

PictureFormat CheckPictureFile(std::FILE* file, const PictureLimits& limits) {
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) {
        return PictureFormat::NONE;
    }
    const long end = std::ftell(file);
    uint8_t signature[8];
    if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0 || !Reader(file).Bytes(signature, 8) ||
        std::fseek(file, 0, SEEK_SET) != 0) {
        return PictureFormat::NONE;
    }
    const uint64_t fileSize = static_cast<uint64_t>(end);
    static const uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (signature[0] == 'B' && signature[1] == 'M') {
        return CheckBitmap(file, fileSize, limits) ? PictureFormat::BMP : PictureFormat::NONE;
    }
    if (std::memcmp(signature, PNG_SIGNATURE, 8) == 0) {
        return CheckPng(file, fileSize, limits) ? PictureFormat::PNG : PictureFormat::NONE;
    }
    if (signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF) {
        return CheckJpeg(file, fileSize, limits) ? PictureFormat::JPEG : PictureFormat::NONE;
    }
    if (std::memcmp(signature, "GIF87a", 6) == 0 || std::memcmp(signature, "GIF89a", 6) == 0) {
        return CheckGif(file, limits) ? PictureFormat::GIF : PictureFormat::NONE;
    }
    return PictureFormat::NONE;
}

}  // namespace platform

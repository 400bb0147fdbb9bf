// GIF is decoded here rather than by the platform library: that library, on a frame it cannot
// decode, scans on through the frame's own data for another image descriptor and trusts the
// size it finds there, so no check of the file's real descriptors can bound it.
#include "framework/platform/gif_decoder.h"

#include <cstdint>
#include <new>
#include <vector>

#include "framework/file_bytes.h"

namespace platform {

namespace {

constexpr int MAX_CODES = 4096;  // 12-bit codes

// The bytes of a run of data sub-blocks, read as one stream of bits, lowest bit first.
class SubBlockBits {
  public:
    explicit SubBlockBits(std::FILE* file) : file(file) {}

    // The next code of `width` bits; false at the end of the data.
    bool Code(int width, int& code) {
        while (bitCount < width) {
            int byte;
            if (!NextByte(byte)) {
                return false;
            }
            bits |= static_cast<uint32_t>(byte) << bitCount;
            bitCount += 8;
        }
        code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        bitCount -= width;
        return true;
    }

  private:
    bool NextByte(int& byte) {
        if (ended) {
            return false;
        }
        if (left == 0) {
            const int length = std::fgetc(file);
            if (length == EOF || length == 0) {
                ended = true;
                return false;
            }
            left = length;
        }
        byte = std::fgetc(file);
        if (byte == EOF) {
            ended = true;
            return false;
        }
        --left;
        return true;
    }

    std::FILE* file;
    int left = 0;
    bool ended = false;
    uint32_t bits = 0;
    int bitCount = 0;
};

bool SkipSubBlocks(std::FILE* file) {
    for (;;) {
        const int length = std::fgetc(file);
        if (length == EOF) {
            return false;
        }
        if (length == 0) {
            return true;
        }
        if (std::fseek(file, length, SEEK_CUR) != 0) {
            return false;
        }
    }
}

struct ColourTable {
    uint8_t rgb[256][3];
    int size = 0;
};

bool ReadColourTable(std::FILE* file, uint8_t flags, ColourTable& table) {
    table.size = 2 << (flags & 7);
    return std::fread(table.rgb, 3, table.size, file) == static_cast<size_t>(table.size);
}

// Expands the LZW data into `indices`, which holds exactly the frame's pixels; false when the
// data is broken or ends before every pixel has its value.
bool ExpandLzw(std::FILE* file, int minimumCodeSize, std::vector<uint8_t>& indices) {
    if (minimumCodeSize < 1 || minimumCodeSize > 8) {  // literal codes are colour indices
        return false;
    }
    static thread_local uint16_t prefix[MAX_CODES];
    static thread_local uint8_t suffix[MAX_CODES];
    static thread_local uint8_t first[MAX_CODES];
    static thread_local uint8_t stack[MAX_CODES];
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    for (int code = 0; code < clear; ++code) {
        suffix[code] = first[code] = static_cast<uint8_t>(code);
    }
    SubBlockBits bits(file);
    int width = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    size_t filled = 0;
    int code;
    while (filled < indices.size() && bits.Code(width, code)) {
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) {
            break;
        }
        if (code > next || (code == next && previous < 0) || (code < clear + 2 && code >= clear)) {
            return false;
        }
        if (previous >= 0 && next < MAX_CODES) {
            // The new entry is the previous string and the first value of this one, which is
            // the previous string's own first value when the code is the one being defined.
            prefix[next] = static_cast<uint16_t>(previous);
            first[next] = first[previous];
            suffix[next] = code == next ? first[previous] : first[code];
            ++next;
            if (next == (1 << width) && width < 12) {
                ++width;
            }
        }
        int depth = 0;
        int at = code;
        for (; at >= clear; at = prefix[at]) {
            stack[depth++] = suffix[at];
        }
        stack[depth++] = static_cast<uint8_t>(at);
        while (depth > 0 && filled < indices.size()) {
            indices[filled++] = stack[--depth];
        }
        previous = code;
    }
    return filled == indices.size();
}

}  // namespace

bool DecodeGifFrame(std::FILE* file, const PictureLimits& limits, DecodedPicture& picture) {
    uint8_t screen[13];
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(screen, 1, 13, file) != 13) {
        return false;
    }
    ColourTable global;
    if ((screen[10] & 0x80) != 0 && !ReadColourTable(file, screen[10], global)) {
        return false;
    }
    int transparent = -1;
    for (;;) {
        const int introducer = std::fgetc(file);
        if (introducer == 0x21) {
            const int label = std::fgetc(file);
            if (label == 0xF9) {
                // Graphic control: flags, delay, transparent index, for the next frame.
                uint8_t control[5];
                if (std::fread(control, 1, 5, file) != 5 || control[0] < 4) {
                    return false;
                }
                transparent = (control[1] & 1) != 0 ? control[4] : -1;
                if (control[0] > 4 && std::fseek(file, control[0] - 4, SEEK_CUR) != 0) {
                    return false;
                }
            } else if (label == EOF) {
                return false;
            }
            if (!SkipSubBlocks(file)) {
                return false;
            }
            continue;
        }
        if (introducer != 0x2C) {
            return false;  // the trailer, the end or a stray byte before any frame
        }
        break;
    }
    uint8_t descriptor[9];
    if (std::fread(descriptor, 1, 9, file) != 9) {
        return false;
    }
    const int width = Little16(descriptor + 4);
    const int height = Little16(descriptor + 6);
    const bool interlaced = (descriptor[8] & 0x40) != 0;
    if (!FitsLimits(limits, width, height)) {
        return false;
    }
    ColourTable local;
    if ((descriptor[8] & 0x80) != 0 && !ReadColourTable(file, descriptor[8], local)) {
        return false;
    }
    const ColourTable& table = local.size > 0 ? local : global;
    const int minimumCodeSize = std::fgetc(file);
    std::vector<uint8_t> indices;
    try {
        indices.resize(static_cast<size_t>(width) * height);
        picture.bgr.resize(indices.size() * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (minimumCodeSize == EOF || !ExpandLzw(file, minimumCodeSize, indices)) {
        return false;
    }
    // Interlaced frames store rows 0, 8, 16..., then 4, 12..., then 2, 6..., then 1, 3...
    static const int PASS_START[4] = {0, 4, 2, 1};
    static const int PASS_STEP[4] = {8, 8, 4, 2};
    int pass = 0;
    int row = 0;
    for (int stored = 0; stored < height; ++stored) {
        const uint8_t* in = indices.data() + static_cast<size_t>(stored) * width;
        uint8_t* out =
            picture.bgr.data() + static_cast<size_t>(interlaced ? row : stored) * width * 3;
        for (int x = 0; x < width; ++x, out += 3) {
            if (in[x] == transparent) {
                out[0] = out[1] = out[2] = 255;
                continue;
            }
            if (in[x] >= table.size) {
                return false;  // no colour for it: the file is broken
            }
            out[0] = table.rgb[in[x]][2];
            out[1] = table.rgb[in[x]][1];
            out[2] = table.rgb[in[x]][0];
        }
        if (interlaced) {
            row += PASS_STEP[pass];
            while (row >= height && pass < 3) {
                ++pass;
                row = PASS_START[pass];
            }
        }
    }
    picture.width = width;
    picture.height = height;
    return true;
}

}  // namespace platform

#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

// A temporary folder of its own for each test; removed afterwards.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = std::filesystem::temp_directory_path() / "gulper-image-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    std::filesystem::path folder;
};

// Writes the low `count` bytes of v at `at`, lowest first unless `big`.
inline void Put(Bytes& b, size_t at, uint32_t v, int count = 4, bool big = false) {
    for (int i = 0; i < count; ++i) {
        b[at + (big ? count - 1 - i : i)] = static_cast<uint8_t>(v >> 8 * i);
    }
}

inline Bytes With(Bytes b, size_t at, uint32_t v, int count = 4) {
    Put(b, at, v, count);
    return b;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Repeat(const Bytes& unit, size_t times) {
    Bytes b;
    while (times-- > 0) {
        b.insert(b.end(), unit.begin(), unit.end());
    }
    return b;
}

// A Targa file: an image id, pixel data or runs as stored, and the footer when `footer`.
inline Bytes Targa(int type, int width, int height, int depth, int descriptor, const Bytes& data,
                   bool footer = false, int colourMapType = 0, const Bytes& imageId = {}) {
    Bytes b = {uint8_t(imageId.size()), uint8_t(colourMapType), uint8_t(type)};
    b.resize(18);
    Put(b, 12, uint32_t(width), 2);
    Put(b, 14, uint32_t(height), 2);
    b[16] = static_cast<uint8_t>(depth);
    b[17] = static_cast<uint8_t>(descriptor);
    b = b + imageId + data;
    if (footer) {
        const char tail[] = "TRUEVISION-XFILE.";  // with its terminating zero
        b = b + Bytes(8, 0) + Bytes(tail, tail + sizeof tail);
    }
    return b;
}

struct TargaSpec {
    int type = 2;
    int width = 2;
    int height = 2;
    int depth = 24;
    Bytes data;
};

inline Bytes Targa(const TargaSpec& s) {
    return Targa(s.type, s.width, s.height, s.depth, 0, s.data);
}

// A bitmap with a 40-byte information header (a 12-byte core one when `core`), a colour table
// of blue, green, red, reserved entries and the rows as stored.
inline Bytes Bitmap(int width, int height, int bits, const Bytes& rows, const Bytes& table = {},
                    bool core = false) {
    Bytes b(core ? 26 : 54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 10, uint32_t(b.size() + table.size()));
    Put(b, 14, uint32_t(b.size() - 14));
    const int sizeBytes = core ? 2 : 4;
    Put(b, 18, uint32_t(width), sizeBytes);
    Put(b, 18 + sizeBytes, uint32_t(height), sizeBytes);
    Put(b, 18 + 2 * sizeBytes, 1, 2);
    Put(b, 20 + 2 * sizeBytes, uint32_t(bits), 2);
    if (!core) {
        Put(b, 46, uint32_t(table.size() / 4));
    }
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), rows.begin(), rows.end());
    Put(b, 2, uint32_t(b.size()));
    return b;
}

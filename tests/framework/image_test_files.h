// What the image tests share: byte lists, a temporary folder and picture files made by hand.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Repeat(const Bytes& unit, size_t times) {
    return times == 0 ? Bytes() : unit + Repeat(unit, times - 1);
}

// The bytes with the low `count` bytes of v written at `at`, lowest first unless `big`.
inline Bytes With(Bytes b, size_t at, uint32_t v, int count = 4, bool big = false) {
    for (int i = 0; i < count; ++i)
        b[at + (big ? count - 1 - i : i)] = static_cast<uint8_t>(v >> 8 * i);
    return b;
}

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

// A Targa file: the image id, the pixel data or runs as stored, and the footer when `footer`.
inline Bytes Targa(int type, int width, int height, int depth, int descriptor, const Bytes& data,
                   bool footer = false, int colourMapType = 0, const Bytes& imageId = {}) {
    Bytes b = {uint8_t(imageId.size()), uint8_t(colourMapType), uint8_t(type)};
    b = b + Bytes(13, 0) + Bytes{uint8_t(depth), uint8_t(descriptor)};
    b = With(With(b, 12, uint32_t(width), 2), 14, uint32_t(height), 2) + imageId + data;
    const char tail[] = "TRUEVISION-XFILE.";  // with its terminating zero
    return footer ? b + Bytes(8, 0) + Bytes(tail, tail + sizeof tail) : b;
}

// A bitmap with a 40-byte information header (a 12-byte core one when `core`), a colour table
// of blue, green, red, reserved entries and the rows as stored.
inline Bytes Bitmap(int width, int height, int bits, const Bytes& rows, const Bytes& table = {},
                    bool core = false) {
    const int n = core ? 2 : 4;  // bytes of each size field
    Bytes b = With(With(Bytes(core ? 26 : 54, 0), 0, 0x4D42, 2), 14, core ? 12 : 40);
    b = With(With(b, 18, uint32_t(width), n), 18 + n, uint32_t(height), n);
    b = With(With(b, 18 + 2 * n, 1, 2), 20 + 2 * n, uint32_t(bits), 2);
    if (!core)
        b = With(b, 46, uint32_t(table.size() / 4));
    b = With(b, 10, uint32_t(b.size() + table.size())) + table + rows;
    return With(b, 2, uint32_t(b.size()));
}

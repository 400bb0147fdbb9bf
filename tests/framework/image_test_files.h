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
        std::string pattern = (std::filesystem::temp_directory_path() / "gulper-image-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::filesystem::path folder;
};

inline void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

inline void Put32(Bytes& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

struct TargaSpec {
    int type = 2;
    int width = 2;
    int height = 2;
    int depth = 24;
    int descriptor = 0;
    int colourMapType = 0;
    Bytes imageId;
    Bytes data;  // pixel data or runs, as stored
    bool footer = false;
};

inline Bytes Targa(const TargaSpec& s) {
    Bytes b(18, 0);
    b[0] = static_cast<uint8_t>(s.imageId.size());
    b[1] = static_cast<uint8_t>(s.colourMapType);
    b[2] = static_cast<uint8_t>(s.type);
    Put16(b, 12, s.width);
    Put16(b, 14, s.height);
    b[16] = static_cast<uint8_t>(s.depth);
    b[17] = static_cast<uint8_t>(s.descriptor);
    b.insert(b.end(), s.imageId.begin(), s.imageId.end());
    b.insert(b.end(), s.data.begin(), s.data.end());
    if (s.footer) {
        const std::string tail = "TRUEVISION-XFILE.";
        b.insert(b.end(), 8, 0);
        b.insert(b.end(), tail.begin(), tail.end());
        b.push_back(0);
    }
    return b;
}

struct BitmapSpec {
    int width = 1;
    int height = 1;  // negative: rows stored top row first
    int bits = 24;
    std::vector<Bytes> rows;   // file rows as stored, padding included
    std::vector<Bytes> table;  // 8 bits: entries of blue, green, red, reserved
    uint32_t coloursUsed = 0;  // 0: the table's size
    uint32_t imageSize = 0;
};

inline Bytes Bitmap(const BitmapSpec& s) {
    Bytes b(54, 0);
    Bytes table;
    for (const Bytes& entry : s.table) {
        table.insert(table.end(), entry.begin(), entry.end());
    }
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<uint32_t>(54 + table.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, s.bits);
    Put32(b, 34, s.imageSize);
    Put32(b, 46, s.coloursUsed != 0 ? s.coloursUsed : static_cast<uint32_t>(s.table.size()));
    b.insert(b.end(), table.begin(), table.end());
    for (const Bytes& row : s.rows) {
        b.insert(b.end(), row.begin(), row.end());
    }
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

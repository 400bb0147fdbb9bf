// Writes the fuzzers' seed corpus: small valid files of each kind the readers take.
// Usage: fuzz_seeds <folder>; makes <folder>/tga, <folder>/bmp, <folder>/image (every picture
// format Image::Load accepts) and <folder>/config.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

bool Save(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes Targa(int type, int width, int height, int depth, int descriptor, const Bytes& data,
            bool footer) {
    Bytes b(18, 0);
    b[2] = static_cast<uint8_t>(type);
    Put16(b, 12, width);
    Put16(b, 14, height);
    b[16] = static_cast<uint8_t>(depth);
    b[17] = static_cast<uint8_t>(descriptor);
    b.insert(b.end(), data.begin(), data.end());
    if (footer) {
        const std::string tail = "TRUEVISION-XFILE.";
        b.insert(b.end(), 8, 0);
        b.insert(b.end(), tail.begin(), tail.end());
        b.push_back(0);
    }
    return b;
}

Bytes Bitmap(int width, int height, int bits, const Bytes& table, const Bytes& rows) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<uint32_t>(54 + table.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 46, static_cast<uint32_t>(table.size() / 4));
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), rows.begin(), rows.end());
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

// A 4 x 4 picture with a translucent corner, written by the platform's encoder into `path`.
bool Encoded(const std::filesystem::path& path, bool jpeg) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        return false;
    }
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    for (int i = 0; i < 4 * 4 * 4; ++i) {
        pixels[i] = static_cast<uint8_t>(i * 37);
    }
    pixels[3] = 100;
    const int result =
        jpeg ? IMG_SaveJPG(surface, path.c_str(), 90) : IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return result == 0;
}

// A GIF: a two-colour table, a graphic control extension, then one frame per LZW stream.
Bytes Gif(int width, int height, const std::vector<Bytes>& frames) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 255, 0, 0, 255, 255, 255};
    Put16(b, 6, width);
    Put16(b, 8, height);
    for (const Bytes& lzw : frames) {
        b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, 1, 0, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
        Put16(b, b.size() - 6, width);
        Put16(b, b.size() - 4, height);
        b.push_back(static_cast<uint8_t>(lzw.size()));
        b.insert(b.end(), lzw.begin(), lzw.end());
        b.push_back(0);
    }
    b.push_back(0x3B);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const char* kind : {"tga", "bmp", "image", "config"}) {
        std::filesystem::create_directories(root / kind);
    }
    const Bytes pixels24 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes pixels32 = {1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 0, 10, 11, 12, 64};
    bool ok = Save(root / "tga/plain24", Targa(2, 2, 2, 24, 0, pixels24, false)) &&
              Save(root / "tga/plain32-footer", Targa(2, 2, 2, 32, 0, pixels32, true)) &&
              Save(root / "tga/top-down", Targa(2, 2, 2, 24, 0x20, pixels24, true)) &&
              Save(root / "tga/rle-repeat", Targa(10, 2, 2, 24, 0, {0x83, 1, 2, 3}, false)) &&
              Save(root / "tga/rle-mixed",
                   Targa(10, 3, 2, 32, 0x20,
                         {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x82, 9, 9, 9, 9}, true));
    ok = ok &&
         Save(root / "bmp/colour24",
              Bitmap(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})) &&
         Save(root / "bmp/top-down24", Bitmap(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0})) &&
         Save(root / "bmp/grey8",
              Bitmap(3, 1, 8, {0, 0, 0, 0, 128, 128, 128, 0, 255, 255, 255, 0}, {2, 1, 0, 0})) &&
         Save(root / "bmp/colour8",
              Bitmap(2, 2, 8, {10, 20, 30, 0, 200, 100, 50, 0}, {0, 1, 0, 0, 1, 0, 0, 0}));
    // Image::Load takes every kind above too; these reach the platform decoders.
    for (const char* kind : {"tga", "bmp"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / kind)) {
            std::filesystem::copy_file(
                entry.path(),
                root / "image" / (std::string(kind) + "-" + entry.path().filename().string()),
                std::filesystem::copy_options::overwrite_existing);
        }
    }
    Bytes bitmap16 = Bitmap(1, 2, 16, {}, {0x1F, 0x00, 0, 0, 0x00, 0x7C, 0, 0});
    // Codes clear, 0, 1, end (red, white) and clear, 0, end (red) at 3 bits.
    ok = ok && Encoded(root / "image/png", false) && Encoded(root / "image/jpeg", true) &&
         Save(root / "image/gif", Gif(2, 1, {{0x44, 0x0A}})) &&
         Save(root / "image/gif-two-frames", Gif(1, 1, {{0x44, 0x01}, {0x44, 0x01}})) &&
         Save(root / "image/bmp16", bitmap16);
    const std::string config =
        "control 1\nn_moves_blue_ghosts 200\nn_moves_ghost_appears 60\nred_ghost 1\n"
        "green_ghost 1\norange_ghost 0\nturquoise_ghost 1\nlength_attack_mode 1500\n"
        "length_scatter_mode 250\npowerpill_slowdown_factor 2\nghost_value 250\n"
        "powerpill_value 100\ndot_value 10\nn_moves_fruit_appears 100\nfruit_value 100\n"
        "fps 10\nred_ghost_slow_down_factor 1\ngreen_ghost_slow_down_factor 2\n"
        "orange_ghost_slow_down_factor 3\nturquoise_ghost_slow_down_factor 4\n";
    ok = ok && Save(root / "config/all-keys", Bytes(config.begin(), config.end())) &&
         Save(root / "config/short", Bytes{'f', 'p', 's', ' ', '9', '9', '\n', 'x'});
    if (!ok) {
        std::fprintf(stderr, "fuzz_seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}

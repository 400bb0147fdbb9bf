#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "framework/Image.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The generator makes the committed bytes; in them the Gulper's mouth (black inside its disc)
// and the ghosts' pupils (off the middle of the whites) lie toward the way the name says.
TEST(Pictures, RegeneratedPicturesAreTheCommittedOnesFacingTheirWays) {
    const fs::path dir =
        fs::temp_directory_path() / ("gulper-pictures-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(std::system((std::string(MAKE_PICTURES_PATH) + " " + dir.string()).c_str()), 0);
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(Read(entry.path()), Read(fs::path(DATA_DIR) / entry.path().filename()))
            << entry.path().filename();
        ++count;
    }
    EXPECT_EQ(count, 30);  // 24 sprites, dot, pill, fruit and the three messages
    fs::remove_all(dir);
    // The centre of the pixels passing a test, from the middle of the sprite, and their number.
    auto centre = [](Image& image, auto test) {
        double n = 0, x = 0, y = 0;
        for (int row = 0; row < image.GetHeight(); ++row) {  // row 0 is the bottom one
            for (int col = 0; col < image.GetWidth(); ++col) {
                if (test(image.Row(row) + 3 * col, col - 9.5, row - 9.5)) {
                    n += 1, x += col - 9.5, y += row - 9.5;
                }
            }
        }
        return std::tuple{n, x / n, y / n};
    };
    auto mouth = [](const uint8_t* p, double x, double y) {
        return p[0] + p[1] + p[2] < 60 && x * x + y * y < 64;
    };
    auto pupil = [](const uint8_t* p, double, double) { return p[0] > 120 && p[1] + p[2] < 140; };
    auto white = [](const uint8_t* p, double, double) { return p[0] + p[1] + p[2] > 650; };
    for (const char* sprite :
         {"gulper", "redghost", "greenghost", "orangeghost", "turquoiseghost"}) {
        for (auto [way, dx, dy] :
             {std::tuple{"left", -1, 0}, {"right", 1, 0}, {"up", 0, 1}, {"down", 0, -1}}) {
            Image image;
            const std::string file = std::string(DATA_DIR) + "/" + sprite + way + ".tga";
            ASSERT_TRUE(image.extra->LoadTGA(file.c_str())) << file;
            const bool gulper = std::string(sprite) == "gulper";
            const auto [n, x, y] = gulper ? centre(image, mouth) : centre(image, pupil);
            const auto [whites, wx, wy] = gulper ? std::tuple{1.0, 0.0, 0.0} : centre(image, white);
            ASSERT_GT(n * whites, 0) << file;
            EXPECT_GT((x - wx) * dx + (y - wy) * dy, gulper ? 2.5 : 0.5) << file;
            EXPECT_LT(std::abs((x - wx) * dy + (y - wy) * dx), gulper ? 99 : 0.5) << file;
        }
    }
}

}  // namespace

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "framework/Image.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A BGR pixel within 40 of a colour in each channel.
bool Near(const uint8_t* p, int r, int g, int b) {
    return std::abs(p[2] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[0] - b) < 40;
}

// Share of pixels close to a colour.
double Share(Image& image, int r, int g, int b) {
    int hits = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.GetWidth(); ++x) {
            hits += Near(row + 3 * x, r, g, b);
        }
    }
    return static_cast<double>(hits) / (image.GetWidth() * image.GetHeight());
}

// Centre of the pixels close to a colour, in drawing coordinates: x to the right, y up (the
// first row is the bottom one). Returns false when there are none.
bool Centre(Image& image, int r, int g, int b, double* cx, double* cy) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.GetWidth(); ++x) {
            if (Near(row + 3 * x, r, g, b)) {
                sx += x + 0.5;
                sy += y + 0.5;
                ++n;
            }
        }
    }
    if (n == 0) {
        return false;
    }
    *cx = sx / n;
    *cy = sy / n;
    return true;
}

// A picture drawn upside down or a left one saved as right would still pass the colour shares.
TEST(Pictures, SpritesLookTheWayTheirNamesSay) {
    const struct {
        const char* way;
        double dx, dy;
    } ways[] = {{"left", -1, 0}, {"right", 1, 0}, {"up", 0, 1}, {"down", 0, -1}};
    for (const auto& w : ways) {
        Image gulper;
        ASSERT_TRUE(
            gulper.extra->LoadTGA((std::string(DATA_DIR) + "/gulper" + w.way + ".tga").c_str()));
        // The open mouth (with the small eye, the black inside the disc) lies toward the way.
        double blackX = 0, blackY = 0;
        int blacks = 0;
        for (int row = 0; row < gulper.GetHeight(); ++row) {
            for (int col = 0; col < gulper.GetWidth(); ++col) {
                const uint8_t* p = gulper.Row(row) + 3 * col;
                const double px = col + 0.5 - 10, py = row + 0.5 - 10;
                if (p[0] + p[1] + p[2] < 60 && px * px + py * py < 8 * 8) {
                    blackX += px;
                    blackY += py;
                    ++blacks;
                }
            }
        }
        ASSERT_GT(blacks, 0) << w.way;
        EXPECT_GT((blackX * w.dx + blackY * w.dy) / blacks, 2.5) << "gulper" << w.way;
        for (const char* ghost : {"red", "green", "orange", "turquoise"}) {
            Image image;
            const std::string file = std::string(DATA_DIR) + "/" + ghost + "ghost" + w.way + ".tga";
            ASSERT_TRUE(image.extra->LoadTGA(file.c_str())) << file;
            // The pupils sit off the middle of the whites toward the way.
            double x = 0, y = 0, eyeX = 0, eyeY = 0;
            ASSERT_TRUE(Centre(image, 30, 30, 160, &x, &y)) << file;
            ASSERT_TRUE(Centre(image, 255, 255, 255, &eyeX, &eyeY)) << file;
            EXPECT_GT((x - eyeX) * w.dx + (y - eyeY) * w.dy, 0.5) << file;
            EXPECT_LT(std::abs((x - eyeX) * w.dy + (y - eyeY) * w.dx), 0.5) << file;
        }
    }
}

TEST(Pictures, RegeneratingGivesTheCommittedBytes) {
    const fs::path dir =
        fs::temp_directory_path() / ("gulper-pictures-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(std::system((std::string(MAKE_PICTURES_PATH) + " " + dir.string()).c_str()), 0);
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const fs::path committed = fs::path(DATA_DIR) / entry.path().filename();
        ASSERT_TRUE(fs::exists(committed)) << committed;
        EXPECT_EQ(Read(entry.path()), Read(committed)) << entry.path().filename();
        ++count;
    }
    EXPECT_EQ(count, 30);  // 24 sprites, dot, pill, fruit and the three messages
    fs::remove_all(dir);
}

TEST(Pictures, EveryPictureLoadsWithItsSizeAndColours) {
    const std::string data = DATA_DIR;
    const struct {
        const char* prefix;
        int r, g, b;
        double least;
    } sprites[] = {{"gulper", 255, 230, 0, 0.4},         {"redghost", 230, 0, 0, 0.4},
                   {"greenghost", 0, 200, 60, 0.4},      {"orangeghost", 255, 150, 0, 0.4},
                   {"turquoiseghost", 0, 220, 220, 0.4}, {"blueghost", 40, 40, 230, 0.4}};
    for (const auto& s : sprites) {
        for (const char* way : {"left", "right", "up", "down"}) {
            Image image;
            const std::string file = data + "/" + s.prefix + way + ".tga";
            ASSERT_TRUE(image.extra->LoadTGA(file.c_str())) << file;
            EXPECT_LE(image.GetWidth(), 20);
            EXPECT_LE(image.GetHeight(), 20);
            EXPECT_GT(Share(image, s.r, s.g, s.b), s.least) << file;
            // Sprites are drawn square onto the black board: their corners must not show.
            const int w = image.GetWidth(), h = image.GetHeight();
            for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
                EXPECT_TRUE(Near(image.Row(y) + 3 * x, 0, 0, 0)) << file << " at " << x << "," << y;
            }
        }
    }
    for (const char* full : {"start", "win", "lose"}) {
        Image image;
        ASSERT_TRUE(image.extra->LoadTGA((data + "/" + full + ".tga").c_str()));
        EXPECT_LE(image.GetWidth(), 380);
        EXPECT_LE(image.GetHeight(), 120);
    }
    Image fruit;
    ASSERT_TRUE(fruit.extra->LoadTGA((data + "/fruit.tga").c_str()));
    EXPECT_GT(Share(fruit, 220, 0, 30), 0.2);
}

}  // namespace

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "framework/Image.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A test of a BGR pixel within 40 of a colour in each channel.
auto Near(int r, int g, int b) {
    return [=](const uint8_t* p, double, double) {
        return std::abs(p[2] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[0] - b) < 40;
    };
}

// The pixels passing a test, and their centre in drawing coordinates: x to the right, y up
// (the first row is the bottom one).
struct Match {
    int count = 0;
    double x = 0, y = 0;
};
template <typename Test>
Match Find(Image& image, Test test) {
    Match m;
    for (int row = 0; row < image.GetHeight(); ++row) {
        for (int col = 0; col < image.GetWidth(); ++col) {
            if (test(image.Row(row) + 3 * col, col + 0.5, row + 0.5)) {
                ++m.count, m.x += col + 0.5, m.y += row + 0.5;
            }
        }
    }
    if (m.count > 0) {
        m.x /= m.count, m.y /= m.count;
    }
    return m;
}

// A picture drawn upside down or a left one saved as right would still pass the colour shares.
TEST(Pictures, SpritesLookTheWayTheirNamesSay) {
    const struct {
        const char* prefix;
        int r, g, b;
    } sprites[] = {{"gulper", 255, 230, 0},         {"redghost", 230, 0, 0},
                   {"greenghost", 0, 200, 60},      {"orangeghost", 255, 150, 0},
                   {"turquoiseghost", 0, 220, 220}, {"blueghost", 40, 40, 230}};
    const struct {
        const char* way;
        double dx, dy;
    } ways[] = {{"left", -1, 0}, {"right", 1, 0}, {"up", 0, 1}, {"down", 0, -1}};
    for (const auto& s : sprites) {
        for (const auto& w : ways) {
            Image image;
            const std::string file = std::string(DATA_DIR) + "/" + s.prefix + w.way + ".tga";
            ASSERT_TRUE(image.extra->LoadTGA(file.c_str())) << file;
            const int width = image.GetWidth(), height = image.GetHeight();
            EXPECT_LE(width, 20) << file;
            EXPECT_LE(height, 20) << file;
            const int share = Find(image, Near(s.r, s.g, s.b)).count;
            EXPECT_GT(static_cast<double>(share) / (width * height), 0.4) << file;
            // Sprites are drawn square onto the black board: their corners must not show.
            for (const auto& [x, y] :
                 {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}}) {
                EXPECT_TRUE(Near(0, 0, 0)(image.Row(y) + 3 * x, x, y))
                    << file << " at " << x << "," << y;
            }
            if (s.prefix == std::string("gulper")) {
                // The open mouth (with the small eye, the black inside the disc) lies toward
                // the way.
                const Match mouth = Find(image, [](const uint8_t* p, double x, double y) {
                    return p[0] + p[1] + p[2] < 60 &&
                           (x - 10) * (x - 10) + (y - 10) * (y - 10) < 64;
                });
                ASSERT_GT(mouth.count, 0) << file;
                EXPECT_GT((mouth.x - 10) * w.dx + (mouth.y - 10) * w.dy, 2.5) << file;
            } else if (s.prefix != std::string("blueghost")) {
                // The pupils sit off the middle of the whites toward the way.
                const Match pupils = Find(image, Near(30, 30, 160));
                const Match whites = Find(image, Near(255, 255, 255));
                ASSERT_GT(pupils.count, 0) << file;
                ASSERT_GT(whites.count, 0) << file;
                const double dx = pupils.x - whites.x, dy = pupils.y - whites.y;
                EXPECT_GT(dx * w.dx + dy * w.dy, 0.5) << file;
                EXPECT_LT(std::abs(dx * w.dy + dy * w.dx), 0.5) << file;
            }
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

TEST(Pictures, MessagesFitTheBoardAndTheFruitIsRed) {
    for (const char* full : {"start", "win", "lose"}) {
        Image image;
        ASSERT_TRUE(image.extra->LoadTGA((std::string(DATA_DIR) + "/" + full + ".tga").c_str()));
        EXPECT_LE(image.GetWidth(), 380) << full;
        EXPECT_LE(image.GetHeight(), 120) << full;
    }
    Image fruit;
    ASSERT_TRUE(fruit.extra->LoadTGA(DATA_DIR "/fruit.tga"));
    EXPECT_GT(static_cast<double>(Find(fruit, Near(220, 0, 30)).count) /
                  (fruit.GetWidth() * fruit.GetHeight()),
              0.2);
}

}  // namespace

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/Image.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Share of pixels close to a colour.
double Share(Image& image, int r, int g, int b) {
    int hits = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.GetWidth(); ++x) {
            const uint8_t* p = row + 3 * x;
            hits += std::abs(p[2] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[0] - b) < 40;
        }
    }
    return static_cast<double>(hits) / (image.GetWidth() * image.GetHeight());
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

// The sprites' pictures: read once a run from data/, copied into every sprite made later, and
// not read at all while a headless run asks for none.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/ghosts/colour_ghosts.h"
#include "game/sprite_pictures.h"
#include "tests/game/board_state.h"

namespace fs = std::filesystem;

namespace {

bool SamePixels(const Image& a, const Image& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() ||
        a.BytesPerPixel() != b.BytesPerPixel()) {
        return false;
    }
    const size_t row = static_cast<size_t>(a.GetWidth()) * a.BytesPerPixel();
    for (int y = 0; y < a.GetHeight(); ++y) {
        if (std::memcmp(a.Row(y), b.Row(y), row) != 0) {
            return false;
        }
    }
    return true;
}

// Every picture a Gulper and the four ghosts carry, with the file it comes from.
struct Carried {
    const Image* image;
    std::string file;
};
std::vector<Carried> Pictures(const PlayerSprite& player, const std::vector<Ghost*>& ghosts) {
    const char* const directions[] = {"left", "right", "down", "up"};
    std::vector<Carried> all;
    const Image* own[] = {&player.imageLeft, &player.imageRight, &player.imageDown,
                          &player.imageUp};
    for (int d = 0; d < 4; ++d) {
        all.push_back({own[d], std::string("data/gulper") + directions[d] + ".tga"});
    }
    for (size_t i = 0; i < ghosts.size(); ++i) {
        const Ghost& g = *ghosts[i];
        const Image* colour[] = {&g.imageLeft, &g.imageRight, &g.imageDown, &g.imageUp};
        const Image* blue[] = {&g.blueImageLeft, &g.blueImageRight, &g.blueImageDown,
                               &g.blueImageUp};
        for (int d = 0; d < 4; ++d) {
            all.push_back({colour[d], std::string("data/") + GhostColourName(static_cast<int>(i)) +
                                          "ghost" + directions[d] + ".tga"});
            all.push_back({blue[d], std::string("data/blueghost") + directions[d] + ".tga"});
        }
    }
    return all;
}

// A working folder holding a copy of the game's data/, left again at the end.
class DataFolder : public testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("gulper-pictures-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy(fs::path(GULPER_SOURCE_DIR) / "data", folder / "data");
        before = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(folder);
    }
    static std::vector<Ghost*> MakeGhosts() {
        std::vector<Ghost*> ghosts;
        for (GhostColour colour : TICK_ORDER) {
            ghosts.push_back(NewGhost(colour));
        }
        return ghosts;
    }
    fs::path folder, before;
};

TEST_F(DataFolder, EveryPictureIsReadOnceAndCopiedIntoLaterSprites) {
    auto player = std::make_unique<ScriptedPlayer>();
    std::vector<Ghost*> ghosts = MakeGhosts();
    for (const Carried& c : Pictures(*player, ghosts)) {
        Image fromFile;
        ASSERT_TRUE(fromFile.Load(c.file.c_str())) << c.file;
        EXPECT_TRUE(SamePixels(*c.image, fromFile)) << c.file;
    }
    const std::vector<Carried> first = Pictures(*player, ghosts);

    // Without the files, later sprites still carry the same pictures: nothing is read again.
    fs::remove_all(folder / "data");
    auto again = std::make_unique<ScriptedPlayer>();
    std::vector<Ghost*> later = MakeGhosts();
    const std::vector<Carried> second = Pictures(*again, later);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(second[i].image->IsValid()) << second[i].file;
        EXPECT_TRUE(SamePixels(*second[i].image, *first[i].image)) << second[i].file;
        EXPECT_NE(second[i].image->extra->pixels, first[i].image->extra->pixels);  // a copy each
    }
    for (Ghost* g : ghosts) {
        delete g;
    }
    for (Ghost* g : later) {
        delete g;
    }
}

TEST_F(DataFolder, AHeadlessRunsSpritesCarryNoPictures) {
    EXPECT_TRUE(SpritePicturesWanted());
    ScriptedPlayer before;
    {
        const NoSpritePictures headless;
        EXPECT_FALSE(SpritePicturesWanted());
        {
            const NoSpritePictures nested;
            EXPECT_FALSE(SpritePicturesWanted());
        }
        EXPECT_FALSE(SpritePicturesWanted());  // the outer run still draws nothing
        auto player = std::make_unique<ScriptedPlayer>();
        std::vector<Ghost*> ghosts = MakeGhosts();
        for (const Carried& c : Pictures(*player, ghosts)) {
            EXPECT_FALSE(c.image->IsValid()) << c.file;
        }
        for (Ghost* g : ghosts) {
            delete g;
        }
    }
    EXPECT_TRUE(SpritePicturesWanted());
    ScriptedPlayer drawn;  // pictures again, as the run had them before
    EXPECT_EQ(drawn.imageLeft.IsValid(), before.imageLeft.IsValid());
    EXPECT_TRUE(SamePixels(drawn.imageLeft, before.imageLeft));
}

}  // namespace

// The picture generator gives the committed pictures, byte for byte, and the picture tools
// fail, by name, on a write that fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Pictures, RegeneratingGivesTheCommittedBytes) {
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
}

// A picture that cannot be written fails the tool with its name; the pictures' own names never
// hold a half-written file.
TEST(Pictures, AFailedWriteIsNamedAndFails) {
    const fs::path dir =
        fs::temp_directory_path() / ("gulper-pictures-full-" + std::to_string(::getpid()));
    fs::create_directories(dir / "icons" / "16x16" / "apps");
    fs::create_symlink("/dev/full", dir / "gulperleft.tga");
    fs::create_symlink("/dev/full", dir / "icons" / "16x16" / "apps" / "gulper.png");
    const std::string err = " 2>" + (dir / "err").string();
    EXPECT_NE(std::system((std::string(MAKE_PICTURES_PATH) + " " + dir.string() + err).c_str()), 0);
    EXPECT_NE(Read(dir / "err").find("cannot write " + dir.string() + "/gulperleft.tga: No space"),
              std::string::npos)
        << Read(dir / "err");
    EXPECT_NE(std::system((std::string(MAKE_ICONS_PATH) + " " DATA_DIR "/gulperright.tga " +
                           (dir / "icons").string() + " 16" + err)
                              .c_str()),
              0);
    EXPECT_NE(Read(dir / "err").find("16x16/apps/gulper.png: No space"), std::string::npos)
        << Read(dir / "err");
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
    fs::remove_all(dir);
}

}  // namespace

// The picture generator gives the committed pictures, byte for byte.
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

}  // namespace

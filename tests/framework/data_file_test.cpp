// Opening files from outside: only ordinary files of bounded size are data files, opening never
// waits, and a named file may be a pipe read once up to its cap.
#include "framework/data_file.h"

#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "framework/platform/picture_loader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

class DataFiles : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
    std::string Write(const char* name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    // Every kind of name that is not an ordinary file, by what it is called.
    void MakeNonFiles() const {
        ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
        fs::create_symlink("/dev/zero", Path("zero"));
        fs::create_directory(Path("folder"));
        fs::create_symlink(Path("loop"), Path("loop"));
        fs::create_symlink(Path("gone"), Path("nowhere"));
    }
    const fs::path dir = fs::temp_directory_path() / ("gulper-data-" + std::to_string(getpid()));
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(DataFiles, OnlyAnOrdinaryFileWithinItsCapIsOpened) {
    MakeNonFiles();
    const struct {
        const char* name;
        const char* why;
    } refused[] = {{"pipe", "is a named pipe, not an ordinary file"},
                   {"zero", "is a character device, not an ordinary file"},
                   {"folder", "is a folder, not an ordinary file"},
                   {"loop", "is a link that leads round in a loop"},
                   {"nowhere", "is a link to something that is not there"},
                   {"absent", DATA_FILE_MISSING}};
    for (const auto& r : refused) {
        std::string why;
        // A pipe without a writer would block an ordinary open for ever.
        EXPECT_EQ(OpenDataFile(Path(r.name).c_str(), 100, &why), nullptr) << r.name;
        EXPECT_EQ(why, r.why) << r.name;
        std::string bytes = "stale";
        EXPECT_FALSE(ReadDataFile(Path(r.name).c_str(), 100, &bytes)) << r.name;
        EXPECT_EQ(bytes, "") << r.name;
    }
    const std::string ten = Write("ten", "0123456789");
    std::string bytes, why;
    EXPECT_TRUE(ReadDataFile(ten.c_str(), 10, &bytes));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_FALSE(ReadDataFile(ten.c_str(), 9, &bytes, &why));
    EXPECT_EQ(why, "is larger than the 9 bytes it may be");
    // The file is handed on blocking, as its readers expect.
    File file = OpenDataFile(ten.c_str(), 10);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fcntl(fileno(file.get()), F_GETFL) & O_NONBLOCK, 0);
}

TEST_F(DataFiles, ANamedFileMayBeAPipeReadOnceUpToItsCap) {
    MakeNonFiles();
    std::string bytes, why;
    NamedFileKind kind = NamedFileKind::ORDINARY;
    // A writer that comes late and writes in pieces is waited for, piece by piece.
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const int fd = open(Path("pipe").c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(write(fd, "fps ", 4), 4);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(write(fd, "17\n", 3), 3);
        close(fd);
    });
    EXPECT_TRUE(ReadNamedFile(Path("pipe").c_str(), 100, 2000, &bytes, &why, &kind)) << why;
    writer.join();
    EXPECT_EQ(bytes, "fps 17\n");
    EXPECT_EQ(kind, NamedFileKind::STREAM);

    // A device that never ends is refused at the cap, at once.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ReadNamedFile(Path("zero").c_str(), 1 << 20, 2000, &bytes, &why));
    EXPECT_EQ(why, "gives more than the 1048576 bytes it may");
    EXPECT_LT(SecondsSince(start), 1.5);

    // A pipe that stays silent is given up after the wait.
    EXPECT_FALSE(ReadNamedFile(Path("pipe").c_str(), 100, 200, &bytes, &why));
    EXPECT_EQ(why, "gave nothing for 200 ms; reading it stopped");

    EXPECT_FALSE(ReadNamedFile(Path("folder").c_str(), 100, 200, &bytes, &why));
    EXPECT_EQ(why, "is a folder, not a file");
    EXPECT_FALSE(ReadNamedFile(Path("nowhere").c_str(), 100, 200, &bytes, &why));
    EXPECT_EQ(why, "is a link to something that is not there");

    const std::string ten = Write("ten", "0123456789");
    EXPECT_TRUE(ReadNamedFile(ten.c_str(), 10, 200, &bytes, &why, &kind));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(kind, NamedFileKind::ORDINARY);
    EXPECT_FALSE(ReadNamedFile(ten.c_str(), 9, 200, &bytes, &why));
}

// Every picture reader the game tries passes over what is not a file, at once; and the file's
// own size is held to the cap before its header is believed.
TEST_F(DataFiles, PictureReadersReadOnlyOrdinaryFilesWithinTheirCap) {
    MakeNonFiles();
    InstallPlatformImageReaders();
    Image image;
    for (const char* name : {"pipe", "zero", "folder", "loop", "nowhere"}) {
        EXPECT_FALSE(image.Load(Path(name).c_str())) << name;
        // The same under a Targa name, which lets the Targa reader try files without a footer.
        const std::string tga = Path(name) + ".tga";
        fs::create_symlink(Path(name), tga);
        EXPECT_FALSE(image.Load(tga.c_str())) << name;
    }
    // A 2 x 2 uncompressed Targa picture, 18 + 12 bytes.
    std::string targa(18, '\0');
    targa[2] = 2, targa[12] = 2, targa[14] = 2, targa[16] = 24;
    const std::string picture = Write("small.tga", targa + std::string(12, '\x7f'));
    EXPECT_TRUE(image.Load(picture.c_str()));
    // A 2 x 2 24-bit bitmap: 54 bytes of headers, two rows of 8 bytes.
    std::string bmp(54, '\0');
    bmp[0] = 'B', bmp[1] = 'M', bmp[2] = 70, bmp[10] = 54, bmp[14] = 40, bmp[18] = 2;
    bmp[22] = 2, bmp[26] = 1, bmp[28] = 24;
    const std::string bitmap = Write("small.bmp", bmp + std::string(16, '\x40'));
    const uint64_t size = 70;
    platform::DecodedPicture decoded;
    EXPECT_TRUE(platform::DecodeBitmapFile(bitmap.c_str(), {1024, 16, size}, decoded));
    EXPECT_FALSE(platform::DecodeBitmapFile(bitmap.c_str(), {1024, 16, size - 1}, decoded));
}

// A program's built-in files stand in only for names with nothing behind them, within the cap;
// a picture reads from one as from the file.
TEST_F(DataFiles, BuiltInFilesStandInOnlyForNamesThatAreNotThere) {
    MakeNonFiles();
    InstallPlatformImageReaders();
    std::string targa(18, '\0');
    targa[2] = 2, targa[12] = 2, targa[14] = 2, targa[16] = 24;
    targa += std::string(12, '\x7f');
    const std::string absent = Path("absent.txt"), present = Write("present.txt", "on disk");
    const std::string folder = Path("folder"), picture = Path("inside.tga");
    const auto bytes = [](const std::string& text) {
        return reinterpret_cast<const unsigned char*>(text.data());
    };
    const std::string inside = "built in";
    const BuiltInFile files[] = {{absent.c_str(), bytes(inside), inside.size()},
                                 {present.c_str(), bytes(inside), inside.size()},
                                 {folder.c_str(), bytes(inside), inside.size()},
                                 {picture.c_str(), bytes(targa), targa.size()}};
    SetBuiltInFiles(files, 4);
    std::string got, why;
    EXPECT_TRUE(ReadDataFile(absent.c_str(), 100, &got, &why)) << why;
    EXPECT_EQ(got, inside);
    // Repeated slashes name the same file, as "data//dot.tga" does.
    const std::string doubled = dir.string() + "//absent.txt";
    EXPECT_TRUE(ReadDataFile(doubled.c_str(), 100, &got, &why)) << why;
    EXPECT_EQ(got, inside);
    EXPECT_FALSE(ReadDataFile(absent.c_str(), 4, &got, &why));
    EXPECT_EQ(why, "is larger than the 4 bytes it may be");
    EXPECT_TRUE(ReadDataFile(present.c_str(), 100, &got, &why));
    EXPECT_EQ(got, "on disk");
    EXPECT_FALSE(ReadDataFile(folder.c_str(), 100, &got, &why));
    EXPECT_EQ(why, "is a folder, not an ordinary file");
    EXPECT_FALSE(ReadDataFile(Path("other").c_str(), 100, &got, &why));
    EXPECT_EQ(why, DATA_FILE_MISSING);
    File opened = OpenDataFile(absent.c_str(), 100);
    ASSERT_TRUE(opened);
    char read[16] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, opened.get()), inside.size());
    EXPECT_EQ(std::string(read), inside);
    Image image;
    EXPECT_TRUE(image.Load(picture.c_str()));
    EXPECT_EQ(image.GetWidth(), 2);
    SetBuiltInFiles(nullptr, 0);
    EXPECT_FALSE(ReadDataFile(absent.c_str(), 100, &got, &why));
}

}  // namespace

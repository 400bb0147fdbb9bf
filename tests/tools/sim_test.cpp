#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct SimRun {
    int status = -1;
    std::string out;
};

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("gulper-sim-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        config = (dir / "config.txt").string();
        std::ofstream(config) << "control 0\nfps 20\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    // Runs the simulator with the arguments; standard error is discarded, or read instead of
    // standard output when errorsOnly is set.
    SimRun Sim(const std::string& args, bool errorsOnly = false) {
        const std::string out = (dir / "out").string();
        const int status =
            std::system((std::string(GULPER_SIM_PATH) + " " + args +
                         (errorsOnly ? " 2>" + out + " >/dev/null" : " >" + out + " 2>/dev/null"))
                            .c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
    }
    fs::path dir;
    std::string config;
};

TEST_F(SimTest, BadUsageExitsWithTwo) {
    EXPECT_EQ(Sim("--games 0").status, 2);
    EXPECT_EQ(Sim("--games -3").status, 2);
    EXPECT_EQ(Sim("--games ten").status, 2);
    EXPECT_EQ(Sim("--frobnicate 1").status, 2);
    EXPECT_EQ(Sim("--seed").status, 2);
    EXPECT_EQ(Sim("--config " + (dir / "absent.txt").string()).status, 2);
    EXPECT_EQ(Sim("--csv /nonexistent-dir/x.csv --games 1").status, 2);
    // An unknown option is named as such, even as the last word.
    EXPECT_EQ(Sim("--games 1 --frobnicate", true)
                  .out.rfind("gulper-sim: unknown option --frobnicate\n", 0),
              0u);
    EXPECT_EQ(Sim("--games 1 --seed", true).out.rfind("gulper-sim: --seed needs a value\n", 0), 0u);
}

TEST_F(SimTest, SameSeedsGiveTheSameSummaryAndRows) {
    const std::string args = "--games 6 --seed 40 --config " + config + " --max-ticks 20000";
    const SimRun a = Sim(args + " --csv " + (dir / "a.csv").string());
    const SimRun b = Sim(args + " --csv " + (dir / "b.csv").string());
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out.find("games:        6\n"), std::string::npos) << a.out;
    const std::string csv = ReadFile(dir / "a.csv");
    EXPECT_EQ(csv, ReadFile(dir / "b.csv"));
    std::istringstream rows(csv);
    std::string line;
    std::getline(rows, line);
    EXPECT_EQ(line, "seed,result,score,food_left,ticks,decisions");
    int count = 0;
    while (std::getline(rows, line)) {
        EXPECT_EQ(line.rfind(std::to_string(40 + count) + ",", 0), 0u) << line;
        ++count;
    }
    EXPECT_EQ(count, 6);
}

TEST_F(SimTest, ReplayPrintsTheGamesLogAndMatchesTheLoggedRun) {
    const SimRun replay = Sim("--replay 41 --config " + config);
    ASSERT_EQ(replay.status, 0);
    EXPECT_NE(replay.out.find("---------------------------FEEDING STATE------------------\n"),
              std::string::npos);
    // The same game within a run logs the same lines.
    const fs::path log = dir / "run.log";
    ASSERT_EQ(Sim("--games 1 --seed 41 --config " + config + " --log " + log.string()).status, 0);
    EXPECT_EQ(ReadFile(log), "=== seed 41 ===\n" + replay.out);
    // Other seeds play other games.
    EXPECT_NE(Sim("--replay 42 --config " + config).out, replay.out);
}

TEST_F(SimTest, MaxTicksStopsAGameUnfinished) {
    const fs::path csv = dir / "short.csv";
    ASSERT_EQ(Sim("--games 2 --max-ticks 50 --config " + config + " --csv " + csv.string()).status,
              0);
    const std::string rows = ReadFile(csv);
    EXPECT_NE(rows.find(",unfinished,"), std::string::npos) << rows;
    EXPECT_NE(rows.find(",50,"), std::string::npos) << rows;
}

TEST_F(SimTest, AgentsAreListedAndChosenByName) {
    const SimRun list = Sim("--agents");
    ASSERT_EQ(list.status, 0);
    EXPECT_EQ(list.out.rfind("planner ", 0), 0u) << list.out;  // the default comes first
    EXPECT_NE(list.out.find("\nnearest-food "), std::string::npos) << list.out;
    const SimRun unknown = Sim("--agent nobody --games 1", true);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.out.find("no agent named \"nobody\"; the agents are planner, nearest-food"),
              std::string::npos)
        << unknown.out;

    const std::string args = "--games 4 --seed 5 --config " + config + " --max-ticks 20000";
    const SimRun planner = Sim(args);
    EXPECT_EQ(Sim(args + " --agent planner").out, planner.out);
    const SimRun greedy = Sim(args + " --agent nearest-food");
    ASSERT_EQ(greedy.status, 0);
    EXPECT_NE(greedy.out.find("agent:        nearest-food\n"), std::string::npos);
    EXPECT_EQ(Sim(args + " --agent nearest-food").out, greedy.out);
    EXPECT_NE(greedy.out.substr(greedy.out.find("games:")),
              planner.out.substr(planner.out.find("games:")));
    // The second agent's replay is its own log.
    const SimRun replay = Sim("--replay 5 --agent nearest-food --config " + config);
    EXPECT_EQ(replay.out.rfind("nearest-food: at (9,9), food at (", 0), 0u) << replay.out;
}

TEST_F(SimTest, LogMarksEveryGameWithItsSeed) {
    const fs::path log = dir / "run.log";
    ASSERT_EQ(
        Sim("--games 3 --seed 70 --max-ticks 300 --config " + config + " --log " + log.string())
            .status,
        0);
    std::istringstream lines(ReadFile(log));
    std::string line;
    std::string markers;
    while (std::getline(lines, line)) {
        if (line.rfind("===", 0) == 0) {
            markers += line + ";";
        }
    }
    EXPECT_EQ(markers, "=== seed 70 ===;=== seed 71 ===;=== seed 72 ===;");
}

TEST_F(SimTest, SummaryAndJsonAgreeOnSpreadAndLosses) {
    const fs::path json = dir / "run.json";
    const SimRun run = Sim("--games 12 --seed 1 --config " + config + " --max-ticks 30000 --json " +
                           json.string());
    ASSERT_EQ(run.status, 0);
    for (const char* line :
         {"score spread: min ", "ticks spread: min ", "caught by:    ", "caught while: "}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    const std::string text = ReadFile(json);
    EXPECT_EQ(text.rfind("{\n  \"agent\": \"planner\",", 0), 0u) << text.substr(0, 200);
    // One row per game, and every lost game names a ghost and a cell.
    size_t rows = 0;
    size_t lostRows = 0;
    for (size_t at = text.find("{\"seed\": "); at != std::string::npos;
         at = text.find("{\"seed\": ", at + 1)) {
        ++rows;
        const std::string row = text.substr(at, text.find('}', at) - at);
        if (row.find("\"result\": \"lost\"") != std::string::npos) {
            ++lostRows;
            EXPECT_NE(row.find("\"caught_by\": \""), std::string::npos) << row;
            EXPECT_EQ(row.find("\"caught_by\": \"none\""), std::string::npos) << row;
            EXPECT_NE(row.find("\"caught_at\": ["), std::string::npos) << row;
        }
    }
    EXPECT_EQ(rows, 12u);
    const size_t lostAt = run.out.find("lost:         ");
    ASSERT_NE(lostAt, std::string::npos);
    EXPECT_EQ(std::stoul(run.out.substr(lostAt + 14)), lostRows);
    EXPECT_NE(text.find("\"lost\": " + std::to_string(lostRows) + ","), std::string::npos);
}

TEST_F(SimTest, CheckConfigNamesEveryProblemItMeets) {
    const fs::path file = dir / "odd.txt";
    std::ofstream(file) << "contrl 0\nfps=20 5\nfps 50\nghost_value -4\nred_ghost 2\n"
                           "dot_value 3\ndot_value 7\nghost_value high\nfps 3\n";
    const SimRun run = Sim("--check-config " + file.string());
    ASSERT_EQ(run.status, 0);
    const char* const expected[] = {
        "line 1: \"contrl\" is not a setting; its value 0 is ignored; did you mean \"control\"?",
        "line 2: \"fps=20\" is not a setting; its value 5 is ignored; key and value are separated "
        "by white space, as in \"fps 20\"",
        "line 3: \"fps 50\" is outside 1 to 20; clamped to 20",
        "line 4: \"ghost_value -4\": a negative value is skipped",
        "line 5: \"red_ghost 2\": only 1 lets the ghost play",
        "line 7: \"dot_value\" was given before, on line 6; the last value holds",
        "line 8: \"ghost_value\" is followed by \"high\", not a whole number; reading stops here",
        "7 warnings:",
        // The values are the game's own reading: fps 3 on line 9 is never read.
        "  fps                               20\n",
        "  red_ghost                         0  (left out)\n",
        "  dot_value                         7\n",
        "  ghost_value                       250  default\n",
        "  control                           0  (the arrow keys steer)  default\n",
    };
    for (const char* line : expected) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    // Where reading stops, the lines after it are still looked at.
    const fs::path stops = dir / "stops.txt";
    std::ofstream(stops) << "contrl 0\nfps=20\nred_ghost off\n";
    const SimRun stopped = Sim("--check-config " + stops.string());
    for (const char* line : {
             "line 1: \"contrl\" is not a setting; its value 0 is ignored; did you mean "
             "\"control\"?",
             "line 2: \"fps=20\" is followed by \"red_ghost\", not a whole number; reading stops "
             "here: \"fps=20\" and everything after it are not read; key and value are separated "
             "by white space, as in \"fps 20\"",
             "line 3 (not read): \"off\" is not a whole number",
             "3 warnings:",
         }) {
        EXPECT_NE(stopped.out.find(line), std::string::npos) << line << "\n" << stopped.out;
    }
    EXPECT_EQ(Sim("--check-config " + (dir / "absent.txt").string()).status, 2);
    const fs::path clean = dir / "clean.txt";
    std::ofstream(clean) << "control 1 fps 20\n";
    EXPECT_NE(Sim("--check-config " + clean.string()).out.find("\nno warnings\n"),
              std::string::npos);
}

// An 8-bit RGB PNG file's pixels, top row first; empty when it cannot be read as one.
std::vector<uint8_t> ReadRgbPng(const fs::path& path, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        return {};
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return pixels;
}

TEST_F(SimTest, CatchMapColoursExactlyTheCellsWhereGamesWereLost) {
    const fs::path report = dir / "report";
    const fs::path json = dir / "run.json";
    ASSERT_EQ(Sim("--games 30 --seed 11 --config " + config + " --max-ticks 30000 --json " +
                  json.string() + " --report " + report.string())
                  .status,
              0);
    std::set<std::pair<int, int>> caught;
    const std::string rows = ReadFile(json);
    const std::regex cell("\"caught_at\": \\[(\\d+), (\\d+)\\]");
    for (std::sregex_iterator it(rows.begin(), rows.end(), cell), end; it != end; ++it) {
        caught.emplace(std::stoi((*it)[1]), std::stoi((*it)[2]));
    }
    ASSERT_GT(caught.size(), 3u);
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> pixels = ReadRgbPng(report / "caught.png", &width, &height);
    ASSERT_EQ(width, 19 * 20);
    ASSERT_EQ(height, 22 * 20);
    // Each cell's corner pixel: the background, a wall's blue, or a catch's warm colour. Row 0
    // of the board is the picture's bottom row of cells.
    std::set<std::pair<int, int>> coloured;
    for (int c = 0; c < 19; ++c) {
        for (int r = 0; r < 22; ++r) {
            const uint8_t* p = &pixels[((21 - r) * 20 + 3) * width * 3 + (c * 20 + 3) * 3];
            if (p[0] > 100 && p[2] < 160) {
                coloured.emplace(c, r);
            }
        }
    }
    EXPECT_EQ(coloured, caught);
}

TEST_F(SimTest, ReportWritesThePicturesAndOnePageHoldingThem) {
    const fs::path report = dir / "report" / "deeper";
    ASSERT_EQ(Sim("--games 5 --seed 3 --max-ticks 20000 --config " + config + " --report " +
                  report.string())
                  .status,
              0);
    for (const char* name : {"scores.png", "ticks.png", "caught.png"}) {
        EXPECT_EQ(ReadFile(report / name).substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
    }
    const std::string page = ReadFile(report / "index.html");
    size_t pictures = 0;
    for (size_t at = page.find("src=\"data:image/png;base64,iVBORw0KGgo"); at != std::string::npos;
         at = page.find("src=\"data:image/png;base64,iVBORw0KGgo", at + 1)) {
        ++pictures;
    }
    EXPECT_EQ(pictures, 3u);
    EXPECT_EQ(page.find("://"), std::string::npos);  // nothing to fetch
    // A folder that cannot be made fails before any game is played.
    EXPECT_EQ(Sim("--games 1 --report /proc/no-such-folder").status, 2);
}

}  // namespace

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
#include <string>
#include <utility>
#include <vector>

#include "game/maze.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir);
        std::ofstream(dir / "config.txt") << "control 0\nfps 20\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    // The exit status and standard output, or standard error when `errors` is set.
    std::pair<int, std::string> Sim(const std::string& args, bool errors = false) {
        const std::string out = (dir / "out").string(), command = GULPER_SIM_PATH " " + args;
        const int status = std::system(
            (command + (errors ? " 2>" + out + " >/dev/null" : " >" + out + " 2>/dev/null"))
                .c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
    }
    // A shell command line with the simulator first: its status and standard error.
    std::pair<int, std::string> Shell(const std::string& line) {
        const std::string err = (dir / "err").string();
        const int status = std::system(("{ " GULPER_SIM_PATH " " + line + "; } 2>" + err).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(err)};
    }
    const fs::path dir = fs::temp_directory_path() / ("gulper-sim-" + std::to_string(::getpid()));
    const std::string config = " --config " + (dir / "config.txt").string();
};

TEST_F(SimTest, BadUsageExitsWithTwoBeforeAnyGame) {
    for (const char* args : {"--games 0", "--games ten", "--seed -3", "--config /nonexistent.txt",
                             "--csv /nonexistent/x.csv", "--report /proc/no-such-folder"}) {
        EXPECT_EQ(Sim(args).first, 2) << args;
    }
    for (auto [args, error] : {std::pair{"--games 1 --frobnicate", "unknown option --frobnicate\n"},
                               {"--games 1 --seed", "--seed needs a value\n"},
                               {"--agent nobody",
                                "no agent named \"nobody\"; the agents are planner, nearest-food, "
                                "random, search, search-fast\n"},
                               {"--agent-stderr /dev/null",
                                "--agent-stderr is pass, drop or a folder that exists, not "
                                "\"/dev/null\"\n"},
                               {"--level nowhere",
                                "no level named \"nowhere\"; the levels are gentle, classic, "
                                "brisk, swift, relentless\n"},
                               {"--config data/config.txt --level swift",
                                "--config and --level each name the settings: give one of them, "
                                "once\n"},
                               {"--level swift --config data/config.txt",
                                "--config and --level each name the settings: give one of them, "
                                "once\n"}}) {
        const auto [status, text] = Sim(args, true);
        EXPECT_EQ(status, 2);
        EXPECT_EQ(text.rfind(std::string("gulper-sim: ") + error, 0), 0u) << text;
    }
}

// One run with every output: the same seeds give the same bytes, each game's replay is its part
// of the log, the summary counts the rows' losses and the catch map colours their cells.
TEST_F(SimTest, EveryOutputOfARunAgrees) {
    const std::string args = "--games 12 --seed 40 --max-ticks 30000" + config, d = dir.string();
    const auto [status, summary] =
        Sim(args + " --csv " + d + "/a.csv --log " + d + "/a.log --json " + d +
            "/a.json --report " + d + "/report/deeper");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(Sim(args + " --csv " + d + "/b.csv").second, summary);
    const std::string csv = ReadFile(dir / "a.csv"), log = ReadFile(dir / "a.log");
    EXPECT_EQ(ReadFile(dir / "b.csv"), csv);
    EXPECT_EQ(csv.rfind("seed,result,score,food_left,ticks,decisions\n40,", 0), 0u) << csv;
    for (int seed = 40; seed < 52; ++seed) {
        const std::string mark = "=== seed " + std::to_string(seed) + " ===\n";
        const size_t from = log.find(mark) + mark.size(), to = log.find("=== seed", from);
        EXPECT_EQ(log.substr(from, to - from),
                  Sim("--replay " + std::to_string(seed) + config).second);
        EXPECT_NE(csv.find("\n" + std::to_string(seed) + ","), std::string::npos) << seed;
    }
    EXPECT_EQ(Count(log, "=== seed"), 12u);
    // Every lost game names a ghost and the cell it was caught on.
    const std::string json = ReadFile(dir / "a.json");
    const std::regex lost(
        "\"result\": \"lost\"[^}]*\"caught_by\": \"(red|orange|green|turquoise)\", "
        "\"caught_at\": \\[(\\d+), (\\d+)\\]");
    std::set<std::pair<int, int>> caught;
    size_t losses = 0;
    for (std::sregex_iterator it(json.begin(), json.end(), lost), end; it != end; ++it, ++losses) {
        caught.emplace(std::stoi((*it)[2]), std::stoi((*it)[3]));
    }
    EXPECT_EQ(Count(json, "\"result\": \"lost\""), losses);
    EXPECT_EQ(Count(json, "{\"seed\": "), 12u);
    EXPECT_NE(summary.find("lost:         " + std::to_string(losses) + "\n"), std::string::npos);
    EXPECT_NE(json.find("\"lost\": " + std::to_string(losses) + ","), std::string::npos);
    ASSERT_GT(caught.size(), 3u);
    // Each cell's corner pixel is the background, a wall's blue or a catch's warm colour; row 0
    // of the board is the picture's bottom row of cells.
    const fs::path report = dir / "report" / "deeper";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (report / "caught.png").c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    ASSERT_EQ(static_cast<int>(image.width), BOARD_WIDTH);
    ASSERT_EQ(static_cast<int>(image.height), BOARD_HEIGHT);
    std::set<std::pair<int, int>> coloured;
    for (int col = 0; col < BOARD_COLUMNS; ++col) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const int x = col * CELL_SIZE + 3, y = (BOARD_ROWS - 1 - row) * CELL_SIZE + 3;
            const uint8_t* p = &pixels[(static_cast<size_t>(y) * BOARD_WIDTH + x) * 3];
            if (p[0] > 100 && p[2] < 160) {
                coloured.emplace(col, row);
            }
        }
    }
    EXPECT_EQ(coloured, caught);
    const std::string page = ReadFile(report / "index.html");
    // The map embedded, the charts drawn from the games on the page by the library inlined;
    // nothing to fetch.
    EXPECT_EQ(Count(page, "src=\"data:image/png;base64,iVBORw0KGgo"), 1u);
    EXPECT_EQ(Count(page, " src=\""), 1u);
    EXPECT_EQ(page.find("href="), std::string::npos);
    EXPECT_NE(page.find("Chart.js v"), std::string::npos);
    EXPECT_NE(page.find("[40,"), std::string::npos);
    for (const char* png : {"scores.png", "ticks.png"}) {
        EXPECT_EQ(ReadFile(report / png).substr(1, 3), "PNG") << png;
    }
}

TEST_F(SimTest, AgentsAreChosenByNameAndGamesStopAtMaxTicks) {
    EXPECT_EQ(Sim("--agents").second.rfind("planner ", 0), 0u);  // the default first
    const std::string args = "--games 4 --seed 5 --max-ticks 20000" + config;
    const std::string planner = Sim(args).second,
                      greedy = Sim(args + " --agent nearest-food").second;
    EXPECT_EQ(Sim(args + " --agent planner").second, planner);
    EXPECT_EQ(greedy.rfind("agent:        nearest-food\n", 0), 0u) << greedy;
    EXPECT_NE(greedy.substr(greedy.find("games:")), planner.substr(planner.find("games:")));
    const std::string cut = Sim("--games 2 --max-ticks 50" + config).second;
    EXPECT_NE(cut.find("unfinished:   2\n"), std::string::npos) << cut;
    EXPECT_NE(cut.find("ticks:        mean 50.0, median 50.0\n"), std::string::npos) << cut;
}

TEST_F(SimTest, CheckConfigNamesEveryProblemItMeets) {
    const struct {
        const char* file;
        std::vector<const char*> lines;
    } cases[] = {
        {"contrl 0\nfps=20 5\nfps 50\nghost_value -4\nred_ghost 2\ndot_value 3\ndot_value 7\n"
         "ghost_value high\nfps 3\n",
         {"line 1: \"contrl\" is not a setting; its value 0 is ignored; did you mean \"control\"?",
          "line 2: \"fps=20\" is not a setting; its value 5 is ignored; key and value are "
          "separated by white space, as in \"fps 20\"",
          "line 3: \"fps 50\" is outside 1 to 20; clamped to 20",
          "line 4: \"ghost_value -4\": a negative value is skipped",
          "line 5: \"red_ghost 2\": only 1 lets the ghost play",
          "line 7: \"dot_value\" was given before, on line 6; the last value holds",
          "line 8: \"ghost_value\" is followed by \"high\", not a whole number; reading stops here",
          "7 warnings:",
          // The values are the game's own reading: fps 3 on line 9 is never read.
          "  fps                               20\n", "  dot_value                         7\n",
          "  control                           0  (the arrow keys steer)  default\n"}},
        // Where reading stops, the lines after it are still looked at.
        {"contrl 0\nfps=20\nred_ghost off\n",
         {"line 2: \"fps=20\" is followed by \"red_ghost\", not a whole number; reading stops "
          "here: \"fps=20\" and everything after it are not read; key and value are separated "
          "by white space, as in \"fps 20\"",
          "line 3 (not read): \"off\" is not a whole number", "3 warnings:"}},
    };
    for (const auto& c : cases) {
        std::ofstream(dir / "check.txt") << c.file;
        const auto [status, out] = Sim("--check-config " + (dir / "check.txt").string());
        EXPECT_EQ(status, 0);
        for (const char* line : c.lines) {
            EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
        }
    }
    EXPECT_EQ(Sim("--check-config " + (dir / "absent.txt").string()).first, 2);
}

// A settings file named on the command line may be a pipe: read once, every game plays from
// it. What never ends is refused at the cap, and a folder at once, each with its reason.
TEST_F(SimTest, NamedSettingsFilesArePipesFilesOrRefused) {
    const std::string noGhosts =
        "printf 'red_ghost 0\\ngreen_ghost 0\\norange_ghost 0\\nturquoise_ghost 0\\n' | ";
    std::ofstream(dir / "no-ghosts.txt") << "red_ghost 0\ngreen_ghost 0\norange_ghost 0\n"
                                            "turquoise_ghost 0\n";
    const std::string args = " --games 3 --max-ticks 3000 >" + (dir / "out").string();
    ASSERT_EQ(std::system((noGhosts + GULPER_SIM_PATH + args + " --config /dev/stdin").c_str()), 0);
    const std::string piped = ReadFile(dir / "out");
    EXPECT_EQ(
        piped,
        Sim("--games 3 --max-ticks 3000 --config " + (dir / "no-ghosts.txt").string()).second);
    EXPECT_NE(piped, Sim("--games 3 --max-ticks 3000" + config).second);
    EXPECT_NE(piped.find("lost:         0\n"), std::string::npos) << piped;

    ASSERT_EQ(std::system(("printf 'fps 17\\n' | " GULPER_SIM_PATH " --check-config /dev/stdin >" +
                           (dir / "out").string())
                              .c_str()),
              0);
    const std::string checked = ReadFile(dir / "out");
    EXPECT_NE(checked.find("  fps                               17\n"), std::string::npos);
    EXPECT_NE(checked.find("not an ordinary file"), std::string::npos) << checked;

    for (const char* option : {"--config", "--check-config"}) {
        const auto [zeroStatus, zero] =
            Shell(std::string(option) + " /dev/zero >" + (dir / "out").string());
        EXPECT_EQ(zeroStatus, 2) << option;
        EXPECT_NE((zero + ReadFile(dir / "out"))
                      .find("/dev/zero: it gives more than the 1048576 bytes it may"),
                  std::string::npos)
            << zero;
        const auto [folderStatus, folder] =
            Shell(std::string(option) + " " + dir.string() + " >" + (dir / "out").string());
        EXPECT_EQ(folderStatus, 2) << option;
        EXPECT_NE((folder + ReadFile(dir / "out")).find(dir.string() + ": it is a folder"),
                  std::string::npos)
            << folder;
    }
}

// Every output, standard output included, that cannot be written ends the run with a message
// naming it and status 1; an output file is never left half-written under its own name.
TEST_F(SimTest, AnOutputThatCannotBeWrittenFailsTheRun) {
    fs::create_directories(dir / "report");
    fs::create_symlink("/dev/full", dir / "report" / "index.html");
    const std::string games = "--games 2 --max-ticks 2000" + config;
    for (const std::string& line : std::vector<std::string>{
             "--replay 1" + config + " >/dev/full", games + " >/dev/full", "--agents >/dev/full",
             "--help >/dev/full", "--check-config " + (dir / "config.txt").string() + " >/dev/full",
             games + " --csv /dev/full", games + " --json /dev/full", games + " --log /dev/full",
             games + " --report " + (dir / "report").string() + " >/dev/null"}) {
        const auto [status, error] = Shell(line);
        EXPECT_EQ(status, 1) << line;
        EXPECT_NE(error.find("cannot write "), std::string::npos) << line << "\n" << error;
        EXPECT_EQ(error.find("usage:"), std::string::npos) << line;
    }
    std::ofstream(dir / "old.csv") << "an earlier run\n";
    EXPECT_EQ(Shell(games + " --csv " + (dir / "old.csv").string() + " --log /dev/full").first, 1);
    EXPECT_EQ(ReadFile(dir / "old.csv"), "an earlier run\n");
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

}  // namespace

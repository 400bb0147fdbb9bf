#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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
    EXPECT_EQ(ReadFile(log), replay.out);
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

}  // namespace

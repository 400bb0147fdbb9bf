// Studies through the real gulper-sim: the same bytes whatever the number of worker
// processes, shards joined into exactly the whole run, the stopping rule, and the refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A part as an older gulper-sim wrote it: without its settings, digests or version.
std::string OlderPart(std::string text) {
    for (const char* key : {"program_version", "settings_sha256", "settings_text"}) {
        const size_t at = text.find("\n  \"" + std::string(key) + "\"");
        text.erase(at, text.find('\n', at + 1) - at);
    }
    return text;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class StudyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir);
        std::ofstream(dir / "four.txt") << "control 0\nfps 20\n";
        std::ofstream(dir / "two.txt") << "control 0\nfps 20\norange_ghost 0\nturquoise_ghost 0\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    // The exit status, and standard output into NAME.out and standard error into NAME.err.
    int Sim(const std::string& name, const std::string& args) {
        const std::string command =
            GULPER_SIM_PATH " " + args + " >" + P(name + ".out") + " 2>" + P(name + ".err");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    std::string Read(const std::string& name) const { return ReadFile(dir / name); }
    // Every output of a run named NAME: its summary, CSV, JSON, log and report page.
    std::string Outputs(const std::string& name, const std::string& args, bool log = true) {
        EXPECT_EQ(Sim(name, args + " --csv " + P(name + ".csv") + " --json " + P(name + ".json") +
                                (log ? " --log " + P(name + ".log") : "") + " --report " +
                                P(name + "-report")),
                  0)
            << Read(name + ".err");
        return Read(name + ".out") + Read(name + ".csv") + Read(name + ".json") +
               (log ? Read(name + ".log") : "") + Read(name + "-report/index.html");
    }
    const fs::path dir = fs::temp_directory_path() / ("gulper-study-" + std::to_string(::getpid()));
    const std::string four = " --config " + P("four.txt");
};

TEST_F(StudyTest, WorkerProcessesChangeNoByte) {
    const std::string single = "--games 40 --seed 5 --max-ticks 20000" + four;
    const std::string one = Outputs("s1", single + " --jobs 1");
    EXPECT_EQ(Outputs("s3", single + " --jobs 3"), one);
    EXPECT_NE(one.find("games:        40\n"), std::string::npos);
    const std::string compare = "--compare planner,nearest-food --games 20 --seed 9" + four;
    const std::string c1 = Outputs("c1", compare + " --jobs 1");
    EXPECT_EQ(Outputs("c2", compare + " --jobs 2"), c1);
    EXPECT_NE(c1.find("=== nearest-food seed 28 ===\n"), std::string::npos);
    EXPECT_NE(c1.find("planner against nearest-food\n"), std::string::npos);
}

TEST_F(StudyTest, ShardsJoinIntoExactlyTheWholeRun) {
    const std::string study = "--games 31 --seed 3" + four;
    const std::string whole = Outputs("whole", study, false);
    for (int k = 1; k <= 3; ++k) {
        const std::string part = "p" + std::to_string(k);
        ASSERT_EQ(
            Sim(part, study + " --shard " + std::to_string(k) + "/3 --json " + P(part + ".json")),
            0)
            << Read(part + ".err");
    }
    EXPECT_NE(Read("p2.json").find("\"shard\": {\"part\": 2, \"parts\": 3, \"games\": 31}"),
              std::string::npos);
    EXPECT_NE(Read("p3.out").find("games:        10\n"), std::string::npos);
    EXPECT_EQ(Outputs("merged", "--merge " + P("p3.json") + " " + P("p1.json") + " " + P("p2.json"),
                      false),
              whole);

    const std::string compare =
        "--compare-config " + P("four.txt") + "," + P("two.txt") + " --games 12 --seed 20";
    const std::string all = Outputs("call", compare, false);
    for (int k = 1; k <= 2; ++k) {
        const std::string part = "cp" + std::to_string(k);
        ASSERT_EQ(
            Sim(part, compare + " --shard " + std::to_string(k) + "/2 --json " + P(part + ".json")),
            0);
    }
    EXPECT_EQ(Outputs("cmerged", "--merge " + P("cp1.json") + " " + P("cp2.json"), false), all);
    EXPECT_NE(all.find(P("two.txt") + "\n  win rate:"), std::string::npos) << all;
}

TEST_F(StudyTest, MergeRefusesWhatIsNotEveryPartOfOneStudy) {
    const std::string study = "--games 9 --seed 1 --agent nearest-food" + four;
    for (const char* k : {"1", "2", "3"}) {
        ASSERT_EQ(Sim("part", study + " --shard " + k + "/3 --json " + P(std::string("p") + k)), 0);
    }
    ASSERT_EQ(Sim("other", "--games 9 --seed 2 --agent nearest-food --shard 3/3 --json " +
                               P("other") + four),
              0);
    ASSERT_EQ(Sim("whole", study + " --json " + P("whole")), 0);
    std::ofstream(P("cut")) << Read("p1").substr(0, Read("p1").size() / 2);
    std::ofstream(P("junk")) << "{\"games\": [{\"seed\": 1, \"result\": \"won\"}]}";
    for (const auto& [files, error] :
         {std::pair<const char*, std::string>{"p1 p2", "parts missing of 3: 3"},
          {"p1 p2 p2 p3", "part 2 is given twice"},
          {"p1 p2 other",
           "other is not a part of the study of " + P("p1") + ": its first seeds differ (2 vs 1)"},
          {"whole", "is a whole run, not a shard"},
          {"p1 p2 cut", "cut is not a gulper-sim JSON file: "},
          {"junk", "records none, and its games must be played again"},
          {"p1 absent", "cannot read"}}) {
        std::string paths;
        for (size_t at = 0, end; at < std::string(files).size(); at = end + 1) {
            end = std::string(files).find(' ', at);
            end = end == std::string::npos ? std::string(files).size() : end;
            paths += " " + P(std::string(files).substr(at, end - at));
        }
        EXPECT_EQ(Sim("merge", "--merge" + paths + " --json " + P("out.json")), 1) << files;
        EXPECT_NE(Read("merge.err").find(error), std::string::npos) << Read("merge.err");
        EXPECT_FALSE(fs::exists(P("out.json"))) << files;
    }
}

TEST_F(StudyTest, OptionsThatDoNotGoTogetherAreRefusedBeforeAnyGame) {
    for (const auto& [args, error] :
         {std::pair{"--until-decided", "--until-decided compares two sides"},
          {"--compare planner,nearest-food --until-decided --shard 1/2 --json x",
           "cannot be split in shards"},
          {"--shard 1/2", "--shard needs --json FILE"},
          {"--shard 3/2 --json x", "--shard wants K/N"},
          {"--games 4 --shard 1/5 --json x", "into more parts than there are games"},
          {"--merge", "--merge wants the --json files"},
          {"--merge a.json --compare planner,nearest-food", "--merge joins parts already played"},
          {"--compare planner", "name at least two to compare"},
          {"--compare planner,planner", "\"planner\" is named twice"},
          {"--compare planner,nobody", "no agent named \"nobody\""},
          {"--compare-config /nonexistent,/nonexistent2", "cannot read the settings file"},
          {"--compare planner,nearest-food --replay 3", "--replay plays one game"},
          {"--jobs 0", "--jobs"},
          // Outputs that cannot be written are found before the first game.
          {"--compare planner,nearest-food --csv /nonexistent/x.csv", "cannot write /nonexistent"},
          {"--compare planner,nearest-food --report /proc/no-such-folder",
           "cannot make the report folder"},
          {"--merge a.json --json /nonexistent/y.json", "cannot write /nonexistent"}}) {
        EXPECT_EQ(Sim("bad", args), 2) << args;
        EXPECT_EQ(Read("bad.err").rfind("gulper-sim: ", 0), 0u) << args;
        EXPECT_NE(Read("bad.err").find(error), std::string::npos) << Read("bad.err");
        EXPECT_EQ(Read("bad.out"), "") << args;
    }
}

TEST_F(StudyTest, TheStoppingRuleStopsAtTheSameSeedWhateverTheJobs) {
    const std::string args = "--compare planner,nearest-food --until-decided --seed 1 --config " +
                             std::string(GULPER_SOURCE_DIR) + "/data/config.txt";
    ASSERT_EQ(Sim("one", args + " --jobs 1 --json " + P("one.json")), 0) << Read("one.err");
    ASSERT_EQ(Sim("two", args + " --jobs 2"), 0);
    const std::string summary = Read("one.out");
    EXPECT_EQ(Read("two.out"), summary);
    const size_t at = summary.find("stopping:     decided after ");
    ASSERT_NE(at, std::string::npos) << summary;
    const int seeds = std::stoi(summary.substr(at + 28));
    EXPECT_GT(seeds, 20);
    EXPECT_LT(seeds, 1000);
    EXPECT_NE(summary.find("planner wins more often than nearest-food (sequential test"),
              std::string::npos);
    EXPECT_NE(summary.find("paired seeds from 1"), std::string::npos);
    EXPECT_NE(Read("one.json").find("\"games_per_side\": " + std::to_string(seeds) + ","),
              std::string::npos);
    // A limit too low to decide is said to be the reason for stopping.
    ASSERT_EQ(Sim("short", args + " --games 5"), 0);
    EXPECT_NE(Read("short.out").find("not decided: the game limit was reached after 5 paired"),
              std::string::npos);
}

// Shards played where data/ differs: the settings' text goes with every part, and a part
// played under other settings, by another agent or program, or written before parts carried
// their settings is not joined.
TEST_F(StudyTest, PartsArePinnedToTheirSettingsAgentAndProgram) {
    for (const char* host : {"a", "b", "c"}) {
        fs::create_directories(dir / host / "data");
    }
    std::ofstream(dir / "a/data/config.txt") << "control 0\nfps 20\n";
    std::ofstream(dir / "b/data/config.txt") << "control 0\nfps 20\nred_ghost 0\n";
    // c has no data/config.txt: the game plays its defaults, with a warning.
    fs::remove(dir / "c/data");
    const auto part = [&](const std::string& host, const std::string& k, const std::string& agent) {
        const std::string command = "cd " + P(host) + " && " GULPER_SIM_PATH " --games 4 --agent " +
                                    agent + " --shard " + k + "/2 --json " + P(host + k + ".json") +
                                    " >/dev/null 2>&1";
        return std::system(command.c_str());
    };
    ASSERT_EQ(part("a", "1", "nearest-food"), 0);
    ASSERT_EQ(part("a", "2", "nearest-food"), 0);
    ASSERT_EQ(part("b", "2", "nearest-food"), 0);
    ASSERT_EQ(part("c", "2", "nearest-food"), 0);
    ASSERT_EQ(part("b", "1", "planner"), 0);
    const std::string a1 = Read("a1.json");
    EXPECT_NE(a1.find("\"settings_text\": \"control 0\\u000afps 20\\u000a\""), std::string::npos)
        << a1;
    EXPECT_NE(a1.find("\"program_version\": \""), std::string::npos);
    EXPECT_NE(a1.find("\"settings_sha256\": \""), std::string::npos);
    EXPECT_NE(a1.find("\"games_sha256\": \""), std::string::npos);

    // The same settings, whatever folder they were read in: the whole study, pinned alike.
    ASSERT_EQ(Sim("ok", "--merge " + P("a1.json") + " " + P("a2.json") + " --json " + P("w.json")),
              0)
        << Read("ok.err");
    const std::string whole = Read("w.json");
    EXPECT_NE(whole.find(a1.substr(a1.find("  \"program_version\""),
                                   a1.find("  \"summary\"") - a1.find("  \"program_version\""))),
              std::string::npos)
        << whole;
    EXPECT_EQ(whole.find("\"shard\""), std::string::npos);

    std::string older = OlderPart(Read("a2.json"));
    std::ofstream(P("older.json")) << older;
    for (const auto& [second, error] :
         {std::pair<std::string, std::string>{"b2.json", "its settings differ (sha256 "},
          {"c2.json", "its settings differ (sha256 "},
          {"older.json", "records none, and its games must be played again"}}) {
        EXPECT_EQ(Sim("bad", "--merge " + P("a1.json") + " " + P(second)), 1) << second;
        EXPECT_NE(Read("bad.err").find(error), std::string::npos) << Read("bad.err");
        EXPECT_NE(Read("bad.err").find(P(second)), std::string::npos) << Read("bad.err");
    }
    EXPECT_EQ(Sim("bad", "--merge " + P("a1.json") + " " + P("b1.json")), 1);
    EXPECT_NE(Read("bad.err").find(P("b1.json") + " is not a part of the study of " + P("a1.json") +
                                   ": its settings differ"),
              std::string::npos)
        << Read("bad.err");
    std::string version = Read("a2.json");
    version.replace(version.find("\"program_version\": \"") + 20, 0, "9");
    std::ofstream(P("version.json")) << version;
    EXPECT_EQ(Sim("bad", "--merge " + P("a1.json") + " " + P("version.json")), 1);
    EXPECT_NE(Read("bad.err").find("it was written by gulper-sim 9"), std::string::npos)
        << Read("bad.err");
}

// An exec agent is shown by the name its program gives; its command stays in the JSON.
TEST_F(StudyTest, AnExecAgentIsShownByTheNameItGives) {
    const std::string agent = "'exec:python3 " GULPER_SOURCE_DIR "/kits/python/nearest_food.py'";
    ASSERT_EQ(
        Sim("exec", "--games 2 --jobs 2 --agent " + agent + four + " --json " + P("exec.json")), 0)
        << Read("exec.err");
    EXPECT_NE(Read("exec.out").find("agent:        nearest-food (Python)\n"), std::string::npos)
        << Read("exec.out");
    EXPECT_NE(Read("exec.json").find("\"agent\": \"exec:python3 "), std::string::npos);
    EXPECT_NE(Read("exec.json").find("\"agent_name\": \"nearest-food (Python)\""),
              std::string::npos);
    const std::string compare = "--games 2 --compare nearest-food," + agent + four;
    ASSERT_EQ(Sim("cmp", compare + " --report " + P("cmp-report")), 0) << Read("cmp.err");
    EXPECT_NE(Read("cmp.out").find("\nnearest-food (Python)\n"), std::string::npos)
        << Read("cmp.out");
    const std::string page = Read("cmp-report/index.html");
    EXPECT_NE(page.find("where nearest-food (Python) was caught"), std::string::npos);
    EXPECT_EQ(page.find("was caught with exec:"), std::string::npos);
}

}  // namespace

// Replay files: a recorded game of any agent, a randomised one too, plays back as the same
// game; a changed action is found at its decision; damaged and hostile files are refused.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "game/maze.h"
#include "game/sprite_pictures.h"
#include "players/registry.h"
#include "study/replay_play.h"
#include "tests/study/open_direction.h"

using namespace gulper;

namespace fs = std::filesystem;

namespace {

// Draws a new stream for every agent made, so that no two of its games of a seed are alike.
std::random_device entropy;

// Takes an open direction at random at every cell centre, and plans a route of the cells
// ahead of it, which its entry asks to be recorded.
class RandomWalker : public PlayerSprite {
  public:
    void Think() override {
        if (const int32_t d = PickOpenDirection(AvailableDirections(MazeGrid), draw())) {
            direction = d;
        }
    }
    std::mt19937 draw{entropy()};
};

AgentPlan WalkerPlan(PlayerSprite& agent, GridPoint cell) {
    AgentPlan plan;
    plan.state = "walking";
    plan.route = {cell, GridPoint(cell.x + (agent.direction == DIR_RIGHT ? 1 : 0), cell.y)};
    plan.goal = plan.route.back();
    return plan;
}

const AgentRegistration registration{{"random-walker", "random turns, for testing replays",
                                      [] { return std::make_unique<RandomWalker>(); }, WalkerPlan,
                                      nullptr, true}};

std::string Shipped() {
    std::ifstream in(GULPER_SOURCE_DIR "/data/config.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ReplayTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // Plays and records one game, and reads its file back.
    ReplayFile Recorded(const std::string& agent, uint32_t seed, GameResult* result = nullptr) {
        SimSettings s;
        s.configPath = "shipped";
        s.configText = Shipped();
        s.agent = agent;
        s.recordDir = dir.string();
        GameResult r;
        std::string error;
        EXPECT_TRUE(PlayRecorded(s, seed, nullptr, &r, &error)) << error;
        if (result != nullptr) {
            *result = r;
        }
        ReplayFile replay;
        EXPECT_TRUE(ReadReplayFile(ReplayPath(dir.string(), seed), &replay, &error)) << error;
        return replay;
    }
    std::string Text(const ReplayFile& replay) {
        std::string text, error;
        EXPECT_TRUE(ReplayText(replay, &text, &error)) << error;
        return text;
    }
    // The reason a file's text is refused; empty when it is read.
    std::string Refusal(const std::string& text) {
        ReplayFile replay;
        std::string error;
        return ParseReplay(text, &replay, &error) ? "" : error;
    }
    int Sim(const std::string& args) {
        const int status = std::system(
            (GULPER_SIM_PATH " " + args + " >" + (dir / "out").string() + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() {
        std::ifstream in(dir / "out");
        return {std::istreambuf_iterator<char>(in), {}};
    }
    const fs::path dir =
        fs::temp_directory_path() / ("gulper-replay-" + std::to_string(::getpid()));
};

TEST_F(ReplayTest, EveryAgentsRecordedGamePlaysBackAsTheSameGame) {
    for (const AgentEntry* entry : RegisteredAgents()) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            GameResult played;
            const ReplayFile replay = Recorded(entry->name, seed, &played);
            EXPECT_EQ(replay.result.decisions, played.decisions);
            EXPECT_EQ(replay.result.score, played.score);
            EXPECT_EQ(replay.agent, entry->name);
            const ReplayVerdict v = CheckReplay(replay);
            EXPECT_TRUE(v.same) << entry->name << " seed " << seed << ": " << v.how;
            EXPECT_EQ(v.played.ticks, played.ticks);
            EXPECT_EQ(v.played.outcome, played.outcome);
        }
    }
}

TEST_F(ReplayTest, ARandomisedAgentsGameComesBackWithItsPlans) {
    // The seed alone does not bring it back: two games of one seed differ.
    const ReplayFile replay = Recorded("random-walker", 5);
    const ReplayFile again = Recorded("random-walker", 5);
    EXPECT_NE(replay.record.actions, again.record.actions);
    ASSERT_TRUE(replay.record.keepPlans);
    ASSERT_EQ(replay.record.plans.size(), static_cast<size_t>(replay.result.decisions));
    EXPECT_EQ(replay.record.plans[0].state, "walking");
    EXPECT_EQ(replay.record.plans[0].route.size(), 2u);
    EXPECT_TRUE(CheckReplay(again).same) << CheckReplay(again).how;
    // Played back, each decision's recorded plan is the one read, as the viewer draws it.
    {
        SetAgentLog(&DiscardedLog());
        ResetGameState();
        const NoSpritePictures headless;
        GameRules rules;
        std::unique_ptr<Player> player = NewReplayPlayer(again);
        Episode episode(rules, *player, again);
        episode.Start(again.seed);
        const size_t plans = again.record.plans.size();
        size_t checked = 0;
        while (static_cast<size_t>(episode.Decisions()) < plans && episode.Tick()) {
            if (episode.LastTickDecided()) {
                const auto at = static_cast<size_t>(episode.Decisions() - 1);
                ASSERT_EQ(episode.PlanOfLastTick().route, again.record.plans[at].route) << at;
                ++checked;
            }
        }
        EXPECT_EQ(checked, plans);
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
        SetAgentLog(nullptr);
    }
    // Read back, the plans and an exec agent's faults are the ones written.
    ReplayFile faulty = again;
    faulty.result.faults = {{-1, "crash", "exit \"7\"\n"}, {3, "timeout", "no answer"}};
    ReplayFile read;
    std::string error;
    ASSERT_TRUE(ParseReplay(Text(faulty), &read, &error)) << error;
    EXPECT_EQ(Text(read), Text(faulty));
    ASSERT_EQ(read.result.faults.size(), 2u);
    EXPECT_EQ(read.result.faults[0].detail, "exit \"7\"\n");
    EXPECT_EQ(read.result.faults[1].decision, 3);
}

TEST_F(ReplayTest, OneChangedActionIsFoundAtItsDecision) {
    const ReplayFile replay = Recorded("planner", 3);
    const size_t n = replay.record.actions.size();
    ASSERT_GT(n, 100u);
    for (size_t k : {size_t(0), size_t(1), n / 3, n / 2, n - 1}) {
        ReplayFile changed = replay;
        char& a = changed.record.actions[k];
        a = a == '1' ? '3' : '1';
        const ReplayVerdict v = CheckReplay(changed);
        EXPECT_FALSE(v.same);
        EXPECT_EQ(v.partsAt, static_cast<int64_t>(k)) << v.how;
        EXPECT_NE(v.how.find("at decision " + std::to_string(k) + " "), std::string::npos) << v.how;
    }
    // A result that is not the game's parts after the last decision.
    ReplayFile score = replay;
    score.result.score += 10;
    EXPECT_EQ(CheckReplay(score).partsAt, static_cast<int64_t>(n));
    // Other settings part at once, or soon.
    ReplayFile settings = replay;
    settings.configText += "\nred_ghost 0\n";
    EXPECT_FALSE(CheckReplay(settings).same);
}

TEST_F(ReplayTest, AGameForfeitedAtItsStartStopsBeforeItsFirstDecision) {
    // An agent that gave up at its hello leaves a recording of no decisions: played back, the
    // game stops where it gave up, untouched, and is the game recorded.
    ReplayFile forfeited = Recorded("planner", 3);
    forfeited.record = GameRecord();
    forfeited.result.outcome = GameOutcome::FORFEIT;
    forfeited.result.score = 0;
    forfeited.result.foodLeft = 157;  // 153 dots and 4 pills
    forfeited.result.ticks = 0;
    forfeited.result.decisions = 0;
    const ReplayVerdict v = CheckReplay(forfeited);
    EXPECT_TRUE(v.same) << v.how;
    EXPECT_EQ(v.played.ticks, 0);
    // Its file, of no ticks and no decisions, is read back.
    EXPECT_EQ(Refusal(Text(forfeited)), "");
}

TEST_F(ReplayTest, DamagedAndHostileFilesAreRefusedWithTheReason) {
    // A game the reader could not take back is not written at all.
    ReplayFile named = Recorded("planner", 3);
    named.agent = std::string(REPLAY_MAX_NAME + 1, 'a');
    std::string why;
    EXPECT_FALSE(WriteReplayFile((dir / "long.json").string(), named, &why));
    EXPECT_NE(why.find("cannot record"), std::string::npos) << why;
    EXPECT_FALSE(fs::exists(dir / "long.json"));

    const std::string text = Text(Recorded("nearest-food", 2));
    EXPECT_EQ(Refusal(text), "");
    for (size_t cut : {size_t(0), size_t(10), text.size() / 3, text.size() / 2, text.size() - 3}) {
        EXPECT_NE(Refusal(text.substr(0, cut)), "") << "cut at " << cut;
    }
    const auto with = [&text](const std::string& from, const std::string& to) {
        std::string t = text;
        const size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    const std::string decisions = "\"decisions\": ";
    const size_t at = text.find(decisions) + decisions.size();
    const std::string count = text.substr(at, text.find('}', at) - at);
    EXPECT_NE(Refusal(with(decisions + count, decisions + "2000000")).find("2000000 decisions"),
              std::string::npos);
    EXPECT_NE(Refusal(with(decisions + count, decisions + "99999999999")).find("whole number"),
              std::string::npos);
    // The first action, or check digits, made something else.
    const auto after = [&text](const std::string& key, const std::string& to) {
        std::string t = text;
        return t.replace(t.find(key) + key.size(), to.size(), to);
    };
    EXPECT_NE(Refusal(after("\"actions\": \"", "7")).find("action 0 is \"7\", not a digit 0 to 4"),
              std::string::npos);
    EXPECT_NE(Refusal(with("\"version\": 1", "\"version\": 2")).find("version 2"),
              std::string::npos);
    EXPECT_NE(Refusal(with("gulper-replay", "gulper-study")).find("not a replay file"),
              std::string::npos);
    EXPECT_NE(Refusal(after("\"checks\": \"", "zz")).find("hexadecimal"), std::string::npos);
    EXPECT_NE(Refusal(with("\"seed\"", "\"seed\": 1, \"seed\"")).find("twice"), std::string::npos);
    EXPECT_NE(
        Refusal(with("\"faults\": [", "\"plans\": [{}, {}, {}, {}], \"faults\": [")).find("plans"),
        std::string::npos);
    // Per-decision keys before the result would have to be taken on trust.
    EXPECT_NE(Refusal(with("\"result\"", "\"faults\": [], \"result\"")).find("comes before"),
              std::string::npos);
    // A file larger than any replay file is refused before it is parsed.
    std::ofstream(dir / "huge.json") << text << std::string(REPLAY_MAX_BYTES, ' ');
    ReplayFile replay;
    std::string error;
    EXPECT_FALSE(ReadReplayFile((dir / "huge.json").string(), &replay, &error));
    EXPECT_NE(error.find("huge.json"), std::string::npos) << error;
}

TEST_F(ReplayTest, TheSimulatorRecordsEveryModeAndChecksItsFiles) {
    const std::string rec = (dir / "rec").string(),
                      config = " --config " GULPER_SOURCE_DIR "/data/config.txt";
    ASSERT_EQ(Sim("--games 6 --seed 4 --jobs 2 --record " + rec + config), 0) << Out();
    ASSERT_EQ(Sim("--replay-file " + rec + "/seed-9.json"), 0) << Out();
    EXPECT_NE(Out().find("the same game: seed 9"), std::string::npos) << Out();
    ASSERT_EQ(
        Sim("--compare planner,nearest-food --games 2 --seed 7 --jobs 1 --record " + rec + config),
        0)
        << Out();
    for (const char* side : {"/1-planner/seed-8.json", "/2-nearest-food/seed-7.json"}) {
        EXPECT_EQ(Sim("--replay-file " + rec + side), 0) << side << ": " << Out();
    }
    ASSERT_EQ(Sim("--replay 12 --record " + rec + config), 0) << Out();
    EXPECT_TRUE(fs::exists(rec + "/seed-12.json"));

    // One action changed: status 1, and the decision named.
    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReadReplayFile(rec + "/seed-12.json", &replay, &error)) << error;
    replay.record.actions[40] = replay.record.actions[40] == '2' ? '4' : '2';
    ASSERT_TRUE(WriteReplayFile(rec + "/changed.json", replay, &error)) << error;
    EXPECT_EQ(Sim("--replay-file " + rec + "/changed.json"), 1);
    EXPECT_NE(Out().find("at decision 40 "), std::string::npos) << Out();

    std::ofstream(rec + "/broken.json") << "{\"format\": \"gulper-replay\", \"version\": 1,";
    EXPECT_EQ(Sim("--replay-file " + rec + "/broken.json"), 2);
    EXPECT_NE(Out().find("broken.json is not a replay file"), std::string::npos) << Out();
    EXPECT_EQ(Sim("--replay-file " + rec + "/seed-9.json --games 2"), 2);
    EXPECT_EQ(Sim("--merge a.json --record " + rec), 2);
    // No half file is left behind: every file in the folder is whole.
    for (const auto& f : fs::recursive_directory_iterator(rec)) {
        EXPECT_EQ(f.path().string().find(".tmp"), std::string::npos) << f.path();
    }
}

}  // namespace

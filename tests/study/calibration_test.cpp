// Whether the comparison's intervals mean what they say, on real games: a randomised agent
// compared with itself (the same game seeds, its own random streams different) has a true
// difference of zero, so the 95 % intervals of the difference must cover zero about 95 % of
// the time; and a win-rate interval must cover the agent's long-run rate as often.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "agent/player_agent.h"
#include "episode/episode.h"
#include "game/game_state.h"
#include "players/registry.h"
#include "study/compare.h"
#include "tests/study/open_direction.h"

using namespace gulper;

namespace {

// The stream the next jittery agent draws from; set before each game.
uint64_t nextStream = 0;

// The built-in agent, but at one decision in ten it takes an open direction at random from
// a generator of its own (the game's generator, which the ghosts use, is left alone).
class JitteryAgent : public PlayerAgent {
  public:
    JitteryAgent() : state(nextStream * 0x9e3779b97f4a7c15ULL + 1) {}
    void Think() override {
        PlayerAgent::Think();
        if (Draw() % 10 != 0) {
            return;
        }
        if (const int32_t d = PickOpenDirection(AvailableDirections(MazeGrid), Draw())) {
            direction = d;
        }
    }

  private:
    uint64_t Draw() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state >> 11;
    }
    uint64_t state;
};

const AgentRegistration registration{
    {"jittery-planner", "the built-in agent with random turns, for testing the intervals",
     [] { return std::unique_ptr<PlayerSprite>(new JitteryAgent()); }, nullptr, nullptr, false}};

constexpr int COMPARISONS = 200;
constexpr int GAMES = 24;

TEST(CalibrationTest, IntervalsCoverTheTruthAsOftenAsTheySay) {
    GameSettings settings;
    settings.agent = "jittery-planner";
    std::ifstream shipped(GULPER_SOURCE_DIR "/data/config.txt", std::ios::binary);
    settings.configText.assign(std::istreambuf_iterator<char>(shipped), {});
    ASSERT_FALSE(settings.configText.empty());
    // Two ghosts instead of four, so that about a third of the games are won: a rate near 0
    // would leave nothing for the win-rate intervals to be wrong about.
    settings.configText += "\norange_ghost 0\nturquoise_ghost 0\n";
    int winCovers = 0, scoreCovers = 0, rateCovers = 0;
    int64_t wins = 0, games = 0;
    std::vector<Comparison> comparisons;
    for (int k = 0; k < COMPARISONS; ++k) {
        std::vector<Side> sides{{"a", {}}, {"b", {}}};
        for (int i = 0; i < GAMES; ++i) {
            const uint32_t seed = static_cast<uint32_t>(1000 + k * GAMES + i);
            for (size_t s = 0; s < 2; ++s) {
                nextStream = (static_cast<uint64_t>(seed) << 1) | s;
                sides[s].games.push_back(PlayHeadlessGame(settings, seed, nullptr));
            }
        }
        comparisons.push_back(Compare(CompareBy::AGENTS, sides));
        const Comparison& c = comparisons.back();
        winCovers += c.pairs[0].winInterval.Contains(0);
        scoreCovers += c.pairs[0].scoreInterval.Contains(0);
        for (const SideStats& s : c.sides) {
            wins += s.run.won;
            games += s.run.games;
        }
    }
    // The long-run rate: every game of the test, 400 times as many as one interval has.
    const double longRun = static_cast<double>(wins) / static_cast<double>(games);
    for (const Comparison& c : comparisons) {
        for (const SideStats& s : c.sides) {
            rateCovers += s.winRate.Contains(longRun);
        }
    }
    std::printf(
        "long-run win rate %.3f; covered: win difference %d, score difference %d of %d, "
        "win rate %d of %d\n",
        longRun, winCovers, scoreCovers, COMPARISONS, rateCovers, 2 * COMPARISONS);
    ASSERT_GT(longRun, 0.03) << "too few wins for the check to mean anything";
    EXPECT_GE(winCovers, 0.93 * COMPARISONS);
    EXPECT_GE(scoreCovers, 0.93 * COMPARISONS);
    EXPECT_GE(rateCovers, 0.93 * 2 * COMPARISONS);
}

}  // namespace

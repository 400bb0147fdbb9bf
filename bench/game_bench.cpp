// The rules' share of the work: one tick with all four ghosts out and the agent steering,
// and one whole headless game from new game to its end.

#include <benchmark/benchmark.h>

#include <sstream>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "episode/episode.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/random.h"
#include "players/registry.h"

using namespace gulper;

namespace {

void BM_TickWithFourGhosts(benchmark::State& state) {
    ResetGameState();
    SeedRandom(11);
    SetAgentLog(&DiscardedLog());
    GameRules rules;
    rules.LoadConfigFrom("");  // the defaults: every ghost
    rules.keyboardControl = false;
    rules.CreateGhosts();
    PlayerAgent agent;
    SetPlayerAgent(&agent);
    rules.NewGame();
    int64_t games = 1;
    for (auto _ : state) {
        if (gameWon || rules.playerCaught) {
            rules.NewGame();
            ++games;
        }
        rules.Tick();
    }
    state.counters["games"] = static_cast<double>(games);
    rules.DestroyGhosts();
    SetPlayerAgent(nullptr);
    SetAgentLog(nullptr);
}
BENCHMARK(BM_TickWithFourGhosts);

// Seeds 1 to 20 in turn, at the defaults; the counters give the rates per game and decision.
void BM_WholeHeadlessGame(benchmark::State& state) {
    GameSettings settings;
    uint32_t seed = 0;
    int64_t ticks = 0;
    int64_t decisions = 0;
    for (auto _ : state) {
        const GameResult result = PlayHeadlessGame(settings, 1 + seed++ % 20, nullptr);
        ticks += result.ticks;
        decisions += result.decisions;
    }
    state.counters["ticks/game"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
    state.counters["decisions/s"] =
        benchmark::Counter(static_cast<double>(decisions), benchmark::Counter::kIsRate);
    state.counters["games/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeHeadlessGame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The simulator's own share of a decision played over the line protocol: the observation read
// from the game and written as its decide line, and an answer with a plan read back.
#include <benchmark/benchmark.h>

#include "agent/player_agent.h"
#include "episode/episode.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "protocol/protocol.h"

using namespace gulper;

namespace {

void BM_DecideLine(benchmark::State& state) {
    ResetGameState();
    GameRules rules;
    PlayerAgent agent;
    StartSeededGame(rules, &agent, "", 3);  // the defaults: every ghost
    int64_t decision = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string line = DecideLine(decision, ReadObservation(agent, decision));
        ++decision;
        bytes = line.size();
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    rules.DestroyGhosts();
    SetPlayerAgent(nullptr);
}
BENCHMARK(BM_DecideLine);

void BM_ParseAnswerWithPlan(benchmark::State& state) {
    const std::string line =
        "{\"action\":3,\"plan\":{\"route\":[[9,9],[10,9],[11,9],[12,9],[12,8],[12,7]],"
        "\"goal\":[12,7],\"state\":\"feeding\"}}";
    Answer answer;
    std::string why;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseAnswer(line, &answer, &why));
    }
}
BENCHMARK(BM_ParseAnswerWithPlan);

}  // namespace

BENCHMARK_MAIN();

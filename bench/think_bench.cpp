// One agent decision: at the start of a game and in a crowded mid-game position.

#include <benchmark/benchmark.h>

#include <sstream>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/random.h"

namespace {

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

struct Board {
    explicit Board(int ticks) {
        ResetGameState();
        SeedRandom(7);
        SetAgentLog(&nullLog);
        rules.LoadConfigFrom("");
        rules.keyboardControl = false;
        rules.CreateGhosts();
        SetPlayerAgent(&agent);
        rules.NewGame();
        for (int i = 0; i < ticks && !gameWon && !rules.playerCaught; ++i) {
            rules.Tick();
        }
    }
    ~Board() {
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
        SetAgentLog(nullptr);
    }
    NullBuffer nullBuffer;
    std::ostream nullLog{&nullBuffer};
    GameRules rules;
    PlayerAgent agent;
};

void BM_ThinkAtStart(benchmark::State& state) {
    Board board(0);
    for (auto _ : state) {
        board.agent.direction = DIR_LEFT;
        board.agent.Think();
        benchmark::DoNotOptimize(board.agent.direction);
    }
}
BENCHMARK(BM_ThinkAtStart);

void BM_ThinkMidGame(benchmark::State& state) {
    Board board(600);  // ghosts out and about, part of the food eaten
    board.agent.position = CellCentre(4, 11);
    for (auto _ : state) {
        board.agent.Think();
        benchmark::DoNotOptimize(board.agent.direction);
    }
}
BENCHMARK(BM_ThinkMidGame);

}  // namespace

BENCHMARK_MAIN();

// The agent's work: one decision at the start of a game and in a crowded mid-game position,
// a route across the whole board, and the food flood on a nearly empty board.

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

// Corner to opposite corner: the longest route the board has.
void BM_FindPathAcrossTheBoard(benchmark::State& state) {
    Board board(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(board.agent.FindPath({1, 1}, {17, 20}));
    }
}
BENCHMARK(BM_FindPathAcrossTheBoard);

// One dot left, in the far corner: the flood visits every cell before it finds it.
void BM_FindNearestFoodOnANearlyEmptyBoard(benchmark::State& state) {
    Board board(0);
    for (int32_t& code : MazeGrid) {
        if (code == CELL_DOT || code == CELL_PILL) {
            code = CELL_EMPTY;
        }
    }
    MazeGrid[GridIndex(17, 20)] = CELL_DOT;
    for (auto _ : state) {
        benchmark::DoNotOptimize(board.agent.FindNearestFood({1, 1}));
    }
}
BENCHMARK(BM_FindNearestFoodOnANearlyEmptyBoard);

}  // namespace

BENCHMARK_MAIN();

// The agent's work: one decision at the start of a game and in a crowded mid-game position,
// a route across the whole board beside a plain breadth-first search of the same route, and
// the food flood on a nearly empty board.

#include <benchmark/benchmark.h>

#include <array>
#include <sstream>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/random.h"

namespace {

struct Board {
    explicit Board(int ticks) {
        ResetGameState();
        SeedRandom(7);
        SetAgentLog(&DiscardedLog());
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

// The yardstick for the route search: a plain breadth-first search over the same board and
// the same route, walls read from the maze, ending with the first step out of the start.
void BM_PlainBreadthFirstAcrossTheBoard(benchmark::State& state) {
    Board board(0);
    const GridPoint start(1, 1);
    const GridPoint goal(17, 20);
    for (auto _ : state) {
        std::array<int16_t, BOARD_CELLS> cameFrom;
        cameFrom.fill(-1);
        std::array<int16_t, BOARD_CELLS> queue;
        int head = 0;
        int tail = 0;
        const int from = AgentIndex(start.x, start.y);
        const int to = AgentIndex(goal.x, goal.y);
        cameFrom[from] = static_cast<int16_t>(from);
        queue[tail++] = static_cast<int16_t>(from);
        while (head < tail && cameFrom[to] < 0) {
            const int cell = queue[head++];
            const int x = cell / BOARD_ROWS;
            const int y = cell % BOARD_ROWS;
            const GridPoint next[] = {{x + 1, y}, {x - 1, y}, {x, y - 1}, {x, y + 1}};
            for (const GridPoint& n : next) {
                if (n.x < 0 || n.x >= BOARD_COLUMNS || n.y < 0 || n.y >= BOARD_ROWS ||
                    MazeGrid[GridIndex(n.x, n.y)] == CELL_WALL) {
                    continue;
                }
                const int index = AgentIndex(n.x, n.y);
                if (cameFrom[index] < 0) {
                    cameFrom[index] = static_cast<int16_t>(cell);
                    queue[tail++] = static_cast<int16_t>(index);
                }
            }
        }
        int step = to;
        while (cameFrom[step] >= 0 && cameFrom[step] != from) {
            step = cameFrom[step];
        }
        benchmark::DoNotOptimize(step);
    }
}
BENCHMARK(BM_PlainBreadthFirstAcrossTheBoard);

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

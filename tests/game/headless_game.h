#pragma once

#include <deque>
#include <vector>

#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "game/random.h"
#include "tests/game/test_player.h"

// First step of a shortest corridor route from `from` to the nearest dot or pill, or 0.
inline int32_t StepTowardNearestFood(GridPoint from) {
    std::vector<int32_t> firstStep(BOARD_CELLS, -1);
    std::deque<GridPoint> queue{from};
    firstStep[GridIndex(from.x, from.y)] = 0;
    while (!queue.empty()) {
        const GridPoint c = queue.front();
        queue.pop_front();
        const int32_t code = MazeGrid[GridIndex(c.x, c.y)];
        if ((code == CELL_DOT || code == CELL_PILL) && !(c == from)) {
            return firstStep[GridIndex(c.x, c.y)];
        }
        const struct {
            int dx, dy;
            int32_t dir;
        } moves[] = {{-1, 0, DIR_LEFT}, {1, 0, DIR_RIGHT}, {0, 1, DIR_UP}, {0, -1, DIR_DOWN}};
        for (const auto& m : moves) {
            const GridPoint n(c.x + m.dx, c.y + m.dy);
            if (n.x < 1 || n.x > 17 || n.y < 0 || n.y >= BOARD_ROWS) {
                continue;  // the tunnel mouths are not worth a detour
            }
            const int i = GridIndex(n.x, n.y);
            if (!IsOpenCell(MazeGrid[i]) || firstStep[i] != -1) {
                continue;
            }
            firstStep[i] = c == from ? m.dir : firstStep[GridIndex(c.x, c.y)];
            queue.push_back(n);
        }
    }
    return 0;
}

// A whole game without a window: the rules, the enabled ghosts and a scripted Gulper.
class HeadlessGame {
  public:
    explicit HeadlessGame(uint32_t seed, bool withGhosts = true) {
        ResetGameState();
        SeedRandom(seed);
        SetPlayerAgent(&player);
        rules.LoadConfigFrom("");  // no file: the defaults
        rules.keyboardControl = false;
        if (!withGhosts) {
            for (bool& enabled : rules.ghostEnabled) {
                enabled = false;
            }
        }
        rules.CreateGhosts();
        rules.NewGame();
        rules.startScreen = false;
    }
    ~HeadlessGame() {
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
    }

    bool Over() const { return gameWon || rules.playerCaught; }
    // Ticks until the game ends or the limit is reached; returns the ticks run.
    int Play(int maxTicks) {
        int ticks = 0;
        while (!Over() && ticks < maxTicks) {
            rules.Tick();
            ++ticks;
        }
        return ticks;
    }
    void EatNearestFood() {
        player.script = [](ScriptedPlayer& p) {
            p.SetDirection(StepTowardNearestFood(p.CellPosition()));
        };
    }

    ScriptedPlayer player;
    GameRules rules;
};

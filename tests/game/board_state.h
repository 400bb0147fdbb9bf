// A game without a window: the rules at their default settings, the four ghosts and a Gulper
// the test steers, on a fresh board.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"
#include "game/random.h"

// A Gulper steered by the test: Think runs the script, if any.
class ScriptedPlayer : public PlayerSprite {
  public:
    void Think() override {
        ++thinks;
        if (script) {
            script(*this);
        }
    }
    std::function<void(ScriptedPlayer&)> script;
    int thinks = 0;
};

// Heads along a shortest corridor route to the nearest food (the tunnel is never worth it).
inline void EatNearestFood(ScriptedPlayer& p) {
    const GridPoint from = p.CellPosition();
    std::vector<int32_t> firstStep(BOARD_CELLS, -1);
    std::deque<GridPoint> queue{from};
    for (; !queue.empty(); queue.pop_front()) {
        const GridPoint c = queue.front();
        const int32_t code = MazeGrid[GridIndex(c.x, c.y)];
        if ((code == CELL_DOT || code == CELL_PILL) && c != from) {
            p.SetDirection(firstStep[GridIndex(c.x, c.y)]);
            return;
        }
        for (int32_t d : {DIR_LEFT, DIR_RIGHT, DIR_UP, DIR_DOWN}) {
            const GridPoint n(c.x + (d == DIR_RIGHT) - (d == DIR_LEFT),
                              c.y + (d == DIR_UP) - (d == DIR_DOWN));
            int32_t& step = firstStep[GridIndex(n.x, n.y)];
            if (n.x >= 1 && n.x <= 17 && IsOpenCell(MazeGrid[GridIndex(n.x, n.y)]) && step == -1 &&
                n != from) {
                step = c == from ? d : firstStep[GridIndex(c.x, c.y)];
                queue.push_back(n);
            }
        }
    }
    p.SetDirection(0);
}

class BoardState : public ::testing::Test {
  protected:
    void SetUp() override { Start(1, true); }
    void TearDown() override {
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
    }

    void Start(uint32_t seed, bool withGhosts) {
        rules.DestroyGhosts();
        ResetGameState();
        SeedRandom(seed);
        SetPlayerAgent(&player);
        rules.LoadConfigFrom("");  // no file: the defaults
        rules.keyboardControl = false;
        for (bool& enabled : rules.ghostEnabled) {
            enabled = withGhosts;
        }
        rules.CreateGhosts();
        rules.NewGame();
        rules.startScreen = false;
        ghosts = {redGhost, greenGhost, orangeGhost, turquoiseGhost};
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            rules.Tick();
        }
    }
    // Every ghost but `except` waits in the house, out of the way.
    void ShutInTheHouse(const Ghost* except = nullptr) {
        for (Ghost* g : ghosts) {
            if (g != except) {
                g->SetReleased(false);
                g->SetReleaseCountdown(100000);
            }
        }
    }

    ScriptedPlayer player;
    GameRules rules;
    std::vector<Ghost*> ghosts;  // red, green, orange, turquoise
};

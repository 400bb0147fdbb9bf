#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"

// Where each ghost stands; (0, 0), a wall, for a ghost not on the board.
struct GhostCells {
    GhostCells(GridPoint r = {}, GridPoint o = {}, GridPoint g = {}, GridPoint t = {})
        : red(r), orange(o), green(g), turquoise(t) {}
    GridPoint red, orange, green, turquoise;
};

// The initial board with no ghosts, the agent as the player and its log captured.
class AgentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        ResetMaze();
        agent = std::make_unique<PlayerAgent>();
        SetPlayerAgent(agent.get());
        SetAgentLog(&log);
    }
    void TearDown() override {
        SetAgentLog(nullptr);
        RemoveGhosts();
        SetPlayerAgent(nullptr);
    }
    void RemoveGhosts() {
        for (Ghost** g : {&redGhost, &greenGhost, &orangeGhost, &turquoiseGhost}) {
            delete *g;
            *g = nullptr;
        }
    }
    // Everything logged since the last call.
    std::string TakeLog() {
        const std::string text = log.str();
        log.str("");
        return text;
    }
    void PutGulper(int x, int y) { agent->position = CellCentre(x, y); }
    template <typename G>
    Ghost* Put(Ghost*& slot, int x, int y, bool blue) {
        if (slot == nullptr) {
            slot = new G();
        }
        slot->position = CellCentre(x, y);
        slot->SetBlue(blue);
        return slot;
    }
    Ghost* Red(int x, int y, bool b = false) { return Put<RedGhost>(redGhost, x, y, b); }
    Ghost* Green(int x, int y, bool b = false) { return Put<GreenGhost>(greenGhost, x, y, b); }
    Ghost* Orange(int x, int y, bool b = false) { return Put<OrangeGhost>(orangeGhost, x, y, b); }
    Ghost* Turquoise(int x, int y, bool b = false) {
        return Put<TurquoiseGhost>(turquoiseGhost, x, y, b);
    }
    void PlaceGhosts(const GhostCells& cells, bool blue = false) {
        RemoveGhosts();
        const GridPoint none;
        if (cells.red != none) {
            Red(cells.red.x, cells.red.y, blue);
        }
        if (cells.orange != none) {
            Orange(cells.orange.x, cells.orange.y, blue);
        }
        if (cells.green != none) {
            Green(cells.green.x, cells.green.y, blue);
        }
        if (cells.turquoise != none) {
            Turquoise(cells.turquoise.x, cells.turquoise.y, blue);
        }
    }
    void ClearFood() {
        for (int32_t& code : MazeGrid) {
            if (code == CELL_DOT || code == CELL_PILL) {
                code = CELL_EMPTY;
            }
        }
    }

    std::ostringstream log;
    std::unique_ptr<PlayerAgent> agent;
};

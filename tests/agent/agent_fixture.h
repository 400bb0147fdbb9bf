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
    // Each ghost on its cell, blue or not; none for (0, 0).
    void PlaceGhosts(const GhostCells& cells, bool blue = false) {
        RemoveGhosts();
        Put<RedGhost>(redGhost, cells.red, blue);
        Put<OrangeGhost>(orangeGhost, cells.orange, blue);
        Put<GreenGhost>(greenGhost, cells.green, blue);
        Put<TurquoiseGhost>(turquoiseGhost, cells.turquoise, blue);
    }
    template <typename G>
    static void Put(Ghost*& slot, GridPoint cell, bool blue) {
        if (cell != GridPoint()) {
            slot = new G();
            slot->position = CellCentre(cell.x, cell.y);
            slot->SetBlue(blue);
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

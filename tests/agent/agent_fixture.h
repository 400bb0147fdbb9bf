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
    Ghost* PutGhost(Ghost*& slot, int x, int y, bool blue = false) {
        if (slot == nullptr) {
            slot = new G();
        }
        slot->position = CellCentre(x, y);
        slot->SetBlue(blue);
        return slot;
    }
    Ghost* Red(int x, int y, bool blue = false) { return PutGhost<RedGhost>(redGhost, x, y, blue); }
    Ghost* Green(int x, int y, bool blue = false) {
        return PutGhost<GreenGhost>(greenGhost, x, y, blue);
    }
    Ghost* Orange(int x, int y, bool blue = false) {
        return PutGhost<OrangeGhost>(orangeGhost, x, y, blue);
    }
    Ghost* Turquoise(int x, int y, bool blue = false) {
        return PutGhost<TurquoiseGhost>(turquoiseGhost, x, y, blue);
    }
    void PlaceGhosts(const GhostCells& cells, bool blue = false) {
        RemoveGhosts();
        if (cells.red != GridPoint()) {
            Red(cells.red.x, cells.red.y, blue);
        }
        if (cells.orange != GridPoint()) {
            Orange(cells.orange.x, cells.orange.y, blue);
        }
        if (cells.green != GridPoint()) {
            Green(cells.green.x, cells.green.y, blue);
        }
        if (cells.turquoise != GridPoint()) {
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

const char* const FEEDING_BANNER = "---------------------------FEEDING STATE------------------\n";
const char* const FLEEING_BANNER = "---------------------------FLEEING STATE------------------\n";
const char* const HUNTING_BANNER = "---------------------------HUNTING STATE------------------\n";
const char* const FRUIT_BANNER = "-----------------------GOING FOR FRUIT STATE--------------\n";

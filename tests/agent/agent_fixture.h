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
        SetPlayerAgent(agent.get());
        SetAgentLog(&log);
    }
    void TearDown() override {
        SetAgentLog(nullptr);
        PlaceGhosts({});
        SetPlayerAgent(nullptr);
    }
    // Everything logged since the last call.
    std::string TakeLog() {
        const std::string text = log.str();
        log.str("");
        return text;
    }
    void PutGulper(GridPoint cell) { agent->position = CellCentre(cell.x, cell.y); }
    // The agent tells the ghosts apart by their slots only.
    void PlaceGhosts(const GhostCells& cells, bool blue = false) {
        for (auto [slot, cell] : {std::pair{&redGhost, cells.red},
                                  {&orangeGhost, cells.orange},
                                  {&greenGhost, cells.green},
                                  {&turquoiseGhost, cells.turquoise}}) {
            delete *slot;
            *slot = cell != GridPoint() ? new RedGhost() : nullptr;
            if (*slot != nullptr) {
                (*slot)->position = CellCentre(cell.x, cell.y);
                (*slot)->SetBlue(blue);
            }
        }
    }

    std::ostringstream log;
    std::unique_ptr<PlayerAgent> agent = std::make_unique<PlayerAgent>();
};

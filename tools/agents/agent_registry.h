#pragma once

// Agents by name. An agent is a player sprite class (game/sprite.h) whose Think steers the
// Gulper at each cell centre. To add one, write one file in tools/agents/ that defines the
// class and registers it:
//
//     namespace {
//     class MyAgent : public PlayerSprite { void Think() override { ... } };
//     const AgentRegistration registration{{"my-agent", "one line on what it does",
//         [] { return std::unique_ptr<PlayerSprite>(new MyAgent()); }, nullptr, nullptr,
//         false}};
//     }
//
// The build picks the file up; `gulper-sim --agents` then lists it and `--agent my-agent`
// plays it. A plan reader is optional: without one gulper-watch draws no plan for it. The last
// two members (a look at the game before each decision, and plans kept in recordings) serve
// agents played from outside the process.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/grid_point.h"
#include "game/sprite.h"

// What an agent had in mind at its last decision, for drawing over the board. Cells are
// (column, row) with row 0 at the bottom, as the agent's own searches count them.
struct AgentPlan {
    // One word: fleeing, feeding, hunting, fruit.
    std::string state;
    // The planned route, from the cell the decision was taken on to the goal.
    std::vector<GridPoint> route;
    std::optional<GridPoint> goal;
    // The cells of the ghosts it is running from.
    std::vector<GridPoint> fleeingFrom;
};

struct AgentEntry {
    std::string name;
    std::string summary;
    std::function<std::unique_ptr<PlayerSprite>()> make;
    // Reads the plan of the agent's last decision, taken on `decisionCell`, without changing
    // the agent or writing to its log. May be empty.
    std::function<AgentPlan(PlayerSprite& agent, GridPoint decisionCell)> readPlan;
    // Called before each tick that holds a decision (the Gulper on a cell centre), with the
    // ticks played so far, by whoever ticks the game: an agent that answers from outside
    // reads the game here, as it stands before the tick's ghosts move. May be empty.
    std::function<void(PlayerSprite& agent, int64_t ticks)> beforeDecision;
    // Whether a recorded game keeps the plan of every decision (read by readPlan): for an
    // agent whose plan cannot be worked out again from the game, as one from outside.
    bool recordPlans = false;
};

// Registers an agent when its file's static objects are built. A second entry under a
// name already taken stops the program: two agents must not answer to one name.
class AgentRegistration {
  public:
    explicit AgentRegistration(AgentEntry entry);
};

// The built-in agent, used wherever no other is named.
constexpr const char* DEFAULT_AGENT = "planner";

// Every registered agent, the default first, then by name.
std::vector<const AgentEntry*> RegisteredAgents();
// The agent of that name, or null. "exec:COMMAND" names a program played over the line
// protocol (tools/exec/exec_agent.h); its entry is made on first use.
const AgentEntry* FindAgent(const std::string& name);
// The names, comma-separated, for error messages.
std::string AgentNames();

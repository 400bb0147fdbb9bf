// The classes the extension gives Python, and what its files share in binding them.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "python/src/session.h"
#include "tools/agents/agent_registry.h"
#include "tools/sim/headless_game.h"
#include "tools/sim/stats.h"

namespace py = pybind11;

// gulper.Env: one game, stepped by decisions.
class Env {
  public:
    Env(const py::object& config, int64_t maxTicks, bool agentLog, const py::object& renderMode);
    py::tuple Reset(const py::object& seed);
    py::tuple Step(int32_t action);
    py::dict Info();
    void Close() { session.reset(); }

    // The session, or an error when closed; and when no game has been started yet.
    Session& Live();
    Session& Playing();

    std::unique_ptr<Session> session;
    // None, or "rgb_array": render() gives the frame either way.
    py::object renderMode;
};

// gulper.agent(name): a registered agent, answering on an Env's live state.
class Agent {
  public:
    explicit Agent(const std::string& name);
    int32_t Act(Env& env);

    const AgentEntry* entry;
    std::unique_ptr<PlayerSprite> sprite;
};

// A ValueError unless the action is one of the five.
void CheckAction(int64_t action);
// seed, ticks, decisions, outcome; for a lost game the catching ghost and the cell.
py::dict InfoOf(Session& s);
// The game as gulper-sim reports it; the agent, when given, says its state at the end.
GameResult ResultOf(Session& s, const Agent* agent);
// The run's summary as a dict, the field names of gulper-sim --json, with its printed text.
py::dict SummaryDict(const RunSummary& summary, const std::vector<GameResult>& results);

void BindEnv(py::module_& m);
void BindBatch(py::module_& m);

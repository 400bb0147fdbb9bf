// The classes the extension gives Python, and what its files share in binding them.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "episode/session.h"
#include "players/registry.h"
#include "study/summary.h"

namespace gulper {

namespace py = pybind11;

// gulper.Env: one game, stepped by decisions.
class Env {
  public:
    Env(const py::object& config, int64_t maxTicks, bool agentLog, const py::object& renderMode);
    py::tuple Reset(const py::object& seed);
    py::tuple Step(const py::object& action);
    py::dict Info();
    void Close();

    // The session, or an error when closed; and when no game has been started yet.
    Session& Live();
    Session& Playing();
    // The live session, or an error while gulper.evaluate plays on it: a policy it hands the
    // environment may read the game but not close, reset, step or restore it.
    Session& Changeable();

    std::unique_ptr<Session> session;
    bool evaluating = false;
    // None, or "rgb_array": render() gives the frame either way.
    py::object renderMode;
};

// gulper.agent(name): a registered agent (or exec:COMMAND), answering on an Env's live state.
class Agent {
  public:
    explicit Agent(const std::string& name);
    ~Agent();
    int32_t Act(Env& env);
    // Tells the agent a new game has started on `s`, ending the one it last played.
    void Begin(Session& s);
    // The game it last heard of has ended and been told so.
    void Forget() { game = nullptr; }

    const AgentEntry* entry;
    std::unique_ptr<Player> player;

  private:
    void LeaveGame();

    // The game the agent last heard the start of: which session, and its reset count.
    const Session* game = nullptr;
    uint64_t serial = 0;
};

// An action from Python (an int or a NumPy integer, 0 to 4); a ValueError that says what it got
// otherwise.
int32_t ActionOf(const py::handle& value);
// A seed from Python (an int or a NumPy integer, 0 to 2^32 - 1); a ValueError saying the range
// otherwise.
uint32_t SeedOf(const py::handle& value);
// seed, ticks, decisions, outcome; for a lost game the catching ghost and the cell.
py::dict InfoOf(Session& s);
// The settings a game plays under: the file `config` names, or without one data/config.txt
// as the game and gulper-sim read it; with the decision limit.
GameSettings SettingsOf(const py::object& config, int64_t maxTicks);
// The run's summary as a dict, the field names of gulper-sim --json, with its printed text.
py::dict SummaryDict(const RunSummary& summary, const std::vector<GameResult>& results);
// An evaluation's first seed, checked with its number of games: a ValueError unless there is
// at least one game and the last seed is at most 2^32 - 1.
uint32_t EvaluationSeed(const py::object& firstSeed, int64_t games);
// The evaluation's results (in seed order from `seed`) summarised as gulper-sim does.
py::dict EvaluationSummary(const std::vector<GameResult>& results, const std::string& agent,
                           const GameSettings& settings, uint32_t seed);
// A line on standard error every twentieth of the run, rewritten in place.
void ShowProgress(int64_t done, int64_t games);

void BindEnv(py::module_& m);
void BindVector(py::module_& m);
void BindLearning(py::module_& m);

}  // namespace gulper

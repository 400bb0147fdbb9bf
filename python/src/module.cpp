// The gulper._core extension: a game stepped from Python, the shipped agents asked on it, its
// snapshots, many games stepped at once, and the simulator's summary of a run.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "game/settings.h"
#include "python/src/bindings.h"
#include "python/src/observation.h"
#include "tools/sim/stats.h"

namespace {

// The settings file's name and its bytes, read once. Without one, data/config.txt as the game
// and gulper-sim read it: a missing one means the defaults.
std::pair<std::string, std::string> ConfigOf(const py::object& config) {
    std::string text, why;
    if (config.is_none()) {
        if (!ReadNamedSettings(SETTINGS_FILE, &text, &why)) {
            text.clear();
        }
        return {SETTINGS_FILE, text};
    }
    const std::string path = py::str(config);
    if (!ReadNamedSettings(path, &text, &why)) {
        throw py::value_error("cannot read the settings file " + path + ": " + why);
    }
    return {path, text};
}

}  // namespace

Env::Env(const py::object& config, int64_t maxTicks, bool agentLog) {
    if (maxTicks < 1) {
        throw py::value_error("max_ticks must be 1 or more");
    }
    auto [path, text] = ConfigOf(config);
    session = std::make_unique<Session>(path, text, maxTicks, agentLog);
}

Session& Env::Live() {
    if (!session) {
        throw std::runtime_error("the environment is closed");
    }
    return *session;
}

Session& Env::Playing() {
    Session& s = Live();
    if (!s.Started()) {
        throw std::runtime_error("no game yet: call reset() first");
    }
    return s;
}

py::dict Env::Info() {
    Session& s = Playing();
    return InfoOf(s);
}

py::tuple Env::Reset(const py::object& seed) {
    Session& s = Live();
    const uint32_t next = seed.is_none() ? (s.Started() ? s.Seed() + 1 : 1) : seed.cast<uint32_t>();
    s.Reset(next);
    return py::make_tuple(Observe({&s}, false), InfoOf(s));
}

py::tuple Env::Step(int32_t action) {
    Session& s = Playing();
    CheckAction(action);
    if (s.Ended()) {
        throw std::runtime_error("the game is over: call reset() to start another");
    }
    const StepOutcome out = s.Step(action);
    return py::make_tuple(Observe({&s}, false), out.reward, out.terminated, out.truncated,
                          InfoOf(s));
}

void CheckAction(int64_t action) {
    if (action < 0 || action >= ACTIONS) {
        throw py::value_error(
            "an action is 0 (keep going), 1 (left), 2 (up), 3 (right) or "
            "4 (down), not " +
            std::to_string(action));
    }
}

py::dict InfoOf(Session& s) {
    s.Enter();
    py::dict info;
    info["seed"] = s.Seed();
    info["ticks"] = s.Ticks();
    info["decisions"] = s.Decisions();
    const GameResult r = ResultOf(s, nullptr);
    info["outcome"] = s.Ended() ? OutcomeName(r.outcome) : "playing";
    if (r.outcome == GameOutcome::LOST) {
        info["caught_by"] = GhostColourName(r.caughtBy);
        info["caught_at"] = py::make_tuple(r.caughtAt.x, r.caughtAt.y);
    }
    return info;
}

GameResult ResultOf(Session& s, const Agent* agent) {
    s.Enter();
    GameResult r;
    r.seed = s.Seed();
    r.outcome = gameWon                  ? GameOutcome::WON
                : s.Rules().playerCaught ? GameOutcome::LOST
                                         : GameOutcome::UNFINISHED;
    r.score = s.Player().Score();
    r.foodLeft = foodLeft;
    r.ticks = s.Ticks();
    r.decisions = s.Decisions();
    if (r.outcome == GameOutcome::LOST) {
        r.caughtBy = CatchingGhost();
        r.caughtAt = s.Player().CellPosition();
        if (agent != nullptr && agent->entry->readPlan) {
            r.lastState = agent->entry->readPlan(*agent->sprite, r.caughtAt).state;
        }
    }
    return r;
}

Agent::Agent(const std::string& name) : entry(FindAgent(name)) {
    if (entry == nullptr) {
        throw py::value_error("no agent named \"" + name + "\"; the agents are " + AgentNames());
    }
    sprite = entry->make();
}

int32_t Agent::Act(Env& env) {
    Session& s = env.Playing();
    if (s.Ended()) {
        throw std::runtime_error("the game is over: there is nothing to decide");
    }
    return s.AskAgent(*sprite);
}

py::dict Evaluate(Env& env, const py::object& policy, int64_t games, uint32_t seed,
                  const std::string& name) {
    Session& s = env.Live();
    Agent* agent = py::isinstance<Agent>(policy) ? &policy.cast<Agent&>() : nullptr;
    std::vector<GameResult> results;
    for (int64_t i = 0; i < games; ++i) {
        s.Reset(seed + static_cast<uint32_t>(i));
        while (!s.Ended()) {
            if (agent != nullptr) {
                s.StepWithAgent(*agent->sprite);  // the agent decides in the tick, as in gulper-sim
                continue;
            }
            const int64_t action = policy(Observe({&s}, false), py::cast(&env)).cast<int64_t>();
            CheckAction(action);
            s.Step(static_cast<int32_t>(action));
        }
        results.push_back(ResultOf(s, agent));
    }
    RunSummary summary = Summarise(results);
    summary.agent = name;
    summary.configPath = s.ConfigPath();
    summary.firstSeed = seed;
    summary.maxTicks = s.MaxTicks();
    return SummaryDict(summary, results);
}

PYBIND11_MODULE(_core, m) {
    m.doc() = "The game stepped from Python, in the process (see docs/observation.md).";
    BindEnv(m);
    BindBatch(m);
    m.def("observation_fields", &FieldTable,
          "The observation's fields as (name, dtype, shape, low, high).");
    m.def("agent_names", [] {
        std::vector<std::string> names;
        for (const AgentEntry* e : RegisteredAgents()) {
            names.push_back(e->name);
        }
        return names;
    });
    m.def("_evaluate", &Evaluate);
    m.attr("ACTIONS") = ACTIONS;
    m.attr("BOARD_COLUMNS") = BOARD_COLUMNS;
    m.attr("BOARD_ROWS") = BOARD_ROWS;
}

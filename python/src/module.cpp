// The gulper._core extension: a game stepped from Python, the shipped agents asked on it, its
// snapshots, many games stepped at once, and the simulator's summary of a run.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "episode/levels.h"
#include "episode/shipped_data.h"
#include "framework/data_file.h"
#include "game/settings.h"
#include "python/src/bindings.h"
#include "python/src/observation.h"
#include "study/summary.h"

namespace gulper {

namespace {

// The settings file's name and its bytes, read once. Without one, data/config.txt as
// gulper-sim reads it: from the working folder, or else the shipped one built in.
std::pair<std::string, std::string> ConfigOf(const py::object& config) {
    std::string text, why;
    if (config.is_none()) {
        if (!ReadDataFile(SETTINGS_FILE, SETTINGS_MAX_BYTES, &text, &why)) {
            text.clear();
        }
        return {SETTINGS_FILE, text};
    }
    const std::string path = py::str(config);
    // A level is always its published settings, the copy built in.
    if (const Level* level = LevelOfFile(path); level != nullptr && LevelSettings(*level, &text)) {
        return {path, text};
    }
    if (!ReadNamedSettings(path, &text, &why)) {
        throw py::value_error("cannot read the settings file " + path + ": " + why);
    }
    return {path, text};
}

}  // namespace

GameSettings SettingsOf(const py::object& config, int64_t maxTicks) {
    if (maxTicks < 1) {
        throw py::value_error("max_ticks must be 1 or more");
    }
    auto [path, text] = ConfigOf(config);
    GameSettings settings;
    settings.configPath = path;
    settings.configText = text;
    settings.maxTicks = maxTicks;
    return settings;
}

Env::Env(const py::object& config, int64_t maxTicks, bool agentLog, const py::object& mode)
    : renderMode(mode) {
    if (!mode.is_none() &&
        !(py::isinstance<py::str>(mode) && mode.cast<std::string>() == "rgb_array")) {
        throw py::value_error("render_mode is None or \"rgb_array\", not " +
                              py::repr(mode).cast<std::string>());
    }
    session = std::make_unique<Session>(SettingsOf(config, maxTicks), agentLog);
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

Session& Env::Changeable() {
    if (evaluating) {
        throw std::runtime_error(
            "gulper.evaluate is playing on this environment: its policy may read the game, "
            "but not close, reset, step or restore it");
    }
    return Live();
}

void Env::Close() {
    Changeable();
    session.reset();
}

py::tuple Env::Reset(const py::object& seed) {
    Session& s = Changeable();
    const uint32_t next = seed.is_none() ? (s.Started() ? s.Seed() + 1 : 1) : SeedOf(seed);
    s.Reset(next);
    return py::make_tuple(Observe({&s}, false), InfoOf(s));
}

py::tuple Env::Step(const py::object& action) {
    Session& s = Changeable();
    const int32_t a = ActionOf(action);
    if (!s.Started()) {
        throw std::runtime_error("no game yet: call reset() first");
    }
    if (s.Ended()) {
        throw std::runtime_error("the game is over: call reset() to start another");
    }
    const StepOutcome out = s.Step(a);
    return py::make_tuple(Observe({&s}, false), out.reward, out.terminated, out.truncated,
                          InfoOf(s));
}

namespace {

// A whole number from Python: an int or anything with __index__ (NumPy's integers), not a
// bool, a float or a string; false otherwise.
bool WholeNumber(const py::handle& value, long long* n) {
    if (!PyIndex_Check(value.ptr()) || PyBool_Check(value.ptr())) {
        return false;
    }
    const py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    int overflow = 0;
    *n = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0) {
        *n = overflow < 0 ? LLONG_MIN : LLONG_MAX;
    }
    return true;
}

std::string Shown(const py::handle& value) {
    return py::repr(value).cast<std::string>() + " (" +
           py::str(py::type::of(value).attr("__name__")).cast<std::string>() + ")";
}

}  // namespace

int32_t ActionOf(const py::handle& value) {
    long long n = 0;
    if (!WholeNumber(value, &n) || n < 0 || n >= ACTIONS) {
        throw py::value_error(
            "an action is 0 (keep going), 1 (left), 2 (up), 3 (right) or 4 (down), not " +
            Shown(value));
    }
    return static_cast<int32_t>(n);
}

uint32_t SeedOf(const py::handle& value) {
    long long n = 0;
    if (!WholeNumber(value, &n) || n < 0 || n > UINT32_MAX) {
        throw py::value_error("a seed is a whole number from 0 to 4294967295, not " + Shown(value));
    }
    return static_cast<uint32_t>(n);
}

py::dict InfoOf(Session& s) {
    py::dict info;
    info["seed"] = s.Seed();
    info["ticks"] = s.Ticks();
    info["decisions"] = s.Decisions();
    const GameResult r = s.Result();
    info["outcome"] = s.Ended() ? OutcomeName(r.outcome) : "playing";
    if (r.outcome == GameOutcome::LOST) {
        info["caught_by"] = GhostColourName(r.caughtBy);
        info["caught_at"] = py::make_tuple(r.caughtAt.x, r.caughtAt.y);
    }
    return info;
}

Agent::Agent(const std::string& name) : entry(FindAgent(name)) {
    if (entry == nullptr) {
        throw py::value_error("no agent named \"" + name + "\"; the agents are " + AgentNames() +
                              ", or exec:COMMAND");
    }
    player = NewPlayer(*entry);
}

Agent::~Agent() {
    LeaveGame();
}

void Agent::LeaveGame() {
    if (game != nullptr) {
        GameResult unfinished;  // left before its end: the agent hears it ended unfinished
        player->EndGame(unfinished);
        game = nullptr;
    }
}

void Agent::Begin(Session& s) {
    LeaveGame();
    player->StartGame(s.Seed(), s.Settings());
    game = &s;
    serial = s.Serial();
}

int32_t Agent::Act(Env& env) {
    Session& s = env.Playing();
    if (s.Ended()) {
        throw std::runtime_error("the game is over: there is nothing to decide");
    }
    if (game != &s || serial != s.Serial()) {
        Begin(s);
    }
    return s.AskAgent(*player);
}

// What a Python policy says it was doing at its last decision: its `state` attribute, when it
// has one that is a string, as the shipped agents name theirs (fleeing, feeding, ...).
std::string PolicyState(const py::object& policy) {
    const py::object state = py::getattr(policy, "state", py::none());
    return py::isinstance<py::str>(state) ? state.cast<std::string>() : std::string();
}

void ShowProgress(int64_t done, int64_t games) {
    const int64_t every = std::max<int64_t>(1, games / 20);
    if (done % every == 0 || done == games) {
        const std::string line = "\r" + std::to_string(done) + "/" + std::to_string(games) +
                                 " games" + (done == games ? "\n" : "");
        py::module_::import("sys").attr("stderr").attr("write")(line);
    }
}

namespace {

// The environment is evaluate's while it plays, and an agent its delegate for a game, whatever
// the policy raises.
class EvaluationHold {
  public:
    explicit EvaluationHold(Env& env) : env(env) { env.evaluating = true; }
    ~EvaluationHold() {
        env.evaluating = false;
        if (env.session) {
            env.session->SetDelegate(nullptr);
        }
    }
    EvaluationHold(const EvaluationHold&) = delete;
    EvaluationHold& operator=(const EvaluationHold&) = delete;

  private:
    Env& env;
};

}  // namespace

py::dict Evaluate(Env& env, const py::object& policy, int64_t games, const py::object& firstSeed,
                  const std::string& name, bool progress) {
    const uint32_t seed = EvaluationSeed(firstSeed, games);
    Session& s = env.Changeable();
    const EvaluationHold hold(env);
    Agent* agent = py::isinstance<Agent>(policy) ? &policy.cast<Agent&>() : nullptr;
    if (agent != nullptr) {
        s.SetDelegate(agent->player.get());  // until the hold ends
    }
    std::vector<GameResult> results;
    for (int64_t i = 0; i < games; ++i) {
        if (PyErr_CheckSignals() != 0) {
            throw py::error_already_set();  // Ctrl+C between games, even for a shipped agent
        }
        if (progress) {
            ShowProgress(i, games);
        }
        s.Reset(seed + static_cast<uint32_t>(i));
        if (agent != nullptr) {
            // The agent plays the whole game through the episode's hooks, as in gulper-sim.
            agent->Begin(s);
            while (!s.Ended()) {
                s.Step(ACTION_KEEP);
            }
            results.push_back(s.Finish());
            agent->Forget();  // it has heard the end
            continue;
        }
        while (!s.Ended()) {
            s.Step(ActionOf(policy(Observe({&s}, false), py::cast(&env))));
        }
        results.push_back(s.Finish());
        if (results.back().outcome == GameOutcome::LOST) {
            results.back().lastState = PolicyState(policy);
        }
    }
    if (progress) {
        ShowProgress(games, games);
    }
    return EvaluationSummary(results, name, s.Settings(), seed);
}

uint32_t EvaluationSeed(const py::object& firstSeed, int64_t games) {
    const uint32_t seed = SeedOf(firstSeed);
    if (games < 1 || static_cast<uint64_t>(games) - 1 > UINT32_MAX - seed) {
        throw py::value_error("games must be 1 or more, and the last seed at most 4294967295");
    }
    return seed;
}

py::dict EvaluationSummary(const std::vector<GameResult>& results, const std::string& agent,
                           const GameSettings& settings, uint32_t seed) {
    RunSummary summary = Summarise(results);
    summary.agent = agent;
    summary.configPath = settings.configPath;
    summary.settingsText = settings.configText;
    summary.firstSeed = seed;
    summary.maxTicks = settings.maxTicks;
    return SummaryDict(summary, results);
}

}  // namespace gulper

using namespace gulper;

PYBIND11_MODULE(_core, m) {
    m.doc() = "The game stepped from Python, in the process (see docs/observation.md).";
    // The shipped settings and pictures wherever Python runs; a data/ folder here comes first.
    UseShippedData();
    BindEnv(m);
    BindVector(m);
    BindLearning(m);
    m.def(
        "level_file",
        [](const std::string& name) {
            const Level* level = FindLevel(name);
            if (level == nullptr) {
                throw py::value_error("no level named \"" + name + "\"; the levels are " +
                                      LevelNames());
            }
            return LevelFile(*level);
        },
        py::arg("name"), "The settings path of a shipped level (played from the copy built in).");
    m.def("levels", [] {
        py::list out;
        for (const Level& level : Levels()) {
            out.append(py::make_tuple(level.name, level.summary));
        }
        return out;
    });
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

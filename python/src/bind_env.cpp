// gulper.Env, its snapshots and gulper.agent as Python sees them.
#include <pybind11/stl.h>

#include "formats/replay_file.h"
#include "python/src/bindings.h"
#include "python/src/observation.h"
#include "python/src/render.h"

namespace gulper {

namespace {

// A snapshot as Python holds it: opaque, for restore_state.
struct State {
    WorldSnapshot snapshot;
};

// Env.write_replay: the game since reset as a replay file, once it is over.
void WriteReplay(Env& e, const std::string& path, const std::string& agent) {
    Session& s = e.Playing();
    if (!s.Ended()) {
        throw py::value_error("the game is not over yet: a replay file holds a whole game");
    }
    if (s.Sampled()) {
        throw py::value_error(
            "this game went on from a state restored with reseed=, so its ghosts drew from "
            "another generator than the seed's: no replay file plays it back");
    }
    GameSettings settings = s.Settings();
    settings.agent = agent;
    const ReplayFile replay = ReplayOf(settings, s.Record(), s.Result());
    std::string error;
    if (!WriteReplayFile(path, replay, &error)) {
        PyErr_SetString(PyExc_OSError, error.c_str());
        throw py::error_already_set();
    }
}

}  // namespace

void BindEnv(py::module_& m) {
    py::class_<State>(m, "State", "A whole game at one decision, from Env.clone_state().")
        .def_property_readonly("tick", [](const State& s) { return s.snapshot.ticks; })
        .def_property_readonly("seed", [](const State& s) { return s.snapshot.seed; });

    py::class_<Env>(m, "Env", "One seeded game of Gulper, stepped one decision at a time.")
        .def(py::init<const py::object&, int64_t, bool, const py::object&>(),
             py::arg("config") = py::none(), py::arg("max_ticks") = DEFAULT_MAX_TICKS,
             py::arg("agent_log") = false, py::arg("render_mode") = py::none())
        .def_readonly("render_mode", &Env::renderMode)
        .def("reset", &Env::Reset, py::arg("seed") = py::none(),
             "Starts the game gulper-sim --replay SEED plays; returns (obs, info).")
        .def("step", &Env::Step, py::arg("action"),
             "One decision; returns (obs, reward, terminated, truncated, info).")
        .def("observe", [](Env& e) { return Observe({&e.Playing()}, false); })
        .def_property_readonly("info", &Env::Info)
        .def("clone_state", [](Env& e) { return State{e.Playing().Save()}; })
        .def(
            "restore_state",
            [](Env& e, const State& s, const py::object& reseed) {
                std::optional<uint32_t> fresh;
                if (!reseed.is_none()) {
                    fresh = SeedOf(reseed);
                }
                if (!e.Live().Restore(s.snapshot, fresh)) {
                    throw py::value_error(
                        "that state is of a game under other settings, or this environment "
                        "has not started a game yet");
                }
            },
            py::arg("state"), py::arg("reseed") = py::none(),
            "Puts the game back as it was at the state. Without reseed the game goes on exactly "
            "as it did (the same ghost moves for the same actions); with reseed=S the ghosts' "
            "draws from then on come afresh from S: another possible future, the same for the "
            "same S.")
        .def("write_replay", &WriteReplay, py::arg("path"), py::arg("agent") = "python",
             "Writes the game since reset, once over, as a replay file that gulper-sim "
             "--replay-file checks and gulper-watch --replay-file shows.")
        .def(
            "take_log", [](Env& e) { return e.Live().TakeLog(); },
            "The agent's reasoning written since the last call (with agent_log=True).")
        .def(
            "render", [](Env& e) { return RenderFrame(e.Playing()); },
            "The board as the game draws it: a 460x380x3 uint8 array.")
        .def("close", &Env::Close);

    py::class_<Agent>(m, "Agent", "A shipped agent, answering the action it would take.")
        .def(py::init<const std::string&>(), py::arg("name"))
        .def_property_readonly("name", [](const Agent& a) { return a.entry->name; })
        .def("act", &Agent::Act, py::arg("env"))
        .def(
            "__call__", [](Agent& a, const py::object&, Env& env) { return a.Act(env); },
            py::arg("obs"), py::arg("env"));
}

}  // namespace gulper

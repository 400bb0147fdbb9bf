// What a learning agent asks of the module beyond the game itself: the actions that move the
// Gulper, the board as planes for a convolutional network, and a run evaluated with the policy
// asked once per step for many games at once.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "python/src/bindings.h"
#include "python/src/observation.h"

namespace gulper {

namespace {

// A policy answers at most this many games at once: every game is a session of its own.
constexpr int64_t MAX_EVALUATION_BATCH = 4096;

// The planes a convolutional network is shown, in order: each a 0/1 board, row 0 at the
// bottom. Ghosts by colour, red first.
enum Plane {
    PLANE_WALLS,
    PLANE_DOTS,
    PLANE_PILLS,
    PLANE_GHOST_DANGEROUS,
    PLANE_GHOST_BLUE = PLANE_GHOST_DANGEROUS + GHOST_COLOURS,
    PLANE_GULPER = PLANE_GHOST_BLUE + GHOST_COLOURS,
    PLANE_FRUIT,
    PLANES
};

std::vector<std::string> PlaneNames() {
    std::vector<std::string> names = {"walls", "dots", "pills"};
    for (const char* kind : {"dangerous", "blue"}) {
        for (GhostColour c : TICK_ORDER) {
            names.push_back(std::string("ghost_") + GhostColourName(c) + "_" + kind);
        }
    }
    names.push_back("gulper");
    names.push_back("fruit");
    return names;
}

// Writes one game's planes into `out` (zeroed, PLANES x BOARD_ROWS x BOARD_COLUMNS).
void WritePlanes(const Observation& o, uint8_t* out) {
    const auto at = [out](int plane, int x, int y) -> uint8_t& {
        return out[(plane * BOARD_ROWS + y) * BOARD_COLUMNS + x];
    };
    for (int y = 0; y < BOARD_ROWS; ++y) {
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            const int code = o.board[GridIndex(x, y)];
            at(PLANE_WALLS, x, y) = code <= CELL_DOOR;  // never entered by the Gulper
            at(PLANE_DOTS, x, y) = code == CELL_DOT;
            at(PLANE_PILLS, x, y) = code == CELL_PILL;
        }
    }
    // A sprite's cell is on the board; one that were not would be left unmarked.
    const auto mark = [&at](int plane, int x, int y) {
        if (x >= 0 && x < BOARD_COLUMNS && y >= 0 && y < BOARD_ROWS) {
            at(plane, x, y) = 1;
        }
    };
    for (GhostColour c : TICK_ORDER) {
        // A ghost waiting in the house after being eaten can catch no one.
        if (o.ghostPresent[c] && o.ghostReleased[c]) {
            const int plane = (o.ghostBlue[c] ? PLANE_GHOST_BLUE : PLANE_GHOST_DANGEROUS) + c;
            mark(plane, o.ghostCell[c][0], o.ghostCell[c][1]);
        }
    }
    mark(PLANE_GULPER, o.gulperCell[0], o.gulperCell[1]);
    if (o.fruitVisible) {
        const GridPoint fruit = CellOfPixel(FRUIT_POSITION);
        mark(PLANE_FRUIT, fruit.x, fruit.y);
    }
}

// The planes of each session's game, stacked over them when `stacked`.
py::array_t<uint8_t> ObservePlanes(const std::vector<Session*>& sessions, bool stacked) {
    std::vector<py::ssize_t> shape = {PLANES, BOARD_ROWS, BOARD_COLUMNS};
    if (stacked) {
        shape.insert(shape.begin(), static_cast<py::ssize_t>(sessions.size()));
    }
    py::array_t<uint8_t> planes(shape);
    const size_t each = static_cast<size_t>(PLANES) * BOARD_CELLS;
    std::fill_n(planes.mutable_data(), each * sessions.size(), uint8_t{0});
    for (size_t i = 0; i < sessions.size(); ++i) {
        Session& s = *sessions[i];
        s.Enter();
        WritePlanes(ReadObservation(s.Gulper(), s.Ticks()), planes.mutable_data() + i * each);
    }
    return planes;
}

// What a batched policy is given: the dict, the planes, or both (for the flat vector).
enum class BatchForm { DICT, PLANES, BOTH };

py::object AskBatch(const py::object& policy, const std::vector<Session*>& games, BatchForm form) {
    switch (form) {
        case BatchForm::DICT:
            return policy(Observe(games, true));
        case BatchForm::PLANES:
            return policy(ObservePlanes(games, true));
        default:
            return policy(Observe(games, true), ObservePlanes(games, true));
    }
}

py::array_t<uint8_t> OpenWays(Env& env) {
    const std::array<bool, ACTIONS> moves = env.Playing().MovingActions();
    py::array_t<uint8_t> mask(ACTIONS);
    for (int a = 0; a < ACTIONS; ++a) {
        mask.mutable_at(a) = moves[a] ? 1 : 0;
    }
    return mask;
}

// The batch's actions: one whole number from 0 to 4 per game asked, never a rounded float.
std::vector<int32_t> BatchActions(const py::object& answer, size_t games) {
    const py::array actions = py::array::ensure(answer);
    if (!actions || actions.ndim() != 1 || static_cast<size_t>(actions.size()) != games) {
        throw py::value_error("a batched policy answers one action per game asked (" +
                              std::to_string(games) + "), not " +
                              py::repr(answer).cast<std::string>());
    }
    const char kind = actions.dtype().kind();
    if (kind != 'i' && kind != 'u') {
        throw py::value_error("a batched policy answers integer actions, not " +
                              py::str(actions.dtype()).cast<std::string>());
    }
    std::vector<int32_t> out(games);
    for (size_t i = 0; i < games; ++i) {
        out[i] = ActionOf(actions[py::int_(i)]);
    }
    return out;
}

py::dict EvaluateBatched(Env& env, const py::object& policy, int64_t games,
                         const py::object& firstSeed, const std::string& name, int64_t batch,
                         bool progress, const std::string& formName) {
    const BatchForm form = formName == "dict"     ? BatchForm::DICT
                           : formName == "planes" ? BatchForm::PLANES
                                                  : BatchForm::BOTH;
    const uint32_t seed = EvaluationSeed(firstSeed, games);
    if (batch < 1 || batch > MAX_EVALUATION_BATCH) {
        throw py::value_error("batch must be from 1 to " + std::to_string(MAX_EVALUATION_BATCH));
    }
    const GameSettings settings = env.Live().Settings();
    std::vector<std::unique_ptr<Session>> slots;
    std::vector<int64_t> playing;  // the game each slot plays, in seed order from the first
    int64_t next = 0;
    for (; next < std::min(batch, games); ++next) {
        slots.push_back(std::make_unique<Session>(settings, false));
        slots.back()->Reset(seed + static_cast<uint32_t>(next));
        playing.push_back(next);
    }
    std::vector<GameResult> results(static_cast<size_t>(games));
    int64_t done = 0;
    if (progress) {
        ShowProgress(0, games);
    }
    while (!slots.empty()) {
        if (PyErr_CheckSignals() != 0) {
            throw py::error_already_set();
        }
        std::vector<Session*> asked;
        for (auto& s : slots) {
            asked.push_back(s.get());
        }
        const std::vector<int32_t> actions =
            BatchActions(AskBatch(policy, asked, form), asked.size());
        std::vector<std::unique_ptr<Session>> kept;
        std::vector<int64_t> keptGames;
        for (size_t i = 0; i < slots.size(); ++i) {
            Session& s = *slots[i];
            s.Step(actions[i]);
            if (s.Ended()) {
                results[static_cast<size_t>(playing[i])] = s.Finish();
                if (progress) {
                    ShowProgress(++done, games);
                }
                if (next == games) {
                    continue;  // nothing left for this slot to play
                }
                s.Reset(seed + static_cast<uint32_t>(next));
                playing[i] = next++;
            }
            kept.push_back(std::move(slots[i]));
            keptGames.push_back(playing[i]);
        }
        slots.swap(kept);
        playing.swap(keptGames);
    }
    return EvaluationSummary(results, name, settings, seed);
}

}  // namespace

void BindLearning(py::module_& m) {
    m.def("_open_ways", &OpenWays, py::arg("env"));
    // The longest each countdown runs under the game's settings, to scale it by.
    m.def("_countdown_lengths", [](Env& env) {
        env.Playing().Enter();
        py::dict lengths;
        lengths["attack"] = length_attack_mode;
        lengths["scatter"] = length_scatter_mode;
        lengths["blue"] = n_moves_blue_ghosts;
        return lengths;
    });
    m.attr("DEFAULT_MAX_TICKS") = DEFAULT_MAX_TICKS;
    m.def("_evaluate_batched", &EvaluateBatched);
    m.def("_planes", [](Env& env) { return ObservePlanes({&env.Playing()}, false); });
    m.attr("PLANE_NAMES") = PlaneNames();
}

}  // namespace gulper

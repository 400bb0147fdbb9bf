// What a learning agent asks of the module beyond the game itself: the actions that move the
// Gulper, and a run evaluated with the policy asked once per step for many games at once.
#include <pybind11/numpy.h>

#include <memory>
#include <vector>

#include "game/game_state.h"
#include "python/src/bindings.h"
#include "python/src/observation.h"

namespace gulper {

namespace {

// A policy answers at most this many games at once: every game is a session of its own.
constexpr int64_t MAX_EVALUATION_BATCH = 4096;

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
                         bool progress) {
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
            BatchActions(policy(Observe(asked, true)), asked.size());
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
}

}  // namespace gulper

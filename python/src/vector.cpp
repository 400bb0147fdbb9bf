// gulper._core.VectorGames: many games stepped in one call, spread over worker threads, with
// the autoreset of Gymnasium's vector environments. gulper.VectorEnv (python/gulper/vector.py)
// wraps it with the seeds' generator and the standard interface.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "episode/observation.h"
#include "python/src/bindings.h"
#include "python/src/render.h"
#include "python/src/worker_pool.h"

namespace gulper {

namespace {

// What one game takes, measured with room to spare (about 52 kB: its state, its ghosts and
// their pictures).
constexpr uint64_t GAME_BYTES = 64 * 1024;

// The memory this machine can still give, in bytes (MemAvailable, or the free pages).
uint64_t AvailableBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kb = 0;
    while (meminfo >> key >> kb) {
        if (key == "MemAvailable:") {
            return kb * 1024;
        }
        meminfo.ignore(64, '\n');
    }
    return static_cast<uint64_t>(sysconf(_SC_AVPHYS_PAGES)) * sysconf(_SC_PAGESIZE);
}

// A game's info as plain values, taken on its worker so that Python's thread never swaps the
// game in to read it.
struct GameInfo {
    uint32_t seed = 0;
    int64_t ticks = 0;
    int64_t decisions = 0;
    bool ended = false;
    GameResult result;
};

GameInfo InfoNow(Session& s) {
    GameInfo info{s.Seed(), s.Ticks(), s.Decisions(), s.Ended(), s.Result()};
    return info;
}

// An array of n Python objects, each None.
py::array ObjectArray(size_t n) {
    return py::module_::import("numpy").attr("full")(n, py::none(), "object");
}

// Puts `value` at index i of an object array.
void PutObject(py::array& array, size_t i, const py::object& value) {
    PyObject** slots = static_cast<PyObject**>(array.mutable_data());
    Py_XDECREF(slots[i]);
    slots[i] = value.inc_ref().ptr();
}

py::array_t<bool> Falses(size_t n) {
    py::array_t<bool> mask(static_cast<py::ssize_t>(n));
    std::memset(mask.mutable_data(), 0, n);
    return mask;
}

// Games' infos in a vector environment's form: the keys of gulper.Env's info, each an array
// over the games, with a mask "_key" of the games that have it. `which` picks the games (all
// when empty).
py::dict StackedInfo(const std::vector<GameInfo>& games, const std::vector<size_t>& which) {
    const size_t n = games.size();
    py::array_t<int64_t> seed(static_cast<py::ssize_t>(n)), ticks(static_cast<py::ssize_t>(n)),
        decisions(static_cast<py::ssize_t>(n));
    for (auto* a : {&seed, &ticks, &decisions}) {
        std::memset(a->mutable_data(), 0, n * sizeof(int64_t));
    }
    py::array_t<bool> has = Falses(n), lost = Falses(n);
    py::array outcome = ObjectArray(n), caughtBy = ObjectArray(n), caughtAt = ObjectArray(n);
    // The outcome's words, made once a call.
    const py::str playing("playing");
    py::object words[4];
    bool anyLost = false;
    auto put = [&](size_t i) {
        const GameInfo& g = games[i];
        seed.mutable_data()[i] = g.seed;
        ticks.mutable_data()[i] = g.ticks;
        decisions.mutable_data()[i] = g.decisions;
        has.mutable_data()[i] = true;
        const int o = static_cast<int>(g.result.outcome);
        if (!g.ended) {
            PutObject(outcome, i, playing);
        } else if (o >= 0 && o < 4) {
            if (!words[o]) {
                words[o] = py::str(OutcomeName(g.result.outcome));
            }
            PutObject(outcome, i, words[o]);
        } else {
            PutObject(outcome, i, py::str(OutcomeName(g.result.outcome)));
        }
        if (g.result.outcome == GameOutcome::LOST) {
            PutObject(caughtBy, i, py::str(GhostColourName(g.result.caughtBy)));
            PutObject(caughtAt, i, py::make_tuple(g.result.caughtAt.x, g.result.caughtAt.y));
            lost.mutable_data()[i] = true;
            anyLost = true;
        }
    };
    if (which.empty()) {
        for (size_t i = 0; i < n; ++i) {
            put(i);
        }
    } else {
        for (size_t i : which) {
            put(i);
        }
    }
    const auto copyOf = [](const py::array_t<bool>& mask) {
        py::array_t<bool> again(mask.size());
        std::memcpy(again.mutable_data(), mask.data(), mask.size());
        return again;
    };
    py::dict info;
    info["seed"] = seed;
    info["_seed"] = has;
    info["ticks"] = ticks;
    info["_ticks"] = copyOf(has);
    info["decisions"] = decisions;
    info["_decisions"] = copyOf(has);
    info["outcome"] = outcome;
    info["_outcome"] = copyOf(has);
    if (anyLost) {
        info["caught_by"] = caughtBy;
        info["_caught_by"] = lost;
        info["caught_at"] = caughtAt;
        info["_caught_at"] = copyOf(lost);
    }
    return info;
}

class VectorGames {
  public:
    VectorGames(int64_t count, const py::object& config, int64_t maxTicks,
                const py::object& threads, bool sameStep, bool copy)
        : sameStep(sameStep), copy(copy) {
        if (count < 1) {
            throw py::value_error("a vector holds one game or more");
        }
        const uint64_t available = AvailableBytes();
        if (static_cast<uint64_t>(count) > available / GAME_BYTES) {
            PyErr_SetString(PyExc_MemoryError,
                            ("a vector of " + std::to_string(count) + " games needs about " +
                             std::to_string(count * GAME_BYTES >> 20) + " MiB; this machine has " +
                             std::to_string(available >> 20) + " MiB to give")
                                .c_str());
            throw py::error_already_set();
        }
        int64_t parts = UsableCores();
        if (!threads.is_none()) {
            if (!PyIndex_Check(threads.ptr()) || PyBool_Check(threads.ptr()) ||
                threads.cast<int64_t>() < 1) {
                throw py::value_error(
                    "threads is a whole number, 1 or more, or None for every "
                    "core, not " +
                    py::repr(threads).cast<std::string>());
            }
            parts = threads.cast<int64_t>();
        }
        parts = std::min(parts, count);
        const GameSettings settings = SettingsOf(config, maxTicks);
        for (int64_t i = 0; i < count; ++i) {
            // No replay is written from a vector: its games keep no record.
            sessions.push_back(std::make_unique<Session>(settings, false, false));
        }
        infos.resize(count);
        ended.assign(count, false);
        seeds.assign(count, 0);
        chosen.assign(count, false);
        actions.assign(count, ACTION_KEEP);
        rewards = py::array_t<double>(count);
        terminated = py::array_t<bool>(count);
        truncated = py::array_t<bool>(count);
        for (const ObservationField& f : ObservationFields()) {
            std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(count)};
            shape.insert(shape.end(), f.shape.begin(), f.shape.end());
            py::array field(py::dtype(FieldKindName(f.kind)), shape);
            std::memset(field.mutable_data(), 0, field.nbytes());
            fieldBytes.push_back(static_cast<size_t>(FieldElements(f)) *
                                 static_cast<size_t>(FieldKindBytes(f.kind)));
            fieldData.push_back(static_cast<char*>(field.mutable_data()));
            fields.push_back(field);
        }
        pool = std::make_unique<WorkerPool>(static_cast<int>(parts));
    }

    // Starts the games where `mask` is set (every game when None), each with its seed.
    py::tuple Reset(const py::object& given, const py::object& mask) {
        Open();
        const size_t n = sessions.size();
        std::vector<uint32_t> list;
        for (const py::handle seed : given) {
            list.push_back(SeedOf(seed));
        }
        if (list.size() != n) {
            throw py::value_error("reset takes one seed per game");
        }
        std::vector<bool> where(n, true);
        if (!mask.is_none()) {
            where = mask.cast<std::vector<bool>>();
            if (where.size() != n) {
                throw py::value_error("the reset mask needs one entry per game");
            }
        }
        for (size_t i = 0; i < n; ++i) {
            chosen[i] = where[i];
            seeds[i] = list[i];
        }
        Play([this](size_t i) {
            if (chosen[i] != 0) {
                sessions[i]->Reset(seeds[i]);
                ended[i] = false;
                Observe(i);
            }
        });
        std::vector<size_t> started;
        for (size_t i = 0; i < n; ++i) {
            if (where[i]) {
                started.push_back(i);
            }
        }
        return py::make_tuple(Observations(), StackedInfo(infos, started));
    }

    // One decision in every game; a game that ended is started again, as the autoreset mode
    // says, with a seed from draw(k), which gives k seeds.
    py::tuple Step(const py::object& given, const py::object& draw) {
        Open();
        ReadActions(given);
        const size_t n = sessions.size();
        for (size_t i = 0; i < n; ++i) {
            if (!sessions[i]->Started()) {
                throw std::runtime_error("no game yet: call reset() first");
            }
        }
        auto* r = rewards.mutable_data();
        auto* te = terminated.mutable_data();
        auto* tr = truncated.mutable_data();
        if (!sameStep) {
            // The games that ended last step start again now, in place of a decision.
            DrawSeeds(draw, ended);
            Play([&](size_t i) {
                Session& s = *sessions[i];
                if (chosen[i] != 0) {
                    s.Reset(seeds[i]);
                    r[i] = 0;
                    te[i] = tr[i] = false;
                } else {
                    const StepOutcome out = s.Step(actions[i]);
                    r[i] = out.reward;
                    te[i] = out.terminated;
                    tr[i] = out.truncated;
                }
                ended[i] = te[i] || tr[i];
                Observe(i);
            });
            return py::make_tuple(Observations(), Copied(rewards), Copied(terminated),
                                  Copied(truncated), StackedInfo(infos, {}));
        }
        Play([&](size_t i) {
            const StepOutcome out = sessions[i]->Step(actions[i]);
            r[i] = out.reward;
            te[i] = out.terminated;
            tr[i] = out.truncated;
            ended[i] = out.terminated || out.truncated;
            Observe(i);
        });
        // The games that ended hand back their last observation and info, then start again.
        std::vector<size_t> over;
        for (size_t i = 0; i < n; ++i) {
            if (ended[i] != 0) {
                over.push_back(i);
            }
        }
        py::dict info;
        if (!over.empty()) {
            py::array finalObs = ObjectArray(n);
            py::array_t<bool> hasFinal = Falses(n), hasFinalInfo = Falses(n);
            for (size_t i : over) {
                PutObject(finalObs, i, Row(i));
                hasFinal.mutable_data()[i] = hasFinalInfo.mutable_data()[i] = true;
            }
            const py::dict finalInfo = StackedInfo(infos, over);
            DrawSeeds(draw, ended);
            Play([&](size_t i) {
                if (chosen[i] != 0) {
                    sessions[i]->Reset(seeds[i]);
                    ended[i] = false;
                    Observe(i);
                }
            });
            info["final_obs"] = finalObs;
            info["_final_obs"] = hasFinal;
            info["final_info"] = finalInfo;
            info["_final_info"] = hasFinalInfo;
        }
        for (const auto item : StackedInfo(infos, {})) {
            info[item.first] = item.second;
        }
        return py::make_tuple(Observations(), Copied(rewards), Copied(terminated),
                              Copied(truncated), info);
    }

    // Each game's frame, as gulper.Env.render draws it.
    py::tuple Render() {
        Open();
        py::tuple frames(sessions.size());
        for (size_t i = 0; i < sessions.size(); ++i) {
            if (!sessions[i]->Started()) {
                throw std::runtime_error("no game yet: call reset() first");
            }
            frames[i] = RenderFrame(*sessions[i]);
        }
        return frames;
    }

    void Close() {
        pool.reset();
        sessions.clear();
    }

    size_t Size() const { return infos.size(); }
    int Threads() const { return pool ? pool->Parts() : 0; }

  private:
    void Open() const {
        if (!pool) {
            throw std::runtime_error("the vector environment is closed");
        }
    }

    // Integer actions only, one per game: a float is never rounded, nor a string parsed.
    void ReadActions(const py::object& given) {
        const py::array array = py::array::ensure(given);
        if (!array || (array.dtype().kind() != 'i' && array.dtype().kind() != 'u')) {
            throw py::value_error("step takes an array of integer actions, one per game, not " +
                                  (array
                                       ? "an array of " + py::str(array.dtype()).cast<std::string>()
                                       : py::repr(given).cast<std::string>()));
        }
        const auto all = array.cast<py::array_t<int64_t, py::array::forcecast>>();
        if (all.ndim() != 1 || static_cast<size_t>(all.shape(0)) != sessions.size()) {
            throw py::value_error("step takes one action per game");
        }
        const auto a = all.unchecked<1>();
        for (py::ssize_t i = 0; i < a.shape(0); ++i) {
            const int64_t action = a(i);
            // Python's own word for one out of range, without a Python number for every game.
            actions[i] = action >= 0 && action < ACTIONS ? static_cast<int32_t>(action)
                                                         : ActionOf(py::int_(action));
        }
    }

    // Seeds for the games `which` marks, in the games' order, from draw(k); marks them chosen.
    void DrawSeeds(const py::object& draw, const std::vector<char>& which) {
        size_t k = 0;
        for (size_t i = 0; i < which.size(); ++i) {
            chosen[i] = which[i];
            k += which[i] != 0 ? 1 : 0;
        }
        if (k == 0) {
            return;
        }
        std::vector<uint32_t> drawn;
        for (const py::handle seed : draw(k)) {
            drawn.push_back(SeedOf(seed));
        }
        if (drawn.size() != k) {
            throw std::runtime_error("the seeds' generator gave " + std::to_string(drawn.size()) +
                                     " seeds for " + std::to_string(k) + " games");
        }
        for (size_t i = 0, next = 0; i < which.size(); ++i) {
            if (which[i] != 0) {
                seeds[i] = drawn[next++];
            }
        }
    }

    // Calls game(i) for every game, each worker its own share of the games, always the same
    // share; without the interpreter lock. Each worker stores its last game back when done, so
    // that any thread may read the games afterwards.
    void Play(const std::function<void(size_t)>& game) {
        const size_t n = sessions.size();
        const size_t parts = static_cast<size_t>(pool->Parts());
        const std::function<void(int)> share = [&](int part) {
            const size_t from = n * part / parts;
            const size_t to = n * (part + 1) / parts;
            for (size_t i = from; i < to; ++i) {
                game(i);
            }
            Session::LeaveThread();
        };
        std::exception_ptr error;
        {
            const py::gil_scoped_release free;
            error = pool->Run(share);
        }
        if (error) {
            std::rethrow_exception(error);
        }
    }

    // Writes game i's observation into its rows of the arrays, and keeps its info; on its
    // worker, whose live game it is.
    void Observe(size_t i) {
        Session& s = *sessions[i];
        const Observation o = ReadObservation(s.Gulper(), s.Ticks());
        for (size_t f = 0; f < fieldData.size(); ++f) {
            std::memcpy(fieldData[f] + i * fieldBytes[f], FieldData(o, static_cast<int>(f)),
                        fieldBytes[f]);
        }
        infos[i] = InfoNow(s);
    }

    py::dict Observations() const {
        py::dict obs;
        const auto& table = ObservationFields();
        for (size_t f = 0; f < fields.size(); ++f) {
            obs[table[f].name] = copy ? Copied(fields[f]) : py::object(fields[f]);
        }
        return obs;
    }

    // Game i's observation alone, in arrays of its own.
    py::dict Row(size_t i) const {
        py::dict obs;
        const auto& table = ObservationFields();
        for (size_t f = 0; f < fields.size(); ++f) {
            obs[table[f].name] = Copied(py::array(fields[f][py::int_(i)]));
        }
        return obs;
    }

    // A fresh array holding what `array` (C-contiguous) holds.
    static py::array Copied(const py::array& array) {
        return py::array(array.dtype(),
                         std::vector<py::ssize_t>(array.shape(), array.shape() + array.ndim()),
                         array.data());
    }

    bool sameStep;
    bool copy;
    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<GameInfo> infos;
    // Ended and not yet started again; the seed each game starts with; which games a call
    // starts; the actions of this step.
    // Bytes, not std::vector<bool>'s bits: each worker writes its own games' entries.
    std::vector<char> ended;
    std::vector<uint32_t> seeds;
    std::vector<char> chosen;
    std::vector<int32_t> actions;
    py::array_t<double> rewards;
    py::array_t<bool> terminated;
    py::array_t<bool> truncated;
    // The observation's arrays, a row per game, written by the workers in place.
    std::vector<py::array> fields;
    std::vector<char*> fieldData;
    std::vector<size_t> fieldBytes;
    std::unique_ptr<WorkerPool> pool;
};

}  // namespace

void BindVector(py::module_& m) {
    py::class_<VectorGames>(m, "VectorGames",
                            "Many games stepped at once on worker threads (see gulper.VectorEnv).")
        .def(py::init<int64_t, const py::object&, int64_t, const py::object&, bool, bool>(),
             py::arg("count"), py::arg("config") = py::none(),
             py::arg("max_ticks") = DEFAULT_MAX_TICKS, py::arg("threads") = py::none(),
             py::arg("same_step") = false, py::arg("copy") = true)
        .def("reset", &VectorGames::Reset, py::arg("seeds"), py::arg("mask") = py::none())
        .def("step", &VectorGames::Step, py::arg("actions"), py::arg("draw"))
        .def("render", &VectorGames::Render)
        .def("close", &VectorGames::Close)
        .def_property_readonly("threads", &VectorGames::Threads)
        .def("__len__", &VectorGames::Size);
}

}  // namespace gulper

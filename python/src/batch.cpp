// gulper.BatchEnv: many games stepped in one call, their observations stacked.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <unistd.h>

#include <fstream>

#include "python/src/bindings.h"
#include "python/src/observation.h"

namespace gulper {

namespace {

// What one game of a batch takes, measured with room to spare (about 52 kB: its state, its
// ghosts and their pictures).
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

class BatchEnv {
  public:
    BatchEnv(int64_t count, const py::object& config, int64_t maxTicks) {
        if (count < 1) {
            throw py::value_error("a batch holds one game or more");
        }
        const uint64_t available = AvailableBytes();
        if (static_cast<uint64_t>(count) > available / GAME_BYTES) {
            PyErr_SetString(PyExc_MemoryError,
                            ("a batch of " + std::to_string(count) + " games needs about " +
                             std::to_string(count * GAME_BYTES >> 20) + " MiB; this machine has " +
                             std::to_string(available >> 20) + " MiB to give")
                                .c_str());
            throw py::error_already_set();
        }
        for (int64_t i = 0; i < count; ++i) {
            envs.push_back(std::make_unique<Env>(config, maxTicks, false, py::none()));
            sessions.push_back(envs.back()->session.get());
        }
    }

    // Seeds first, first + 1, ... or one each from an array; only where `mask` is true.
    py::tuple Reset(const py::object& seeds, const py::object& mask) {
        const std::vector<uint32_t> list = SeedList(seeds);
        const std::vector<bool> where =
            mask.is_none() ? std::vector<bool>(envs.size(), true) : mask.cast<std::vector<bool>>();
        if (where.size() != envs.size()) {
            throw py::value_error("the mask needs one entry per game");
        }
        for (size_t i = 0; i < envs.size(); ++i) {
            if (where[i]) {
                sessions[i]->Reset(list[i]);
            }
        }
        return py::make_tuple(Observe(sessions, true), Infos());
    }

    // One decision in every game still going; a game that is over stays as it ended.
    py::tuple Step(const py::object& given) {
        // Whole numbers only: a float or a string is refused, never rounded or parsed.
        const py::array array = py::array::ensure(given);
        if (!array || (array.dtype().kind() != 'i' && array.dtype().kind() != 'u')) {
            throw py::value_error("step takes an array of integer actions, one per game, not " +
                                  (array
                                       ? "an array of " + py::str(array.dtype()).cast<std::string>()
                                       : py::repr(given).cast<std::string>()));
        }
        const auto actions = array.cast<py::array_t<int64_t, py::array::forcecast>>();
        if (actions.ndim() != 1 || static_cast<size_t>(actions.shape(0)) != envs.size()) {
            throw py::value_error("step takes one action per game");
        }
        const auto a = actions.unchecked<1>();
        const py::ssize_t n = static_cast<py::ssize_t>(envs.size());
        py::array_t<int32_t> rewards(n);
        py::array_t<bool> terminated(n);
        py::array_t<bool> truncated(n);
        auto r = rewards.mutable_unchecked<1>();
        auto te = terminated.mutable_unchecked<1>();
        auto tr = truncated.mutable_unchecked<1>();
        for (py::ssize_t i = 0; i < n; ++i) {
            ActionOf(py::int_(a(i)));
        }
        for (py::ssize_t i = 0; i < n; ++i) {
            Session& s = envs[i]->Playing();
            r(i) = s.Ended() ? 0 : s.Step(static_cast<int32_t>(a(i))).reward;
            te(i) = s.Over();
            tr(i) = s.Truncated();
        }
        return py::make_tuple(Observe(sessions, true), rewards, terminated, truncated, Infos());
    }

    size_t Size() const { return envs.size(); }

  private:
    std::vector<uint32_t> SeedList(const py::object& seeds) const {
        std::vector<uint32_t> list;
        if (PyIndex_Check(seeds.ptr())) {
            const uint32_t first = SeedOf(seeds);
            if (envs.size() - 1 > UINT32_MAX - first) {
                throw py::value_error("the batch's last seed would pass 4294967295");
            }
            for (size_t i = 0; i < envs.size(); ++i) {
                list.push_back(first + static_cast<uint32_t>(i));
            }
        } else {
            for (const py::handle seed : seeds) {
                list.push_back(SeedOf(seed));
            }
        }
        if (list.size() != envs.size()) {
            throw py::value_error("reset needs one seed per game, or a first seed");
        }
        return list;
    }

    // seed, ticks and decisions, one entry per game.
    py::dict Infos() {
        const py::ssize_t n = static_cast<py::ssize_t>(envs.size());
        py::array_t<uint32_t> seed(n);
        py::array_t<int64_t> ticks(n);
        py::array_t<int64_t> decisions(n);
        for (py::ssize_t i = 0; i < n; ++i) {
            seed.mutable_at(i) = sessions[i]->Seed();
            ticks.mutable_at(i) = sessions[i]->Ticks();
            decisions.mutable_at(i) = sessions[i]->Decisions();
        }
        py::dict info;
        info["seed"] = seed;
        info["ticks"] = ticks;
        info["decisions"] = decisions;
        return info;
    }

    std::vector<std::unique_ptr<Env>> envs;
    std::vector<Session*> sessions;
};

}  // namespace

void BindBatch(py::module_& m) {
    py::class_<BatchEnv>(m, "BatchEnv", "Many games stepped in one call, observations stacked.")
        .def(py::init<int64_t, const py::object&, int64_t>(), py::arg("count"),
             py::arg("config") = py::none(), py::arg("max_ticks") = DEFAULT_MAX_TICKS)
        .def("reset", &BatchEnv::Reset, py::arg("seeds") = 1, py::arg("mask") = py::none(),
             "Starts the games; returns (obs, info), every array stacked over the games.")
        .def("step", &BatchEnv::Step, py::arg("actions"),
             "One decision per game; returns (obs, rewards, terminated, truncated, info).")
        .def("__len__", &BatchEnv::Size);
}

}  // namespace gulper

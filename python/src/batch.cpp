// gulper.BatchEnv: many games stepped in one call, their observations stacked.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "python/src/bindings.h"
#include "python/src/observation.h"

namespace gulper {

namespace {

class BatchEnv {
  public:
    BatchEnv(size_t count, const py::object& config, int64_t maxTicks) {
        if (count < 1) {
            throw py::value_error("a batch holds one game or more");
        }
        for (size_t i = 0; i < count; ++i) {
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
    py::tuple Step(const py::array_t<int64_t, py::array::forcecast>& actions) {
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
            CheckAction(a(i));
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
        if (py::isinstance<py::int_>(seeds)) {
            for (size_t i = 0; i < envs.size(); ++i) {
                list.push_back(seeds.cast<uint32_t>() + static_cast<uint32_t>(i));
            }
        } else {
            list = seeds.cast<std::vector<uint32_t>>();
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
        .def(py::init<size_t, const py::object&, int64_t>(), py::arg("count"),
             py::arg("config") = py::none(), py::arg("max_ticks") = DEFAULT_MAX_TICKS)
        .def("reset", &BatchEnv::Reset, py::arg("seeds") = 1, py::arg("mask") = py::none(),
             "Starts the games; returns (obs, info), every array stacked over the games.")
        .def("step", &BatchEnv::Step, py::arg("actions"),
             "One decision per game; returns (obs, rewards, terminated, truncated, info).")
        .def("__len__", &BatchEnv::Size);
}

}  // namespace gulper

// The observation's NumPy arrays and the space classes' table, from the one field table and
// reading of the game in episode/observation.h.
#include "python/src/observation.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstring>
#include <string>

#include "episode/observation.h"

namespace gulper {

py::list FieldTable() {
    py::list table;
    for (const ObservationField& f : ObservationFields()) {
        // Whole numbers, never a double that rounds the largest tick past int64.
        const py::object high = f.pairHigh.empty() ? py::cast(f.high) : py::cast(f.pairHigh);
        table.append(py::make_tuple(f.name, FieldKindName(f.kind), py::tuple(py::cast(f.shape)),
                                    f.low, high));
    }
    return table;
}

py::dict Observe(const std::vector<Session*>& sessions, bool stacked) {
    const auto& fields = ObservationFields();
    std::vector<py::array> arrays;
    arrays.reserve(OBS_FIELDS);
    py::dict obs;
    for (const ObservationField& f : fields) {
        std::vector<py::ssize_t> shape(f.shape.begin(), f.shape.end());
        if (stacked) {
            shape.insert(shape.begin(), static_cast<py::ssize_t>(sessions.size()));
        }
        arrays.emplace_back(py::dtype(FieldKindName(f.kind)), shape);
        obs[f.name] = arrays.back();
    }
    for (size_t i = 0; i < sessions.size(); ++i) {
        Session& session = *sessions[i];
        session.Enter();
        const Observation o = ReadObservation(session.Gulper(), session.Ticks());
        for (int f = 0; f < OBS_FIELDS; ++f) {
            const size_t bytes = static_cast<size_t>(FieldElements(fields[f])) *
                                 static_cast<size_t>(FieldKindBytes(fields[f].kind));
            std::memcpy(static_cast<char*>(arrays[f].mutable_data()) + i * bytes, FieldData(o, f),
                        bytes);
        }
    }
    return obs;
}

}  // namespace gulper

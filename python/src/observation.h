// The observation: its fields (names, shapes, types, ranges) and their NumPy arrays, for one
// game or stacked for many. docs/observation.md says what each field means.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "episode/session.h"

namespace gulper {

namespace py = pybind11;

// The fields as (name, dtype, shape, low, high), in order, for the space classes: whole
// numbers, high a list over the last axis for an (x, y) pair.
py::list FieldTable();

// A dict of fresh arrays, one per field, holding each session's observation; with `stacked`
// every array has a first axis over the sessions.
py::dict Observe(const std::vector<Session*>& sessions, bool stacked);

}  // namespace gulper

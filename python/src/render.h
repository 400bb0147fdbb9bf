// Env.render(): the board as a picture, where this build can draw one.
#pragma once

#include <pybind11/pybind11.h>

#include "episode/session.h"

namespace gulper {

namespace py = pybind11;

// A (WINDOW_HEIGHT, WINDOW_WIDTH, 3) uint8 array, top row first; an error when this build has
// no window or no OpenGL context can be had.
py::object RenderFrame(Session& session);

}  // namespace gulper

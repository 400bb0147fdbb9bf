// Env.render() in a build without the game's window: says so.
#include <stdexcept>

#include "python/src/render.h"

py::object RenderFrame(Session&) {
    throw std::runtime_error(
        "render() is not available: this gulper module was built with GULPER_WINDOW=OFF, "
        "without the game's window and OpenGL");
}

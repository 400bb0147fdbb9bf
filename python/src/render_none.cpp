// Env.render() while the module draws no frames: says so, and where a game can be seen.
#include <stdexcept>

#include "python/src/render.h"

namespace gulper {

py::object RenderFrame(Session&) {
    throw std::runtime_error(
        "render() is not available in this build of the gulper module: it draws no frames; "
        "gulper-watch SEED shows a seed's game in the game's window");
}

}  // namespace gulper

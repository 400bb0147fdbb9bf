// Env.render(): the game's own frame of the environment's game, as a NumPy picture.
#include <pybind11/numpy.h>

#include <stdexcept>

#include "game/maze.h"
#include "python/src/render.h"
#include "render/frame_renderer.h"

namespace gulper {

py::object RenderFrame(Session& session) {
    static const bool closesAtExit = [] {
        // The context goes before the interpreter does, while the game's objects still stand.
        py::module_::import("atexit").attr("register")(
            py::cpp_function([] { CloseFrameRenderer(); }));
        return true;
    }();
    (void)closesAtExit;
    std::vector<uint8_t> rgb;
    std::string why;
    if (!DrawSessionFrame(session, &rgb, &why)) {
        throw std::runtime_error(why);
    }
    py::array_t<uint8_t> frame({WINDOW_HEIGHT, WINDOW_WIDTH, 3});
    std::copy(rgb.begin(), rgb.end(), frame.mutable_data());
    return std::move(frame);
}

}  // namespace gulper

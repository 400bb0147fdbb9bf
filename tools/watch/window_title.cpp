// The one place gulper-watch reaches past the framework to SDL: the framework has no call to
// rename a window once it is open. It belongs in framework/platform beside CreateWindow.
#include "tools/watch/window_title.h"

#include <SDL.h>

void SetCurrentWindowTitle(const std::string& title) {
    if (SDL_Window* window = SDL_GL_GetCurrentWindow()) {
        SDL_SetWindowTitle(window, title.c_str());
    }
}

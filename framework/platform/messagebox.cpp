// The message box, or standard error where no box can be shown.
#include <SDL.h>

#include <cstdio>

#include "framework/platform/platform.h"

namespace platform {

void MessageBox(const char* text, const char* caption) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr) != 0) {
        // No way to show a box (no display): the message still reaches the user.
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

}  // namespace platform

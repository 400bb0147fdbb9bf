// Video start-up and shut-down, the shared state, and handle look-up.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "framework/platform/glyph_bitmaps.h"
#include "framework/platform/records.h"

namespace platform {
namespace detail {

State& S() {
    static State* state = new State();  // kept to the end: windows may go during exit
    return *state;
}

WindowRecord* FindWindow(const void* handle) {
    auto it = S().windows.find(IdOf(handle));
    return it == S().windows.end() ? nullptr : &it->second;
}

Window WindowFromSdlId(Uint32 id) {
    SDL_Window* sdl = SDL_GetWindowFromID(id);
    if (sdl == nullptr) {
        return nullptr;
    }
    for (auto& [key, record] : S().windows) {
        if (record.sdl == sdl) {
            return reinterpret_cast<Window>(key);
        }
    }
    return nullptr;
}

namespace {

// When the X server goes away, Xlib's own handler calls exit(), whose exit handlers then destroy
// the windows over the dead connection, and Xlib waits on it for ever. The program ends here
// instead, with what it printed kept and without touching the display again.
int DisplayLost(void*) {
    std::fflush(stdout);
    std::fputs("The display went away; the program ends.\n", stderr);
    std::_Exit(1);
}

void EndOnLostDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::string(driver) != "x11") {
        return;
    }
    // SDL loads libX11 on its own; this finds that copy without linking a second one.
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) {
        return;
    }
    using IoHandler = int (*)(void*);
    using SetIoHandler = IoHandler (*)(IoHandler);
    auto setHandler = reinterpret_cast<SetIoHandler>(dlsym(x11, "XSetIOErrorHandler"));
    if (setHandler != nullptr) {
        setHandler(&DisplayLost);
    }
}

}  // namespace

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        return true;
    }
    // Closing the last window is a close request like any other, not a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    // With no display to reach, SDL falls back to its offscreen driver on its own, and the game
    // would play on where nobody can see it or close it. Only a driver asked for by name may be
    // one without a screen.
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string driver = SDL_GetCurrentVideoDriver();
    if ((asked == nullptr || *asked == '\0') && (driver == "offscreen" || driver == "dummy")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "No display could be opened (DISPLAY is %s).\n",
                     display != nullptr && *display != '\0' ? display : "not set");
        return false;
    }
    EndOnLostDisplay();
    StartFontPrefetch();
    return true;
}

// With no class, window or context left, the video system is handed back (the screen saver,
// the signal handlers) before the process ends.
void ShutDownWhenUnused() {
    State& state = S();
    if (!state.classes.empty() || !state.windows.empty() || !state.contexts.empty() ||
        SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    if (state.arrowCursor != nullptr) {
        SDL_FreeCursor(state.arrowCursor);
        state.arrowCursor = nullptr;
    }
    state.currentDc = nullptr;
    state.currentContext = nullptr;
    SDL_Quit();
}

}  // namespace detail

using namespace detail;

bool UseOffscreenVideo() {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    return detail::EnsureVideo();
}

std::string VideoError() {
    return SDL_GetError();
}

void* GetModuleHandle() {
    return dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
}

bool GetDisplaySize(std::int32_t* width, std::int32_t* height) {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetCurrentDisplayMode(0, &mode) != 0) {
        return false;
    }
    *width = mode.w;
    *height = mode.h;
    return true;
}

}  // namespace platform

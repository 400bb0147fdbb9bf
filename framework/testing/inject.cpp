// Input put into SDL's own event queue, for the tests.
#include "framework/testing/inject.h"

#include "framework/platform/records.h"

namespace platform {
using namespace detail;

namespace {

bool Push(SDL_Event& event) {
    return SDL_PushEvent(&event) == 1;
}

bool PushWindowEvent(Window window, SDL_WindowEventID what) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(record->sdl);
    event.window.event = what;
    return Push(event);
}

// A key symbol that the window's key translation turns into `vk`: the first key on the keyboard
// that gives it, the keypad's digits with Num Lock on; else a character on a key of another
// layout, such as the French exclamation key. False when no key gives that code.
bool KeysymOf(int vk, SDL_Keysym* key) {
    if (vk <= 0 || vk >= VK_UNASSIGNED) {
        return false;
    }
    for (int code = SDL_SCANCODE_UNKNOWN + 1; code < SDL_NUM_SCANCODES; ++code) {
        SDL_Keysym candidate{};
        candidate.scancode = static_cast<SDL_Scancode>(code);
        candidate.sym = SDL_GetKeyFromScancode(candidate.scancode);
        candidate.mod = KMOD_NUM;
        if (VirtualKey(candidate) == vk) {
            *key = candidate;
            return true;
        }
    }
    for (SDL_Keycode character = 1; character < 128; ++character) {
        SDL_Keysym candidate{};
        candidate.sym = character;
        if (VirtualKey(candidate) == vk) {
            *key = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

bool InjectKey(Window window, int key, bool down, bool repeat, bool alt) {
    WindowRecord* record = FindWindow(window);
    SDL_Keysym keysym;
    if (record == nullptr || !KeysymOf(key, &keysym)) {
        return false;
    }
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(record->sdl);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym = keysym;
    event.key.keysym.mod = static_cast<Uint16>(keysym.mod | (alt ? KMOD_LALT : KMOD_NONE));
    return Push(event);
}

bool InjectKeySym(Window window, int scancode, int keycode, unsigned modifiers, bool down) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(record->sdl);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = static_cast<Uint16>(modifiers);
    return Push(event);
}

bool InjectMouseMove(Window window, int x, int y) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(record->sdl);
    event.motion.x = x;
    event.motion.y = y;
    return Push(event);
}

bool InjectMouseButton(Window window, int button, bool down, int x, int y) {
    static const Uint8 BUTTONS[3] = {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT};
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || button < 0 || button > 2) {
        return false;
    }
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = SDL_GetWindowID(record->sdl);
    event.button.button = BUTTONS[button];
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return Push(event);
}

bool InjectClose(Window window) {
    return PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
}

bool InjectUserResize(Window window, int width, int height) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || width < 1 || height < 1) {
        return false;
    }
    // SDL reports the change through its queue, as for a resize by the window manager.
    SDL_SetWindowSize(record->sdl, width, height);
    return true;
}

bool InjectSizeReport(Window window, int width, int height) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(record->sdl);
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.data1 = width;
    event.window.data2 = height;
    return Push(event);
}

bool InjectQuit() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_QUIT;
    return Push(event);
}

}  // namespace platform

// The keyboard: SDL's key symbols as virtual-key codes.
#include "framework/platform/records.h"

namespace platform {
namespace detail {
namespace {

int KeycodeToVirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + (key - SDLK_0);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + (key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    }
    switch (key) {
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        default:
            return 0;
    }
}

SDL_Keycode SdlKey(int vk) {
    for (SDL_Keycode key :
         {SDLK_KP_0, SDLK_BACKSPACE, SDLK_TAB, SDLK_RETURN, SDLK_LSHIFT, SDLK_LCTRL, SDLK_LALT,
          SDLK_ESCAPE, SDLK_SPACE, SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_END, SDLK_HOME, SDLK_LEFT,
          SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_INSERT, SDLK_DELETE}) {
        if (KeycodeToVirtualKey(key) == vk) {
            return key;
        }
    }
    if (vk >= 'A' && vk <= 'Z') {
        return SDLK_a + (vk - 'A');
    }
    if (vk >= '0' && vk <= '9') {
        return SDLK_0 + (vk - '0');
    }
    if (vk >= VK_F1 && vk <= VK_F12) {
        return SDLK_F1 + (vk - VK_F1);
    }
    if (vk > VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        return SDLK_KP_1 + (vk - VK_NUMPAD0 - 1);
    }
    return SDLK_UNKNOWN;
}

}  // namespace

int VirtualKey(const SDL_Keysym& key) {
    return KeycodeToVirtualKey(key.sym);
}

bool KeysymOf(int vk, SDL_Keysym* key) {
    const SDL_Keycode sym = SdlKey(vk);
    if (sym == SDLK_UNKNOWN) {
        return false;
    }
    *key = SDL_Keysym{};
    key->sym = sym;
    key->scancode = SDL_GetScancodeFromKey(sym);
    return true;
}

}  // namespace detail
}  // namespace platform

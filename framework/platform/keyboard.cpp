// The keyboard: SDL's key symbols as the window system's virtual-key codes. Every key gets a
// code, so every press reaches the window; a key the window system names no code for gets
// VK_UNASSIGNED.
#include <iterator>

#include "framework/platform/records.h"

namespace platform {
namespace detail {
namespace {

struct KeyCode {
    int sdl;  // an SDL key code or scan code, as the table says
    int vk;
};

// Punctuation by the character on the key, as the window system names it for the US layout and
// the others that put these characters on keys of their own.
constexpr KeyCode PUNCTUATION_BY_CHARACTER[] = {
    {SDLK_SEMICOLON, 186},   {SDLK_EQUALS, 187},    {SDLK_PLUS, 187},         {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},       {SDLK_PERIOD, 190},    {SDLK_SLASH, 191},        {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220}, {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
    {SDLK_EXCLAIM, 223},     {SDLK_LESS, 226},
};

// The keypad's digits and point: with Num Lock on, the keypad codes; off, the navigation keys
// printed under them (5 is Clear).
struct KeypadKey {
    SDL_Scancode scancode;
    int numLockOn;
    int numLockOff;
};
constexpr KeypadKey KEYPAD[] = {
    {SDL_SCANCODE_KP_0, 96, 45},  {SDL_SCANCODE_KP_1, 97, 35},       {SDL_SCANCODE_KP_2, 98, 40},
    {SDL_SCANCODE_KP_3, 99, 34},  {SDL_SCANCODE_KP_4, 100, 37},      {SDL_SCANCODE_KP_5, 101, 12},
    {SDL_SCANCODE_KP_6, 102, 39}, {SDL_SCANCODE_KP_7, 103, 36},      {SDL_SCANCODE_KP_8, 104, 38},
    {SDL_SCANCODE_KP_9, 105, 33}, {SDL_SCANCODE_KP_PERIOD, 110, 46},
};

// Every other key by its place on the keyboard.
constexpr KeyCode BY_POSITION[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_CLEAR, 12},
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_RETURN2, VK_RETURN},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_SELECT, 41},
    {SDL_SCANCODE_EXECUTE, 43},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_HELP, 47},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_MENU, 93},
    {SDL_SCANCODE_SLEEP, 95},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_COMMA, 108},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_DECIMAL, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_KP_EQUALS, 146},
    {SDL_SCANCODE_AC_BACK, 166},
    {SDL_SCANCODE_AC_FORWARD, 167},
    {SDL_SCANCODE_AC_REFRESH, 168},
    {SDL_SCANCODE_AC_STOP, 169},
    {SDL_SCANCODE_AC_SEARCH, 170},
    {SDL_SCANCODE_AC_BOOKMARKS, 171},
    {SDL_SCANCODE_AC_HOME, 172},
    {SDL_SCANCODE_AUDIOMUTE, 173},
    {SDL_SCANCODE_MUTE, 173},
    {SDL_SCANCODE_VOLUMEDOWN, 174},
    {SDL_SCANCODE_VOLUMEUP, 175},
    {SDL_SCANCODE_AUDIONEXT, 176},
    {SDL_SCANCODE_AUDIOPREV, 177},
    {SDL_SCANCODE_AUDIOSTOP, 178},
    {SDL_SCANCODE_AUDIOPLAY, 179},
    {SDL_SCANCODE_MAIL, 180},
    {SDL_SCANCODE_MEDIASELECT, 181},
    {SDL_SCANCODE_COMPUTER, 182},
    {SDL_SCANCODE_CALCULATOR, 183},
    // The punctuation keys of a layout whose characters the table above does not know.
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_NONUSHASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

int FromTable(const KeyCode* begin, const KeyCode* end, int sdl) {
    for (const KeyCode* entry = begin; entry != end; ++entry) {
        if (entry->sdl == sdl) {
            return entry->vk;
        }
    }
    return 0;
}

// Letters, digits and function keys come in runs.
int ByRun(const SDL_Keysym& key) {
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) {
        return 'A' + (key.sym - SDLK_a);  // the layout's letter
    }
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9) {
        return '0' + (key.sym - SDLK_0);
    }
    const SDL_Scancode code = key.scancode;
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) {
        return 'A' + (code - SDL_SCANCODE_A);  // a layout without Latin letters
    }
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) {
        return '1' + (code - SDL_SCANCODE_1);
    }
    if (code == SDL_SCANCODE_0) {
        return '0';
    }
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) {
        return VK_F1 + (code - SDL_SCANCODE_F1);
    }
    if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) {
        return VK_F1 + 12 + (code - SDL_SCANCODE_F13);
    }
    return 0;
}

}  // namespace

int VirtualKey(const SDL_Keysym& key) {
    if (const int vk = ByRun(key)) {
        return vk;
    }
    for (const KeypadKey& pad : KEYPAD) {
        if (pad.scancode == key.scancode) {
            return (key.mod & KMOD_NUM) != 0 ? pad.numLockOn : pad.numLockOff;
        }
    }
    if (const int vk = FromTable(std::begin(PUNCTUATION_BY_CHARACTER),
                                 std::end(PUNCTUATION_BY_CHARACTER), key.sym)) {
        return vk;
    }
    if (const int vk = FromTable(std::begin(BY_POSITION), std::end(BY_POSITION), key.scancode)) {
        return vk;
    }
    return VK_UNASSIGNED;
}

}  // namespace detail
}  // namespace platform

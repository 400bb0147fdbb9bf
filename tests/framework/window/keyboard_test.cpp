// The key table: SDL key events put into SDL's queue, as the window system's driver would, reach
// OnKeyboard with the window system's virtual-key codes. Every key press arrives.
#include <gtest/gtest.h>

#include <SDL.h>

#include "tests/framework/window/support.h"

using test::DrainMessages;
using test::RecordingWindow;

namespace {

struct KeyCase {
    const char* name;
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    Uint16 modifiers;
    int expected;
};

const KeyCase KEYS[] = {
    // Punctuation, by its character.
    {"comma", SDL_SCANCODE_COMMA, SDLK_COMMA, KMOD_NONE, 188},
    {"minus", SDL_SCANCODE_MINUS, SDLK_MINUS, KMOD_NONE, 189},
    {"semicolon", SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, KMOD_NONE, 186},
    {"left bracket", SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, KMOD_NONE, 219},
    {"slash", SDL_SCANCODE_SLASH, SDLK_SLASH, KMOD_NONE, 191},
    {"apostrophe", SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, KMOD_NONE, 222},
    {"backslash", SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, KMOD_NONE, 220},
    {"period", SDL_SCANCODE_PERIOD, SDLK_PERIOD, KMOD_NONE, 190},
    {"equals", SDL_SCANCODE_EQUALS, SDLK_EQUALS, KMOD_NONE, 187},
    {"grave", SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, KMOD_NONE, 192},
    {"right bracket", SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, KMOD_NONE, 221},
    {"exclamation key of a French layout", SDL_SCANCODE_SLASH, SDLK_EXCLAIM, KMOD_NONE, 223},
    {"less-than key beside left Shift", SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, KMOD_NONE, 226},
    // A character the table does not know: the key's place decides.
    {"o-umlaut on the semicolon key", SDL_SCANCODE_SEMICOLON, 0xF6, KMOD_NONE, 186},
    {"section sign beside left Shift", SDL_SCANCODE_NONUSBACKSLASH, 0xA7, KMOD_NONE, 226},
    // Letters follow the layout; keys without a Latin letter or digit follow their place.
    {"a on the Q key", SDL_SCANCODE_Q, SDLK_a, KMOD_NONE, 'A'},
    {"Cyrillic a on the F key", SDL_SCANCODE_F, 0x430, KMOD_NONE, 'F'},
    {"e-acute on the 2 key", SDL_SCANCODE_2, 0xE9, KMOD_NONE, '2'},
    // Locks and Pause.
    {"Caps Lock", SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, KMOD_NONE, 20},
    {"Pause", SDL_SCANCODE_PAUSE, SDLK_PAUSE, KMOD_NONE, 19},
    {"Num Lock", SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, KMOD_NONE, 144},
    {"Scroll Lock", SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, KMOD_NONE, 145},
    // The keypad with Num Lock on: digits and point.
    {"keypad 0, Num Lock on", SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, 96},
    {"keypad 5, Num Lock on", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NUM, 101},
    {"keypad 9, Num Lock on", SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NUM, 105},
    {"keypad point, Num Lock on", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, 110},
    // Off: the navigation keys printed on them.
    {"keypad 8 is Up", SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE, 38},
    {"keypad 2 is Down", SDL_SCANCODE_KP_2, SDLK_KP_2, KMOD_NONE, 40},
    {"keypad 4 is Left", SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_NONE, 37},
    {"keypad 6 is Right", SDL_SCANCODE_KP_6, SDLK_KP_6, KMOD_NONE, 39},
    {"keypad 7 is Home", SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NONE, 36},
    {"keypad 1 is End", SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_NONE, 35},
    {"keypad 9 is Page Up", SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NONE, 33},
    {"keypad 3 is Page Down", SDL_SCANCODE_KP_3, SDLK_KP_3, KMOD_NONE, 34},
    {"keypad 0 is Insert", SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NONE, 45},
    {"keypad point is Delete", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NONE, 46},
    {"keypad 5 is Clear", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NONE, 12},
    // The keypad's operators, either way.
    {"keypad times", SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, KMOD_NONE, 106},
    {"keypad plus", SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, KMOD_NUM, 107},
    {"keypad minus", SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, KMOD_NONE, 109},
    {"keypad divide", SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, KMOD_NUM, 111},
    {"keypad Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NONE, 13},
    // Windows keys, Menu, the upper function keys.
    {"left Windows key", SDL_SCANCODE_LGUI, SDLK_LGUI, KMOD_NONE, 91},
    {"right Windows key", SDL_SCANCODE_RGUI, SDLK_RGUI, KMOD_NONE, 92},
    {"Menu", SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, KMOD_NONE, 93},
    {"F12", SDL_SCANCODE_F12, SDLK_F12, KMOD_NONE, 123},
    {"F13", SDL_SCANCODE_F13, SDLK_F13, KMOD_NONE, 124},
    {"F18", SDL_SCANCODE_F18, SDLK_F18, KMOD_NONE, 129},
    {"F24", SDL_SCANCODE_F24, SDLK_F24, KMOD_NONE, 135},
    // Still the plain keys.
    {"main Up", SDL_SCANCODE_UP, SDLK_UP, KMOD_NUM, 38},
    {"space", SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_NONE, 32},
    // A key with no code of the window system's still arrives, with one of its own.
    {"brightness key", SDL_SCANCODE_KBDILLUMUP, SDLK_KBDILLUMUP, KMOD_NONE, 255},
    {"Mode switch", SDL_SCANCODE_MODE, SDLK_MODE, KMOD_NONE, 255},
};

class GLWindowKeys : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.extra->Create());
        DrainMessages();
    }
    RecordingWindow window;
};

TEST_F(GLWindowKeys, EveryKeyReachesOnKeyboardWithItsVirtualKeyCode) {
    const platform::Window w = window.extra->window;
    for (const KeyCase& key : KEYS) {
        SCOPED_TRACE(key.name);
        window.keys.clear();
        ASSERT_TRUE(platform::InjectKeySym(w, key.scancode, key.keycode, key.modifiers, true));
        ASSERT_TRUE(platform::InjectKeySym(w, key.scancode, key.keycode, key.modifiers, false));
        DrainMessages();
        EXPECT_EQ(window.keys,
                  (std::vector<std::pair<int, bool>>{{key.expected, true}, {key.expected, false}}));
    }
}

TEST_F(GLWindowKeys, InjectedCodesComeBackAsThemselves) {
    // Tests and tools put keys in by code; each must find a key that gives it.
    const int codes[] = {19,  20,  33,  38,  45,  46,  65,  90,  91,  93,  96,  105, 106,
                         111, 124, 135, 144, 145, 186, 192, 219, 222, 223, 226, 187, 189};
    const platform::Window w = window.extra->window;
    std::vector<std::pair<int, bool>> expected;
    for (int code : codes) {
        EXPECT_TRUE(platform::InjectKey(w, code, true)) << code;
        expected.push_back({code, true});
    }
    DrainMessages();
    EXPECT_EQ(window.keys, expected);
}

TEST_F(GLWindowKeys, AltCombinationsOfTheNewKeysStillTakeTheSystemPath) {
    const platform::Window w = window.extra->window;
    platform::InjectKeySym(w, SDL_SCANCODE_COMMA, SDLK_COMMA, KMOD_LALT, true);
    platform::InjectKeySym(w, SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_RALT, true);
    platform::InjectKeySym(w, SDL_SCANCODE_COMMA, SDLK_COMMA, KMOD_NONE, true);
    DrainMessages();
    EXPECT_EQ(window.keys, (std::vector<std::pair<int, bool>>{{188, true}}));
}

}  // namespace

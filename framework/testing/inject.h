// For tests only (the game does not link it): puts input and window-manager reports into SDL's
// own event queue, as the window system would, so that tests drive a window through the real
// event translation and message queue.
#pragma once

#include "framework/platform/platform.h"

namespace platform {

// `key` is a virtual-key code; `repeat` marks an automatic repeat of a held key; `alt` holds the
// Alt key down as a modifier.
bool InjectKey(Window window, int key, bool down, bool repeat = false, bool alt = false);
// A key as SDL reports it: an SDL scan code, key code and modifier state (SDL_Scancode,
// SDL_Keycode, SDL_Keymod), for tests of the key table itself.
bool InjectKeySym(Window window, int scancode, int keycode, unsigned modifiers, bool down);
// Client coordinates, y from the top row as the window system counts them.
bool InjectMouseMove(Window window, int x, int y);
// `button` 0 left, 1 middle, 2 right.
bool InjectMouseButton(Window window, int button, bool down, int x = 0, int y = 0);
bool InjectClose(Window window);
bool InjectQuit();

// The user (or the window manager) resizes the window to a client size of `width` x `height`.
bool InjectUserResize(Window window, int width, int height);
// A size-changed report for the window, whatever its size is now, as the window system may
// deliver one late.
bool InjectSizeReport(Window window, int width, int height);

}  // namespace platform

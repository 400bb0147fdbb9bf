// The records the platform layer's files share: window classes, windows, contexts, palettes and
// the message queue, all in one state made on first use. Internal to framework/platform and its
// test-support library; nothing else includes it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "framework/platform/platform.h"

namespace platform::detail {

struct ClassRecord {
    Atom atom = 0;
    std::string name;
    WindowProcedure procedure = nullptr;
};

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    void* userData = nullptr;
    std::string title;
    Uint32 sdlFlags = 0;
    bool dirty = false;
    bool visible = false;
    bool shownOnce = false;
    bool placedByPlatform = false;  // made with CW_USEDEFAULT: kept centred on its display
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    // The size last given to SDL, which cannot make a window of zero width or height.
    int sdlWidth = 1;
    int sdlHeight = 1;
    int pixelFormat = 0;
    int createdFormat = 0;  // the format the SDL window was made for
    Palette selectedPalette = nullptr;
};

struct ContextRecord {
    SDL_GLContext gl = nullptr;
};

struct PaletteRecord {
    std::vector<PaletteEntry> entries;
};

struct State {
    std::vector<ClassRecord> classes;
    Atom nextAtom = 0xC000;
    std::map<std::uintptr_t, WindowRecord> windows;
    std::map<std::uintptr_t, ContextRecord> contexts;
    std::map<std::uintptr_t, PaletteRecord> palettes;
    std::uintptr_t nextId = 1;
    std::deque<Message> queue;
    bool quitPending = false;
    int quitCode = 0;
    Window quitWindow = nullptr;
    Window captureWindow = nullptr;
    DeviceContext currentDc = nullptr;
    RenderContext currentContext = nullptr;
    Cursor currentCursor = nullptr;
    SDL_Cursor* arrowCursor = nullptr;
};

// Everything the layer keeps, made on first use: windows are made during static construction of
// the program's objects, before any file's own globals would be.
State& S();

inline std::uintptr_t IdOf(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// The record of a live window handle (a device context is its window's handle), or null.
WindowRecord* FindWindow(const void* handle);
Window WindowFromSdlId(Uint32 id);

// Starts SDL's video system once; false, with the reason printed, when there is no display.
bool EnsureVideo();
// With no class, window or context left, hands the video system back.
void ShutDownWhenUnused();

// The format numbers encode the closest true-colour format: bit 0 double buffering, bits 1-2 the
// depth buffer (none, 16, 24, 32), bit 3 an 8-bit stencil, bit 4 an 8-bit alpha channel.
// Windows start out in the format the framework asks for by default: double-buffered, 32-bit
// depth.
constexpr int DEFAULT_FORMAT = 1 + (1 | (3 << 1));
// Sets SDL's GL attributes for a format number, for the next window or context made.
void ApplyFormat(int format);
// An SDL window for the record's title, size and flags, with the GL visual of `format`.
SDL_Window* MakeSdlWindow(const WindowRecord& record, int x, int y, int format);

inline LParam PackPoint(int x, int y) {
    return static_cast<LParam>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

// Appends to the message queue.
void Post(Window window, std::uint32_t message, WParam wParam, LParam lParam);

// The virtual-key code of a key event's symbol; never 0.
int VirtualKey(const SDL_Keysym& key);

}  // namespace platform::detail

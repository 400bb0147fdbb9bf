// Windows, message queue, contexts and palettes over SDL2.
#include "framework/platform/platform.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "framework/platform/inject.h"

namespace platform {
namespace {

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

// Everything the layer keeps, made on first use: windows are made during static construction of
// the program's objects, before this file's own globals would be.
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

State& S() {
    static State* state = new State();  // kept to the end: windows may go during exit
    return *state;
}

// The format numbers encode the closest true-colour format: bit 0 double buffering, bits 1-2 the
// depth buffer (none, 16, 24, 32), bit 3 an 8-bit stencil, bit 4 an 8-bit alpha channel.
// Windows start out in the format the framework asks for by default: double-buffered, 32-bit
// depth.
constexpr int DEFAULT_FORMAT = 1 + (1 | (3 << 1));

std::uintptr_t IdOf(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
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
    return true;
}

void ApplyFormat(int format) {
    const int bits = format - 1;
    static const int DEPTHS[4] = {0, 16, 24, 32};
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, bits & 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, DEPTHS[(bits >> 1) & 3]);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, (bits & 8) != 0 ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, (bits & 16) != 0 ? 8 : 0);
}

SDL_Window* MakeSdlWindow(const WindowRecord& record, int x, int y, int format) {
    ApplyFormat(format);
    return SDL_CreateWindow(record.title.c_str(), x, y, record.sdlWidth, record.sdlHeight,
                            record.sdlFlags);
}

LParam PackPoint(int x, int y) {
    return static_cast<LParam>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

int VirtualKey(SDL_Keycode key) {
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
        if (VirtualKey(key) == vk) {
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

void Post(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    S().queue.push_back(Message{window, message, wParam, lParam});
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    Window window = WindowFromSdlId(event.windowID);
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (event.data1 != record->sdlWidth || event.data2 != record->sdlHeight) {
                record->sdlWidth = event.data1;
                record->sdlHeight = event.data2;
                record->clientWidth = event.data1;
                record->clientHeight = event.data2;
                Post(window, WM_SIZE, 0, PackPoint(event.data1, event.data2));
            }
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            record->dirty = true;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            Post(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            Post(window, WM_NCMOUSEMOVE, 0, 0);
            break;
        default:
            break;
    }
}

void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            if (IsWindow(S().quitWindow)) {
                Post(S().quitWindow, WM_CLOSE, 0, 0);
            }
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            Window window = WindowFromSdlId(event.key.windowID);
            const int vk = VirtualKey(event.key.keysym.sym);
            if (window == nullptr || vk == 0) {
                break;
            }
            const bool down = event.type == SDL_KEYDOWN;
            const bool system =
                (event.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_F10 || vk == VK_MENU;
            std::uint32_t message = down ? WM_KEYDOWN : WM_KEYUP;
            if (system) {
                message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
            }
            // Repeat count 1; bit 30 the previous key state, bit 31 the transition.
            std::uint32_t flags = 1;
            if (!down || event.key.repeat != 0) {
                flags |= 1u << 30;
            }
            if (!down) {
                flags |= 1u << 31;
            }
            Post(window, message, static_cast<WParam>(vk), static_cast<LParam>(flags));
            break;
        }
        case SDL_MOUSEMOTION: {
            Window window = WindowFromSdlId(event.motion.windowID);
            if (window != nullptr) {
                Post(window, WM_SETCURSOR, IdOf(window), 1 | (WM_MOUSEMOVE << 16));
                Post(window, WM_MOUSEMOVE, 0, PackPoint(event.motion.x, event.motion.y));
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            Window window = WindowFromSdlId(event.button.windowID);
            if (window == nullptr) {
                break;
            }
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t message = 0;
            switch (event.button.button) {
                case SDL_BUTTON_LEFT:
                    message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                    break;
                case SDL_BUTTON_MIDDLE:
                    message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
                    break;
                case SDL_BUTTON_RIGHT:
                    message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
                    break;
                default:
                    return;
            }
            Post(window, message, 0, PackPoint(event.button.x, event.button.y));
            break;
        }
        default:
            break;
    }
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

}  // namespace

void* GetModuleHandle() {
    return dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
}

Atom RegisterClass(const char* name, WindowProcedure procedure) {
    if (name == nullptr || procedure == nullptr) {
        return 0;
    }
    for (const ClassRecord& record : S().classes) {
        if (record.name == name) {
            return 0;  // already registered
        }
    }
    S().classes.push_back(ClassRecord{S().nextAtom++, name, procedure});
    return S().classes.back().atom;
}

bool UnregisterClass(Atom atom) {
    for (auto it = S().classes.begin(); it != S().classes.end(); ++it) {
        if (it->atom == atom) {
            S().classes.erase(it);
            ShutDownWhenUnused();
            return true;
        }
    }
    return false;
}

Window CreateWindow(const char* className, const char* title, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, bool topMost, void* createParam) {
    const ClassRecord* cls = nullptr;
    for (const ClassRecord& record : S().classes) {
        if (className != nullptr && record.name == className) {
            cls = &record;
        }
    }
    if (cls == nullptr || !EnsureVideo()) {
        return nullptr;
    }
    WindowRecord record;
    record.procedure = cls->procedure;
    record.title = title != nullptr ? title : "";
    record.sdlFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (topMost) {
        record.sdlFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    record.clientWidth = width == CW_USEDEFAULT ? 640 : std::max(width, 0);
    record.clientHeight = height == CW_USEDEFAULT ? 480 : std::max(height, 0);
    record.sdlWidth = std::max(record.clientWidth, 1);
    record.sdlHeight = std::max(record.clientHeight, 1);
    const int sdlX = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    const int sdlY = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
    record.sdl = MakeSdlWindow(record, sdlX, sdlY, DEFAULT_FORMAT);
    if (record.sdl == nullptr) {
        return nullptr;
    }
    record.createdFormat = DEFAULT_FORMAT;
    const std::uintptr_t id = S().nextId++;
    S().windows.emplace(id, record);
    Window window = reinterpret_cast<Window>(id);
    if (SendMessage(window, WM_NCCREATE, 0, reinterpret_cast<LParam>(createParam)) == 0 ||
        SendMessage(window, WM_CREATE, 0, reinterpret_cast<LParam>(createParam)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

bool DestroyWindow(Window window) {
    if (FindWindow(window) == nullptr) {
        return false;
    }
    SendMessage(window, WM_DESTROY, 0, 0);
    WindowRecord* record = FindWindow(window);  // the handler may have destroyed it already
    if (record == nullptr) {
        return true;
    }
    SDL_DestroyWindow(record->sdl);
    S().windows.erase(IdOf(window));
    if (S().captureWindow == window) {
        ReleaseCapture();
    }
    if (S().quitWindow == window) {
        S().quitWindow = nullptr;
    }
    for (auto it = S().queue.begin(); it != S().queue.end();) {
        it = it->window == window ? S().queue.erase(it) : it + 1;
    }
    return true;
}

bool IsWindow(Window window) {
    return FindWindow(window) != nullptr;
}

LResult DefWindowProc(Window window, std::uint32_t message, WParam, LParam) {
    switch (message) {
        case WM_NCCREATE:
            return 1;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT:
            BeginPaint(window);
            EndPaint(window);
            return 0;
        case WM_SETCURSOR:
            return 0;
        default:
            return 0;
    }
}

void SetUserData(Window window, void* data) {
    if (WindowRecord* record = FindWindow(window)) {
        record->userData = data;
    }
}

void* GetUserData(Window window) {
    WindowRecord* record = FindWindow(window);
    return record != nullptr ? record->userData : nullptr;
}

bool ShowWindow(Window window, bool show) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    const bool was = record->visible;
    record->visible = show;
    if (show) {
        SDL_ShowWindow(record->sdl);
        record->dirty = true;
        if (!record->shownOnce) {
            record->shownOnce = true;
            SendMessage(window, WM_SIZE, 0, PackPoint(record->clientWidth, record->clientHeight));
        }
    } else {
        SDL_HideWindow(record->sdl);
    }
    return was;
}

bool IsWindowVisible(Window window) {
    WindowRecord* record = FindWindow(window);
    return record != nullptr && record->visible;
}

bool GetClientRect(Window window, Rect* rect) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || rect == nullptr) {
        return false;
    }
    *rect = Rect{0, 0, record->clientWidth, record->clientHeight};
    return true;
}

bool GetWindowRect(Window window, Rect* rect) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || rect == nullptr) {
        return false;
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(record->sdl, &x, &y);
    *rect = Rect{x, y, x + record->clientWidth, y + record->clientHeight};
    return true;
}

bool AdjustWindowRect(Rect* rect) {
    return rect != nullptr;
}

bool SetWindowSize(Window window, std::int32_t width, std::int32_t height) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || width < 0 || height < 0) {
        return false;
    }
    record->sdlWidth = std::max(width, 1);
    record->sdlHeight = std::max(height, 1);
    SDL_SetWindowSize(record->sdl, record->sdlWidth, record->sdlHeight);
    if (width != record->clientWidth || height != record->clientHeight) {
        record->clientWidth = width;
        record->clientHeight = height;
        record->dirty = true;
        SendMessage(window, WM_SIZE, 0, PackPoint(width, height));
    }
    return true;
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

bool PeekMessage(Message* message) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            TranslateEvent(event);
        }
    }
    if (!S().queue.empty()) {
        *message = S().queue.front();
        S().queue.pop_front();
        return true;
    }
    if (S().quitPending) {
        S().quitPending = false;
        *message = Message{nullptr, WM_QUIT, static_cast<WParam>(S().quitCode), 0};
        return true;
    }
    for (auto& [id, record] : S().windows) {
        if (record.dirty && record.visible) {
            *message = Message{reinterpret_cast<Window>(id), WM_PAINT, 0, 0};
            return true;
        }
    }
    return false;
}

LResult DispatchMessage(const Message& message) {
    WindowRecord* record = FindWindow(message.window);
    if (record == nullptr) {
        return 0;
    }
    return record->procedure(message.window, message.message, message.wParam, message.lParam);
}

bool PostMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window != nullptr && !IsWindow(window)) {
        return false;
    }
    Post(window, message, wParam, lParam);
    return true;
}

void PostQuitMessage(int exitCode) {
    S().quitPending = true;
    S().quitCode = exitCode;
}

LResult SendMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return 0;
    }
    return record->procedure(window, message, wParam, lParam);
}

void SetQuitWindow(Window window) {
    S().quitWindow = window;
}

bool InvalidateRect(Window window) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    record->dirty = true;
    return true;
}

bool GetUpdateRect(Window window, Rect* rect) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr || !record->dirty) {
        if (rect != nullptr) {
            *rect = Rect{};
        }
        return false;
    }
    if (rect != nullptr) {
        *rect = Rect{0, 0, record->clientWidth, record->clientHeight};
    }
    return true;
}

bool BeginPaint(Window window) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    record->dirty = false;
    return true;
}

bool EndPaint(Window window) {
    return IsWindow(window);
}

bool SetCapture(Window window) {
    if (!IsWindow(window)) {
        return false;
    }
    S().captureWindow = window;
    SDL_CaptureMouse(SDL_TRUE);  // not every video driver can; positions then stay in the window
    return true;
}

bool ReleaseCapture() {
    if (S().captureWindow != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_CaptureMouse(SDL_FALSE);
    }
    S().captureWindow = nullptr;
    return true;
}

Cursor LoadArrowCursor() {
    // The arrow is the one cursor in use; SDL makes it once the video system runs.
    return reinterpret_cast<Cursor>(std::uintptr_t{1});
}

Cursor SetCursor(Cursor cursor) {
    Cursor previous = S().currentCursor;
    S().currentCursor = cursor;
    if (cursor != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        if (S().arrowCursor == nullptr) {
            S().arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        }
        if (S().arrowCursor != nullptr) {
            SDL_SetCursor(S().arrowCursor);
        }
    }
    return previous;
}

DeviceContext GetDC(Window window) {
    return IsWindow(window) ? reinterpret_cast<DeviceContext>(window) : nullptr;
}

int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& wanted) {
    if (!IsWindow(reinterpret_cast<Window>(dc)) || (wanted.flags & PFD_SUPPORT_OPENGL) == 0) {
        return 0;
    }
    int bits = (wanted.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0;
    int depth = 0;
    if (wanted.depthBits > 24) {
        depth = 3;
    } else if (wanted.depthBits > 16) {
        depth = 2;
    } else if (wanted.depthBits > 0) {
        depth = 1;
    }
    bits |= depth << 1;
    if (wanted.stencilBits > 0) {
        bits |= 8;
    }
    if (wanted.alphaBits > 0) {
        bits |= 16;
    }
    return bits + 1;
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor&) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || format < 1 || format > 32) {
        return false;
    }
    if (record->pixelFormat != 0) {
        return record->pixelFormat == format;  // a window's format is set once
    }
    if (format != record->createdFormat) {
        // The GL visual is fixed when a window is made: make it again, still hidden, for this
        // format.
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(record->sdl, &x, &y);
        SDL_Window* remade = MakeSdlWindow(*record, x, y, format);
        if (remade == nullptr) {
            return false;
        }
        SDL_DestroyWindow(record->sdl);
        record->sdl = remade;
        record->createdFormat = format;
    }
    ApplyFormat(format);
    record->pixelFormat = format;
    return true;
}

int GetPixelFormat(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    return record != nullptr ? record->pixelFormat : 0;
}

bool DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor* description) {
    if (!IsWindow(reinterpret_cast<Window>(dc)) || format < 1 || format > 32 ||
        description == nullptr) {
        return false;
    }
    static const std::uint8_t DEPTHS[4] = {0, 16, 24, 32};
    const int bits = format - 1;
    PixelFormatDescriptor d;
    d.size = sizeof(PixelFormatDescriptor);
    d.version = 1;
    d.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | ((bits & 1) != 0 ? PFD_DOUBLEBUFFER : 0);
    d.pixelType = PFD_TYPE_RGBA;
    d.colorBits = 24;
    d.alphaBits = (bits & 16) != 0 ? 8 : 0;
    d.depthBits = DEPTHS[(bits >> 1) & 3];
    d.stencilBits = (bits & 8) != 0 ? 8 : 0;
    d.layerType = PFD_MAIN_PLANE;
    *description = d;
    return true;
}

RenderContext CreateContext(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || record->pixelFormat == 0) {
        return nullptr;
    }
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    ApplyFormat(record->pixelFormat);
    SDL_GLContext gl = SDL_GL_CreateContext(record->sdl);
    // SDL makes a new context current; the caller decides what is current.
    if (previous != nullptr && previousWindow != nullptr) {
        SDL_GL_MakeCurrent(previousWindow, previous);
    } else {
        SDL_GL_MakeCurrent(nullptr, nullptr);
    }
    if (gl == nullptr) {
        return nullptr;
    }
    const std::uintptr_t id = S().nextId++;
    S().contexts.emplace(id, ContextRecord{gl});
    return reinterpret_cast<RenderContext>(id);
}

bool DeleteContext(RenderContext context) {
    auto it = S().contexts.find(IdOf(context));
    if (it == S().contexts.end()) {
        return false;
    }
    if (S().currentContext == context) {
        MakeCurrent(nullptr, nullptr);
    }
    SDL_GL_DeleteContext(it->second.gl);
    S().contexts.erase(it);
    return true;
}

bool MakeCurrent(DeviceContext dc, RenderContext context) {
    if (context == nullptr) {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            SDL_GL_MakeCurrent(nullptr, nullptr);
        }
        S().currentDc = nullptr;
        S().currentContext = nullptr;
        return true;
    }
    auto it = S().contexts.find(IdOf(context));
    WindowRecord* record = FindWindow(dc);
    if (it == S().contexts.end() || record == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(record->sdl, it->second.gl) != 0) {
        return false;
    }
    S().currentDc = dc;
    S().currentContext = context;
    return true;
}

RenderContext GetCurrentContext() {
    return S().currentContext;
}

DeviceContext GetCurrentDC() {
    return S().currentDc;
}

bool SwapBuffers(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr) {
        return false;
    }
    SDL_GL_SwapWindow(record->sdl);
    return true;
}

Palette CreatePalette(std::uint16_t version, const PaletteEntry* entries, int count) {
    if (version != 0x300 || entries == nullptr || count <= 0 || count > 256) {
        return nullptr;
    }
    const std::uintptr_t id = S().nextId++;
    S().palettes.emplace(id, PaletteRecord{std::vector<PaletteEntry>(entries, entries + count)});
    return reinterpret_cast<Palette>(id);
}

bool DeletePalette(Palette palette) {
    return S().palettes.erase(IdOf(palette)) != 0;
}

Palette SelectPalette(DeviceContext dc, Palette palette, bool) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || S().palettes.count(IdOf(palette)) == 0) {
        return nullptr;
    }
    Palette previous = record->selectedPalette;
    record->selectedPalette = palette;
    return previous;
}

int RealizePalette(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr) {
        return 0;
    }
    auto it = S().palettes.find(IdOf(record->selectedPalette));
    // A true-colour display maps every entry without changing the system palette.
    return it == S().palettes.end() ? 0 : static_cast<int>(it->second.entries.size());
}

void MessageBox(const char* text, const char* caption) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr) != 0) {
        // No way to show a box (no display): the message still reaches the user.
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

// Input injection.

namespace {

bool Push(SDL_Event& event) {
    return SDL_PushEvent(&event) == 1;
}

}  // namespace

bool InjectKey(Window window, int key, bool down, bool repeat, bool alt) {
    WindowRecord* record = FindWindow(window);
    const SDL_Keycode sym = SdlKey(key);
    if (record == nullptr || sym == SDLK_UNKNOWN) {
        return false;
    }
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(record->sdl);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    event.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
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
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(record->sdl);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    return Push(event);
}

bool InjectMouseLeave(Window window) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(record->sdl);
    event.window.event = SDL_WINDOWEVENT_LEAVE;
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

#include "framework/platform/platform.h"

#include <SDL.h>

#include <deque>
#include <string>
#include <vector>

namespace platform {

struct Window {
    SDL_Window* sdl = nullptr;
    uint32_t id = 0;
    WindowProc proc = nullptr;
    void* userData = nullptr;
    bool dirty = false;
    bool painting = false;
    int lastWidth = -1;
    int lastHeight = -1;
    PixelFormat format;
    bool hasFormat = false;
    Palette* palette = nullptr;
};

struct GLContext {
    SDL_GLContext sdl = nullptr;
};

struct Palette {
    std::vector<uint8_t> entries;
};

struct Cursor {
    SDL_Cursor* sdl = nullptr;
};

namespace {

struct WindowClass {
    std::string name;
    WindowProc proc = nullptr;
    uint16_t atom = 0;
};

// Reached through functions and never destroyed: windows are made during static
// construction of the program and their class is unregistered during its static destruction.
std::vector<WindowClass>& Classes() {
    static auto* table = new std::vector<WindowClass>;
    return *table;
}
std::vector<Window*>& Windows() {  // alive, in order of creation
    static auto* alive = new std::vector<Window*>;
    return *alive;
}
std::deque<Message>& Queue() {
    static auto* messages = new std::deque<Message>;
    return *messages;
}
uint16_t nextAtom = 0xC000;
bool videoReady = false;

bool EnsureVideo() {
    if (!videoReady) {
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
        videoReady = SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    return videoReady;
}

Window* FindWindow(uint32_t id) {
    for (Window* w : Windows()) {
        if (w->id == id) {
            return w;
        }
    }
    return nullptr;
}

intptr_t Pack(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFF) |
                                 ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}

// Windows virtual-key code of an SDL key; 0 for keys the game cannot name.
uintptr_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<uintptr_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<uintptr_t>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<uintptr_t>(112 + (key - SDLK_F1));
    }
    switch (key) {
        case SDLK_LEFT:
            return 37;
        case SDLK_UP:
            return 38;
        case SDLK_RIGHT:
            return 39;
        case SDLK_DOWN:
            return 40;
        case SDLK_SPACE:
            return 32;
        case SDLK_RETURN:
            return 13;
        case SDLK_ESCAPE:
            return 27;
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 17;
        case SDLK_LALT:
        case SDLK_RALT:
            return 18;
        case SDLK_PAGEUP:
            return 33;
        case SDLK_PAGEDOWN:
            return 34;
        case SDLK_END:
            return 35;
        case SDLK_HOME:
            return 36;
        case SDLK_INSERT:
            return 45;
        case SDLK_DELETE:
            return 46;
        default:
            return 0;
    }
}

void Post(Window* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Queue().push_back(Message{w, message, wParam, lParam});
}

void Translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            // Ctrl+C in the console: close the main window, the first one made.
            if (!Windows().empty()) {
                Post(Windows().front(), WM_CLOSE, 0, 0);
            }
            break;
        case SDL_WINDOWEVENT: {
            Window* w = FindWindow(e.window.windowID);
            if (w == nullptr) {
                break;
            }
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    Post(w, WM_CLOSE, 0, 0);
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    if (e.window.data1 != w->lastWidth || e.window.data2 != w->lastHeight) {
                        w->lastWidth = e.window.data1;
                        w->lastHeight = e.window.data2;
                        Post(w, WM_SIZE, 0, Pack(e.window.data1, e.window.data2));
                    }
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                    w->dirty = true;
                    break;
                case SDL_WINDOWEVENT_ENTER:
                    Post(w, WM_SETCURSOR, 0, 0);
                    break;
                case SDL_WINDOWEVENT_LEAVE:
                    Post(w, WM_NCMOUSEMOVE, 0, 0);
                    break;
                default:
                    break;
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            Window* w = FindWindow(e.key.windowID);
            if (w == nullptr && !Windows().empty()) {
                w = Windows().front();
            }
            const uintptr_t vk = VirtualKey(e.key.keysym.sym);
            if (w == nullptr || vk == 0) {
                break;
            }
            // Alt combinations and F10 take the system-key path.
            const bool system = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == 18 || vk == 121;
            const bool down = e.type == SDL_KEYDOWN;
            Post(w, system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP),
                 vk, e.key.repeat ? 0x40000000 : 0);
            break;
        }
        case SDL_MOUSEMOTION: {
            Window* w = FindWindow(e.motion.windowID);
            if (w != nullptr) {
                Post(w, WM_MOUSEMOVE, 0, Pack(e.motion.x, e.motion.y));
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            Window* w = FindWindow(e.button.windowID);
            if (w == nullptr) {
                break;
            }
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            uint32_t message = 0;
            switch (e.button.button) {
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
                    break;
            }
            if (message != 0) {
                Post(w, message, 0, Pack(e.button.x, e.button.y));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

uint16_t RegisterWindowClass(const char* name, WindowProc proc) {
    if (name == nullptr || proc == nullptr || nextAtom == 0) {
        return 0;
    }
    for (const WindowClass& c : Classes()) {
        if (c.name == name) {
            return 0;  // already registered
        }
    }
    Classes().push_back(WindowClass{name, proc, nextAtom});
    return nextAtom++;
}

bool UnregisterWindowClass(uint16_t atom) {
    for (auto it = Classes().begin(); it != Classes().end(); ++it) {
        if (it->atom == atom) {
            Classes().erase(it);
            return true;
        }
    }
    return false;
}

Window* CreateWindow(const char* className, const char* title, int x, int y, int width, int height,
                     bool topMost, bool popup, void* createParam) {
    WindowProc proc = nullptr;
    for (const WindowClass& c : Classes()) {
        if (className != nullptr && c.name == className) {
            proc = c.proc;
        }
    }
    if (proc == nullptr || !EnsureVideo()) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (topMost) {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    if (popup) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) {
        x = y = SDL_WINDOWPOS_UNDEFINED;
    }
    if (width == CW_USEDEFAULT || height == CW_USEDEFAULT) {
        width = 640, height = 480;
    }
    // Ask for the pixel format the framework sets up, as closely as a visual allows.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* sdl = SDL_CreateWindow(title != nullptr ? title : "", x, y, width, height, flags);
    if (sdl == nullptr) {
        return nullptr;
    }
    Window* w = new Window;
    w->sdl = sdl;
    w->id = SDL_GetWindowID(sdl);
    w->proc = proc;
    SDL_GetWindowSize(sdl, &w->lastWidth, &w->lastHeight);
    Windows().push_back(w);
    proc(w, WM_NCCREATE, 0, reinterpret_cast<intptr_t>(createParam));
    return w;
}

void DestroyWindow(Window* w) {
    if (!IsWindow(w)) {
        return;
    }
    w->proc(w, WM_DESTROY, 0, 0);
    for (auto it = Windows().begin(); it != Windows().end(); ++it) {
        if (*it == w) {
            Windows().erase(it);
            break;
        }
    }
    // Messages still waiting for it go with it.
    for (auto it = Queue().begin(); it != Queue().end();) {
        it = it->window == w ? Queue().erase(it) : it + 1;
    }
    if (SDL_GL_GetCurrentWindow() == w->sdl) {
        SDL_GL_MakeCurrent(w->sdl, nullptr);
    }
    SDL_DestroyWindow(w->sdl);
    delete w;
}

bool IsWindow(const Window* w) {
    for (const Window* alive : Windows()) {
        if (alive == w) {
            return w != nullptr;
        }
    }
    return false;
}

void ShowWindow(Window* w, bool show) {
    if (IsWindow(w)) {
        show ? SDL_ShowWindow(w->sdl) : SDL_HideWindow(w->sdl);
        if (show) {
            w->dirty = true;
        }
    }
}

void SetUserData(Window* w, void* data) {
    if (w != nullptr) {
        w->userData = data;
    }
}

void* GetUserData(const Window* w) {
    return w != nullptr ? w->userData : nullptr;
}

void GetClientSize(const Window* w, int* width, int* height) {
    SDL_GetWindowSize(w->sdl, width, height);
}

void GetWindowPosition(const Window* w, int* x, int* y) {
    SDL_GetWindowPosition(w->sdl, x, y);
}

void AdjustWindowSize(int*, int*) {}

bool SetWindowSize(Window* w, int width, int height) {
    if (!IsWindow(w)) {
        return false;
    }
    SDL_SetWindowSize(w->sdl, width, height);
    int actualWidth = 0, actualHeight = 0;
    SDL_GetWindowSize(w->sdl, &actualWidth, &actualHeight);
    // Some drivers report the new size late: the size asked for is the one the window takes.
    if (actualWidth != width || actualHeight != height) {
        actualWidth = width, actualHeight = height;
    }
    if (actualWidth != w->lastWidth || actualHeight != w->lastHeight) {
        w->lastWidth = actualWidth;
        w->lastHeight = actualHeight;
        w->proc(w, WM_SIZE, 0, Pack(actualWidth, actualHeight));
    }
    return true;
}

bool DisplaySize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetCurrentDisplayMode(0, &mode) != 0) {
        return false;
    }
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool PeekMessage(Message* out) {
    if (videoReady) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            Translate(e);
        }
    }
    if (!Queue().empty()) {
        *out = Queue().front();
        Queue().pop_front();
        return true;
    }
    for (Window* w : Windows()) {
        if (w->dirty) {
            *out = Message{w, WM_PAINT, 0, 0};
            return true;
        }
    }
    return false;
}

bool PostMessage(Window* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (w != nullptr && !IsWindow(w)) {
        return false;
    }
    Post(w, message, wParam, lParam);
    return true;
}

void PostQuitMessage(int code) {
    Post(nullptr, WM_QUIT, static_cast<uintptr_t>(code), 0);
}

intptr_t DispatchMessage(const Message& m) {
    if (!IsWindow(m.window)) {
        return 0;
    }
    return m.window->proc(m.window, m.message, m.wParam, m.lParam);
}

intptr_t SendMessage(Window* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return IsWindow(w) ? w->proc(w, message, wParam, lParam) : 0;
}

intptr_t DefWindowProc(Window* w, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) {
        DestroyWindow(w);
    } else if (message == WM_PAINT && IsWindow(w)) {
        w->dirty = false;
    }
    return 0;
}

void InvalidateRect(Window* w) {
    if (IsWindow(w)) {
        w->dirty = true;
    }
}

bool GetUpdateRect(const Window* w) {
    return IsWindow(w) && w->dirty;
}

void BeginPaint(Window* w) {
    if (IsWindow(w)) {
        w->painting = true;
        w->dirty = false;
    }
}

void EndPaint(Window* w) {
    if (IsWindow(w)) {
        w->painting = false;
    }
}

void SetCapture(Window*) {
    SDL_CaptureMouse(SDL_TRUE);
}
void ReleaseCapture() {
    SDL_CaptureMouse(SDL_FALSE);
}

Cursor* LoadArrowCursor() {
    static Cursor arrow;
    if (arrow.sdl == nullptr && videoReady) {
        arrow.sdl = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
    return &arrow;
}

void SetCursor(Cursor* cursor) {
    if (cursor != nullptr && cursor->sdl == nullptr && videoReady) {
        cursor->sdl = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
    if (cursor != nullptr && cursor->sdl != nullptr) {
        SDL_SetCursor(cursor->sdl);
    }
}

bool SetPixelFormat(Window* dc, const PixelFormat& format) {
    if (!IsWindow(dc) || dc->hasFormat) {
        return false;  // a window's pixel format is set once
    }
    dc->format = format;
    dc->hasFormat = true;
    return true;
}

bool DescribePixelFormat(const Window* dc, PixelFormat* format) {
    if (!IsWindow(dc) || !dc->hasFormat) {
        return false;
    }
    *format = dc->format;
    return true;
}

GLContext* CreateContext(Window* dc) {
    if (!IsWindow(dc) || !dc->hasFormat) {
        return nullptr;
    }
    const PixelFormat& f = dc->format;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_STEREO, f.stereo ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alphaBits);
    // The closest format the display has: deeper depth buffers than 24 bits are rare.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depthBits > 24 ? 24 : f.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, f.accumBits / 4);
    SDL_GLContext sdl = SDL_GL_CreateContext(dc->sdl);
    if (sdl == nullptr) {
        return nullptr;
    }
    // Creating a context makes it current in SDL; the framework decides what is current.
    SDL_GL_MakeCurrent(dc->sdl, nullptr);
    return new GLContext{sdl};
}

void DeleteContext(GLContext* context) {
    if (context != nullptr) {
        if (SDL_GL_GetCurrentContext() == context->sdl) {
            SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        }
        SDL_GL_DeleteContext(context->sdl);
        delete context;
    }
}

namespace {
GLContext* currentContext = nullptr;
Window* currentDeviceContext = nullptr;
}  // namespace

bool MakeCurrent(Window* dc, GLContext* context) {
    if (context == nullptr) {
        if (videoReady) {
            SDL_GL_MakeCurrent(currentDeviceContext != nullptr && IsWindow(currentDeviceContext)
                                   ? currentDeviceContext->sdl
                                   : nullptr,
                               nullptr);
        }
        currentContext = nullptr;
        currentDeviceContext = nullptr;
        return true;
    }
    if (!IsWindow(dc) || SDL_GL_MakeCurrent(dc->sdl, context->sdl) != 0) {
        return false;
    }
    currentContext = context;
    currentDeviceContext = dc;
    return true;
}

GLContext* CurrentContext() {
    return currentContext;
}
Window* CurrentDeviceContext() {
    return currentDeviceContext;
}

void SwapBuffers(Window* dc) {
    if (IsWindow(dc)) {
        SDL_GL_SwapWindow(dc->sdl);
    }
}

Palette* CreatePalette(const uint8_t (*entries)[3], int count) {
    Palette* p = new Palette;
    p->entries.assign(&entries[0][0], &entries[0][0] + 3 * count);
    return p;
}

void DeletePalette(Palette* palette) {
    delete palette;
}

Palette* SelectPalette(Window* dc, Palette* palette) {
    if (!IsWindow(dc)) {
        return nullptr;
    }
    Palette* previous = dc->palette;
    dc->palette = palette;
    return previous;
}

void MessageBox(const char* text, const char* caption) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr);
}

}  // namespace platform

// Window classes, windows and their sizes, painting, mouse capture and the cursor.
#include <algorithm>

#include "framework/platform/records.h"

namespace platform {
using namespace detail;

SDL_Window* detail::MakeSdlWindow(const WindowRecord& record, int x, int y, int format) {
    ApplyFormat(format);
    return SDL_CreateWindow(record.title.c_str(), x, y, record.sdlWidth, record.sdlHeight,
                            record.sdlFlags);
}

namespace {

// Centres a window on its display's usable area (without panels), frame included; a window
// larger than the area starts at its top-left corner.
void Centre(const WindowRecord& record) {
    SDL_Rect area;
    if (SDL_GetDisplayUsableBounds(std::max(SDL_GetWindowDisplayIndex(record.sdl), 0), &area) !=
        0) {
        return;
    }
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (SDL_GetWindowBordersSize(record.sdl, &top, &left, &bottom, &right) != 0) {
        top = left = bottom = right = 0;  // no frame known (yet): the client alone
    }
    const int outerWidth = record.sdlWidth + left + right;
    const int outerHeight = record.sdlHeight + top + bottom;
    SDL_SetWindowPosition(record.sdl, area.x + std::max((area.w - outerWidth) / 2, 0) + left,
                          area.y + std::max((area.h - outerHeight) / 2, 0) + top);
}

}  // namespace

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

Window CreateWindow(const char* className, const char* title, std::uint32_t style, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height, bool topMost,
                    void* createParam) {
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
    record.sdlFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    record.sdlFlags |= (style & WS_POPUP) != 0 ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
    if (topMost) {
        record.sdlFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    record.clientWidth = width == CW_USEDEFAULT ? 640 : std::max(width, 0);
    record.clientHeight = height == CW_USEDEFAULT ? 480 : std::max(height, 0);
    record.sdlWidth = std::max(record.clientWidth, 1);
    record.sdlHeight = std::max(record.clientHeight, 1);
    record.placedByPlatform = x == CW_USEDEFAULT;
    const int sdlX = record.placedByPlatform ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : x;
    const int sdlY = record.placedByPlatform ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : y;
    record.sdl = MakeSdlWindow(record, sdlX, sdlY, DEFAULT_FORMAT);
    if (record.sdl == nullptr) {
        return nullptr;
    }
    if (record.placedByPlatform) {
        Centre(record);
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

bool SetWindowText(Window window, const char* text) {
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    record->title = text != nullptr ? text : "";
    SDL_SetWindowTitle(record->sdl, record->title.c_str());
    return true;
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
    int now[2] = {0, 0};
    SDL_GetWindowSize(record->sdl, &now[0], &now[1]);
    // Asked again for the size it has, the window is left alone: on X a resize waits for the
    // server's answer, which a window already that size makes the first frame wait for.
    if (now[0] != record->sdlWidth || now[1] != record->sdlHeight) {
        SDL_SetWindowSize(record->sdl, record->sdlWidth, record->sdlHeight);
        if (record->placedByPlatform) {
            // Grown from its top-left corner it could reach past the screen's edge.
            Centre(*record);
        }
    }
    if (width != record->clientWidth || height != record->clientHeight) {
        record->clientWidth = width;
        record->clientHeight = height;
        record->dirty = true;
        SendMessage(window, WM_SIZE, 0, PackPoint(width, height));
    }
    return true;
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

}  // namespace platform

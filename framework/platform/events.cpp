// Event translation and the message queue: SDL's events become the window messages, queued in
// the order the window system would deliver them.
#include "framework/platform/records.h"

namespace platform {
using namespace detail;

void detail::Post(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    S().queue.push_back(Message{window, message, wParam, lParam});
}

namespace {

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    Window window = WindowFromSdlId(event.windowID);
    WindowRecord* record = FindWindow(window);
    if (record == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // A size the window has already left (the window manager's answer to an earlier
            // request, arriving after a later one) is passed over: it would shrink the frame to
            // come into a corner of the window.
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(record->sdl, &width, &height);
            if (event.data1 != width || event.data2 != height) {
                break;
            }
            if (event.data1 != record->sdlWidth || event.data2 != record->sdlHeight) {
                record->sdlWidth = event.data1;
                record->sdlHeight = event.data2;
                record->clientWidth = event.data1;
                record->clientHeight = event.data2;
                Post(window, WM_SIZE, 0, PackPoint(event.data1, event.data2));
            }
            break;
        }
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
            const int vk = VirtualKey(event.key.keysym);
            if (window == nullptr) {
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

}  // namespace

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

}  // namespace platform

// The GL window's procedure: each window message becomes a handler call of the owner's, with the
// window's context current for the handlers that draw.
#include "framework/GLWindow.h"

#include "framework/Main.h"

namespace {

int SignedLow(platform::LParam value) {
    return static_cast<std::int16_t>(value & 0xFFFF);
}
int SignedHigh(platform::LParam value) {
    return static_cast<std::int16_t>((value >> 16) & 0xFFFF);
}

}  // namespace

platform::LResult GLWindowExtra::StaticWindowProc(platform::Window window, std::uint32_t message,
                                                  platform::WParam wParam,
                                                  platform::LParam lParam) {
    if (message == platform::WM_NCCREATE) {
        platform::SetUserData(window, reinterpret_cast<void*>(lParam));
    }
    auto* extra = static_cast<GLWindowExtra*>(platform::GetUserData(window));
    if (extra == nullptr) {
        return platform::DefWindowProc(window, message, wParam, lParam);
    }
    return extra->WindowProc(window, message, wParam, lParam);
}

platform::LResult GLWindowExtra::WindowProc(platform::Window window, std::uint32_t message,
                                            platform::WParam wParam, platform::LParam lParam) {
    owner->OnMessage(window, message, wParam, lParam);
    // Handlers that draw run with this window's context current; when it cannot be made current
    // the handler is skipped and the stack is still put back, so it never drifts.
    switch (message) {
        case platform::WM_DESTROY:
            return 0;
        case platform::WM_SIZE:
            width = static_cast<std::int32_t>(lParam & 0xFFFF);
            height = static_cast<std::int32_t>((lParam >> 16) & 0xFFFF);
            if (MakeCurrent(true)) {
                owner->OnResize(width, height);
            }
            MakeCurrent(false);
            return 0;
        case platform::WM_PAINT:
            if (!platform::GetUpdateRect(window, nullptr)) {
                return 0;
            }
            platform::BeginPaint(window);
            if (MakeCurrent(true)) {
                owner->OnDisplay();
            }
            MakeCurrent(false);
            platform::EndPaint(window);
            return 0;
        case platform::WM_CLOSE:
            if (GLAppRegistry::Instance()->MainWindow() == this) {
                platform::PostQuitMessage(static_cast<int>(wParam));
                return platform::DefWindowProc(window, message, wParam, lParam);
            }
            platform::ShowWindow(window, false);
            return 0;
        case platform::WM_SETCURSOR:
            if (cursorExec) {
                return platform::DefWindowProc(window, message, wParam, lParam);
            }
            platform::SetCursor(cursor);
            return 0;
        case platform::WM_NCMOUSEMOVE:
            cursorExec = true;
            return platform::DefWindowProc(window, message, wParam, lParam);
        case platform::WM_KEYDOWN:
            owner->OnKeyboard(static_cast<int>(wParam), true);
            return 0;
        case platform::WM_KEYUP:
            owner->OnKeyboard(static_cast<int>(wParam), false);
            return 0;
        case platform::WM_COMMAND:
            if (((wParam >> 16) & 0xFFFF) == 0) {
                owner->OnMenu(static_cast<int>(wParam & 0xFFFF));
                return 0;
            }
            return platform::DefWindowProc(window, message, wParam, lParam);
        case platform::WM_MOUSEMOVE:
            if (MakeCurrent(true)) {
                owner->OnMouseMove(SignedLow(lParam), owner->GetHeight() - 1 - SignedHigh(lParam));
            }
            MakeCurrent(false);
            cursorExec = false;
            return 0;
        case platform::WM_LBUTTONDOWN:
        case platform::WM_MBUTTONDOWN:
        case platform::WM_RBUTTONDOWN:
        case platform::WM_LBUTTONUP:
        case platform::WM_MBUTTONUP:
        case platform::WM_RBUTTONUP: {
            const bool down = message == platform::WM_LBUTTONDOWN ||
                              message == platform::WM_MBUTTONDOWN ||
                              message == platform::WM_RBUTTONDOWN;
            int button = 0;
            if (message == platform::WM_MBUTTONDOWN || message == platform::WM_MBUTTONUP) {
                button = 1;
            } else if (message == platform::WM_RBUTTONDOWN || message == platform::WM_RBUTTONUP) {
                button = 2;
            }
            if (MakeCurrent(true)) {
                if (down) {
                    platform::SetCapture(window);
                } else {
                    platform::ReleaseCapture();
                }
                owner->OnMouseButton(button, down);
            }
            MakeCurrent(false);
            return 0;
        }
        case CREATE_MESSAGE:
            if (!inCreate) {
                inCreate = true;
                if (MakeCurrent(true)) {
                    owner->OnCreate();
                }
                MakeCurrent(false);
                inCreate = false;
            }
            return 0;
        default:
            return platform::DefWindowProc(window, message, wParam, lParam);
    }
}

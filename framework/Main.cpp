#include "framework/Main.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "framework/GLWindow.h"
#include "framework/platform/platform.h"

GLAppRegistry* GLAppRegistry::self = nullptr;

namespace {
void DestroyRegistry() {
    delete GLAppRegistry::self;
    GLAppRegistry::self = nullptr;
}
}  // namespace

GLAppRegistry* GLAppRegistry::Instance() {
    if (self == nullptr) {
        self = new (std::nothrow) GLAppRegistry();
        if (self == nullptr) {
            std::fprintf(stderr, "Main: assertion failed: self!=NULL\n");
            std::abort();
        }
        std::atexit(DestroyRegistry);
    }
    return self;
}

GLAppRegistry::~GLAppRegistry() {
    if (windowClass != 0 && module != nullptr) {
        platform::UnregisterWindowClass(windowClass);
    }
}

bool GLAppRegistry::RegisterWindowClass() {
    if (windowClass != 0) {
        return true;
    }
    if (module == nullptr) {
        module = this;  // the program itself: there is only one module
    }
    windowClass = platform::RegisterWindowClass("GLAppWnd", GLWindowExtra::StaticWindowProc);
    return windowClass != 0;
}

bool GLAppRegistry::AddWindow(GLWindowExtra* window) {
    if (window == nullptr) {
        return false;
    }
    if (windows.empty()) {
        mainWindow = window;
    }
    windows.push_back(window);
    return true;
}

void GLAppRegistry::RemoveWindow(GLWindowExtra* window) {
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if (*it == window) {
            windows.erase(it);
            return;
        }
    }
}

int32_t GLAppRegistry::Run(int count, char** vector) {
    if (app == nullptr) {
        ShowMessage("No application instance created, exiting.");
        return -1;
    }
    argc = count;
    argv = vector;
    app->OnInit();
    bool anyWindow = false;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]->window == nullptr) {
            windows[i]->Create();
        }
        anyWindow = anyWindow || windows[i]->window != nullptr;
    }
    int32_t code = 0;
    // Without a window no quit message could ever come: end at once instead of spinning.
    if (!windows.empty() && anyWindow) {
        code = PumpMessages();
    } else if (!windows.empty()) {
        code = 1;
    }
    app->OnExit();
    return code;
}

int32_t GLAppRegistry::PumpMessages() {
    platform::Message message;
    for (;;) {
        if (platform::PeekMessage(&message)) {
            if (message.message == platform::WM_QUIT) {
                return static_cast<int32_t>(message.wParam);
            }
            platform::DispatchMessage(message);
        } else {
            app->OnIdle();
            for (size_t i = 0; i < windows.size(); ++i) {
                windows[i]->owner->OnIdle();
            }
        }
    }
}

GLApp::GLApp() {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (registry->app != nullptr) {
        std::printf("Error: more than one application instance defined!\n");
        std::fflush(stdout);
        std::exit(1);
    }
    registry->app = this;
}

GLApp::~GLApp() {
    if (GLAppRegistry::self != nullptr && GLAppRegistry::self->app == this) {
        GLAppRegistry::self->app = nullptr;
    }
}

void ShowMessage(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0 || n >= static_cast<int>(sizeof buffer)) {
        return;
    }
    if (GLAppRegistry::Instance()->consoleMode) {
        std::fputs(buffer, stdout);
        std::fflush(stdout);
    } else {
        platform::MessageBox(buffer, "Message");
    }
}

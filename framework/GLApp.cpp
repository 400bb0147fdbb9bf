// GLApp and GLAppRegistry: the one application object's registration, the run loop, and
// ShowMessage.
#include "framework/Main.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "framework/GLWindow.h"
#include "framework/ImagePlatformReaders.h"
#include "framework/platform/platform.h"

GLAppRegistry* GLAppRegistry::self = nullptr;

GLAppRegistry* GLAppRegistry::Instance() {
    if (self == nullptr) {
        self = new (std::nothrow) GLAppRegistry();
        if (self == nullptr) {
            FrameworkAssertionFailed("self!=NULL", "Main");
        }
        std::atexit(DestroyAtExit);
    }
    return self;
}

void GLAppRegistry::DestroyAtExit() {
    delete self;
    self = nullptr;
}

GLAppRegistry::~GLAppRegistry() {
    if (windowClass != 0 && module != nullptr) {
        platform::UnregisterClass(windowClass);
    }
}

bool GLAppRegistry::RegisterWindowClass() {
    if (windowClass != 0) {
        return true;
    }
    if (module == nullptr) {
        module = platform::GetModuleHandle();
    }
    windowClass = platform::RegisterClass("GLAppWnd", &GLWindowExtra::StaticWindowProc);
    return windowClass != 0;
}

int GLAppRegistry::Run(int argc, char** argv) {
    if (app == nullptr) {
        ShowMessage("No application instance created, exiting.");
        return -1;
    }
    this->argc = argc;
    this->argv = argv;
    app->OnInit();
    bool anyCreated = false;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const bool made = windows[i]->window != nullptr || windows[i]->Create();
        anyCreated = anyCreated || made;
    }
    int exitCode = 0;
    if (!windows.empty()) {
        // Without any window no close can ever arrive: the loop would spin for good, so the
        // program ends at once, reporting the failure.
        exitCode = anyCreated ? PumpMessages() : 1;
    }
    app->OnExit();
    return exitCode;
}

int GLAppRegistry::PumpMessages() {
    platform::Message message;
    for (;;) {
        if (platform::PeekMessage(&message)) {
            if (message.message == platform::WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            platform::DispatchMessage(message);
            continue;
        }
        if (app != nullptr) {
            app->OnIdle();
        }
        // A handler may add or remove windows: the list is read afresh at every step.
        for (std::size_t i = 0; i < windows.size(); ++i) {
            windows[i]->owner->OnIdle();
        }
    }
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
    auto it = std::find(windows.begin(), windows.end(), window);
    if (it != windows.end()) {
        windows.erase(it);
    }
    // A window that is gone cannot end the program, nor may a later one at its address.
    if (window == mainWindow) {
        mainWindow = nullptr;
    }
}

GLWindowExtra* GLAppRegistry::MainWindow() {
    return mainWindow;
}

GLApp::GLApp() {
    // Here rather than in Run: the members of a program's application object read their
    // pictures while it is constructed, after this and before main.
    InstallPlatformImageReaders();
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (registry->app != nullptr) {
        std::printf("Error: more than one application instance defined!\n");
        std::exit(1);
    }
    registry->app = this;
}

GLApp::~GLApp() {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (registry->app == this) {
        registry->app = nullptr;
    }
}

void ShowMessage(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0 || length >= static_cast<int>(sizeof text)) {
        return;
    }
    if (GLAppRegistry::Instance()->consoleMode) {
        std::fputs(text, stdout);
        std::fflush(stdout);
    } else {
        platform::MessageBox(text, "Message");
    }
}

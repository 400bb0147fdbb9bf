#pragma once

#include <cstdint>
#include <vector>

class GLWindowExtra;

// The application: a program defines exactly one, as a global object.
class GLApp {
  public:
    GLApp();
    virtual void OnInit() {}
    virtual void OnIdle() {}
    virtual void Reserved(int, int) {}
    virtual void OnExit() {}
    virtual ~GLApp();
    GLApp(const GLApp&) = delete;
    GLApp& operator=(const GLApp&) = delete;
};

// The process-wide framework record: the application, the window class and the windows.
class GLAppRegistry {
  public:
    static GLAppRegistry* Instance();
    virtual ~GLAppRegistry();

    int32_t Run(int argc, char** argv);
    int32_t PumpMessages();
    bool AddWindow(GLWindowExtra* window);
    void RemoveWindow(GLWindowExtra* window);
    GLWindowExtra* MainWindow() const { return mainWindow; }
    // Registers "GLAppWnd" once; false when the platform refuses.
    bool RegisterWindowClass();

    static GLAppRegistry* self;

    GLApp* app = nullptr;
    void* module = nullptr;
    uint16_t windowClass = 0;
    int32_t argc = 0;
    char** argv = nullptr;
    std::vector<GLWindowExtra*> windows;
    bool consoleMode = false;
    GLWindowExtra* mainWindow = nullptr;

  private:
    GLAppRegistry() = default;
};

// A message to the user: standard output in console mode, else a message box.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

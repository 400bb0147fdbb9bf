// The application object, the process-wide framework record with its run loop, and messages to
// the user.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Assertion.h"

class GLWindowExtra;

// The one application object of a program: a global instance of a subclass.
class GLApp {
  public:
    GLApp();
    // Called once by Run before any window is created.
    virtual void OnInit() {}
    // Called on every pass of the message loop that found no message, before the windows'.
    virtual void OnIdle() {}
    // Holds its place among the handlers; the framework never calls it.
    virtual void Reserved(int, int) {}
    // Called once by Run after the message loop has ended.
    virtual void OnExit() {}
    virtual ~GLApp();
};

// The process-wide framework record, made on first use and destroyed at exit after the
// application object.
class GLAppRegistry {
  public:
    static GLAppRegistry* Instance();

    // OnInit, creation of every window, the message loop, OnExit; the program's exit code.
    int Run(int argc, char** argv);
    // Runs the message loop until the quit message arrives; returns its code.
    int PumpMessages();
    bool AddWindow(GLWindowExtra* window);
    void RemoveWindow(GLWindowExtra* window);
    GLWindowExtra* MainWindow();
    // Registers the window class once; false when that fails.
    bool RegisterWindowClass();

    GLApp* app = nullptr;
    void* module = nullptr;
    std::uint16_t windowClass = 0;
    std::int32_t argc = 0;
    char** argv = nullptr;
    std::vector<GLWindowExtra*> windows;
    bool consoleMode = false;
    GLWindowExtra* mainWindow = nullptr;

    virtual ~GLAppRegistry();

  private:
    GLAppRegistry() = default;
    static void DestroyAtExit();
    static GLAppRegistry* self;
};

// A printf-style message to the user: standard output in console mode, else a message box.
// Texts of 1024 characters or more, or that cannot be formatted, are dropped.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

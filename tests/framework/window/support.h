// Recording application and window classes for the framework's tests, and a way to run the
// message queue dry without entering the endless loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/GLWindow.h"
#include "framework/Main.h"
#include "framework/platform/platform.h"
#include "framework/testing/inject.h"

namespace test {

inline std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

// Dispatches every waiting message, paint messages included; returns how many.
inline int DrainMessages() {
    int count = 0;
    platform::Message message;
    while (platform::PeekMessage(&message) && message.message != platform::WM_QUIT) {
        platform::DispatchMessage(message);
        ++count;
    }
    return count;
}

class RecordingApp : public GLApp {
  public:
    void OnInit() override {
        Log().push_back("init");
        if (onInit) {
            onInit();
        }
    }
    void OnIdle() override { Log().push_back("app-idle"); }
    void OnExit() override { Log().push_back("exit"); }
    std::function<void()> onInit;
};

class RecordingWindow : public GLWindow {
  public:
    explicit RecordingWindow(std::string name = "win") : name(std::move(name)) {}
    void OnCreate() override {
        ++creates;
        Log().push_back(name + "-create");
        if (onCreate) {
            onCreate(*this);
        }
    }
    void OnDisplay() override {
        ++displays;
        Log().push_back(name + "-display");
        GLWindow::OnDisplay();
    }
    void OnResize(int width, int height) override {
        resizes.push_back({width, height});
        GLWindow::OnResize(width, height);
    }
    void OnMouseButton(int button, bool down) override { buttons.push_back({button, down}); }
    void OnMouseMove(int x, int y) override { moves.push_back({x, y}); }
    void OnKeyboard(int key, bool down) override { keys.push_back({key, down}); }
    void OnIdle() override {
        ++idles;
        Log().push_back(name + "-idle");
        if (onIdle) {
            onIdle(*this);
        }
    }
    void OnMessage(platform::Window, std::uint32_t message, platform::WParam,
                   platform::LParam) override {
        if (message >= platform::WM_USER + 2) {
            Log().push_back(name + "-user" + std::to_string(message - platform::WM_USER));
        }
    }

    void Close(platform::WParam code = 0) {
        platform::PostMessage(extra->window, platform::WM_CLOSE, code, 0);
    }

    std::string name;
    int creates = 0;
    int displays = 0;
    int idles = 0;
    std::vector<std::pair<int, int>> resizes;
    std::vector<std::pair<int, bool>> buttons;
    std::vector<std::pair<int, int>> moves;
    std::vector<std::pair<int, bool>> keys;
    std::function<void(RecordingWindow&)> onCreate;
    std::function<void(RecordingWindow&)> onIdle;
};

// The log as one line, for readable failures.
inline std::string Joined(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += entry + " ";
    }
    return text;
}

}  // namespace test

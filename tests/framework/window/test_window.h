// The application and window that the window layer's tests drive, recording every handler call.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/GLWindow.h"
#include "framework/Main.h"

using Ints = std::vector<int>;

using Pairs = std::vector<std::pair<int, int>>;
using Strings = std::vector<std::string>;
// What the application and the windows were asked to do, in order.
inline Strings history;

// Dispatches every waiting message, paint messages included.
inline void Drain() {
    platform::Message message;
    while (platform::PeekMessage(&message) && message.message != platform::WM_QUIT) {
        platform::DispatchMessage(message);
    }
}

struct App : GLApp {
    void OnInit() override {
        history.push_back("init");
        onInit();
    }
    void OnIdle() override { history.push_back("idle"); }
    void OnExit() override { history.push_back("exit"); }
    std::function<void()> onInit = [] {};
};

struct Win : GLWindow {
    explicit Win(std::string name = "w") : name(std::move(name)) {}
    void OnCreate() override {
        history.push_back(name + "-create");
        onCreate();
    }
    void OnDisplay() override { history.push_back(name + "-display"); }
    void OnResize(int w, int h) override {
        resizes.push_back({w, h});
        GLWindow::OnResize(w, h);
    }
    void OnMouseButton(int button, bool down) override { buttons.push_back({button, down}); }
    void OnMouseMove(int x, int y) override { moves.push_back({x, y}); }
    void OnKeyboard(int key, bool down) override { keys.push_back({key, down}); }
    void OnIdle() override {
        history.push_back(name + "-idle");
        onIdle(++idles);
    }
    void OnMessage(platform::Window, std::uint32_t message, platform::WParam,
                   platform::LParam flags) override {
        if (message > GLWindowExtra::CREATE_MESSAGE) {
            history.push_back(name + "-user" + std::to_string(message - platform::WM_USER));
        } else if (message >= platform::WM_KEYDOWN && message <= platform::WM_SYSKEYUP) {
            keyMessages.push_back(message);
            keyFlags.push_back(flags);
        }
    }
    bool Make() {
        const bool made = extra->Create();
        Drain();
        return made;
    }

    std::string name;
    int idles = 0;
    Pairs resizes, buttons, moves, keys;
    std::vector<std::uint32_t> keyMessages;
    std::vector<platform::LParam> keyFlags;
    std::function<void()> onCreate = [] {};
    std::function<void(int)> onIdle = [](int) {};
};

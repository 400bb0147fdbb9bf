// A real game window in an offscreen OpenGL context, playing in a folder of its own whose data/
// holds small single-colour pictures, so a frame read back tells what was drawn where. Its
// frame timer runs on a clock that moves only when the timer sleeps.
#pragma once

#include <stdlib.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/platform/platform.h"
#include "game/game_window.h"
#include "tests/game/board_state.h"

using Colour = std::array<int, 3>;

// Left, up, right, down: the order of the direction tables.
const int32_t DIRECTIONS[4] = {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN};
namespace colours {
const Colour BLACK{0, 0, 0}, WALL{0, 0, 255}, DOOR{255, 191, 191}, DOT{240, 180, 160};
const Colour GULPER[4] = {{250, 250, 0}, {250, 150, 0}, {250, 200, 0}, {250, 100, 0}};
const Colour RED[4] = {{200, 0, 0}, {210, 0, 10}, {220, 0, 20}, {230, 0, 30}};
const Colour BLUE[4] = {{20, 20, 160}, {30, 30, 170}, {40, 40, 180}, {50, 50, 190}};
const Colour PILL{160, 240, 180}, START{90, 200, 90}, WON{200, 90, 200};
}  // namespace colours

inline int64_t fakeNow = 0;
inline std::vector<int64_t> sleeps;

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "gulper-window-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::filesystem::create_directory(folder / "data");
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        WriteData();
        ResetGameState();
        player = std::make_unique<ScriptedPlayer>();  // its pictures come from data/
        SetPlayerAgent(player.get());
        window = MakeWindow();
        // Made at its size: the offscreen surface keeps the size it opened with, and a window
        // resized once shown keeps its first frame waiting.
        ASSERT_EQ((std::pair{window->GetWidth(), window->GetHeight()}),
                  (std::pair{WINDOW_WIDTH, WindowHeight()}));
        ASSERT_TRUE(window->extra->Create());
        DrainMessages();  // OnCreate, then the first paint
        sleeps.clear();
        window->frameTimer = FrameTimer([] { return fakeNow; },
                                        [](int64_t ms) {
                                            sleeps.push_back(ms);
                                            fakeNow += ms;
                                        });
    }

    void TearDown() override {
        window.reset();
        SetPlayerAgent(nullptr);
        player.reset();
        std::filesystem::current_path(previousFolder);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    virtual std::unique_ptr<GameWindow> MakeWindow() { return std::make_unique<GameWindow>(); }
    virtual int WindowHeight() const { return WINDOW_HEIGHT; }

    // data/ when the window is made: the Gulper, red and blue ghosts in a colour per direction
    // (the other ghosts have none), dots, pills, the start and won pictures.
    virtual void WriteData() {
        using namespace colours;
        const char* names[] = {"left", "up", "right", "down"};
        for (int d = 0; d < 4; ++d) {
            WritePicture(std::string("gulper") + names[d], 12, GULPER[d]);
            WritePicture(std::string("redghost") + names[d], 6, RED[d]);
            WritePicture(std::string("blueghost") + names[d], 6, BLUE[d]);
        }
        WritePicture("dot", 10, DOT);
        WritePicture("powerpill", 14, PILL);
        WritePicture("start", 100, START, 40);
        WritePicture("win", 100, WON, 40);
    }

    // data/<name>.tga: an uncompressed Targa of one colour, square unless a height is given.
    void WritePicture(const std::string& name, int width, const Colour& c, int height = 0) {
        height = height > 0 ? height : width;
        std::string bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 24, 0};
        bytes[12] = static_cast<char>(width);  // both below 256
        bytes[14] = static_cast<char>(height);
        for (int i = 0; i < width * height; ++i) {
            bytes += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
        }
        std::ofstream(folder / "data" / (name + ".tga"), std::ios::binary) << bytes;
    }

    static int DrainMessages() {
        int count = 0;
        for (platform::Message m; platform::PeekMessage(&m) && m.message != platform::WM_QUIT;) {
            platform::DispatchMessage(m);
            ++count;
        }
        return count;
    }

    std::vector<uint8_t> ReadFrame() const {
        std::vector<uint8_t> pixels(static_cast<size_t>(WINDOW_WIDTH) * WindowHeight() * 4);
        glReadPixels(0, 0, WINDOW_WIDTH, WindowHeight(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Draws one frame and reads it back.
    void Frame() {
        window->OnDisplay();
        frame = ReadFrame();
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The colour of the last frame at board point (x, y); y 0 is the board's bottom row.
    Colour At(int x, int y) const {
        const size_t row = static_cast<size_t>(y + WindowHeight() - BOARD_HEIGHT);
        const size_t i = (row * WINDOW_WIDTH + static_cast<size_t>(x)) * 4;
        return {frame[i], frame[i + 1], frame[i + 2]};
    }

    void Press(int key) { window->OnKeyboard(key, true); }
    // The pending keys: left, right, down, up, space.
    std::vector<bool> Keys() const {
        return {window->keyLeft, window->keyRight, window->keyDown, window->keyUp,
                window->spacePressed};
    }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<ScriptedPlayer> player;
    std::unique_ptr<GameWindow> window;
    std::vector<uint8_t> frame;
};

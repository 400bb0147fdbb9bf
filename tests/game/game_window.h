// A real game window in an offscreen OpenGL context, playing in a folder of its own whose data/
// holds small single-colour pictures, so a frame read back tells what was drawn where.
#pragma once

#include <stdlib.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform/platform.h"
#include "game/game_window.h"
#include "tests/game/board_state.h"

using Colour = std::array<int, 3>;

namespace colours {
const Colour BLACK{0, 0, 0}, WALL{0, 0, 255}, DOOR{255, 191, 191};
const Colour GULPER[4] = {{250, 250, 0}, {250, 150, 0}, {250, 200, 0}, {250, 100, 0}};
const Colour RED[4] = {{200, 0, 0}, {210, 0, 10}, {220, 0, 20}, {230, 0, 30}};
const Colour BLUE[4] = {{20, 20, 160}, {30, 30, 170}, {40, 40, 180}, {50, 50, 190}};
const Colour GREEN{0, 200, 0}, ORANGE{250, 120, 40}, TURQUOISE{40, 220, 220};
const Colour DOT{240, 180, 160}, PILL{160, 240, 180}, FRUIT{120, 60, 200};
const Colour START{90, 200, 90}, WON{200, 90, 200}, LOST{90, 90, 200};
}  // namespace colours

// Sizes: a ghost is smaller than a dot, so a dot under a ghost shows round it, and the Gulper
// is smaller than the fruit.
constexpr int GULPER_SIZE = 12, GHOST_SIZE = 6, DOT_SIZE = 10, PILL_SIZE = 14, FRUIT_SIZE = 16;
constexpr int FULL_WIDTH = 100, FULL_HEIGHT = 40;
// Left, up, right, down: the order of the colour tables.
const int32_t DIRECTIONS[4] = {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN};

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
        window = std::make_unique<GameWindow>();
        window->SetSize(380, 460);  // the offscreen surface keeps the size it opened with
        ASSERT_TRUE(window->extra->Create());
        DrainMessages();  // OnCreate, then the first paint
    }

    void TearDown() override {
        window.reset();
        SetPlayerAgent(nullptr);
        player.reset();
        std::filesystem::current_path(previousFolder);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // What data/ holds when the window is created.
    virtual void WriteData() {
        using namespace colours;
        const char* names[] = {"left", "up", "right", "down"};
        for (int d = 0; d < 4; ++d) {
            const std::string name = names[d];
            WritePicture("gulper" + name, GULPER_SIZE, GULPER_SIZE, GULPER[d]);
            WritePicture("redghost" + name, GHOST_SIZE, GHOST_SIZE, RED[d]);
            WritePicture("blueghost" + name, GHOST_SIZE, GHOST_SIZE, BLUE[d]);
            WritePicture("greenghost" + name, GHOST_SIZE, GHOST_SIZE, GREEN);
            WritePicture("orangeghost" + name, GHOST_SIZE, GHOST_SIZE, ORANGE);
            WritePicture("turquoiseghost" + name, GHOST_SIZE, GHOST_SIZE, TURQUOISE);
        }
        WritePicture("dot", DOT_SIZE, DOT_SIZE, DOT);
        WritePicture("powerpill", PILL_SIZE, PILL_SIZE, PILL);
        WritePicture("fruit", FRUIT_SIZE, FRUIT_SIZE, FRUIT);
        WritePicture("start", FULL_WIDTH, FULL_HEIGHT, START);
        WritePicture("win", FULL_WIDTH, FULL_HEIGHT, WON);
        WritePicture("lose", FULL_WIDTH, FULL_HEIGHT, LOST);
    }

    // data/<name>.tga: an uncompressed Targa of one colour.
    void WritePicture(const std::string& name, int width, int height, const Colour& c) {
        std::string bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int v : {width, height}) {
            bytes += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        }
        bytes += {24, 0};
        for (int i = 0; i < width * height; ++i) {
            bytes += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
        }
        std::ofstream(folder / "data" / (name + ".tga"), std::ios::binary) << bytes;
    }

    static int DrainMessages() {
        int count = 0;
        platform::Message message;
        while (platform::PeekMessage(&message) && message.message != platform::WM_QUIT) {
            platform::DispatchMessage(message);
            ++count;
        }
        return count;
    }

    std::vector<uint8_t> ReadFrame() const {
        std::vector<uint8_t> pixels(380 * 460 * 4);
        glReadPixels(0, 0, 380, 460, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Draws one frame and reads it back.
    void Frame() {
        window->OnDisplay();
        frame = ReadFrame();
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The colour of the last frame at board point (x, y); y -20 is the window's bottom row.
    Colour At(int x, int y) const {
        const size_t i = (static_cast<size_t>(y + 20) * 380 + static_cast<size_t>(x)) * 4;
        return {frame[i], frame[i + 1], frame[i + 2]};
    }

    // Lit pixels of the last frame in the board rectangle [x0, x1) x [y0, y1).
    int LitPixels(int x0, int y0, int x1, int y1) const {
        int lit = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                lit += At(x, y) != colours::BLACK ? 1 : 0;
            }
        }
        return lit;
    }

    // Every sprite off the board, so a test places only what it looks at.
    void ParkEverything() {
        for (Ghost* ghost : {redGhost, greenGhost, orangeGhost, turquoiseGhost}) {
            ghost->position = GridPoint(-100, -100);
        }
        player->position = GridPoint(-100, -100);
    }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<ScriptedPlayer> player;
    std::unique_ptr<GameWindow> window;
    std::vector<uint8_t> frame;
};

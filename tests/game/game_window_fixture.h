// A real game window in an offscreen OpenGL context, playing in a folder of its own whose
// data/ holds small single-colour pictures, so a frame read back tells what was drawn where.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/platform/platform.h"
#include "game/game_state.h"
#include "game/game_window.h"
#include "game/ghosts/ghost.h"
#include "tests/framework/image_test_files.h"
#include "tests/game/test_player.h"

using Colour = std::array<int, 3>;

// The colour of every picture the fixture writes.
namespace colours {
const Colour BLACK{0, 0, 0};
const Colour WALL{0, 0, 255};
const Colour DOOR{255, 191, 191};
const Colour GULPER_LEFT{250, 250, 0};
const Colour GULPER_RIGHT{250, 200, 0};
const Colour GULPER_UP{250, 150, 0};
const Colour GULPER_DOWN{250, 100, 0};
const Colour RED_LEFT{200, 0, 0};
const Colour RED_UP{210, 0, 10};
const Colour RED_RIGHT{220, 0, 20};
const Colour RED_DOWN{230, 0, 30};
const Colour GREEN{0, 200, 0};
const Colour ORANGE{250, 120, 40};
const Colour TURQUOISE{40, 220, 220};
const Colour BLUE_LEFT{20, 20, 160};
const Colour BLUE_UP{30, 30, 170};
const Colour BLUE_RIGHT{40, 40, 180};
const Colour BLUE_DOWN{50, 50, 190};
const Colour DOT{240, 180, 160};
const Colour PILL{160, 240, 180};
const Colour FRUIT{120, 60, 200};
const Colour START{90, 200, 90};
const Colour WON{200, 90, 200};
const Colour LOST{90, 90, 200};
}  // namespace colours

// Picture sizes: a ghost is smaller than a dot, so a dot under a ghost shows round it, and
// the Gulper is smaller than the fruit.
constexpr int GULPER_SIZE = 12;
constexpr int GHOST_SIZE = 6;
constexpr int DOT_SIZE = 10;
constexpr int PILL_SIZE = 14;
constexpr int FRUIT_SIZE = 16;
constexpr int FULL_WIDTH = 100;
constexpr int FULL_HEIGHT = 40;

inline Bytes SolidTarga(int width, int height, const Colour& c) {
    TargaSpec spec;
    spec.width = width;
    spec.height = height;
    for (int i = 0; i < width * height; ++i) {
        spec.data.push_back(static_cast<uint8_t>(c[2]));
        spec.data.push_back(static_cast<uint8_t>(c[1]));
        spec.data.push_back(static_cast<uint8_t>(c[0]));
    }
    return Targa(spec);
}

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "gulper-window-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::filesystem::create_directory(folder / "data");
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        WritePictures();
        WriteSettings();

        ResetGameState();
        player = new ScriptedPlayer();
        SetPlayerAgent(player);
        window = new GameWindow();
        // The offscreen driver's drawing surface keeps the size the window opened with.
        window->SetSize(380, 460);
        ASSERT_TRUE(window->extra->Create());
        DrainMessages();  // OnCreate, then the first paint
        ASSERT_EQ(window->GetWidth(), 380);
        ASSERT_EQ(window->GetHeight(), 460);
    }

    void TearDown() override {
        delete window;
        SetPlayerAgent(nullptr);
        delete player;
        std::filesystem::current_path(previousFolder);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // The settings file the window reads when it is created; none by default.
    virtual void WriteSettings() {}

    void WritePicture(const std::string& name, int width, int height, const Colour& c) {
        WriteFile("data/" + name, SolidTarga(width, height, c));
    }

    void WriteFile(const std::string& name, const Bytes& bytes) {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    void WritePictures() {
        using namespace colours;
        WritePicture("gulperleft.tga", GULPER_SIZE, GULPER_SIZE, GULPER_LEFT);
        WritePicture("gulperright.tga", GULPER_SIZE, GULPER_SIZE, GULPER_RIGHT);
        WritePicture("gulperup.tga", GULPER_SIZE, GULPER_SIZE, GULPER_UP);
        WritePicture("gulperdown.tga", GULPER_SIZE, GULPER_SIZE, GULPER_DOWN);
        WritePicture("redghostleft.tga", GHOST_SIZE, GHOST_SIZE, RED_LEFT);
        WritePicture("redghostup.tga", GHOST_SIZE, GHOST_SIZE, RED_UP);
        WritePicture("redghostright.tga", GHOST_SIZE, GHOST_SIZE, RED_RIGHT);
        WritePicture("redghostdown.tga", GHOST_SIZE, GHOST_SIZE, RED_DOWN);
        for (const char* dir : {"left", "up", "right", "down"}) {
            WritePicture(std::string("greenghost") + dir + ".tga", GHOST_SIZE, GHOST_SIZE, GREEN);
            WritePicture(std::string("orangeghost") + dir + ".tga", GHOST_SIZE, GHOST_SIZE, ORANGE);
            WritePicture(std::string("turquoiseghost") + dir + ".tga", GHOST_SIZE, GHOST_SIZE,
                         TURQUOISE);
        }
        WritePicture("blueghostleft.tga", GHOST_SIZE, GHOST_SIZE, BLUE_LEFT);
        WritePicture("blueghostup.tga", GHOST_SIZE, GHOST_SIZE, BLUE_UP);
        WritePicture("blueghostright.tga", GHOST_SIZE, GHOST_SIZE, BLUE_RIGHT);
        WritePicture("blueghostdown.tga", GHOST_SIZE, GHOST_SIZE, BLUE_DOWN);
        WritePicture("dot.tga", DOT_SIZE, DOT_SIZE, DOT);
        WritePicture("powerpill.tga", PILL_SIZE, PILL_SIZE, PILL);
        WritePicture("fruit.tga", FRUIT_SIZE, FRUIT_SIZE, FRUIT);
        WritePicture("start.tga", FULL_WIDTH, FULL_HEIGHT, START);
        WritePicture("win.tga", FULL_WIDTH, FULL_HEIGHT, WON);
        WritePicture("lose.tga", FULL_WIDTH, FULL_HEIGHT, LOST);
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

    // Draws one frame and reads it back.
    void Frame() {
        window->OnDisplay();
        frame.assign(380 * 460 * 4, 0);
        glReadPixels(0, 0, 380, 460, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
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

    // Every sprite off the board's corridors, so a test places only what it looks at.
    void ParkEverything() {
        for (Ghost* ghost : {redGhost, greenGhost, orangeGhost, turquoiseGhost}) {
            if (ghost != nullptr) {
                ghost->position = GridPoint(-100, -100);
            }
        }
        player->position = GridPoint(-100, -100);
    }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    ScriptedPlayer* player = nullptr;
    GameWindow* window = nullptr;
    std::vector<uint8_t> frame;
};

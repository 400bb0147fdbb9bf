// The window's frame against the board as first drawn (tests/game/reference_frame.cpp), pixel
// for pixel, with the game's own pictures: a table of board states, then a minute of play.

#include <stdlib.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "framework/GlyphText.h"
#include "framework/platform/platform.h"
#include "game/game_state.h"
#include "game/game_window.h"
#include "game/ghosts/ghost.h"
#include "tests/game/reference_frame.h"

namespace {

constexpr int WIDTH = 380;
constexpr int HEIGHT = 460;

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

uint64_t Hash(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (uint8_t b : bytes) {
        h = (h ^ b) * 1099511628211ull;
    }
    return h;
}

class FrameIdentity : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "gulper-frames-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::filesystem::copy(std::filesystem::path(GULPER_SOURCE_DIR) / "data", folder / "data");
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        SetAgentLog(&nullLog);

        ResetGameState();
        agentHolder = std::make_unique<PlayerAgent>();  // its pictures come from data/ here
        SetPlayerAgent(agentHolder.get());
        window = new GameWindow();
        window->SetSize(WIDTH, HEIGHT);
        ASSERT_TRUE(window->extra->Create());
        platform::Message message;
        while (platform::PeekMessage(&message) && message.message != platform::WM_QUIT) {
            platform::DispatchMessage(message);
        }
        window->keyboardControl = false;
    }

    void TearDown() override {
        delete window;
        SetPlayerAgent(nullptr);
        agentHolder.reset();
        SetAgentLog(nullptr);
        std::filesystem::current_path(previousFolder);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::vector<uint8_t> ReadFrame() {
        std::vector<uint8_t> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 4);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Draws the state both ways and compares; returns the frame's hash.
    uint64_t CompareFrame(const std::string& name) {
        DrawReferenceFrame(*window);
        window->SwapBuffers();
        const std::vector<uint8_t> expected = ReadFrame();
        window->OnDisplay();
        const std::vector<uint8_t> drawn = ReadFrame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
        if (drawn != expected) {
            int differing = 0;
            int first = -1;
            for (size_t i = 0; i < drawn.size(); i += 4) {
                if (std::memcmp(&drawn[i], &expected[i], 4) != 0) {
                    first = first < 0 ? static_cast<int>(i / 4) : first;
                    ++differing;
                }
            }
            ADD_FAILURE() << name << ": " << differing << " pixels differ, the first at window ("
                          << first % WIDTH << ", " << first / WIDTH << ")";
        }
        return Hash(expected);
    }

    NullBuffer nullBuffer;
    std::ostream nullLog{&nullBuffer};
    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<PlayerAgent> agentHolder;
    GameWindow* window = nullptr;
};

struct Place {
    const char* name;
    int x, y;
};

// Board points (pixels, y up from the board's bottom; the window shows x 0..379, y -20..439).
// A 20-pixel sprite's corner is 10 left of and 10 below its point; a picture whose corner is
// outside the window is not drawn at all, one whose corner is inside is drawn whole.
const Place PLACES[] = {
    {"start", 190, 190},
    {"tunnel left mouth", 10, 230},
    {"corner just off left", 9, 230},
    {"far off left", -5, 230},
    {"tunnel right mouth", 370, 230},
    {"half off right", 375, 230},
    {"one column left on the right", 389, 230},
    {"corner on the right edge", 390, 230},
    {"corner just off right", 391, 230},
    {"top row", 190, 430},
    {"one row left at the top", 190, 449},
    {"corner on the top edge", 190, 450},
    {"bottom row", 30, 10},
    {"in the text strip", 60, -5},
    {"corner on the window's bottom", 60, -10},
    {"corner just below the window", 60, -11},
    {"between cells", 97, 130},
    {"over the score", 20, -12},
};

TEST_F(FrameIdentity, BoardStatesMatchTheFirstDrawing) {
    std::set<uint64_t> distinct;
    int states = 0;
    auto check = [&](const std::string& name) {
        distinct.insert(CompareFrame(name));
        ++states;
    };
    PlayerAgent& agent = *agentHolder;
    ASSERT_TRUE(agent.imageLeft.IsValid());
    Ghost* ghosts[] = {redGhost, greenGhost, orangeGhost, turquoiseGhost};
    for (Ghost* g : ghosts) {
        ASSERT_NE(g, nullptr);
    }

    // The three full pictures over a fresh board.
    window->startScreen = true;
    check("start picture");
    window->startScreen = false;
    gameWon = true;
    check("won picture");
    gameWon = false;
    window->playerCaught = true;
    check("lost picture");
    window->playerCaught = false;
    check("fresh board");

    // Every sprite at every place, in each direction, blue and not.
    const int32_t directions[] = {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN};
    int turn = 0;
    for (const Place& place : PLACES) {
        agent.position = GridPoint(place.x, place.y);
        agent.direction = directions[turn % 4];
        for (int i = 0; i < 4; ++i) {
            ghosts[i]->position = GridPoint(place.x + 7 * (i - 1), place.y + 3 * (i % 2));
            ghosts[i]->direction = directions[(turn + i) % 4];
            ghosts[i]->SetBlue(i == turn % 4);
        }
        check(std::string(place.name) + ", one ghost blue");
        for (Ghost* g : ghosts) {
            g->position = GridPoint(place.x, place.y);  // all on one spot
            g->SetBlue(turn % 2 == 0);
        }
        check(std::string(place.name) + ", all on one spot");
        for (Ghost* g : ghosts) {
            g->position = GridPoint(-100, -100);
        }
        check(std::string(place.name) + ", the Gulper alone");
        ++turn;
    }

    // Fruit, food partly eaten, scores and food counts of several widths, sprites standing
    // still (no direction), a missing ghost.
    agent.position = PLAYER_START;
    const int32_t scores[] = {0, 7, 10, 990, 12345, 2147483647, -250};
    for (int i = 0; i < 24; ++i) {
        fruitVisible = i % 3 != 0;
        for (int k = 0; k < 9; ++k) {
            int32_t& code = MazeGrid[(i * 53 + k * 97) % BOARD_CELLS];
            if (code == CELL_DOT || code == CELL_PILL) {
                code = CELL_EMPTY;
                --foodLeft;
            }
        }
        const int32_t base = scores[i % 7];
        agent.score = base > 1000000 ? base - i / 7 : base + (i / 7) * 1000;  // no overflow
        agent.direction = i % 5 == 4 ? 0 : directions[i % 4];
        for (int g = 0; g < 4; ++g) {
            ghosts[g]->position = CellCentre(4 + 3 * g, (i * 5 + g * 3) % BOARD_ROWS);
            ghosts[g]->direction = i % 6 == 5 ? 0 : directions[(i + g) % 4];
            ghosts[g]->SetBlue((i + g) % 4 == 0);
        }
        check("fruit and food, round " + std::to_string(i));
    }
    // Pictures changed in place and pictures of other layouts: alpha of their own (written
    // whatever the alpha), blue first, grey (drawn by Image::Draw in its turn).
    agent.direction = DIR_LEFT;
    agent.imageLeft.Row(7)[0] = 255;
    agent.imageLeft.Row(7)[4] = 17;
    check("a Gulper picture changed in place");
    ASSERT_TRUE(dotImage.ConvertTo(PIXEL_RGBA));
    for (int y = 0; y < dotImage.GetHeight(); ++y) {
        for (int x = 0; x < dotImage.GetWidth(); ++x) {
            dotImage.Row(y)[x * 4 + 3] = (x + y) % 3 == 0 ? 0 : 128;
        }
    }
    check("dots with alpha");
    ASSERT_TRUE(powerPillImage.ConvertTo(PIXEL_BGRA));
    check("pills blue first with alpha");
    ASSERT_TRUE(window->fruitImage.ConvertTo(PIXEL_LUMINANCE));
    fruitVisible = true;
    check("grey fruit among batched pictures");
    for (int32_t& code : MazeGrid) {
        if (code == CELL_DOT || code == CELL_PILL) {
            code = CELL_EMPTY;
        }
    }
    foodLeft = 0;
    check("no food left");
    delete turquoiseGhost;
    turquoiseGhost = nullptr;
    check("turquoise left out");

    EXPECT_GE(states, 80);
    // The table shows different things; a frame read back unchanged would show here.
    EXPECT_GE(distinct.size(), 60u);
}

// Every character the glyph lists hold, on lines placed on whole and fractional points,
// in two colours: the same pixels as the window's Printf, and the raster position left where
// Printf leaves it.
TEST_F(FrameIdentity, GlyphTextMatchesPrintfForEveryCharacter) {
    std::string all;
    for (int code = 1; code < 256; ++code) {
        all += static_cast<char>(code);  // 255 has no list and is left out by both
    }
    const struct {
        double x, y;
        double red;
        const char* text;
    } lines[] = {
        {5, -15, 1.0, "Score: 0123456789"},     {0, 400, 0.5, all.c_str() + 31},
        {2.5, 300.25, 1.0, all.c_str() + 95},   {-3, 200, 1.0, "off the view: nothing"},
        {370, 100, 0.75, "runs off the right"}, {10, 150, 1.0, all.c_str()},
    };
    GlyphText glyphs;
    for (const auto& line : lines) {
        SCOPED_TRACE(line.text);
        GLfloat expectedPosition[4];
        GLfloat position[4];
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3d(line.red, 1, 0.5);
        glRasterPos2d(line.x, line.y);
        window->Printf("%s", line.text);
        glGetFloatv(GL_CURRENT_RASTER_POSITION, expectedPosition);
        const std::vector<uint8_t> expected = ReadFrame();
        glClear(GL_COLOR_BUFFER_BIT);
        glRasterPos2d(line.x, line.y);
        ASSERT_TRUE(glyphs.Print(*window, line.text));
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        const std::vector<uint8_t> drawn = ReadFrame();
        EXPECT_TRUE(drawn == expected);
        const bool lit = std::any_of(expected.begin(), expected.end(), [](uint8_t b) {
            return b != 0 && b != 255;  // alpha reads 255 everywhere
        });
        EXPECT_EQ(lit, line.x >= 0);
        EXPECT_EQ(position[0], expectedPosition[0]);
        EXPECT_EQ(position[1], expectedPosition[1]);
    }
}

// A minute of play at the shipped settings (fps 20: about 40 ticks, each one frame, a second),
// and the pictures between games.
TEST_F(FrameIdentity, AMinuteOfPlayMatchesFrameByFrame) {
    std::set<uint64_t> distinct;
    int frames = 0;
    window->startScreen = false;
    for (int tick = 0; tick < 2400 && !HasFailure(); ++tick) {
        if (gameWon || window->playerCaught) {
            distinct.insert(CompareFrame("end of a game at tick " + std::to_string(tick)));
            window->NewGame();
            window->startScreen = false;
        }
        window->Tick();
        distinct.insert(CompareFrame("tick " + std::to_string(tick)));
        ++frames;
    }
    EXPECT_EQ(frames, 2400);
    EXPECT_GT(distinct.size(), 600u);
}

}  // namespace

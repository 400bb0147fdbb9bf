// The Python module's frame against the game window's own: the same seed's game, driven once
// by a session a decision at a time and once by a game window ticking it, drawn the same.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "episode/episode.h"
#include "episode/session.h"
#include "game/game_state.h"
#include "game/game_window.h"
#include "game/settings.h"
#include "players/registry.h"
#include "render/frame_renderer.h"

using namespace gulper;

namespace {

using Frame = std::vector<uint8_t>;

std::string ShippedSettings() {
    std::string text, why;
    EXPECT_TRUE(ReadNamedSettings(SETTINGS_FILE, &text, &why)) << why;
    return text;
}

// The game window's frame, top row first, as the module hands it over.
Frame WindowFrame(GameWindow& window) {
    window.OnDisplay();
    const size_t row = static_cast<size_t>(WINDOW_WIDTH) * 3;
    Frame bottomUp(row * WINDOW_HEIGHT), frame(row * WINDOW_HEIGHT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    for (size_t y = 0; y < WINDOW_HEIGHT; ++y) {
        std::copy_n(bottomUp.data() + (WINDOW_HEIGHT - 1 - y) * row, row, frame.data() + y * row);
    }
    return frame;
}

size_t LitPixels(const Frame& frame) {
    size_t lit = 0;
    for (size_t i = 0; i < frame.size(); i += 3) {
        lit += frame[i] != 0 || frame[i + 1] != 0 || frame[i + 2] != 0;
    }
    return lit;
}

// Frames of seed 3 as the session draws them, at these decisions and at the game's end.
std::vector<std::pair<int64_t, Frame>> SessionFrames(const std::string& settings,
                                                     const std::vector<int>& decisions) {
    std::vector<std::pair<int64_t, Frame>> frames;
    GameSettings game;
    game.configText = settings;
    Session session(game, false);
    std::unique_ptr<Player> agent = NewPlayer(*FindAgent(DEFAULT_AGENT));
    session.SetDelegate(agent.get());
    session.Reset(3);
    std::string why;
    for (size_t next = 0; next <= decisions.size();) {
        const bool atEnd = session.Ended();
        if (atEnd || (next < decisions.size() && session.Decisions() == decisions[next])) {
            Frame frame;
            EXPECT_TRUE(DrawSessionFrame(session, &frame, &why)) << why;
            frames.emplace_back(session.Ticks(), std::move(frame));
            if (atEnd) {
                break;
            }
            ++next;
        }
        session.Step(ACTION_KEEP);
    }
    CloseFrameRenderer();
    return frames;
}

TEST(RenderFrame, IsTheGameWindowsFrameOfTheSameGame) {
    const std::string settings = ShippedSettings();
    const auto frames = SessionFrames(settings, {0, 40, 150, 400});
    ASSERT_EQ(frames.size(), 5u);  // the four decisions and the end

    ResetGameState();
    std::unique_ptr<PlayerSprite> agent = FindAgent(DEFAULT_AGENT)->make();
    SetPlayerAgent(agent.get());
    auto window = std::make_unique<GameWindow>();
    window->SetSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    ASSERT_TRUE(window->extra->Create());
    for (platform::Message m; platform::PeekMessage(&m) && m.message != platform::WM_QUIT;) {
        platform::DispatchMessage(m);
    }
    // The window built the settings' game; it plays the seed's, as the simulator starts it.
    window->DestroyGhosts();
    StartSeededGame(*window, agent.get(), settings, 3);
    // Space leaves the start screen; the game's ticks then follow one another.
    window->OnKeyboard(KEY_SPACE, true);
    window->OnIdle();
    ASSERT_FALSE(window->startScreen);
    int64_t ticks = 0;
    for (const auto& [at, frame] : frames) {
        for (; ticks < at; ++ticks) {
            window->Tick();
        }
        const Frame shown = WindowFrame(*window);
        ASSERT_EQ(shown.size(), frame.size());
        EXPECT_TRUE(shown == frame) << "the frames part at tick " << at;
        EXPECT_GT(LitPixels(frame), 2000u) << "a board is drawn at tick " << at;
    }
    EXPECT_TRUE(gameWon || window->playerCaught) << "the last frame is of the game's end";
    window.reset();
    SetPlayerAgent(nullptr);
}

TEST(RenderFrame, LeavesTheGameAsItWas) {
    // Drawing reads the game and changes nothing in it: the game's moves and score go on
    // exactly as they do with no frame drawn, window made and closed between them.
    const std::string settings = ShippedSettings();
    auto play = [&](bool draw) {
        GameSettings game;
        game.configText = settings;
        Session session(game, false);
        std::unique_ptr<Player> agent = NewPlayer(*FindAgent(DEFAULT_AGENT));
        session.SetDelegate(agent.get());
        session.Reset(5);
        std::vector<int64_t> trace;
        std::string why;
        for (int d = 0; d < 300 && !session.Ended(); ++d) {
            if (draw && d % 50 == 0) {
                Frame frame;
                EXPECT_TRUE(DrawSessionFrame(session, &frame, &why)) << why;
                if (d == 100) {
                    CloseFrameRenderer();
                }
            }
            const StepOutcome out = session.Step(ACTION_KEEP);
            trace.push_back(session.Ticks() * 1000 + out.reward);
            trace.push_back(session.Gulper().position.x * 1000 + session.Gulper().position.y);
        }
        CloseFrameRenderer();
        return trace;
    };
    const auto plain = play(false);
    EXPECT_EQ(play(true), plain);
    EXPECT_GT(plain.size(), 400u);
}

}  // namespace

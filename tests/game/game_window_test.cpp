// The window's game flow: the keys, the three idle branches and the frame timer's waits.
#include <gtest/gtest.h>

#include <vector>

#include "game/maze.h"
#include "tests/game/game_window_fixture.h"

namespace {

// A clock that moves only when the timer sleeps.
int64_t fakeNow = 0;
std::vector<int64_t> sleeps;
int64_t FakeClock() {
    return fakeNow;
}
void FakeSleep(int64_t ms) {
    sleeps.push_back(ms);
    fakeNow += ms;
}

class GameWindowFlow : public GameWindowTest {
  protected:
    void SetUp() override {
        GameWindowTest::SetUp();
        fakeNow = 10000;
        sleeps.clear();
        window->frameTimer = FrameTimer(FakeClock, FakeSleep);
    }

    void Press(int key) { window->OnKeyboard(key, true); }

    // The arrow flags and the space flag, in the order left, right, down, up, space.
    std::vector<bool> Flags() const {
        return {window->keyLeft, window->keyRight, window->keyDown, window->keyUp,
                window->spacePressed};
    }
};

class GameWindowWithAgent : public GameWindowFlow {
  protected:
    void WriteSettings() override {
        WriteFile("data/config.txt", {'c', 'o', 'n', 't', 'r', 'o', 'l', ' ', '1', '\n', 'f', 'p',
                                      's', ' ', '2', '0', '\n'});
    }
};

TEST_F(GameWindowFlow, EachPressNamesOneKeyAndClearsThePendingOnes) {
    Press(KEY_LEFT);
    EXPECT_EQ(Flags(), (std::vector<bool>{true, false, false, false, false}));
    Press(KEY_RIGHT);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, true, false, false, false}));
    window->OnKeyboard(KEY_RIGHT, false);  // releases change nothing
    window->OnKeyboard('A', false);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, true, false, false, false}));
    Press(KEY_DOWN);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, false, true, false, false}));
    Press(KEY_UP);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, false, false, true, false}));
    Press(KEY_SPACE);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, false, false, false, true}));
    Press(KEY_UP);
    EXPECT_EQ(Flags(), (std::vector<bool>{false, false, false, true, false}));
    Press('A');  // a letter cancels a pending arrow
    EXPECT_EQ(Flags(), (std::vector<bool>(5, false)));
    Press(KEY_SPACE);
    Press(KEY_F1 + 1);
    EXPECT_EQ(Flags(), (std::vector<bool>(5, false)));
}

TEST_F(GameWindowFlow, F1StartsANewGameFromPlay) {
    window->startScreen = false;
    player->AddScore(120);
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    foodLeft = 12;
    player->position = GridPoint(30, 30);
    Press(KEY_F1);
    EXPECT_TRUE(window->startScreen);
    EXPECT_EQ(player->Score(), 0);
    EXPECT_EQ(foodLeft, 157);
    EXPECT_EQ(MazeGrid[GridIndex(1, 1)], CELL_DOT);
    EXPECT_EQ(player->position, PLAYER_START);
    EXPECT_EQ(Flags(), (std::vector<bool>(5, false)));
}

TEST_F(GameWindowFlow, StartScreenRunsNoTickAndEndsAtTheIdleAfterSpace) {
    EXPECT_EQ(DrainMessages(), 0);
    const GridPoint start = player->position;
    window->OnIdle();
    EXPECT_TRUE(window->startScreen);
    EXPECT_EQ(player->position, start);
    EXPECT_GE(DrainMessages(), 1);  // the repaint it asked for
    EXPECT_EQ(sleeps, (std::vector<int64_t>{window->tickIntervalMs}));

    Press(KEY_SPACE);
    window->OnIdle();
    EXPECT_FALSE(window->startScreen);
    EXPECT_FALSE(window->spacePressed);
    EXPECT_EQ(player->position, start);  // the space's own idle call runs no tick either

    window->OnIdle();
    EXPECT_NE(player->position, start);
    EXPECT_GE(DrainMessages(), 1);
}

TEST_F(GameWindowFlow, WithoutSettingsTheKeysSteerAndTheAgentNeverThinks) {
    EXPECT_TRUE(window->keyboardControl);
    EXPECT_EQ(window->fps, 5);
    EXPECT_EQ(window->tickIntervalMs, 200);
    EXPECT_TRUE(redGhost && greenGhost && orangeGhost && turquoiseGhost);
    window->startScreen = false;
    for (int i = 0; i < 40 && !window->playerCaught && !gameWon; ++i) {
        window->OnIdle();
    }
    EXPECT_EQ(player->thinks, 0);
    EXPECT_NE(player->position, PLAYER_START);
}

TEST_F(GameWindowWithAgent, SettingsHandTheSteeringToTheAgentAtTheirPace) {
    EXPECT_FALSE(window->keyboardControl);
    EXPECT_EQ(window->tickIntervalMs, 50);
    window->startScreen = false;
    for (int i = 0; i < 10; ++i) {
        window->OnIdle();
    }
    EXPECT_GT(player->thinks, 0);
    // Quick ticks come in pairs: a full interval's sleep, then none.
    ASSERT_GE(sleeps.size(), 3u);
    EXPECT_EQ(sleeps[0], 50);
    EXPECT_EQ(sleeps[1], 50);
}

TEST_F(GameWindowFlow, GameOverWaitsFiveSecondsThenRefillsTheBoardUnderTheStartScreen) {
    for (bool won : {false, true}) {
        window->startScreen = false;
        window->playerCaught = !won;
        gameWon = won;
        MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
        foodLeft = 3;
        sleeps.clear();
        window->frameTimer = FrameTimer(FakeClock, FakeSleep);  // a fresh reading to wait from
        const int64_t before = fakeNow;
        window->OnIdle();
        EXPECT_EQ(sleeps.size(), 1u);
        EXPECT_EQ(fakeNow - before, 5000) << won;
        EXPECT_TRUE(window->startScreen);
        EXPECT_FALSE(window->playerCaught || gameWon);
        EXPECT_EQ(foodLeft, 157);
        EXPECT_EQ(MazeGrid[GridIndex(1, 1)], CELL_DOT);
        EXPECT_GE(DrainMessages(), 1);
    }
}

TEST_F(GameWindowFlow, SpacePressedDuringTheGameOverWaitEndsTheNextStartScreenAtOnce) {
    window->startScreen = false;
    window->playerCaught = true;
    Press(KEY_SPACE);
    window->OnIdle();  // the wait, then the start screen again
    ASSERT_TRUE(window->startScreen);
    window->OnIdle();
    EXPECT_FALSE(window->startScreen);
}

}  // namespace

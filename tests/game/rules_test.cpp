// The settings file, the new-game reset, the tick and whole games without a window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/game/board_state.h"

namespace {

// Every setting: control by keys, blue and release ticks, ghosts on, attack and scatter lengths,
// pill slow-down, ghost, pill, dot values, fruit delay and value, fps, ghost slow-downs.
std::string Settings(const GameRules& r) {
    std::ostringstream s;
    const bool* on = r.ghostEnabled;
    s << r.keyboardControl << " " << n_moves_blue_ghosts << " " << n_moves_ghost_appears << " "
      << on[0] << on[1] << on[2] << on[3];
    s << " " << length_attack_mode << " " << length_scatter_mode << " " << powerpill_slowdown_factor
      << " " << ghost_value << " " << powerpill_value << " " << dot_value << " " << r.fruitDelay
      << " " << fruit_value << " " << r.fps << " " << r.ghostSlowDown[0] << r.ghostSlowDown[1]
      << r.ghostSlowDown[2] << r.ghostSlowDown[3];
    return s.str();
}

TEST_F(BoardState, SettingsFileIsReadKeyByKeyClampedAndStopsAtTheFirstBadValue) {
    const std::string defaults = "1 25 10 1111 1500 250 2 250 100 10 100 100 5 1111";
    const std::pair<std::string, std::string> rows[] = {
        {"", defaults},
        {"control 7 fps 50 fps -3 dot_value 0",
         "0 25 10 1111 1500 250 2 250 100 1 100 100 20 1111"},
        {"control 1 control -1 red_ghost 2 green_ghost 0 orange_ghost 1 turquoise_ghost 3",
         "0 25 10 0010 1500 250 2 250 100 10 100 100 5 1111"},
        {"n_moves_ghost_appears 20 n_moves_blue_ghosts 5000 length_attack_mode 1 "
         "length_scatter_mode 99999 powerpill_slowdown_factor 0 ghost_value 9 powerpill_value "
         "501 n_moves_fruit_appears 1 fruit_value 1000 red_ghost_slow_down_factor 0 "
         "turquoise_ghost_slow_down_factor 9 fps 0",
         "1 1000 50 1111 100 10000 1 10 500 10 50 500 1 1115"},
        {"length_attack_mode 4000 length_scatter_mode 300 dot_value 7\nfps 3\ndot_value 12\nFps 9",
         "1 25 10 1111 4000 300 2 250 100 12 100 100 3 1111"},
        {"fps\n\n 8 green_ghost_slow_down_factor\t\t3\r\norange_ghost_slow_down_factor 4 "
         "ghost_value abc fruit_value 300",
         "1 25 10 1111 1500 250 2 250 100 10 100 100 8 1341"},
        {"dot_value 12fps 7 fruit_value +300", "1 25 10 1111 1500 250 2 250 100 12 100 300 7 1111"},
        {"dot_value 3 fps 2147483648 ghost_value 20",
         "1 25 10 1111 1500 250 2 250 100 3 100 100 5 1111"},
        {"fps=3 fps 9 dot_value", defaults},  // one unknown key whose value is no number
        {"fps 2147483647 dot_value -2147483648 ghost_value 20",
         "1 25 10 1111 1500 250 2 20 100 10 100 100 20 1111"},
    };
    const std::string file = testing::TempDir() + "gulper-settings-" + std::to_string(getpid());
    for (const auto& [text, expected] : rows) {
        std::ofstream(file, std::ios::binary) << text;
        EXPECT_TRUE(rules.LoadConfigFrom(file.c_str()));
        EXPECT_EQ(Settings(rules), expected) << text.substr(0, 80);
    }
    std::remove(file.c_str());
    EXPECT_FALSE(rules.LoadConfigFrom(file.c_str()));
    EXPECT_EQ(Settings(rules), defaults);
}

// A run reads the same text before every game: each reading must leave what a first reading
// of that text leaves, whatever the game before changed and whatever text came between.
TEST_F(BoardState, TheSameSettingsTextReadAgainGivesTheSameSettings) {
    const std::string texts[] = {
        "",
        "fps 20 control 1 red_ghost 0 n_moves_blue_ghosts 40 dot_value 0",
        "length_attack_mode 4000 length_scatter_mode 300 fps 3 ghost_value abc fruit_value 300",
    };
    std::string expected[3];
    int32_t countdowns[3][2];
    for (int i = 0; i < 3; ++i) {
        GameRules fresh;
        ApplyDefaultSettings(fresh);
        std::istringstream in(texts[i]);
        ReadSettings(in, fresh);
        expected[i] = Settings(fresh);
        countdowns[i][0] = scatterCountdown;
        countdowns[i][1] = attackCountdown;
    }
    for (int i : {0, 1, 1, 2, 1, 0, 0, 2, 2}) {
        // What a game leaves behind.
        rules.fps = 99;
        rules.keyboardControl = !rules.keyboardControl;
        rules.ghostEnabled[GHOST_RED] = !rules.ghostEnabled[GHOST_RED];
        n_moves_blue_ghosts = dot_value = 0;
        scatterCountdown = attackCountdown = -7;
        rules.LoadConfigText(texts[i]);
        EXPECT_EQ(Settings(rules), expected[i]) << texts[i];
        EXPECT_EQ(scatterCountdown, countdowns[i][0]) << texts[i];
        EXPECT_EQ(attackCountdown, countdowns[i][1]) << texts[i];
    }
}

TEST_F(BoardState, NewGameStartsFreshWhateverThePreviousGameLeft) {
    rules.ghostSlowDown[GHOST_GREEN] = 3;
    player.AddScore(120);
    player.position = CellCentre(1, 1);
    player.direction = DIR_UP;
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    foodLeft = 12;
    fruitVisible = gameWon = rules.playerCaught = true;
    SetAttackMode(true);
    rules.fruitCountdown = scatterCountdown = 7;
    for (Ghost* g : ghosts) {
        g->position = CellCentre(1, 20);
        g->direction = DIR_LEFT;
        g->SetBlue(true);
        g->SetReleased(false);
        g->SetSlowDown(5);
    }
    rules.NewGame();
    EXPECT_EQ(player.Score(), 0);
    EXPECT_TRUE(player.position == PLAYER_START && player.direction == DIR_LEFT);
    EXPECT_TRUE(MazeGrid == INITIAL_MAZE && foodLeft == 157);
    EXPECT_FALSE(fruitVisible || gameWon || rules.playerCaught || !IsScatterMode());
    EXPECT_EQ(scatterCountdown, 30);
    EXPECT_EQ(rules.fruitCountdown, rules.fruitDelay);
    EXPECT_TRUE(rules.startScreen);
    for (int i = 0; i < 4; ++i) {
        const Ghost& g = *ghosts[i];
        EXPECT_TRUE(g.position == HOUSE_START && g.direction == DIR_UP && g.IsReleased()) << i;
        EXPECT_FALSE(g.IsBlue()) << i;
        EXPECT_EQ(g.slowDown, i == GHOST_GREEN ? 3 : 1);
    }
}

TEST_F(BoardState, OnlyTheEnabledGhostsAreMadeInTheHouseFreeToLeaveAndNotBlue) {
    rules.DestroyGhosts();
    EXPECT_TRUE(!redGhost && !greenGhost && !orangeGhost && !turquoiseGhost);
    rules.ghostEnabled[GHOST_GREEN] = rules.ghostEnabled[GHOST_TURQUOISE] = false;
    rules.CreateGhosts();
    ASSERT_TRUE(redGhost && !greenGhost && orangeGhost && !turquoiseGhost);
    EXPECT_EQ(redGhost->ghostId * 10 + orangeGhost->ghostId, 13);
    EXPECT_TRUE(orangeGhost->position == HOUSE_START && orangeGhost->IsReleased());
    EXPECT_FALSE(orangeGhost->IsBlue() || redGhost->IsBlue());
}

TEST_F(BoardState, ArrowsSteerInTheOrderUpDownLeftRightWhereOpen) {
    const int32_t all = DIR_LEFT | DIR_UP | DIR_RIGHT | DIR_DOWN;
    const struct {
        bool up, down, left, right;
        int32_t avail, expected;  // 0: the direction stays
    } rows[] = {{1, 1, 1, 1, all, DIR_UP},
                {1, 1, 1, 1, DIR_DOWN | DIR_RIGHT, DIR_DOWN},
                {0, 1, 1, 0, DIR_LEFT | DIR_RIGHT, DIR_LEFT},
                {0, 0, 1, 1, DIR_RIGHT | DIR_UP, DIR_RIGHT},
                {0, 0, 0, 1, DIR_RIGHT, DIR_RIGHT},
                {1, 0, 0, 0, DIR_LEFT | DIR_RIGHT, 0},
                {0, 0, 0, 0, all, 0}};
    for (const auto& row : rows) {
        rules.keyUp = row.up;
        rules.keyDown = row.down;
        rules.keyLeft = row.left;
        rules.keyRight = row.right;
        player.direction = 0;
        rules.SteerByKeys(row.avail);
        EXPECT_EQ(player.direction, row.expected) << &row - rows;
    }
}

TEST_F(BoardState, FruitComesAfterTheDelayAndIsEatenOnlyOnItsPoint) {
    Start(1, false);
    rules.fruitDelay = rules.fruitCountdown = 50;
    player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };  // on the fruit's point
    Tick(49);
    EXPECT_FALSE(fruitVisible);
    Tick();
    EXPECT_TRUE(fruitVisible && player.Score() == 0);  // not eaten in the tick it comes out
    Tick();
    EXPECT_TRUE(!fruitVisible && player.Score() == fruit_value);
    Tick(50);
    player.position = GridPoint(191, 190);
    Tick();
    EXPECT_TRUE(fruitVisible && player.Score() == fruit_value);
}

TEST_F(BoardState, ModesAlternateFirstThirtyThenAttackThenScatter) {
    Start(3, false);
    length_attack_mode = 100;
    length_scatter_mode = 120;
    player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    std::string lengths;
    for (int i = 0, run = 1; i < 30 + 100 + 120 + 100 + 1; ++i, ++run) {
        const bool scatter = IsScatterMode();
        Tick();
        if (IsScatterMode() != scatter) {
            lengths += std::to_string(run) + " ";
            run = 0;
        }
    }
    EXPECT_EQ(lengths, "30 100 120 100 ");
}

TEST_F(BoardState, PillTurnsEveryGhostBlueAndSlowUntilItsTimeRunsOut) {
    n_moves_blue_ghosts = 40;
    powerpill_slowdown_factor = 3;
    rules.ghostSlowDown[GHOST_ORANGE] = 2;  // each gets its own pace back
    player.position = CellCentre(1, 5);     // a pill, far from the ghosts
    player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    ShutInTheHouse(greenGhost);  // a waiting ghost turns blue all the same
    Tick();
    EXPECT_EQ(player.Score(), powerpill_value);
    for (Ghost* g : ghosts) {
        EXPECT_TRUE(g->IsBlue() && g->slowDown == 3);
    }
    Tick(38);
    EXPECT_TRUE(redGhost->IsBlue());
    Tick();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(ghosts[i]->IsBlue());
        EXPECT_EQ(ghosts[i]->slowDown, i == GHOST_ORANGE ? 2 : 1);
    }
}

TEST_F(BoardState, ReleasedGhostsWithinFifteenPixelsCatchOrAreEatenEvenInTheWinningTick) {
    const struct {
        int dx, dy;
        bool blue, released, caught, eaten;
    } rows[] = {
        {9, 12, false, true, false, false}, {10, 11, false, true, true, false},
        {0, 0, false, false, false, false}, {0, 0, true, false, false, false},
        {-10, 11, true, true, false, true}, {-9, -12, true, true, false, false},
    };
    player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    ShutInTheHouse(redGhost);
    redGhost->SetSlowDown(1000);  // it stays where it is put
    for (const auto& row : rows) {
        rules.playerCaught = false;
        player.score = 0;
        redGhost->SetBlue(row.blue);
        redGhost->SetReleased(row.released);
        redGhost->SetReleaseCountdown(1000);
        redGhost->position = GridPoint(player.position.x + row.dx, player.position.y + row.dy);
        Tick();
        EXPECT_EQ(rules.playerCaught, row.caught) << &row - rows;
        EXPECT_EQ(player.Score(), row.eaten ? ghost_value : 0) << &row - rows;
        EXPECT_EQ(redGhost->IsReleased(), row.released && !row.eaten);
        if (row.eaten) {  // back in the house, blue still, for the release time
            EXPECT_TRUE(redGhost->position == HOUSE_START && redGhost->IsBlue());
            EXPECT_EQ(redGhost->releaseCountdown, n_moves_ghost_appears);
        }
    }
    // Two in one tick with the last food: the blue one is eaten, the other catches, the game is
    // won all the same.
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;
    foodLeft = 1;
    redGhost->SetReleased(true);
    greenGhost->SetReleased(true);
    greenGhost->SetSlowDown(1000);
    redGhost->position = greenGhost->position = player.position;
    Tick();
    EXPECT_EQ(player.Score(), ghost_value + dot_value);
    EXPECT_TRUE(rules.playerCaught && gameWon);
}

// Every sprite's position at every tick of a long game, folded into one number: a change to a
// move rule, or to the order or number of random draws, changes it.
TEST_F(BoardState, RecordedGameStaysTheSame) {
    Start(2024, true);
    player.script = EatNearestFood;
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int32_t v) { h = (h ^ static_cast<uint32_t>(v)) * 1099511628211ull; };
    for (int t = 0; t < 5000 && !gameWon && !rules.playerCaught; ++t) {
        Tick();
        for (const Ghost* g : ghosts) {
            mix(g->position.x);
            mix(g->position.y);
        }
        mix(player.position.x);
        mix(player.position.y);
    }
    mix(player.Score());
    EXPECT_EQ(h, 8422758101875609620u);
}

}  // namespace

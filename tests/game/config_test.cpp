#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "game/game_rules.h"
#include "game/game_state.h"

namespace fs = std::filesystem;

namespace {

class ConfigTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        dir = fs::temp_directory_path() /
              ("gulper-config-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes the text as a settings file and loads it.
    bool Load(const std::string& text) {
        const fs::path file = dir / "config.txt";
        std::ofstream(file, std::ios::binary) << text;
        return rules.LoadConfigFrom(file.c_str());
    }

    void ExpectDefaults() {
        EXPECT_TRUE(rules.keyboardControl);
        EXPECT_EQ(n_moves_blue_ghosts, 25);
        EXPECT_EQ(n_moves_ghost_appears, 10);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(rules.ghostEnabled[i]);
            EXPECT_EQ(rules.ghostSlowDown[i], 1);
        }
        EXPECT_EQ(length_attack_mode, 1500);
        EXPECT_EQ(length_scatter_mode, 250);
        EXPECT_EQ(powerpill_slowdown_factor, 2);
        EXPECT_EQ(ghost_value, 250);
        EXPECT_EQ(powerpill_value, 100);
        EXPECT_EQ(dot_value, 10);
        EXPECT_EQ(rules.fruitDelay, 100);
        EXPECT_EQ(fruit_value, 100);
        EXPECT_EQ(rules.fps, 5);
        EXPECT_EQ(scatterCountdown, 250);
        EXPECT_EQ(attackCountdown, 1500);
    }

    fs::path dir;
    GameRules rules;
};

TEST_F(ConfigTest, EmptyOrMissingFileGivesTheDefaults) {
    EXPECT_TRUE(Load(""));
    ExpectDefaults();
    EXPECT_FALSE(rules.LoadConfigFrom((dir / "absent.txt").c_str()));
    ExpectDefaults();
}

TEST_F(ConfigTest, DefaultPathIsUnderTheWorkingDirectory) {
    const fs::path old = fs::current_path();
    fs::create_directories(dir / "data");
    std::ofstream(dir / "data" / "config.txt") << "fps 12\ncontrol 1\n";
    fs::current_path(dir);
    rules.LoadConfig();
    fs::current_path(old);
    EXPECT_EQ(rules.fps, 12);
    EXPECT_FALSE(rules.keyboardControl);
}

TEST_F(ConfigTest, ControlZeroIsKeyboardAnyPositiveIsTheAgent) {
    Load("control 0");
    EXPECT_TRUE(rules.keyboardControl);
    Load("control 1");
    EXPECT_FALSE(rules.keyboardControl);
    Load("control 7");
    EXPECT_FALSE(rules.keyboardControl);
    Load("control 1 control -1");
    EXPECT_FALSE(rules.keyboardControl);
}

TEST_F(ConfigTest, ValuesAreClampedAndNegativesSkipped) {
    Load("fps 50");
    EXPECT_EQ(rules.fps, 20);
    Load("fps 0");
    EXPECT_EQ(rules.fps, 1);
    Load("fps 9 fps -3 dot_value 3");
    EXPECT_EQ(rules.fps, 9);
    EXPECT_EQ(dot_value, 3);
    Load(
        "n_moves_ghost_appears 20 n_moves_blue_ghosts 5000 length_attack_mode 1 "
        "length_scatter_mode 99999 powerpill_slowdown_factor 0 ghost_value 9 "
        "powerpill_value 501 n_moves_fruit_appears 1 fruit_value 1000 "
        "red_ghost_slow_down_factor 0 turquoise_ghost_slow_down_factor 9");
    EXPECT_EQ(n_moves_ghost_appears, 50);
    EXPECT_EQ(n_moves_blue_ghosts, 1000);
    EXPECT_EQ(length_attack_mode, 100);
    EXPECT_EQ(length_scatter_mode, 10000);
    EXPECT_EQ(powerpill_slowdown_factor, 1);
    EXPECT_EQ(ghost_value, 10);
    EXPECT_EQ(powerpill_value, 500);
    EXPECT_EQ(rules.fruitDelay, 50);
    EXPECT_EQ(fruit_value, 500);
    EXPECT_EQ(rules.ghostSlowDown[GHOST_RED], 1);
    EXPECT_EQ(rules.ghostSlowDown[GHOST_TURQUOISE], 5);
    Load("");
    EXPECT_EQ(n_moves_ghost_appears, 10);
}

TEST_F(ConfigTest, GhostFlagsAreSetOnlyByOne) {
    Load("red_ghost 2 green_ghost 0 orange_ghost 1 turquoise_ghost 3");
    EXPECT_FALSE(rules.ghostEnabled[GHOST_RED]);
    EXPECT_FALSE(rules.ghostEnabled[GHOST_GREEN]);
    EXPECT_TRUE(rules.ghostEnabled[GHOST_ORANGE]);
    EXPECT_FALSE(rules.ghostEnabled[GHOST_TURQUOISE]);
    Load("red_ghost 0");
    EXPECT_FALSE(rules.ghostEnabled[GHOST_RED]);
}

TEST_F(ConfigTest, LastOccurrenceWinsAndKeysAreCaseSensitive) {
    Load("dot_value 7\nfps 3\ndot_value 12\nFps 10\n");
    EXPECT_EQ(dot_value, 12);
    EXPECT_EQ(rules.fps, 3);
}

TEST_F(ConfigTest, LineBreaksCarryNoMeaning) {
    Load("fps\n\n 8 dot_value\t\t4 green_ghost_slow_down_factor\r\n3\r\n");
    EXPECT_EQ(rules.fps, 8);
    EXPECT_EQ(dot_value, 4);
    EXPECT_EQ(rules.ghostSlowDown[GHOST_GREEN], 3);
}

TEST_F(ConfigTest, AWordAsAValueStopsTheReading) {
    Load("dot_value 5 ghost_value abc fruit_value 300");
    EXPECT_EQ(dot_value, 5);
    EXPECT_EQ(ghost_value, 250);
    EXPECT_EQ(fruit_value, 100);
    // "key=3" is one unknown key; the word after it is its value and ends the reading.
    Load("fps=3 fps 9");
    EXPECT_EQ(rules.fps, 5);
    // A lone sign is no integer either.
    Load("fps - 9");
    EXPECT_EQ(rules.fps, 5);
}

TEST_F(ConfigTest, ValueEndsAtTheFirstCharacterThatCannotContinueIt) {
    // "12fps" is 12 for dot_value, then "fps" is the next key.
    Load("dot_value 12fps 7");
    EXPECT_EQ(dot_value, 12);
    EXPECT_EQ(rules.fps, 7);
    Load("fps +6");
    EXPECT_EQ(rules.fps, 6);
}

TEST_F(ConfigTest, MissingFinalValueIsNotApplied) {
    Load("dot_value 3 fps");
    EXPECT_EQ(dot_value, 3);
    EXPECT_EQ(rules.fps, 5);
    Load("fps 10");
    EXPECT_EQ(rules.fps, 10);
}

TEST_F(ConfigTest, ValueBeyondThirtyTwoBitsStopsTheReading) {
    Load("dot_value 3 fps 2147483648 ghost_value 20");
    EXPECT_EQ(dot_value, 3);
    EXPECT_EQ(rules.fps, 5);
    EXPECT_EQ(ghost_value, 250);
    Load("fps 2147483647 dot_value -2147483648 ghost_value 20");
    EXPECT_EQ(rules.fps, 20);
    EXPECT_EQ(dot_value, 10);
    EXPECT_EQ(ghost_value, 20);
    Load("fps 99999999999999999999999999999 dot_value 3");
    EXPECT_EQ(rules.fps, 5);
    EXPECT_EQ(dot_value, 10);
}

TEST_F(ConfigTest, ArbitraryBytesEndInDefaultsPlusWhatParsedBeforeTheFirstBadToken) {
    std::mt19937 gen(12345);
    for (int round = 0; round < 200; ++round) {
        std::string noise(static_cast<size_t>(gen() % 4096), '\0');
        for (char& c : noise) {
            c = static_cast<char>(gen() & 0xFF);
        }
        Load("fps 7 dot_value 2 " + noise);
        EXPECT_GE(rules.fps, 1);
        EXPECT_LE(rules.fps, 20);
        EXPECT_GE(dot_value, 1);
        EXPECT_LE(dot_value, 50);
    }
    Load("fps 7 dot_value 2 \x01\x02\xff\xfe garbage fruit_value 400");
    EXPECT_EQ(rules.fps, 7);
    EXPECT_EQ(dot_value, 2);
    EXPECT_EQ(fruit_value, 100);
    // A token of a megabyte is one unknown key.
    Load(std::string(1 << 20, 'k') + " 5 fps 11");
    EXPECT_EQ(rules.fps, 11);
}

}  // namespace

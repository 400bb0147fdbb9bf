#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/random.h"

namespace {

struct Played {
    bool won = false;
    bool caught = false;
    int score = 0;
    std::string log;
};

// One headless game with the agent steering, as the game window would run it.
Played PlayGame(uint32_t seed, bool ghosts, int fruitDelay, int maxTicks) {
    ResetGameState();
    std::ostringstream log;
    SetAgentLog(&log);
    SeedRandom(seed);
    GameRules rules;
    PlayerAgent agent;
    SetPlayerAgent(&agent);
    rules.LoadConfigFrom("");
    rules.keyboardControl = false;
    rules.fruitDelay = fruitDelay;
    std::fill(std::begin(rules.ghostEnabled), std::end(rules.ghostEnabled), ghosts);
    rules.CreateGhosts();
    rules.NewGame();
    for (int ticks = 0; !gameWon && !rules.playerCaught && ticks < maxTicks; ++ticks) {
        rules.Tick();
    }
    const Played result{gameWon, rules.playerCaught, agent.Score(), log.str()};
    rules.DestroyGhosts();
    SetPlayerAgent(nullptr);
    SetAgentLog(nullptr);
    return result;
}

TEST(AgentGame, WithNoGhostsOnlyALateFruitLetsItClearTheBoard) {
    const Played late = PlayGame(1, false, 300, 100000);
    EXPECT_TRUE(late.won);
    EXPECT_GE(late.score, 153 * 10 + 4 * 100);
    // At the default delay the fruit comes back every 100 ticks and draws the agent home each
    // time: the board is never cleared. That is how the agent is meant to play.
    const Played early = PlayGame(1, false, 100, 30000);
    EXPECT_FALSE(early.won);
    EXPECT_GT(early.score, 30 * 100);
}

TEST(AgentGame, GamesWithGhostsEndAndLogOnlyTheKnownLines) {
    const std::regex known(
        "FEEDING!|Gulper at: \\(\\d+,\\d+\\)|Gulper at x:\\d+ y:\\d+|"
        "Nearest food dot at x:\\d+ y:\\d+|"
        "Constructing Path From GoalNode\\(\\d+,\\d+\\) To StartNode\\(\\d+,\\d+\\):|"
        "From \\(\\d+,\\d+\\) to \\{\\d+,\\d+\\): (RIGHT|LEFT|UP|DOWN)|"
        "Gulper is near the (Red|Orange|Green|Turquoise) Ghost - Distance is: "
        "(0|1|1\\.41421|2|2\\.23607|2\\.82843|3|3\\.16228|3\\.60555)|"
        "Giving them the slip: (RIGHT|LEFT|UP|DOWN)|"
        "There is no path to the nearest food position even though this should never happen|"
        "-{27}(FEEDING|FLEEING|HUNTING) STATE-{18}|-{23}GOING FOR FRUIT STATE-{14}");
    int ended = 0;
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        const Played game = PlayGame(seed, true, 100, 200000);
        ended += game.won || game.caught;
        std::istringstream lines(game.log);
        std::string line;
        int banners = 0;
        while (std::getline(lines, line)) {
            ASSERT_TRUE(std::regex_match(line, known)) << "seed " << seed << ": " << line;
            banners += line.find(" STATE-") != std::string::npos;
        }
        EXPECT_GT(banners, 10);
        EXPECT_EQ(game.log.back(), '\n');
    }
    EXPECT_EQ(ended, 5);
}

}  // namespace

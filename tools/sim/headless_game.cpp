#include "tools/sim/headless_game.h"

#include <iostream>
#include <streambuf>

#include "agent/agent_log.h"
#include "agent/player_agent.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/random.h"

namespace {

// Counts the decisions the agent makes.
class CountingAgent : public PlayerAgent {
  public:
    void Think() override {
        ++decisions;
        PlayerAgent::Think();
    }
    int64_t decisions = 0;
};

// Swallows the log when nobody reads it.
class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace

const char* OutcomeName(GameOutcome outcome) {
    switch (outcome) {
        case GameOutcome::WON:
            return "won";
        case GameOutcome::LOST:
            return "lost";
        default:
            return "unfinished";
    }
}

bool ConfigAsksForKeyboard(const std::string& configPath) {
    ResetGameState();
    GameRules rules;
    rules.LoadConfigFrom(configPath.c_str());
    return rules.keyboardControl;
}

GameResult PlayHeadlessGame(const SimSettings& settings, uint32_t seed, std::ostream* log) {
    NullBuffer nullBuffer;
    std::ostream nullLog(&nullBuffer);
    SetAgentLog(log != nullptr ? log : &nullLog);

    ResetGameState();
    GameResult result;
    result.seed = seed;
    {
        // Same order as the game: the window (its timer seeds the generator), the agent,
        // then the window's create handler.
        SeedRandom(seed);
        GameRules rules;
        CountingAgent agent;
        SetPlayerAgent(&agent);
        rules.LoadConfigFrom(settings.configPath.c_str());
        rules.keyboardControl = false;
        rules.CreateGhosts();
        rules.NewGame();
        while (!gameWon && !rules.playerCaught && result.ticks < settings.maxTicks) {
            rules.Tick();
            ++result.ticks;
        }
        result.outcome = gameWon              ? GameOutcome::WON
                         : rules.playerCaught ? GameOutcome::LOST
                                              : GameOutcome::UNFINISHED;
        result.score = agent.Score();
        result.foodLeft = foodLeft;
        result.decisions = agent.decisions;
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
    }
    SetAgentLog(nullptr);
    return result;
}

// Seeded headless games: how one starts, plays and ends, for the simulator and the viewer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "game/game_rules.h"
#include "game/grid_point.h"
#include "tools/agents/agent_registry.h"
#include "tools/exec/budgets.h"
#include "tools/sim/answer_times.h"
#include "tools/sim/game_record.h"

// How one headless game ended. An agent played from outside may forfeit a game.
enum class GameOutcome { WON, LOST, UNFINISHED, FORFEIT };

const char* OutcomeName(GameOutcome outcome);
// The outcome OutcomeName gives as `name`; false for any other word.
bool OutcomeNamed(const std::string& name, GameOutcome* outcome);

// Something an agent played from outside the process did wrong: at one decision, or at its
// start (decision -1). Kinds: "timeout", "invalid", "crash".
struct AgentFault {
    int64_t decision = -1;
    std::string kind;
    std::string detail;
};

struct GameResult {
    uint32_t seed = 0;
    GameOutcome outcome = GameOutcome::UNFINISHED;
    int32_t score = 0;
    int32_t foodLeft = 0;
    int64_t ticks = 0;
    int64_t decisions = 0;
    // For a lost game: the colour (GhostColour) of the ghost that caught the Gulper, the
    // Gulper's cell then, and the agent's state at its last decision. -1 otherwise.
    int caughtBy = -1;
    GridPoint caughtAt;
    std::string lastState;
    // An outside agent's faults in this game, in order (none for a built-in agent).
    std::vector<AgentFault> faults;
    // Whether an outside agent played it: only then do the outputs carry what follows.
    bool outside = false;
    // Why a forfeited game was given up.
    std::string forfeitReason;
    // Answers that came after their decision's time and were dropped.
    int64_t lateAnswers = 0;
    AnswerTimes answers;
};

// A game's faults of one kind.
int64_t FaultsOf(const GameResult& r, const std::string& kind);

struct SimSettings {
    // The settings file's name, as the summary gives it.
    std::string configPath;
    // Its bytes, read once before the games, so that every game plays from the same settings
    // even when the file was a pipe; empty means none (the defaults).
    std::string configText;
    // A game still running after this many ticks is stopped and counted unfinished.
    int64_t maxTicks = 100000;
    // The registered agent that steers.
    std::string agent = DEFAULT_AGENT;
    // What an agent played from outside may take.
    ExecBudgets budgets;
    // When set, each game is saved as a replay file in this folder (ReplayPath).
    std::string recordDir;
};

// Starts a game exactly as the game window would after its first start screen: seed, the
// agent as the player, settings (the agent always steers), ghosts, new game. The watcher
// and the simulator both start their games here, so they play the same game for a seed.
void StartSeededGame(GameRules& rules, PlayerSprite* agent, const std::string& configText,
                     uint32_t seed);

// After a tick that caught the Gulper: the colour of the first ghost (red, green, orange,
// turquoise) that is close enough and not blue, or -1.
int CatchingGhost();

// Plays one game from a fresh process state: StartSeededGame, then ticks until won, lost or
// the limit. Its log goes to `log`, or nowhere when null. The agent must be registered.
// Its decisions go to `record` when given.
GameResult PlayHeadlessGame(const SimSettings& settings, uint32_t seed, std::ostream* log,
                            GameRecord* record = nullptr);
// The same with the agent of `entry`, registered or not (settings.agent is not read).
GameResult PlayEntryGame(const AgentEntry& entry, const SimSettings& settings, uint32_t seed,
                         std::ostream* log, GameRecord* record);

// Whether the settings file's bytes ask for keyboard steering (which the simulator overrides).
bool ConfigAsksForKeyboard(const std::string& configText);

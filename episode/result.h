// How one seeded game ended, as every output and the worker frames carry it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "episode/answer_times.h"
#include "game/grid_point.h"

namespace gulper {

// How a game ended. An agent in another process may forfeit a game.
enum class GameOutcome { WON, LOST, UNFINISHED, FORFEIT };

const char* OutcomeName(GameOutcome outcome);
// The outcome OutcomeName gives as `name`; false for any other word.
bool OutcomeNamed(const std::string& name, GameOutcome* outcome);

// Something an agent in another process did wrong: at one decision, or at its start
// (decision -1). Kinds: "timeout", "invalid", "crash", "stray" (a line that answered nothing).
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
    // An exec agent's faults in this game, in order (none for a built-in agent).
    std::vector<AgentFault> faults;
    // Whether an agent in another process played it: only then do the outputs carry what
    // follows.
    bool exec = false;
    // Why a forfeited game was given up.
    std::string forfeitReason;
    // The name the program gave in its answer to hello; empty when it gave none.
    std::string execName;
    // Answers that came after their decision's time and were dropped.
    int64_t lateAnswers = 0;
    AnswerTimes answers;
};

// A game's faults of one kind.
int64_t FaultsOf(const GameResult& r, const std::string& kind);

}  // namespace gulper

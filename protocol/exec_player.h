// Agents in another process: `exec:COMMAND` names a program that plays the
// Gulper over the line protocol (docs/agent-protocol.md). One program serves a run of games
// (per worker process); a game it forfeits ends it, and the next game starts a fresh one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "episode/player.h"
#include "game/sprite.h"
#include "players/registry.h"
#include "protocol/protocol.h"

namespace gulper {

class ExecSession;

// How an exec agent is named: the prefix, then the shell command.
constexpr const char* EXEC_PREFIX = "exec:";
bool IsExecName(const std::string& name);

// The registry's entry for an exec name (made on first use, kept for the process's life), or
// null when the command is empty. The registry finds it by the prefix.
const AgentEntry* ExecAgentEntry(const std::string& name);

// The Gulper steered by a program in another process for one game, through the episode's
// hooks: the hello at the start, a decide before each tick that holds a decision, the end.
class ExecPlayer : public PlayerSprite, public Player {
  public:
    // Holds the session, so that it outlives the process-wide list when a viewer's game is
    // the last thing destroyed.
    explicit ExecPlayer(std::shared_ptr<ExecSession> session);
    ~ExecPlayer() override;

    PlayerSprite& Sprite() override { return *this; }
    void StartGame(uint32_t seed, const GameSettings& settings) override;
    void BeforeDecision(int64_t ticks) override;
    void Think() override;
    bool Forfeited() const override { return forfeited; }
    // Tells the program how the game ended (or ends it, after a forfeit) and moves this
    // game's faults and answer times into `result`; the outcome must be set.
    void EndGame(GameResult& result) override;
    bool HasPlans() const override { return true; }
    // Its plans cannot be worked out again from the game: a recording keeps them.
    bool RecordsPlans() const override { return true; }
    AgentPlan ReadPlan(GridPoint) override { return plan; }

  private:
    // Counts a fault; past the limit, or when `fatal`, the game is forfeited.
    void Fault(const std::string& kind, const std::string& detail, bool fatal);
    void Forfeit(const std::string& kind, const std::string& detail);
    // A line that answers nothing we asked: dropped and counted, never toward the fault limit.
    void Stray(const std::string& line);
    // Whether `line` is owed to a decision whose time ran out; if so it is dropped and counted.
    bool Late();
    // Takes every whole line already waiting, before we ask anything: none of them can be the
    // answer to what we are about to ask.
    void TakeWaiting();

    std::shared_ptr<ExecSession> held;
    ExecSession& session;
    ExecBudgets budgets;
    OverageBank bank{0, 0};
    int64_t decision = -1;
    int64_t lastTicks = 0;
    int32_t action = 0;
    AgentPlan plan;
    bool started = false;
    bool ended = false;
    bool forfeited = false;
    std::string forfeitReason;
    std::vector<AgentFault> faults;
    int64_t strikes = 0;
    int64_t strays = 0;
    int64_t lateDropped = 0;
    // The version the agent answered its hello with: 2 echoes each decision's number.
    int protocol = 1;
    std::vector<int64_t> answerUs;
    std::string name;
};

}  // namespace gulper

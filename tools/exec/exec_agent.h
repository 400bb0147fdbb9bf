// Agents played from outside the process: `exec:COMMAND` names a program that plays the
// Gulper over the line protocol (docs/agent-protocol.md). One program serves a run of games
// (per worker process); a game it forfeits ends it, and the next game starts a fresh one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/sprite.h"
#include "tools/agents/agent_registry.h"
#include "tools/exec/protocol.h"
#include "tools/sim/headless_game.h"

class ExecSession;

// How an exec agent is named: the prefix, then the shell command.
constexpr const char* EXEC_PREFIX = "exec:";
bool IsExecName(const std::string& name);

// The registry's entry for an exec name (made on first use, kept for the process's life), or
// null when the command is empty.
const AgentEntry* ExecAgentEntry(const std::string& name);

// The Gulper steered by an outside program for one game. Whoever ticks the game calls
// StartGame after starting it, Decide before each tick that holds a decision (the entry's
// beforeDecision does), stops when Forfeited, and calls EndGame at the end.
class ExecPlayer : public PlayerSprite {
  public:
    // Holds the session, so that it outlives the process-wide list when a viewer's game is
    // the last thing destroyed.
    explicit ExecPlayer(std::shared_ptr<ExecSession> session);
    ~ExecPlayer() override;

    void StartGame(const GameStart& start);
    void Decide(int64_t ticks);
    void Think() override;
    bool Forfeited() const { return forfeited; }
    // Tells the program how the game ended (or ends it, after a forfeit) and moves this
    // game's faults and answer times into `result`; the outcome must be set.
    void EndGame(GameResult& result);

    const AgentPlan& Plan() const { return plan; }

  private:
    // Counts a fault; past the limit, or when `fatal`, the game is forfeited.
    void Fault(const std::string& kind, const std::string& detail, bool fatal);
    void Forfeit(const std::string& kind, const std::string& detail);

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
    int64_t lateDropped = 0;
    std::vector<int64_t> answerUs;
    std::string name;
};

// The exec player behind a player sprite, or null for any other agent.
ExecPlayer* AsExecPlayer(PlayerSprite* agent);

// Ends every program this process started: input closed, a short grace, then killed with
// its process group. Called at the end of a run; a worker calls it before it exits.
void StopExecAgents();

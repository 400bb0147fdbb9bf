// One seeded headless game stepped a decision at a time, for Python: its own copy of the
// process-wide game state, a Gulper steered from outside, and the agents asked on its state.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "game/game_rules.h"
#include "game/sprite.h"
#include "python/src/world.h"
#include "tools/sim/game_record.h"
#include "tools/sim/observation.h"

// The Gulper as the game sees it: at each cell centre its Think takes the action set from
// outside, or hands the decision to another player sprite (an agent) on the same state.
class ExternalPlayer : public PlayerSprite {
  public:
    void Think() override;

    int32_t action = ACTION_KEEP;
    PlayerSprite* delegate = nullptr;
};

struct StepOutcome {
    int32_t reward = 0;
    bool terminated = false;
    bool truncated = false;
};

class Session {
  public:
    // The settings file's name (for snapshots and the summary) and its bytes; empty bytes
    // mean the settings' defaults.
    Session(std::string configPath, std::string configText, int64_t maxTicks, bool keepLog);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The game `gulper-sim --replay seed` plays, up to its first decision.
    void Reset(uint32_t seed);
    // One decision: the action at this cell centre, then the ticks up to the next one or the
    // end. The game must be started and not over.
    StepOutcome Step(int32_t action);
    // The same, with `agent` deciding inside the tick, as in gulper-sim.
    StepOutcome StepWithAgent(PlayerSprite& agent);
    // The action `agent` would take here: one tick played with it deciding, then put back.
    int32_t AskAgent(PlayerSprite& agent);

    WorldSnapshot Save();
    // False (and nothing changed) when the snapshot was taken under other settings.
    bool Restore(const WorldSnapshot& snapshot);

    // Makes this session's game the process's live one; every read of the game needs it.
    void Enter();

    bool Started() const { return started; }
    bool Over() const { return over; }
    bool Truncated() const { return !over && ticks >= maxTicks; }
    bool Ended() const { return over || ticks >= maxTicks; }
    int64_t Ticks() const { return ticks; }
    int64_t Decisions() const { return decisions; }
    uint32_t Seed() const { return seed; }
    const ExternalPlayer& Player() const { return player; }
    GameRules& Rules() { return rules; }
    const std::string& ConfigPath() const { return configPath; }
    const std::string& ConfigText() const { return configText; }
    // The decisions since the start, as a replay file keeps them.
    const GameRecord& Record() const { return record; }
    int64_t MaxTicks() const { return maxTicks; }
    // The agent's log since the last call, when kept.
    std::string TakeLog();

  private:
    StepOutcome Play(PlayerSprite* agent);
    void AdvanceToDecision();
    void Leave();

    std::string configPath;
    std::string configText;
    int64_t maxTicks;
    bool keepLog;
    std::ostringstream log;
    GameRules rules;
    ExternalPlayer player;
    WorldGlobals globals;
    // The game right after its start, which only the generator's seed tells apart from
    // another seed's; empty until the first start, or when a start drew from the generator.
    std::optional<WorldSnapshot> start;
    bool startDrawsRandom = false;
    bool started = false;
    bool over = false;
    int64_t ticks = 0;
    int64_t decisions = 0;
    uint32_t seed = 0;
    GameRecord record;
};

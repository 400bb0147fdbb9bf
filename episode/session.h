// One seeded episode stepped a decision at a time, for Python: its own copy of the
// game variables (so several live in one process), a Gulper steered by actions set
// from outside the game or by an agent asked on the same state, and whole-game snapshots.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "episode/actions.h"
#include "episode/episode.h"
#include "episode/observation.h"
#include "episode/record.h"
#include "episode/snapshot.h"
#include "game/game_rules.h"
#include "game/sprite.h"

namespace gulper {

// The Gulper of a session: at each decision it takes the action set for it, or hands the
// decision, and the episode's hooks, to another player (an agent) on the same state.
class SteeredGulper : public PlayerSprite, public Player {
  public:
    PlayerSprite& Sprite() override { return *this; }
    void Think() override;
    void Foresee(Lookahead& ahead) override;
    void BeforeDecision(int64_t ticks) override;
    bool Forfeited() const override;
    void EndGame(GameResult& result) override;
    bool HasPlans() const override;
    AgentPlan ReadPlan(GridPoint decisionCell) override;

    int32_t action = ACTION_KEEP;
    Player* delegate = nullptr;

  private:
    // The delegate's sprite where this one is, heading its way, with its score.
    void Align();
};

struct StepOutcome {
    int32_t reward = 0;
    bool terminated = false;
    bool truncated = false;
};

class Session {
  public:
    // Without keepRecord the decisions are not kept (Record() stays empty): a game that will
    // never be written as a replay file plays faster.
    Session(const GameSettings& settings, bool keepLog, bool keepRecord = true);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The game `gulper-sim --replay seed` plays, up to its first decision.
    void Reset(uint32_t seed);
    // One decision: the action at this cell centre (or the delegate's, when one is set), then
    // the ticks up to the next one or the end. The game must be started and not over.
    StepOutcome Step(int32_t action);
    // Hands the decisions to `agent` (null: back to the actions), which then hears the game's
    // hooks as the episode calls them: a whole game played by an agent, as in gulper-sim.
    void SetDelegate(Player* agent) { gulper.delegate = agent; }
    // The action `agent` would take here: one tick played with it deciding, then put back.
    int32_t AskAgent(Player& agent);

    // Which actions would move the Gulper on from this decision (by index: keep going, left,
    // up, right, down); none once the game has ended.
    std::array<bool, ACTIONS> MovingActions();

    WorldSnapshot Save();
    // False (and nothing changed) when the snapshot was taken under other settings. With
    // `reseed` the ghosts' draws from then on come afresh from it instead of the snapshot's
    // generator: another possible future of the same moment, the same one for the same seed.
    bool Restore(const WorldSnapshot& snapshot, std::optional<uint32_t> reseed = std::nullopt);

    // Makes this session's game the thread's live one; every read of the game needs it.
    void Enter();
    // Stores the thread's live game back into its session, so that another thread may take
    // that session up next: a session lives in one thread's game variables at a time.
    static void LeaveThread();

    bool Started() const { return started; }
    bool Over() const { return started && episode.Decided(); }
    bool Truncated() const { return started && Ended() && !episode.Decided(); }
    bool Ended() const { return started && episode.Over(); }
    // The game's result as it stands; once ended, Finish tells the delegate how it ended.
    GameResult Result();
    GameResult Finish();
    int64_t Ticks() const { return episode.Ticks(); }
    int64_t Decisions() const { return episode.Decisions(); }
    uint32_t Seed() const { return episode.Seed(); }
    // Counts the resets, so that an agent asked on it knows a new game from the old one.
    uint64_t Serial() const { return serial; }
    const PlayerSprite& Gulper() const { return gulper; }
    GameRules& Rules() { return rules; }
    const GameSettings& Settings() const { return episode.Settings(); }
    // The decisions since the start, as a replay file keeps them.
    const GameRecord& Record() const { return record; }
    // Whether the ghosts' draws were started afresh since the reset, so that the record no
    // longer plays this game back.
    bool Sampled() const { return sampled; }
    // The agent's log since the last call, when kept.
    std::string TakeLog();

  private:
    void Leave();

    bool keepLog;
    std::ostringstream log;
    GameRules rules;
    SteeredGulper gulper;
    GameRecord record;
    Episode episode;
    WorldGlobals globals;
    // The game right after its start, which only the generator's seed tells apart from
    // another seed's; empty until the first start, or when a start drew from the generator.
    std::optional<WorldSnapshot> start;
    bool startDrawsRandom = false;
    bool started = false;
    bool sampled = false;
    uint64_t serial = 0;
};

}  // namespace gulper

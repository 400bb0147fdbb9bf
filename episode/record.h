// What a game's decisions were, as a replay file keeps them: the action taken at each, a
// check value of the game just after it, and the agent's plan when its entry asks for that;
// and the player that takes recorded actions again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "episode/actions.h"
#include "episode/player.h"
#include "game/sprite.h"

namespace gulper {

struct GameRecord {
    // One digit per decision: the Gulper's direction after the decision's tick, as an action
    // code, where 0 is no direction (the Gulper stands on its cell centre).
    std::string actions;
    // Per decision: GameCheck just after its tick, and the ticks played then.
    std::vector<uint16_t> checks;
    std::vector<int64_t> ticks;
    // Per decision, when kept: the agent's plan of it.
    bool keepPlans = false;
    std::vector<AgentPlan> plans;
    // Played back, a game needs no more than one decision past its recording to be known
    // different: it is stopped before a decision beyond this many. -1: played to its end.
    int64_t decisionLimit = -1;
};

// A 16-bit digest of the live game just after a tick, `ticks` ticks into it: the ticks, the
// Gulper's place, heading and score, the food left, the generator and every ghost's place,
// heading, colour and release. Two games that part show it at once, or within a few decisions.
uint16_t GameCheck(const PlayerSprite& player, int64_t ticks);

// Adds the decision whose tick was just played (`ticks` ticks into the game).
void RecordDecision(GameRecord& record, const PlayerSprite& player, int64_t ticks);

// A Gulper that takes the recorded directions, one at each cell centre, as an agent's Think
// sets them (0 stands still); past the last one it keeps its direction.
class ReplayPlayer : public PlayerSprite {
  public:
    explicit ReplayPlayer(std::string actions) : actions(std::move(actions)) {}
    void Think() override;

    // Decisions taken so far.
    int64_t taken = 0;

  private:
    const std::string actions;
};

}  // namespace gulper

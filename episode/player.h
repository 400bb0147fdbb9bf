// Whoever plays the Gulper in an episode: a player sprite whose Think steers at each cell
// centre, and the hooks an episode calls around it, so that no loop asks which kind of player
// it has. A built-in agent needs none of them; an agent in another process hears the game's
// start and end, reads the game before each decision and may forfeit.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "episode/result.h"
#include "episode/settings.h"
#include "game/grid_point.h"
#include "game/sprite.h"

namespace gulper {

// What an agent had in mind at its last decision, for drawing over the board. Cells are
// (column, row) with row 0 at the bottom, as the agent's own searches count them.
struct AgentPlan {
    // One word: fleeing, feeding, hunting, fruit.
    std::string state;
    // The planned route, from the cell the decision was taken on to the goal.
    std::vector<GridPoint> route;
    std::optional<GridPoint> goal;
    // The cells of the ghosts it is running from.
    std::vector<GridPoint> fleeingFrom;
};

// Reads the plan of an agent's last decision, taken on `decisionCell`, without changing the
// agent or writing to its log.
using PlanReader = std::function<AgentPlan(PlayerSprite& agent, GridPoint decisionCell)>;

class Lookahead;

class Player {
  public:
    virtual ~Player() = default;
    virtual PlayerSprite& Sprite() = 0;
    // The game has started (seeded, ghosts made, nothing ticked).
    virtual void StartGame(uint32_t seed, const GameSettings& settings);
    // Before each tick that holds a decision, with the ticks played so far: the game as it
    // stands before the tick's ghosts move.
    virtual void BeforeDecision(int64_t ticks);
    // At each decision, just before BeforeDecision: futures of the game to plan on. The live
    // game is put back as it was before the player gives its turn up.
    virtual void Foresee(Lookahead& ahead);
    // Whether the player has given the game up; the episode then plays no more of it.
    virtual bool Forfeited() const;
    // The game is over (its outcome set in `result`): the player adds what it knows of it.
    virtual void EndGame(GameResult& result);
    // Whether ReadPlan says anything, and whether a recording must keep every plan (one that
    // cannot be worked out again from the game).
    virtual bool HasPlans() const;
    virtual bool RecordsPlans() const;
    virtual AgentPlan ReadPlan(GridPoint decisionCell);
};

// A player that is only its sprite, with an optional plan reader.
class SpritePlayer : public Player {
  public:
    explicit SpritePlayer(std::unique_ptr<PlayerSprite> sprite, PlanReader readPlan = nullptr,
                          bool recordPlans = false);
    PlayerSprite& Sprite() override { return *sprite; }
    bool HasPlans() const override { return static_cast<bool>(readPlan); }
    bool RecordsPlans() const override { return recordPlans; }
    AgentPlan ReadPlan(GridPoint decisionCell) override;

  private:
    std::unique_ptr<PlayerSprite> sprite;
    PlanReader readPlan;
    bool recordPlans;
};

}  // namespace gulper

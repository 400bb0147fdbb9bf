// Futures of a game to try moves on: the live game taken once at a decision, then played on
// from there as often as a player likes, each time with the ghosts' dice drawn afresh, and put
// back exactly as it was. A player that plans with it never sees the game's own dice.
#pragma once

#include <cstdint>

#include "episode/snapshot.h"
#include "game/game_rules.h"
#include "game/sprite.h"

namespace gulper {

class Lookahead {
  public:
    Lookahead(GameRules& rules, PlayerSprite& gulper) : rules(rules), gulper(gulper) {}

    // The game as it stands becomes the start of every future, and what Restore puts back.
    void Take();
    // The start again, the ghosts' generator started from `dice` rather than where the game's
    // own stands.
    void Sample(uint32_t dice);
    // One tick of the future (the Gulper thinks as it would in the game); false, with nothing
    // played, once the future is over: caught or won.
    bool Tick();
    bool Caught() const { return rules.playerCaught; }
    // The Gulper the futures move: the player's own sprite, or the one it steers for.
    const PlayerSprite& Gulper() const { return gulper; }
    bool Won() const;
    // The live game back exactly as taken, its generator included.
    void Restore();

  private:
    GameRules& rules;
    PlayerSprite& gulper;
    WorldSnapshot start;
};

}  // namespace gulper

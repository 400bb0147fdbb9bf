// One seeded game outside the game window. This is the one loop besides the window's own that
// ticks a game: the simulator, its workers, replays, the viewer and Python all play through it,
// a tick at a time, a decision at a time or to the end. The decision test, the player's turn,
// the record of each decision, the outcome and the result are worked out here alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "episode/player.h"
#include "episode/record.h"
#include "episode/result.h"
#include "episode/settings.h"
#include "game/game_rules.h"

namespace gulper {

// Starts a game exactly as the game window would after its first start screen: seed, the
// agent as the player, settings (the agent always steers), ghosts, new game. Every episode
// starts here, so the viewer, the simulator and Python play the same game for a seed.
void StartSeededGame(GameRules& rules, PlayerSprite* agent, const std::string& configText,
                     uint32_t seed);

// After a tick that caught the Gulper: the colour of the first ghost (red, green, orange,
// turquoise) that is close enough and not blue, or -1.
int CatchingGhost();

// Whether the settings file's bytes ask for keyboard steering (which an episode overrides).
bool ConfigAsksForKeyboard(const std::string& configText);

class Episode {
  public:
    // Plays on `rules` (an episode's own, or the viewer's window) with `player`; both outlive
    // the episode. With `record`, every decision is recorded there.
    Episode(GameRules& rules, Player& player, const GameSettings& settings,
            GameRecord* record = nullptr);

    // Starts the game of `seed` (StartSeededGame) and tells the player.
    void Start(uint32_t seed);
    // Takes the game now live as this episode's, `ticks` and `decisions` into it (a snapshot
    // put back, or a start copied from another seed's); the player is not told.
    void Adopt(uint32_t seed, int64_t ticks, int64_t decisions);

    // Whether the next tick holds a decision: the Gulper stands on a cell centre.
    bool AtDecision() const;
    // One tick. One that holds a decision asks the player first, and is not played when the
    // player forfeits there or the record's decision limit is reached. False when nothing was
    // played (the game is over).
    bool Tick();
    // Ticks up to the next decision, or to the end.
    void ToDecision();
    // The decision the game stands at, and the ticks up to the next one.
    void PlayDecision();
    // Every tick left.
    void PlayToEnd();

    // Won, lost, forfeited, past the tick limit, or stopped at the record's decision limit.
    bool Over() const;
    // Won or lost (the rules ended it); not a limit or a forfeit.
    bool Decided() const;
    // The result as the game stands (the outcome is UNFINISHED while it goes on).
    GameResult Result() const;
    // The result of the game over: the player hears how it ended (once) and adds its part.
    const GameResult& Finish();

    uint32_t Seed() const { return seed; }
    int64_t Ticks() const { return ticks; }
    int64_t Decisions() const { return decisions; }
    const GameSettings& Settings() const { return settings; }
    // The player's plan of the decision the last tick held (none when it held none).
    AgentPlan PlanOfLastTick();
    bool LastTickDecided() const { return lastTickDecided; }

  private:
    // The Gulper stands at a decision the record's limit does not let it take.
    bool AtDecisionLimit() const;

    GameRules& rules;
    Player& player;
    GameSettings settings;
    GameRecord* record;
    uint32_t seed = 0;
    int64_t ticks = 0;
    int64_t decisions = 0;
    bool lastTickDecided = false;
    GridPoint lastDecisionCell;
    bool finished = false;
    GameResult result;
};

// Makes a game's player; called once the process state is fresh and the pictures are off.
using PlayerMaker = std::function<std::unique_ptr<Player>()>;

// Plays one whole game from a fresh process state with a player made for it, nothing drawn.
// Its log goes to `log`, or nowhere when null; its decisions to `record` when given.
GameResult PlayGame(const PlayerMaker& makePlayer, const GameSettings& settings, uint32_t seed,
                    std::ostream* log, GameRecord* record = nullptr);

}  // namespace gulper

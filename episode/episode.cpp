// The episode: a seeded game started as the window starts it and ticked as the window ticks it.
#include "episode/episode.h"

#include "agent/agent_log.h"
#include "episode/lookahead.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "game/random.h"
#include "game/sprite_pictures.h"

namespace gulper {

bool ConfigAsksForKeyboard(const std::string& configText) {
    ResetGameState();
    GameRules rules;
    rules.LoadConfigText(configText);
    return rules.keyboardControl;
}

void StartSeededGame(GameRules& rules, PlayerSprite* agent, const std::string& configText,
                     uint32_t seed) {
    // Same order as the game: the window (its timer seeds the generator), the agent, then
    // the window's create handler.
    SeedRandom(seed);
    SetPlayerAgent(agent);
    rules.LoadConfigText(configText);
    rules.keyboardControl = false;
    rules.CreateGhosts();
    rules.NewGame();
}

int CatchingGhost() {
    for (GhostColour colour : TICK_ORDER) {
        const Ghost* ghost = GhostOf(colour);
        if (ghost != nullptr && ghost->IsReleased() && !ghost->IsBlue() &&
            ghost->DistanceToPlayer() < CATCH_DISTANCE) {
            return colour;
        }
    }
    return -1;
}

Episode::Episode(GameRules& rules_, Player& player_, const GameSettings& settings_,
                 GameRecord* record_)
    : rules(rules_), player(player_), settings(settings_), record(record_) {}

void Episode::Start(uint32_t seed_) {
    StartSeededGame(rules, &player.Sprite(), settings.configText, seed_);
    Adopt(seed_, 0, 0);
    if (record != nullptr) {
        record->keepPlans = player.RecordsPlans();
    }
    player.StartGame(seed, settings);
}

void Episode::Adopt(uint32_t seed_, int64_t ticks_, int64_t decisions_) {
    seed = seed_;
    ticks = ticks_;
    decisions = decisions_;
    lastTickDecided = false;
    finished = false;
    result = GameResult();
}

bool Episode::AtDecisionLimit() const {
    return record != nullptr && record->decisionLimit >= 0 && decisions >= record->decisionLimit &&
           AtDecision();
}

bool Episode::AtDecision() const {
    return player.Sprite().AvailableDirections(MazeGrid) != 0;
}

bool Episode::Tick() {
    if (Over()) {
        return false;
    }
    PlayerSprite& sprite = player.Sprite();
    const GridPoint cell = sprite.CellPosition();
    // The ghosts' moves first in the tick do not change whether the Gulper decides in it.
    const bool decides = AtDecision();
    if (decides) {
        if (AtDecisionLimit()) {
            return false;
        }
        Lookahead ahead(rules, sprite);
        player.Foresee(ahead);
        player.BeforeDecision(ticks);
        // A decision the player forfeited the game at is not played.
        if (player.Forfeited()) {
            return false;
        }
        ++decisions;
    }
    rules.Tick();
    ++ticks;
    lastTickDecided = decides;
    if (decides) {
        lastDecisionCell = cell;
        if (record != nullptr) {
            RecordDecision(*record, sprite, ticks);
            if (record->keepPlans) {
                record->plans.push_back(player.ReadPlan(cell));
            }
        }
    }
    return true;
}

void Episode::ToDecision() {
    while (!Over() && !AtDecision()) {
        Tick();
    }
}

void Episode::PlayDecision() {
    Tick();
    ToDecision();
}

void Episode::PlayToEnd() {
    while (Tick()) {
    }
}

bool Episode::Decided() const {
    return gameWon || rules.playerCaught;
}

bool Episode::Over() const {
    return Decided() || ticks >= settings.maxTicks || player.Forfeited() || AtDecisionLimit();
}

GameResult Episode::Result() const {
    GameResult r;
    r.seed = seed;
    // A game that goes on is unfinished so far; one past its limit stays so.
    r.outcome = player.Forfeited()   ? GameOutcome::FORFEIT
                : gameWon            ? GameOutcome::WON
                : rules.playerCaught ? GameOutcome::LOST
                                     : GameOutcome::UNFINISHED;
    PlayerSprite& sprite = player.Sprite();
    r.score = sprite.Score();
    r.foodLeft = foodLeft;
    r.ticks = ticks;
    r.decisions = decisions;
    if (r.outcome == GameOutcome::LOST) {
        r.caughtBy = CatchingGhost();
        r.caughtAt = sprite.CellPosition();
        if (player.HasPlans()) {
            r.lastState = player.ReadPlan(r.caughtAt).state;
        }
    }
    return r;
}

const GameResult& Episode::Finish() {
    if (!finished) {
        result = Result();
        player.EndGame(result);
        finished = true;
    }
    return result;
}

AgentPlan Episode::PlanOfLastTick() {
    return lastTickDecided ? player.ReadPlan(lastDecisionCell) : AgentPlan();
}

GameResult PlayGame(const PlayerMaker& makePlayer, const GameSettings& settings, uint32_t seed,
                    std::ostream* log, GameRecord* record) {
    SetAgentLog(log != nullptr ? log : &DiscardedLog());
    ResetGameState();
    // Nothing is drawn: the agent and the ghosts are made without their pictures.
    const NoSpritePictures headless;
    GameResult result;
    {
        GameRules rules;
        std::unique_ptr<Player> player = makePlayer();
        Episode episode(rules, *player, settings, record);
        episode.Start(seed);
        episode.PlayToEnd();
        result = episode.Finish();
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
    }
    SetAgentLog(nullptr);
    return result;
}

}  // namespace gulper

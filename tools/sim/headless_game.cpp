// Seeded headless games: started as the game window starts them, played to the end.
#include "tools/sim/headless_game.h"

#include <iostream>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "game/random.h"
#include "game/sprite_pictures.h"
#include "tools/exec/exec_agent.h"

const char* OutcomeName(GameOutcome outcome) {
    switch (outcome) {
        case GameOutcome::WON:
            return "won";
        case GameOutcome::LOST:
            return "lost";
        case GameOutcome::FORFEIT:
            return "forfeit";
        default:
            return "unfinished";
    }
}

bool OutcomeNamed(const std::string& name, GameOutcome* outcome) {
    for (GameOutcome o :
         {GameOutcome::WON, GameOutcome::LOST, GameOutcome::UNFINISHED, GameOutcome::FORFEIT}) {
        if (name == OutcomeName(o)) {
            *outcome = o;
            return true;
        }
    }
    return false;
}

int64_t FaultsOf(const GameResult& r, const std::string& kind) {
    int64_t n = 0;
    for (const AgentFault& f : r.faults) {
        n += f.kind == kind;
    }
    return n;
}

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

GameResult PlayHeadlessGame(const SimSettings& settings, uint32_t seed, std::ostream* log,
                            GameRecord* record) {
    return PlayEntryGame(*FindAgent(settings.agent), settings, seed, log, record);
}

GameResult PlayEntryGame(const AgentEntry& entry, const SimSettings& settings, uint32_t seed,
                         std::ostream* log, GameRecord* record) {
    SetAgentLog(log != nullptr ? log : &DiscardedLog());

    ResetGameState();
    // Nothing is drawn: the agent and the ghosts are made without their pictures.
    const NoSpritePictures headless;
    GameResult result;
    result.seed = seed;
    if (record != nullptr) {
        record->keepPlans = entry.recordPlans;
    }
    {
        GameRules rules;
        std::unique_ptr<PlayerSprite> agent = entry.make();
        StartSeededGame(rules, agent.get(), settings.configText, seed);
        ExecPlayer* outside = AsExecPlayer(agent.get());
        if (outside != nullptr) {
            outside->StartGame({seed, settings.maxTicks, settings.configPath, settings.configText,
                                settings.budgets});
        }
        const auto forfeited = [&] { return outside != nullptr && outside->Forfeited(); };
        while (!gameWon && !rules.playerCaught && result.ticks < settings.maxTicks &&
               !forfeited()) {
            // The agent decides on every cell centre; the ghosts' moves first do not change that.
            const GridPoint cell = agent->CellPosition();
            const bool decides = agent->AvailableDirections(MazeGrid) != 0;
            if (decides && record != nullptr && record->decisionLimit >= 0 &&
                result.decisions >= record->decisionLimit) {
                break;
            }
            if (decides) {
                if (entry.beforeDecision) {
                    entry.beforeDecision(*agent, result.ticks);
                }
                // A decision the agent forfeited the game at is not played.
                if (forfeited()) {
                    break;
                }
                ++result.decisions;
            }
            rules.Tick();
            ++result.ticks;
            if (decides && record != nullptr) {
                RecordDecision(*record, *agent, result.ticks);
                if (record->keepPlans) {
                    record->plans.push_back(entry.readPlan ? entry.readPlan(*agent, cell)
                                                           : AgentPlan());
                }
            }
        }
        result.outcome = forfeited()          ? GameOutcome::FORFEIT
                         : gameWon            ? GameOutcome::WON
                         : rules.playerCaught ? GameOutcome::LOST
                                              : GameOutcome::UNFINISHED;
        result.score = agent->Score();
        result.foodLeft = foodLeft;
        if (result.outcome == GameOutcome::LOST) {
            result.caughtBy = CatchingGhost();
            result.caughtAt = agent->CellPosition();
            if (entry.readPlan) {
                result.lastState = entry.readPlan(*agent, agent->CellPosition()).state;
            }
        }
        if (outside != nullptr) {
            outside->EndGame(result);
        }
        rules.DestroyGhosts();
        SetPlayerAgent(nullptr);
    }
    SetAgentLog(nullptr);
    return result;
}

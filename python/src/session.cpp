// Stepping a seeded headless game by decisions, swapping its process-wide state in and out.
#include "python/src/session.h"

#include "agent/agent_log.h"
#include "game/random.h"
#include "tools/sim/headless_game.h"

namespace {

// The session whose game is in the process-wide variables now. Another session's call first
// stores this one's state, so consecutive calls on one session swap nothing.
Session* liveSession = nullptr;

}  // namespace

void ExternalPlayer::Think() {
    if (delegate != nullptr) {
        // The agent decides as if it were the Gulper: same place, heading and score.
        SetMotion(*delegate, MotionOf(*this));
        delegate->score = score;
        delegate->Think();
        direction = delegate->direction;
    } else if (action != ACTION_KEEP) {
        direction = DirectionOfAction(action);
    }
}

Session::Session(std::string configPath_, std::string configText_, int64_t maxTicks_, bool keepLog_)
    : configPath(std::move(configPath_)),
      configText(std::move(configText_)),
      maxTicks(maxTicks_),
      keepLog(keepLog_) {}

Session::~Session() {
    Enter();
    rules.DestroyGhosts();
    SetPlayerAgent(nullptr);
    SetAgentLog(nullptr);
    liveSession = nullptr;
}

void Session::Enter() {
    if (liveSession != this) {
        if (liveSession != nullptr) {
            liveSession->Leave();
        }
        ApplyGlobals(globals);
        liveSession = this;
    }
    SetAgentLog(keepLog ? static_cast<std::ostream*>(&log) : &DiscardedLog());
}

void Session::Leave() {
    globals = CaptureGlobals();
}

void Session::Reset(uint32_t seed_) {
    Enter();
    if (start && !startDrawsRandom) {
        Restore(*start);
        SeedRandom(seed_);
    } else {
        rules.DestroyGhosts();
        ResetGameState();
        StartSeededGame(rules, &player, configText, seed_);
        // A start that drew nothing differs from any other seed's only in the generator, so
        // later resets put it back instead of making the ghosts (and reading their pictures).
        startDrawsRandom = RandomState() != seed_;
        start = Save();
    }
    seed = seed_;
    ticks = 0;
    decisions = 0;
    record = GameRecord();
    over = false;
    started = true;
    AdvanceToDecision();
}

void Session::AdvanceToDecision() {
    // As gulper-sim ticks: a tick with the Gulper on a cell centre holds a decision.
    for (;;) {
        over = gameWon || rules.playerCaught;
        if (over || ticks >= maxTicks || player.AvailableDirections(MazeGrid) != 0) {
            return;
        }
        rules.Tick();
        ++ticks;
    }
}

StepOutcome Session::Step(int32_t action) {
    player.action = action;
    return Play(nullptr);
}

StepOutcome Session::StepWithAgent(PlayerSprite& agent) {
    return Play(&agent);
}

StepOutcome Session::Play(PlayerSprite* agent) {
    Enter();
    const int32_t before = player.score;
    player.delegate = agent;
    ++decisions;
    rules.Tick();
    ++ticks;
    RecordDecision(record, player, ticks);
    player.delegate = nullptr;
    player.action = ACTION_KEEP;
    AdvanceToDecision();
    return StepOutcome{player.score - before, over, Truncated()};
}

int32_t Session::AskAgent(PlayerSprite& agent) {
    Enter();
    if (!started || Ended()) {
        return ACTION_KEEP;
    }
    const WorldSnapshot now = Save();
    player.delegate = &agent;
    rules.Tick();
    player.delegate = nullptr;
    const int32_t chosen = agent.direction;
    Restore(now);
    return ActionOfDirection(chosen);
}

WorldSnapshot Session::Save() {
    Enter();
    WorldSnapshot s = TakeSnapshot(rules, player);
    s.ticks = ticks;
    s.decisions = decisions;
    s.seed = seed;
    s.configPath = configPath;
    s.record = record;
    return s;
}

bool Session::Restore(const WorldSnapshot& s) {
    if (s.configPath != configPath) {
        return false;
    }
    Enter();
    for (GhostColour colour : TICK_ORDER) {
        if ((GhostOf(colour) != nullptr) != s.ghostPresent[colour]) {
            return false;  // a session not started yet has no ghosts to put it into
        }
    }
    PutSnapshot(s, rules, player);
    ticks = s.ticks;
    decisions = s.decisions;
    seed = s.seed;
    record = s.record;
    started = true;
    over = gameWon || rules.playerCaught;
    return true;
}

std::string Session::TakeLog() {
    std::string text = log.str();
    log.str({});
    return text;
}

// Stepping an episode by decisions, swapping its process-wide state in and out.
#include "episode/session.h"

#include "agent/agent_log.h"
#include "game/random.h"

namespace gulper {

namespace {

// The session whose game is in this thread's game variables now. Another session's call first
// stores this one's state, so consecutive calls on one session swap nothing.
thread_local Session* liveSession = nullptr;

}  // namespace

void SteeredGulper::Align() {
    PlayerSprite& other = delegate->Sprite();
    SetMotion(other, MotionOf(*this));
    other.score = score;
}

void SteeredGulper::Think() {
    if (delegate != nullptr) {
        // The agent decides as if it were the Gulper: same place, heading and score.
        Align();
        PlayerSprite& other = delegate->Sprite();
        other.Think();
        direction = other.direction;
    } else if (action != ACTION_KEEP) {
        direction = DirectionOfAction(action);
    }
}

void SteeredGulper::Foresee(Lookahead& ahead) {
    if (delegate != nullptr) {
        Align();
        delegate->Foresee(ahead);
    }
}

void SteeredGulper::BeforeDecision(int64_t ticks) {
    if (delegate != nullptr) {
        Align();
        delegate->BeforeDecision(ticks);
    }
}

bool SteeredGulper::Forfeited() const {
    return delegate != nullptr && delegate->Forfeited();
}

void SteeredGulper::EndGame(GameResult& result) {
    if (delegate != nullptr) {
        delegate->EndGame(result);
    }
}

bool SteeredGulper::HasPlans() const {
    return delegate != nullptr && delegate->HasPlans();
}

AgentPlan SteeredGulper::ReadPlan(GridPoint decisionCell) {
    return delegate != nullptr ? delegate->ReadPlan(decisionCell) : AgentPlan();
}

Session::Session(const GameSettings& settings, bool keepLog_, bool keepRecord)
    : keepLog(keepLog_), episode(rules, gulper, settings, keepRecord ? &record : nullptr) {}

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

void Session::LeaveThread() {
    if (liveSession != nullptr) {
        liveSession->Leave();
        liveSession = nullptr;
    }
}

void Session::Reset(uint32_t seed) {
    Enter();
    record = GameRecord();
    sampled = false;
    if (start && !startDrawsRandom) {
        Restore(*start);
        SeedRandom(seed);
        episode.Adopt(seed, 0, 0);
    } else {
        rules.DestroyGhosts();
        ResetGameState();
        episode.Start(seed);
        // A start that drew nothing differs from any other seed's only in the generator, so
        // later resets put it back instead of making the ghosts (and reading their pictures).
        startDrawsRandom = RandomState() != seed;
        start = Save();
    }
    ++serial;
    started = true;
    episode.ToDecision();
}

StepOutcome Session::Step(int32_t action) {
    Enter();
    const int32_t before = gulper.score;
    gulper.action = action;
    episode.PlayDecision();
    gulper.action = ACTION_KEEP;
    return StepOutcome{gulper.score - before, Over(), Truncated()};
}

int32_t Session::AskAgent(Player& agent) {
    Enter();
    if (!started || Ended()) {
        return ACTION_KEEP;
    }
    const WorldSnapshot now = Save();
    Player* held = gulper.delegate;
    gulper.delegate = &agent;
    const bool played = episode.Tick();
    gulper.delegate = held;
    const int32_t chosen = agent.Sprite().direction;
    Restore(now);
    return played ? ActionOfDirection(chosen) : ACTION_KEEP;
}

GameResult Session::Result() {
    Enter();
    return episode.Result();
}

GameResult Session::Finish() {
    Enter();
    return Ended() ? episode.Finish() : episode.Result();
}

std::array<bool, ACTIONS> Session::MovingActions() {
    Enter();
    std::array<bool, ACTIONS> moves{};
    if (!started || Ended()) {
        return moves;
    }
    // Each action tried as one step of the sprite alone, by the game's own rule for walls,
    // the door and the tunnel; the board, the ghosts and the score are not touched.
    const SpriteMotion here = MotionOf(gulper);
    for (int32_t a = ACTION_KEEP; a < ACTIONS; ++a) {
        SpriteMotion tried = here;
        tried.direction = a == ACTION_KEEP ? here.direction : DirectionOfAction(a);
        tried.slowDown = 1;
        tried.slowCounter = 0;
        SetMotion(gulper, tried);
        gulper.Step(MazeGrid);
        moves[a] = gulper.position.x != here.position.x || gulper.position.y != here.position.y;
    }
    SetMotion(gulper, here);
    return moves;
}

WorldSnapshot Session::Save() {
    Enter();
    WorldSnapshot s = TakeSnapshot(rules, gulper);
    s.ticks = episode.Ticks();
    s.decisions = episode.Decisions();
    s.seed = episode.Seed();
    s.configPath = Settings().configPath;
    s.record = record;
    s.sampled = sampled;
    return s;
}

bool Session::Restore(const WorldSnapshot& s, std::optional<uint32_t> reseed) {
    if (s.configPath != Settings().configPath) {
        return false;
    }
    Enter();
    for (GhostColour colour : TICK_ORDER) {
        if ((GhostOf(colour) != nullptr) != s.ghostPresent[colour]) {
            return false;  // a session not started yet has no ghosts to put it into
        }
    }
    PutSnapshot(s, rules, gulper);
    if (reseed) {
        SeedRandom(SampledRandomState(*reseed));
    }
    episode.Adopt(s.seed, s.ticks, s.decisions);
    record = s.record;
    sampled = s.sampled || reseed.has_value();
    started = true;
    return true;
}

std::string Session::TakeLog() {
    std::string text = log.str();
    log.str({});
    return text;
}

}  // namespace gulper

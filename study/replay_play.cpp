// Recording games into replay files and playing them back.
#include "study/replay_play.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "players/registry.h"

namespace gulper {

bool PlayRecorded(const SimSettings& settings, uint32_t seed, std::ostream* log, GameResult* result,
                  std::string* error) {
    if (settings.recordDir.empty()) {
        *result = PlayHeadlessGame(settings, seed, log);
        return true;
    }
    GameRecord record;
    *result = PlayHeadlessGame(settings, seed, log, &record);
    return WriteReplayFile(ReplayPath(settings.recordDir, seed),
                           ReplayOf(settings, std::move(record), *result), error);
}

bool PrepareRecordDir(const std::string& dir, std::string* error) {
    if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        *error = "cannot make the folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "cannot record into " + dir + ": it is not a folder";
        return false;
    }
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        *error = "cannot record into " + dir + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string SideRecordDir(const std::string& dir, size_t index, const std::string& name) {
    std::string safe = name.substr(0, 64);
    for (char& c : safe) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        c = plain ? c : '_';
    }
    return dir + "/" + std::to_string(index + 1) + "-" + safe;
}

namespace {

std::string ResultText(const GameResult& r) {
    return std::string(OutcomeName(r.outcome)) + ", score " + std::to_string(r.score) +
           ", food left " + std::to_string(r.foodLeft) + ", " + std::to_string(r.ticks) +
           " ticks, " + std::to_string(r.decisions) + " decisions";
}

bool SameResult(const GameResult& a, const GameResult& b) {
    return a.outcome == b.outcome && a.score == b.score && a.foodLeft == b.foodLeft &&
           a.ticks == b.ticks && a.decisions == b.decisions;
}

}  // namespace

std::unique_ptr<Player> NewReplayPlayer(const ReplayFile& replay) {
    const std::vector<AgentPlan>& plans = replay.record.plans;
    return std::make_unique<SpritePlayer>(
        std::make_unique<ReplayPlayer>(replay.record.actions),
        [&plans](PlayerSprite& sprite, GridPoint) {
            const auto at = static_cast<size_t>(static_cast<ReplayPlayer&>(sprite).taken - 1);
            return at < plans.size() ? plans[at] : AgentPlan();
        });
}

int64_t ReplayDecisionLimit(const ReplayFile& replay) {
    // A game its agent forfeited ends where the agent gave up: the recording stops there.
    const bool forfeit = replay.result.outcome == GameOutcome::FORFEIT;
    return forfeit ? replay.result.decisions : replay.result.decisions + 1;
}

ReplayVerdict CheckReplay(const ReplayFile& replay) {
    GameRecord played;
    played.decisionLimit = ReplayDecisionLimit(replay);
    const GameResult result = PlayGame([&replay] { return NewReplayPlayer(replay); }, replay,
                                       replay.seed, nullptr, &played);
    return JudgeReplay(replay, result, played);
}

ReplayVerdict JudgeReplay(const ReplayFile& replay, const GameResult& result,
                          const GameRecord& played) {
    const int64_t recorded = replay.result.decisions;
    ReplayVerdict v;
    v.played = result;
    if (replay.result.outcome == GameOutcome::FORFEIT &&
        v.played.outcome == GameOutcome::UNFINISHED && v.played.decisions == recorded) {
        v.played.outcome = GameOutcome::FORFEIT;
    }

    const size_t common = std::min(played.checks.size(), replay.record.checks.size());
    for (size_t i = 0; i < common; ++i) {
        if (played.checks[i] != replay.record.checks[i]) {
            v.partsAt = static_cast<int64_t>(i);
            v.how = "the game parts from the recording at decision " + std::to_string(i) +
                    " (counting from 0, taken after " + std::to_string(played.ticks[i] - 1) +
                    " ticks): the game after it is not the one recorded";
            return v;
        }
    }
    if (v.played.decisions > recorded) {
        v.partsAt = recorded;
        v.how = "the game goes on past the recording's last decision (" + std::to_string(recorded) +
                " decisions recorded)";
    } else if (v.played.decisions < recorded) {
        v.partsAt = v.played.decisions;
        v.how = "the game ends (" + ResultText(v.played) + ") at decision " +
                std::to_string(v.played.decisions) + " of the " + std::to_string(recorded) +
                " recorded";
    } else if (!SameResult(v.played, replay.result)) {
        v.partsAt = recorded;
        v.how = "the game parts from the recording after its last decision: recorded " +
                ResultText(replay.result) + "; played " + ResultText(v.played);
    } else {
        v.same = true;
        v.how = "the same game: seed " + std::to_string(replay.seed) + " " + ResultText(v.played);
    }
    return v;
}

}  // namespace gulper

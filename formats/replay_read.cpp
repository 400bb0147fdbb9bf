// Reading replay files: strict, and bounded before any memory is taken.
#include "formats/replay_file.h"

#include <algorithm>

#include "formats/input_file.h"
#include "formats/json_reader.h"
#include "game/settings.h"

namespace gulper {

namespace {

constexpr int HEX_PER_CHECK = 4;

GameOutcome ReadOutcome(JsonCursor& in) {
    const std::string name = in.String(16);
    GameOutcome outcome = GameOutcome::UNFINISHED;
    if (!OutcomeNamed(name, &outcome)) {
        in.Fail("the outcome is won, lost, unfinished or forfeit, not \"" + name + "\"");
    }
    return outcome;
}

GridPoint ReadCell(JsonCursor& in) {
    in.BeginArray();
    GridPoint c;
    for (int32_t* v : {&c.x, &c.y}) {
        if (!in.More()) {
            in.Fail("a cell has two coordinates");
        }
        *v = static_cast<int32_t>(in.Integer(-REPLAY_MAX_COORDINATE, REPLAY_MAX_COORDINATE));
    }
    if (in.More()) {
        in.Fail("a cell has two coordinates");
    }
    return c;
}

std::vector<GridPoint> ReadCells(JsonCursor& in) {
    std::vector<GridPoint> cells;
    in.BeginArray();
    while (in.More()) {
        if (cells.size() >= REPLAY_MAX_CELLS) {
            in.Fail("a plan lists more than " + std::to_string(REPLAY_MAX_CELLS) + " cells");
        }
        cells.push_back(ReadCell(in));
    }
    return cells;
}

AgentPlan ReadPlan(JsonCursor& in) {
    AgentPlan p;
    std::string key;
    in.BeginObject();
    while (in.NextKey(&key)) {
        if (key == "state") {
            p.state = in.String(REPLAY_MAX_STATE);
        } else if (key == "route") {
            p.route = ReadCells(in);
        } else if (key == "goal") {
            p.goal = ReadCell(in);
        } else if (key == "fleeing_from") {
            p.fleeingFrom = ReadCells(in);
        } else {
            in.Fail("a plan has no key \"" + key + "\"");
        }
    }
    return p;
}

void ReadResult(JsonCursor& in, GameResult& r) {
    std::string key;
    int seen = 0;
    in.BeginObject();
    while (in.NextKey(&key)) {
        ++seen;
        if (key == "outcome") {
            r.outcome = ReadOutcome(in);
        } else if (key == "score") {
            r.score = static_cast<int32_t>(in.Integer(0, INT32_MAX));
        } else if (key == "food_left") {
            r.foodLeft = static_cast<int32_t>(in.Integer(0, INT32_MAX));
        } else if (key == "ticks") {
            r.ticks = in.Integer(0, REPLAY_MAX_TICKS);
        } else if (key == "decisions") {
            r.decisions = in.Integer(0, REPLAY_MAX_DECISIONS);
        } else {
            in.Fail("the result has no key \"" + key + "\"");
        }
    }
    if (seen != 5) {
        in.Fail("the result gives outcome, score, food_left, ticks and decisions, once each");
    }
}

// The faults, at most one more than the decisions (the start's).
void ReadFaults(JsonCursor& in, std::vector<AgentFault>& faults, int64_t decisions) {
    in.BeginArray();
    while (in.More()) {
        if (static_cast<int64_t>(faults.size()) > decisions) {
            in.Fail("more faults than decisions");
        }
        AgentFault f;
        std::string key;
        in.BeginObject();
        while (in.NextKey(&key)) {
            if (key == "decision") {
                f.decision = in.Integer(-1, REPLAY_MAX_TICKS);
            } else if (key == "kind") {
                f.kind = in.String(REPLAY_MAX_DETAIL);
            } else if (key == "detail") {
                f.detail = in.String(REPLAY_MAX_DETAIL);
            } else {
                in.Fail("a fault has no key \"" + key + "\"");
            }
        }
        faults.push_back(std::move(f));
    }
}

std::vector<uint16_t> ChecksOf(JsonCursor& in, const std::string& hex) {
    if (hex.size() % HEX_PER_CHECK != 0) {
        in.Fail("the checks are 4 hexadecimal digits each");
    }
    std::vector<uint16_t> checks;
    checks.reserve(hex.size() / HEX_PER_CHECK);  // bounded by the text just read
    for (size_t i = 0; i < hex.size(); i += HEX_PER_CHECK) {
        unsigned v = 0;
        for (size_t j = i; j < i + HEX_PER_CHECK; ++j) {
            const char h = hex[j];
            const int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
            if (d < 0) {
                in.Fail("the checks hold \"" + std::string(1, h) + "\", not a hexadecimal digit");
            }
            v = v * 16 + static_cast<unsigned>(d);
        }
        checks.push_back(static_cast<uint16_t>(v));
    }
    return checks;
}

void ReadReplay(JsonCursor& in, ReplayFile& r) {
    std::string key;
    in.BeginObject();
    // The format and version first, so that another file or version is named as such.
    if (!in.NextKey(&key) || key != "format" || in.String(64) != REPLAY_FORMAT) {
        in.Fail("not a replay file (it starts with \"format\": \"gulper-replay\")");
    }
    if (!in.NextKey(&key) || key != "version") {
        in.Fail("the version follows the format");
    }
    const int64_t version = in.Integer(0, INT32_MAX);
    if (version != REPLAY_VERSION) {
        in.Fail("a replay file of version " + std::to_string(version) +
                "; this program reads version " + std::to_string(REPLAY_VERSION));
    }
    bool plans = false;
    ObjectKeys keys("a replay file", {"config_name", "config_text", "seed", "max_ticks", "agent",
                                      "result", "actions", "checks", "faults", "plans"});
    // Known once the result is read; what follows may hold no more than that many, so that
    // the memory taken is bounded by both the claim and the text.
    int64_t decisions = -1;
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        const bool perDecision =
            key == "actions" || key == "checks" || key == "faults" || key == "plans";
        if (perDecision && decisions < 0) {
            in.Fail("the result comes before \"" + key + "\"");
        }
        const size_t limit = static_cast<size_t>(std::max<int64_t>(decisions, 0));
        if (key == "config_name") {
            r.configPath = in.String(REPLAY_MAX_NAME);
        } else if (key == "config_text") {
            r.configText = in.String(SETTINGS_MAX_BYTES);
        } else if (key == "seed") {
            r.seed = static_cast<uint32_t>(in.Integer(0, UINT32_MAX));
        } else if (key == "max_ticks") {
            r.maxTicks = in.Integer(1, REPLAY_MAX_TICKS);
        } else if (key == "agent") {
            r.agent = in.String(REPLAY_MAX_NAME);
        } else if (key == "result") {
            ReadResult(in, r.result);
            decisions = r.result.decisions;
        } else if (key == "actions") {
            r.record.actions = in.String(limit);
            const size_t bad = r.record.actions.find_first_not_of("01234");
            if (bad != std::string::npos) {
                in.Fail("action " + std::to_string(bad) + " is \"" +
                        std::string(1, r.record.actions[bad]) + "\", not a digit 0 to 4");
            }
        } else if (key == "checks") {
            r.record.checks = ChecksOf(in, in.String(limit * HEX_PER_CHECK));
        } else if (key == "faults") {
            ReadFaults(in, r.result.faults, decisions);
        } else if (key == "plans") {
            plans = true;
            in.BeginArray();
            while (in.More()) {
                if (r.record.plans.size() >= limit) {
                    in.Fail("more plans than decisions");
                }
                r.record.plans.push_back(ReadPlan(in));
            }
        }
    }
    in.End();
    keys.Require(in, {"config_name", "config_text", "seed", "max_ticks", "agent", "result",
                      "actions", "checks"});
    // Every count against the others.
    const auto count = [](size_t n) { return std::to_string(n); };
    if (static_cast<int64_t>(r.record.actions.size()) != decisions) {
        in.Fail("the result has " + std::to_string(decisions) + " decisions but the file " +
                count(r.record.actions.size()) + " actions");
    }
    if (static_cast<int64_t>(r.record.checks.size()) != decisions) {
        in.Fail("the result has " + std::to_string(decisions) + " decisions but the file " +
                count(r.record.checks.size()) + " checks");
    }
    if (plans && static_cast<int64_t>(r.record.plans.size()) != decisions) {
        in.Fail("the result has " + std::to_string(decisions) + " decisions but the file " +
                count(r.record.plans.size()) + " plans");
    }
    if (r.result.ticks < decisions || r.result.ticks > r.maxTicks) {
        in.Fail("the result's ticks are fewer than its decisions or over the limit");
    }
    r.record.keepPlans = plans;
    r.result.seed = r.seed;
}

}  // namespace

bool ParseReplay(const std::string& text, ReplayFile* replay, std::string* error) {
    ReplayFile r;
    try {
        JsonCursor in(text);
        ReadReplay(in, r);
    } catch (const JsonError& e) {
        *error = e.what();
        return false;
    }
    *replay = std::move(r);
    return true;
}

// A replay file may come through a pipe (process substitution), read once with a bounded wait.
bool ReadReplayFile(const std::string& path, ReplayFile* replay, std::string* error) {
    ReplayFile r;
    const bool read = ParseInputFile(
        path, "the replay file", "a replay file this program plays", REPLAY_MAX_BYTES,
        InputFrom::FILE_OR_PIPE,
        [&r](const std::string& text) {
            JsonCursor in(text);
            ReadReplay(in, r);
        },
        error);
    if (read) {
        *replay = std::move(r);
    }
    return read;
}

}  // namespace gulper

// Writing replay files.
#include "formats/replay_file.h"

#include <algorithm>
#include <cstdio>

#include "formats/json_writer.h"
#include "formats/output_file.h"

namespace gulper {

namespace {

std::string Cell(const GridPoint& c) {
    const auto bounded = [](int32_t v) {
        return std::to_string(std::clamp(v, -REPLAY_MAX_COORDINATE, REPLAY_MAX_COORDINATE));
    };
    return "[" + bounded(c.x) + ", " + bounded(c.y) + "]";
}

std::string Cells(const std::vector<GridPoint>& cells) {
    std::string out = "[";
    for (size_t i = 0; i < cells.size() && i < REPLAY_MAX_CELLS; ++i) {
        out += (i > 0 ? ", " : "") + Cell(cells[i]);
    }
    return out + "]";
}

// A plan within the file's bounds: longer routes and lists are cut, coordinates clamped.
std::string PlanJson(const AgentPlan& p) {
    std::string out = "{\"state\": " + JsonString(p.state.substr(0, REPLAY_MAX_STATE)) +
                      ", \"route\": " + Cells(p.route);
    if (p.goal) {
        out += ", \"goal\": " + Cell(*p.goal);
    }
    return out + ", \"fleeing_from\": " + Cells(p.fleeingFrom) + "}";
}

}  // namespace

ReplayFile ReplayOf(const GameSettings& settings, GameRecord record, const GameResult& result) {
    ReplayFile r;
    static_cast<GameSettings&>(r) = settings;
    r.budgets = ExecBudgets();
    r.seed = result.seed;
    r.maxTicks = std::min(settings.maxTicks, REPLAY_MAX_TICKS);
    r.record = std::move(record);
    r.result = result;
    return r;
}

std::string ReplayPath(const std::string& dir, uint32_t seed) {
    return dir + "/seed-" + std::to_string(seed) + ".json";
}

bool ReplayText(const ReplayFile& r, std::string* text, std::string* error) {
    const GameResult& g = r.result;
    if (r.configPath.size() > REPLAY_MAX_NAME || r.agent.size() > REPLAY_MAX_NAME) {
        *error = "the settings file's or the agent's name is longer than a replay file keeps";
        return false;
    }
    std::string& out = *text;
    out = "{\"format\": " + JsonString(REPLAY_FORMAT) +
          ", \"version\": " + std::to_string(REPLAY_VERSION) +
          ",\n \"config_name\": " + JsonString(r.configPath) +
          ",\n \"config_text\": " + JsonString(r.configText) +
          ",\n \"seed\": " + std::to_string(r.seed) +
          ", \"max_ticks\": " + std::to_string(std::min(r.maxTicks, REPLAY_MAX_TICKS)) +
          ", \"agent\": " + JsonString(r.agent) +
          ",\n \"result\": {\"outcome\": " + JsonString(OutcomeName(g.outcome)) +
          ", \"score\": " + std::to_string(g.score) +
          ", \"food_left\": " + std::to_string(g.foodLeft) +
          ", \"ticks\": " + std::to_string(g.ticks) +
          ", \"decisions\": " + std::to_string(g.decisions) + "}" + ",\n \"actions\": \"" +
          r.record.actions + "\",\n \"checks\": \"";
    char hex[8];
    for (uint16_t c : r.record.checks) {
        std::snprintf(hex, sizeof hex, "%04x", c);
        out += hex;
    }
    out += "\",\n \"faults\": [";
    for (size_t i = 0; i < g.faults.size(); ++i) {
        const AgentFault& f = g.faults[i];
        out += std::string(i > 0 ? "," : "") + "\n  {\"decision\": " + std::to_string(f.decision) +
               ", \"kind\": " + JsonString(f.kind.substr(0, REPLAY_MAX_DETAIL)) +
               ", \"detail\": " + JsonString(f.detail.substr(0, REPLAY_MAX_DETAIL)) + "}";
    }
    out += "]";
    if (r.record.keepPlans) {
        out += ",\n \"plans\": [";
        for (size_t i = 0; i < r.record.plans.size(); ++i) {
            out += std::string(i > 0 ? "," : "") + "\n  " + PlanJson(r.record.plans[i]);
        }
        out += "]";
    }
    out += "}\n";
    if (out.size() > REPLAY_MAX_BYTES || g.decisions > REPLAY_MAX_DECISIONS) {
        *error = "the game of seed " + std::to_string(r.seed) + " (" + std::to_string(g.decisions) +
                 " decisions) is too long for a replay file";
        return false;
    }
    return true;
}

bool WriteReplayFile(const std::string& path, const ReplayFile& replay, std::string* error) {
    std::string text;
    if (!ReplayText(replay, &text, error)) {
        *error = "cannot record " + path + ": " + *error;
        return false;
    }
    return WriteWholeFile(path, text, error);
}

}  // namespace gulper

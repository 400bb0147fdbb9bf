// Writing the protocol's lines and reading the agent's answers.
#include "protocol/protocol.h"

#include <cctype>
#include <cstdio>

#include "formats/json_reader.h"
#include "formats/json_writer.h"
#include "game/maze.h"

namespace gulper {

namespace {

// A state: one word of at most MAX_AGENT_WORD letters, digits, '-' and '_'. A name: at most
// as many printable ASCII characters.
bool IsWord(const std::string& word, bool name) {
    if (word.empty() || word.size() > MAX_AGENT_WORD) {
        return false;
    }
    for (char c : word) {
        const bool ok = name ? c >= 0x20 && c < 0x7f
                             : std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

GridPoint ReadCell(JsonCursor& in) {
    in.BeginArray();
    int32_t xy[2] = {0, 0};
    int i = 0;
    for (; in.More(); ++i) {
        if (i >= 2) {
            in.Fail("a cell has two figures, column and row");
        }
        xy[i] = static_cast<int32_t>(in.Integer(0, i == 0 ? BOARD_COLUMNS - 1 : BOARD_ROWS - 1));
    }
    if (i != 2) {
        in.Fail("a cell has two figures, column and row");
    }
    return GridPoint(xy[0], xy[1]);
}

AgentPlan ReadPlan(JsonCursor& in) {
    AgentPlan plan;
    std::string key;
    in.BeginObject();
    while (in.NextKey(&key)) {
        if (key == "route") {
            plan.route.clear();
            in.BeginArray();
            while (in.More()) {
                if (plan.route.size() >= static_cast<size_t>(BOARD_CELLS)) {
                    in.Fail("a route of more cells than the board has");
                }
                plan.route.push_back(ReadCell(in));
            }
        } else if (key == "goal") {
            plan.goal = ReadCell(in);
        } else if (key == "state") {
            plan.state = in.String();
            if (!IsWord(plan.state, false)) {
                in.Fail("the state is one word of at most 32 letters, digits, '-' or '_'");
            }
        } else {
            in.Skip();
        }
    }
    return plan;
}

}  // namespace

std::string HelloLine(uint32_t seed, const GameSettings& s) {
    const ExecBudgets& b = s.budgets;
    return "{\"type\":\"hello\",\"protocol\":" + std::to_string(PROTOCOL_VERSION) +
           ",\"seed\":" + std::to_string(seed) + ",\"max_ticks\":" + std::to_string(s.maxTicks) +
           ",\"config\":" + JsonString(s.configPath) + ",\"settings\":" + JsonString(s.configText) +
           ",\"budgets\":{\"start_ms\":" + std::to_string(b.startMs) +
           ",\"decision_ms\":" + std::to_string(b.decisionMs) +
           ",\"overage_ms\":" + std::to_string(b.overageMs) +
           ",\"fault_limit\":" + std::to_string(b.faultLimit) +
           ",\"line_bytes\":" + std::to_string(b.lineBytes) + "}}\n";
}

std::string DecideLine(int64_t decision, const Observation& obs) {
    return "{\"type\":\"decide\",\"decision\":" + std::to_string(decision) +
           ",\"obs\":" + ObservationJson(obs) + "}\n";
}

std::string EndLine(const std::string& outcome, int32_t score, int64_t ticks) {
    return "{\"type\":\"end\",\"outcome\":" + JsonString(outcome) +
           ",\"score\":" + std::to_string(score) + ",\"ticks\":" + std::to_string(ticks) + "}\n";
}

bool ParseHelloAnswer(const std::string& line, HelloAnswer* answer, std::string* why) {
    *answer = HelloAnswer();
    try {
        JsonCursor in(line);
        std::string key;
        bool named = false;
        in.BeginObject();
        while (in.NextKey(&key)) {
            if (key == "name") {
                answer->named = true;
                answer->name = in.String();
                if (!IsWord(answer->name, true)) {
                    in.Fail("the name is at most 32 printable ASCII characters");
                }
                named = true;
            } else if (key == "protocol") {
                answer->protocol = static_cast<int>(in.Integer(1, PROTOCOL_VERSION));
            } else {
                in.Skip();
            }
        }
        in.End();
        if (!named) {
            *why = "the answer to hello has no \"name\"";
            return false;
        }
        return true;
    } catch (const JsonError& e) {
        *why = e.what();
        return false;
    }
}

bool ParseAnswer(const std::string& line, Answer* answer, std::string* why, int protocol) {
    // The decision stays set when what follows it fails, so that a bad answer to another
    // decision is known for one.
    *answer = Answer();
    try {
        JsonCursor in(line);
        size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] != '{') {
            answer->action = static_cast<int32_t>(in.Integer(0, ACTIONS - 1));
            in.End();
            return true;
        }
        std::string key;
        bool acted = false;
        in.BeginObject();
        while (in.NextKey(&key)) {
            if (key == "decision" && protocol >= 2) {
                answer->decision = in.Integer(0, INT64_C(1) << 52);
            } else if (key == "action") {
                answer->action = static_cast<int32_t>(in.Integer(0, ACTIONS - 1));
                acted = true;
            } else if (key == "plan") {
                answer->plan = ReadPlan(in);
                answer->hasPlan = true;
            } else {
                in.Skip();
            }
        }
        in.End();
        if (!acted) {
            *why = "the answer has no \"action\"";
            return false;
        }
        return true;
    } catch (const JsonError& e) {
        const int64_t decision = answer->decision;
        *answer = Answer();
        answer->decision = decision;
        *why = e.what();
        return false;
    }
}

}  // namespace gulper

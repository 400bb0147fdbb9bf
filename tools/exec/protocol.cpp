// Writing the protocol's lines and reading the agent's answers.
#include "tools/exec/protocol.h"

#include <cctype>
#include <cstdio>

#include "game/maze.h"
#include "tools/sim/json_cursor.h"

namespace {

// The length of the UTF-8 sequence at text[i], or 0 when there is none.
size_t Utf8Length(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    size_t n = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xc0) != 0x80) {
            return 0;
        }
    }
    // No overlong forms, surrogates or code points past U+10FFFF.
    const unsigned char d = byte(i + 1);
    if ((c == 0xe0 && d < 0xa0) || (c == 0xed && d >= 0xa0) || (c == 0xf0 && d < 0x90) ||
        (c == 0xf4 && d >= 0x90)) {
        return 0;
    }
    return n;
}

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

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const size_t n = Utf8Length(text, i)) {
            out.append(text, i, n);
            i += n;
        } else {
            out += "\\ufffd";
            ++i;
        }
    }
    return out + "\"";
}

std::string HelloLine(const GameStart& s) {
    const ExecBudgets& b = s.budgets;
    return "{\"type\":\"hello\",\"protocol\":" + std::to_string(PROTOCOL_VERSION) +
           ",\"seed\":" + std::to_string(s.seed) + ",\"max_ticks\":" + std::to_string(s.maxTicks) +
           ",\"config\":" + JsonText(s.configPath) + ",\"settings\":" + JsonText(s.configText) +
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
    return "{\"type\":\"end\",\"outcome\":" + JsonText(outcome) +
           ",\"score\":" + std::to_string(score) + ",\"ticks\":" + std::to_string(ticks) + "}\n";
}

bool ParseHelloAnswer(const std::string& line, std::string* name, std::string* why) {
    try {
        JsonCursor in(line);
        std::string key;
        bool named = false;
        in.BeginObject();
        while (in.NextKey(&key)) {
            if (key == "name") {
                *name = in.String();
                if (!IsWord(*name, true)) {
                    in.Fail("the name is at most 32 printable ASCII characters");
                }
                named = true;
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

bool ParseAnswer(const std::string& line, Answer* answer, std::string* why) {
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
            if (key == "action") {
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
        *why = e.what();
        return false;
    }
}

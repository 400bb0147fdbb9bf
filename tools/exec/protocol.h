// The line protocol's messages (docs/agent-protocol.md): the lines we send an outside agent
// and the reading of its answers. Every answer is hostile: its numbers, cells and words are
// checked, and anything out of place makes the whole answer invalid.
#pragma once

#include <cstdint>
#include <string>

#include "tools/agents/agent_registry.h"
#include "tools/exec/budgets.h"
#include "tools/sim/observation.h"

constexpr int PROTOCOL_VERSION = 1;
// The longest name and state word an agent may give.
constexpr size_t MAX_AGENT_WORD = 32;

// What an agent is told at the start of each game.
struct GameStart {
    uint32_t seed = 0;
    int64_t maxTicks = 0;
    std::string configPath;
    std::string configText;
    ExecBudgets budgets;
};

std::string HelloLine(const GameStart& start);
std::string DecideLine(int64_t decision, const Observation& obs);
std::string EndLine(const std::string& outcome, int32_t score, int64_t ticks);

// A JSON string literal of `text`, in UTF-8: bytes that are not UTF-8 become U+FFFD.
std::string JsonText(const std::string& text);

// The answer to a hello: {"name": "..."}. False, with why, when it is not one.
bool ParseHelloAnswer(const std::string& line, std::string* name, std::string* why);

struct Answer {
    int32_t action = 0;
    bool hasPlan = false;
    AgentPlan plan;
};

// The answer to a decide: {"action": A, "plan": {...}} or a bare action. False, with why,
// when it is neither.
bool ParseAnswer(const std::string& line, Answer* answer, std::string* why);

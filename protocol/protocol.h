// The line protocol's messages (docs/agent-protocol.md): the lines we send an exec agent
// and the reading of its answers. Every answer is hostile: its numbers, cells and words are
// checked, and anything out of place makes the whole answer invalid.
#pragma once

#include <cstdint>
#include <string>

#include "episode/observation.h"
#include "episode/player.h"
#include "episode/settings.h"

namespace gulper {

// The newest version we speak, which the hello offers; an agent answers with the one it speaks
// (1 when it says none).
constexpr int PROTOCOL_VERSION = 2;
// The longest name and state word an agent may give.
constexpr size_t MAX_AGENT_WORD = 32;

// What an agent is told at the start of each game.
std::string HelloLine(uint32_t seed, const GameSettings& settings);
std::string DecideLine(int64_t decision, const Observation& obs);
std::string EndLine(const std::string& outcome, int32_t score, int64_t ticks);

struct HelloAnswer {
    std::string name;
    int protocol = 1;
    // Whether the line has a "name" at all: only such a line is taken for the answer, so
    // that anything the agent writes before it is a stray, not a failed hello.
    bool named = false;
};

// The answer to a hello: {"name": "...", "protocol": 2}. False, with why, when it is not one.
bool ParseHelloAnswer(const std::string& line, HelloAnswer* answer, std::string* why);

struct Answer {
    // The decision it answers, as a protocol 2 answer echoes it; -1 when it says none.
    int64_t decision = -1;
    int32_t action = 0;
    bool hasPlan = false;
    AgentPlan plan;
};

// The answer to a decide: {"decision": D, "action": A, "plan": {...}} or a bare action. False, with
// why, when it is neither; the decision stays set when it was read before the fault. Under
// version 1 "decision" is a member like any other, not read.
bool ParseAnswer(const std::string& line, Answer* answer, std::string* why,
                 int protocol = PROTOCOL_VERSION);

}  // namespace gulper

// Where the agent's log goes.
#include "agent/agent_log.h"

#include <iostream>

namespace {
std::ostream* logStream = &std::cout;
}  // namespace

std::ostream& AgentLog() {
    return *logStream;
}

void SetAgentLog(std::ostream* out) {
    logStream = out != nullptr ? out : &std::cout;
}

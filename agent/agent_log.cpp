// Where the agent's log goes.
#include "agent/agent_log.h"

#include <iostream>

namespace {
// Per thread, as the game the agent plays is.
thread_local std::ostream* logStream = &std::cout;
}  // namespace

std::ostream& AgentLog() {
    return *logStream;
}

void SetAgentLog(std::ostream* out) {
    logStream = out != nullptr ? out : &std::cout;
}

std::ostream& DiscardedLog() {
    // No buffer: the stream is bad from the start, so every output to it stops at its sentry
    // and no number is ever formatted. One a thread: each use writes its state.
    thread_local std::ostream discarded(nullptr);
    return discarded;
}

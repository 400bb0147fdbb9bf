// The agent's console log: one stream, standard output unless redirected.
#pragma once

#include <ostream>

// Where the agent writes its reasoning: standard output unless redirected (tests, the
// simulator and the benchmarks send it elsewhere).
std::ostream& AgentLog();
// Null restores standard output.
void SetAgentLog(std::ostream* out);
// A stream that swallows everything, for runs whose log nobody reads.
std::ostream& DiscardedLog();

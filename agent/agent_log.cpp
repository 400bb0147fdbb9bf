// Where the agent's log goes.
#include "agent/agent_log.h"

#include <iostream>
#include <streambuf>

namespace {
std::ostream* logStream = &std::cout;

class DiscardingBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
}  // namespace

std::ostream& AgentLog() {
    return *logStream;
}

void SetAgentLog(std::ostream* out) {
    logStream = out != nullptr ? out : &std::cout;
}

std::ostream& DiscardedLog() {
    static DiscardingBuffer buffer;
    static std::ostream discarded(&buffer);
    return discarded;
}

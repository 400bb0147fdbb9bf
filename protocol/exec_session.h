// The program behind an exec agent, kept for a run of games: started afresh when it is not
// running, with its pipes, its standard error's sink and the answers it still owes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "process/budgets.h"
#include "process/child_process.h"
#include "process/error_sink.h"
#include "process/line_channel.h"

namespace gulper {

// One program under one exec name, for as many games as it plays well.
class ExecSession {
  public:
    explicit ExecSession(std::string command) : command(std::move(command)) {}

    const std::string command;
    ChildProcess child;
    std::unique_ptr<ErrorSink> errors;
    std::unique_ptr<LineChannel> channel;
    // Answers still to come for decisions whose time ran out: the next lines are theirs.
    int64_t owed = 0;

    // The program running, fresh when it is not; false, with why, when it cannot be started.
    bool Ready(const ExecBudgets& b, std::string* why) {
        if (child.Running() && !child.HasEnded()) {
            return true;
        }
        child.Kill();
        errors = std::make_unique<ErrorSink>(b.errorTo, b.errorBytes);
        channel = std::make_unique<LineChannel>(child, *errors, static_cast<size_t>(b.lineBytes));
        owed = 0;
        // A Python agent's print() reaches us line by line without a flush of its own.
        return child.Start(command, {"PYTHONUNBUFFERED=1"}, why);
    }
    // How it ended, for a fault's detail, once it has.
    std::string Gone() {
        const std::string how = child.Kill();
        return "the agent " + how;
    }
    void Stop() {
        if (child.Running()) {
            child.Stop(500);
        }
    }
};

}  // namespace gulper

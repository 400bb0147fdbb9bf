// A program started through /bin/sh -c in a process group of its own, with its standard input,
// output and error as pipes. Our ends are non-blocking and close-on-exec. Between us and the
// program stands its keeper (keeper.h), the subreaper of all it starts: stopping the program
// ends and reaps its whole tree, setsid or not, and so does our own death, however it comes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "process/keeper.h"

namespace gulper {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False, with the reason, when the pipes or the keeper cannot be made. A program that
    // cannot be started shows as one that has ended. It has our environment, with each
    // NAME=VALUE of `added` whose NAME we do not set.
    bool Start(const std::string& command, const std::vector<std::string>& added,
               std::string* error);
    bool Start(const std::string& command, std::string* error) { return Start(command, {}, error); }
    bool Running() const { return keeper > 0; }
    // Our ends: what we write to its input, read from its output and its error; -1 once closed.
    int Input() const { return in; }
    int Output() const { return out; }
    int Error() const { return err; }
    void CloseInput();

    // Ends it: its input closed, `graceMs` to leave by itself, then SIGTERM to its group and as
    // long again, then SIGKILL to the group and to everything else of its tree; all reaped.
    // Returns how the program ended ("exited with status 0", ...).
    std::string Stop(int graceMs = 200);
    // Ends it at once: SIGKILL to its whole tree, reaped.
    std::string Kill() { return Stop(0); }
    // Whether the program itself has ended (its tree may still run until it is stopped).
    bool HasEnded() const;

  private:
    // Waits up to `ms` for the program to end.
    bool AwaitEnd(int ms) const;
    void CloseAll();

    pid_t keeper = -1;
    int in = -1;
    int out = -1;
    int err = -1;
    int control = -1;  // to the keeper: closing it ends the tree
    int status = -1;   // from the keeper: the KeeperReport when the program has ended
    // The report as far as it has come; `ended` once it is whole, or the keeper is gone.
    mutable KeeperReport report;
    mutable size_t reportBytes = 0;
    mutable bool ended = false;
};

}  // namespace gulper

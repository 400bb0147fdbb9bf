// A program started through /bin/sh -c as a child in a process group of its own, with its
// standard input, output and error as pipes. Our ends are non-blocking and close-on-exec;
// stopping it ends its whole group, whatever it forked, and reaps it.
#pragma once

#include <sys/types.h>

#include <string>

namespace gulper {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False, with the reason, when the pipes or the process cannot be made.
    bool Start(const std::string& command, std::string* error);
    bool Running() const { return pid > 0; }
    pid_t Pid() const { return pid; }
    // Our ends: what we write to its input, read from its output and its error; -1 once closed.
    int Input() const { return in; }
    int Output() const { return out; }
    int Error() const { return err; }
    void CloseInput();

    // Ends it: its input closed, `graceMs` to leave by itself, then SIGTERM to its group and as
    // long again, then SIGKILL to the group; reaped. The group is killed in any case, so a
    // child it left behind goes too. Returns how it ended ("exited with status 0", ...).
    std::string Stop(int graceMs = 200);
    // Ends it at once: SIGKILL to the group, reaped.
    std::string Kill() { return Stop(0); }
    // Whether the program itself has ended (it stays unreaped, so its group id stays its own).
    bool HasEnded() const;

  private:
    // Waits up to `ms` for the program to end, without reaping it.
    bool AwaitEnd(int ms) const;
    void CloseAll();

    pid_t pid = -1;
    int in = -1;
    int out = -1;
    int err = -1;
};

}  // namespace gulper

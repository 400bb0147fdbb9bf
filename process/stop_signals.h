// Processes to end when this one is stopped by SIGINT, SIGTERM or SIGHUP: agents' keepers and
// worker processes (told to stop with SIGTERM: a keeper ends its agent's tree, a worker its own
// agents), or process groups (killed).
// Nothing may outlive a stopped run. A signal the program already handles is left to it.
#pragma once

#include <signal.h>
#include <sys/types.h>

namespace gulper {

// Adds a target: a process group (killed with SIGKILL) or a process (sent SIGTERM). Installs
// the handlers on first use. Holds a fixed number of targets; false when they are all taken.
bool AddStopTarget(pid_t pid, bool group);
void RemoveStopTarget(pid_t pid);
// In a freshly forked worker: the parent's targets are not this process's to end.
void ForgetStopTargets();

// Blocks SIGINT and SIGTERM while a child is started and entered as a target, so that none
// is missed; restores the mask when it goes out of scope.
class StopSignalsHeld {
  public:
    StopSignalsHeld();
    ~StopSignalsHeld() { Release(); }
    // Restores the mask now (in a forked child, which never leaves the scope).
    void Release();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

  private:
    sigset_t saved;
    bool held = true;
};

// For a child about to exec: the default actions and an open mask again.
void ResetSignalsForChild();

}  // namespace gulper

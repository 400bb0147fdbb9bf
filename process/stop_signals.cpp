// The stop handler: ends every registered target, then dies of the signal it was given.
#include "process/stop_signals.h"

#include <pthread.h>
#include <signal.h>

#include <cstring>
#include <initializer_list>

namespace gulper {

namespace {

constexpr int MAX_TARGETS = 1100;  // every worker and every agent a process may hold

// Read by the handler: plain words, written whole.
volatile sig_atomic_t targets[MAX_TARGETS];  // pid, negated for a group; 0 is free
volatile sig_atomic_t handlerInstalled = 0;

void OnStop(int sig) {
    for (int i = 0; i < MAX_TARGETS; ++i) {
        const pid_t t = targets[i];
        if (t < 0) {
            ::kill(t, SIGKILL);
        } else if (t > 0) {
            ::kill(t, SIGTERM);
        }
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void Install() {
    if (handlerInstalled) {
        return;
    }
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnStop;
    sigfillset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old;
        // A signal this process was told to ignore (nohup) stays so, and one the program
        // handles itself (the viewer's window turns it into a close) leaves through the
        // program's own way out, which ends the agents.
        if (::sigaction(sig, nullptr, &old) == 0 && (old.sa_flags & SA_SIGINFO) == 0 &&
            old.sa_handler == SIG_DFL) {
            ::sigaction(sig, &action, nullptr);
        }
    }
    handlerInstalled = 1;
}

}  // namespace

bool AddStopTarget(pid_t pid, bool group) {
    Install();
    for (int i = 0; i < MAX_TARGETS; ++i) {
        if (targets[i] == 0) {
            targets[i] = group ? -pid : pid;
            return true;
        }
    }
    return false;
}

void RemoveStopTarget(pid_t pid) {
    for (int i = 0; i < MAX_TARGETS; ++i) {
        if (targets[i] == pid || targets[i] == -pid) {
            targets[i] = 0;
        }
    }
}

void ForgetStopTargets() {
    for (int i = 0; i < MAX_TARGETS; ++i) {
        targets[i] = 0;
    }
}

StopSignalsHeld::StopSignalsHeld() {
    sigset_t hold;
    sigemptyset(&hold);
    sigaddset(&hold, SIGINT);
    sigaddset(&hold, SIGTERM);
    sigaddset(&hold, SIGHUP);
    ::pthread_sigmask(SIG_BLOCK, &hold, &saved);
}

void StopSignalsHeld::Release() {
    if (held) {
        held = false;
        ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    }
}

void ResetSignalsForChild() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) {
        ::signal(sig, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace gulper

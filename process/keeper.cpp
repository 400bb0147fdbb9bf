// The keeper of an agent's process tree. Everything here runs in a forked child, so it calls
// the kernel and nothing that allocates or locks.
#include "process/keeper.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "process/stop_signals.h"

namespace gulper {

namespace {

volatile sig_atomic_t stopAsked = 0;

void OnTerminate(int) {
    stopAsked = 1;
}

void OnChild(int) {}  // only wakes ppoll

void Report(int status, KeeperReport::Kind kind, int32_t value) {
    const KeeperReport report{kind, value};
    while (::write(status, &report, sizeof report) < 0 && errno == EINTR) {
    }
}

void ReportWaitStatus(int status, int waitStatus) {
    if (WIFSIGNALED(waitStatus)) {
        Report(status, KeeperReport::KILLED, WTERMSIG(waitStatus));
    } else {
        Report(status, KeeperReport::EXITED, WEXITSTATUS(waitStatus));
    }
}

// The parent of process `pid` read from /proc/PID/stat, or -1.
pid_t ParentOf(const char* pid) {
    char path[64] = "/proc/";
    size_t n = 6;
    for (const char* c = pid; *c != '\0' && n < 40; ++c) {
        path[n++] = *c;
    }
    for (const char* c = "/stat"; *c != '\0'; ++c) {
        path[n++] = *c;
    }
    path[n] = '\0';
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    char text[1024];
    const ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0) {
        return -1;
    }
    // "PID (NAME) S PPID ...": the name may hold anything, so the last ')' ends it.
    ssize_t at = got - 1;
    while (at >= 0 && text[at] != ')') {
        --at;
    }
    at += 4;  // ") S "
    if (at >= got) {
        return -1;
    }
    pid_t parent = 0;
    for (; at < got && text[at] >= '0' && text[at] <= '9'; ++at) {
        parent = parent * 10 + (text[at] - '0');
    }
    return parent;
}

// SIGKILL to every process whose parent is this one: the program, and whatever of its tree
// was left to us when its parent died.
void KillChildren() {
    const int dir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        return;
    }
    const pid_t self = ::getpid();
    alignas(8) char entries[8192];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, dir, entries, sizeof entries);
        if (got <= 0) {
            break;
        }
        for (long at = 0; at < got;) {
            // struct linux_dirent64: inode, offset, record length, type, name.
            unsigned short length;
            __builtin_memcpy(&length, entries + at + 16, sizeof length);
            const char* name = entries + at + 19;
            if (name[0] >= '1' && name[0] <= '9' && ParentOf(name) == self) {
                pid_t pid = 0;
                for (const char* c = name; *c >= '0' && *c <= '9'; ++c) {
                    pid = pid * 10 + (*c - '0');
                }
                ::kill(pid, SIGKILL);
            }
            at += length;
        }
    }
    ::close(dir);
}

}  // namespace

void KeeperMain(const char* const argv[], const char* const envp[], int in, int out, int err,
                int control, int status) {
    const pid_t keeper = ::getpid();
    // A stop signal to our whole group (a terminal's ^C) must not end the keeper before the
    // tree it keeps: INT and HUP are left to the parent, TERM and CHLD wake the wait below.
    ::signal(SIGINT, SIG_IGN);
    ::signal(SIGHUP, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    ::sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = OnChild;
    ::sigaction(SIGCHLD, &action, nullptr);
    sigset_t held, open;
    sigemptyset(&held);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGCHLD);
    sigemptyset(&open);
    ::sigprocmask(SIG_SETMASK, &held, nullptr);
    // Orphans of the program's tree come to us, not to init.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);

    const pid_t agent = ::fork();
    if (agent == 0) {
        ::setpgid(0, 0);
        // If we are gone, so is the program: the signal reaches it even past an exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
        if (::getppid() != keeper) {
            ::_exit(127);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        // Nothing else of ours stays open in the agent (an output file, a worker's pipe).
        if (::close_range(3, ~0U, 0) != 0) {
            for (int fd = 3; fd < 65536; ++fd) {
                ::close(fd);
            }
        }
        ResetSignalsForChild();
        ::execve("/bin/sh", const_cast<char* const*>(argv), const_cast<char* const*>(envp));
        ::_exit(127);
    }
    if (agent < 0) {
        Report(status, KeeperReport::NOT_STARTED, errno);
        ::_exit(0);
    }
    ::setpgid(agent, agent);  // also here, so that it holds before we signal the group
    // The keeper holds nothing of the program's pipes, so that their ends close when the
    // program's do, and of ours only its own two.
    const int low = control < status ? control : status;
    const int high = control < status ? status : control;
    if ((low > 3 && ::close_range(3, static_cast<unsigned>(low - 1), 0) != 0) ||
        (high > low + 1 &&
         ::close_range(static_cast<unsigned>(low + 1), static_cast<unsigned>(high - 1), 0) != 0) ||
        ::close_range(static_cast<unsigned>(high + 1), ~0U, 0) != 0) {
        for (int fd = 3; fd < 65536; ++fd) {
            if (fd != control && fd != status) {
                ::close(fd);
            }
        }
    }
    for (int fd : {in, out, err}) {
        if (fd < 3) {
            ::close(fd);
        }
    }
    bool reported = false;
    while (!stopAsked) {
        if (!reported) {
            siginfo_t info{};
            // Not reaped: while it stays a zombie its group id cannot be anyone else's.
            if (::waitid(P_PID, static_cast<id_t>(agent), &info, WEXITED | WNOHANG | WNOWAIT) ==
                    0 &&
                info.si_pid == agent) {
                Report(status,
                       info.si_code == CLD_EXITED ? KeeperReport::EXITED : KeeperReport::KILLED,
                       info.si_status);
                reported = true;
            }
        }
        pollfd wait = {control, POLLIN, 0};
        if (::ppoll(&wait, 1, nullptr, &open) > 0) {
            char command = 0;
            const ssize_t n = ::read(control, &command, 1);
            if (n == 1 && command == KEEPER_TERMINATE) {
                ::kill(-agent, SIGTERM);
            } else if ((n == 1 && command == KEEPER_END) || n == 0 ||
                       (n < 0 && errno != EINTR && errno != EAGAIN)) {
                break;  // asked, or closed by our parent's death
            }
        }
    }
    // The program's group first, while its id is still the program's; then every child we
    // have, again and again, as each one killed leaves its own children to us.
    ::kill(-agent, SIGKILL);
    for (;;) {
        KillChildren();
        int waitStatus = 0;
        const pid_t ended = ::waitpid(-1, &waitStatus, 0);
        if (ended < 0 && errno == EINTR) {
            continue;
        }
        if (ended < 0) {
            break;  // ECHILD: the tree is gone
        }
        if (ended == agent && !reported) {
            ReportWaitStatus(status, waitStatus);
            reported = true;
        }
    }
    ::_exit(0);
}

}  // namespace gulper

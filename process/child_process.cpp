// Starting, watching and ending a child program and its process group.
#include "process/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "process/stop_signals.h"

namespace gulper {

namespace {

bool MakePipe(int fds[2], std::string* error) {
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe for the agent: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

std::string HowEnded(int status) {
    if (WIFSIGNALED(status)) {
        return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "exited with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

bool ChildProcess::Start(const std::string& command, std::string* error) {
    Stop(0);
    // A program that dies must show as a failed write (EPIPE), not end this process.
    ::signal(SIGPIPE, SIG_IGN);
    int input[2] = {-1, -1}, output[2] = {-1, -1}, errors[2] = {-1, -1};
    if (!MakePipe(input, error) || !MakePipe(output, error) || !MakePipe(errors, error)) {
        for (int fd : {input[0], input[1], output[0], output[1], errors[0], errors[1]}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        return false;
    }
    const char* const argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t child;
    {
        // No stop signal between the fork and the child's entry as a target.
        StopSignalsHeld held;
        child = ::fork();
        if (child == 0) {
            // Only async-signal-safe calls from here to exec: the parent may have threads.
            ::setpgid(0, 0);
            ::dup2(input[0], STDIN_FILENO);
            ::dup2(output[1], STDOUT_FILENO);
            ::dup2(errors[1], STDERR_FILENO);
            // Nothing else of ours stays open in the agent (an output file, a worker's pipe).
            if (::close_range(3, ~0U, 0) != 0) {
                for (int fd = 3; fd < 65536; ++fd) {
                    ::close(fd);
                }
            }
            ResetSignalsForChild();
            ::execv("/bin/sh", const_cast<char* const*>(argv));
            ::_exit(127);
        }
        if (child > 0) {
            ::setpgid(child, child);  // also here, so that it holds before we signal it
            AddStopTarget(child, true);
        }
    }
    ::close(input[0]);
    ::close(output[1]);
    ::close(errors[1]);
    if (child < 0) {
        *error = std::string("cannot start the agent: ") + std::strerror(errno);
        for (int fd : {input[1], output[0], errors[0]}) {
            ::close(fd);
        }
        return false;
    }
    pid = child;
    in = input[1];
    out = output[0];
    err = errors[0];
    for (int fd : {in, out, err}) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void ChildProcess::CloseInput() {
    CloseFd(in);
}

void ChildProcess::CloseAll() {
    CloseFd(in);
    CloseFd(out);
    CloseFd(err);
}

bool ChildProcess::HasEnded() const {
    if (pid <= 0) {
        return true;
    }
    siginfo_t info;
    std::memset(&info, 0, sizeof info);
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

bool ChildProcess::AwaitEnd(int ms) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!HasEnded()) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::string ChildProcess::Stop(int graceMs) {
    if (pid <= 0) {
        CloseAll();
        return "was not running";
    }
    CloseFd(in);
    if (graceMs > 0 && !AwaitEnd(graceMs)) {
        ::kill(-pid, SIGTERM);
        AwaitEnd(graceMs);
    }
    // The program is unreaped here, so the group's id is still its own: nothing else can
    // have taken it.
    ::kill(-pid, SIGKILL);
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(pid, &status, 0);
    } while (got < 0 && errno == EINTR);
    RemoveStopTarget(pid);
    pid = -1;
    CloseAll();
    return got > 0 ? HowEnded(status) : "was lost";
}

}  // namespace gulper

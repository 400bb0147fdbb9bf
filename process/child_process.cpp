// Starting, watching and ending a child program through its keeper.
#include "process/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

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

std::string HowEnded(const KeeperReport& r, bool whole) {
    if (!whole) {
        return "was lost";
    }
    switch (r.kind) {
        case KeeperReport::EXITED:
            return "exited with status " + std::to_string(r.value);
        case KeeperReport::KILLED:
            return std::string("was killed by signal ") + std::to_string(r.value) + " (" +
                   strsignal(r.value) + ")";
        default:
            return std::string("could not be started: ") + std::strerror(r.value);
    }
}

}  // namespace

bool ChildProcess::Start(const std::string& command, const std::vector<std::string>& added,
                         std::string* error) {
    Stop(0);
    // A program that dies must show as a failed write (EPIPE), not end this process.
    ::signal(SIGPIPE, SIG_IGN);
    int pipes[5][2];
    int made = 0;
    for (; made < 5; ++made) {
        if (!MakePipe(pipes[made], error)) {
            for (int i = 0; i < made; ++i) {
                ::close(pipes[i][0]);
                ::close(pipes[i][1]);
            }
            return false;
        }
    }
    int(&input)[2] = pipes[0];
    int(&output)[2] = pipes[1];
    int(&errors)[2] = pipes[2];
    int(&commands)[2] = pipes[3];
    int(&reports)[2] = pipes[4];
    const char* const argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    // Made before the fork: the keeper may not allocate.
    std::vector<const char*> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.push_back(*e);
    }
    for (const std::string& pair : added) {
        const std::string name = pair.substr(0, pair.find('=') + 1);
        if (std::getenv(name.substr(0, name.size() - 1).c_str()) == nullptr) {
            environment.push_back(pair.c_str());
        }
    }
    environment.push_back(nullptr);
    pid_t child;
    {
        // No stop signal between the fork and the keeper's entry as a target.
        StopSignalsHeld held;
        child = ::fork();
        if (child == 0) {
            KeeperMain(argv, environment.data(), input[0], output[1], errors[1], commands[0],
                       reports[1]);
        }
        if (child > 0) {
            AddStopTarget(child, false);
        }
    }
    for (int fd : {input[0], output[1], errors[1], commands[0], reports[1]}) {
        ::close(fd);
    }
    if (child < 0) {
        *error = std::string("cannot start the agent: ") + std::strerror(errno);
        for (int fd : {input[1], output[0], errors[0], commands[1], reports[0]}) {
            ::close(fd);
        }
        return false;
    }
    keeper = child;
    in = input[1];
    out = output[0];
    err = errors[0];
    control = commands[1];
    status = reports[0];
    report = KeeperReport();
    reportBytes = 0;
    ended = false;
    for (int fd : {in, out, err, status}) {
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
    CloseFd(control);
    CloseFd(status);
}

bool ChildProcess::HasEnded() const {
    if (keeper <= 0 || ended) {
        return true;
    }
    char* into = reinterpret_cast<char*>(&report) + reportBytes;
    const ssize_t n = ::read(status, into, sizeof report - reportBytes);
    if (n > 0) {
        reportBytes += static_cast<size_t>(n);
        ended = reportBytes == sizeof report;
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        ended = true;  // the keeper is gone without a word
    }
    return ended;
}

bool ChildProcess::AwaitEnd(int ms) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!HasEnded()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return false;
        }
        pollfd wait = {status, POLLIN, 0};
        ::poll(&wait, 1, static_cast<int>(left) + 1);
    }
    return true;
}

std::string ChildProcess::Stop(int graceMs) {
    if (keeper <= 0) {
        CloseAll();
        return "was not running";
    }
    CloseFd(in);
    if (graceMs > 0 && !AwaitEnd(graceMs)) {
        const char terminate = KEEPER_TERMINATE;
        if (::write(control, &terminate, 1) == 1) {
            AwaitEnd(graceMs);
        }
    }
    // The keeper kills and reaps the whole tree, and exits.
    const char end = KEEPER_END;
    while (::write(control, &end, 1) < 0 && errno == EINTR) {
    }
    CloseFd(control);
    pid_t got;
    do {
        got = ::waitpid(keeper, nullptr, 0);
    } while (got < 0 && errno == EINTR);
    RemoveStopTarget(keeper);
    keeper = -1;
    if (!ended) {
        // Everything the keeper wrote is in the pipe now.
        const int flags = ::fcntl(status, F_GETFL);
        ::fcntl(status, F_SETFL, flags & ~O_NONBLOCK);
        while (reportBytes < sizeof report) {
            const ssize_t n = ::read(status, reinterpret_cast<char*>(&report) + reportBytes,
                                     sizeof report - reportBytes);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            reportBytes += static_cast<size_t>(n);
        }
    }
    ended = true;
    CloseAll();
    return got > 0 ? HowEnded(report, reportBytes == sizeof report) : "was lost";
}

}  // namespace gulper

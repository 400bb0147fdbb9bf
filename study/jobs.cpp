// Worker processes for headless games: the parent hands each worker task numbers over one
// pipe, two ahead so that none waits, and reads one frame per game from another; it checks
// every frame and hands the games on in task order. Handing out tasks as workers finish keeps
// every core busy when one agent is much slower than another.
#include "study/jobs.h"
#include "study/jobs_worker.h"

#include "process/stop_signals.h"
#include "study/result_frame.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>

namespace gulper {

namespace {

// A worker that sends nothing for this long is taken to be stuck.
constexpr auto SILENCE_LIMIT = std::chrono::minutes(10);

struct Worker {
    pid_t pid = -1;
    int fd = -1;               // its results
    int commands = -1;         // its tasks
    std::deque<size_t> given;  // tasks handed to it and not yet back, oldest first
    std::string buffer;
};

std::string Ended(pid_t pid) {
    int status = 0;
    RemoveStopTarget(pid);
    if (::waitpid(pid, &status, 0) != pid) {
        return "was lost";
    }
    if (WIFSIGNALED(status)) {
        return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "exited with status " + std::to_string(WEXITSTATUS(status));
}

class Pool {
  public:
    // A worker that died must show as a failed write to its pipe, not end this process.
    Pool(const std::vector<GameTask>& tasks, size_t count)
        : tasks(tasks), count(count), oldPipeAction(::signal(SIGPIPE, SIG_IGN)) {}
    ~Pool() {
        for (Worker& w : workers) {
            CloseCommands(w);
            if (w.fd >= 0) {
                ::close(w.fd);
            }
            if (w.pid > 0) {
                ::kill(w.pid, SIGTERM);
                ::waitpid(w.pid, nullptr, 0);
                RemoveStopTarget(w.pid);
            }
        }
        ::signal(SIGPIPE, oldPipeAction);
    }

    bool Start(const std::vector<SimSettings>& arms, bool keepLogs, std::string* error) {
        std::fflush(nullptr);
        const pid_t parent = ::getpid();
        for (size_t i = 0; i < count; ++i) {
            // Close-on-exec: a program an agent starts must not hold a worker's pipes open.
            int results[2], commands[2];
            if (::pipe2(results, O_CLOEXEC) != 0) {
                *error = std::string("cannot make a pipe for a worker: ") + std::strerror(errno);
                return false;
            }
            if (::pipe2(commands, O_CLOEXEC) != 0) {
                ::close(results[0]);
                ::close(results[1]);
                *error = std::string("cannot make a pipe for a worker: ") + std::strerror(errno);
                return false;
            }
            // A stop signal between the fork and the entry as a target would leave it running.
            StopSignalsHeld held;
            const pid_t pid = ::fork();
            if (pid > 0) {
                AddStopTarget(pid, false);
            }
            if (pid < 0) {
                for (int fd : {results[0], results[1], commands[0], commands[1]}) {
                    ::close(fd);
                }
                *error = std::string("cannot start a worker: ") + std::strerror(errno);
                return false;
            }
            if (pid == 0) {
                ForgetStopTargets();
                // A parent killed outright stops its workers as a stop signal would, so that
                // they end their agents rather than play on.
                ::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
                if (::getppid() != parent) {
                    ::_exit(1);
                }
                held.Release();
                ::signal(SIGPIPE, SIG_IGN);
                ::close(results[0]);
                ::close(commands[1]);
                for (const Worker& w : workers) {
                    ::close(w.fd);
                    ::close(w.commands);
                }
                WorkerMain(arms, tasks, keepLogs, commands[0], results[1]);
            }
            ::close(results[1]);
            ::close(commands[0]);
            Worker w;
            w.pid = pid;
            w.fd = results[0];
            w.commands = commands[1];
            workers.push_back(std::move(w));
        }
        // Two tasks each, so that a worker has the next at hand when it sends a result.
        for (int round = 0; round < 2; ++round) {
            for (Worker& w : workers) {
                if (!Give(w, error)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool Run(const GameSink& sink, std::string* error) {
        std::map<size_t, PlayedGame> waiting;
        size_t nextOut = 0;
        auto heard = std::chrono::steady_clock::now();
        while (nextOut < tasks.size()) {
            std::vector<pollfd> fds;
            std::vector<Worker*> who;
            for (Worker& w : workers) {
                if (w.fd >= 0) {
                    fds.push_back({w.fd, POLLIN, 0});
                    who.push_back(&w);
                }
            }
            if (fds.empty()) {
                *error = "the workers stopped before every game was played";
                return false;
            }
            const int ready = ::poll(fds.data(), fds.size(), 1000);
            if (ready < 0 && errno != EINTR) {
                *error = std::string("waiting for the workers failed: ") + std::strerror(errno);
                return false;
            }
            if (ready <= 0) {
                if (std::chrono::steady_clock::now() - heard > SILENCE_LIMIT) {
                    *error = "no game finished for 10 minutes; the workers are ended";
                    return false;
                }
                continue;
            }
            heard = std::chrono::steady_clock::now();
            for (size_t i = 0; i < fds.size(); ++i) {
                if (fds[i].revents != 0 && !Read(*who[i], waiting, error)) {
                    return false;
                }
            }
            for (auto it = waiting.begin(); it != waiting.end() && it->first == nextOut;
                 it = waiting.erase(it), ++nextOut) {
                if (!sink(nextOut, it->second, error)) {
                    return false;
                }
            }
        }
        for (Worker& w : workers) {
            CloseCommands(w);
            ::close(w.fd);
            w.fd = -1;
            const std::string how = Ended(w.pid);
            w.pid = -1;
            if (how != "exited with status 0") {
                *error = "a worker " + how;
                return false;
            }
        }
        return true;
    }

  private:
    void CloseCommands(Worker& w) {
        if (w.commands >= 0) {
            ::close(w.commands);
            w.commands = -1;
        }
    }

    // How a worker that can no longer be heard from or given a game ended, and the seed of the
    // game it was playing (`next` when it held none).
    std::string LostWorker(Worker& w, uint64_t next) {
        const std::string how = Ended(w.pid);
        w.pid = -1;
        return "the worker playing seed " +
               std::to_string(tasks[w.given.empty() ? next : w.given.front()].seed) + " " + how +
               " before sending its result";
    }

    // Hands the worker the next task; with none left and nothing outstanding, closes its task
    // pipe so that it exits.
    bool Give(Worker& w, std::string* error) {
        if (nextTask >= tasks.size()) {
            if (w.given.empty()) {
                CloseCommands(w);
            }
            return true;
        }
        const uint64_t t = nextTask++;
        if (!WriteAll(w.commands, reinterpret_cast<const char*>(&t), sizeof t)) {
            // Its end of the task pipe is closed: it died, perhaps just after its last result.
            *error = LostWorker(w, t);
            return false;
        }
        w.given.push_back(t);
        return true;
    }

    // Reads what the worker sent and takes every whole frame in it.
    bool Read(Worker& w, std::map<size_t, PlayedGame>& waiting, std::string* error) {
        char chunk[65536];
        const ssize_t n = ::read(w.fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            return true;
        }
        if (n <= 0) {
            ::close(w.fd);
            w.fd = -1;
            if (!w.given.empty() || !w.buffer.empty()) {
                *error = LostWorker(w, 0);
                return false;
            }
            return true;
        }
        w.buffer.append(chunk, static_cast<size_t>(n));
        size_t used = 0;
        for (;;) {
            uint64_t task = 0;
            size_t whole = 0;
            PlayedGame game;
            const FrameRead read =
                DecodeFrame(w.buffer.data() + used, w.buffer.size() - used, &task, &game, &whole);
            if (read == FrameRead::INCOMPLETE) {
                break;
            }
            if (read == FrameRead::DAMAGED || w.given.empty() || task != w.given.front()) {
                *error = "a worker sent a damaged result";
                return false;
            }
            game.result.seed = tasks[task].seed;
            used += whole;
            waiting.emplace(task, std::move(game));
            w.given.pop_front();
            if (!Give(w, error)) {
                return false;
            }
        }
        w.buffer.erase(0, used);
        return true;
    }

    const std::vector<GameTask>& tasks;
    const size_t count;
    size_t nextTask = 0;
    std::vector<Worker> workers;
    const sighandler_t oldPipeAction;
};

}  // namespace

int DefaultJobs() {
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? static_cast<int>(std::min<long>(cores, 1024)) : 1;
}

bool PlayGames(const std::vector<SimSettings>& arms, const std::vector<GameTask>& tasks, int jobs,
               bool keepLogs, const GameSink& sink, std::string* error) {
    const size_t count = std::min(tasks.size(), static_cast<size_t>(std::max(1, jobs)));
    if (count <= 1) {
        for (size_t t = 0; t < tasks.size(); ++t) {
            PlayedGame game = PlayOne(arms, tasks[t], keepLogs);
            if (!game.recordError.empty()) {
                *error = game.recordError;
                return false;
            }
            if (!sink(t, game, error)) {
                return false;
            }
        }
        return true;
    }
    Pool pool(tasks, count);
    return pool.Start(arms, keepLogs, error) && pool.Run(sink, error);
}

}  // namespace gulper

// A worker process: plays the games it is handed and sends each back as one frame.
#include "study/jobs_worker.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <sstream>

#include "players/registry.h"
#include "study/replay_play.h"
#include "study/result_frame.h"

namespace gulper {

namespace {

// Moves all `size` bytes with `io` (read or write), through interrupted calls; false at an end
// of file or an error before the last byte.
template <typename Io, typename Byte>
bool MoveAll(Io io, int fd, Byte* data, size_t size) {
    while (size > 0) {
        const ssize_t n = io(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, char* data, size_t size) {
    return MoveAll(::read, fd, data, size);
}

}  // namespace

PlayedGame PlayOne(const std::vector<SimSettings>& arms, const GameTask& task, bool keepLogs) {
    PlayedGame game;
    std::ostringstream log;
    PlayRecorded(arms[task.arm], task.seed, keepLogs ? &log : nullptr, &game.result,
                 &game.recordError);
    game.log = log.str();
    return game;
}

bool WriteAll(int fd, const char* data, size_t size) {
    return MoveAll(::write, fd, data, size);
}

[[noreturn]] void WorkerMain(const std::vector<SimSettings>& arms,
                             const std::vector<GameTask>& tasks, bool keepLogs, int commands,
                             int results) {
    int status = 0;
    try {
        uint64_t t = 0;
        while (status == 0 && ReadAll(commands, reinterpret_cast<char*>(&t), sizeof t)) {
            if (t >= tasks.size()) {
                status = 5;
                break;
            }
            const PlayedGame game = PlayOne(arms, tasks[t], keepLogs);
            if (!game.recordError.empty()) {
                // The parent names the seed and this status; the reason is said here.
                std::cerr << "gulper-sim: " << game.recordError << std::endl;
                status = 6;
                break;
            }
            const std::string frame = EncodeFrame(t, game);
            if (frame.empty() || !WriteAll(results, frame.data(), frame.size())) {
                status = 3;
            }
        }
    } catch (...) {
        status = 4;
    }
    // _exit runs no destructors: the worker's exec agents are ended here.
    StopAgents();
    ::_exit(status);
}

}  // namespace gulper

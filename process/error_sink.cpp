// The agent's standard error, bounded per game.
#include "process/error_sink.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace gulper {

ErrorSink::ErrorSink(std::string to_, int64_t limit_) : to(std::move(to_)), limit(limit_) {}

ErrorSink::~ErrorSink() {
    EndGame();
}

void ErrorSink::StartGame(uint32_t seed, const std::string& tag) {
    EndGame();
    taken = 0;
    dropped = 0;
    if (to == "pass" || to == "drop") {
        return;
    }
    std::string safe;
    for (char c : tag.substr(0, 60)) {
        safe += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ? c : '_';
    }
    const std::string path = to + "/seed-" + std::to_string(seed) + "-" + safe + ".txt";
    file = std::fopen(path.c_str(), "we");
    if (file == nullptr) {
        const std::string line = "gulper: cannot write the agent's errors to " + path + "\n";
        Pass(line.data(), line.size());
    }
}

void ErrorSink::Take(const char* data, size_t size) {
    const size_t room = static_cast<size_t>(std::max<int64_t>(0, limit - taken));
    const size_t kept = std::min(room, size);
    taken += static_cast<int64_t>(kept);
    dropped += static_cast<int64_t>(size - kept);
    if (kept == 0 || to == "drop") {
        return;
    }
    if (to == "pass") {
        Pass(data, kept);
    } else if (file != nullptr) {
        std::fwrite(data, 1, kept, file);
    }
}

void ErrorSink::Pass(const char* data, size_t size) {
    // Only what our standard error takes at once: a stalled reader must not stall the run.
    while (size > 0) {
        pollfd p{STDERR_FILENO, POLLOUT, 0};
        if (::poll(&p, 1, 0) != 1 || (p.revents & POLLOUT) == 0) {
            dropped += static_cast<int64_t>(size);
            return;
        }
        const ssize_t n = ::write(STDERR_FILENO, data, std::min<size_t>(size, 512));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            dropped += static_cast<int64_t>(size);
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void ErrorSink::EndGame() {
    if (dropped > 0 && to != "drop") {
        const std::string line = "\n[the agent wrote " + std::to_string(dropped) +
                                 " more bytes to its standard error this game; left out]\n";
        if (file != nullptr) {
            std::fwrite(line.data(), 1, line.size(), file);
        } else if (to == "pass") {
            const int64_t before = dropped;
            Pass(line.data(), line.size());
            dropped = before;
        }
    }
    dropped = 0;
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

}  // namespace gulper

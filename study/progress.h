// A progress bar on standard error for long runs, shown only once a run has taken more than
// a second, and only when standard error is a terminal: a log file gets no bar to garble it. A run
// that may stop early (the stopping rule) shows the games so far and its limit instead, since no
// time left can be told.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace gulper {

class Progress {
  public:
    explicit Progress(int64_t total, bool mayStopEarly = false)
        : total(total),
          mayStopEarly(mayStopEarly),
          start(Clock::now()),
          lastDraw(start),
          terminal(::isatty(STDERR_FILENO) == 1) {}
    void Update(int64_t done) {
        const auto now = Clock::now();
        if (!terminal || total <= 0 || done <= 0 || now - start < std::chrono::seconds(1) ||
            now - lastDraw < std::chrono::milliseconds(100)) {
            return;
        }
        lastDraw = now;
        shown = true;
        if (mayStopEarly) {
            std::fprintf(stderr, "\r%lld games played, at most %lld ", static_cast<long long>(done),
                         static_cast<long long>(total));
            std::fflush(stderr);
            return;
        }
        const int width = 40;
        const int filled = static_cast<int>(width * done / total);
        // Time left at the pace so far.
        const double elapsed = std::chrono::duration<double>(now - start).count();
        const long long left =
            std::llround(elapsed / static_cast<double>(done) * static_cast<double>(total - done));
        std::fprintf(stderr, "\r[%s%s] %lld/%lld games, %lld:%02lld left ",
                     std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(),
                     static_cast<long long>(done), static_cast<long long>(total), left / 60,
                     left % 60);
        std::fflush(stderr);
    }
    void Finish() {
        if (shown) {
            std::fprintf(stderr, "\r%*s\r", 90, "");
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    int64_t total;
    bool mayStopEarly;
    Clock::time_point start;
    Clock::time_point lastDraw;
    bool terminal;
    bool shown = false;
};

}  // namespace gulper

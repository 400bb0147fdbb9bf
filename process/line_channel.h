// Lines to and from a child program, each way within a deadline. What it writes is read into
// a bounded buffer; its standard error is drained into an ErrorSink whenever we wait, so that
// it never blocks on a full pipe while we wait for it.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "process/child_process.h"
#include "process/error_sink.h"

namespace gulper {

using Clock = std::chrono::steady_clock;

enum class LineStatus {
    LINE,      // a whole line, newline removed
    TIMEOUT,   // none by the deadline
    CLOSED,    // its output closed (it exited) before a whole line
    TOO_LONG,  // a line longer than the limit
};

class LineChannel {
  public:
    // Lines may be up to `maxLine` bytes, the newline not counted.
    LineChannel(ChildProcess& child, ErrorSink& errors, size_t maxLine)
        : child(child), errors(errors), maxLine(maxLine) {}

    // A fresh program: nothing of the last one's output is kept.
    void Reset() {
        buffer.clear();
        start = 0;
        outputClosed = errorClosed = false;
    }
    // Writes all of `text` by the deadline; false when the pipe is closed or the time is up.
    bool Write(const std::string& text, Clock::time_point deadline);
    LineStatus ReadLine(std::string* line, Clock::time_point deadline);
    // Takes whatever the program has written so far, without waiting.
    void Drain();

  private:
    // Waits once, until the deadline, for output, error or (with `wantWrite`) room to write;
    // reads what came. False when the deadline passed with nothing to do.
    bool Wait(Clock::time_point deadline, bool wantWrite, bool* writable);
    void ReadOutput();
    void ReadError();

    ChildProcess& child;
    ErrorSink& errors;
    const size_t maxLine;
    // What it wrote and we have not taken, from `start` on (taken lines are dropped in bulk).
    std::string buffer;
    size_t start = 0;
    size_t Pending() const { return buffer.size() - start; }
    bool outputClosed = false;
    bool errorClosed = false;
};

}  // namespace gulper

// Bounded, deadline-kept line reading and writing over a child's pipes.
#include "process/line_channel.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace gulper {

namespace {

constexpr size_t CHUNK = 64 * 1024;

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    // Rounded up, so that a wait never ends just short of the deadline.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1;
    return static_cast<int>(std::min<int64_t>(ms, 1000000));
}

}  // namespace

void LineChannel::ReadOutput() {
    char chunk[CHUNK];
    const ssize_t n = ::read(child.Output(), chunk, sizeof chunk);
    if (n > 0) {
        buffer.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        outputClosed = true;
    }
}

void LineChannel::ReadError() {
    char chunk[CHUNK];
    const ssize_t n = ::read(child.Error(), chunk, sizeof chunk);
    if (n > 0) {
        errors.Take(chunk, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        errorClosed = true;
    }
}

bool LineChannel::Wait(Clock::time_point deadline, bool wantWrite, bool* writable) {
    pollfd fds[3];
    int output = -1, error = -1, input = -1;
    nfds_t count = 0;
    // Never more than one chunk past the longest line: the rest waits in the pipe.
    if (!outputClosed && child.Output() >= 0 && Pending() <= maxLine) {
        output = static_cast<int>(count);
        fds[count++] = {child.Output(), POLLIN, 0};
    }
    if (!errorClosed && child.Error() >= 0) {
        error = static_cast<int>(count);
        fds[count++] = {child.Error(), POLLIN, 0};
    }
    if (wantWrite && child.Input() >= 0) {
        input = static_cast<int>(count);
        fds[count++] = {child.Input(), POLLOUT, 0};
    }
    const int ready = ::poll(fds, count, MillisecondsUntil(deadline));
    if (ready < 0) {
        return errno == EINTR && Clock::now() < deadline;
    }
    if (ready == 0) {
        return false;
    }
    if (output >= 0 && fds[output].revents != 0) {
        ReadOutput();
    }
    if (error >= 0 && fds[error].revents != 0) {
        ReadError();
    }
    if (input >= 0 && fds[input].revents != 0) {
        *writable = true;
    }
    return true;
}

void LineChannel::Drain() {
    bool writable = false;
    // Whatever is there now; a program that writes without pause cannot keep us here.
    for (int i = 0; i < 64 && Wait(Clock::now(), false, &writable); ++i) {
    }
}

bool LineChannel::Write(const std::string& text, Clock::time_point deadline) {
    size_t done = 0;
    while (done < text.size()) {
        if (child.Input() < 0) {
            return false;
        }
        const ssize_t n = ::write(child.Input(), text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;  // EPIPE: it closed its input or exited
        }
        bool writable = false;
        while (!writable) {
            if (!Wait(deadline, true, &writable)) {
                return false;
            }
        }
    }
    return true;
}

LineStatus LineChannel::ReadLine(std::string* line, Clock::time_point deadline) {
    size_t searched = start;
    while (true) {
        const size_t newline = buffer.find('\n', searched);
        if (newline != std::string::npos) {
            if (newline - start > maxLine) {
                return LineStatus::TOO_LONG;
            }
            line->assign(buffer, start, newline - start);
            start = newline + 1;
            if (start > buffer.size() / 2) {
                buffer.erase(0, start);
                start = 0;
            }
            return LineStatus::LINE;
        }
        searched = buffer.size();
        if (Pending() > maxLine) {
            return LineStatus::TOO_LONG;
        }
        if (outputClosed) {
            return LineStatus::CLOSED;
        }
        bool writable = false;
        if (!Wait(deadline, false, &writable)) {
            return LineStatus::TIMEOUT;
        }
    }
}

}  // namespace gulper

// The keeper: a small process between us and an agent's program. It starts the program in a
// process group of its own and is the subreaper of everything the program starts, so nothing
// the program forks (setsid or not) can leave its tree. When we close its control pipe, send it
// SIGTERM, or die however we die (kill -9 included, as the pipe closes then too), it kills and
// reaps the whole tree and exits.
#pragma once

#include <cstdint>

namespace gulper {

// What the keeper writes to its status pipe, once, when the program has ended: how it ended
// (exited with `value`, killed by signal `value`, or never started, `value` the errno).
struct KeeperReport {
    enum Kind : int32_t { EXITED = 1, KILLED = 2, NOT_STARTED = 3 };
    int32_t kind = 0;
    int32_t value = 0;
};

// Bytes on the control pipe: SIGTERM to the program's group; end it all. The pipe closing
// ends it all too, so that our death does; the byte does not wait for every copy of our end
// to close (a process forked from ours holds one).
constexpr char KEEPER_TERMINATE = 'T';
constexpr char KEEPER_END = 'E';

// The keeper's whole life, in a freshly forked child: runs /bin/sh -c `argv`'s command with
// the environment `envp` and `in`, `out` and `err` as its standard input, output and error. Only
// async-signal-safe calls: the process that forked it may have had threads.
[[noreturn]] void KeeperMain(const char* const argv[], const char* const envp[], int in, int out,
                             int err, int control, int status);

}  // namespace gulper

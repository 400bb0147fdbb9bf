// Loaded into a window program with LD_PRELOAD: every SDL_GL_SwapWindow is passed on and its
// time written to the file named by GULPER_FRAME_LOG, one line each, after a first line
// "start <ms>" taken when the library was loaded (the program's start, near enough).
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

namespace {

int logFile = -1;

double MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void WriteLine(const char* prefix) {
    if (logFile < 0) {
        return;
    }
    char line[64];
    const int n = snprintf(line, sizeof line, "%s%.3f\n", prefix, MonotonicMs());
    if (n > 0 && write(logFile, line, static_cast<size_t>(n)) < 0) {
        logFile = -1;
    }
}

__attribute__((constructor)) void Open() {
    const char* path = getenv("GULPER_FRAME_LOG");
    if (path != nullptr) {
        logFile = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        WriteLine("start ");
    }
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(void* window) {
    using Swap = void (*)(void*);
    static Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    if (next != nullptr) {
        next(window);
    }
    WriteLine("");
}

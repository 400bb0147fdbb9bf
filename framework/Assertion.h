// The framework's one assertion stop, shared by the window side and the image side (which the
// simulator links without the window side).
#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the program with an assertion text when a framework record cannot be allocated.
[[noreturn]] inline void FrameworkAssertionFailed(const char* expression, const char* source) {
    std::fprintf(stderr, "Assertion failed: %s, file %s\n", expression, source);
    std::abort();
}

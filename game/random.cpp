// The game's one pseudo-random generator.
#include "game/random.h"

namespace {
// Each thread's game draws from its own.
thread_local uint32_t randomState = 1;
}  // namespace

void SeedRandom(uint32_t seed) {
    randomState = seed;
}

uint32_t RandomState() {
    return randomState;
}

int32_t RandomInt() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

double RandomUnit() {
    return RandomInt() / 32767.0;
}

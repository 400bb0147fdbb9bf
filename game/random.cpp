#include "game/random.h"

namespace {
uint32_t randomState = 1;
uint64_t drawCount = 0;
}  // namespace

void SeedRandom(uint32_t seed) {
    randomState = seed;
    drawCount = 0;
}

int32_t RandomInt() {
    randomState = randomState * 214013u + 2531011u;
    ++drawCount;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

double RandomUnit() {
    return RandomInt() / 32767.0;
}

uint64_t RandomDrawCount() {
    return drawCount;
}

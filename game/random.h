// The game's one pseudo-random generator, which every ghost draws from.
#pragma once

#include <cstdint>

// The one pseudo-random generator of the thread's game, shared by every ghost.
void SeedRandom(uint32_t seed);
// The generator's whole state: SeedRandom(RandomState()) later carries on the same draws.
uint32_t RandomState();
// Next integer from 0 to 32767.
int32_t RandomInt();
// Next draw r = n / 32767, from 0 to 1 inclusive.
double RandomUnit();

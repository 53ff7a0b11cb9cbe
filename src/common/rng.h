#pragma once
#include <cstdint>

// The engine's random generator (seeded at start-up from the clock).
void RNG_Seed(uint32_t seed);
int RNG_Next();  // 0..32767, like the C library's rand()
// Back to the sequence of seed 1 (tests).
void RNG_Reset();

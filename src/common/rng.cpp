// The engine's random generator.
#include "common/rng.h"

namespace {
// A small linear congruential generator with fixed constants, so that a seed
// gives the same sequence on every machine and in every replay.
uint32_t g_rng = 1;
}  // namespace

void RNG_Seed(uint32_t seed) {
  g_rng = seed;
}

int RNG_Next() {
  g_rng = g_rng * 214013u + 2531011u;
  return static_cast<int>((g_rng >> 16) & 0x7FFF);
}

void RNG_Reset() {
  g_rng = 1;
}

// The processor report written at start-up.
#pragma once
#include <cstdint>

struct CpuInfo {
  int cpuidSupported;
  uint32_t maxLeaf, maxExtLeaf;
  char vendor[13];
  char brand[49];
  int type, family, model, stepping;
  int clockMHz;
  int fpu, tsc, msr, cmov, mmx, sseInt, sseFp, sse2, amd3dNow, amd3dNowExt;
  // Today's wide vector units, for the pixel loops' fast paths.
  int avx2, avx512;
};

extern CpuInfo g_cpu;
// Fills g_cpu and writes the report to the debug log. measureClock = 0 skips
// the half-second clock measurement (tests, replays); otherwise the clock is
// measured on a thread of its own and the report written when it is done.
void CPU_Identify(int measureClock);
// Waits for that measurement (shutdown).
void CPU_Finish();

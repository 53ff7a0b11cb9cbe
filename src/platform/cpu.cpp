// The processor identification instruction of x86 processors (elsewhere
// cpu_portable.cpp stands in).
#include <cstring>

#include "platform/plt_cpu.h"

#include <cpuid.h>
#include <x86intrin.h>

int PLT_CpuidSupported() {
  return 1;
}

void PLT_Cpuid(uint32_t leaf, uint32_t regs[4]) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid_count(leaf, 0, a, b, c, d);
  regs[0] = a;
  regs[1] = b;
  regs[2] = c;
  regs[3] = d;
}

int PLT_HasTsc() {
  return 1;
}
uint64_t PLT_ReadTsc() {
  return __rdtsc();
}
int PLT_HasSse2() {
#if defined(__x86_64__)
  return 1;
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2") ? 1 : 0;
#endif
}
int PLT_HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? 1 : 0;
}
int PLT_HasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                 __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") &&
                 __builtin_cpu_supports("bmi2")
             ? 1
             : 0;
}
int PLT_HasFastBitExtract() {
  uint32_t r[4];
  PLT_Cpuid(0, r);
  const uint32_t maxLeaf = r[0];
  // "AuthenticAMD" in ebx, edx, ecx: its families before 19h run the
  // instruction in microcode.
  const bool amd = r[1] == 0x68747541u && r[3] == 0x69746E65u && r[2] == 0x444D4163u;
  if (maxLeaf < 7) return 0;
  PLT_Cpuid(7, r);
  if (!((r[1] >> 8) & 1)) return 0;
  PLT_Cpuid(1, r);
  const uint32_t base = (r[0] >> 8) & 0xF, ext = (r[0] >> 20) & 0xFF;
  const uint32_t family = base == 0xF ? base + ext : base;
  return !amd || family >= 0x19 ? 1 : 0;
}

// Vector level selection.
#include "blit/simd.h"

#include "common/cpuinfo.h"
#include "platform/plt_cpu.h"

namespace blt {

const RowKernels kScalarKernels = {ScalarAdd, ScalarSub, ScalarFade, ScalarAlpha, ScalarMixW};

namespace {
int g_level = 1;

int MaxLevel() {
#if defined(__x86_64__)
  if (PLT_HasAvx512()) return 3;
  return PLT_HasAvx2() ? 2 : 1;
#else
  return 0;
#endif
}
}  // namespace

const RowKernels* Kernels() {
  switch (g_level) {
    case 1:
      return &kSse2Kernels;
    case 2:
      return &kAvx2Kernels;
    case 3: {
      static const RowKernels k = [] {
        RowKernels r = kAvx2Kernels;
        r.mixw = Avx512MixW;
        return r;
      }();
      return &k;
    }
    default:
      return nullptr;
  }
}

bool FastBitExtract() {
#if defined(__x86_64__)
  static const bool fast = [] {
    uint32_t r[4];
    PLT_Cpuid(0, r);
    const uint32_t maxLeaf = r[0];
    // "AuthenticAMD" in ebx, edx, ecx.
    const bool amd = r[1] == 0x68747541u && r[3] == 0x69746E65u && r[2] == 0x444D4163u;
    if (maxLeaf < 7) return false;
    PLT_Cpuid(7, r);
    if (!((r[1] >> 8) & 1)) return false;
    PLT_Cpuid(1, r);
    const uint32_t base = (r[0] >> 8) & 0xF, ext = (r[0] >> 20) & 0xFF;
    const uint32_t family = base == 0xF ? base + ext : base;
    return !amd || family >= 0x19;
  }();
  return fast;
#else
  return false;
#endif
}

}  // namespace blt

int BLT_SetVectorLevel(int level) {
  const int maxLevel = blt::MaxLevel();
  if (level < 0) level = 0;
  if (level > maxLevel) level = maxLevel;
  blt::g_level = level;
  return level;
}

int BLT_GetVectorLevel() {
  return blt::g_level;
}

void BLT_InitVectorLevel() {
  // SSE2 is part of x86-64; the wider units only when the processor report
  // says so.
  BLT_SetVectorLevel(g_cpu.avx512 ? 3 : g_cpu.avx2 ? 2 : 1);
}

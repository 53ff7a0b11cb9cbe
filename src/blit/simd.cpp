// Vector level selection.
#include "blit/simd.h"

#include "platform/plt_cpu.h"
#include "shell/cpuinfo.h"

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

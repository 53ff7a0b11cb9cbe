// The vector dispatch: one table of entry points per level, chosen from the
// platform's processor facts.
#include "blit/simd.h"

#include "platform/plt_cpu.h"

namespace blt {

const RowKernels kScalarKernels = {ScalarAdd, ScalarSub, ScalarFade, ScalarAlpha, ScalarMixW};

namespace {

VectorPaths Build(int level) {
  VectorPaths v{};
  v.level = level;
#if defined(__x86_64__)
  if (level >= 1) v.rows = &kSse2Kernels;
  if (level >= 2) {
    v.rows = &kAvx2Kernels;
    v.alphaRows = true;
    v.palAlphaRow = Avx2PalAlphaRow;
    v.palFadeAlphaRow = Avx2PalFadeAlphaRow;
    v.wipeRows = Avx2WipeRows;
    // AVX-512 processors all have a fast one.
    if (level >= 3 || PLT_HasFastBitExtract()) v.rgb15ExtractRow = Bmi2Rgb15Row;
    v.rgb15Row = Avx2Rgb15Row;
    // The weight is the same in every cell, so the AVX2 path multiplies by
    // constants (its 512-bit form measured no faster).
    v.mixOn = Avx2MixOn;
    v.palQuadRow = Avx2PalQuadRow;
  }
  if (level >= 3) {
    static const RowKernels k = [] {
      RowKernels r = kAvx2Kernels;
      r.mixw = Avx512MixW;
      return r;
    }();
    v.rows = &k;
    v.wipeRows = Avx512WipeRows;
    v.palQuadRow = Avx512PalQuadRow;
  }
#endif
  return v;
}

int MaxLevel() {
#if defined(__x86_64__)
  if (PLT_HasAvx512()) return 3;
  return PLT_HasAvx2() ? 2 : 1;
#else
  return 0;
#endif
}

VectorPaths g_paths = Build(1);

}  // namespace

const VectorPaths& Paths() {
  return g_paths;
}

}  // namespace blt

int BLT_SetVectorLevel(int level) {
  const int maxLevel = blt::MaxLevel();
  if (level < 0) level = 0;
  if (level > maxLevel) level = maxLevel;
  blt::g_paths = blt::Build(level);
  return level;
}

int BLT_GetVectorLevel() {
  return blt::g_paths.level;
}

void BLT_InitVectorLevel() {
  BLT_SetVectorLevel(blt::MaxLevel());
}

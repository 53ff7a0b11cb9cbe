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
  v.name = level == 0 ? "table reference" : "portable";
  // Level 1 without a vector unit is the portable row kernels: they and the
  // vector ones agree exactly, so every processor draws the same pixels
  // from level 1 on (level 0 is the table reference, whose fade rounds
  // differently).
  if (level >= 1) v.rows = &kScalarKernels;
#ifdef ZV_X86
  if (level >= 1 && PLT_HasSse2()) {
    v.rows = &kSse2Kernels;
    v.name = "SSE2";
  }
  if (level >= 2) {
    v.name = "AVX2";
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
    v.palQuadRows = Avx2PalQuadRows;
  }
#endif
#ifdef ZV_X86_64
  if (level >= 3) {
    static const RowKernels k = [] {
      RowKernels r = kAvx2Kernels;
      r.mixw = Avx512MixW;
      return r;
    }();
    v.name = "AVX-512";
    v.rows = &k;
    v.wipeRows = Avx512WipeRows;
    // The quad rows stay AVX2: the 512-bit rows (palette planes in
    // registers, byte permutes) measured slower on both processors tried.
  }
#endif
  return v;
}

int MaxLevel() {
#ifdef ZV_X86_64
  if (PLT_HasAvx512()) return 3;
#endif
#ifdef ZV_X86
  if (PLT_HasAvx2()) return 2;
#endif
  return 1;
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

const char* BLT_VectorPathsName() {
  return blt::g_paths.name;
}

void BLT_InitVectorLevel() {
  BLT_SetVectorLevel(blt::MaxLevel());
}

// The vector fast paths of the pixel loops: one table of entry points, chosen
// once at start-up from the platform's processor facts and consulted by every
// loop. Every kernel but the fade gives exactly the table result.
#pragma once
#include <cstddef>
#include <cstdint>

// 0 = scalar reference loops only, 1 = SSE2 row kernels (the portable ones,
// kScalarKernels, on processors without SSE2), 2 = AVX2, 3 = AVX-512 (the
// row kernels stay AVX2 but for the weighted mix; the quad span is sixteen
// pixels wide). Level 1 is the highest on processors other than x86. A
// request above what the processor has is lowered to what it has. Returns
// the level in effect.
int BLT_SetVectorLevel(int level);
int BLT_GetVectorLevel();
const char* BLT_VectorPathsName();
// Picks the widest level the processor has (called by BLT_InitTables).
void BLT_InitVectorLevel();

namespace blt {

struct RowKernels {
  // d = min(255, d + s) per byte, n bytes.
  void (*add)(uint8_t* d, const uint8_t* s, int n);
  // d = max(0, d - s).
  void (*sub)(uint8_t* d, const uint8_t* s, int n);
  // d = (p * s + (256 - p) * d) >> 8, p in 0..256.
  void (*fade)(uint8_t* d, const uint8_t* s, int n, int p);
  // a = 0: keep d; a = 255: d = s; else d = ((a * s) >> 8) + (((255 - a) * d) >> 8).
  void (*alpha)(uint8_t* d, const uint8_t* s, const uint8_t* a, int n);
  // d = ((w * s) >> 8) + (((total - w) * d) >> 8) per byte, each byte with
  // its own weight w; total is 255 or 256 (w = 0 then keeps d). The table
  // formula Mul(w, s) + Mul(total - w, d) exactly.
  void (*mixw)(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total);
};

extern const RowKernels kScalarKernels;
extern const RowKernels kSse2Kernels;
extern const RowKernels kAvx2Kernels;

inline void ScalarAdd(uint8_t* d, const uint8_t* s, int n) {
  for (int i = 0; i < n; i++) {
    const int v = d[i] + s[i];
    d[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
  }
}
inline void ScalarSub(uint8_t* d, const uint8_t* s, int n) {
  for (int i = 0; i < n; i++) {
    const int v = d[i] - s[i];
    d[i] = static_cast<uint8_t>(v < 0 ? 0 : v);
  }
}
inline void ScalarFade(uint8_t* d, const uint8_t* s, int n, int p) {
  for (int i = 0; i < n; i++) d[i] = static_cast<uint8_t>((p * s[i] + (256 - p) * d[i]) >> 8);
}
inline void ScalarAlpha(uint8_t* d, const uint8_t* s, const uint8_t* a, int n) {
  for (int i = 0; i < n; i++) {
    const int av = a[i];
    if (av == 0) continue;
    if (av == 255) {
      d[i] = s[i];
    } else {
      d[i] = static_cast<uint8_t>(((av * s[i]) >> 8) + (((255 - av) * d[i]) >> 8));
    }
  }
}

inline void ScalarMixW(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total) {
  for (int i = 0; i < n; i++) {
    d[i] = static_cast<uint8_t>(((w[i] * s[i]) >> 8) + (((total - w[i]) * d[i]) >> 8));
  }
}

}  // namespace blt

namespace blt {
// AVX2 only. Each handles whole groups of 8 pixels and returns how many it
// did; the caller finishes the row.
// Mode-0 row of a palettised source with its alpha plane (exact alpha rule).
int Avx2PalAlphaRow(uint8_t* d, const uint8_t* idx, const uint8_t* alpha, const uint8_t* pal,
                    int n);
// Pattern wipe rows: d = Mul(k, s) + Mul(255 - k, d) with k = weight[mask
// index], h rows of w pixels; strides in bytes (the mask's in indices). The
// table set-up is done once for all rows. Each row's whole groups of 32
// pixels (64 for AVX-512); returns how many pixels of each row were done.
// With ramp set, weight[v] is known to be clamp(v + shift, 0, 255) (a grey
// mask whose palette level is its index, as pattern files are), and the
// weights are computed instead of looked up.
struct WipeRows {
  uint8_t* d;
  ptrdiff_t dStride;
  const uint8_t* s;
  ptrdiff_t sStride;
  const uint8_t* mask;
  ptrdiff_t mStride;
  const uint8_t* weight;
  int w, h;
  bool ramp = false;
  int shift = 0;
};
int Avx2WipeRows(const WipeRows& r);
int Avx512WipeRows(const WipeRows& r);
// 24-bit pixels to palette indices through the 5-5-5 table; whole groups of
// 16 pixels, reading only their bytes.
int Avx2Rgb15Row(uint8_t* d, const uint8_t* s, const uint8_t* table, int n);
// The same with the indices taken by the bit-extract instruction (BMI2), for
// processors where it is fast; whole groups of 16 pixels followed by at least
// one more pixel.
int Bmi2Rgb15Row(uint8_t* d, const uint8_t* s, const uint8_t* table, int n);
// Mode-10 row (P = 1..255) of a palettised source with its alpha plane; pal
// is the palette already scaled by P (exact fade rule).
int Avx2PalFadeAlphaRow(uint8_t* d, const uint8_t* idx, const uint8_t* alpha, const uint8_t* pal,
                        int n, int p);

// Blended cells: d = ((w * s) >> 8) + (((256 - w) * d) >> 8) where on[i] is
// not 0, d kept where it is; w in 1..255. Whole groups of 32 bytes.
int Avx2MixOn(uint8_t* d, const uint8_t* s, const uint8_t* on, int n, int w);
// Mode-0 quad row of a palettised source. Pixel j draws lut[px[e]] with
// e = origin + ((av + j * sv) >> 32) * w + ((au + j * su) >> 32), skipping
// entries with bit 31 set when keyed. The caller guarantees every e is inside
// the picture.
struct PalQuadRow {
  uint8_t* d;
  const uint8_t* px;
  const uint32_t* lut;
  int64_t au, av, su, sv;
  int32_t origin, w;
  int n;
  bool keyed;
};
// Whole rows, count of them at once; all of them share px, lut and keyed, and no two write the same
// pixel.
void Avx2PalQuadRows(const PalQuadRow* rows, int count);
// The weighted mix of RowKernels, 64 bytes a step.
void Avx512MixW(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total);
}  // namespace blt

namespace blt {
// The entry points in effect; a null entry means the level has no such path
// and the loop draws the case with its scalar reference.
struct VectorPaths {
  int level;
  const char* name;        // what the level draws with, for the log
  const RowKernels* rows;  // null at level 0
  // Rows with an alpha plane go through the row kernels: from AVX2 on, where
  // expanding the plane row by row costs less than the kernels save.
  bool alphaRows;
  int (*palAlphaRow)(uint8_t* d, const uint8_t* idx, const uint8_t* alpha, const uint8_t* pal,
                     int n);
  int (*palFadeAlphaRow)(uint8_t* d, const uint8_t* idx, const uint8_t* alpha, const uint8_t* pal,
                         int n, int p);
  int (*wipeRows)(const WipeRows& r);
  // The bit-extract row first where it is fast, then the shuffle row.
  int (*rgb15ExtractRow)(uint8_t* d, const uint8_t* s, const uint8_t* table, int n);
  int (*rgb15Row)(uint8_t* d, const uint8_t* s, const uint8_t* table, int n);
  int (*mixOn)(uint8_t* d, const uint8_t* s, const uint8_t* on, int n, int w);
  void (*palQuadRows)(const PalQuadRow* rows, int count);
};
const VectorPaths& Paths();
// Null while the vector level is 0.
inline const RowKernels* Kernels() {
  return Paths().rows;
}
}  // namespace blt

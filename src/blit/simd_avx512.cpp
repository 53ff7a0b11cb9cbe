// AVX-512 kernels (F, VL, BW, VBMI with BMI2), only called when the processor
// has all of them.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "blit/simd.h"

// GCC 12's AVX-512 intrinsics pass an undefined vector as the unused merge
// source, which its own flow analysis then reports as uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define ZV_AVX512 __attribute__((target("avx2,bmi2,avx512f,avx512vl,avx512bw,avx512vbmi")))

namespace blt {
namespace {

ZV_AVX512 inline __m512i Mix32x16(__m512i s16, __m512i d16, __m512i w16, __m512i total) {
  const __m512i t1 = _mm512_srli_epi16(_mm512_mullo_epi16(s16, w16), 8);
  const __m512i t2 = _mm512_srli_epi16(_mm512_mullo_epi16(d16, _mm512_sub_epi16(total, w16)), 8);
  return _mm512_add_epi16(t1, t2);
}

// Per byte ((w * s) >> 8) + (((total - w) * d) >> 8), 64 bytes.
ZV_AVX512 inline __m512i Mix64(__m512i s, __m512i d, __m512i w, __m512i total) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i lo = Mix32x16(_mm512_unpacklo_epi8(s, zero), _mm512_unpacklo_epi8(d, zero),
                              _mm512_unpacklo_epi8(w, zero), total);
  const __m512i hi = Mix32x16(_mm512_unpackhi_epi8(s, zero), _mm512_unpackhi_epi8(d, zero),
                              _mm512_unpackhi_epi8(w, zero), total);
  return _mm512_packus_epi16(lo, hi);
}

}  // namespace

ZV_AVX512 void Avx512MixW(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total) {
  const __m512i vt = _mm512_set1_epi16(static_cast<short>(total));
  int i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m512i r =
        Mix64(_mm512_loadu_si512(s + i), _mm512_loadu_si512(d + i), _mm512_loadu_si512(w + i), vt);
    _mm512_storeu_si512(d + i, r);
  }
  if (i < n) {
    // The tail through a byte mask: nothing past n is read or written.
    const __mmask64 m = _bzhi_u64(~0ull, static_cast<unsigned>(n - i));
    const __m512i r = Mix64(_mm512_maskz_loadu_epi8(m, s + i), _mm512_maskz_loadu_epi8(m, d + i),
                            _mm512_maskz_loadu_epi8(m, w + i), vt);
    _mm512_mask_storeu_epi8(d + i, m, r);
  }
}

namespace {

// Per byte ((k * s) >> 8) + (((255 - k) * d) >> 8), k per byte, without
// unpacking: the high-half multiply of a byte moved to the top of its word is
// the product shifted by 8, for the even bytes by shifting them up and for
// the odd bytes by masking them in place.
ZV_AVX512 inline __m512i MixWipe64(__m512i s, __m512i d, __m512i k) {
  const __m512i low = _mm512_set1_epi16(0xFF);
  const __m512i ke = _mm512_and_si512(k, low), ko = _mm512_srli_epi16(k, 8);
  const __m512i hi = _mm512_set1_epi16(static_cast<short>(0xFF00));
  const __m512i even =
      _mm512_add_epi16(_mm512_mulhi_epu16(_mm512_slli_epi16(s, 8), ke),
                       _mm512_mulhi_epu16(_mm512_slli_epi16(d, 8), _mm512_xor_si512(ke, low)));
  const __m512i odd =
      _mm512_add_epi16(_mm512_mulhi_epu16(_mm512_and_si512(s, hi), ko),
                       _mm512_mulhi_epu16(_mm512_and_si512(d, hi), _mm512_xor_si512(ko, low)));
  return _mm512_or_si512(even, _mm512_slli_epi16(odd, 8));
}

}  // namespace

ZV_AVX512 int Avx512WipeRows(const WipeRows& r) {
  // The 256-entry table as four 64-byte registers; two two-register byte
  // permutes cover it, bit 7 of the index picks between them.
  const __m512i t0 = _mm512_loadu_si512(r.weight), t1 = _mm512_loadu_si512(r.weight + 64);
  const __m512i t2 = _mm512_loadu_si512(r.weight + 128), t3 = _mm512_loadu_si512(r.weight + 192);
  // Byte b of colour register k takes the weight of pixel (64 k + b) / 3.
  alignas(64) uint8_t pat[3][64];
  for (int k = 0; k < 3; k++) {
    for (int b = 0; b < 64; b++) pat[k][b] = static_cast<uint8_t>((64 * k + b) / 3);
  }
  const __m512i p[3] = {_mm512_load_si512(pat[0]), _mm512_load_si512(pat[1]),
                        _mm512_load_si512(pat[2])};
  const int done = r.w & ~63;
  for (int i = 0; i < r.h; i++) {
    uint8_t* d = r.d + i * r.dStride;
    const uint8_t* s = r.s + i * r.sStride;
    const uint8_t* mask = r.mask + i * r.mStride;
    for (int j = 0; j < done; j += 64, d += 192, s += 192) {
      const __m512i ix = _mm512_loadu_si512(mask + j);
      const __m512i lo = _mm512_permutex2var_epi8(t0, ix, t1);
      const __m512i hi = _mm512_permutex2var_epi8(t2, ix, t3);
      const __m512i w = _mm512_mask_blend_epi8(_mm512_movepi8_mask(ix), lo, hi);
      for (int k = 0; k < 3; k++) {
        const __m512i v = MixWipe64(_mm512_loadu_si512(s + 64 * k), _mm512_loadu_si512(d + 64 * k),
                                    _mm512_permutexvar_epi8(p[k], w));
        _mm512_storeu_si512(d + 64 * k, v);
      }
    }
  }
  return done;
}

}  // namespace blt

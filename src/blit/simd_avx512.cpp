// AVX-512 kernels (F, VL, BW, VBMI with BMI2), only called when the processor
// has all of them.
#include <immintrin.h>

#include <cstdint>

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

// Positions p + j * step of lanes j = 0..7 (and 8..15 in hi8), 32.32 fixed
// point in 64-bit lanes.
ZV_AVX512 inline void Positions(int64_t p, int64_t step, __m512i* lo8, __m512i* hi8) {
  const __m512i j = _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 6, 7);
  const __m512i s = _mm512_set1_epi64(step);
  // j * step from two 32 x 32-bit products: the low word's and the high
  // word's, shifted into place (modulo 2^64, as the scalar arithmetic).
  const __m512i prod = _mm512_add_epi64(
      _mm512_mul_epu32(j, s), _mm512_slli_epi64(_mm512_mul_epu32(j, _mm512_srli_epi64(s, 32)), 32));
  *lo8 = _mm512_add_epi64(_mm512_set1_epi64(p), prod);
  *hi8 = _mm512_add_epi64(*lo8, _mm512_slli_epi64(s, 3));
}

ZV_AVX512 inline __m512i Index(__m512i u, __m512i v, __m512i origin, __m512i w64) {
  return _mm512_add_epi64(_mm512_add_epi64(origin, _mm512_srai_epi64(u, 32)),
                          _mm512_mul_epi32(_mm512_srai_epi64(v, 32), w64));
}

// Three bits of the byte mask for each pixel bit.
ZV_AVX512 inline __mmask64 Triple(uint32_t pixels) {
  return _cvtu64_mask64(_pdep_u64(pixels, 0x249249249249ull) * 7u);
}

}  // namespace

ZV_AVX512 int Avx512PalQuadRow(const PalQuadRow& r) {
  __m512i u0, u1, v0, v1;
  Positions(r.au, r.su, &u0, &u1);
  Positions(r.av, r.sv, &v0, &v1);
  // Element indices: origin + whole(v) * w + whole(u), in 64-bit lanes
  // first, then the low dwords of both halves side by side.
  const __m512i origin = _mm512_set1_epi64(r.origin);
  const __m512i w64 = _mm512_set1_epi64(r.w);
  const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  __m512i e =
      _mm512_permutex2var_epi32(Index(u0, v0, origin, w64), even, Index(u1, v1, origin, w64));
  __m512i fu = _mm512_permutex2var_epi32(u0, even, u1);
  __m512i fv = _mm512_permutex2var_epi32(v0, even, v1);
  const __m512i width = _mm512_set1_epi32(r.w);
  const int64_t su16 = r.su * 16, sv16 = r.sv * 16;
  // The element step of sixteen pixels without the carries. It may wrap in
  // 32 bits; the indices it leads to are exact because they are in range.
  const __m512i k = _mm512_set1_epi32(
      static_cast<int32_t>(static_cast<uint32_t>(sv16 >> 32) * static_cast<uint32_t>(r.w) +
                           static_cast<uint32_t>(su16 >> 32)));
  const __m512i stepU = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(su16)));
  const __m512i stepV = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(sv16)));
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i last = _mm512_set1_epi32(r.last);
  const __m512i byteMask = _mm512_set1_epi32(0xFF);
  // Sixteen blue, green, red, flag dwords -> 48 bytes of 24-bit pixels.
  const __m512i pack = _mm512_set_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 62, 61, 60,
                                       58, 57, 56, 54, 53, 52, 50, 49, 48, 46, 45, 44, 42, 41, 40,
                                       38, 37, 36, 34, 33, 32, 30, 29, 28, 26, 25, 24, 22, 21, 20,
                                       18, 17, 16, 14, 13, 12, 10, 9, 8, 6, 5, 4, 2, 1, 0);
  const int* px = reinterpret_cast<const int*>(r.px);
  const int* lut = reinterpret_cast<const int*>(r.lut);
  const __mmask16 keyable = r.keyed ? 0xFFFF : 0;
  // Draws the pixels of one group that `on` selects; false (nothing drawn)
  // when the byte gather, which reads four bytes from each element, would
  // reach past the end of the picture.
  auto group = [&](uint8_t* d, __mmask16 on) ZV_AVX512 {
    if (_mm512_mask_cmpgt_epi32_mask(on, e, last) != 0) return false;
    const __m512i ix =
        _mm512_and_si512(_mm512_mask_i32gather_epi32(byteMask, on, e, px, 1), byteMask);
    const __m512i c = _mm512_mask_i32gather_epi32(byteMask, on, ix, lut, 4);
    const __mmask16 keyed = _mm512_mask_cmplt_epi32_mask(keyable, c, _mm512_setzero_si512());
    _mm512_mask_storeu_epi8(d, Triple(on & ~keyed),
                            _mm512_maskz_permutexvar_epi8(_cvtu64_mask64(~0ull), pack, c));
    return true;
  };
  uint8_t* d = r.d;
  int j = 0;
  for (; j + 16 <= r.n; j += 16, d += 48) {
    if (!group(d, 0xFFFF)) return j;
    const __m512i nu = _mm512_add_epi32(fu, stepU), nv = _mm512_add_epi32(fv, stepV);
    const __mmask16 carryU = _mm512_cmplt_epu32_mask(nu, fu);
    const __mmask16 carryV = _mm512_cmplt_epu32_mask(nv, fv);
    fu = nu;
    fv = nv;
    e = _mm512_add_epi32(e, k);
    e = _mm512_mask_add_epi32(e, carryU, e, one);
    e = _mm512_mask_add_epi32(e, carryV, e, width);
  }
  if (j == r.n) return j;
  return group(d, static_cast<__mmask16>((1u << (r.n - j)) - 1)) ? r.n : j;
}

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

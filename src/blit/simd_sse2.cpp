// SSE2 row kernels (always present on x86-64; 32-bit x86 processors are
// asked first).
#include <emmintrin.h>

#include "blit/simd.h"

#define ZV_SSE2 __attribute__((target("sse2")))

namespace blt {
namespace {

ZV_SSE2 void Sse2Add(uint8_t* d, const uint8_t* s, int n) {
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(vd, vs));
  }
  ScalarAdd(d + i, s + i, n - i);
}

ZV_SSE2 void Sse2Sub(uint8_t* d, const uint8_t* s, int n) {
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_subs_epu8(vd, vs));
  }
  ScalarSub(d + i, s + i, n - i);
}

ZV_SSE2 inline __m128i Fade16(__m128i s16, __m128i d16, __m128i p, __m128i q) {
  // p * s + (256 - p) * d <= 65280: fits the unsigned 16-bit lane.
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, p), _mm_mullo_epi16(d16, q)), 8);
}

ZV_SSE2 void Sse2Fade(uint8_t* d, const uint8_t* s, int n, int p) {
  const __m128i vp = _mm_set1_epi16(static_cast<short>(p));
  const __m128i vq = _mm_set1_epi16(static_cast<short>(256 - p));
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i lo = Fade16(_mm_unpacklo_epi8(vs, zero), _mm_unpacklo_epi8(vd, zero), vp, vq);
    const __m128i hi = Fade16(_mm_unpackhi_epi8(vs, zero), _mm_unpackhi_epi8(vd, zero), vp, vq);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  ScalarFade(d + i, s + i, n - i, p);
}

ZV_SSE2 inline __m128i Alpha16(__m128i s16, __m128i d16, __m128i a16, __m128i c255) {
  const __m128i t1 = _mm_srli_epi16(_mm_mullo_epi16(s16, a16), 8);
  const __m128i t2 = _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(c255, a16)), 8);
  return _mm_add_epi16(t1, t2);
}

ZV_SSE2 void Sse2Alpha(uint8_t* d, const uint8_t* s, const uint8_t* a, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c255w = _mm_set1_epi16(255);
  const __m128i c255b = _mm_set1_epi8(static_cast<char>(0xFF));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i lo = Alpha16(_mm_unpacklo_epi8(vs, zero), _mm_unpacklo_epi8(vd, zero),
                               _mm_unpacklo_epi8(va, zero), c255w);
    const __m128i hi = Alpha16(_mm_unpackhi_epi8(vs, zero), _mm_unpackhi_epi8(vd, zero),
                               _mm_unpackhi_epi8(va, zero), c255w);
    __m128i r = _mm_packus_epi16(lo, hi);
    const __m128i opaque = _mm_cmpeq_epi8(va, c255b);
    const __m128i clear = _mm_cmpeq_epi8(va, zero);
    r = _mm_or_si128(_mm_and_si128(opaque, vs), _mm_andnot_si128(opaque, r));
    r = _mm_or_si128(_mm_and_si128(clear, vd), _mm_andnot_si128(clear, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), r);
  }
  ScalarAlpha(d + i, s + i, a + i, n - i);
}

ZV_SSE2 inline __m128i MixW8(__m128i s16, __m128i d16, __m128i w16, __m128i vt) {
  const __m128i t1 = _mm_srli_epi16(_mm_mullo_epi16(s16, w16), 8);
  const __m128i t2 = _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(vt, w16)), 8);
  return _mm_add_epi16(t1, t2);
}

ZV_SSE2 void Sse2MixW(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i vt = _mm_set1_epi16(static_cast<short>(total));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i vw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + i));
    const __m128i lo =
        MixW8(_mm_unpacklo_epi8(vs, zero), _mm_unpacklo_epi8(vd, zero), _mm_unpacklo_epi8(vw, zero), vt);
    const __m128i hi =
        MixW8(_mm_unpackhi_epi8(vs, zero), _mm_unpackhi_epi8(vd, zero), _mm_unpackhi_epi8(vw, zero), vt);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  ScalarMixW(d + i, s + i, w + i, n - i, total);
}

}  // namespace

const RowKernels kSse2Kernels = {Sse2Add, Sse2Sub, Sse2Fade, Sse2Alpha, Sse2MixW};

}  // namespace blt

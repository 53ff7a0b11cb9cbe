// AVX2 row kernels, compiled for AVX2 and only called when the processor has it.
#include <immintrin.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "blit/simd.h"

#define ZV_AVX2 __attribute__((target("avx2")))

namespace blt {
namespace {

ZV_AVX2 void Avx2Add(uint8_t* d, const uint8_t* s, int n) {
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_adds_epu8(vd, vs));
  }
  ScalarAdd(d + i, s + i, n - i);
}

ZV_AVX2 void Avx2Sub(uint8_t* d, const uint8_t* s, int n) {
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_subs_epu8(vd, vs));
  }
  ScalarSub(d + i, s + i, n - i);
}

ZV_AVX2 inline __m256i Fade16(__m256i s16, __m256i d16, __m256i p, __m256i q) {
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(s16, p), _mm256_mullo_epi16(d16, q)),
                           8);
}

ZV_AVX2 void Avx2Fade(uint8_t* d, const uint8_t* s, int n, int p) {
  const __m256i vp = _mm256_set1_epi16(static_cast<short>(p));
  const __m256i vq = _mm256_set1_epi16(static_cast<short>(256 - p));
  const __m256i zero = _mm256_setzero_si256();
  int i = 0;
  // The unpacks and the pack work within 128-bit lanes, so the byte order
  // comes back unchanged.
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i lo =
        Fade16(_mm256_unpacklo_epi8(vs, zero), _mm256_unpacklo_epi8(vd, zero), vp, vq);
    const __m256i hi =
        Fade16(_mm256_unpackhi_epi8(vs, zero), _mm256_unpackhi_epi8(vd, zero), vp, vq);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
  }
  ScalarFade(d + i, s + i, n - i, p);
}

ZV_AVX2 inline __m256i Alpha16(__m256i s16, __m256i d16, __m256i a16, __m256i c255) {
  const __m256i t1 = _mm256_srli_epi16(_mm256_mullo_epi16(s16, a16), 8);
  const __m256i t2 = _mm256_srli_epi16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(c255, a16)), 8);
  return _mm256_add_epi16(t1, t2);
}

ZV_AVX2 void Avx2Alpha(uint8_t* d, const uint8_t* s, const uint8_t* a, int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255w = _mm256_set1_epi16(255);
  const __m256i c255b = _mm256_set1_epi8(static_cast<char>(0xFF));
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    const __m256i lo = Alpha16(_mm256_unpacklo_epi8(vs, zero), _mm256_unpacklo_epi8(vd, zero),
                               _mm256_unpacklo_epi8(va, zero), c255w);
    const __m256i hi = Alpha16(_mm256_unpackhi_epi8(vs, zero), _mm256_unpackhi_epi8(vd, zero),
                               _mm256_unpackhi_epi8(va, zero), c255w);
    __m256i r = _mm256_packus_epi16(lo, hi);
    r = _mm256_blendv_epi8(r, vs, _mm256_cmpeq_epi8(va, c255b));
    r = _mm256_blendv_epi8(r, vd, _mm256_cmpeq_epi8(va, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), r);
  }
  ScalarAlpha(d + i, s + i, a + i, n - i);
}

ZV_AVX2 inline __m256i MixW16(__m256i s16, __m256i d16, __m256i w16, __m256i total) {
  const __m256i t1 = _mm256_srli_epi16(_mm256_mullo_epi16(s16, w16), 8);
  const __m256i t2 = _mm256_srli_epi16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(total, w16)), 8);
  return _mm256_add_epi16(t1, t2);
}

ZV_AVX2 void Avx2MixW(uint8_t* d, const uint8_t* s, const uint8_t* w, int n, int total) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i vt = _mm256_set1_epi16(static_cast<short>(total));
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i vw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + i));
    const __m256i lo = MixW16(_mm256_unpacklo_epi8(vs, zero), _mm256_unpacklo_epi8(vd, zero),
                              _mm256_unpacklo_epi8(vw, zero), vt);
    const __m256i hi = MixW16(_mm256_unpackhi_epi8(vs, zero), _mm256_unpackhi_epi8(vd, zero),
                              _mm256_unpackhi_epi8(vw, zero), vt);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
  }
  ScalarMixW(d + i, s + i, w + i, n - i, total);
}

}  // namespace

const RowKernels kAvx2Kernels = {Avx2Add, Avx2Sub, Avx2Fade, Avx2Alpha, Avx2MixW};

}  // namespace blt

namespace blt {
namespace {

// Eight 24-bit pixels <-> eight blue, green, red, x dwords. The loads and
// stores touch exactly the 24 bytes of the pixels.
ZV_AVX2 inline __m256i Load8x24(const uint8_t* d) {
  // Bytes 0..15 below and 8..23 above: pixels 4..7 start at byte 4 there.
  const __m256i both = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 8)), 1);
  const __m256i expand = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 4,
                                          5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
  return _mm256_shuffle_epi8(both, expand);
}

ZV_AVX2 inline void Store8x24(uint8_t* d, __m256i v) {
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                        1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  // The two lanes' twelve bytes side by side: bytes 0..23 of the register.
  const __m256i p = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, pack),
                                                _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(p));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm256_extracti128_si256(p, 1));
}

// The palette entries of eight indices as dwords. Built from scalar loads
// (the gather instruction is slower than eight loads on the machines
// measured), the indices taken from one load and the entries inserted
// straight from memory.
ZV_AVX2 inline __m256i Dwords8(const uint8_t* pal, const uint8_t* ix) {
  uint64_t q;
  std::memcpy(&q, ix, 8);
  auto at = [&](int b) {
    int v;
    std::memcpy(&v, pal + ((q >> (8 * b)) & 0xFF) * 4, 4);
    return v;
  };
  auto four = [&](int b) ZV_AVX2 {
    return _mm_insert_epi32(
        _mm_insert_epi32(_mm_insert_epi32(_mm_cvtsi32_si128(at(b)), at(b + 1), 1), at(b + 2), 2),
        at(b + 3), 3);
  };
  return _mm256_inserti128_si256(_mm256_castsi128_si256(four(0)), four(4), 1);
}

// The low byte of each dword in all four of its bytes (a shuffle, where a
// multiply by 0x01010101 takes two operations and ten cycles).
ZV_AVX2 inline __m256i Spread(__m256i v) {
  const __m256i low = _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 0, 0, 0,
                                       0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12);
  return _mm256_shuffle_epi8(v, low);
}

// Per byte: ((a * s) >> 8) + (((255 - a) * d) >> 8), a replicated per pixel.
ZV_AVX2 inline __m256i Blend8(__m256i s, __m256i d, __m256i a) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i lo = Alpha16(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                             _mm256_unpacklo_epi8(a, zero), c255);
  const __m256i hi = Alpha16(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                             _mm256_unpackhi_epi8(a, zero), c255);
  return _mm256_packus_epi16(lo, hi);
}

}  // namespace

ZV_AVX2 int Avx2PalAlphaRow(uint8_t* d, const uint8_t* idx, const uint8_t* alpha,
                            const uint8_t* pal, int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi32(255);
  int j = 0;
  for (; j + 8 <= n; j += 8, d += 24) {
    const __m256i a =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + j)));
    const __m256i clear = _mm256_cmpeq_epi32(a, zero);
    if (_mm256_movemask_epi8(clear) == -1) continue;  // nothing to draw here
    const uint8_t* ix = idx + j;
    const __m256i s = Dwords8(pal, ix);
    const __m256i opaque = _mm256_cmpeq_epi32(a, c255);
    if (_mm256_movemask_epi8(opaque) == -1) {
      Store8x24(d, s);
      continue;
    }
    const __m256i dv = Load8x24(d);
    __m256i r = Blend8(s, dv, Spread(a));
    r = _mm256_blendv_epi8(r, s, opaque);
    r = _mm256_blendv_epi8(r, dv, clear);
    Store8x24(d, r);
  }
  return j;
}

namespace {

// Per byte (x * w) >> 8, without unpacking (the shuffle port is the limit
// of these rows): the high half of the product of a byte moved to the top of
// its word is the product shifted by 8, for the even bytes by shifting them
// up and for the odd bytes by masking them in place.
ZV_AVX2 inline __m256i MulBytes(__m256i x, __m256i w) {
  const __m256i low = _mm256_set1_epi16(0xFF);
  const __m256i even = _mm256_mulhi_epu16(_mm256_slli_epi16(x, 8), _mm256_and_si256(w, low));
  const __m256i odd = _mm256_mulhi_epu16(_mm256_andnot_si256(low, x), _mm256_srli_epi16(w, 8));
  return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

}  // namespace

ZV_AVX2 int Avx2PalFadeAlphaRow(uint8_t* d, const uint8_t* idx, const uint8_t* alpha,
                                const uint8_t* pal, int n, int p) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi32(255);
  const __m256i vp = _mm256_set1_epi32(p);
  const __m256i keep =
      _mm256_set1_epi32(static_cast<int>(static_cast<uint32_t>(256 - p) * 0x01010101u));
  int j = 0;
  for (; j + 8 <= n; j += 8, d += 24) {
    const __m256i a =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + j)));
    const __m256i clear = _mm256_cmpeq_epi32(a, zero);
    if (_mm256_movemask_epi8(clear) == -1) continue;
    const uint8_t* ix = idx + j;
    const __m256i s = Dwords8(pal, ix);
    const __m256i opaque = _mm256_cmpeq_epi32(a, c255);
    const __m256i dv = Load8x24(d);
    if (_mm256_movemask_epi8(opaque) == -1) {
      // The inside of a picture: half of the work below.
      Store8x24(d, _mm256_adds_epu8(s, MulBytes(dv, keep)));
      continue;
    }
    // Opaque: s + Mul(256 - P, d). Otherwise Mul(a, s) + Mul(255 - Mul(P, a), d).
    const __m256i ne = _mm256_sub_epi32(c255, _mm256_srli_epi32(_mm256_mullo_epi16(a, vp), 8));
    const __m256i wd = _mm256_blendv_epi8(Spread(ne), keep, opaque);
    const __m256i t1 = _mm256_blendv_epi8(MulBytes(s, Spread(a)), s, opaque);
    __m256i r = _mm256_adds_epu8(t1, MulBytes(dv, wd));
    r = _mm256_blendv_epi8(r, dv, clear);
    Store8x24(d, r);
  }
  return j;
}

namespace {

// Per byte ((w * s) >> 8) + ((v * d) >> 8) for 16-bit lanes holding w and v
// (w + v <= 256), without unpacking: the high-half multiply of the byte moved
// to the top of its word is the product shifted by 8, for the even bytes by
// shifting them up and for the odd bytes by masking them in place.
ZV_AVX2 inline __m256i MixConst(__m256i s, __m256i d, __m256i w, __m256i v) {
  const __m256i hi = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i even = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(s, 8), w),
                                        _mm256_mulhi_epu16(_mm256_slli_epi16(d, 8), v));
  const __m256i odd = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_and_si256(s, hi), w),
                                       _mm256_mulhi_epu16(_mm256_and_si256(d, hi), v));
  // Each sum is at most 255, so the odd one moves up into the free byte.
  return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

}  // namespace

ZV_AVX2 int Avx2MixOn(uint8_t* d, const uint8_t* s, const uint8_t* on, int n, int w) {
  const __m256i vw = _mm256_set1_epi16(static_cast<short>(w));
  const __m256i vv = _mm256_set1_epi16(static_cast<short>(256 - w));
  const __m256i zero = _mm256_setzero_si256();
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i off =
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(on + i)), zero);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                        _mm256_blendv_epi8(MixConst(vs, vd, vw, vv), vd, off));
  }
  return i;
}

namespace {

// The 256-byte weight table as its sixteen rows of 16, each in both lanes,
// for lookups by byte shuffles: each row answers the index's low nibble, and
// the high nibble's four bits pick among the sixteen answers in a tree of
// blends (a blend takes bit 7 of each mask byte, so each bit is shifted up).
struct ByteTable {
  __m256i row[16];
};

ZV_AVX2 inline void MakeByteTable(ByteTable* t, const uint8_t* table) {
  for (int m = 0; m < 16; m++) {
    t->row[m] = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * m)));
  }
}

ZV_AVX2 inline __m256i LookUp(const ByteTable& t, __m256i ix) {
  const __m256i low = _mm256_and_si256(ix, _mm256_set1_epi8(0x0F));
  // Shifting the 16-bit fields moves each byte's bit 4, 5 or 6 to its bit 7;
  // what crosses into the next byte lands below bit 7 there.
  const __m256i bit4 = _mm256_slli_epi16(ix, 3);
  __m256i r[8];
  for (int m = 0; m < 8; m++) {
    r[m] = _mm256_blendv_epi8(_mm256_shuffle_epi8(t.row[2 * m], low),
                              _mm256_shuffle_epi8(t.row[2 * m + 1], low), bit4);
  }
  const __m256i bit5 = _mm256_slli_epi16(ix, 2);
  for (int m = 0; m < 4; m++) r[m] = _mm256_blendv_epi8(r[2 * m], r[2 * m + 1], bit5);
  const __m256i bit6 = _mm256_slli_epi16(ix, 1);
  r[0] = _mm256_blendv_epi8(r[0], r[1], bit6);
  r[1] = _mm256_blendv_epi8(r[2], r[3], bit6);
  return _mm256_blendv_epi8(r[0], r[1], ix);
}

// Per byte ((k * s) >> 8) + (((255 - k) * d) >> 8), with the weights of the
// even and the odd bytes given in 16-bit fields (ke, ko); as MixConst.
ZV_AVX2 inline __m256i MixWipeFields(__m256i s, __m256i d, __m256i ke, __m256i ko) {
  const __m256i low = _mm256_set1_epi16(0xFF);
  const __m256i hi = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i even =
      _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(s, 8), ke),
                       _mm256_mulhi_epu16(_mm256_slli_epi16(d, 8), _mm256_xor_si256(ke, low)));
  const __m256i odd =
      _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_and_si256(s, hi), ko),
                       _mm256_mulhi_epu16(_mm256_and_si256(d, hi), _mm256_xor_si256(ko, low)));
  return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

}  // namespace

ZV_AVX2 int Avx2WipeRows(const WipeRows& r) {
  ByteTable table;
  if (!r.ramp) MakeByteTable(&table, r.weight);
  // A ramp's weights in one saturating step: up by the shift, or down.
  const int shift = std::clamp(r.shift, -255, 255);
  const __m256i up = _mm256_set1_epi8(static_cast<char>(shift > 0 ? shift : 0));
  const __m256i down = _mm256_set1_epi8(static_cast<char>(shift < 0 ? -shift : 0));
  // Thirty-two weights to three per pixel, straight into the 16-bit fields
  // the blend multiplies with: the even bytes' weights and the odd bytes'.
  // Each 16-byte lane of the output needs weights from one lane of the input.
  static constexpr int8_t kSpread[3][32] = {
      {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4,  5,
       5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10},
      {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15,
       0,  0,  0,  1,  1,  1,  2,  2,  2,  3,  3,  3,  4,  4,  4,  5},
      {5,  5,  6,  6,  6,  7,  7,  7,  8,  8,  8,  9,  9,  9,  10, 10,
       10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15}};
  alignas(32) int8_t fields[2][3][32];
  for (int q = 0; q < 3; q++) {
    for (int l = 0; l < 16; l++) {
      fields[0][q][2 * l] = kSpread[q][2 * l];
      fields[1][q][2 * l] = kSpread[q][2 * l + 1];
      fields[0][q][2 * l + 1] = fields[1][q][2 * l + 1] = -1;
    }
  }
  __m256i even[3], odd[3];
  for (int q = 0; q < 3; q++) {
    even[q] = _mm256_load_si256(reinterpret_cast<const __m256i*>(fields[0][q]));
    odd[q] = _mm256_load_si256(reinterpret_cast<const __m256i*>(fields[1][q]));
  }
  const int done = r.w & ~31;
  for (int i = 0; i < r.h; i++) {
    uint8_t* d = r.d + i * r.dStride;
    const uint8_t* s = r.s + i * r.sStride;
    const uint8_t* mask = r.mask + i * r.mStride;
    for (int j = 0; j < done; j += 32, d += 96, s += 96) {
      const __m256i ix = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + j));
      const __m256i k =
          r.ramp ? _mm256_subs_epu8(_mm256_adds_epu8(ix, up), down) : LookUp(table, ix);
      const __m256i from[3] = {_mm256_permute2x128_si256(k, k, 0x00), k,
                               _mm256_permute2x128_si256(k, k, 0x11)};
      for (int q = 0; q < 3; q++) {
        __m256i* o = reinterpret_cast<__m256i*>(d + 32 * q);
        const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 * q));
        _mm256_storeu_si256(
            o, MixWipeFields(vs, _mm256_loadu_si256(o), _mm256_shuffle_epi8(from[q], even[q]),
                             _mm256_shuffle_epi8(from[q], odd[q])));
      }
    }
  }
  return done;
}

namespace {

// The 5-5-5 table indices of eight 24-bit pixels as dwords. The two loads
// cover exactly the 24 bytes of the pixels (the upper lane starts 8 bytes
// in, so its four pixels sit at offsets 4..15).
ZV_AVX2 inline __m256i Rgb15Index8(const uint8_t* p) {
  const __m256i v = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)), 1);
  const __m256i take = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 4, 5,
                                        6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
  const __m256i top = _mm256_and_si256(_mm256_shuffle_epi8(v, take), _mm256_set1_epi32(0xF8F8F8));
  // 8 * index in two multiply-adds: blue + 32 green and red in the words,
  // then the red word times 1024 added in.
  const __m256i pairs = _mm256_maddubs_epi16(top, _mm256_set1_epi32(0x00012001));
  return _mm256_srli_epi32(_mm256_madd_epi16(pairs, _mm256_set1_epi32(0x04000001)), 3);
}

// Four table bytes into bytes K..K+3 of v, for four indices packed in 16-bit
// fields (split in 32-bit halves first: one shift or zero-extension each).
// The low (K = 0) or high (K = 1) eight bytes of v.
template <int K>
ZV_AVX2 inline uint64_t Half64(__m128i v) {
#if defined(__x86_64__)
  return static_cast<uint64_t>(K == 0 ? _mm_cvtsi128_si64(v) : _mm_extract_epi64(v, 1));
#else
  return static_cast<uint32_t>(_mm_extract_epi32(v, 2 * K)) |
         static_cast<uint64_t>(static_cast<uint32_t>(_mm_extract_epi32(v, 2 * K + 1))) << 32;
#endif
}

template <int K>
ZV_AVX2 inline __m128i Look4(__m128i v, uint64_t q, const uint8_t* table) {
  const uint32_t a = static_cast<uint32_t>(q), b = static_cast<uint32_t>(q >> 32);
  v = _mm_insert_epi8(v, table[a & 0xFFFF], K);
  v = _mm_insert_epi8(v, table[a >> 16], K + 1);
  v = _mm_insert_epi8(v, table[b & 0xFFFF], K + 2);
  return _mm_insert_epi8(v, table[b >> 16], K + 3);
}

}  // namespace

ZV_AVX2 int Avx2Rgb15Row(uint8_t* d, const uint8_t* s, const uint8_t* table, int n) {
  int j = 0;
  // The indices are vector work; the table reads are scalar loads from the
  // general registers (a gather of eight costs more than eight loads), put
  // into two vectors and stored as one: a store per byte would be the limit.
  for (; j + 16 <= n; j += 16, s += 48) {
    // Packed to words: pixels 0-3, 8-11 in the lower lane, 4-7, 12-15 above.
    const __m256i w = _mm256_packus_epi32(Rgb15Index8(s), Rgb15Index8(s + 24));
    const __m128i lo = _mm256_castsi256_si128(w), hi = _mm256_extracti128_si256(w, 1);
    const __m128i zero = _mm_setzero_si128();
    __m128i x = Look4<0>(zero, Half64<0>(lo), table);
    __m128i y = Look4<8>(zero, Half64<1>(lo), table);
    x = Look4<4>(x, Half64<0>(hi), table);
    y = Look4<12>(y, Half64<1>(hi), table);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), _mm_or_si128(x, y));
  }
  return j;
}

#define ZV_AVX2_BMI2 __attribute__((target("avx2,bmi2")))

namespace {

// Two table bytes into bytes K, K + 1 of v for the two pixels at p; reads
// eight bytes, two past the pixels.
template <int K>
ZV_AVX2_BMI2 inline __m128i Look2(__m128i v, const uint8_t* p, const uint8_t* table) {
  uint64_t q;
  std::memcpy(&q, p, 8);
  // The top five bits of each of the six bytes are the two indices.
#if defined(__x86_64__)
  const uint32_t r = static_cast<uint32_t>(_pext_u64(q, 0xF8F8F8F8F8F8ull));
#else
  // The same in two halves: the low four bytes give the first 20 bits.
  const uint32_t r = _pext_u32(static_cast<uint32_t>(q), 0xF8F8F8F8u) |
                     _pext_u32(static_cast<uint32_t>(q >> 32), 0xF8F8u) << 20;
#endif
  v = _mm_insert_epi8(v, table[r & 0x7FFF], K);
  return _mm_insert_epi8(v, table[r >> 15], K + 1);
}

}  // namespace

ZV_AVX2_BMI2 int Bmi2Rgb15Row(uint8_t* d, const uint8_t* s, const uint8_t* table, int n) {
  int j = 0;
  // The last read of a group ends two bytes past it: a group runs only where
  // a pixel follows it in the row.
  for (; j + 16 < n; j += 16, s += 48) {
    const __m128i zero = _mm_setzero_si128();
    __m128i x = Look2<0>(zero, s, table), y = Look2<8>(zero, s + 24, table);
    x = Look2<2>(x, s + 6, table);
    y = Look2<10>(y, s + 30, table);
    x = Look2<4>(x, s + 12, table);
    y = Look2<12>(y, s + 36, table);
    x = Look2<6>(x, s + 18, table);
    y = Look2<14>(y, s + 42, table);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), _mm_or_si128(x, y));
  }
  return j;
}

namespace {

// Positions p + j * step for lanes j = 0..7 of 64-bit fixed point, split into
// the whole parts and the fractions.
ZV_AVX2 inline void Lanes64(int64_t p, int64_t step, __m256i* whole, __m256i* frac) {
  const int64_t s2 = step * 2, s3 = step * 3, s4 = step * 4;
  const __m256i lo4 = _mm256_add_epi64(_mm256_set1_epi64x(p), _mm256_setr_epi64x(0, step, s2, s3));
  const __m256i hi4 = _mm256_add_epi64(lo4, _mm256_set1_epi64x(s4));
  // Each 64-bit lane's low dwords to the lower half, high dwords to the upper.
  const __m256i split = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  const __m256i a = _mm256_permutevar8x32_epi32(lo4, split);
  const __m256i b = _mm256_permutevar8x32_epi32(hi4, split);
  *frac = _mm256_permute2x128_si256(a, b, 0x20);
  *whole = _mm256_permute2x128_si256(a, b, 0x31);
}

// The element indices come from the vector stepping, the picture's bytes and
// the palette entries from plain loads: a gather is slower than eight loads
// on the machines measured.
ZV_AVX2 inline void PalQuadRowOne(const PalQuadRow& r) {
  // Lane j holds sample j of the group: the element index and the two
  // 32-bit fractions, biased by 2^31 so that a signed compare shows the
  // carry out of an unsigned add.
  const __m256i bias = _mm256_set1_epi32(INT32_MIN);
  __m256i wu, fu, wv, fv;
  Lanes64(r.au, r.su, &wu, &fu);
  Lanes64(r.av, r.sv, &wv, &fv);
  fu = _mm256_xor_si256(fu, bias);
  fv = _mm256_xor_si256(fv, bias);
  const __m256i width = _mm256_set1_epi32(r.w);
  __m256i e = _mm256_add_epi32(_mm256_add_epi32(_mm256_set1_epi32(r.origin), wu),
                               _mm256_mullo_epi32(wv, width));
  const int64_t su8 = r.su * 8, sv8 = r.sv * 8;
  // The element step of eight pixels without the carries. It may wrap in
  // 32 bits; the indices it leads to are exact because they are in range.
  const __m256i k = _mm256_set1_epi32(
      static_cast<int32_t>(static_cast<uint32_t>(sv8 >> 32) * static_cast<uint32_t>(r.w) +
                           static_cast<uint32_t>(su8 >> 32)));
  const __m256i stepU = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(su8)));
  const __m256i stepV = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(sv8)));
  const uint8_t* px = r.px;
  const uint32_t* lut = r.lut;
  alignas(32) int32_t es[8];
  uint8_t* d = r.d;
  int j = 0;
  // Four entries of the table inserted straight from memory, their indices
  // read as unsigned (no sign extension): fewer operations than pairing
  // entries in a general register first.
  auto four = [&](int t) ZV_AVX2 {
    auto at = [&](int i) { return static_cast<int>(lut[px[static_cast<uint32_t>(es[i])]]); };
    const int a = at(t), b = at(t + 1), c = at(t + 2), e = at(t + 3);
    return _mm_insert_epi32(_mm_insert_epi32(_mm_insert_epi32(_mm_cvtsi32_si128(a), b, 1), c, 2), e,
                            3);
  };
  // Groups followed by another one are stored as two overlapping halves, the
  // second one's last four bytes landing in the next group, which is stored
  // over them; that group's own pixels are read before (for the key).
  const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                        1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i expand = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                          1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  // The 24 bytes at p and the four after them, which the caller knows to be
  // in the row.
  auto loadOver = [&](const uint8_t* p) ZV_AVX2 {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12));
    return _mm256_shuffle_epi8(_mm256_set_m128i(b, a), expand);
  };
  // In locals: the stores through d could alias the row's fields.
  const int n = r.n;
  const bool keyed = r.keyed;
  __m256i dcur = _mm256_setzero_si256();
  if (keyed && n >= 8) dcur = n >= 16 ? loadOver(d) : Load8x24(d);
  for (; j + 8 <= n; j += 8, d += 24) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(es), e);
    __m256i c = _mm256_inserti128_si256(_mm256_castsi128_si256(four(0)), four(4), 1);
    const bool more = j + 16 <= n;
    __m256i dnext = _mm256_setzero_si256();
    // No branch on the key: where keyed and drawn pixels change is not
    // predictable.
    if (keyed) {
      if (more) dnext = j + 24 <= n ? loadOver(d + 24) : Load8x24(d + 24);
      c = _mm256_blendv_epi8(c, dcur, _mm256_srai_epi32(c, 31));
    }
    if (more) {
      const __m256i p = _mm256_shuffle_epi8(c, pack);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(p));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 12), _mm256_extracti128_si256(p, 1));
    } else {
      Store8x24(d, c);
    }
    dcur = dnext;
    const __m256i nu = _mm256_add_epi32(fu, stepU), nv = _mm256_add_epi32(fv, stepV);
    const __m256i carryU = _mm256_cmpgt_epi32(fu, nu), carryV = _mm256_cmpgt_epi32(fv, nv);
    fu = nu;
    fv = nv;
    e = _mm256_add_epi32(_mm256_sub_epi32(_mm256_add_epi32(e, k), carryU),
                         _mm256_and_si256(carryV, width));
  }
  const int rest = n - j;
  if (rest == 0) return;
  // The last few pixels: lanes past the row are neither read nor written.
  _mm256_store_si256(reinterpret_cast<__m256i*>(es), e);
  for (int i = 0; i < rest; i++, d += 3) {
    const uint32_t c = lut[px[es[i]]];
    if (keyed && (c & 0x80000000u)) continue;
    d[0] = static_cast<uint8_t>(c);
    d[1] = static_cast<uint8_t>(c >> 8);
    d[2] = static_cast<uint8_t>(c >> 16);
  }
}

}  // namespace

ZV_AVX2 void Avx2PalQuadRows(const PalQuadRow* rows, int count) {
  for (int i = 0; i < count; i++) PalQuadRowOne(rows[i]);
}

}  // namespace blt

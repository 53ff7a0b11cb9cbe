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

// Byte b of output register k of three (64 pixels of 24 bits) is channel
// (64 k + b) % 3 of pixel (64 k + b) / 3: its place in blue and green side
// by side (green from byte 64 on), its pixel, and whether it is red.
struct Interleave {
  alignas(64) uint8_t blueGreen[3][64];
  alignas(64) uint8_t pixel[3][64];
  uint64_t red[3];
};
constexpr Interleave MakeInterleave() {
  Interleave t{};
  for (int k = 0; k < 3; k++) {
    for (int b = 0; b < 64; b++) {
      const int g = 64 * k + b, p = g / 3, c = g % 3;
      t.pixel[k][b] = static_cast<uint8_t>(p);
      t.blueGreen[k][b] = static_cast<uint8_t>(c == 1 ? 64 + p : p);
      if (c == 2) t.red[k] |= uint64_t{1} << b;
    }
  }
  return t;
}
constexpr Interleave kInterleave = MakeInterleave();

// Bytes of a 256-entry plane held in four registers, for 64 indices; hi
// marks the indices from 128 on.
ZV_AVX512 inline __m512i Look(const __m512i t[4], __m512i ix, __mmask64 hi) {
  return _mm512_mask_blend_epi8(hi, _mm512_permutex2var_epi8(t[0], ix, t[1]),
                                _mm512_permutex2var_epi8(t[2], ix, t[3]));
}

// The element indices of successive pixels, sixteen at a time.
struct Samples {
  __m512i e, fu, fv;  // indices and the 32-bit fractions of u and v
  __m512i k, stepU, stepV, width;
  ZV_AVX512 void init(const PalQuadRow& r) {
    __m512i u0, u1, v0, v1;
    Positions(r.au, r.su, &u0, &u1);
    Positions(r.av, r.sv, &v0, &v1);
    // Element indices: origin + whole(v) * w + whole(u), in 64-bit lanes
    // first, then the low dwords of both halves side by side.
    const __m512i origin = _mm512_set1_epi64(r.origin);
    const __m512i w64 = _mm512_set1_epi64(r.w);
    const __m512i even =
        _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    e = _mm512_permutex2var_epi32(Index(u0, v0, origin, w64), even, Index(u1, v1, origin, w64));
    fu = _mm512_permutex2var_epi32(u0, even, u1);
    fv = _mm512_permutex2var_epi32(v0, even, v1);
    width = _mm512_set1_epi32(r.w);
    const int64_t su16 = r.su * 16, sv16 = r.sv * 16;
    // The element step of sixteen pixels without the carries. It may wrap in
    // 32 bits; the indices it leads to are exact because they are in range.
    k = _mm512_set1_epi32(
        static_cast<int32_t>(static_cast<uint32_t>(sv16 >> 32) * static_cast<uint32_t>(r.w) +
                             static_cast<uint32_t>(su16 >> 32)));
    stepU = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(su16)));
    stepV = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(sv16)));
  }
  // The picture's bytes of the next m <= 64 pixels into ix, by plain loads:
  // a gather is slower than sixteen loads on the machines measured.
  ZV_AVX512 void fetch(const uint8_t* px, int m, uint8_t* ix) {
    alignas(64) int32_t es[64];
    for (int q = 0; q < m; q += 16) {
      // Lanes past the row read element 0 instead, which is always inside
      // the picture: the loads below then go eight at a time to the end.
      const __mmask16 live = static_cast<__mmask16>(_bzhi_u32(0xFFFF, static_cast<unsigned>(m - q)));
      _mm512_store_si512(es + q, _mm512_maskz_mov_epi32(live, e));
      const __m512i nu = _mm512_add_epi32(fu, stepU), nv = _mm512_add_epi32(fv, stepV);
      const __mmask16 carryU = _mm512_cmplt_epu32_mask(nu, fu);
      const __mmask16 carryV = _mm512_cmplt_epu32_mask(nv, fv);
      fu = nu;
      fv = nv;
      e = _mm512_add_epi32(e, k);
      e = _mm512_mask_add_epi32(e, carryU, e, _mm512_set1_epi32(1));
      e = _mm512_mask_add_epi32(e, carryV, e, width);
    }
#ifdef __clang__
#pragma clang loop vectorize(disable)
#endif
    for (int t = 0; t < m; t += 8) {
      // Eight bytes a step, their indices read two at a time.
      uint64_t q[4];
      std::memcpy(q, es + t, sizeof q);
      uint64_t out = 0;
      for (int i = 0; i < 4; i++) {
        out |= uint64_t{px[static_cast<uint32_t>(q[i])]} << (16 * i);
        out |= uint64_t{px[q[i] >> 32]} << (16 * i + 8);
      }
      std::memcpy(ix + t, &out, 8);
    }
  }
};

}  // namespace

namespace {

// The palette's planes and the interleaving orders, loaded once per batch.
struct PalRegs {
  __m512i planes[4][4];
  __m512i order[3][2];
};

// One step of up to 64 pixels of a row from their picture bytes in ix.
ZV_AVX512 inline void PalStep(const PalRegs& g, uint8_t* d, const uint8_t* ix, int m, bool keyed) {
  const __m512i i = _mm512_maskz_loadu_epi8(_bzhi_u64(~0ull, static_cast<unsigned>(m)), ix);
  const __mmask64 hi = _mm512_movepi8_mask(i);
  const __m512i b = Look(g.planes[0], i, hi), gr = Look(g.planes[1], i, hi);
  const __m512i red = Look(g.planes[2], i, hi);
  const __m512i key = keyed ? Look(g.planes[3], i, hi) : _mm512_setzero_si512();
  for (int q = 0; q < 3; q++) {
    const int bytes = 3 * m - 64 * q;
    if (bytes <= 0) break;
    __m512i out = _mm512_permutex2var_epi8(b, g.order[q][0], gr);
    out = _mm512_mask_permutexvar_epi8(out, _cvtu64_mask64(kInterleave.red[q]), g.order[q][1], red);
    uint64_t on = _bzhi_u64(~0ull, static_cast<unsigned>(bytes));
    if (keyed) {
      on &= ~_cvtmask64_u64(_mm512_movepi8_mask(_mm512_permutexvar_epi8(g.order[q][1], key)));
    }
    // Masked always: whether a store is whole changes too often to predict.
    _mm512_mask_storeu_epi8(d + 64 * q, _cvtu64_mask64(on), out);
  }
}

}  // namespace

// Sixty-four pixels a step, the palette held as planes in registers. The
// steps of all rows form one stream, and the bytes of the next step (in this
// row or the next) are fetched before this step's are read back: a vector
// load of bytes just stored one by one would wait for every store.
ZV_AVX512 void Avx512PalQuadRows(const PalQuadRow* rows, int count) {
  int cr = 0;
  while (cr < count && rows[cr].n <= 0) cr++;
  if (cr >= count) return;
  PalRegs g;
  for (int c = 0; c < 4; c++) {
    for (int q = 0; q < 4; q++) g.planes[c][q] = _mm512_loadu_si512(rows[cr].planes + 256 * c + 64 * q);
  }
  for (int q = 0; q < 3; q++) {
    g.order[q][0] = _mm512_load_si512(kInterleave.blueGreen[q]);
    g.order[q][1] = _mm512_load_si512(kInterleave.pixel[q]);
  }
  alignas(64) uint8_t ix[2][64];
  Samples smp;
  smp.init(rows[cr]);
  smp.fetch(rows[cr].px, rows[cr].n < 64 ? rows[cr].n : 64, ix[0]);
  for (int cj = 0, c = 0;; c ^= 1) {
    // The step after this one: further along the row, or the next row's first.
    int nr = cr, nj = cj + 64;
    if (nj >= rows[cr].n) {
      nj = 0;
      for (nr = cr + 1; nr < count && rows[nr].n <= 0;) nr++;
      if (nr < count) smp.init(rows[nr]);
    }
    if (nr < count) {
      const int left = rows[nr].n - nj;
      smp.fetch(rows[nr].px, left < 64 ? left : 64, ix[c ^ 1]);
    }
    const int m = rows[cr].n - cj < 64 ? rows[cr].n - cj : 64;
    PalStep(g, rows[cr].d + 3 * cj, ix[c], m, rows[cr].keyed);
    if (nr >= count) break;
    cr = nr;
    cj = nj;
  }
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

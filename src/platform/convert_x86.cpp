// The frame conversion's shuffle rows, for x86 processors that have SSSE3 or
// AVX2.
#include <immintrin.h>

#include "platform/plt_cpu.h"
#include "platform/plt_display.h"

namespace {

// Four pixels a step: 16 bytes loaded, 12 used, so the vector loop stops
// while a whole load still lies inside the row.
__attribute__((target("ssse3"))) int Ssse3Row(uint32_t* dst, const uint8_t* src, int n) {
  const __m128i take = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; 3 * x + 16 <= 3 * n; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                     _mm_or_si128(_mm_shuffle_epi8(v, take), opaque));
  }
  return x;
}

// Eight pixels a step from two 16-byte loads at bytes 0 and 8 of their 24:
// the upper lane's four pixels start at its byte 4, and no load reaches past
// the pixels. Half the steps of the SSSE3 row: in a stage the conversion of
// the changed parts is one of the game's largest costs.
__attribute__((target("avx2"))) int Avx2Row(uint32_t* dst, const uint8_t* src, int n) {
  const __m256i take = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 4, 5,
                                        6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const uint8_t* p = src + 3 * x;
    const __m256i v = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                        _mm256_or_si256(_mm256_shuffle_epi8(v, take), opaque));
  }
  return x;
}

enum { kRowScalar, kRowSsse3, kRowAvx2 };

int RowLevel() {
  if (PLT_HasAvx2()) return kRowAvx2;
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3") ? kRowSsse3 : kRowScalar;
}

}  // namespace

int PLT_Rgb24ToXrgb32Vector(uint32_t* dst, const uint8_t* src, int n) {
  static const int level = RowLevel();
  int x = level == kRowAvx2 ? Avx2Row(dst, src, n) : 0;
  if (level >= kRowSsse3) x += Ssse3Row(dst + x, src + 3 * x, n - x);
  return x;
}

// The frame conversion's shuffle row, for x86 processors that have SSSE3.
#include <immintrin.h>

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

}  // namespace

int PLT_Rgb24ToXrgb32Ssse3(uint32_t* dst, const uint8_t* src, int n) {
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  return ssse3 ? Ssse3Row(dst, src, n) : 0;
}

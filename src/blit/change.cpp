// The 24-bit frame into the 8-bit back buffer of a 256-colour desktop.
#include <cstddef>

#include "blit/blit.h"
#include "blit/simd.h"
#include "common/log.h"

namespace {

inline uint8_t Convert(const uint8_t* s) {
  return Rgb15ToIndex[((s[2] >> 3) << 10) | ((s[1] >> 3) << 5) | (s[0] >> 3)];
}

}  // namespace

int DRW_ChangeBMP_F2B(BImage* dst, const FImage* src) {
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[DRW_ChangeBMP_F2B]\n");
    return 0;
  }
  if (!src || !src->pixels) {
    LOG_Write("画像領域がありません[DRW_ChangeBMP_F2B]\n");
    return 0;
  }
  const std::size_t w = dst->width > 0 ? static_cast<std::size_t>(dst->width) : 0;
  const std::size_t h = dst->height > 0 ? static_cast<std::size_t>(dst->height) : 0;
  // Row by row: a vector group never reads past the end of a row.
  const blt::VectorPaths& v = blt::Paths();
  const bool wide = w <= (1u << 26);
  // The bit extract takes the index arithmetic off the vector units, which
  // then only put the table bytes together.
  const auto extract = wide ? v.rgb15ExtractRow : nullptr;
  const auto shuffle = wide ? v.rgb15Row : nullptr;
  for (std::size_t y = 0; y < h; y++) {
    uint8_t* d = dst->pixels + y * w;
    const uint8_t* s = src->pixels + y * w * 3;
    const int n = static_cast<int>(w);
    std::size_t x = 0;
    if (extract) x = static_cast<std::size_t>(extract(d, s, Rgb15ToIndex, n));
    if (shuffle) {
      x += static_cast<std::size_t>(
          shuffle(d + x, s + x * 3, Rgb15ToIndex, n - static_cast<int>(x)));
    }
    for (; x < w; x++) d[x] = Convert(s + x * 3);
  }
  return 1;
}

// The 24-bit frame into the 8-bit back buffer of a 256-colour desktop.
#include <cstddef>

#include "blit/blit.h"
#include "shell/log.h"

int DRW_ChangeBMP_F2B(BImage* dst, const FImage* src) {
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[DRW_ChangeBMP_F2B]\n");
    return 0;
  }
  if (!src || !src->pixels) {
    LOG_Write("画像領域がありません[DRW_ChangeBMP_F2B]\n");
    return 0;
  }
  const std::size_t n = static_cast<std::size_t>(dst->width > 0 ? dst->width : 0) *
                        static_cast<std::size_t>(dst->height > 0 ? dst->height : 0);
  const uint8_t* s = src->pixels;
  uint8_t* d = dst->pixels;
  for (std::size_t k = 0; k < n; k++, s += 3) {
    d[k] = Rgb15ToIndex[((s[2] >> 3) << 10) | ((s[1] >> 3) << 5) | (s[0] >> 3)];
  }
  return 1;
}

// The glyph drawing the rasterizers share.
#include "platform/glyph_blit.h"

#include <cstddef>

void PLT_GlyphBlit(const uint8_t* grey, int width, int rows, uint32_t* canvas, int cw, int ch,
                   int left, int top) {
  for (int row = 0; row < rows; ++row) {
    const int ty = top + row;
    if (ty < 0 || ty >= ch) continue;
    const uint8_t* src = grey + static_cast<size_t>(row) * static_cast<size_t>(width);
    uint32_t* dst = canvas + static_cast<size_t>(ty) * static_cast<size_t>(cw);
    for (int col = 0; col < width; ++col) {
      const int tx = left + col;
      if (tx < 0 || tx >= cw) continue;
      const uint32_t v = src[col];
      if (v > (dst[tx] & 0xFF)) dst[tx] = v | (v << 8) | (v << 16);
    }
  }
}

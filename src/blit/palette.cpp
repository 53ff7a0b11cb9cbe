// Palette operations and the palette preparation of palettised sources.
#include "blit/palette.h"

#include <cstring>

#include "blit/loops.h"
#include "blit/pixels.h"

void PAL_Invert(uint8_t* palette) {
  for (int i = 0; i < 256 * 4; i++) palette[i] = static_cast<uint8_t>(~palette[i]);
}

void PAL_Desaturate(uint8_t* palette, int amount) {
  for (int i = 0; i < 256; i++) {
    uint8_t* e = palette + i * 4;
    const int grey = (77 * e[2] + 151 * e[1] + 28 * e[0]) >> 8;
    for (int c = 0; c < 3; c++) {
      // amount 256 (a full desaturation request) gives a tiny negative share
      // of the own colour; the result stays within a byte.
      const int v = (amount * grey + (255 - amount) * e[c]) / 255;
      e[c] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
  }
}

static int TintChannel(int c, int f) {
  const int v = f <= 128 ? (c * f) >> 7 : c + (((255 - c) * (f - 127)) >> 7);
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

void PAL_Tint(uint8_t* palette, int fr, int fg, int fb) {
  if (fr == 128 && fg == 128 && fb == 128) return;
  for (int i = 0; i < 256; i++) {
    uint8_t* e = palette + i * 4;
    e[0] = static_cast<uint8_t>(TintChannel(e[0], fb));
    e[1] = static_cast<uint8_t>(TintChannel(e[1], fg));
    e[2] = static_cast<uint8_t>(TintChannel(e[2], fr));
    e[3] = 0;
  }
}

namespace blt {

const uint8_t* GreyPalette() {
  static uint8_t grey[1024];
  static bool built = false;
  if (!built) {
    for (int i = 0; i < 256; i++) {
      grey[i * 4] = grey[i * 4 + 1] = grey[i * 4 + 2] = static_cast<uint8_t>(i);
      grey[i * 4 + 3] = 0;
    }
    built = true;
  }
  return grey;
}

const uint8_t* SourcePalette(const BImage* img) {
  // A record without a palette draws its indices as grey levels rather than
  // reading through a null pointer.
  return img->palette ? img->palette : GreyPalette();
}

const uint8_t* PreparePalette(const BImage* img, int mode, int param, int kr, int kg, int kb,
                              uint8_t* buf) {
  const uint8_t* own = SourcePalette(img);
  const bool neutral = kr == 128 && kg == 128 && kb == 128;
  if (neutral && mode != BLT_MODE_NEGATIVE && mode != BLT_MODE_FADE &&
      mode != BLT_MODE_DESATURATE && mode != BLT_MODE_WOBBLE_HALF)
    return own;
  std::memcpy(buf, own, 1024);
  if (mode == BLT_MODE_DESATURATE) {
    PAL_Desaturate(buf, 256 - param);
    PAL_Tint(buf, kr, kg, kb);
    return buf;
  }
  PAL_Tint(buf, kr, kg, kb);
  if (mode == BLT_MODE_NEGATIVE) {
    PAL_Invert(buf);
  } else if (mode == BLT_MODE_FADE) {
    PAL_Tint(buf, param >> 1, param >> 1, param >> 1);
  } else if (mode == BLT_MODE_WOBBLE_HALF) {
    PAL_Tint(buf, 64, 64, 64);
  }
  return buf;
}

}  // namespace blt

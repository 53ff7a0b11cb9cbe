// Entry plumbing shared by the blit families.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "blit/loops.h"

namespace blt {

void SanitizeFactors(BlitParams* p) {
  p->colR = std::clamp(p->colR, 0, 255);
  p->colG = std::clamp(p->colG, 0, 255);
  p->colB = std::clamp(p->colB, 0, 255);
}

void SplitMode(uint32_t word, int* mode, int* param) {
  int m = static_cast<int>(word & 0xFFFF);
  const int P = static_cast<int>(word >> 16);
  // The fading modes reach the full picture at 256; larger parameters would
  // index past the multiply table, so they count as the full picture too.
  if ((m == BLT_MODE_FADE || m == BLT_MODE_DESATURATE || m == BLT_MODE_STIPPLE ||
       m == BLT_MODE_NOISE) &&
      P >= 256)
    m = 0;
  *mode = m;
  *param = P;
}

bool PrepareMode(BlitParams* p, int* mode, int* param) {
  const int m = static_cast<int>(p->mode & 0xFFFF), P = static_cast<int>(p->mode >> 16);
  if ((m == BLT_MODE_FADE || m == BLT_MODE_STIPPLE) && P == 0) return false;
  if ((m == BLT_MODE_FADE || m == BLT_MODE_STIPPLE) && P == 256) p->mode = 0;
  SplitMode(p->mode, mode, param);
  SanitizeFactors(p);
  return true;
}

bool DescribeSource(const BlitParams& p, Source* s, int mode, int param, uint8_t* palBuf) {
  *s = Source{};
  s->kr = p.colR;
  s->kg = p.colG;
  s->kb = p.colB;
  s->neutral = p.colR == 128 && p.colG == 128 && p.colB == 128;
  if (p.srcFormat == FMT_B) {
    const BImage* img = static_cast<const BImage*>(p.src);
    if (!img || !img->pixels) return false;
    s->isB = true;
    s->px = img->pixels;
    s->alpha = img->alpha;
    s->width = img->width;
    s->height = img->height;
    s->own = SourcePalette(img);
    s->pal = PreparePalette(img, mode, param, p.colR, p.colG, p.colB, palBuf);
    if (p.colorKey == BLT_KEY_NONE) {
      s->keyKind = kKeyNone;
    } else if (p.colorKey == BLT_KEY_ALPHA) {
      s->keyKind = img->alpha ? kKeyAlpha : kKeyNone;
    } else {
      s->keyKind = kKeyColor;
    }
  } else {
    const FImage* img = static_cast<const FImage*>(p.src);
    if (!img || !img->pixels) return false;
    s->px = img->pixels;
    s->width = img->width;
    s->height = img->height;
    s->factors = !s->neutral;
    // An F picture has no alpha: key -2 draws every pixel.
    s->keyKind = (p.colorKey == BLT_KEY_NONE || p.colorKey == BLT_KEY_ALPHA) ? kKeyNone : kKeyColor;
  }
  s->key = static_cast<uint32_t>(p.colorKey);
  if (s->isB) {
    for (int i = 0; i < 256; i++) {
      uint32_t drawn, own;
      std::memcpy(&drawn, s->pal + i * 4, 4);
      std::memcpy(&own, s->own + i * 4, 4);
      const bool keyed = s->keyKind == kKeyColor && (own & 0xFFFFFF) == s->key;
      s->lut[i] = (drawn & 0xFFFFFF) | (keyed ? kLutKeyed : 0);
    }
  }
  return true;
}

bool ScratchRows(int bytes, uint8_t** colour, uint8_t** alpha) {
  static uint8_t* buf = nullptr;
  static int cap = 0;
  if (bytes <= 0) return false;
  if (bytes > cap) {
    uint8_t* n = static_cast<uint8_t*>(std::realloc(buf, static_cast<size_t>(bytes) * 2 + 64));
    if (!n) return false;
    buf = n;
    cap = bytes;
  }
  *colour = buf;
  *alpha = buf + cap + 32;
  return true;
}

}  // namespace blt

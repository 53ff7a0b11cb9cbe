// Unscaled image blits: DRW_DrawBMP_FF and DRW_DrawBMP_FB.
#include <algorithm>
#include <cstring>

#include "blit/clip.h"
#include "blit/loops.h"
#include "blit/simd.h"
#include "common/log.h"

namespace blt {
namespace {

// Modes with a loop of their own in each entry; any other mode draws as a
// copy.
constexpr ModeSet kLoopsFF = ModeRange(BLT_MODE_COPY, BLT_MODE_NEGATIVE) |
                             ModeRange(BLT_MODE_FADE, BLT_MODE_SCATTER) |
                             ModeRange(BLT_MODE_WOBBLE, BLT_MODE_CELLS_BLEND_16);
constexpr ModeSet kLoopsFB = ModeRange(BLT_MODE_COPY, BLT_MODE_DARKEN) |
                             ModeBits({BLT_MODE_FADE, BLT_MODE_STIPPLE, BLT_MODE_SCATTER,
                                       BLT_MODE_WOBBLE, BLT_MODE_WOBBLE_HALF});
constexpr ModeSet kEffects = ModeRange(BLT_MODE_MOSAIC, BLT_MODE_CELLS_BLEND_16);

template <int kKey, class Fetch, class Op>
void Loop(const Geom& gr, const Fetch& fr, const Op& opr, uint32_t key) {
  // Local copies: the byte stores could alias the callers' objects.
  const Geom g = gr;
  const Fetch f = fr;
  const Op op = opr;
  for (int i = 0; i < g.h; i++) {
    uint8_t* d = g.d + i * g.dStride;
    ptrdiff_t e = g.start + i * g.rowStep;
    for (int j = 0; j < g.w; j++, d += 3, e += g.colStep) {
      if (!op.on(i, j)) continue;
      Plot<kKey>(d, e, f, op, key);
    }
  }
}

template <class Op>
void Run(const Geom& g, const Source& s, const Op& op) {
  WithFetch(s, [&](const auto& f, auto k) { Loop<decltype(k)::value>(g, f, op, s.key); });
}

// Vector paths: the row is fetched (or read in place) and combined with the
// destination by a byte-wise kernel. Returns false when the case has none.
bool TryVector(const Geom& g, Source s, int mode, int param, int32_t dstW) {
  const VectorPaths& v = Paths();
  const RowKernels* k = v.rows;
  if (!k || s.keyKind == kKeyColor || g.w > (1 << 26)) return false;
  const bool alpha = s.keyKind == kKeyAlpha;
  // Expanding the alpha plane row by row costs more than the SSE2 kernels
  // save; the scalar loop is faster there.
  if (alpha && !v.alphaRows) return false;
  if (mode == BLT_MODE_FADE && alpha && g.colStep == 1 && v.palFadeAlphaRow) {
    // Fading palettised pictures with an alpha plane: gather, fade and blend
    // eight pixels at a time, exactly as the scalar rule.
    const FetchB f{s.px, s.alpha, s.lut};
    const OpFadeB op{{}, MulTable + (256 - param) * 257, param};
    for (int i = 0; i < g.h; i++) {
      uint8_t* d = g.d + i * g.dStride;
      const ptrdiff_t e = g.start + i * g.rowStep;
      const int done = v.palFadeAlphaRow(d, s.px + e, s.alpha + e, s.pal, g.w, param);
      for (int j = done; j < g.w; j++) Plot<kKeyAlpha>(d + j * 3, e + j, f, op, 0);
    }
    return true;
  }
  if (mode == BLT_MODE_FADE) {
    // The fade kernel works on the picture's own colours.
    if (alpha || !s.neutral) return false;
    s.pal = s.own;
  } else if (mode != BLT_MODE_COPY && mode != BLT_MODE_ADD && mode != BLT_MODE_SUB) {
    return false;
  }
  const int n = g.w * 3;
  // The whole block in one move when both images are exactly the blit wide.
  if (mode == BLT_MODE_COPY && !alpha && !s.isB && !s.factors && g.colStep == 1 && g.w == dstW &&
      g.w == s.width && g.rowStep == s.width) {
    std::memcpy(g.d, s.px + g.start * 3, static_cast<size_t>(n) * g.h);
    return true;
  }
  uint8_t *buf = nullptr, *abuf = nullptr;
  if (!ScratchRows(n, &buf, &abuf)) return false;
  const RowAlpha ra =
      !alpha ? kRowPlain : (mode == BLT_MODE_COPY ? kRowAlphaBytes : kRowPremultiplied);
  if (ra == kRowAlphaBytes && g.colStep == 1 && v.palAlphaRow) {
    // Palette gather and blend eight pixels at a time.
    const FetchB f{s.px, s.alpha, s.lut};
    for (int i = 0; i < g.h; i++) {
      uint8_t* d = g.d + i * g.dStride;
      const ptrdiff_t e = g.start + i * g.rowStep;
      const int done = v.palAlphaRow(d, s.px + e, s.alpha + e, s.pal, g.w);
      for (int j = done; j < g.w; j++) Plot<kKeyAlpha>(d + j * 3, e + j, f, OpCopy{}, 0);
    }
    return true;
  }
  for (int i = 0; i < g.h; i++) {
    uint8_t* d = g.d + i * g.dStride;
    const uint8_t* row = FetchRow(g, s, i, buf, abuf, ra);
    ApplyRowKernel(k, mode, param, ra, d, row, abuf, n);
  }
  return true;
}

int DrawBMP(BlitParams p, bool srcIsB, const char* name) {
  FImage* dst = static_cast<FImage*>(p.dst);
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[%s]\n", name);
    return 0;
  }
  p.srcFormat = srcIsB ? FMT_B : FMT_F;
  int32_t srcW = 0, srcH = 0;
  if (srcIsB) {
    const BImage* b = static_cast<const BImage*>(p.src);
    if (b && b->pixels) srcW = b->width, srcH = b->height;
    if (!b || !b->pixels) p.src = nullptr;
  } else {
    const FImage* f = static_cast<const FImage*>(p.src);
    if (f && f->pixels) srcW = f->width, srcH = f->height;
    if (!f || !f->pixels) p.src = nullptr;
  }
  if (!p.src) {
    LOG_Write("画像領域がありません[%s]\n", name);
    return 0;
  }

  const BlitParams unclipped = p;
  const int32_t dx0 = p.dx, dy0 = p.dy, sx0 = p.sx, sy0 = p.sy;
  ClipJob c{};
  c.dx = p.dx, c.dy = p.dy, c.sx = p.sx, c.sy = p.sy, c.w = p.w, c.h = p.h;
  c.dstW = dst->width, c.dstH = dst->height, c.srcW = srcW, c.srcH = srcH;
  c.clip = p.clip, c.whole = p.clip == BLT_NO_CLIP;
  if (!CLIP_Rect(&c)) return 0;
  p.dx = c.dx, p.dy = c.dy, p.sx = c.sx, p.sy = c.sy, p.w = c.w, p.h = c.h;

  int mode, param;
  if (!PrepareMode(&p, &mode, &param)) return 1;
  // An unmoved wobble is a plain copy (at full brightness for B sources too).
  if ((mode == BLT_MODE_WOBBLE || mode == BLT_MODE_WOBBLE_HALF) && param == 0) mode = 0;
  // The wobble's tiles are laid over the whole picture and clipped one by one.
  if (mode == BLT_MODE_WOBBLE || mode == BLT_MODE_WOBBLE_HALF) {
    BlitParams t = unclipped;
    t.mode = p.mode;
    SanitizeFactors(&t);
    DrawWobble(t, srcIsB, mode, param);
    return 1;
  }

  uint8_t palBuf[1024];
  Source s;
  DescribeSource(p, &s, mode, param, palBuf);

  // Modes without a loop of their own in this entry draw as mode 0 (the
  // palette preparation above has already inverted or desaturated B sources).
  // Scatter without spread and a horizontal wave without amplitude are copies.
  if (!HasMode(srcIsB ? kLoopsFB : kLoopsFF, mode)) mode = 0;
  if ((mode == BLT_MODE_SCATTER && param == 0) ||
      (mode == BLT_MODE_HWAVE_BLEND && (param & 0xFF) == 0))
    mode = 0;

  Geom g;
  g.w = p.w;
  g.h = p.h;
  g.dStride = static_cast<ptrdiff_t>(dst->width) * 3;
  g.d = dst->pixels + (static_cast<ptrdiff_t>(p.dy) * dst->width + p.dx) * 3;
  // Mirrored blits read the source rectangle backwards; a cut on the left
  // (top) of the destination removes columns (rows) from the far end of the
  // source. The start is kept inside the image whatever the rectangle says.
  int64_t col = p.sx, row = p.sy;
  g.colStep = 1;
  if (p.flags & BLT_MIRROR_X) {
    col = static_cast<int64_t>(sx0) + p.sw - 1 - (static_cast<int64_t>(p.dx) - dx0);
    col = std::clamp<int64_t>(col, p.w - 1, static_cast<int64_t>(srcW) - 1);
    g.colStep = -1;
  }
  g.rowStep = srcW;
  if (p.flags & BLT_MIRROR_Y) {
    row = static_cast<int64_t>(sy0) + p.sh - 1 - (static_cast<int64_t>(p.dy) - dy0);
    row = std::clamp<int64_t>(row, p.h - 1, static_cast<int64_t>(srcH) - 1);
    g.rowStep = -static_cast<ptrdiff_t>(srcW);
  }
  g.start = static_cast<ptrdiff_t>(row * srcW + col);
  g.x = p.dx;
  g.y = p.dy;
  g.startCol = static_cast<int32_t>(col);
  g.dst = dst;

  if (HasMode(kEffects, mode)) {
    DrawEffect(g, s, mode, param);
    return 1;
  }
  if (TryVector(g, s, mode, param, dst->width)) return 1;

  WithModeOp<ModeBits({BLT_MODE_ADD, BLT_MODE_DODGE, BLT_MODE_SUB, BLT_MODE_OVERLAY,
                       BLT_MODE_SCALE_BY_DEST, BLT_MODE_LIGHTEN, BLT_MODE_DARKEN, BLT_MODE_NEGATIVE,
                       BLT_MODE_FADE, BLT_MODE_DESATURATE, BLT_MODE_STIPPLE, BLT_MODE_NOISE})>(
      mode, param, s.isB, [&](const auto& op) { Run(g, s, op); });
  return 1;
}

}  // namespace

// The source colours of row i as 3 * w bytes, with the factors applied. With
// kRowAlphaBytes the alpha of each pixel is written three times into abuf;
// with kRowPremultiplied each colour is scaled by its alpha (the source term
// of modes 1 and 3).
const uint8_t* FetchRow(const Geom& g, const Source& s, int i, uint8_t* buf, uint8_t* abuf,
                        RowAlpha ra) {
  const ptrdiff_t e0 = g.start + i * g.rowStep;
  if (!s.isB && !s.factors && g.colStep == 1) return s.px + e0 * 3;
  uint8_t* o = buf;
  ptrdiff_t e = e0;
  if (!s.isB) {
    if (s.factors) {
      for (int j = 0; j < g.w; j++, e += g.colStep, o += 3) {
        const uint8_t* p = s.px + e * 3;
        o[0] = static_cast<uint8_t>(CS(s.kb, p[0]));
        o[1] = static_cast<uint8_t>(CS(s.kg, p[1]));
        o[2] = static_cast<uint8_t>(CS(s.kr, p[2]));
      }
    } else {  // mirrored
      for (int j = 0; j < g.w; j++, e += g.colStep, o += 3) std::memcpy(o, s.px + e * 3, 3);
    }
    return buf;
  }
  for (int j = 0; j < g.w; j++, e += g.colStep, o += 3) {
    const uint8_t* c = s.pal + s.px[e] * 4;
    if (ra == kRowPlain) {
      o[0] = c[0];
      o[1] = c[1];
      o[2] = c[2];
    } else {
      const int a = s.alpha[e];
      if (ra == kRowAlphaBytes) {
        o[0] = c[0];
        o[1] = c[1];
        o[2] = c[2];
        abuf[j * 3] = abuf[j * 3 + 1] = abuf[j * 3 + 2] = static_cast<uint8_t>(a);
      } else if (a == 255) {
        o[0] = c[0];
        o[1] = c[1];
        o[2] = c[2];
      } else {
        o[0] = static_cast<uint8_t>(Mul(a, c[0]));
        o[1] = static_cast<uint8_t>(Mul(a, c[1]));
        o[2] = static_cast<uint8_t>(Mul(a, c[2]));
      }
    }
  }
  return buf;
}

}  // namespace blt

int DRW_DrawBMP_FF(BlitParams p) {
  return blt::DrawBMP(p, false, "DRW_DrawBMP_FF");
}
int DRW_DrawBMP_FB(BlitParams p) {
  return blt::DrawBMP(p, true, "DRW_DrawBMP_FB");
}

// Zoomed image blits: DRW_DrawZOOM_FF and DRW_DrawZOOM_FB.
//
// Destination column j samples source column sx + floor((r0 + j * sw0) / dw0)
// (counted from the far end when mirrored), r0 being the start remainder the
// clip leaves; rows likewise. The sequence is the same for every row, so the
// column offsets are stepped once per call into a table.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "blit/clip.h"
#include "blit/loops.h"
#include "blit/simd.h"
#include "common/log.h"

namespace blt {
// The modes each entry has a loop for; every other mode draws as a copy.
constexpr ModeSet kLoopsZB = ModeBits(
    {BLT_MODE_COPY, BLT_MODE_ADD, BLT_MODE_SUB, BLT_MODE_OVERLAY, BLT_MODE_FADE, BLT_MODE_STIPPLE});
constexpr ModeSet kLoopsZF = kLoopsZB | ModeBits({BLT_MODE_NEGATIVE, BLT_MODE_DESATURATE});

namespace {

struct ZoomGeom {
  uint8_t* d;
  ptrdiff_t dStride;
  int w, h;
  int x0, y0;  // destination position of the first pixel (stipple pattern)
  const ptrdiff_t* colOff;
  // Row stepper.
  int64_t row0, rowDir, rowQ, rowR, rowDen, rowAcc;
  ptrdiff_t srcW, col0;
};

// Source element of the first pixel of each row, in order.
struct RowWalker {
  int64_t off, acc;
  const ZoomGeom* g;
  explicit RowWalker(const ZoomGeom& zg) : off(0), acc(zg.rowAcc), g(&zg) {}
  ptrdiff_t base() const {
    return static_cast<ptrdiff_t>((g->row0 + g->rowDir * off) * g->srcW) + g->col0;
  }
  void next() {
    off += g->rowQ;
    acc += g->rowR;
    if (acc >= g->rowDen) {
      off++;
      acc -= g->rowDen;
    }
  }
};

template <int kKey, class Fetch, class Op>
void Loop(const ZoomGeom& g, const Fetch& fr, const Op& opr, uint32_t key) {
  // Local copies: the byte stores could alias the callers' objects.
  const Fetch f = fr;
  const Op op = opr;
  const ptrdiff_t* colOff = g.colOff;
  const int w = g.w, x0 = g.x0;
  RowWalker rw(g);
  for (int i = 0; i < g.h; i++, rw.next()) {
    uint8_t* d = g.d + i * g.dStride;
    const ptrdiff_t base = rw.base();
    const int y = g.y0 + i;
    for (int j = 0; j < w; j++, d += 3) {
      if (!op.on(y, x0 + j)) continue;
      Plot<kKey>(d, base + colOff[j], f, op, key);
    }
  }
}

template <class Op>
void Run(const ZoomGeom& g, const Source& s, const Op& op) {
  WithFetch(s, [&](const auto& f, auto k) { Loop<decltype(k)::value>(g, f, op, s.key); });
}

void FetchRow(const ZoomGeom& g, const Source& s, ptrdiff_t base, uint8_t* o, uint8_t* abuf,
              RowAlpha ra) {
  if (!s.isB) {
    for (int j = 0; j < g.w; j++, o += 3) {
      const uint8_t* p = s.px + (base + g.colOff[j]) * 3;
      if (s.factors) {
        o[0] = static_cast<uint8_t>(CS(s.kb, p[0]));
        o[1] = static_cast<uint8_t>(CS(s.kg, p[1]));
        o[2] = static_cast<uint8_t>(CS(s.kr, p[2]));
      } else {
        std::memcpy(o, p, 3);
      }
    }
    return;
  }
  for (int j = 0; j < g.w; j++, o += 3) {
    const ptrdiff_t e = base + g.colOff[j];
    const uint8_t* c = s.pal + s.px[e] * 4;
    int a = 255;
    if (ra != kRowPlain) a = s.alpha[e];
    if (ra == kRowPremultiplied && a != 255) {
      o[0] = static_cast<uint8_t>(Mul(a, c[0]));
      o[1] = static_cast<uint8_t>(Mul(a, c[1]));
      o[2] = static_cast<uint8_t>(Mul(a, c[2]));
    } else {
      o[0] = c[0];
      o[1] = c[1];
      o[2] = c[2];
    }
    if (ra == kRowAlphaBytes)
      abuf[j * 3] = abuf[j * 3 + 1] = abuf[j * 3 + 2] = static_cast<uint8_t>(a);
  }
}

bool TryVector(const ZoomGeom& g, Source s, int mode, int param) {
  const VectorPaths& v = Paths();
  const RowKernels* k = v.rows;
  if (!k || s.keyKind == kKeyColor || g.w > (1 << 26)) return false;
  const bool alpha = s.keyKind == kKeyAlpha;
  // Expanding the alpha plane row by row costs more than the SSE2 kernels
  // save; the scalar loop is faster there.
  if (alpha && !v.alphaRows) return false;
  const bool fade = mode == BLT_MODE_FADE;
  const bool rowKernel =
      fade ? v.palFadeAlphaRow != nullptr : mode == BLT_MODE_COPY && v.palAlphaRow != nullptr;
  if (alpha && s.isB && rowKernel) {
    // The sampled indices and alphas of a row side by side, then the copy
    // or the fade through the alpha plane eight pixels at a time (exact).
    uint8_t *idx = nullptr, *al = nullptr;
    if (!ScratchRows(g.w, &idx, &al)) return false;
    const FetchB f{s.px, s.alpha, s.lut};
    const OpFadeB fadeOp{{}, MulTable + (256 - param) * 257, param};
    RowWalker rw(g);
    ptrdiff_t fetched = -1;
    for (int i = 0; i < g.h; i++, rw.next()) {
      uint8_t* d = g.d + i * g.dStride;
      const ptrdiff_t base = rw.base();
      // Enlarged pictures repeat source rows: gather each only once.
      if (base != fetched) {
        for (int j = 0; j < g.w; j++) {
          idx[j] = s.px[base + g.colOff[j]];
          al[j] = s.alpha[base + g.colOff[j]];
        }
        fetched = base;
      }
      // The row's last few pixels by the scalar rule.
      auto finish = [&](int done, const auto& op) {
        for (int j = done; j < g.w; j++) Plot<kKeyAlpha>(d + j * 3, base + g.colOff[j], f, op, 0);
      };
      if (fade) {
        finish(v.palFadeAlphaRow(d, idx, al, s.pal, g.w, param), fadeOp);
      } else {
        finish(v.palAlphaRow(d, idx, al, s.pal, g.w), OpCopy{});
      }
    }
    return true;
  }
  if (mode == BLT_MODE_FADE) {
    if (alpha || !s.neutral) return false;
    s.pal = s.own;
  } else if (mode != BLT_MODE_ADD && mode != BLT_MODE_SUB) {
    // A plain copy gathers as fast straight into the frame as into a row
    // buffer; only the blending modes gain from the byte kernels.
    return false;
  }
  const int n = g.w * 3;
  uint8_t *buf = nullptr, *abuf = nullptr;
  if (!ScratchRows(n, &buf, &abuf)) return false;
  const RowAlpha ra =
      !alpha ? kRowPlain : (mode == BLT_MODE_COPY ? kRowAlphaBytes : kRowPremultiplied);
  RowWalker rw(g);
  ptrdiff_t fetched = -1;
  for (int i = 0; i < g.h; i++, rw.next()) {
    uint8_t* d = g.d + i * g.dStride;
    const ptrdiff_t base = rw.base();
    // Enlarged pictures repeat source rows: gather each only once.
    if (base != fetched) {
      FetchRow(g, s, base, buf, abuf, ra);
      fetched = base;
    }
    ApplyRowKernel(k, mode, param, ra, d, buf, abuf, n);
  }
  return true;
}

// Stepper of one axis: number of destination pixels whose sample stays
// within maxOff source pixels of the start.
int64_t SampleLimit(int64_t maxOff, int64_t rem, int64_t srcLen, int64_t dstLen) {
  const int64_t num = (maxOff + 1) * dstLen - rem;
  if (num <= 0) return 0;
  return (num + srcLen - 1) / srcLen;
}

ptrdiff_t* ColumnTable(int n) {
  static ptrdiff_t* table = nullptr;
  static int cap = 0;
  if (n > cap) {
    ptrdiff_t* t = static_cast<ptrdiff_t*>(std::realloc(table, sizeof(ptrdiff_t) * n));
    if (!t) return nullptr;
    table = t;
    cap = n;
  }
  return table;
}

int DrawZoom(BlitParams p, bool srcIsB, const char* name) {
  const FImage* dst = static_cast<const FImage*>(p.dst);
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[%s]\n", name);
    return 0;
  }
  p.srcFormat = srcIsB ? FMT_B : FMT_F;
  int32_t srcW = 0, srcH = 0;
  bool have = false;
  if (srcIsB) {
    const BImage* b = static_cast<const BImage*>(p.src);
    if (b && b->pixels) srcW = b->width, srcH = b->height, have = true;
  } else {
    const FImage* f = static_cast<const FImage*>(p.src);
    if (f && f->pixels) srcW = f->width, srcH = f->height, have = true;
  }
  if (!have) {
    LOG_Write("画像領域がありません[%s]\n", name);
    return 0;
  }

  const int64_t dw0 = p.w, dh0 = p.h, sw0 = p.sw, sh0 = p.sh;
  ClipJob c{};
  c.sx = p.sx, c.sy = p.sy, c.w = p.sw, c.h = p.sh, c.dx = p.dx, c.dy = p.dy, c.dw = p.w,
  c.dh = p.h;
  c.dstW = dst->width, c.dstH = dst->height, c.srcW = srcW, c.srcH = srcH;
  c.clip = p.clip, c.whole = p.clip == BLT_NO_CLIP;
  const int clipped = CLIP_RectZ(&c);
  const int32_t rx = c.remX, ry = c.remY;
  if (!clipped) return 1;
  p.sx = c.sx, p.sy = c.sy, p.sw = c.w, p.sh = c.h, p.dx = c.dx, p.dy = c.dy, p.w = c.dw,
  p.h = c.dh;

  int mode, param;
  if (!PrepareMode(&p, &mode, &param)) return 1;

  uint8_t palBuf[1024];
  Source s;
  DescribeSource(p, &s, mode, param, palBuf);
  if (!HasMode(srcIsB ? kLoopsZB : kLoopsZF, mode)) mode = BLT_MODE_COPY;

  // Start at the near end of the clipped source rectangle, or at its far end
  // when mirrored, and draw only as many pixels as stay inside the image.
  const bool mx = (p.flags & BLT_MIRROR_X) != 0, my = (p.flags & BLT_MIRROR_Y) != 0;
  int64_t col0 = p.sx, row0 = p.sy;
  if (mx) col0 = std::clamp<int64_t>(static_cast<int64_t>(p.sx) + p.sw - 1, 0, srcW - 1);
  if (my) row0 = std::clamp<int64_t>(static_cast<int64_t>(p.sy) + p.sh - 1, 0, srcH - 1);
  const int64_t maxX = mx ? col0 : srcW - 1 - col0;
  const int64_t maxY = my ? row0 : srcH - 1 - row0;
  const int w = static_cast<int>(std::min<int64_t>(p.w, SampleLimit(maxX, rx, sw0, dw0)));
  const int h = static_cast<int>(std::min<int64_t>(p.h, SampleLimit(maxY, ry, sh0, dh0)));
  if (w <= 0 || h <= 0) return 1;

  ptrdiff_t* colOff = ColumnTable(w);
  if (!colOff) return 1;
  {
    const int64_t q = sw0 / dw0, r = sw0 % dw0;
    int64_t off = 0, acc = rx;
    for (int j = 0; j < w; j++) {
      colOff[j] = static_cast<ptrdiff_t>(mx ? -off : off);
      off += q;
      acc += r;
      if (acc >= dw0) {
        off++;
        acc -= dw0;
      }
    }
  }

  ZoomGeom g;
  g.w = w;
  g.h = h;
  g.x0 = p.dx;
  g.y0 = p.dy;
  g.dStride = static_cast<ptrdiff_t>(dst->width) * 3;
  g.d = dst->pixels + (static_cast<ptrdiff_t>(p.dy) * dst->width + p.dx) * 3;
  g.colOff = colOff;
  g.row0 = row0;
  g.rowDir = my ? -1 : 1;
  g.rowQ = sh0 / dh0;
  g.rowR = sh0 % dh0;
  g.rowDen = dh0;
  g.rowAcc = ry;
  g.srcW = srcW;
  g.col0 = static_cast<ptrdiff_t>(col0);

  if (TryVector(g, s, mode, param)) return 1;

  WithModeOp<ModeBits({BLT_MODE_ADD, BLT_MODE_SUB, BLT_MODE_OVERLAY, BLT_MODE_NEGATIVE,
                       BLT_MODE_FADE, BLT_MODE_DESATURATE, BLT_MODE_STIPPLE})>(
      mode, param, s.isB, [&](const auto& op) { Run(g, s, op); });
  return 1;
}

}  // namespace
}  // namespace blt

int DRW_DrawZOOM_FF(BlitParams p) {
  return blt::DrawZoom(p, false, "DRW_DrawZOOM_FF");
}
int DRW_DrawZOOM_FB(BlitParams p) {
  return blt::DrawZoom(p, true, "DRW_DrawZOOM_FB");
}

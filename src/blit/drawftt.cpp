// Pattern wipe: picture 1 fades in through the grey levels of a palettised
// mask, each level over 128 steps of the wipe position.
#include <algorithm>

#include "blit/clip.h"
#include "blit/loops.h"
#include "blit/simd.h"
#include "common/log.h"

namespace blt {
namespace {

// Start element and steps of one source under the mirroring rules; the start
// stays inside the image whatever the rectangle says.
struct Walk {
  ptrdiff_t start, col, row;
};

Walk MirrorWalk(uint32_t flags, int64_t s0x, int64_t s0y, int64_t sw, int64_t sh, int64_t cutX,
                int64_t cutY, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t imgW,
                int32_t imgH) {
  int64_t col = sx, row = sy;
  Walk k{0, 1, imgW};
  if (flags & BLT_MIRROR_X) {
    col = std::clamp<int64_t>(s0x + sw - 1 - cutX, w - 1, imgW - 1);
    k.col = -1;
  }
  if (flags & BLT_MIRROR_Y) {
    row = std::clamp<int64_t>(s0y + sh - 1 - cutY, h - 1, imgH - 1);
    k.row = -static_cast<ptrdiff_t>(imgW);
  }
  k.start = static_cast<ptrdiff_t>(row * imgW + col);
  return k;
}

int DrawFTT(BlitParams p, bool maskIsB) {
  static const char kName[] = "DRW_DrawBMP_FTT";
  const FImage* dst = static_cast<const FImage*>(p.dst);
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[%s]\n", kName);
    return 0;
  }
  const FImage* pic = static_cast<const FImage*>(p.src);
  if (!pic || !pic->pixels) {
    LOG_Write("画像領域1がありません[%s]\n", kName);
    return 0;
  }
  int32_t maskW = 0, maskH = 0;
  const BImage* mask = nullptr;
  if (maskIsB) {
    mask = static_cast<const BImage*>(p.src2);
    if (mask && mask->pixels) maskW = mask->width, maskH = mask->height;
    if (mask && !mask->pixels) mask = nullptr;
    if (!mask) {
      LOG_Write("画像領域2がありません[%s]\n", kName);
      return 0;
    }
  } else {
    const FImage* f = static_cast<const FImage*>(p.src2);
    if (!f || !f->pixels) {
      LOG_Write("画像領域2がありません[%s]\n", kName);
      return 0;
    }
    maskW = f->width, maskH = f->height;
  }

  const int32_t dx0 = p.dx, dy0 = p.dy, sx0 = p.sx, sy0 = p.sy, s2x0 = p.s2x, s2y0 = p.s2y;
  ClipJob c{};
  c.dx = p.dx, c.dy = p.dy, c.sx = p.sx, c.sy = p.sy, c.w = p.w, c.h = p.h;
  c.s2x = p.s2x, c.s2y = p.s2y, c.w2 = p.s2w, c.h2 = p.s2h;
  c.dstW = dst->width, c.dstH = dst->height, c.srcW = pic->width, c.srcH = pic->height;
  c.src2W = maskW, c.src2H = maskH;
  c.clip = p.clip, c.whole = p.clip == BLT_NO_CLIP;
  if (!CLIP_RectS2(&c)) return 0;
  p.dx = c.dx, p.dy = c.dy, p.sx = c.sx, p.sy = c.sy, p.w = c.w, p.h = c.h;
  p.s2x = c.s2x, p.s2y = c.s2y, p.s2w = c.w2, p.s2h = c.h2;
  if (!maskIsB) return 1;
  if ((p.mode & 0xFFFF) == 10 || p.colorKey != BLT_KEY_NONE) return 1;

  // The blit takes the mask rectangle's size, but never reads past picture
  // 1's clipped rectangle (the two may differ after clipping).
  const int32_t w = std::min(p.s2w, p.w), h = std::min(p.s2h, p.h);
  const int pos = std::clamp(static_cast<int>(p.mode2 >> 16), 0, 256);
  const int64_t cutX = static_cast<int64_t>(p.dx) - dx0, cutY = static_cast<int64_t>(p.dy) - dy0;
  const Walk a = MirrorWalk(p.flags, sx0, sy0, p.sw, p.sh, cutX, cutY, p.sx, p.sy, w, h, pic->width,
                            pic->height);
  const Walk m =
      MirrorWalk(p.flags, s2x0, s2y0, p.s2w, p.s2h, cutX, cutY, p.s2x, p.s2y, w, h, maskW, maskH);
  const uint8_t* pal = SourcePalette(mask);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(dst->width) * 3;
  const VectorPaths& v = Paths();
  const RowKernels* kern = v.rows;
  uint8_t *buf = nullptr, *wts = nullptr;
  if (kern && a.col == 1 && w <= (1 << 24) && ScratchRows(w * 3, &buf, &wts)) {
    // The weight of each mask index once per draw; the wider paths take all
    // rows at once and leave each row's last few pixels, which (like every
    // pixel at level 1 or with a mirrored mask) go through the kernel.
    uint8_t weight[256];
    bool ramp = true;
    for (int v = 0; v < 256; v++) {
      weight[v] = ClampTable[pal[v * 4] + 2 * pos - 256];
      ramp = ramp && pal[v * 4] == v;
    }
    // A mirrored mask walks backwards: only the row kernel takes it.
    const auto wipeRows = m.col == 1 ? v.wipeRows : nullptr;
    uint8_t* d0 = dst->pixels + p.dy * stride + static_cast<ptrdiff_t>(p.dx) * 3;
    int32_t done = 0;
    if (wipeRows) {
      const WipeRows rows{d0,
                          stride,
                          pic->pixels + a.start * 3,
                          a.row * 3,
                          mask->pixels + m.start,
                          m.row,
                          weight,
                          w,
                          h,
                          ramp,
                          2 * pos - 256};
      done = wipeRows(rows);
    }
    if (done == w) return 1;
    for (int32_t i = 0; i < h; i++) {
      uint8_t* d = d0 + i * stride;
      const ptrdiff_t ea = a.start + i * a.row + done;
      ptrdiff_t em = m.start + i * m.row + done * m.col;
      for (int32_t j = done; j < w; j++, em += m.col) {
        wts[j * 3] = wts[j * 3 + 1] = wts[j * 3 + 2] = weight[mask->pixels[em]];
      }
      kern->mixw(d + done * 3, pic->pixels + ea * 3, wts + done * 3, (w - done) * 3, 255);
    }
    return 1;
  }
  for (int32_t i = 0; i < h; i++) {
    uint8_t* d = dst->pixels + (p.dy + i) * stride + static_cast<ptrdiff_t>(p.dx) * 3;
    ptrdiff_t ea = a.start + i * a.row, em = m.start + i * m.row;
    for (int32_t j = 0; j < w; j++, d += 3, ea += a.col, em += m.col) {
      const int v = pal[mask->pixels[em] * 4];
      const int k = ClampTable[v + 2 * pos - 256];
      const uint8_t* s = pic->pixels + ea * 3;
      d[0] = static_cast<uint8_t>(Mul(k, s[0]) + Mul(255 - k, d[0]));
      d[1] = static_cast<uint8_t>(Mul(k, s[1]) + Mul(255 - k, d[1]));
      d[2] = static_cast<uint8_t>(Mul(k, s[2]) + Mul(255 - k, d[2]));
    }
  }
  return 1;
}

}  // namespace
}  // namespace blt

int DRW_DrawBMP_FTT(BlitParams p) {
  return blt::DrawFTT(p, true);
}
int DRW_DrawBMP_FTT_F(BlitParams p) {
  return blt::DrawFTT(p, false);
}

// Solid primitives: the filled rectangle and the vertical-gradient quadrilateral.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "blit/clip.h"
#include "blit/loops.h"
#include "blit/simd.h"
#include "common/log.h"

namespace blt {
namespace {

struct Colour {
  int b, g, r;
};

// One row of n pixels starting at destination (x, y) in colour c.
void FillSpan(uint8_t* d, int n, int x, int y, Colour c, int mode, int P) {
  switch (mode) {
    case BLT_MODE_ADD:
      for (int j = 0; j < n; j++, d += 3) {
        d[0] = AddSatTable[d[0] + c.b];
        d[1] = AddSatTable[d[1] + c.g];
        d[2] = AddSatTable[d[2] + c.r];
      }
      break;
    case BLT_MODE_SUB:
      for (int j = 0; j < n; j++, d += 3) {
        d[0] = SubSatTable[d[0] - c.b];
        d[1] = SubSatTable[d[1] - c.g];
        d[2] = SubSatTable[d[2] - c.r];
      }
      break;
    case BLT_MODE_OVERLAY:
      for (int j = 0; j < n; j++, d += 3) {
        d[0] = static_cast<uint8_t>(CS(c.b, d[0]));
        d[1] = static_cast<uint8_t>(CS(c.g, d[1]));
        d[2] = static_cast<uint8_t>(CS(c.r, d[2]));
      }
      break;
    case BLT_MODE_FADE: {
      const uint8_t* keep = MulTable + (256 - P) * 257;
      const int pb = Mul(P, c.b), pg = Mul(P, c.g), pr = Mul(P, c.r);
      for (int j = 0; j < n; j++, d += 3) {
        d[0] = AddSatTable[pb + keep[d[0]]];
        d[1] = AddSatTable[pg + keep[d[1]]];
        d[2] = AddSatTable[pr + keep[d[2]]];
      }
      break;
    }
    case BLT_MODE_STIPPLE: {
      const uint16_t pattern = DitherPatterns[P / 16];
      for (int j = 0; j < n; j++, d += 3) {
        if ((pattern >> (15 - 4 * (y & 3) - ((x + j) & 3))) & 1) {
          d[0] = static_cast<uint8_t>(c.b);
          d[1] = static_cast<uint8_t>(c.g);
          d[2] = static_cast<uint8_t>(c.r);
        }
      }
      break;
    }
    default:
      if (c.b == c.g && c.g == c.r) {
        std::memset(d, c.b, static_cast<size_t>(n) * 3);
      } else {
        for (int j = 0; j < n; j++, d += 3) {
          d[0] = static_cast<uint8_t>(c.b);
          d[1] = static_cast<uint8_t>(c.g);
          d[2] = static_cast<uint8_t>(c.r);
        }
      }
      break;
  }
}

}  // namespace
}  // namespace blt

int PRM_DrawRect_F(BlitParams p) {
  using namespace blt;
  FImage* dst = static_cast<FImage*>(p.dst);
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません[PRM_DrawRect_F]\n");
    return 0;
  }
  ClipJob box{};
  box.dx = p.dx, box.dy = p.dy, box.w = p.w, box.h = p.h;
  box.dstW = dst->width, box.dstH = dst->height;
  box.clip = p.clip, box.whole = p.clip == BLT_NO_CLIP;
  if (!CLIP_Rect2(&box)) return 1;
  p.dx = box.dx, p.dy = box.dy, p.w = box.w, p.h = box.h;
  int mode = static_cast<int>(p.mode & 0xFFFF), param = static_cast<int>(p.mode >> 16);
  if (mode == BLT_MODE_NEGATIVE || mode == BLT_MODE_DESATURATE) return 1;
  if ((mode == BLT_MODE_FADE || mode == BLT_MODE_STIPPLE) && param == 0) return 1;
  SplitMode(p.mode, &mode, &param);
  if (!HasMode(kShadedModes, mode)) mode = BLT_MODE_COPY;
  SanitizeFactors(&p);
  const Colour c{p.colB, p.colG, p.colR};
  const ptrdiff_t stride = static_cast<ptrdiff_t>(dst->width) * 3;
  uint8_t* d = dst->pixels + p.dy * stride + static_cast<ptrdiff_t>(p.dx) * 3;
  if (mode == BLT_MODE_COPY && p.w == dst->width && c.b == c.g && c.g == c.r) {
    std::memset(d, c.b, static_cast<size_t>(stride) * p.h);  // the whole area at once
    return 1;
  }
  for (int i = 0; i < p.h; i++) FillSpan(d + i * stride, p.w, p.dx, p.dy + i, c, mode, param);
  return 1;
}

int PRM_DrawVQuad(FImage* dst, const int corners[4][2], const ClipBox* clip, int y0, int r0, int g0,
                  int b0, int y1, int r1, int g1, int b1, uint32_t modeWord) {
  using namespace blt;
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません\n");
    return 0;
  }
  int mode = static_cast<int>(modeWord & 0xFFFF), param = static_cast<int>(modeWord >> 16);
  if ((mode == BLT_MODE_FADE || mode == BLT_MODE_STIPPLE) && param == 0) return 1;
  SplitMode(modeWord, &mode, &param);
  if (!HasMode(kShadedModes, mode)) mode = BLT_MODE_COPY;

  const ClipBox whole = {0, 0, dst->width, dst->height};
  const ClipBox& cb = clip == BLT_NO_CLIP ? whole : clip ? *clip : g_defaultClip;
  const int32_t left = std::max(cb.left, 0), right = std::min(cb.right, dst->width);
  int32_t minY = INT32_MAX, maxY = INT32_MIN;
  for (int k = 0; k < 4; k++) {
    minY = std::min(minY, corners[k][1]);
    maxY = std::max(maxY, corners[k][1]);
  }
  const int32_t top = std::max({minY, cb.top, 0});
  const int64_t last =
      std::min<int64_t>({maxY, static_cast<int64_t>(cb.bottom) - 1, dst->height - 1});
  if (last < top || left >= right) return 1;
  const int32_t bottom = static_cast<int32_t>(last);
  const int32_t rows = bottom - top + 1;
  int32_t* rowMin = static_cast<int32_t*>(std::calloc(rows, sizeof(int32_t)));
  int32_t* rowMax = static_cast<int32_t*>(std::calloc(rows, sizeof(int32_t)));
  if (!rowMin || !rowMax) {
    std::free(rowMin);
    std::free(rowMax);
    return 1;
  }
  for (int32_t r = 0; r < rows; r++) {
    rowMin[r] = INT32_MAX;
    rowMax[r] = INT32_MIN;
  }
  // Every pair of corners: the row spans are then those of the convex hull,
  // whatever order the corners come in.
  for (int a = 0; a < 4; a++) {
    for (int b = a + 1; b < 4; b++) {
      EdgeWalkFlat(corners[a][0], corners[a][1], corners[b][0], corners[b][1], rowMin, rowMax, top,
                   rows, top, bottom + 1);
    }
  }
  const int c0[3] = {std::clamp(b0, 0, 255), std::clamp(g0, 0, 255), std::clamp(r0, 0, 255)};
  const int c1[3] = {std::clamp(b1, 0, 255), std::clamp(g1, 0, 255), std::clamp(r1, 0, 255)};
  const bool flat = y0 == y1 || (c0[0] == c1[0] && c0[1] == c1[1] && c0[2] == c1[2]);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(dst->width) * 3;
  for (int32_t r = 0; r < rows; r++) {
    if (rowMin[r] >= rowMax[r]) continue;
    const int32_t xs = std::max(rowMin[r], left), xe = std::min(rowMax[r], right);
    if (xs >= xe) continue;
    const int32_t y = top + r;
    int col[3];
    for (int k = 0; k < 3; k++) {
      if (flat) {
        col[k] = c0[k];
      } else {
        const int64_t v = c0[k] + (static_cast<int64_t>(y) - y0) * (c1[k] - c0[k]) /
                                      (static_cast<int64_t>(y1) - y0);
        col[k] = static_cast<int>(
            std::clamp<int64_t>(v, std::min(c0[k], c1[k]), std::max(c0[k], c1[k])));
      }
    }
    FillSpan(dst->pixels + y * stride + static_cast<ptrdiff_t>(xs) * 3, xe - xs, xs, y,
             Colour{col[0], col[1], col[2]}, mode, param);
  }
  std::free(rowMin);
  std::free(rowMax);
  return 1;
}

// Clip routines and scanline edge walkers shared by the pixel loops.
#pragma once
#include <cstdint>

#include "blit/tables.h"

// A rectangle to clip against the clip box and the images. Each CLIP_ call
// reads the fields it names, writes the clipped rectangle back and returns 1
// when something is left to draw, 0 otherwise. The effective box is the clip
// (null: the default clip rectangle) intersected with the destination
// (0, 0, dstW, dstH).
struct ClipJob {
  int32_t dx, dy;            // destination origin
  int32_t sx, sy, w, h;      // first source's rectangle; the size drawn (zoomed: the source's size)
  int32_t s2x, s2y, w2, h2;  // second source's rectangle (CLIP_RectS2)
  int32_t dw, dh;            // destination size (CLIP_RectZ)
  int32_t remX, remY;        // out (CLIP_RectZ): fractional start remainders
  int32_t dstW, dstH;        // destination image
  int32_t srcW, srcH;        // first source image
  int32_t src2W, src2H;      // second source image
  const ClipBox* clip;
  // No clipping was asked for: the destination's own bounds, and no log line,
  // so that nothing outside the images is ever touched.
  bool whole;
};

// One-source blits: destination origin, source origin, w x h.
int CLIP_Rect(ClipJob* j);
// Two-source blits: both sources share the destination origin.
int CLIP_RectS2(ClipJob* j);
// Zoomed blits: source (sx, sy, w, h) stretched onto destination (dx, dy, dw, dh).
int CLIP_RectZ(ClipJob* j);
// Solid rectangles: (dx, dy, w, h).
int CLIP_Rect2(ClipJob* j);

// One entry of a textured scanline table: x and the source point there.
struct EdgeEntry {
  int32_t x, u, v, pad;
};

// Walk the edge (x0, y0) -> (x1, y1) one point per row and fold each point
// into the entry of its row: rowMin/rowMax[y - rowTop] for rows
// rowTop <= y < rowTop + rowCount that also lie in clipTop <= y < clipBottom.
// Horizontal edges add nothing: the edges that meet them cover their rows.
void EdgeWalkFlat(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t* rowMin, int32_t* rowMax,
                  int32_t rowTop, int32_t rowCount, int32_t clipTop, int32_t clipBottom);
// As above, carrying the source point (u, v) from the first to the second
// end; the minimum is stored as (x, u, v), the maximum as (x + 1, u, v).
void EdgeWalkTextured(int32_t x0, int32_t y0, int32_t u0, int32_t v0, int32_t x1, int32_t y1,
                      int32_t u1, int32_t v1, EdgeEntry* rowMin, EdgeEntry* rowMax, int32_t rowTop,
                      int32_t rowCount, int32_t clipTop, int32_t clipBottom);

// Floor division for a positive divisor.
inline int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

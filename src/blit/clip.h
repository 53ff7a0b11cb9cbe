// Clip routines and scanline edge walkers shared by the pixel loops.
#pragma once
#include <cstdint>

#include "blit/tables.h"

// All return 1 when something is left to draw, 0 otherwise. A null clip means
// the default clip rectangle; the effective box is the clip intersected with
// the destination (0, 0, dstW, dstH).
int ClipRect(int32_t* dx, int32_t* dy, int32_t* sx, int32_t* sy, int32_t* w, int32_t* h,
             int32_t dstW, int32_t dstH, int32_t srcW, int32_t srcH, const ClipBox* clip);
int ClipRectS2(int32_t* dx, int32_t* dy, int32_t* s1x, int32_t* s1y, int32_t* w1, int32_t* h1,
               int32_t* s2x, int32_t* s2y, int32_t* w2, int32_t* h2, int32_t dstW, int32_t dstH,
               int32_t src1W, int32_t src1H, int32_t src2W, int32_t src2H, const ClipBox* clip);
int ClipRectZ(int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh, int32_t* dx, int32_t* dy,
              int32_t* dw, int32_t* dh, int32_t* remX, int32_t* remY, int32_t dstW, int32_t dstH,
              int32_t srcW, int32_t srcH, const ClipBox* clip);
int ClipRect2(int32_t* x, int32_t* y, int32_t* w, int32_t* h, int32_t dstW, int32_t dstH,
              const ClipBox* clip);

// The same routines without any log line; the entries use them with the
// destination's own bounds when the caller asked for no clipping, so that
// nothing outside the images is ever touched.
int ClipRectQuiet(int32_t* dx, int32_t* dy, int32_t* sx, int32_t* sy, int32_t* w, int32_t* h,
                  int32_t dstW, int32_t dstH, int32_t srcW, int32_t srcH);
int ClipRectZQuiet(int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh, int32_t* dx, int32_t* dy,
                   int32_t* dw, int32_t* dh, int32_t* remX, int32_t* remY, int32_t dstW,
                   int32_t dstH, int32_t srcW, int32_t srcH);
int ClipRectS2Quiet(int32_t* dx, int32_t* dy, int32_t* s1x, int32_t* s1y, int32_t* w1, int32_t* h1,
                    int32_t* s2x, int32_t* s2y, int32_t* w2, int32_t* h2, int32_t dstW,
                    int32_t dstH, int32_t src1W, int32_t src1H, int32_t src2W, int32_t src2H);
int ClipRect2Quiet(int32_t* x, int32_t* y, int32_t* w, int32_t* h, int32_t dstW, int32_t dstH);

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

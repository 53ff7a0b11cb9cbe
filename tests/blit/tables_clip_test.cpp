// Start-up tables, the default clip, the clip routines and the edge walkers.
#include <bit>

#include "blit_test_util.h"

using namespace blittest;

namespace {

int Scale(int k, int v) {
  return k < 128 ? (v * k) >> 7 : v + (((255 - v) * (k - 128)) >> 7);
}

TEST_F(BlitTest, TablesHoldTheirFormulas) {
  for (int k : {0, 64, 127, 128, 129, 200, 255}) {
    for (int v : {0, 1, 100, 128, 254, 255}) {
      const int want = Scale(k, v);
      EXPECT_EQ(ColorScaleTable[k * 256 + v], want) << k << " " << v;
      EXPECT_EQ(ColorScaleTableG[k * 256 + v], want << 8);
      EXPECT_EQ(ColorScaleTableR[k * 256 + v], static_cast<uint32_t>(want) << 16);
      EXPECT_EQ(ColorScaleTableA[k * 256 + v], static_cast<uint32_t>(want) << 24);
    }
  }
  EXPECT_EQ(MulTable[128 * 257 + 200], 100);
  EXPECT_EQ(MulTable[256 * 257 + 256], 255);  // saturates
  EXPECT_EQ(DivTable[127 * 257 + 100], 200);
  EXPECT_EQ(DivTable[0 * 257 + 200], 255);
  EXPECT_EQ(AddSatTable[300], 255);
  EXPECT_EQ(AddSatTable[17], 17);
  EXPECT_EQ(SubSatTable[-255], 0);
  EXPECT_EQ(SubSatTable[-1], 0);
  EXPECT_EQ(SubSatTable[42], 42);
  EXPECT_EQ(DodgeTable[100 * 256 + 128], 200);
  EXPECT_EQ(DodgeTable[200 * 256 + 255], 255);
  EXPECT_EQ(ClampTable[-256], 0);
  EXPECT_EQ(ClampTable[511], 255);
  EXPECT_EQ(ClampTable[77], 77);
}

TEST_F(BlitTest, DitherPatternNHasNPixelsAndNoiseLevelsNest) {
  for (int n = 0; n < 16; n++) EXPECT_EQ(std::popcount(DitherPatterns[n]), n);
  int prev = 0;
  for (int level = 0; level < 64; level++) {
    int count = 0;
    for (int y = 0; y < 64; y++) {
      for (int x = 0; x < 64; x++) {
        count += NoiseMasks[level][y][x];
        // A pixel shown at one level stays shown at every higher level.
        if (level > 0 && NoiseMasks[level - 1][y][x]) {
          EXPECT_EQ(NoiseMasks[level][y][x], 1);
        }
      }
    }
    EXPECT_GE(count, prev);
    prev = count;
  }
  EXPECT_EQ(NoiseMasks[0][5][9], 0);
  EXPECT_GT(prev, 4096 * 9 / 10);
  for (int c = 0; c < 256; c++) {
    EXPECT_EQ(NoiseTab[0][c], 0);
    EXPECT_GE(NoiseTab[255][c], -640);
    EXPECT_LT(NoiseTab[255][c], 640);
    EXPECT_EQ(NoiseTab[100][c], 100 * NoiseTab[255][c] / 255);
  }
}

TEST_F(BlitTest, DefaultClipSetterRejectsEmptyRectangles) {
  const ClipBox bad1 = {10, 0, 10, 100}, bad2 = {0, 50, 100, 20}, good = {1, 2, 300, 200};
  EXPECT_EQ(BLT_SetDefaultClip(&bad1), 0);
  EXPECT_EQ(BLT_SetDefaultClip(&bad2), 0);
  EXPECT_EQ(g_defaultClip.right, 640);
  EXPECT_EQ(BLT_SetDefaultClip(&good), 1);
  EXPECT_EQ(g_defaultClip.left, 1);
  EXPECT_EQ(g_defaultClip.bottom, 200);
  g_defaultClip = {0, 0, 640, 480};
}

struct R {
  int32_t dx, dy, sx, sy, w, h;
};
int Clip(R& r, int srcW, int srcH, const ClipBox* clip = nullptr, int dstW = 640, int dstH = 480) {
  ClipJob j{};
  j.dx = r.dx, j.dy = r.dy, j.sx = r.sx, j.sy = r.sy, j.w = r.w, j.h = r.h;
  j.dstW = dstW, j.dstH = dstH, j.srcW = srcW, j.srcH = srcH, j.clip = clip;
  const int result = CLIP_Rect(&j);
  r = R{j.dx, j.dy, j.sx, j.sy, j.w, j.h};
  return result;
}

// The rectangle forms of the other three, in and out through the fields.
int ClipRect2(int32_t* x, int32_t* y, int32_t* w, int32_t* h, int32_t dstW, int32_t dstH,
              const ClipBox* clip) {
  ClipJob j{};
  j.dx = *x, j.dy = *y, j.w = *w, j.h = *h, j.dstW = dstW, j.dstH = dstH, j.clip = clip;
  const int result = CLIP_Rect2(&j);
  *x = j.dx, *y = j.dy, *w = j.w, *h = j.h;
  return result;
}

int ClipRectS2(int32_t* dx, int32_t* dy, int32_t* s1x, int32_t* s1y, int32_t* w1, int32_t* h1,
               int32_t* s2x, int32_t* s2y, int32_t* w2, int32_t* h2, int32_t dstW, int32_t dstH,
               int32_t src1W, int32_t src1H, int32_t src2W, int32_t src2H, const ClipBox* clip) {
  ClipJob j{};
  j.dx = *dx, j.dy = *dy, j.sx = *s1x, j.sy = *s1y, j.w = *w1, j.h = *h1;
  j.s2x = *s2x, j.s2y = *s2y, j.w2 = *w2, j.h2 = *h2;
  j.dstW = dstW, j.dstH = dstH, j.srcW = src1W, j.srcH = src1H, j.src2W = src2W, j.src2H = src2H;
  j.clip = clip;
  const int result = CLIP_RectS2(&j);
  *dx = j.dx, *dy = j.dy, *s1x = j.sx, *s1y = j.sy, *w1 = j.w, *h1 = j.h;
  *s2x = j.s2x, *s2y = j.s2y, *w2 = j.w2, *h2 = j.h2;
  return result;
}

int ClipRectZ(int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh, int32_t* dx, int32_t* dy,
              int32_t* dw, int32_t* dh, int32_t* remX, int32_t* remY, int32_t dstW, int32_t dstH,
              int32_t srcW, int32_t srcH, const ClipBox* clip) {
  ClipJob j{};
  j.sx = *sx, j.sy = *sy, j.w = *sw, j.h = *sh, j.dx = *dx, j.dy = *dy, j.dw = *dw, j.dh = *dh;
  j.dstW = dstW, j.dstH = dstH, j.srcW = srcW, j.srcH = srcH, j.clip = clip;
  const int result = CLIP_RectZ(&j);
  *sx = j.sx, *sy = j.sy, *sw = j.w, *sh = j.h, *dx = j.dx, *dy = j.dy, *dw = j.dw, *dh = j.dh;
  *remX = j.remX, *remY = j.remY;
  return result;
}

TEST_F(BlitTest, ClipRectTrimsAgainstClipBoxAndSource) {
  const ClipBox box = {10, 20, 100, 200};
  R r{6, 20, 0, 0, 50, 30};  // 4 pixels left of the box
  ASSERT_EQ(Clip(r, 64, 64, &box), 1);
  EXPECT_EQ(r.dx, 10);
  EXPECT_EQ(r.sx, 4);
  EXPECT_EQ(r.w, 46);
  EXPECT_EQ(LOG_RecentCount(), 0);

  r = {90, 190, 0, 0, 50, 30};  // right and bottom cut
  ASSERT_EQ(Clip(r, 64, 64, &box), 1);
  EXPECT_EQ(r.w, 10);
  EXPECT_EQ(r.h, 10);

  r = {100, 30, 0, 0, 5, 5};  // starts at the right edge
  EXPECT_EQ(Clip(r, 64, 64, &box), 0);
  r = {0, 30, 0, 0, 9, 5};  // ends left of the box
  EXPECT_EQ(Clip(r, 64, 64, &box), 0);
  EXPECT_EQ(LOG_RecentCount(), 0);
}

TEST_F(BlitTest, ClipRectSourceOutsideImageIsTrimmedAndLogged) {
  R r{100, 100, -3, 0, 10, 10};
  ASSERT_EQ(Clip(r, 20, 20), 1);
  EXPECT_EQ(r.dx, 103);  // 3 fewer columns, shifted right by 3
  EXPECT_EQ(r.sx, 0);
  EXPECT_EQ(r.w, 7);
  ASSERT_EQ(LOG_RecentCount(), 1);
  EXPECT_STREQ(LOG_Recent(0), "画像領域指定エラー");

  LOG_Reset();
  r = {100, 100, 15, 0, 10, 10};  // runs past the right of the source
  ASSERT_EQ(Clip(r, 20, 20), 1);
  EXPECT_EQ(r.w, 5);
  EXPECT_EQ(LOG_RecentCount(), 1);

  LOG_Reset();
  r = {100, 100, 21, 0, 10, 10};  // wholly outside
  EXPECT_EQ(Clip(r, 20, 20), 0);
  ASSERT_EQ(LOG_RecentCount(), 1);
  EXPECT_STREQ(LOG_Recent(0), "画像領域指定エラー");
}

TEST_F(BlitTest, ClipRectRejectsBackwardAndHugeRectangles) {
  R r{10, 10, 0, 0, -5, 10};
  EXPECT_EQ(Clip(r, 20, 20), 0);
  r = {INT32_MAX - 2, 10, 0, 0, INT32_MAX, 10};
  EXPECT_EQ(Clip(r, 20, 20), 0);
  r = {INT32_MIN, INT32_MIN, INT32_MAX, 0, INT32_MAX, INT32_MAX};
  EXPECT_EQ(Clip(r, 20, 20), 0);
  // An inverted clip box leaves nothing.
  const ClipBox inverted = {300, 0, 100, 480};
  r = {50, 10, 0, 0, 400, 10};
  EXPECT_EQ(Clip(r, 1000, 20, &inverted), 0);
}

TEST_F(BlitTest, ClipRect2AndS2) {
  int32_t x = -5, y = 470, w = 20, h = 20;
  ASSERT_EQ(ClipRect2(&x, &y, &w, &h, 640, 480, nullptr), 1);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(w, 15);
  EXPECT_EQ(y, 470);
  EXPECT_EQ(h, 10);
  x = 640, y = 0, w = 10, h = 10;
  EXPECT_EQ(ClipRect2(&x, &y, &w, &h, 640, 480, nullptr), 0);
  x = 0, y = 0, w = 0, h = 10;
  EXPECT_EQ(ClipRect2(&x, &y, &w, &h, 640, 480, nullptr), 0);

  int32_t dx = -4, dy = 0, s1x = 0, s1y = 0, w1 = 10, h1 = 10, s2x = 2, s2y = 1, w2 = 12, h2 = 8;
  ASSERT_EQ(ClipRectS2(&dx, &dy, &s1x, &s1y, &w1, &h1, &s2x, &s2y, &w2, &h2, 640, 480, 10, 10, 20,
                       20, nullptr),
            1);
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(s1x, 4);
  EXPECT_EQ(w1, 6);
  EXPECT_EQ(s2x, 6);
  EXPECT_EQ(w2, 8);
  EXPECT_EQ(LOG_RecentCount(), 0);
}

TEST_F(BlitTest, ClipRectZCarriesTheCutFraction) {
  // 2 source pixels onto 5, the first two destination columns cut.
  const ClipBox box = {2, 0, 640, 480};
  int32_t sx = 0, sy = 0, sw = 2, sh = 2, dx = 0, dy = 0, dw = 5, dh = 5, rx = -1, ry = -1;
  ASSERT_EQ(ClipRectZ(&sx, &sy, &sw, &sh, &dx, &dy, &dw, &dh, &rx, &ry, 640, 480, 2, 2, &box), 1);
  EXPECT_EQ(dx, 2);
  EXPECT_EQ(dw, 3);
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(rx, 4);  // 2 * 2 mod 5
  EXPECT_EQ(ry, 0);
  // Fully visible: unchanged, remainders 0.
  sx = 1, sy = 1, sw = 3, sh = 3, dx = 10, dy = 10, dw = 7, dh = 2;
  ASSERT_EQ(ClipRectZ(&sx, &sy, &sw, &sh, &dx, &dy, &dw, &dh, &rx, &ry, 640, 480, 8, 8, nullptr),
            1);
  EXPECT_EQ(sw, 3);
  EXPECT_EQ(dw, 7);
  EXPECT_EQ(rx, 0);
  // Zero or negative sizes never reach the stepper.
  sw = 0;
  EXPECT_EQ(ClipRectZ(&sx, &sy, &sw, &sh, &dx, &dy, &dw, &dh, &rx, &ry, 640, 480, 8, 8, nullptr),
            0);
  sw = 3, dw = -7;
  EXPECT_EQ(ClipRectZ(&sx, &sy, &sw, &sh, &dx, &dy, &dw, &dh, &rx, &ry, 640, 480, 8, 8, nullptr),
            0);
}

TEST_F(BlitTest, EdgeWalkersOnePointPerRowWithinTheTable) {
  int32_t mn[10], mx[10];
  std::fill(mn, mn + 10, INT32_MAX);
  std::fill(mx, mx + 10, INT32_MIN);
  // Rows 100..109 in the table; the edge runs from row 95 to 120.
  EdgeWalkFlat(0, 95, 25, 120, mn, mx, 100, 10, 0, 480);
  for (int r = 0; r < 10; r++) {
    EXPECT_EQ(mn[r], r + 5);
    EXPECT_EQ(mx[r], r + 5);
  }
  // A horizontal edge adds nothing.
  EdgeWalkFlat(-50, 104, 300, 104, mn, mx, 100, 10, 0, 480);
  EXPECT_EQ(mn[4], 9);
  // The clip rows limit the walk.
  EdgeWalkFlat(-7, 0, -7, 479, mn, mx, 100, 10, 0, 103);
  EXPECT_EQ(mn[2], -7);
  EXPECT_EQ(mn[3], 8);

  EdgeEntry tmin[4], tmax[4];
  for (int r = 0; r < 4; r++) tmin[r] = {INT32_MAX, 0, 0, 0}, tmax[r] = {INT32_MIN, 0, 0, 0};
  EdgeWalkTextured(10, 0, 0, 0, 10, 3, 0, 30, tmin, tmax, 0, 4, 0, 480);
  EdgeWalkTextured(20, 3, 50, 30, 20, 0, 50, 0, tmin, tmax, 0, 4, 0, 480);
  for (int r = 0; r < 4; r++) {
    EXPECT_EQ(tmin[r].x, 10);
    EXPECT_EQ(tmin[r].v, r * 10);
    EXPECT_EQ(tmax[r].x, 21);  // stored as x + 1
    EXPECT_EQ(tmax[r].u, 50);
    EXPECT_EQ(tmax[r].v, r * 10);
  }
  // Far-away coordinates neither overflow nor write outside the table.
  EdgeWalkTextured(INT32_MIN, INT32_MIN, INT32_MAX, 0, INT32_MAX, INT32_MAX, INT32_MIN, 5, tmin,
                   tmax, 0, 4, 0, 480);
}

}  // namespace

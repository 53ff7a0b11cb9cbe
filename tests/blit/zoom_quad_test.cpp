// The zoom stepper and its clip remainders, quad interpolation and the
// primitives.
#include "blit_test_util.h"

using namespace blittest;

namespace {

class ZoomQuad : public BlitTest {
 protected:
  void SetUp() override {
    BlitTest::SetUp();
    BLT_SetVectorLevel(0);
  }
};

// A w x 1 picture whose pixel x has blue value x (green 100, red 0).
FImg Ramp(int w, int h = 1) {
  FImg f(w, h);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) f.set(x, y, x, 100 + y, 0);
  }
  return f;
}

std::vector<int> Samples(FImg& d, int y, int from, int n) {
  std::vector<int> v;
  for (int x = from; x < from + n; x++) v.push_back(d.at(x, y)[0]);
  return v;
}

BlitParams Zoom(FImg& dst, FImg& src, int dx, int dy, int dw, int dh, int sw, int sh) {
  BlitParams p = Params(&dst.img, &src.img, FMT_F, dx, dy, dw, dh);
  p.sw = sw;
  p.sh = sh;
  return p;
}

TEST_F(ZoomQuad, StepperSamplesByFloorOfTheExactRatio) {
  FImg src = Ramp(4), d(8, 1, 255);
  BlitParams p = Zoom(d, src, 0, 0, 3, 1, 4, 1);  // 4 onto 3
  ASSERT_EQ(DRW_DrawZOOM_FF(p), 1);
  EXPECT_EQ(Samples(d, 0, 0, 3), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(d.at(3, 0)[0], 255);

  FImg two = Ramp(2);
  p = Zoom(d, two, 0, 0, 5, 1, 2, 1);  // 2 onto 5
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(Samples(d, 0, 0, 5), (std::vector<int>{0, 0, 0, 1, 1}));

  FImg same = Ramp(6), d6(6, 1);
  p = Zoom(d6, same, 0, 0, 6, 1, 6, 1);
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(d6.bytes(), same.bytes());
}

TEST_F(ZoomQuad, ClippedZoomKeepsTheCutFraction) {
  FImg two = Ramp(2), d(8, 1, 255);
  const ClipBox box = {2, 0, 640, 480};
  BlitParams p = Zoom(d, two, 0, 0, 5, 1, 2, 1);
  p.clip = &box;
  ASSERT_EQ(DRW_DrawZOOM_FF(p), 1);
  EXPECT_EQ(Samples(d, 0, 0, 5), (std::vector<int>{255, 255, 0, 1, 1}));
}

TEST_F(ZoomQuad, ClippedZoomLinesUpWithTheUnclippedOne) {
  FImg src = Ramp(37, 23);
  for (int y = 0; y < 23; y++) {
    for (int x = 0; x < 37; x++) src.at(x, y)[2] = static_cast<uint8_t>(y);
  }
  for (int dw : {11, 37, 90}) {
    for (int dh : {7, 23, 61}) {
      FImg full(120, 80), cut(120, 80);
      BlitParams p = Zoom(full, src, 5, 3, dw, dh, 37, 23);
      DRW_DrawZOOM_FF(p);
      const ClipBox box = {9, 6, 100, 50};
      p = Zoom(cut, src, 5, 3, dw, dh, 37, 23);
      p.clip = &box;
      DRW_DrawZOOM_FF(p);
      for (int y = 0; y < 80; y++) {
        for (int x = 0; x < 120; x++) {
          const bool inside = x >= 9 && x < 100 && y >= 6 && y < 50;
          const uint32_t want = inside ? full.rgb(x, y) : 0u;
          ASSERT_EQ(cut.rgb(x, y), want) << dw << "x" << dh << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(ZoomQuad, MirroredZoomSamplesFromTheFarEnd) {
  FImg src = Ramp(4), d(8, 1);
  BlitParams p = Zoom(d, src, 0, 0, 8, 1, 4, 1);
  p.flags = BLT_MIRROR_X;
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(Samples(d, 0, 0, 8), (std::vector<int>{3, 3, 2, 2, 1, 1, 0, 0}));
  FImg tall = Ramp(1, 3), dv(1, 3);
  p = Zoom(dv, tall, 0, 0, 1, 3, 1, 3);
  p.flags = BLT_MIRROR_Y;
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(dv.at(0, 0)[1], 102);
  EXPECT_EQ(dv.at(0, 2)[1], 100);
}

TEST_F(ZoomQuad, ZoomRejectionsReturnOneAndModesApply) {
  FImg src = Ramp(4), d(4, 1, 10);
  BlitParams p = Zoom(d, src, 700, 0, 8, 1, 4, 1);  // wholly outside
  EXPECT_EQ(DRW_DrawZOOM_FF(p), 1);
  p = Zoom(d, src, 0, 0, 4, 1, 4, 1);
  p.mode = BLT_Mode(1, 0);
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(Samples(d, 0, 0, 4), (std::vector<int>{10, 11, 12, 13}));
  p.mode = BLT_Mode(8, 0);
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(d.at(1, 0)[0], 254);
  p.mode = BLT_Mode(5, 0);  // no zoom loop: drawn as a copy
  DRW_DrawZOOM_FF(p);
  EXPECT_EQ(d.at(2, 0)[0], 2);
}

BlitParams Quad(FImg& dst, void* src, int fmt, const int dc[4][2], const int sc[4][2]) {
  BlitParams p = Params(&dst.img, src, fmt, dc[0][0], dc[0][1], 0, 0);
  p.sx = sc[0][0];
  p.sy = sc[0][1];
  for (int k = 0; k < 3; k++) {
    p.dq[k][0] = dc[k + 1][0];
    p.dq[k][1] = dc[k + 1][1];
    p.sq[k][0] = sc[k + 1][0];
    p.sq[k][1] = sc[k + 1][1];
  }
  return p;
}

TEST_F(ZoomQuad, AxisAlignedQuadIsAPlainCopy) {
  FImg src(8, 6);
  for (int y = 0; y < 6; y++) {
    for (int x = 0; x < 8; x++) src.set(x, y, x * 10, y * 10, 7);
  }
  FImg d(20, 20);
  const int dc[4][2] = {{3, 4}, {10, 4}, {3, 9}, {10, 9}};
  // Spans run from the left edge to one past the right edge, so the source
  // corners name the pixel after the last column; rows are inclusive.
  const int sc[4][2] = {{0, 0}, {8, 0}, {0, 5}, {8, 5}};
  BlitParams p = Quad(d, &src.img, FMT_F, dc, sc);
  ASSERT_EQ(DRW_DrawQuad_FF(p), 1);
  for (int y = 0; y < 6; y++) {
    for (int x = 0; x < 8; x++) EXPECT_EQ(d.rgb(3 + x, 4 + y), src.rgb(x, y)) << x << "," << y;
  }
  EXPECT_EQ(d.rgb(2, 4), 0u);
  EXPECT_EQ(d.rgb(11, 4), 0u);
  EXPECT_EQ(d.rgb(3, 10), 0u);

  // Source corners swapped left for right: the rows read backwards.
  FImg m(20, 20);
  const int sc2[4][2] = {{7, 0}, {-1, 0}, {7, 5}, {-1, 5}};
  p = Quad(m, &src.img, FMT_F, dc, sc2);
  DRW_DrawQuad_FF(p);
  for (int y = 0; y < 6; y++) {
    for (int x = 0; x < 8; x++) EXPECT_EQ(m.rgb(3 + x, 4 + y), src.rgb(7 - x, y)) << x << "," << y;
  }
}

TEST_F(ZoomQuad, QuadClipStartsAtTheInterpolatedPoint) {
  FImg src = Ramp(100, 2);
  const int dc[4][2] = {{0, 0}, {49, 0}, {0, 1}, {49, 1}};
  const int sc[4][2] = {{0, 0}, {100, 0}, {0, 2}, {100, 2}};
  FImg full(60, 4), cut(60, 4);
  BlitParams p = Quad(full, &src.img, FMT_F, dc, sc);
  DRW_DrawQuad_FF(p);
  const ClipBox box = {17, 0, 640, 480};
  ASSERT_EQ(BLT_SetDefaultClip(&box), 1);
  p = Quad(cut, &src.img, FMT_F, dc, sc);
  DRW_DrawQuad_FF(p);
  g_defaultClip = {0, 0, 640, 480};
  EXPECT_EQ(cut.rgb(16, 0), 0u);
  for (int x = 17; x < 50; x++) EXPECT_EQ(cut.rgb(x, 0), full.rgb(x, 0)) << x;
  EXPECT_EQ(full.at(17, 0)[0], 34);  // floor(100 * 17 / 50)
}

TEST_F(ZoomQuad, QuadKeepsInsideTheSpritesClipBox) {
  FImg src = Ramp(100, 2);
  const int dc[4][2] = {{0, 0}, {49, 0}, {0, 3}, {49, 3}};
  const int sc[4][2] = {{0, 0}, {100, 0}, {0, 2}, {100, 2}};
  FImg full(60, 6), cut(60, 6);
  BlitParams p = Quad(full, &src.img, FMT_F, dc, sc);
  DRW_DrawQuad_FF(p);
  const ClipBox box = {10, 1, 30, 3};
  p = Quad(cut, &src.img, FMT_F, dc, sc);
  p.clip = &box;
  DRW_DrawQuad_FF(p);
  for (int y = 0; y < 6; y++) {
    for (int x = 0; x < 60; x++) {
      bool inside = x >= 10 && x < 30 && y >= 1 && y < 3;
      EXPECT_EQ(cut.rgb(x, y), inside ? full.rgb(x, y) : 0u) << x << "," << y;
    }
  }
}

TEST_F(ZoomQuad, QuadModesAndDegenerateShapes) {
  BImg src(4, 4, true);
  src.setPal(1, 200, 100, 50);
  for (int y = 0; y < 4; y++) {
    for (int x = 0; x < 4; x++) src.at(x, y) = 1;
  }
  src.a(0, 0) = 0;
  const int dc[4][2] = {{0, 0}, {3, 0}, {0, 3}, {3, 3}};
  const int sc[4][2] = {{0, 0}, {4, 0}, {0, 4}, {4, 4}};
  FImg d(8, 8, 20);
  BlitParams p = Quad(d, &src.img, FMT_B, dc, sc);
  p.mode = BLT_Mode(8, 0);
  EXPECT_EQ(DRW_DrawQuad_FB(p), 1);
  EXPECT_EQ(d.rgb(1, 1), 0x141414u);  // mode 8 draws nothing
  p.mode = 0;
  p.colorKey = BLT_KEY_ALPHA;  // no alpha rule: every pixel drawn
  DRW_DrawQuad_FB(p);
  EXPECT_EQ(d.rgb(0, 0), 0x3264C8u);
  p.mode = BLT_Mode(3, 0);
  DRW_DrawQuad_FB(p);
  EXPECT_EQ(d.at(1, 1)[0], 0);
  // All corners on one row: nothing.
  FImg d2(8, 8, 20);
  const int flat[4][2] = {{0, 2}, {5, 2}, {0, 2}, {5, 2}};
  p = Quad(d2, &src.img, FMT_B, flat, sc);
  EXPECT_EQ(DRW_DrawQuad_FB(p), 1);
  EXPECT_EQ(d2.bytes(), FImg(8, 8, 20).bytes());
  // Taller than the screen and far outside: limited to the screen rows.
  FImg screen(640, 480);
  const int tall[4][2] = {{-100000, -900000}, {700, -900000}, {-100000, 900000}, {700, 900000}};
  p = Quad(screen, &src.img, FMT_B, tall, sc);
  p.colorKey = BLT_KEY_NONE;
  EXPECT_EQ(DRW_DrawQuad_FB(p), 1);
  EXPECT_EQ(screen.rgb(639, 479), 0x3264C8u);
  // Missing pixels.
  BImage none{};
  p.src = &none;
  EXPECT_EQ(DRW_DrawQuad_FB(p), 0);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "画像領域がありません");
}

TEST_F(ZoomQuad, FlatRectangleModes) {
  FImg d(8, 4, 100);
  BlitParams p = Params(&d.img, nullptr, FMT_F, 2, 1, 3, 2);
  p.colR = 10, p.colG = 20, p.colB = 30;
  ASSERT_EQ(PRM_DrawRect_F(p), 1);
  EXPECT_EQ(d.rgb(2, 1), 0x0A141Eu);
  EXPECT_EQ(d.rgb(4, 2), 0x0A141Eu);
  EXPECT_EQ(d.rgb(5, 2), 0x646464u);
  EXPECT_EQ(d.rgb(2, 3), 0x646464u);
  p.mode = BLT_Mode(1, 0);
  PRM_DrawRect_F(p);
  EXPECT_EQ(d.rgb(2, 1), 0x14283Cu);
  p.mode = BLT_Mode(10, 128);
  p.dx = 0, p.dy = 0, p.w = 1, p.h = 1;
  PRM_DrawRect_F(p);
  EXPECT_EQ(d.at(0, 0)[0], Mul(128, 30) + Mul(128, 100));
  for (int m : {8, 11}) {
    p.mode = BLT_Mode(m, 0);
    p.w = 8, p.h = 4;
    EXPECT_EQ(PRM_DrawRect_F(p), 1);
  }
  EXPECT_EQ(d.at(7, 3)[0], 100);
  p.mode = 0;
  p.w = 0;
  EXPECT_EQ(PRM_DrawRect_F(p), 1);
  p.w = 5, p.dx = 640;
  EXPECT_EQ(PRM_DrawRect_F(p), 1);
  p.dst = nullptr;
  EXPECT_EQ(PRM_DrawRect_F(p), 0);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "描画領域がありません[PRM_DrawRect_F]");
}

TEST_F(ZoomQuad, GradientQuadrilateral) {
  FImg d(640, 480, 7);
  const int c[4][2] = {{10, 100}, {20, 100}, {10, 199}, {20, 199}};
  ASSERT_EQ(PRM_DrawVQuad(&d.img, c, nullptr, 100, 0, 0, 0, 199, 255, 255, 255, 0), 1);
  EXPECT_EQ(d.at(10, 150)[0], 128);  // 0 + 50 * 255 / 99
  EXPECT_EQ(d.at(19, 199)[1], 255);
  EXPECT_EQ(d.at(10, 100)[2], 0);
  EXPECT_EQ(d.at(20, 150)[0], 7);  // right edge exclusive
  EXPECT_EQ(d.at(10, 200)[0], 7);
  // Corners on one row draw nothing.
  const int flat[4][2] = {{0, 5}, {50, 5}, {0, 5}, {50, 5}};
  PRM_DrawVQuad(&d.img, flat, nullptr, 0, 255, 255, 255, 0, 255, 255, 255, 0);
  EXPECT_EQ(d.at(10, 5)[0], 7);
  // As tall as the screen: every row down to the bottom.
  const int tall[4][2] = {{600, 0}, {610, 0}, {600, 479}, {610, 479}};
  PRM_DrawVQuad(&d.img, tall, nullptr, 0, 9, 9, 9, 0, 9, 9, 9, 0);
  for (int y = 0; y < 480; y++) ASSERT_EQ(d.at(605, y)[0], 9) << y;
  EXPECT_EQ(PRM_DrawVQuad(nullptr, tall, nullptr, 0, 9, 9, 9, 0, 9, 9, 9, 0), 0);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "描画領域がありません");
}

}  // namespace

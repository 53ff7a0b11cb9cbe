// The picture effects of the unscaled blits (modes 14-40) and the 8-bit
// conversion of the frame.
#include <random>

#include "blit_test_util.h"

using namespace blittest;

namespace {

class Effects : public BlitTest {
 protected:
  void SetUp() override {
    BlitTest::SetUp();
    BLT_SetVectorLevel(0);
  }
};

// A picture whose every pixel is different: blue = x, green = y, red = x ^ y.
FImg Numbered(int w, int h) {
  FImg f(w, h);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) f.set(x, y, x & 255, y & 255, (x ^ y ^ 0x55) & 255);
  }
  return f;
}

// Draws src onto a copy of `frame` with one mode word.
std::vector<uint8_t> Draw(FImg& frame, void* src, int fmt, int x, int y, int w, int h,
                          uint32_t mode) {
  FImg d(frame.img.width, frame.img.height);
  std::copy(frame.mem.get(), frame.mem.get() + frame.bytes().size(), d.mem.get());
  BlitParams p = Params(&d.img, src, fmt, x, y, w, h);
  p.mode = mode;
  EXPECT_EQ(fmt == FMT_B ? DRW_DrawBMP_FB(p) : DRW_DrawBMP_FF(p), 1);
  return d.bytes();
}

TEST_F(Effects, ModesWithoutALoopDrawAsACopy) {
  FImg src = Numbered(9, 7), frame(12, 10, 40);
  BImg b(9, 7, false);
  for (int i = 0; i < 256; i++) b.setPal(i, i, 255 - i, i / 2);
  for (int y = 0; y < 7; y++) {
    for (int x = 0; x < 9; x++) b.at(x, y) = static_cast<uint8_t>(x * 7 + y);
  }
  const auto copyF = Draw(frame, &src.img, FMT_F, 2, 1, 9, 7, 0);
  const auto copyB = Draw(frame, &b.img, FMT_B, 2, 1, 9, 7, 0);
  for (int mode : {16, 41, 63, 64, 200, 0xFFFF}) {
    EXPECT_EQ(Draw(frame, &src.img, FMT_F, 2, 1, 9, 7, BLT_Mode(mode, 77)), copyF) << mode;
  }
  // The palettised entry has only scatter and wobble among the effects.
  for (int mode : {14, 16, 19, 20, 21, 22, 23, 26, 28, 29, 34, 35, 40, 41}) {
    EXPECT_EQ(Draw(frame, &b.img, FMT_B, 2, 1, 9, 7, BLT_Mode(mode, 100)), copyB) << mode;
  }
  // Parameters that make an effect stand still.
  for (int mode : {14, 15, 17, 18, 19, 21, 22}) {
    EXPECT_EQ(Draw(frame, &src.img, FMT_F, 2, 1, 9, 7, BLT_Mode(mode, 0)), copyF) << mode;
  }
  EXPECT_EQ(Draw(frame, &b.img, FMT_B, 2, 1, 9, 7, BLT_Mode(18, 0)), copyB);
}

TEST_F(Effects, MosaicCellsAreCentredAndShortenedAtTheEdges) {
  FImg src = Numbered(10, 3), frame(10, 3);
  // Cells of 4 over 10 columns: 1, 4, 4, 1 (the two columns left over split
  // between both ends).
  FImg d(10, 3);
  BlitParams p = Params(&d.img, &src.img, FMT_F, 0, 0, 10, 3);
  p.mode = BLT_Mode(14, 3);
  DRW_DrawBMP_FF(p);
  const int expectCol[10] = {0, 1, 1, 1, 1, 5, 5, 5, 5, 9};
  for (int x = 0; x < 10; x++) {
    EXPECT_EQ(d.at(x, 2)[0], expectCol[x]) << x;
    EXPECT_EQ(d.at(x, 0)[1], 0) << x;  // rows: a cell of 1, then one of 2
    EXPECT_EQ(d.at(x, 2)[1], 1) << x;
  }
  // Cells wider than the blit: two halves, each the colour of its first pixel.
  p.mode = BLT_Mode(14, 100);
  DRW_DrawBMP_FF(p);
  for (int x = 0; x < 10; x++) EXPECT_EQ(d.at(x, 1)[0], x < 5 ? 0 : 5) << x;
  // A blit clipped on the left takes its cells from the visible part only.
  FImg e(6, 3);
  p = Params(&e.img, &src.img, FMT_F, -4, 0, 10, 3);
  p.mode = BLT_Mode(14, 2);
  DRW_DrawBMP_FF(p);
  for (int x = 0; x < 6; x++) EXPECT_GE(e.at(x, 0)[0], 4);
  // Mirrored: the cell colour is the first pixel of the cell as drawn.
  FImg m(10, 3);
  p = Params(&m.img, &src.img, FMT_F, 0, 0, 10, 3);
  p.flags = BLT_MIRROR_X;
  p.mode = BLT_Mode(14, 3);
  DRW_DrawBMP_FF(p);
  for (int x = 0; x < 10; x++) EXPECT_EQ(m.at(x, 0)[0], 9 - expectCol[x]) << x;
}

TEST_F(Effects, ScatterMovesPixelsByTheTablesAndDropsThoseOffTheImage) {
  FImg one(1, 1);
  one.set(0, 0, 1, 2, 3);
  for (int P : {1, 100, 255, 256, 4000}) {
    const int row = P > 255 ? 255 : P;
    FImg d(640, 480);
    BlitParams p = Params(&d.img, &one.img, FMT_F, 320, 240, 1, 1);
    p.mode = BLT_Mode(15, P);
    DRW_DrawBMP_FF(p);
    const int x = 320 + NoiseTab[row][0], y = 240 + NoiseTab2[row][0];
    if (x >= 0 && x < 640 && y >= 0 && y < 480) {
      EXPECT_EQ(d.rgb(x, y), 0x030201u) << P;
    }
  }
  // Near the edge most targets leave the image: they are dropped, the rest
  // land inside, and the number of pixels written never exceeds the picture.
  FImg src = Numbered(40, 30), d(60, 50);
  BlitParams p = Params(&d.img, &src.img, FMT_F, 30, 30, 40, 30);
  p.mode = BLT_Mode(15, 200);
  p.clip = BLT_NO_CLIP;
  DRW_DrawBMP_FF(p);
  int written = 0;
  for (int y = 0; y < 50; y++) {
    for (int x = 0; x < 60; x++) written += d.rgb(x, y) != 0;
  }
  EXPECT_LE(written, 40 * 30);
  // The palettised entry scatters the same way as the F picture of its colours.
  BImg b(40, 30, false);
  FImg asF(40, 30);
  for (int i = 0; i < 256; i++) b.setPal(i, i, i ^ 0x33, 255 - i);
  for (int y = 0; y < 30; y++) {
    for (int x = 0; x < 40; x++) {
      b.at(x, y) = static_cast<uint8_t>(x * 5 + y * 3);
      const int i = b.at(x, y);
      asF.set(x, y, i, i ^ 0x33, 255 - i);
    }
  }
  FImg frame(120, 100, 9);
  EXPECT_EQ(Draw(frame, &b.img, FMT_B, 40, 35, 40, 30, BLT_Mode(15, 90)),
            Draw(frame, &asF.img, FMT_F, 40, 35, 40, 30, BLT_Mode(15, 90)));
}

TEST_F(Effects, WobbleTilesCoverThePictureWithoutSeams) {
  FImg src = Numbered(64, 48), frame(80, 60, 5);
  const auto copy = Draw(frame, &src.img, FMT_F, 8, 6, 64, 48, 0);
  // Any phase with amplitude 0: the 64 zoomed tiles join into the copy.
  for (int phase : {0, 37, 200}) {
    EXPECT_EQ(Draw(frame, &src.img, FMT_F, 8, 6, 64, 48, BLT_Mode(17, phase << 8)), copy);
  }
  EXPECT_EQ(Draw(frame, &src.img, FMT_F, 8, 6, 64, 48, BLT_Mode(18, 9 << 8)),
            Draw(frame, &src.img, FMT_F, 8, 6, 64, 48, BLT_Mode(10, 128)));
  // A moving wobble over the screen's edges leaves no speck of the frame
  // inside the tiles' area that stays on screen.
  FImg d(64, 48, 0), grey(640, 480, 200);
  BlitParams p = Params(&d.img, &grey.img, FMT_F, -60, -50, 640, 480);
  p.mode = BLT_Mode(17, (64 << 8) | 255);
  EXPECT_EQ(DRW_DrawBMP_FF(p), 1);
  for (int y = 0; y < 20; y++) {
    for (int x = 0; x < 20; x++) EXPECT_EQ(d.rgb(x, y), 0xC8C8C8u) << x << "," << y;
  }
  // Palettised mode 18 halves the palette, which is the F picture's blend.
  BImg b(16, 16, false);
  FImg asF(16, 16);
  for (int i = 0; i < 256; i++) b.setPal(i, i, 255 - i, (i * 3) & 255);
  for (int y = 0; y < 16; y++) {
    for (int x = 0; x < 16; x++) {
      const int i = (x * 16 + y) & 255;
      b.at(x, y) = static_cast<uint8_t>(i);
      asF.set(x, y, i, 255 - i, (i * 3) & 255);
    }
  }
  FImg f2(30, 30, 77);
  EXPECT_EQ(Draw(f2, &b.img, FMT_B, 3, 4, 16, 16, BLT_Mode(18, (100 << 8) | 180)),
            Draw(f2, &asF.img, FMT_F, 3, 4, 16, 16, BLT_Mode(18, (100 << 8) | 180)));
}

TEST_F(Effects, VerticalWaveRowsWrapInsideTheBlit) {
  FImg src = Numbered(5, 40), d(5, 40);
  BlitParams p = Params(&d.img, &src.img, FMT_F, 0, 0, 5, 40);
  p.mode = BLT_Mode(19, (30 << 8) | 255);
  DRW_DrawBMP_FF(p);
  bool moved = false;
  for (int y = 0; y < 40; y++) {
    const int row = d.at(0, y)[1];
    EXPECT_LT(row, 40);
    moved |= row != y;
    for (int x = 1; x < 5; x++) EXPECT_EQ(d.at(x, y)[1], row);  // whole rows
  }
  EXPECT_TRUE(moved);
  // Blits of one and two rows never read outside themselves.
  for (int h : {1, 2}) {
    FImg e(5, h);
    p = Params(&e.img, &src.img, FMT_F, 0, 0, 5, h);
    p.sy = 10;
    p.mode = BLT_Mode(19, 255);
    DRW_DrawBMP_FF(p);
    for (int y = 0; y < h; y++) EXPECT_GE(e.at(0, y)[1], 10);
  }
  // Mode 20 blends an eighth of the source into the frame.
  FImg one(1, 1), f(1, 1, 100);
  one.set(0, 0, 200, 200, 200);
  p = Params(&f.img, &one.img, FMT_F, 0, 0, 1, 1);
  p.mode = BLT_Mode(20, 0);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(f.at(0, 0)[0], Mul(32, 200) + Mul(224, 100));
}

TEST_F(Effects, HorizontalWaveDrawsOnlyWhatStaysInsideTheSource) {
  // The row shift at row i of an h-row blit, as the wave defines it.
  auto shiftOf = [](int w, int h, int P, int i) {
    const int64_t amp = static_cast<int64_t>(w) * (P & 0xFF) / 640;
    return static_cast<int>(amp * SinTable[(480 * i / h + (P >> 8) + 64) & 255] / 4096);
  };
  FImg src = Numbered(640, 4), frame(640, 4, 7);
  const int P = 255;
  for (bool mirror : {false, true}) {
    FImg d(640, 4, 7);
    BlitParams p = Params(&d.img, &src.img, FMT_F, 0, 0, 640, 4);
    p.mode = BLT_Mode(21, P);
    if (mirror) p.flags = BLT_MIRROR_X;
    DRW_DrawBMP_FF(p);
    for (int i = 0; i < 4; i++) {
      const int sh = shiftOf(640, 4, P, i);
      ASSERT_NE(sh, 0);
      for (int x = 0; x < 640; x++) {
        const int sc = mirror ? 639 - x - sh : x + sh;
        if (sc < 0 || sc >= 640) {
          EXPECT_EQ(d.rgb(x, i), 0x070707u) << x;
        } else {
          EXPECT_EQ(d.rgb(x, i), src.rgb(sc, i)) << mirror << " " << x << "," << i;
        }
      }
    }
  }
  // The amplitude of mode 22 is also its opacity.
  FImg one(8, 1), d(8, 1, 100);
  for (int x = 0; x < 8; x++) one.set(x, 0, 200, 200, 200);
  BlitParams p = Params(&d.img, &one.img, FMT_F, 0, 0, 8, 1);
  p.mode = BLT_Mode(22, 64);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.at(0, 0)[0], Mul(64, 200) + Mul(192, 100));
}

// Grey picture onto black: the drawn share of each line as a value 0..200.
std::vector<int> LineValues(uint32_t mode, int w, int h, bool byRows) {
  FImg src(w, h, 200), d(w, h, 0);
  BlitParams p = Params(&d.img, &src.img, FMT_F, 0, 0, w, h);
  p.mode = mode;
  DRW_DrawBMP_FF(p);
  std::vector<int> v(byRows ? h : w);
  for (size_t k = 0; k < v.size(); k++) {
    v[k] = byRows ? d.at(w / 2, static_cast<int>(k))[0] : d.at(static_cast<int>(k), h / 2)[0];
  }
  return v;
}

TEST_F(Effects, SoftWipesRunFromNothingToTheWholePicture) {
  for (int mode = 23; mode <= 28; mode++) {
    const bool byRows = mode <= 24;
    for (int w : {640, 37}) {
      const int h = w == 640 ? 480 : 23;
      for (int v : LineValues(BLT_Mode(mode, 0), w, h, byRows)) EXPECT_EQ(v, 0) << mode;
      for (int v : LineValues(BLT_Mode(mode, 256), w, h, byRows)) EXPECT_EQ(v, 200) << mode;
    }
    // Midway: untouched, a band of rising weights, copied; monotone along
    // the direction of the wipe and without steps larger than the band's.
    const auto v = LineValues(BLT_Mode(mode, 128), 640, 480, byRows);
    int blended = 0;
    for (size_t k = 0; k + 1 < v.size(); k++) {
      const int step = v[k + 1] - v[k];
      if (mode >= 27) {
        const bool rightHalf = k >= v.size() / 2;
        const int outward = rightHalf ? step : -step;
        EXPECT_EQ(v[k], v[v.size() - 1 - k]) << mode;  // mirrored about the centre
        if (mode == 27) {
          EXPECT_GE(outward, 0) << mode << " " << k;
        }
        if (mode == 28) {
          EXPECT_LE(outward, 0) << mode << " " << k;
        }
      } else if (mode == 23 || mode == 25) {
        EXPECT_GE(step, 0) << mode << " " << k;
      } else {
        EXPECT_LE(step, 0) << mode << " " << k;
      }
      // The centre wipes move the weight by 2 per column and end the band at 252.
      EXPECT_LE(std::abs(step), mode >= 27 ? 4 : 2) << mode << " " << k;
      blended += v[k] > 0 && v[k] < 199;
    }
    EXPECT_GT(blended, 100) << mode;
  }
}

TEST_F(Effects, StaircaseBlindsGrowOneLinePerBlock) {
  for (int mode = 29; mode <= 34; mode++) {
    const bool byRows = mode <= 30;
    const int w = 640, h = 480;
    for (int v : LineValues(BLT_Mode(mode, 0), w, h, byRows)) EXPECT_EQ(v, 0) << mode;
    for (int v : LineValues(BLT_Mode(mode, 256), w, h, byRows)) EXPECT_EQ(v, 200) << mode;
    for (int P : {40, 128, 222}) {
      const auto v = LineValues(BLT_Mode(mode, P), w, h, byRows);
      // Along the lines counted from the start (the centre for 33 and 34):
      // each block of 16 is drawn on one side of a boundary that moves by one
      // line from block to block.
      std::vector<int> lines;
      if (mode >= 33) {
        for (int k = w / 2; k < w; k++) lines.push_back(v[k]);
      } else {
        lines = v;
      }
      int prev = -1;
      for (size_t b = 0; b + 1 < lines.size() / 16; b++) {
        int drawn = 0;
        for (int k = 0; k < 16; k++) {
          const bool on = lines[b * 16 + k] != 0;
          drawn += on;
          // Odd modes draw the tail of a block, even modes its head.
          if (k > 0 && (mode & 1)) {
            EXPECT_GE(on, lines[b * 16 + k - 1] != 0);
          }
          if (k > 0 && !(mode & 1)) {
            EXPECT_LE(on, lines[b * 16 + k - 1] != 0);
          }
        }
        if (prev >= 0 && prev > 0 && prev < 16 && drawn > 0 && drawn < 16) {
          EXPECT_EQ(drawn, prev + ((mode & 1) ? 1 : -1)) << mode << " P " << P << " block " << b;
        }
        prev = drawn;
      }
      if (mode >= 33) {
        for (int k = 0; k < w; k++) EXPECT_EQ(v[k], v[w - 1 - k]) << mode;
      }
    }
  }
}

TEST_F(Effects, CellsRepeatAtTheirSizeAndEndCopiedOrHalfBlended) {
  const int sizes[3] = {64, 32, 16};
  for (int mode = 35; mode <= 40; mode++) {
    const int size = sizes[(mode - 35) % 3];
    FImg src(128, 128, 200), frame(128, 128, 0);
    auto at = [&](const std::vector<uint8_t>& px, int x, int y) { return px[(y * 128 + x) * 3]; };
    const auto none = Draw(frame, &src.img, FMT_F, 0, 0, 128, 128, BLT_Mode(mode, 0));
    EXPECT_EQ(none, frame.bytes()) << mode;
    const auto full = Draw(frame, &src.img, FMT_F, 0, 0, 128, 128, BLT_Mode(mode, 256));
    const int expect = mode < 38 ? 200 : Mul(144, 200);
    for (size_t k = 0; k < full.size(); k++) ASSERT_EQ(full[k], expect) << mode;
    // Parameters beyond the end draw as the end.
    EXPECT_EQ(Draw(frame, &src.img, FMT_F, 0, 0, 128, 128, BLT_Mode(mode, 9000)), full);
    const auto mid = Draw(frame, &src.img, FMT_F, 0, 0, 128, 128, BLT_Mode(mode, 150));
    int on = 0;
    for (int y = 0; y + size < 128; y++) {
      for (int x = 0; x + size < 128; x++) {
        EXPECT_EQ(at(mid, x, y), at(mid, x + size, y));
        EXPECT_EQ(at(mid, x, y), at(mid, x, y + size));
        on += at(mid, x, y) != 0;
      }
    }
    EXPECT_GT(on, 0) << mode;
    EXPECT_LT(on, (128 - size) * (128 - size)) << mode;
  }
}

TEST_F(Effects, RandomEffectBlocksStayInsideTheImages) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 3000; trial++) {
    const int dw = 1 + static_cast<int>(rng() % 50), dh = 1 + static_cast<int>(rng() % 40);
    const int sw = 1 + static_cast<int>(rng() % 40), sh = 1 + static_cast<int>(rng() % 40);
    FImg d(dw, dh), f(sw, sh);
    BImg b(sw, sh, rng() % 2);
    for (int i = 0; i < sw * sh; i++) b.px[i] = static_cast<uint8_t>(rng());
    const int mode = 14 + static_cast<int>(rng() % 27);
    BlitParams p = Params(&d.img, &f.img, FMT_F, static_cast<int>(rng() % 60) - 30,
                          static_cast<int>(rng() % 60) - 30, static_cast<int>(rng() % 60),
                          static_cast<int>(rng() % 60));
    p.sx = static_cast<int>(rng() % 20) - 5;
    p.sy = static_cast<int>(rng() % 20) - 5;
    p.sw = static_cast<int>(rng() % 60) - 5;
    p.sh = static_cast<int>(rng() % 60) - 5;
    p.flags = rng() & (BLT_MIRROR_X | BLT_MIRROR_Y);
    p.mode = BLT_Mode(mode, static_cast<int>(rng() % 3 ? rng() % 300 : rng() & 0xFFFF));
    p.colorKey = rng() % 3 == 0 ? BLT_KEY_ALPHA : (rng() % 2 ? BLT_KEY_NONE : 0);
    if (rng() % 4 == 0) p.colR = static_cast<int>(rng() % 256);
    p.clip = rng() % 3 == 0 ? BLT_NO_CLIP : nullptr;
    DRW_DrawBMP_FF(p);
    p.src = &b.img;
    p.srcFormat = FMT_B;
    DRW_DrawBMP_FB(p);
  }
}

TEST_F(Effects, PatternWipeWithAnFSecondPictureChecksAndDrawsNothing) {
  FImg pic = Numbered(6, 4), second(6, 4, 90), d(8, 6, 7);
  BlitParams p = Params(&d.img, &pic.img, FMT_F, 1, 1, 6, 4);
  p.src2Format = FMT_F;
  p.src2 = &second.img;
  p.s2w = 6;
  p.s2h = 4;
  p.mode2 = BLT_Mode(10, 256);
  const auto before = d.bytes();
  EXPECT_EQ(DRW_DrawBMP_FTT_F(p), 1);
  EXPECT_EQ(d.bytes(), before);
  p.dx = 20;  // clipped away
  EXPECT_EQ(DRW_DrawBMP_FTT_F(p), 0);
  FImage none{nullptr, 6, 4};
  p.src2 = &none;
  EXPECT_EQ(DRW_DrawBMP_FTT_F(p), 0);
  EXPECT_EQ(Logged().back(), "画像領域2がありません[DRW_DrawBMP_FTT]");
}

TEST_F(Effects, FrameConversionThroughTheInverseColourTable) {
  uint8_t pal[1024] = {};
  for (int i = 0; i < 256; i++) {
    pal[i * 4] = static_cast<uint8_t>((i & 7) * 36);
    pal[i * 4 + 1] = static_cast<uint8_t>(((i >> 3) & 7) * 36);
    pal[i * 4 + 2] = static_cast<uint8_t>((i >> 6) * 85);
  }
  BLT_BuildRgb15ToIndex(pal, nullptr);
  FImg src(4, 2);
  src.set(0, 0, 0x48, 0x90, 0xF8);  // differs from the next only in the low three bits
  src.set(1, 0, 0x4F, 0x97, 0xFF);
  src.set(2, 0, 0, 0, 0);
  src.set(3, 0, 255, 255, 255);
  src.set(0, 1, 36, 72, 170);  // exactly entry 1 + 2 * 8 + 2 * 64
  std::vector<uint8_t> px(8, 0xEE);
  BImage dst{px.data(), nullptr, pal, 4, 2};
  ASSERT_EQ(DRW_ChangeBMP_F2B(&dst, &src.img), 1);
  EXPECT_EQ(px[0], px[1]);
  EXPECT_EQ(px[2], 0);
  EXPECT_EQ(px[3], 255);
  EXPECT_EQ(px[4], 1 + 2 * 8 + 2 * 64);
  // Entries kept out of the table are never chosen.
  uint8_t usable[256];
  std::fill(usable, usable + 256, 1);
  usable[0] = 0;
  BLT_BuildRgb15ToIndex(pal, usable);
  DRW_ChangeBMP_F2B(&dst, &src.img);
  EXPECT_NE(px[2], 0);

  BImage none{nullptr, nullptr, pal, 4, 2};
  EXPECT_EQ(DRW_ChangeBMP_F2B(&none, &src.img), 0);
  FImage noSrc{nullptr, 4, 2};
  std::fill(px.begin(), px.end(), 0xEE);
  EXPECT_EQ(DRW_ChangeBMP_F2B(&dst, &noSrc), 0);
  EXPECT_EQ(px, std::vector<uint8_t>(8, 0xEE));
  const auto logs = Logged();
  ASSERT_EQ(logs.size(), 2u);
  EXPECT_EQ(logs[0], "描画領域がありません[DRW_ChangeBMP_F2B]");
  EXPECT_EQ(logs[1], "画像領域がありません[DRW_ChangeBMP_F2B]");
}

}  // namespace

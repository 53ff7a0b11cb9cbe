// The unscaled blits: entry checks, keys, alpha, colour factors, mirroring,
// the draw modes 0-13 and the palette preparation.
#include "blit/palette.h"
#include "blit_test_util.h"

using namespace blittest;

namespace {

class DrawBmp : public BlitTest {
 protected:
  void SetUp() override {
    BlitTest::SetUp();
    BLT_SetVectorLevel(0);  // the reference loops; the fast paths are compared elsewhere
  }
};

// A 4 x 2 F picture with distinct pixels.
FImg Picture() {
  FImg f(4, 2);
  for (int y = 0; y < 2; y++) {
    for (int x = 0; x < 4; x++) f.set(x, y, 10 + x, 20 + y, 30 + x * 10 + y);
  }
  return f;
}

TEST_F(DrawBmp, MissingPixelsAreRefusedWithTheEntryName) {
  FImg dst(8, 8);
  FImage empty{nullptr, 4, 4};
  BImage emptyB{};
  BlitParams p = Params(&empty, &dst.img, FMT_F, 0, 0, 4, 4);
  EXPECT_EQ(DRW_DrawBMP_FF(p), 0);
  p = Params(&dst.img, &empty, FMT_F, 0, 0, 4, 4);
  EXPECT_EQ(DRW_DrawBMP_FF(p), 0);
  p = Params(&dst.img, &emptyB, FMT_B, 0, 0, 4, 4);
  EXPECT_EQ(DRW_DrawBMP_FB(p), 0);
  p = Params(&dst.img, nullptr, FMT_B, 0, 0, 4, 4);
  EXPECT_EQ(DRW_DrawZOOM_FB(p), 0);
  const auto logs = Logged();
  ASSERT_EQ(logs.size(), 4u);
  EXPECT_EQ(logs[0], "描画領域がありません[DRW_DrawBMP_FF]");
  EXPECT_EQ(logs[1], "画像領域がありません[DRW_DrawBMP_FF]");
  EXPECT_EQ(logs[2], "画像領域がありません[DRW_DrawBMP_FB]");
  EXPECT_EQ(logs[3], "画像領域がありません[DRW_DrawZOOM_FB]");
}

TEST_F(DrawBmp, CopyKeyAndFactors) {
  FImg src = Picture(), dst(6, 4, 7);
  BlitParams p = Params(&dst.img, &src.img, FMT_F, 1, 1, 4, 2);
  ASSERT_EQ(DRW_DrawBMP_FF(p), 1);
  EXPECT_EQ(dst.rgb(0, 1), 0x070707u);
  EXPECT_EQ(dst.rgb(1, 1), src.rgb(0, 0));
  EXPECT_EQ(dst.rgb(4, 2), src.rgb(3, 1));
  EXPECT_EQ(dst.rgb(5, 2), 0x070707u);

  // A colour key skips the matching pixel; key -2 on an F picture draws all.
  FImg d2(4, 2, 7);
  p = Params(&d2.img, &src.img, FMT_F, 0, 0, 4, 2);
  p.colorKey = static_cast<int32_t>(src.rgb(2, 1));
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d2.rgb(2, 1), 0x070707u);
  EXPECT_EQ(d2.rgb(1, 1), src.rgb(1, 1));
  p.colorKey = BLT_KEY_ALPHA;
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d2.bytes(), src.bytes());

  // Factors: red darkened by 64/128, blue brightened toward white.
  FImg one(1, 1), d3(1, 1);
  one.set(0, 0, 100, 200, 200);
  p = Params(&d3.img, &one.img, FMT_F, 0, 0, 1, 1);
  p.colR = 64;
  p.colB = 255;
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d3.at(0, 0)[2], 100);                               // 200 * 64 >> 7
  EXPECT_EQ(d3.at(0, 0)[1], 200);                               // unchanged
  EXPECT_EQ(d3.at(0, 0)[0], 100 + (((255 - 100) * 127) >> 7));  // k - 128 for F sources
}

TEST_F(DrawBmp, MirroredBlitsReadTheRectangleBackwards) {
  FImg src = Picture(), dst(4, 2);
  BlitParams p = Params(&dst.img, &src.img, FMT_F, 0, 0, 4, 2);
  p.flags = BLT_MIRROR_X;
  DRW_DrawBMP_FF(p);
  for (int x = 0; x < 4; x++) EXPECT_EQ(dst.rgb(x, 0), src.rgb(3 - x, 0));
  p.flags = BLT_MIRROR_Y;
  DRW_DrawBMP_FF(p);
  for (int x = 0; x < 4; x++) EXPECT_EQ(dst.rgb(x, 0), src.rgb(x, 1));
  p.flags = BLT_MIRROR_X | BLT_MIRROR_Y;
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(dst.rgb(0, 0), src.rgb(3, 1));

  // Cut on the left: the visible part shows the picture's left end, as the
  // unclipped mirrored picture would.
  FImg d2(3, 2);
  p = Params(&d2.img, &src.img, FMT_F, -1, 0, 4, 2);
  p.flags = BLT_MIRROR_X;
  ASSERT_EQ(DRW_DrawBMP_FF(p), 1);
  for (int x = 0; x < 3; x++) EXPECT_EQ(d2.rgb(x, 0), src.rgb(2 - x, 0));
}

TEST_F(DrawBmp, LeftClipStartsLaterInTheSource) {
  FImg src = Picture(), dst(8, 2, 1);
  const ClipBox box = {3, 0, 8, 2};
  BlitParams p = Params(&dst.img, &src.img, FMT_F, 1, 0, 4, 2);
  p.clip = &box;
  ASSERT_EQ(DRW_DrawBMP_FF(p), 1);
  EXPECT_EQ(dst.rgb(2, 0), 0x010101u);
  EXPECT_EQ(dst.rgb(3, 0), src.rgb(2, 0));
  EXPECT_EQ(dst.rgb(4, 0), src.rgb(3, 0));
  // No clipping at all: no messages, and the right edge still holds.
  LOG_Reset();
  p = Params(&dst.img, &src.img, FMT_F, 6, 0, 4, 2);
  p.clip = BLT_NO_CLIP;
  EXPECT_EQ(DRW_DrawBMP_FF(p), 1);
  EXPECT_EQ(dst.rgb(7, 1), src.rgb(1, 1));
  EXPECT_EQ(LOG_RecentCount(), 0);
}

// A B picture: index i has colour (i, 2i, 3i) mod 256, alpha plane given.
BImg Palettised(int w, int h, bool alpha) {
  BImg b(w, h, alpha);
  for (int i = 0; i < 256; i++) b.setPal(i, i, (2 * i) & 255, (3 * i) & 255);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) b.at(x, y) = static_cast<uint8_t>(1 + x + y * w);
  }
  return b;
}

TEST_F(DrawBmp, PalettisedAlphaRules) {
  BImg src = Palettised(3, 1, true);
  src.a(0, 0) = 0;
  src.a(1, 0) = 255;
  src.a(2, 0) = 128;
  FImg dst(3, 1, 0);
  dst.set(0, 0, 9, 9, 9);
  BlitParams p = Params(&dst.img, &src.img, FMT_B, 0, 0, 3, 1);
  p.colorKey = BLT_KEY_ALPHA;
  ASSERT_EQ(DRW_DrawBMP_FB(p), 1);
  EXPECT_EQ(dst.rgb(0, 0), 0x090909u);  // skipped
  EXPECT_EQ(dst.at(1, 0)[0], 2);        // exact palette colour
  EXPECT_EQ(dst.at(1, 0)[1], 4);
  EXPECT_EQ(dst.at(1, 0)[2], 6);
  EXPECT_EQ(dst.at(2, 0)[0], Mul(128, 3));  // on black: Mul(128, colour)
  EXPECT_EQ(dst.at(2, 0)[2], Mul(128, 9));

  // Without an alpha plane key -2 draws every pixel.
  BImg plain = Palettised(3, 1, false);
  FImg d2(3, 1, 50);
  p = Params(&d2.img, &plain.img, FMT_B, 0, 0, 3, 1);
  p.colorKey = BLT_KEY_ALPHA;
  DRW_DrawBMP_FB(p);
  EXPECT_EQ(d2.at(0, 0)[0], 1);
  EXPECT_EQ(d2.at(2, 0)[2], 9);
}

TEST_F(DrawBmp, PalettisedKeyMatchesThePicturesOwnColours) {
  BImg src = Palettised(3, 1, false);
  FImg dst(3, 1, 77);
  BlitParams p = Params(&dst.img, &src.img, FMT_B, 0, 0, 3, 1);
  p.colorKey = (6 << 16) | (4 << 8) | 2;  // the colour of index 2
  p.mode = BLT_Mode(8, 0);                // mode 8 inverts the palette copy
  DRW_DrawBMP_FB(p);
  EXPECT_EQ(dst.at(0, 0)[0], 255 - 1);
  EXPECT_EQ(dst.rgb(1, 0), 0x4D4D4Du);  // keyed out although drawn inverted
  EXPECT_EQ(dst.at(2, 0)[2], 255 - 9);
  EXPECT_EQ(src.pal[4], 1);  // the picture's palette is untouched
}

TEST_F(DrawBmp, ArithmeticModes) {
  FImg s(1, 1), d(1, 1);
  auto run = [&](int mode, int sv, int dv) {
    s.set(0, 0, sv, sv, sv);
    d.set(0, 0, dv, dv, dv);
    BlitParams p = Params(&d.img, &s.img, FMT_F, 0, 0, 1, 1);
    p.mode = BLT_Mode(mode, 0);
    EXPECT_EQ(DRW_DrawBMP_FF(p), 1);
    return d.at(0, 0)[0];
  };
  EXPECT_EQ(run(1, 200, 255), 255);  // white stays white
  EXPECT_EQ(run(1, 200, 100), 255);
  EXPECT_EQ(run(1, 20, 100), 120);
  EXPECT_EQ(run(2, 128, 100), 200);  // dodge
  EXPECT_EQ(run(3, 0, 77), 77);      // black subtracts nothing
  EXPECT_EQ(run(3, 100, 77), 0);
  EXPECT_EQ(run(4, 128, 77), 77);  // factor 128 leaves it
  EXPECT_EQ(run(4, 64, 200), 100);
  EXPECT_EQ(run(5, 200, 64), 100);  // scaled by the destination
  EXPECT_EQ(run(6, 50, 60), 60);
  EXPECT_EQ(run(7, 50, 60), 50);
  EXPECT_EQ(run(8, 50, 60), 205);
  EXPECT_EQ(run(9, 50, 60), 50);  // no loop of its own: a copy
  EXPECT_EQ(run(16, 50, 60), 50);
}

TEST_F(DrawBmp, AlphaScaledArithmeticForPalettisedSources) {
  BImg src(1, 1, true);
  src.setPal(0, 200, 128, 0);
  FImg d(1, 1);
  auto run = [&](int mode, int a, int dv) {
    src.a(0, 0) = static_cast<uint8_t>(a);
    d.set(0, 0, dv, dv, dv);
    BlitParams p = Params(&d.img, &src.img, FMT_B, 0, 0, 1, 1);
    p.colorKey = BLT_KEY_ALPHA;
    p.mode = BLT_Mode(mode, 0);
    DRW_DrawBMP_FB(p);
    return d.at(0, 0)[0];
  };
  EXPECT_EQ(run(1, 128, 10), 10 + Mul(128, 200));
  EXPECT_EQ(run(3, 128, 150), 150 - Mul(128, 200));
  EXPECT_EQ(run(1, 0, 10), 10);
  EXPECT_EQ(run(4, 0, 99), 99);  // transparent: factor 128
  EXPECT_EQ(run(4, 128, 100), ColorScaleTable[(((128 * 200) >> 8) + 64) * 256 + 100]);
  EXPECT_EQ(run(2, 255, 100), DodgeTable[100 * 256 + 200]);
}

TEST_F(DrawBmp, ConstantAlphaFade) {
  FImg s(2, 1), d(2, 1);
  s.set(0, 0, 200, 100, 0);
  s.set(1, 0, 255, 255, 255);
  auto fill = [&] {
    d.set(0, 0, 50, 50, 50);
    d.set(1, 0, 0, 0, 0);
  };
  fill();
  BlitParams p = Params(&d.img, &s.img, FMT_F, 0, 0, 2, 1);
  p.mode = BLT_Mode(10, 0);
  EXPECT_EQ(DRW_DrawBMP_FF(p), 1);
  EXPECT_EQ(d.rgb(0, 0), 0x323232u);  // P = 0 draws nothing
  p.mode = BLT_Mode(10, 256);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.bytes(), s.bytes());  // P = 256 is a copy
  fill();
  p.mode = BLT_Mode(10, 128);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.at(0, 0)[0], Mul(128, 200) + Mul(128, 50));
  EXPECT_EQ(d.at(0, 0)[2], Mul(128, 50));
  EXPECT_EQ(d.at(1, 0)[0], 127);
  // From level 1 on (vector or portable row kernels) the fade is
  // (P s + (256 - P) d) >> 8 per byte.
  if (BLT_SetVectorLevel(1) == 1) {
    fill();
    DRW_DrawBMP_FF(p);
    EXPECT_EQ(d.at(0, 0)[0], (200 + 50) >> 1);
    EXPECT_EQ(d.at(1, 0)[0], 127);
  }
}

TEST_F(DrawBmp, PalettisedFadeUsesTheScaledPalette) {
  BImg src(1, 1, true);
  src.setPal(0, 200, 100, 0);
  FImg d(1, 1, 80);
  BlitParams p = Params(&d.img, &src.img, FMT_B, 0, 0, 1, 1);
  p.mode = BLT_Mode(10, 100);
  DRW_DrawBMP_FB(p);
  // Palette scaled by the factor 50: (200 * 50) >> 7 = 78.
  EXPECT_EQ(d.at(0, 0)[0], 78 + Mul(156, 80));
  EXPECT_EQ(d.at(0, 0)[2], Mul(156, 80));
  // With the alpha rule: colour times a, destination kept by 255 - Mul(P, a).
  d.set(0, 0, 80, 80, 80);
  src.a(0, 0) = 128;
  p.colorKey = BLT_KEY_ALPHA;
  DRW_DrawBMP_FB(p);
  EXPECT_EQ(d.at(0, 0)[0], Mul(128, 78) + Mul(255 - Mul(100, 128), 80));
}

TEST_F(DrawBmp, Desaturation) {
  FImg s(1, 1), d(1, 1);
  s.set(0, 0, 40, 100, 200);  // grey (40 + 200 + 200) >> 2 = 110
  BlitParams p = Params(&d.img, &s.img, FMT_F, 0, 0, 1, 1);
  p.mode = BLT_Mode(11, 0);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.rgb(0, 0), 0x6E6E6Eu);
  p.mode = BLT_Mode(11, 256);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.rgb(0, 0), s.rgb(0, 0));
  p.mode = BLT_Mode(11, 128);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.at(0, 0)[0], Mul(128, 40) + Mul(128, 110));

  // B: the palette copy is desaturated with its own weights.
  BImg b(1, 1, false);
  b.setPal(0, 40, 100, 200);
  p = Params(&d.img, &b.img, FMT_B, 0, 0, 1, 1);
  p.mode = BLT_Mode(11, 0);
  DRW_DrawBMP_FB(p);
  const int grey = (77 * 200 + 151 * 100 + 28 * 40) >> 8;
  // Share 256 - P = 256 of grey leaves a sliver of -1/255 of the own colour.
  EXPECT_EQ(d.at(0, 0)[0], (256 * grey - 40) / 255);
  EXPECT_EQ(d.at(0, 0)[2], (256 * grey - 200) / 255);
}

TEST_F(DrawBmp, StippleAndNoise) {
  FImg s(8, 8, 200), d(8, 8, 0);
  BlitParams p = Params(&d.img, &s.img, FMT_F, 0, 0, 8, 8);
  p.mode = BLT_Mode(12, 8);
  DRW_DrawBMP_FF(p);
  EXPECT_EQ(d.bytes(), FImg(8, 8, 0).bytes());  // pattern 0
  p.mode = BLT_Mode(12, 255);
  DRW_DrawBMP_FF(p);
  for (int y = 0; y < 8; y++) {
    for (int x = 0; x < 8; x++) {
      EXPECT_EQ(d.at(x, y)[0], ((x & 3) == 3 && (y & 3) == 3) ? 0 : 200) << x << "," << y;
    }
  }
  FImg big(64, 64, 90), d2(64, 64, 0);
  p = Params(&d2.img, &big.img, FMT_F, 0, 0, 64, 64);
  p.mode = BLT_Mode(13, 130);
  DRW_DrawBMP_FF(p);
  for (int y = 0; y < 64; y++) {
    for (int x = 0; x < 64; x++) EXPECT_EQ(d2.at(x, y)[1], NoiseMasks[130 / 4][y][x] ? 90 : 0);
  }
}

TEST_F(DrawBmp, PaletteOperations) {
  uint8_t pal[1024];
  for (int i = 0; i < 1024; i++) pal[i] = static_cast<uint8_t>(i * 7);
  uint8_t copy[1024];
  std::memcpy(copy, pal, sizeof pal);
  PAL_Tint(pal, 128, 128, 128);
  EXPECT_EQ(std::memcmp(pal, copy, sizeof pal), 0);  // fourth bytes too
  PAL_Desaturate(pal, 0);
  EXPECT_EQ(std::memcmp(pal, copy, sizeof pal), 0);
  PAL_Tint(pal, 255, 128, 0);
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(pal[i * 4 + 2], 255);  // 255 reaches white with the (f - 127) rule
    EXPECT_EQ(pal[i * 4 + 1], copy[i * 4 + 1]);
    EXPECT_EQ(pal[i * 4 + 0], 0);
    EXPECT_EQ(pal[i * 4 + 3], 0);
  }
  std::memcpy(pal, copy, sizeof pal);
  PAL_Desaturate(pal, 255);
  for (int i = 0; i < 256; i++) {
    const int grey = (77 * copy[i * 4 + 2] + 151 * copy[i * 4 + 1] + 28 * copy[i * 4]) >> 8;
    EXPECT_EQ(pal[i * 4], grey);
    EXPECT_EQ(pal[i * 4 + 2], grey);
    EXPECT_EQ(pal[i * 4 + 3], copy[i * 4 + 3]);
  }
  PAL_Invert(pal);
  EXPECT_EQ(pal[3], static_cast<uint8_t>(~copy[3]));
}

TEST_F(DrawBmp, PalettisedFactorsUseTheBrighteningRuleThatReachesWhite) {
  BImg b(1, 1, false);
  b.setPal(0, 0, 100, 200);
  FImg d(1, 1);
  BlitParams p = Params(&d.img, &b.img, FMT_B, 0, 0, 1, 1);
  p.colR = 64;
  p.colG = 255;
  p.colB = 255;
  DRW_DrawBMP_FB(p);
  EXPECT_EQ(d.at(0, 0)[0], 255);
  EXPECT_EQ(d.at(0, 0)[1], 255);
  EXPECT_EQ(d.at(0, 0)[2], 100);
  // Factors outside 0..255 are held to it rather than indexing past the tables.
  p.colR = 1000;
  p.colG = -5;
  DRW_DrawBMP_FB(p);
  EXPECT_EQ(d.at(0, 0)[2], 255);
  EXPECT_EQ(d.at(0, 0)[1], 0);
}

TEST_F(DrawBmp, PatternWipe) {
  FImg pic(3, 1), d(3, 1);
  pic.set(0, 0, 200, 200, 200);
  pic.set(1, 0, 200, 200, 200);
  pic.set(2, 0, 200, 200, 200);
  BImg mask(3, 1, false);
  mask.setPal(0, 0, 0, 0);
  mask.setPal(1, 128, 0, 0);
  mask.setPal(2, 255, 0, 0);
  mask.at(0, 0) = 0;
  mask.at(1, 0) = 1;
  mask.at(2, 0) = 2;
  auto run = [&](int pos) {
    d.set(0, 0, 0, 0, 0), d.set(1, 0, 0, 0, 0), d.set(2, 0, 0, 0, 0);
    BlitParams p = Params(&d.img, &pic.img, FMT_F, 0, 0, 3, 1);
    p.src2Format = FMT_B;
    p.src2 = &mask.img;
    p.s2w = 3;
    p.s2h = 1;
    p.mode2 = BLT_Mode(0, pos);
    return DRW_DrawBMP_FTT(p);
  };
  EXPECT_EQ(run(0), 1);
  EXPECT_EQ(d.rgb(2, 0), 0u);
  run(256);
  EXPECT_EQ(d.at(0, 0)[0], Mul(255, 200) + 0);
  run(128);  // grey level v gives weight v
  EXPECT_EQ(d.at(0, 0)[0], 0);
  EXPECT_EQ(d.at(1, 0)[0], Mul(128, 200));
  EXPECT_EQ(d.at(2, 0)[0], Mul(255, 200));
  BlitParams p = Params(&d.img, &pic.img, FMT_F, 0, 0, 3, 1);
  EXPECT_EQ(DRW_DrawBMP_FTT(p), 0);
  ASSERT_EQ(LOG_RecentCount(), 1);
  EXPECT_STREQ(LOG_Recent(0), "画像領域2がありません[DRW_DrawBMP_FTT]");
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/plt_glyph.h"

namespace {

constexpr int kCanvas = 160;

struct Box {
  int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
  int lit = 0, full = 0, partial = 0;
  bool greyOnly = true;  // blue == green == red and the fourth byte 0
};

Box Measure(const std::vector<uint32_t>& canvas, int w, int h) {
  Box b;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = canvas[static_cast<size_t>(y) * w + x];
      uint32_t v = p & 0xFF;
      if (((p >> 8) & 0xFF) != v || ((p >> 16) & 0xFF) != v || (p >> 24) != 0) b.greyOnly = false;
      if (!v) continue;
      ++b.lit;
      if (v == 255)
        ++b.full;
      else
        ++b.partial;
      b.minX = std::min(b.minX, x);
      b.minY = std::min(b.minY, y);
      b.maxX = std::max(b.maxX, x);
      b.maxY = std::max(b.maxY, y);
    }
  }
  return b;
}

uint32_t SjisCode(const char* utf8) {
  char sjis[8];
  PLT_Utf8ToSjis(utf8, sjis, sizeof sjis);
  size_t n = std::strlen(sjis);
  if (n == 1) return static_cast<unsigned char>(sjis[0]);
  if (n == 2)
    return static_cast<unsigned char>(sjis[0]) | (static_cast<unsigned char>(sjis[1]) << 8);
  return 0;
}

class GlyphTest : public ::testing::Test {
 protected:
  void TearDown() override { PLT_GlyphShutdown(); }
  std::vector<uint32_t> canvas_ = std::vector<uint32_t>(kCanvas * kCanvas, 0xDEADBEEF);
};

TEST_F(GlyphTest, KanjiFillsItsEmBoxWithAntiAliasedGrey) {
  uint32_t code = SjisCode("環");
  ASSERT_EQ(code, 0xC28Au);  // lead byte 0x8A in the low byte
  ASSERT_EQ(PLT_GlyphRenderSjis(code, 96, canvas_.data(), kCanvas, kCanvas), 1);
  Box b = Measure(canvas_, kCanvas, kCanvas);
  EXPECT_TRUE(b.greyOnly);
  EXPECT_GT(b.full, 500);
  EXPECT_GT(b.partial, 50);
  EXPECT_GE(b.minX, 0);
  EXPECT_LT(b.maxX, 96);
  EXPECT_LT(b.maxY, 96);
  // A kanji spans most of its em box in both directions.
  EXPECT_GT(b.maxX - b.minX, 70);
  EXPECT_GT(b.maxY - b.minY, 70);
}

TEST_F(GlyphTest, AsciiIsHalfWidthAndSitsOnTheBaseline) {
  ASSERT_EQ(PLT_GlyphRenderSjis('A', 96, canvas_.data(), kCanvas, kCanvas), 1);
  Box a = Measure(canvas_, kCanvas, kCanvas);
  ASSERT_GT(a.lit, 0);
  EXPECT_LT(a.maxX, 48);
  ASSERT_EQ(PLT_GlyphRenderSjis('g', 96, canvas_.data(), kCanvas, kCanvas), 1);
  Box g = Measure(canvas_, kCanvas, kCanvas);
  // The descender reaches below the capital's baseline but stays in the cell.
  EXPECT_GT(g.maxY, a.maxY + 5);
  EXPECT_LT(g.maxY, 96);
  // The baseline is in the lower part of the cell, as at the font's ascender.
  EXPECT_GT(a.maxY, 96 * 3 / 4);

  EXPECT_EQ(PLT_GlyphRenderCodepoint('A', 96, nullptr, 0, 0, 0, 0), 48);
  EXPECT_EQ(PLT_GlyphRenderCodepoint(0x74B0 /* 環 */, 96, nullptr, 0, 0, 0, 0), 96);
}

TEST_F(GlyphTest, HalfWidthKatakanaIsHalfWidth) {
  ASSERT_EQ(PLT_GlyphRenderSjis(0xB1 /* ｱ */, 40, canvas_.data(), kCanvas, kCanvas), 1);
  Box b = Measure(canvas_, kCanvas, kCanvas);
  ASSERT_GT(b.lit, 0);
  EXPECT_LT(b.maxX, 20);
}

TEST_F(GlyphTest, CanvasIsClearedForBlankAndUnknownCodes) {
  for (uint32_t code : {0x20u, 0x0000u, 0xFFFFu, 0x12345u}) {
    std::fill(canvas_.begin(), canvas_.end(), 0xDEADBEEF);
    EXPECT_EQ(PLT_GlyphRenderSjis(code, 40, canvas_.data(), kCanvas, kCanvas), 1) << code;
    EXPECT_EQ(Measure(canvas_, kCanvas, kCanvas).lit, 0) << code;
    EXPECT_EQ(canvas_[0], 0u);
  }
}

TEST_F(GlyphTest, CodepointDrawsAtItsPositionAndClipsAtTheCanvasEdge) {
  std::fill(canvas_.begin(), canvas_.end(), 0u);
  EXPECT_EQ(
      PLT_GlyphRenderCodepoint(0x8A2D /* 設 */, 40, canvas_.data(), kCanvas, kCanvas, 100, 50), 40);
  Box b = Measure(canvas_, kCanvas, kCanvas);
  ASSERT_GT(b.lit, 0);
  EXPECT_GE(b.minX, 100);
  EXPECT_GE(b.minY, 50);
  EXPECT_LT(b.maxX, 140);
  EXPECT_LT(b.maxY, 90);

  // Partly and wholly outside: drawn as far as it fits, nothing written beyond.
  std::vector<uint32_t> small(20 * 10 + 8, 0);
  EXPECT_EQ(PLT_GlyphRenderCodepoint(0x8A2D, 40, small.data(), 20, 10, -15, -20), 40);
  EXPECT_EQ(PLT_GlyphRenderCodepoint(0x8A2D, 40, small.data(), 20, 10, 500, 500), 40);
  for (size_t i = 200; i < small.size(); ++i) EXPECT_EQ(small[i], 0u);

  // Without clearing: a second glyph over the first only brightens pixels.
  std::vector<uint32_t> before = canvas_;
  PLT_GlyphRenderCodepoint('V', 40, canvas_.data(), kCanvas, kCanvas, 105, 50);
  int brighter = 0;
  for (size_t i = 0; i < canvas_.size(); ++i) {
    ASSERT_GE(canvas_[i] & 0xFF, before[i] & 0xFF);
    brighter += (canvas_[i] & 0xFF) > (before[i] & 0xFF);
  }
  EXPECT_GT(brighter, 0);

  // Absurd sizes are refused, not rasterized.
  EXPECT_EQ(PLT_GlyphRenderCodepoint('A', 100000, canvas_.data(), kCanvas, kCanvas, 0, 0), 0);
  EXPECT_EQ(PLT_GlyphRenderCodepoint('A', 0, canvas_.data(), kCanvas, kCanvas, 0, 0), 0);
}

TEST_F(GlyphTest, RendersAgainAfterShutdown) {
  ASSERT_EQ(PLT_GlyphRenderSjis('Z', 24, canvas_.data(), kCanvas, kCanvas), 1);
  int lit = Measure(canvas_, kCanvas, kCanvas).lit;
  PLT_GlyphShutdown();
  ASSERT_EQ(PLT_GlyphRenderSjis('Z', 24, canvas_.data(), kCanvas, kCanvas), 1);
  EXPECT_EQ(Measure(canvas_, kCanvas, kCanvas).lit, lit);
}

TEST_F(GlyphTest, RepeatedRendersMatchAfterManyOthers) {
  ASSERT_EQ(PLT_GlyphRenderSjis(SjisCode("境"), 64, canvas_.data(), kCanvas, kCanvas), 1);
  std::vector<uint32_t> first = canvas_;
  // Enough different characters and sizes to reuse every slot of a glyph cache.
  for (uint32_t cp = 0x4E00; cp < 0x4E00 + 600; ++cp) {
    PLT_GlyphRenderCodepoint(cp, 40 + static_cast<int>(cp % 3) * 24, canvas_.data(), kCanvas,
                             kCanvas, 0, 0);
  }
  ASSERT_EQ(PLT_GlyphRenderSjis(SjisCode("境"), 64, canvas_.data(), kCanvas, kCanvas), 1);
  EXPECT_EQ(canvas_, first);
  ASSERT_EQ(PLT_GlyphRenderSjis(SjisCode("境"), 65, canvas_.data(), kCanvas, kCanvas), 1);
  EXPECT_NE(canvas_, first);
}

TEST(SjisConversion, RoundTripsJapaneseText) {
  char sjis[32];
  char utf8[64];
  const char* text = "環境設定";
  ASSERT_STREQ(PLT_Utf8ToSjis(text, sjis, sizeof sjis), "\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8");
  EXPECT_STREQ(PLT_SjisToUtf8(sjis, utf8, sizeof utf8), text);
  // Half-width katakana and ASCII survive too.
  EXPECT_STREQ(PLT_SjisToUtf8("A\xB1", utf8, sizeof utf8), "Aｱ");
  EXPECT_STREQ(PLT_Utf8ToSjis("", sjis, sizeof sjis), "");
}

TEST(SjisConversion, FailsWholeOnBadInputOrShortBuffer) {
  char out[64];
  std::memset(out, 'x', sizeof out);
  // "環境設定" needs 12 bytes of UTF-8 plus the terminator.
  EXPECT_STREQ(PLT_SjisToUtf8("\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8", out, 12), "");
  EXPECT_STREQ(PLT_SjisToUtf8("\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8", out, 13), "環境設定");
  EXPECT_STREQ(PLT_SjisToUtf8("\x8A", out, sizeof out), "");      // cut-off lead byte
  EXPECT_STREQ(PLT_Utf8ToSjis("\xE7\x92", out, sizeof out), "");  // cut-off UTF-8
  EXPECT_STREQ(PLT_Utf8ToSjis("😀", out, sizeof out), "");         // not in the code page
  EXPECT_STREQ(PLT_Utf8ToSjis(nullptr, out, sizeof out), "");
  EXPECT_STREQ(PLT_Utf8ToSjis("abc", nullptr, 0), "");
}

}  // namespace

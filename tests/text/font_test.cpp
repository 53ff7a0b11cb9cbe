// Glyph drawing: the 4 x 4 reduction, both blend rules, the shadow, the depth
// and size checks, string advances and the coverage cache.
#include <random>

#include "blit/tables.h"
#include "text_test_util.h"

using namespace texttest;

namespace {

class FontTest : public TextTest {};

TEST_F(FontTest, CoverageSumsSixteenBlueSamplesOfTheFourTimesCanvas) {
  const uint32_t code = Code("境");
  std::vector<uint32_t> canvas(FNT_CANVAS_SIZE * FNT_CANVAS_SIZE);
  ASSERT_EQ(PLT_GlyphRenderSjis(code, 96, canvas.data(), FNT_CANVAS_SIZE, FNT_CANVAS_SIZE), 1);
  const uint16_t* sums = nullptr;
  ASSERT_EQ(FNT_Coverage(code, 24, &sums), 24);
  int full = 0, covered = 0;
  for (int j = 0; j < 24; ++j) {
    for (int i = 0; i < 24; ++i) {
      unsigned s = 0;
      for (int by = 0; by < 4; ++by) {
        for (int bx = 0; bx < 4; ++bx)
          s += canvas[(4 * j + by) * FNT_CANVAS_SIZE + 4 * i + bx] & 0xFF;
      }
      ASSERT_EQ(sums[j * 24 + i], s) << i << "," << j;
      full += s == 4080;
      covered += s > 0;
    }
  }
  EXPECT_GT(full, 20);
  EXPECT_GT(covered, 100);
  // A single byte covers half the width.
  EXPECT_EQ(FNT_Coverage('A', 24, &sums), 12);
  EXPECT_EQ(FNT_Coverage('A', 41, &sums), -1);
}

TEST_F(FontTest, BlendsFollowTheWhiteAndColourFormulas) {
  const uint32_t code = Code("字");
  const uint16_t* cov = nullptr;
  ASSERT_EQ(FNT_Coverage(code, 20, &cov), 20);
  const std::vector<uint16_t> sums(cov, cov + 400);
  for (int opacity : {256, 200, 37}) {
    for (int colour : {0xFFFFFF, 0x3080C0, 0x000000}) {
      Frame f(40, 40, 0);
      for (size_t k = 0; k < f.bytes.size(); ++k) f.bytes[k] = static_cast<uint8_t>(k * 7);
      const Frame before = f;
      const int r = colour >> 16, g = colour >> 8 & 0xFF, b = colour & 0xFF;
      ASSERT_EQ(FNT_DrawChar(&f.img, 24, 5, 6, code, 20, nullptr, r, g, b, opacity, 0), 1);
      const int v[3] = {b, g, r};
      for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
          const bool inside = x >= 5 && x < 25 && y >= 6 && y < 26;
          const int s = inside ? sums[(y - 6) * 20 + (x - 5)] : -1;
          for (int ch = 0; ch < 3; ++ch) {
            const int c = before.bytes[3 * (y * 40 + x) + ch];
            int want = c;
            if (s >= 0 && colour == 0xFFFFFF) {
              const int k = (s / 32) * opacity / 256;
              want = c + (255 - c) * k / 128;
            } else if (s >= 0) {
              const int k = opacity * s / 4096;
              want = std::min(255, (255 - k) * c / 256) + std::min(255, k * v[ch] / 256);
            }
            ASSERT_EQ(f.bytes[3 * (y * 40 + x) + ch], want)
                << "colour " << colour << " opacity " << opacity << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST_F(FontTest, WhiteOnBlackStaysAtMost253AndShadowDarkensItsCell) {
  Frame f(60, 60, 0);
  ASSERT_EQ(FNT_DrawChar(&f.img, 24, 0, 0, Code("■"), 24, nullptr, 255, 255, 255, 256, 0), 1);
  int top = 0;
  for (uint8_t b : f.bytes) top = std::max<int>(top, b);
  EXPECT_EQ(top, 253);
  // Black text and its black shadow: the colour rule scales every pixel of
  // each cell by 255 / 256, so the overlap of both cells loses two levels.
  Frame g(60, 60, 200);
  ASSERT_EQ(FNT_DrawChar(&g.img, 24, 10, 10, 'A', 24, nullptr, 0, 0, 0, 256, 2), 1);
  EXPECT_EQ(*g.At(11, 11), 199);  // text cell only, no coverage at the corner
  EXPECT_EQ(*g.At(21, 33), 198);  // both cells, near the bottom edge, uncovered
  EXPECT_EQ(*g.At(5, 5), 200);
}

TEST_F(FontTest, DepthSizeAndOpacityChecks) {
  Frame f(80, 80, 90);
  EXPECT_EQ(FNT_DrawChar(&f.img, 12, 0, 0, 'A', 24, nullptr, 255, 255, 255, 256, 0), 0);
  ASSERT_GE(LOG_RecentCount(), 1);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "フォント描画先指定が異常です");
  for (int depth : {8, 16, 32}) {
    EXPECT_EQ(FNT_DrawChar(&f.img, depth, 0, 0, 'A', 24, nullptr, 255, 0, 0, 256, 2), 1);
  }
  EXPECT_EQ(FNT_DrawChar(&f.img, 24, 0, 0, Code("大"), 41, nullptr, 255, 0, 0, 256, 0), 0);
  EXPECT_EQ(FNT_DrawChar(&f.img, 24, 0, 0, 'A', 24, nullptr, 255, 0, 0, 0, 0), 1);
  EXPECT_TRUE(f.Blank(90));
  // The largest size fills the canvas; nothing is written outside the image
  // even with the character half off each edge.
  for (int x : {-30, 60}) {
    EXPECT_EQ(FNT_DrawChar(&f.img, 24, x, x, Code("大"), 40, nullptr, 10, 200, 30, 256, 3), 1);
  }
  EXPECT_FALSE(f.Blank(90));
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(FontTest, StringAdvancesBySizeHalfSizeAndLines) {
  const std::string s = "A" + Sj("字") + " \tB\nC";
  Frame whole(200, 100, 50), parts(200, 100, 50);
  FNT_DrawString(&whole.img, 24, 4, 4, 3, 5, s.c_str(), 24, nullptr, 255, 255, 255, 256, 0);
  FNT_DrawChar(&parts.img, 24, 4, 4, 'A', 24, nullptr, 255, 255, 255, 256, 0);
  FNT_DrawChar(&parts.img, 24, 4 + 15, 4, Code("字"), 24, nullptr, 255, 255, 255, 256, 0);
  FNT_DrawChar(&parts.img, 24, 4 + 15 + 27, 4, 'B', 24, nullptr, 255, 255, 255, 256, 0);
  FNT_DrawChar(&parts.img, 24, 4, 4 + 29, 'C', 24, nullptr, 255, 255, 255, 256, 0);
  EXPECT_EQ(whole.bytes, parts.bytes);
  // A lead byte at the very end is dropped, not read past.
  const std::string cut = "A\x88";
  FNT_DrawString(&whole.img, 24, 4, 60, 0, 0, cut.c_str(), 24, nullptr, 255, 255, 255, 256, 0);
}

TEST_F(FontTest, CachedDrawsEqualFreshOnesAcrossEvictions) {
  // More distinct characters than the cache holds, drawn twice in a random
  // order at several sizes and colours, with and without the cache.
  std::vector<uint32_t> codes;
  for (uint32_t lead = 0x88; lead <= 0x89; ++lead) {
    for (uint32_t trail = 0x9F; trail <= 0xFC; ++trail) codes.push_back(lead | trail << 8);
  }
  for (uint32_t c = 0x21; c < 0x7F; ++c) codes.push_back(c);
  std::mt19937 rng(11);
  std::vector<std::pair<uint32_t, int>> draws;
  for (int k = 0; k < 1200; ++k) {
    draws.push_back({codes[rng() % codes.size()], 8 + static_cast<int>(rng() % 33)});
  }
  auto run = [&](bool cached) {
    FNT_ClearCache();
    FNT_SetCacheEnabled(cached);
    Frame f(640, 480, 0);
    for (size_t k = 0; k < f.bytes.size(); ++k) f.bytes[k] = static_cast<uint8_t>(k % 251);
    for (size_t k = 0; k < draws.size(); ++k) {
      const int x = static_cast<int>(k * 37 % 600), y = static_cast<int>(k * 53 % 440);
      const bool white = k % 3 == 0;
      FNT_DrawChar(&f.img, 24, x, y, draws[k].first, draws[k].second, nullptr, white ? 255 : 40,
                   white ? 255 : 160, 220, 64 + static_cast<int>(k % 193), static_cast<int>(k % 3));
    }
    return f.bytes;
  };
  const auto fresh = run(false);
  const auto cached = run(true);
  const FntCacheStats st = FNT_CacheStats();
  EXPECT_GT(st.evictions, 0u);
  EXPECT_GT(st.hits, 0u);
  EXPECT_LE(st.entries, st.capacity);
  EXPECT_TRUE(fresh == cached);
}

TEST_F(FontTest, RedrawnCharactersComeFromTheCache) {
  Frame f(200, 60, 0);
  const std::string s = Sj("同じ文字、同じ文字");
  FNT_DrawString(&f.img, 24, 0, 0, 0, 0, s.c_str(), 24, nullptr, 255, 255, 255, 256, 2);
  const FntCacheStats first = FNT_CacheStats();
  EXPECT_EQ(first.misses, 5u);  // 同 じ 文 字 、
  FNT_DrawString(&f.img, 24, 0, 30, 0, 0, s.c_str(), 24, nullptr, 255, 255, 255, 256, 2);
  EXPECT_EQ(FNT_CacheStats().misses, 5u);
  EXPECT_EQ(FNT_CacheStats().hits, 13u);
}

}  // namespace

// The present path's row conversion: every length, from any start, against
// the per-pixel formula, reading only the row's bytes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/plt_display.h"

namespace {

TEST(RowConversion, EveryLengthAndOffsetGivesOpaquePixelsOfTheSameColour) {
  std::mt19937 rng(3);
  for (int n = 0; n <= 70; ++n) {
    for (int offset = 0; offset < 3; ++offset) {
      // The row ends where the allocation ends, so the address sanitizer
      // sees any read past it.
      std::vector<uint8_t> src(offset + 3 * static_cast<size_t>(n));
      for (auto& b : src) b = static_cast<uint8_t>(rng());
      std::vector<uint32_t> dst(n + 1, 0x12345678u);
      PLT_Rgb24ToXrgb32(dst.data(), src.data() + offset, n);
      for (int x = 0; x < n; ++x) {
        const uint8_t* p = src.data() + offset + 3 * x;
        const uint32_t want = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        ASSERT_EQ(dst[x], want) << "n " << n << " x " << x;
      }
      EXPECT_EQ(dst[n], 0x12345678u) << n;
    }
  }
}

}  // namespace

// Helpers for the pixel loop tests: images that own their memory (sized
// exactly, so the address sanitizer sees any stray access), the start-up
// tables and the debug log.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "blit/blit.h"
#include "blit/clip.h"
#include "blit/simd.h"
#include "common/log.h"
#include "common/rng.h"
#include "gfx/image.h"

namespace blittest {

inline void InitOnce() {
  static bool done = false;
  if (!done) {
    RNG_Seed(12345);
    BLT_InitTables(640, 480);
    done = true;
  }
  g_defaultClip = {0, 0, 640, 480};
}

struct FImg {
  std::unique_ptr<uint8_t[]> mem;
  FImage img{};
  FImg(int w, int h, uint8_t fill = 0) {
    mem.reset(new uint8_t[static_cast<size_t>(w) * h * 3 + (w * h == 0 ? 1 : 0)]);
    std::fill(mem.get(), mem.get() + static_cast<size_t>(w) * h * 3, fill);
    img = {mem.get(), w, h};
  }
  uint8_t* at(int x, int y) { return img.pixels + (static_cast<size_t>(y) * img.width + x) * 3; }
  void set(int x, int y, int b, int g, int r) {
    uint8_t* p = at(x, y);
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
  }
  // Packed 0xRRGGBB of a pixel.
  uint32_t rgb(int x, int y) {
    const uint8_t* p = at(x, y);
    return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
  }
  std::vector<uint8_t> bytes() const {
    return std::vector<uint8_t>(img.pixels,
                                img.pixels + static_cast<size_t>(img.width) * img.height * 3);
  }
};

struct BImg {
  std::unique_ptr<uint8_t[]> px, alpha, pal;
  BImage img{};
  BImg(int w, int h, bool withAlpha) {
    const size_t n = static_cast<size_t>(w) * h;
    px.reset(new uint8_t[n + 1]());
    pal.reset(new uint8_t[1024]());
    if (withAlpha) alpha.reset(new uint8_t[n + 1]());
    std::fill(alpha.get(), alpha.get() + (withAlpha ? n : 0), 255);
    img = {px.get(), alpha.get(), pal.get(), w, h};
  }
  void setPal(int i, int b, int g, int r) {
    pal[i * 4] = static_cast<uint8_t>(b);
    pal[i * 4 + 1] = static_cast<uint8_t>(g);
    pal[i * 4 + 2] = static_cast<uint8_t>(r);
  }
  uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * img.width + x]; }
  uint8_t& a(int x, int y) { return alpha[static_cast<size_t>(y) * img.width + x]; }
};

// A block for a 1:1 blit of the whole source at (x, y).
inline BlitParams Params(FImage* dst, void* src, int srcFormat, int x, int y, int w, int h) {
  BlitParams p{};
  p.dstFormat = FMT_F;
  p.dst = dst;
  p.dx = x;
  p.dy = y;
  p.w = w;
  p.h = h;
  p.srcFormat = srcFormat;
  p.src = src;
  p.sw = w;
  p.sh = h;
  p.colR = p.colG = p.colB = 128;
  p.colorKey = BLT_KEY_NONE;
  return p;
}

inline std::vector<std::string> Logged() {
  std::vector<std::string> out;
  for (int i = 0; i < LOG_RecentCount(); i++) out.emplace_back(LOG_Recent(i));
  return out;
}

inline int Mul(int a, int x) {
  return MulTable[a * 257 + x];
}

class BlitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitOnce();
    LOG_Reset();
    saved_ = BLT_GetVectorLevel();
  }
  void TearDown() override { BLT_SetVectorLevel(saved_); }
  int saved_ = 0;
};

}  // namespace blittest

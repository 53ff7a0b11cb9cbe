// Helpers for the glyph and layout tests: Shift-JIS literals and frames.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/log.h"
#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "platform/plt_glyph.h"
#include "text/font.h"
#include "text/text.h"

namespace texttest {

// Shift-JIS bytes of a UTF-8 literal.
inline std::string Sj(const char* utf8) {
  char buf[4096];
  PLT_Utf8ToSjis(utf8, buf, sizeof buf);
  return buf;
}

// Joins pieces by appending: GCC 12 at -O3 reports a false overlap in
// operator+ on temporaries.
template <typename... T>
std::string Cat(const T&... parts) {
  std::string s;
  (s.append(parts), ...);
  return s;
}

// A two-byte character's code as the glyph drawer takes it.
inline uint32_t Code(const char* utf8) {
  const std::string s = Sj(utf8);
  return static_cast<uint8_t>(s[0]) | static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8;
}

// An owned 24-bit image filled with one grey level.
struct Frame {
  std::vector<uint8_t> bytes;
  FImage img{};
  Frame(int w, int h, uint8_t fill) : bytes(static_cast<size_t>(w) * h * 3, fill) {
    img.pixels = bytes.data();
    img.width = w;
    img.height = h;
  }
  uint8_t* At(int x, int y) { return bytes.data() + 3 * (static_cast<size_t>(y) * img.width + x); }
  bool Blank(uint8_t fill) const {
    for (uint8_t b : bytes) {
      if (b != fill) return false;
    }
    return true;
  }
};

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    LOG_Reset();
    IMG_InitTables(SCREEN_W, SCREEN_H);
    FNT_Reset();
    TXT_Reset();
    FNT_CreateCanvas();
  }
  void TearDown() override { FNT_Reset(); }

  // Measures text in the default window shape (25 x 4 at size 24, spacing 8).
  static int Measure(const std::string& text, int32_t* ex = nullptr, int32_t* ey = nullptr,
                     int width = 25, int reveal = -1, int page = -1) {
    return TXT_Draw({.x = 0,
                     .y = 0,
                     .width = width,
                     .lines = 4,
                     .lineSpacing = 8,
                     .size = 24,
                     .text = text.c_str(),
                     .reveal = reveal,
                     .page = page,
                     .measure = 1,
                     .endX = ex,
                     .endY = ey});
  }
  static void Draw(Frame& f, const std::string& text, int reveal = -1, int page = -1,
                   int alpha = -1, int shadow = 0, int width = 25, int x = 16, int y = 16) {
    TXT_Draw({.target = &f.img,
              .x = x,
              .y = y,
              .width = width,
              .lines = 4,
              .lineSpacing = 8,
              .size = 24,
              .text = text.c_str(),
              .reveal = reveal,
              .page = page,
              .alpha = alpha,
              .shadow = shadow});
  }
  static size_t Boxes() { return HL_MessageBoxes().size(); }
};

}  // namespace texttest

// What both backends report about the desktop's colours.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/plt_display.h"

int PLT_DesktopDepthOverride(int realDepth) {
  // Lets a desktop of today pretend to be a 256-colour or high-colour one,
  // so that those paths can be run and looked at.
  const char* env = std::getenv("ZENTROVA_DESKTOP_DEPTH");
  if (env) {
    int d = std::atoi(env);
    if (d == 8 || d == 16 || d == 24 || d == 32) return d;
  }
  return realDepth;
}

void PLT_GetSystemPalette(uint8_t* entries) {
  // The twenty static colours (red, green, blue) of a 256-colour desktop;
  // the entries between them belong to whichever program realised a palette
  // last, here a grey ramp.
  static const uint8_t kLow[10][3] = {
      {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
  };
  static const uint8_t kHigh[10][3] = {
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
  };
  std::memset(entries, 0, 1024);
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = nullptr;
    uint8_t grey[3];
    if (i < 10) {
      c = kLow[i];
    } else if (i >= 246) {
      c = kHigh[i - 246];
    } else {
      grey[0] = grey[1] = grey[2] = static_cast<uint8_t>(i);
      c = grey;
    }
    entries[i * 4 + 0] = c[2];
    entries[i * 4 + 1] = c[1];
    entries[i * 4 + 2] = c[0];
  }
}

void PLT_Rgb24ToXrgb32(uint32_t* dst, const uint8_t* src, int n) {
#ifdef ZV_X86
  int x = n > 0 ? PLT_Rgb24ToXrgb32Vector(dst, src, n) : 0;
#else
  int x = 0;
#endif
  for (; x < n; ++x) {
    const uint8_t* p = src + 3 * x;
    dst[x] = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) |
             (static_cast<uint32_t>(p[1]) << 8) | p[0];
  }
}

bool PLT_Rgb24PartToXrgb32(uint32_t* dst, ptrdiff_t dstStride, const uint8_t* src, int width,
                           int height, PltRect* part) {
  PltRect& p = *part;
  p.left = std::max(p.left, 0);
  p.top = std::max(p.top, 0);
  p.right = std::min(p.right, width);
  p.bottom = std::min(p.bottom, height);
  if (p.left >= p.right || p.top >= p.bottom) return false;
  for (int y = p.top; y < p.bottom; ++y) {
    PLT_Rgb24ToXrgb32(dst + y * dstStride + p.left,
                      src + (static_cast<size_t>(y) * width + p.left) * 3, p.right - p.left);
  }
  return true;
}

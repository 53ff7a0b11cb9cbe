// The SDL backend's present, whole and of a changed part, read back from the
// window's surface under SDL's dummy video driver and compared byte for byte
// with a plain reference: every output pixel computed on its own from the
// picture it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/menubar.h"
#include "platform/plt_display.h"
#include "platform/plt_window.h"
#include "platform/sdl/window_state.h"
#include "resources/resources.h"

namespace {

constexpr int kW = 640, kH = 480;

int64_t Proc(const PltMsg&) {
  return 0;
}

std::vector<uint8_t> Frame(uint32_t seed) {
  std::vector<uint8_t> v(static_cast<size_t>(kW) * kH * 3);
  for (auto& b : v) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return v;
}

// The logical picture as the window shows it before scaling: the bar (and any
// open drop-down) drawn over the frame placed below the bar's rows.
std::vector<uint32_t> Logical(const std::vector<uint8_t>& f, int top, int lw, int lh, bool bar) {
  std::vector<uint32_t> v(static_cast<size_t>(lw) * lh, 0);
  for (int y = 0; y < kH && y + top < lh; ++y) {
    for (int x = 0; x < kW && x < lw; ++x) {
      const uint8_t* p = &f[(static_cast<size_t>(y) * kW + x) * 3];
      v[static_cast<size_t>(y + top) * lw + x] =
          0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    }
  }
  if (bar) MBAR_Draw(v.data(), lw, lh);
  return v;
}

uint32_t Mix(uint32_t a, uint32_t b, uint32_t t) {
  uint32_t out = 0;
  for (int sh = 0; sh < 24; sh += 8) {
    uint32_t ca = (a >> sh) & 0xFF, cb = (b >> sh) & 0xFF;
    out |= (((ca << 8) - ca * t + cb * t) >> 8 & 0xFF) << sh;
  }
  return out;
}

// The surface's pixel at (x, y) relative to where the picture lands.
uint32_t Expected(const std::vector<uint32_t>& pic, int lw, int lh, int dw, int dh, bool whole,
                  int x, int y) {
  if (whole) {
    int k = dw / lw;
    return pic[static_cast<size_t>(y / k) * lw + x / k];
  }
  auto coord = [](int d, int dst, int src, int* i0, int* i1, uint32_t* t) {
    int64_t step = (static_cast<int64_t>(src) << 16) / dst;
    int64_t f = std::max<int64_t>(0, d * step + step / 2 - 32768);
    *i0 = std::min(static_cast<int>(f >> 16), src - 1);
    *i1 = std::min(*i0 + 1, src - 1);
    *t = static_cast<uint32_t>(f >> 8 & 0xFF);
  };
  int x0, x1, y0, y1;
  uint32_t tx, ty;
  coord(x, dw, lw, &x0, &x1, &tx);
  coord(y, dh, lh, &y0, &y1, &ty);
  auto at = [&](int px, int py) { return pic[static_cast<size_t>(py) * lw + px]; };
  return 0xFF000000u | Mix(Mix(at(x0, y0), at(x1, y0), tx), Mix(at(x0, y1), at(x1, y1), tx), ty);
}

enum class Menu { kClosed, kBar, kOpen };  // kBar: the bar over a full-screen picture

struct Case {
  const char* name;
  int scale;    // window mode; 0 for full screen
  bool smooth;  // full screen
  Menu menu;
};

class PresentTest : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(PLT_CreateWindow("present", kW, kH, &g_menuMain, Proc));
  }
};

TEST_P(PresentTest, SurfaceMatchesReference) {
  const Case& c = GetParam();
  if (c.scale == 0) {
    ASSERT_EQ(PLT_ChangeDisplayMode(kW, kH), PLT_DISP_CHANGE_SUCCESSFUL);
    PLT_SetSmoothScaling(c.smooth ? 1 : 0);
    // The dummy driver's full screen keeps the window's size, where the
    // picture fits once: the smooth case is placed by hand, smaller and off
    // the corner, as no whole multiple of the picture.
    if (c.smooth) {
      g_sdlWin.destX = 21, g_sdlWin.destY = 9;
      g_sdlWin.destW = 601, g_sdlWin.destH = 451;
    }
  } else {
    ASSERT_EQ(PLT_ChangeDisplayMode(-1, -1), PLT_DISP_CHANGE_SUCCESSFUL);
    PLT_SetWindowScale(c.scale);
  }
  if (c.menu != Menu::kClosed && c.scale == 0) PLT_ShowMenuBar(1);
  if (c.menu == Menu::kOpen) MBAR_OpenFirst();
  // Two frames: the second must replace the first everywhere it shows. A
  // third changes two parts of it and says so; the window must show all of it.
  PLT_Present(Frame(1).data(), kW, kH);
  std::vector<uint8_t> f = Frame(2);
  PLT_Present(f.data(), kW, kH);
  const std::vector<uint8_t> other = Frame(3);
  const PltRect parts[] = {{37, 51, 301, 433}, {400, 7, 640, 95}};
  for (const PltRect& p : parts) {
    for (int y = p.top; y < p.bottom; ++y) {
      const size_t at = (static_cast<size_t>(y) * kW + p.left) * 3;
      std::copy(other.begin() + at, other.begin() + at + (p.right - p.left) * 3, f.begin() + at);
    }
  }
  PLT_PresentChanged(f.data(), kW, kH, parts, 2);

  const int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  const int top = c.scale == 0 ? 0 : g_sdlWin.menuH;
  const bool bar = c.scale != 0 || c.menu != Menu::kClosed;
  const std::vector<uint32_t> pic = Logical(f, top, lw, lh, bar);
  SDL_Surface* s = SDL_GetWindowSurface(g_sdlWin.window);
  ASSERT_NE(s, nullptr);
  const int dw = g_sdlWin.destW, dh = g_sdlWin.destH;
  ASSERT_LE(g_sdlWin.destX + dw, s->w);
  ASSERT_LE(g_sdlWin.destY + dh, s->h);
  const bool whole = dw % lw == 0 && dh % lh == 0 && dw / lw == dh / lh;
  EXPECT_EQ(whole, !c.smooth);
  int wrong = 0;
  for (int y = 0; y < dh; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                        static_cast<ptrdiff_t>(y + g_sdlWin.destY) * s->pitch);
    for (int x = 0; x < dw; ++x) {
      uint32_t want = Expected(pic, lw, lh, dw, dh, whole, x, y);
      if ((row[x + g_sdlWin.destX] & 0xFFFFFF) != (want & 0xFFFFFF) && ++wrong <= 3) {
        ADD_FAILURE() << "at (" << x << ", " << y << "): " << std::hex << row[x + g_sdlWin.destX]
                      << " instead of " << want;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  MBAR_Close();
  if (c.scale == 0) PLT_ShowMenuBar(0);
  PLT_SetWindowScale(1);
}

// Scale 1 is the direct path; 2 and 3 repeat pixels; full screen shows the
// picture at scale 1, or smoothly scaled. With a menu open or the bar over
// the picture, the changed parts are drawn again under it.
INSTANTIATE_TEST_SUITE_P(Paths, PresentTest,
                         ::testing::Values(Case{"Scale1", 1, false, Menu::kClosed},
                                           Case{"Scale2", 2, false, Menu::kClosed},
                                           Case{"Scale3", 3, false, Menu::kClosed},
                                           Case{"Scale2Menu", 2, false, Menu::kOpen},
                                           Case{"Scale1Menu", 1, false, Menu::kOpen},
                                           Case{"FullWhole", 0, false, Menu::kClosed},
                                           Case{"FullWholeBar", 0, false, Menu::kBar},
                                           Case{"FullSmooth", 0, true, Menu::kClosed},
                                           Case{"FullSmoothMenu", 0, true, Menu::kOpen}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Presenting in the SDL backend: the picture, the menu bar and any box
// composed and shown in the window's surface.
//
// The surface is what the X server receives as a shared-memory image: no
// renderer, so no software rasterizer between the frame and the screen. In
// the common case (a window at scale 1, nothing open over the picture) the
// frame is converted straight into the surface, one pass over its pixels.
#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "platform/dialog.h"
#include "platform/menubar.h"
#include "platform/plt_display.h"
#include "platform/plt_window.h"
#include "platform/sdl/window_state.h"

SdlWindowState g_sdlWin;

namespace {

uint32_t Lerp(uint32_t a, uint32_t b, uint32_t t) {  // t 0..256
  uint32_t rb = ((a & 0xFF00FF) * (256 - t) + (b & 0xFF00FF) * t) >> 8;
  uint32_t g = ((a & 0x00FF00) * (256 - t) + (b & 0x00FF00) * t) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Copies the composite into the surface (0xXXRRGGBB rows): straight rows at
// scale 1, repeated pixels at whole multiples, bilinear otherwise. With pic
// set, nothing is drawn over the picture, and its rows (from top on) are read
// from pic instead: the composite's copy of them is left out.
void Scale(SDL_Surface* s, const uint32_t* pic, int top) {
  const int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  const uint32_t* composite = g_sdlWin.composite.data();
  auto logical = [&](int y) {
    return pic && y >= top ? pic + static_cast<size_t>(y - top) * lw
                           : composite + static_cast<size_t>(y) * lw;
  };
  auto row = [s](int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                       static_cast<ptrdiff_t>(y) * s->pitch);
  };
  int dw = std::min(g_sdlWin.destW, s->w - g_sdlWin.destX);
  int dh = std::min(g_sdlWin.destH, s->h - g_sdlWin.destY);
  if (dw <= 0 || dh <= 0) return;
  bool whole =
      g_sdlWin.destW % lw == 0 && g_sdlWin.destH % lh == 0 && g_sdlWin.destW / lw == g_sdlWin.destH / lh;
  if (whole) {
    int k = g_sdlWin.destW / lw;
    for (int y = 0; y < dh; ++y) {
      uint32_t* d = row(g_sdlWin.destY + y) + g_sdlWin.destX;
      if (y % k) {
        std::copy(d - s->pitch / 4, d - s->pitch / 4 + dw, d);
        continue;
      }
      const uint32_t* sr = logical(y / k);
      if (k == 1) {
        std::copy(sr, sr + dw, d);
      } else {
        // Each picture pixel k times over; the common multiples as loops of
        // a fixed shape, which the compiler turns into vector stores.
        const int whole = dw / k;
        int sx = 0;
        if (k == 2) {
          for (; sx < whole; ++sx) d[2 * sx] = d[2 * sx + 1] = sr[sx];
        } else if (k == 3) {
          for (; sx < whole; ++sx) d[3 * sx] = d[3 * sx + 1] = d[3 * sx + 2] = sr[sx];
        }
        for (int x = sx * k; x < dw; ++sx) {
          const uint32_t v = sr[sx];
          for (int i = 0; i < k && x < dw; ++i) d[x++] = v;
        }
      }
    }
    return;
  }
  // Bilinear, in 16.16 fixed point with pixel centres aligned.
  int64_t stepX = (static_cast<int64_t>(lw) << 16) / g_sdlWin.destW;
  int64_t stepY = (static_cast<int64_t>(lh) << 16) / g_sdlWin.destH;
  for (int y = 0; y < dh; ++y) {
    int64_t fy = std::max<int64_t>(0, y * stepY + stepY / 2 - 32768);
    int y0 = std::min(static_cast<int>(fy >> 16), lh - 1);
    int y1 = std::min(y0 + 1, lh - 1);
    uint32_t ty = static_cast<uint32_t>((fy >> 8) & 0xFF);
    const uint32_t* r0 = logical(y0);
    const uint32_t* r1 = logical(y1);
    uint32_t* d = row(g_sdlWin.destY + y) + g_sdlWin.destX;
    for (int x = 0; x < dw; ++x) {
      int64_t fx = std::max<int64_t>(0, x * stepX + stepX / 2 - 32768);
      int x0 = std::min(static_cast<int>(fx >> 16), lw - 1);
      int x1 = std::min(x0 + 1, lw - 1);
      uint32_t tx = static_cast<uint32_t>((fx >> 8) & 0xFF);
      uint32_t top = Lerp(r0[x0], r0[x1], tx);
      uint32_t bottom = Lerp(r1[x0], r1[x1], tx);
      d[x] = 0xFF000000 | Lerp(top, bottom, ty);
    }
  }
}

// The common case, a window at scale 1 with nothing open over the picture:
// the picture goes straight into the surface below the bar, and the bar's
// rows are drawn again only when the menu changed.
bool FastPath(const SDL_Surface* s) {
  return !g_sdlWin.fullScreen && g_sdlWin.scale == 1 && !DLG_IsOpen() && !MBAR_IsOpen() &&
         s->w >= g_sdlWin.winW && s->h >= g_sdlWin.winH;
}

uint32_t* SurfaceRow(SDL_Surface* s, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                     static_cast<ptrdiff_t>(y) * s->pitch);
}

void DrawBarRows(SDL_Surface* s) {
  if (g_sdlWin.barStale) {
    MBAR_Draw(g_sdlWin.composite.data(), g_sdlWin.winW, g_sdlWin.winH);
    g_sdlWin.barStale = false;
  }
  for (int y = 0; y < g_sdlWin.menuH; ++y) {
    const uint32_t* src = g_sdlWin.composite.data() + static_cast<size_t>(y) * g_sdlWin.winW;
    std::copy(src, src + g_sdlWin.winW, SurfaceRow(s, y));
  }
}

bool FastRedraw(SDL_Surface* s) {
  if (!FastPath(s)) return false;
  DrawBarRows(s);
  if (g_sdlWin.frameInSurface) return true;
  for (int y = 0; y < g_sdlWin.clientH; ++y) {
    const uint32_t* src = g_sdlWin.frame.data() + static_cast<size_t>(y) * g_sdlWin.clientW;
    std::copy(src, src + g_sdlWin.clientW, SurfaceRow(s, g_sdlWin.menuH + y));
  }
  return true;
}

}  // namespace

int SDLB_LogicalW() {
  return g_sdlWin.winW;
}
int SDLB_LogicalH() {
  return g_sdlWin.fullScreen ? g_sdlWin.clientH : g_sdlWin.winH;
}

// Places the picture in the window: whole multiples in a window, the largest
// whole multiple with black borders in full screen (or the whole screen with
// the shape kept when smoothing or when no multiple fits).
void SDLB_Place() {
  int ww = 0, wh = 0;
  SDL_GetWindowSize(g_sdlWin.window, &ww, &wh);
  int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  if (!g_sdlWin.fullScreen) {
    g_sdlWin.destX = g_sdlWin.destY = 0;
    g_sdlWin.destW = lw * g_sdlWin.scale;
    g_sdlWin.destH = lh * g_sdlWin.scale;
    return;
  }
  int k = std::min(ww / lw, wh / lh);
  if (k >= 1 && !g_sdlWin.smooth) {
    g_sdlWin.destW = lw * k;
    g_sdlWin.destH = lh * k;
  } else if (static_cast<int64_t>(ww) * lh <= static_cast<int64_t>(wh) * lw) {
    g_sdlWin.destW = ww;
    g_sdlWin.destH = static_cast<int>(static_cast<int64_t>(ww) * lh / lw);
  } else {
    g_sdlWin.destH = wh;
    g_sdlWin.destW = static_cast<int>(static_cast<int64_t>(wh) * lw / lh);
  }
  g_sdlWin.destX = (ww - g_sdlWin.destW) / 2;
  g_sdlWin.destY = (wh - g_sdlWin.destH) / 2;
}

// Brings frame up to the picture in the surface, before the surface is
// drawn over or replaced.
void SDLB_SyncFrame() {
  if (!g_sdlWin.frameInSurface || !g_sdlWin.window) return;
  g_sdlWin.frameInSurface = false;
  SDL_Surface* s = SDL_GetWindowSurface(g_sdlWin.window);
  if (!s || s->w < g_sdlWin.winW || s->h < g_sdlWin.winH) return;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int y = 0; y < g_sdlWin.clientH; ++y) {
    const uint32_t* src = SurfaceRow(s, g_sdlWin.menuH + y);
    std::copy(src, src + g_sdlWin.clientW,
              g_sdlWin.frame.data() + static_cast<size_t>(y) * g_sdlWin.clientW);
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}

// Composes the picture, the menu and any box and shows them. In a window the
// menu bar sits above the picture; in full screen only the picture is shown,
// with the bar over its top rows while the game shows it.
void SDLB_Redraw() {
  if (!g_sdlWin.window || g_sdlWin.minimized) return;
  SDL_Surface* s = SDL_GetWindowSurface(g_sdlWin.window);
  if (!s || SDL_BYTESPERPIXEL(s->format->format) != 4) return;
  if (MBAR_TakeDirty()) g_sdlWin.barStale = true;
  if (!FastPath(s)) SDLB_SyncFrame();
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  if (!FastRedraw(s)) {
    int top = g_sdlWin.fullScreen ? 0 : g_sdlWin.menuH;
    // Only a box, an open menu or the bar shown over the picture in full
    // screen need the picture in the composite; otherwise the scaling reads
    // it from frame, one pass over it fewer.
    const bool over =
        DLG_IsOpen() || MBAR_IsOpen() || (g_sdlWin.fullScreen && g_sdlWin.overlayShown);
    if (over) {
      uint32_t* dst = g_sdlWin.composite.data() + static_cast<size_t>(top) * g_sdlWin.winW;
      std::copy(g_sdlWin.frame.begin(), g_sdlWin.frame.end(), dst);
    }
    if (!g_sdlWin.fullScreen || g_sdlWin.overlayShown || MBAR_IsOpen()) {
      MBAR_Draw(g_sdlWin.composite.data(), SDLB_LogicalW(), SDLB_LogicalH());
    }
    DLG_Draw(g_sdlWin.composite.data(), SDLB_LogicalW(), SDLB_LogicalH());
    if (g_sdlWin.fullScreen) SDL_FillRect(s, nullptr, 0);
    Scale(s, over ? nullptr : g_sdlWin.frame.data(), top);
    // Panels and boxes were drawn over the bar's rows too.
    g_sdlWin.barStale = true;
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurface(g_sdlWin.window);
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!g_sdlWin.window || !pixels || width <= 0 || height <= 0) return;
  int w = std::min(width, g_sdlWin.clientW);
  int h = std::min(height, g_sdlWin.clientH);
  // In the common case the picture is converted straight into the surface,
  // one pass over its pixels; frame catches up only when something is drawn
  // over it.
  SDL_Surface* s = g_sdlWin.minimized ? nullptr : SDL_GetWindowSurface(g_sdlWin.window);
  bool direct = s && SDL_BYTESPERPIXEL(s->format->format) == 4 && FastPath(s) &&
                w == g_sdlWin.clientW && h == g_sdlWin.clientH;
  if (direct && SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = pixels + static_cast<size_t>(y) * width * 3;
    uint32_t* dst = direct ? SurfaceRow(s, g_sdlWin.menuH + y)
                           : g_sdlWin.frame.data() + static_cast<size_t>(y) * g_sdlWin.clientW;
    PLT_Rgb24ToXrgb32(dst, src, w);
  }
  if (!direct) {
    g_sdlWin.frameInSurface = false;
    SDLB_Redraw();
    return;
  }
  g_sdlWin.frameInSurface = true;
  if (MBAR_TakeDirty()) g_sdlWin.barStale = true;
  DrawBarRows(s);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurface(g_sdlWin.window);
}

// Only the changed part converted and sent, in the common case where the
// surface already holds the last picture and takes this one directly; any
// other case presents the whole picture.
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, int left, int top, int right,
                        int bottom) {
  SDL_Surface* s = g_sdlWin.window && !g_sdlWin.minimized && g_sdlWin.frameInSurface
                       ? SDL_GetWindowSurface(g_sdlWin.window)
                       : nullptr;
  if (!s || !pixels || SDL_BYTESPERPIXEL(s->format->format) != 4 || !FastPath(s) ||
      width != g_sdlWin.clientW || height != g_sdlWin.clientH) {
    PLT_Present(pixels, width, height);
    return;
  }
  SDL_Rect rects[2];
  int count = 0;
  if (MBAR_TakeDirty()) g_sdlWin.barStale = true;
  const bool bar = g_sdlWin.barStale;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  if (PLT_Rgb24PartToXrgb32(SurfaceRow(s, g_sdlWin.menuH), s->pitch / 4, pixels, width, height,
                            left, top, right, bottom)) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    rects[count++] = SDL_Rect{left, g_sdlWin.menuH + top, std::min(right, width) - left,
                              std::min(bottom, height) - top};
  }
  if (bar) {
    DrawBarRows(s);
    if (g_sdlWin.menuH > 0) rects[count++] = SDL_Rect{0, 0, g_sdlWin.winW, g_sdlWin.menuH};
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  if (count > 0) SDL_UpdateWindowSurfaceRects(g_sdlWin.window, rects, count);
}

void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height) {
  if (!g_sdlWin.window || !pixels || !palette || width <= 0 || height <= 0) return;
  uint32_t lut[256];
  for (int i = 0; i < 256; ++i) {
    lut[i] = 0xFF000000u | (static_cast<uint32_t>(palette[i * 4 + 2]) << 16) |
             (static_cast<uint32_t>(palette[i * 4 + 1]) << 8) | palette[i * 4];
  }
  int w = std::min(width, g_sdlWin.clientW);
  int h = std::min(height, g_sdlWin.clientH);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = pixels + static_cast<size_t>(y) * width;
    uint32_t* dst = g_sdlWin.frame.data() + static_cast<size_t>(y) * g_sdlWin.clientW;
    for (int x = 0; x < w; ++x) dst[x] = lut[src[x]];
  }
  g_sdlWin.frameInSurface = false;
  SDLB_Redraw();
}

// Presenting in the SDL backend: the picture, the menu bar and any box
// composed and shown in the window's surface; when only part of the picture
// changed, only that part is converted, scaled and sent.
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

uint32_t* SurfaceRow(SDL_Surface* s, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                     static_cast<ptrdiff_t>(y) * s->pitch);
}

// A logical row of the picture: from pic at and below top when given (the
// composite's copy of those rows is then left out), else from the composite.
const uint32_t* LogicalRow(const uint32_t* pic, int top, int y) {
  const size_t lw = static_cast<size_t>(SDLB_LogicalW());
  return pic && y >= top ? pic + static_cast<size_t>(y - top) * lw
                         : g_sdlWin.composite.data() + static_cast<size_t>(y) * lw;
}

// Whether the picture lands in the window at a whole multiple of its size;
// k receives the multiple.
bool WholeMultiple(int* k) {
  const int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  *k = g_sdlWin.destW / lw;
  return g_sdlWin.destW % lw == 0 && g_sdlWin.destH % lh == 0 && *k == g_sdlWin.destH / lh;
}

// The logical columns [x0, x1) of rows [y0, y1) at k times their size, each
// pixel k times over and each row k times, as far as the surface reaches.
void ScaleWhole(SDL_Surface* s, const uint32_t* pic, int top, int k, int x0, int y0, int x1,
                int y1) {
  const int dw = std::min(g_sdlWin.destW, s->w - g_sdlWin.destX);
  const int dh = std::min(g_sdlWin.destH, s->h - g_sdlWin.destY);
  const int c0 = x0 * k, c1 = std::min(x1 * k, dw);
  if (c0 >= c1) return;
  for (int ly = y0; ly < y1 && ly * k < dh; ++ly) {
    uint32_t* first = SurfaceRow(s, g_sdlWin.destY + ly * k) + g_sdlWin.destX;
    const uint32_t* sr = LogicalRow(pic, top, ly);
    if (k == 1) {
      std::copy(sr + x0, sr + x0 + (c1 - c0), first + c0);
      continue;
    }
    // The common multiples as loops of a fixed shape, which the compiler
    // turns into vector stores.
    const int whole = c1 / k;
    int sx = x0;
    if (k == 2) {
      for (; sx < whole; ++sx) first[2 * sx] = first[2 * sx + 1] = sr[sx];
    } else if (k == 3) {
      for (; sx < whole; ++sx) first[3 * sx] = first[3 * sx + 1] = first[3 * sx + 2] = sr[sx];
    }
    for (int x = sx * k; x < c1; ++sx) {
      const uint32_t v = sr[sx];
      for (int i = 0; i < k && x < c1; ++i) first[x++] = v;
    }
    for (int i = 1; i < k && ly * k + i < dh; ++i) {
      std::copy(first + c0, first + c1, SurfaceRow(s, g_sdlWin.destY + ly * k + i) +
                                            g_sdlWin.destX + c0);
    }
  }
}

// Bilinear scaling, in 16.16 fixed point with pixel centres aligned: the
// source position of a screen column or row, and the first screen one from
// which on the positions reach a source one.
struct SmoothAxis {
  int64_t step;
  int64_t Pos(int d) const { return std::max<int64_t>(0, d * step + step / 2 - 32768); }
  int First(int src, int n) const {
    int d = static_cast<int>(std::clamp<int64_t>((int64_t{src} << 16) / step, 0, n));
    while (d > 0 && (Pos(d - 1) >> 16) >= src) --d;
    while (d < n && (Pos(d) >> 16) < src) ++d;
    return d;
  }
};

SmoothAxis AxisX() {
  return {(static_cast<int64_t>(SDLB_LogicalW()) << 16) / g_sdlWin.destW};
}
SmoothAxis AxisY() {
  return {(static_cast<int64_t>(SDLB_LogicalH()) << 16) / g_sdlWin.destH};
}

// The screen columns [dx0, dx1) of rows [dy0, dy1) of the picture scaled
// smoothly (screen positions from the picture's corner).
void ScaleSmooth(SDL_Surface* s, const uint32_t* pic, int top, int dx0, int dy0, int dx1,
                 int dy1) {
  const int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  const SmoothAxis ax = AxisX(), ay = AxisY();
  for (int y = dy0; y < dy1; ++y) {
    int64_t fy = ay.Pos(y);
    int y0 = std::min(static_cast<int>(fy >> 16), lh - 1);
    int y1 = std::min(y0 + 1, lh - 1);
    uint32_t ty = static_cast<uint32_t>((fy >> 8) & 0xFF);
    const uint32_t* r0 = LogicalRow(pic, top, y0);
    const uint32_t* r1 = LogicalRow(pic, top, y1);
    uint32_t* d = SurfaceRow(s, g_sdlWin.destY + y) + g_sdlWin.destX;
    for (int x = dx0; x < dx1; ++x) {
      int64_t fx = ax.Pos(x);
      int x0 = std::min(static_cast<int>(fx >> 16), lw - 1);
      int x1 = std::min(x0 + 1, lw - 1);
      uint32_t tx = static_cast<uint32_t>((fx >> 8) & 0xFF);
      uint32_t top = Lerp(r0[x0], r0[x1], tx);
      uint32_t bottom = Lerp(r1[x0], r1[x1], tx);
      d[x] = 0xFF000000 | Lerp(top, bottom, ty);
    }
  }
}

// Copies the composite into the surface (0xXXRRGGBB rows): straight rows at
// scale 1, repeated pixels at whole multiples, bilinear otherwise. With pic
// set, nothing is drawn over the picture, and its rows (from top on) are read
// from pic instead: the composite's copy of them is left out.
void Scale(SDL_Surface* s, const uint32_t* pic, int top) {
  const int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  int dw = std::min(g_sdlWin.destW, s->w - g_sdlWin.destX);
  int dh = std::min(g_sdlWin.destH, s->h - g_sdlWin.destY);
  if (dw <= 0 || dh <= 0) return;
  int k;
  if (WholeMultiple(&k)) {
    ScaleWhole(s, pic, top, k, 0, 0, lw, lh);
    return;
  }
  ScaleSmooth(s, pic, top, 0, 0, dw, dh);
}

// The common case, a window at scale 1 with nothing open over the picture:
// the picture goes straight into the surface below the bar, and the bar's
// rows are drawn again only when the menu changed.
bool FastPath(const SDL_Surface* s) {
  return !g_sdlWin.fullScreen && g_sdlWin.scale == 1 && !DLG_IsOpen() && !MBAR_IsOpen() &&
         s->w >= g_sdlWin.winW && s->h >= g_sdlWin.winH;
}

// An open menu, or the bar shown over a full-screen picture: drawn over the
// picture in the composite before it is scaled.
bool MenuOver() {
  return MBAR_IsOpen() || (g_sdlWin.fullScreen && g_sdlWin.overlayShown);
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
    const bool over = DLG_IsOpen() || MenuOver();
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
    // A box drawn over the picture stays in the composite: no part may be
    // scaled from it until a redraw without the box.
    g_sdlWin.scaledInSurface = !DLG_IsOpen();
    g_sdlWin.scaledOver = over;
    g_sdlWin.scaledW = s->w;
    g_sdlWin.scaledH = s->h;
  } else {
    g_sdlWin.scaledInSurface = false;
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
  g_sdlWin.scaledInSurface = false;
  if (MBAR_TakeDirty()) g_sdlWin.barStale = true;
  DrawBarRows(s);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurface(g_sdlWin.window);
}

namespace {

// The changed parts scaled alone, while the surface shows the last
// composition scaled. An open menu or the bar over the picture is drawn
// again over the parts' new pixels in the composite; everything of it is
// opaque, so the pixels outside the parts come out as they were. Smoothly
// scaled, a part takes the screen pixels that read any of its pixels, each
// computed as the whole picture's scaling computes it. Returns false when the
// whole picture has to be presented.
bool PresentScaledParts(const uint8_t* pixels, int width, int height, const PltRect* parts,
                        int count) {
  if (!g_sdlWin.window || g_sdlWin.minimized || !g_sdlWin.scaledInSurface || !pixels ||
      width != g_sdlWin.clientW || height != g_sdlWin.clientH) {
    return false;
  }
  SDL_Surface* s = SDL_GetWindowSurface(g_sdlWin.window);
  const bool over = MenuOver();
  if (!s || SDL_BYTESPERPIXEL(s->format->format) != 4 || s->w != g_sdlWin.scaledW ||
      s->h != g_sdlWin.scaledH || FastPath(s) || DLG_IsOpen() || over != g_sdlWin.scaledOver) {
    return false;
  }
  if (MBAR_TakeDirty()) {
    g_sdlWin.barStale = true;
    return false;
  }
  const int first = g_sdlWin.fullScreen ? 0 : g_sdlWin.menuH;  // the picture's logical row 0
  PltRect kept[PLT_PRESENT_PARTS];
  int n = 0;
  for (int i = 0; i < count; ++i) {
    PltRect p = parts[i];
    if (!PLT_Rgb24PartToXrgb32(g_sdlWin.frame.data(), g_sdlWin.clientW, pixels, width, height, &p))
      continue;
    if (over) {
      for (int y = p.top; y < p.bottom; ++y) {
        const uint32_t* src = g_sdlWin.frame.data() + static_cast<size_t>(y) * g_sdlWin.clientW;
        std::copy(src + p.left, src + p.right,
                  g_sdlWin.composite.data() + static_cast<size_t>(first + y) * g_sdlWin.winW +
                      p.left);
      }
    }
    kept[n++] = p;
  }
  if (over) MBAR_Draw(g_sdlWin.composite.data(), SDLB_LogicalW(), SDLB_LogicalH());
  const uint32_t* pic = over ? nullptr : g_sdlWin.frame.data();
  int k;
  const bool whole = WholeMultiple(&k);
  const int dw = std::min(g_sdlWin.destW, s->w - g_sdlWin.destX);
  const int dh = std::min(g_sdlWin.destH, s->h - g_sdlWin.destY);
  SDL_Rect rects[PLT_PRESENT_PARTS];
  int sent = 0;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int i = 0; i < n; ++i) {
    const PltRect& p = kept[i];
    const int top = first + p.top, bottom = first + p.bottom;
    int x0, y0, x1, y1;
    if (whole) {
      ScaleWhole(s, pic, first, k, p.left, top, p.right, bottom);
      x0 = p.left * k, y0 = top * k;
      x1 = std::min(p.right * k, dw), y1 = std::min(bottom * k, dh);
    } else {
      // A screen pixel reads its source pixel and the next one on.
      const SmoothAxis ax = AxisX(), ay = AxisY();
      x0 = ax.First(std::max(p.left - 1, 0), dw);
      x1 = p.right >= SDLB_LogicalW() ? dw : ax.First(p.right, dw);
      y0 = ay.First(std::max(top - 1, 0), dh);
      y1 = bottom >= SDLB_LogicalH() ? dh : ay.First(bottom, dh);
      if (x0 < x1 && y0 < y1) ScaleSmooth(s, pic, first, x0, y0, x1, y1);
    }
    if (x0 < x1 && y0 < y1) {
      rects[sent++] = SDL_Rect{g_sdlWin.destX + x0, g_sdlWin.destY + y0, x1 - x0, y1 - y0};
    }
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  if (sent > 0) SDL_UpdateWindowSurfaceRects(g_sdlWin.window, rects, sent);
  return true;
}

}  // namespace

// Only the changed parts converted and sent: straight into the surface when
// it already holds the last picture and takes this one directly, or scaled
// alone (a menu open over them drawn again); any other case presents the
// whole picture.
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, const PltRect* parts,
                        int count) {
  if (count < 0 || count > PLT_PRESENT_PARTS) {
    PLT_Present(pixels, width, height);
    return;
  }
  if (PresentScaledParts(pixels, width, height, parts, count)) return;
  SDL_Surface* s = g_sdlWin.window && !g_sdlWin.minimized && g_sdlWin.frameInSurface
                       ? SDL_GetWindowSurface(g_sdlWin.window)
                       : nullptr;
  if (!s || !pixels || SDL_BYTESPERPIXEL(s->format->format) != 4 || !FastPath(s) ||
      width != g_sdlWin.clientW || height != g_sdlWin.clientH) {
    PLT_Present(pixels, width, height);
    return;
  }
  SDL_Rect rects[PLT_PRESENT_PARTS + 1];  // and the bar
  int sent = 0;
  if (MBAR_TakeDirty()) g_sdlWin.barStale = true;
  const bool bar = g_sdlWin.barStale;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int i = 0; i < count; ++i) {
    PltRect p = parts[i];
    if (PLT_Rgb24PartToXrgb32(SurfaceRow(s, g_sdlWin.menuH), s->pitch / 4, pixels, width, height,
                              &p)) {
      rects[sent++] = SDL_Rect{p.left, g_sdlWin.menuH + p.top, p.right - p.left, p.bottom - p.top};
    }
  }
  if (bar) {
    DrawBarRows(s);
    if (g_sdlWin.menuH > 0) rects[sent++] = SDL_Rect{0, 0, g_sdlWin.winW, g_sdlWin.menuH};
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  if (sent > 0) SDL_UpdateWindowSurfaceRects(g_sdlWin.window, rects, sent);
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

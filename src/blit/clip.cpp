// Clip routines and edge walkers.
//
// All arithmetic runs in 64 bits: callers may hand in any 32-bit values, and
// x + w must neither overflow nor wrap into a plausible rectangle.
#include "blit/clip.h"

#include <algorithm>

#include "common/log.h"

namespace {

struct Box {
  int64_t left, top, right, bottom;
};

Box EffectiveBox(const ClipBox* clip, int32_t dstW, int32_t dstH) {
  const ClipBox& c = clip ? *clip : g_defaultClip;
  return {std::max<int64_t>(c.left, 0), std::max<int64_t>(c.top, 0),
          std::min<int64_t>(c.right, dstW), std::min<int64_t>(c.bottom, dstH)};
}

void Log(bool quiet, const char* text) {
  if (!quiet) LOG_Write("%s", text);
}

// One axis of ClipRect. Returns 0 when nothing is left.
int ClipAxis(int64_t& x, int64_t& s, int64_t& w, int64_t lo, int64_t hi, int64_t srcSize,
             bool quiet) {
  // A negative or zero width never draws (it would otherwise pass the
  // bounds tests below with a rectangle that runs backwards).
  if (w <= 0) return 0;
  if (x > hi) return 0;
  if (x + w < lo) return 0;
  if (x < lo) {
    w = x + w - lo;
    s += lo - x;
    x = lo;
  }
  if (x + w > hi) w = hi - x;
  if (s > srcSize || s + w < 0) {
    Log(quiet, "画像領域指定エラー\n");
    return 0;
  }
  if (s < 0) {
    w = s + w;
    x -= s;
    s = 0;
    Log(quiet, "画像領域指定エラー\n");
  }
  if (s + w > srcSize) {
    w = srcSize - s;
    Log(quiet, "画像領域指定エラー\n");
  }
  return 1;
}

int ClipRectImpl(ClipJob& j, const Box& b, bool quiet) {
  int64_t x = j.dx, y = j.dy, s = j.sx, t = j.sy, ww = j.w, hh = j.h;
  if (!ClipAxis(x, s, ww, b.left, b.right, j.srcW, quiet)) return 0;
  if (!ClipAxis(y, t, hh, b.top, b.bottom, j.srcH, quiet)) return 0;
  if (ww <= 0 || hh <= 0) return 0;
  const bool bad[] = {x<b.left, x + ww> b.right, y<b.top, y + hh> b.bottom, s<0, s + ww> j.srcW,
                      t<0, t + hh> j.srcH};
  bool outside = false;
  for (bool f : bad) {
    if (f) Log(quiet, "まぢデスか？(ClipRect)\n");
    outside = outside || f;
  }
  // Never hand a rectangle outside the images to a pixel loop.
  if (outside) return 0;
  j.dx = static_cast<int32_t>(x);
  j.dy = static_cast<int32_t>(y);
  j.sx = static_cast<int32_t>(s);
  j.sy = static_cast<int32_t>(t);
  j.w = static_cast<int32_t>(ww);
  j.h = static_cast<int32_t>(hh);
  return 1;
}

int ClipAxisS2(int64_t& x, int64_t& s1, int64_t& w1, int64_t& s2, int64_t& w2, int64_t lo,
               int64_t hi, int64_t size1, int64_t size2, bool quiet) {
  if (w1 <= 0 || w2 <= 0) return 0;
  if (x > hi) return 0;
  if (x + w1 < lo || x + w2 < lo) return 0;
  if (x < lo) {
    w1 = x + w1 - lo;
    w2 += x - lo;
    s1 += lo - x;
    s2 += lo - x;
    x = lo;
  }
  if (x + w1 > hi) w1 = hi - x;
  if (x + w2 > hi) w2 = hi - x;
  if (s1 > size1 || s1 + w1 < 0 || s2 > size2 || s2 + w2 < 0) {
    Log(quiet, "画像領域指定エラー\n");
    return 0;
  }
  // Each source is trimmed to its image; the shared destination origin stays.
  auto trim = [quiet](int64_t& src, int64_t& w, int64_t size) {
    if (src < 0) {
      w += src;
      src = 0;
      Log(quiet, "画像領域指定エラー\n");
    }
    if (src + w > size) {
      w = size - src;
      Log(quiet, "画像領域指定エラー\n");
    }
  };
  trim(s1, w1, size1);
  trim(s2, w2, size2);
  return 1;
}

// One axis of ClipRectZ (steps 2 to 4).
void ZoomAxis(int64_t& s, int64_t& sw, int64_t& d, int64_t& dw, int64_t& rem, int64_t lo,
              int64_t hi, int64_t srcSize) {
  const int64_t d0 = d, dw0 = dw, sw0 = sw;
  rem = 0;
  if (d < lo) {
    int64_t skip = sw * (lo - d);
    rem = skip % dw;
    skip /= dw;
    dw = dw + d - lo;
    sw -= skip;
    s += skip;
    d = lo;
  }
  if (d0 + dw0 > hi) {
    const int64_t over = d0 + dw0 - hi;
    dw -= over;
    sw -= over * sw0 / dw0;
  }
  if (sw <= 0 || dw <= 0) return;
  if (s < 0) {
    d -= s * dw / sw;
    dw = dw * (s + sw) / sw;
    sw = s + sw;
    s = 0;
    if (sw <= 0 || dw <= 0) return;
  }
  if (s + sw > srcSize) {
    dw -= (s + sw - srcSize) * dw / sw;
    sw = srcSize - s;
  }
}

int ClipRectZImpl(ClipJob& j, const Box& b, bool quiet) {
  j.remX = 0;
  j.remY = 0;
  int64_t s = j.sx, t = j.sy, ssw = j.w, ssh = j.h, x = j.dx, y = j.dy, w = j.dw, h = j.dh;
  // Sizes that are not positive cannot be stepped (and would divide by zero).
  if (ssw <= 0 || ssh <= 0 || w <= 0 || h <= 0) return 0;
  if (x > b.right || x + w < b.left) return 0;
  if (y > b.bottom || y + h < b.top) return 0;
  int64_t rx = 0, ry = 0;
  ZoomAxis(s, ssw, x, w, rx, b.left, b.right, j.srcW);
  ZoomAxis(t, ssh, y, h, ry, b.top, b.bottom, j.srcH);
  if (ssw <= 0 || ssh <= 0 || w <= 0 || h <= 0) return 0;
  // The source rectangle must lie in the image; ZoomAxis guarantees it except
  // for degenerate images.
  if (s < 0 || t < 0 || s + ssw > j.srcW || t + ssh > j.srcH) return 0;
  if (x < b.left || x + w > b.right || y < b.top || y + h > b.bottom) {
    Log(quiet, "まぢデスか？(ClipRectZ)\n");
    return 0;
  }
  j.sx = static_cast<int32_t>(s);
  j.sy = static_cast<int32_t>(t);
  j.w = static_cast<int32_t>(ssw);
  j.h = static_cast<int32_t>(ssh);
  j.dx = static_cast<int32_t>(x);
  j.dy = static_cast<int32_t>(y);
  j.dw = static_cast<int32_t>(w);
  j.dh = static_cast<int32_t>(h);
  j.remX = static_cast<int32_t>(rx);
  j.remY = static_cast<int32_t>(ry);
  return 1;
}

int ClipRect2Impl(ClipJob& j, const Box& b, bool quiet) {
  int64_t x = j.dx, y = j.dy, w = j.w, h = j.h;
  if (x > b.right || x + w < b.left) return 0;
  if (y > b.bottom || y + h < b.top) return 0;
  if (x < b.left) {
    w = x + w - b.left;
    x = b.left;
  }
  if (x + w > b.right) w = b.right - x;
  if (y < b.top) {
    h = y + h - b.top;
    y = b.top;
  }
  if (y + h > b.bottom) h = b.bottom - y;
  if (w <= 0 || h <= 0) return 0;
  if (x < b.left || x + w > b.right || y < b.top || y + h > b.bottom) {
    Log(quiet, "まぢデスか？(ClipRect2)\n");
    return 0;
  }
  j.dx = static_cast<int32_t>(x);
  j.dy = static_cast<int32_t>(y);
  j.w = static_cast<int32_t>(w);
  j.h = static_cast<int32_t>(h);
  return 1;
}

int ClipRectS2Impl(ClipJob& j, const Box& b, bool quiet) {
  int64_t x = j.dx, y = j.dy, a = j.sx, bb = j.sy, aw = j.w, ah = j.h;
  int64_t c = j.s2x, d = j.s2y, cw = j.w2, ch = j.h2;
  if (!ClipAxisS2(x, a, aw, c, cw, b.left, b.right, j.srcW, j.src2W, quiet)) return 0;
  if (!ClipAxisS2(y, bb, ah, d, ch, b.top, b.bottom, j.srcH, j.src2H, quiet)) return 0;
  if (aw <= 0 || ah <= 0 || cw <= 0 || ch <= 0) return 0;
  const bool bad[] = {x<b.left, x + aw> b.right,     x + cw > b.right,
                      y<b.top, y + ah> b.bottom,     y + ch > b.bottom,
                      a < 0 || bb<0, a + aw> j.srcW, bb + ah > j.srcH,
                      c < 0 || d<0, c + cw> j.src2W, d + ch > j.src2H};
  bool any = false;
  for (bool f : bad) {
    if (f) {
      Log(quiet, "まぢデスか？(ClipRectS2)\n");
      any = true;
    }
  }
  if (any) return 0;
  j.dx = static_cast<int32_t>(x);
  j.dy = static_cast<int32_t>(y);
  j.sx = static_cast<int32_t>(a);
  j.sy = static_cast<int32_t>(bb);
  j.w = static_cast<int32_t>(aw);
  j.h = static_cast<int32_t>(ah);
  j.s2x = static_cast<int32_t>(c);
  j.s2y = static_cast<int32_t>(d);
  j.w2 = static_cast<int32_t>(cw);
  j.h2 = static_cast<int32_t>(ch);
  return 1;
}

Box JobBox(const ClipJob& j) {
  return j.whole ? Box{0, 0, j.dstW, j.dstH} : EffectiveBox(j.clip, j.dstW, j.dstH);
}
}  // namespace

int CLIP_Rect(ClipJob* j) {
  return ClipRectImpl(*j, JobBox(*j), j->whole);
}

int CLIP_RectS2(ClipJob* j) {
  return ClipRectS2Impl(*j, JobBox(*j), j->whole);
}

int CLIP_RectZ(ClipJob* j) {
  return ClipRectZImpl(*j, JobBox(*j), j->whole);
}

int CLIP_Rect2(ClipJob* j) {
  return ClipRect2Impl(*j, JobBox(*j), j->whole);
}

namespace {

// Rows [first, last] of the edge that the table and the clip both hold.
bool EdgeRows(int64_t ya, int64_t yb, int32_t rowTop, int32_t rowCount, int32_t clipTop,
              int32_t clipBottom, int64_t& first, int64_t& last) {
  first = std::max({ya, static_cast<int64_t>(rowTop), static_cast<int64_t>(clipTop)});
  last = std::min(
      {yb, static_cast<int64_t>(rowTop) + rowCount - 1, static_cast<int64_t>(clipBottom) - 1});
  return first <= last;
}

// Coordinates beyond this are far outside any image; limiting them keeps the
// interpolation products inside 64 bits.
constexpr int32_t kCoordLimit = 1 << 24;
inline int32_t Lim(int32_t v) {
  return std::clamp(v, -kCoordLimit, kCoordLimit);
}

// Nearest point of a line at parameter (n / den), den > 0.
inline int64_t Lerp(int64_t a, int64_t b, int64_t n, int64_t den) {
  return a + FloorDiv(2 * (b - a) * n + den, 2 * den);
}

}  // namespace

void EdgeWalkFlat(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t* rowMin, int32_t* rowMax,
                  int32_t rowTop, int32_t rowCount, int32_t clipTop, int32_t clipBottom) {
  x0 = Lim(x0), y0 = Lim(y0), x1 = Lim(x1), y1 = Lim(y1);
  if (y0 == y1) return;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  int64_t first, last;
  if (!EdgeRows(y0, y1, rowTop, rowCount, clipTop, clipBottom, first, last)) return;
  const int64_t den = static_cast<int64_t>(y1) - y0;
  for (int64_t y = first; y <= last; y++) {
    const int32_t x = static_cast<int32_t>(Lerp(x0, x1, y - y0, den));
    const int64_t r = y - rowTop;
    if (x < rowMin[r]) rowMin[r] = x;
    if (x > rowMax[r]) rowMax[r] = x;
  }
}

namespace {

// Nearest point of a line stepped row by row without a division per row:
// value(n) = a + floor((2 (b - a) n + den) / (2 den)).
struct LineStep {
  int64_t val, acc, q, r, den2;
  void init(int64_t a, int64_t b, int64_t den, int64_t n) {
    den2 = 2 * den;
    const int64_t t = 2 * (b - a) * n + den;
    const int64_t f = FloorDiv(t, den2);
    val = a + f;
    acc = t - f * den2;
    q = FloorDiv(2 * (b - a), den2);
    r = 2 * (b - a) - q * den2;
  }
  // Without a branch: the carries of an edge follow its slope, which the
  // branch predictor cannot learn.
  void next() {
    val += q;
    acc += r;
    const int64_t carry = acc >= den2;
    val += carry;
    acc -= den2 & -carry;
  }
};

}  // namespace

void EdgeWalkTextured(int32_t x0, int32_t y0, int32_t u0, int32_t v0, int32_t x1, int32_t y1,
                      int32_t u1, int32_t v1, EdgeEntry* rowMin, EdgeEntry* rowMax, int32_t rowTop,
                      int32_t rowCount, int32_t clipTop, int32_t clipBottom) {
  x0 = Lim(x0), y0 = Lim(y0), x1 = Lim(x1), y1 = Lim(y1);
  u0 = Lim(u0), v0 = Lim(v0), u1 = Lim(u1), v1 = Lim(v1);
  if (y0 == y1) return;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    std::swap(u0, u1);
    std::swap(v0, v1);
  }
  int64_t first, last;
  if (!EdgeRows(y0, y1, rowTop, rowCount, clipTop, clipBottom, first, last)) return;
  const int64_t den = static_cast<int64_t>(y1) - y0;
  LineStep xs, us, vs;
  xs.init(x0, x1, den, first - y0);
  us.init(u0, u1, den, first - y0);
  vs.init(v0, v1, den, first - y0);
  for (int64_t y = first; y <= last; y++, xs.next(), us.next(), vs.next()) {
    const int32_t x = static_cast<int32_t>(xs.val);
    const int64_t r = y - rowTop;
    if (x < rowMin[r].x)
      rowMin[r] = {x, static_cast<int32_t>(us.val), static_cast<int32_t>(vs.val), 0};
    if (static_cast<int64_t>(x) + 1 > rowMax[r].x) {
      rowMax[r] = {x + 1, static_cast<int32_t>(us.val), static_cast<int32_t>(vs.val), 0};
    }
  }
}

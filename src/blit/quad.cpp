// Quad blits: a source quadrilateral mapped onto a destination quadrilateral
// by affine interpolation along scanlines.
#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <type_traits>

#include "blit/clip.h"
#include "blit/loops.h"
#include "blit/simd.h"
#include "common/log.h"

namespace blt {
namespace {

// Floor-exact stepper: value(k) = base + floor(delta * k / span).
struct Interp {
  int64_t val, acc, q, r, span;
  void init(int64_t base, int64_t delta, int64_t spanLen, int64_t k0) {
    span = spanLen;
    const int64_t t = delta * k0;
    const int64_t f = FloorDiv(t, span);
    val = base + f;
    acc = t - f * span;
    q = FloorDiv(delta, span);
    r = delta - q * span;
  }
  void next() {
    val += q;
    acc += r;
    if (acc >= span) {
      val++;
      acc -= span;
    }
  }
};

// The same samples in 32.32 fixed point: position(k) = base * 2^32 + k * step
// with step = ceil(delta * 2^32 / span), and the sample is its floor. Each
// step errs upward by less than 2^-32, and an exact sample's fraction is a
// multiple of 1 / span, so the floor is exact while k * span < 2^32, which a
// span below 2^16 guarantees. Two divisions per row instead of a stepper's.
struct Fixed {
  int64_t pos, step;
  void init(int64_t base, int64_t delta, int64_t span, int64_t k) {
    step = FloorDiv((delta << 32) + span - 1, span);
    pos = (base << 32) + k * step;
  }
  int64_t at(int64_t j) const { return (pos + j * step) >> 32; }
};
constexpr int64_t kFixedSpanLimit = 1 << 16;

// One destination row: pixel j samples u0 + floor(du * (k0 + j) / span), and
// likewise v.
struct QuadRow {
  uint8_t* d;
  int n;
  int x, y;  // destination position of the first pixel
  int64_t u0, du, v0, dv, span, k0;
};

// The row with the exact stepper; samples outside the image are moved to its
// nearest edge.
template <int kKey, class Fetch, class Op>
void SpanExact(const QuadRow& row, const Source& s, const Fetch& f, const Op& op) {
  Interp u, v;
  u.init(row.u0, row.du, row.span, row.k0);
  v.init(row.v0, row.dv, row.span, row.k0);
  uint8_t* d = row.d;
  const ptrdiff_t w = s.width;
  for (int j = 0; j < row.n; j++, d += 3, u.next(), v.next()) {
    if (!op.on(row.y, row.x + j)) continue;
    const int64_t uc = std::clamp<int64_t>(u.val, 0, s.width - 1);
    const int64_t vc = std::clamp<int64_t>(v.val, 0, s.height - 1);
    Plot<kKey>(d, static_cast<ptrdiff_t>(vc) * w + static_cast<ptrdiff_t>(uc), f, op, s.key);
  }
}

// Pixels of a run whose samples are all inside the picture, in 32.32 fixed
// point relative to element origin. Its own function, so that nothing of the
// row set-up competes with the loop for registers.
template <int kKey, class Fetch, class Op>
void FixedRun(uint8_t* d, int n, int64_t au, int64_t av, int64_t su, int64_t sv, ptrdiff_t origin,
              ptrdiff_t w, int y, int x0, const Fetch f, const Op op, uint32_t key) {
  for (int j = 0; j < n; j++, d += 3, au += su, av += sv) {
    if (!op.on(y, x0 + j)) continue;
    Plot<kKey>(d, origin + static_cast<ptrdiff_t>(av >> 32) * w + static_cast<ptrdiff_t>(au >> 32),
               f, op, key);
  }
}

// Rows of the vector path gathered to be drawn together, after the scalar
// edge pixels of their spans.
struct RowBatch {
  static constexpr int kRows = 64;
  PalQuadRow rows[kRows];
  int count = 0;
  void (*draw)(const PalQuadRow* rows, int count) = nullptr;
  void flush() {
    if (count > 0) draw(rows, count);
    count = 0;
  }
  void add(const PalQuadRow& r) {
    rows[count++] = r;
    if (count == kRows) flush();
  }
};

template <int kKey, class Fetch, class Op>
void Span(const QuadRow& row, const Source& s, const Fetch& f, const Op& op, const VectorPaths& v,
          RowBatch* batch) {
  // The scalar reference steps exactly; every vector level steps in fixed
  // point, which gives the same pixels within kFixedSpanLimit.
  if (v.level == 0 || row.span >= kFixedSpanLimit) {
    SpanExact<kKey>(row, s, f, op);
    return;
  }
  Fixed fu, fv;
  fu.init(row.u0, row.du, row.span, row.k0);
  fv.init(row.v0, row.dv, row.span, row.k0);
  // Local copies: the byte stores below could alias the callers' objects,
  // which would reload every field per pixel.
  const Fetch fl = f;
  const Op ol = op;
  const uint32_t key = s.key;
  const ptrdiff_t w = s.width;
  // Pixel j with its sample moved to the nearest edge of the picture: the
  // few pixels at either end whose samples fall outside it (where a source
  // corner names the column past the edge).
  auto edge = [&](int j) {
    if (!ol.on(row.y, row.x + j)) return;
    const int64_t uc = std::clamp<int64_t>(fu.at(j), 0, s.width - 1);
    const int64_t vc = std::clamp<int64_t>(fv.at(j), 0, s.height - 1);
    Plot<kKey>(row.d + j * 3, static_cast<ptrdiff_t>(vc) * w + static_cast<ptrdiff_t>(uc), fl, ol,
               key);
  };
  // The samples move linearly along the row, so those inside the picture
  // form one run [a, b).
  auto inside = [&](int j) {
    const int64_t u = fu.at(j), v = fv.at(j);
    return u >= 0 && u < s.width && v >= 0 && v < s.height;
  };
  int a = 0, b = row.n;
  while (a < b && a < 4 && !inside(a)) a++;
  while (b > a && row.n - b < 4 && !inside(b - 1)) b--;
  if (a >= b || !inside(a) || !inside(b - 1)) {
    for (int j = 0; j < row.n; j++) edge(j);
    return;
  }
  for (int j = 0; j < a; j++) edge(j);
  for (int j = b; j < row.n; j++) edge(j);

  fu.pos += a * fu.step;
  fv.pos += a * fv.step;
  // Positions relative to the first sample keep the element arithmetic small.
  const int64_t ub = fu.pos >> 32, vb = fv.pos >> 32;
  int64_t au = fu.pos - (ub << 32), av = fv.pos - (vb << 32);
  const ptrdiff_t origin = static_cast<ptrdiff_t>(vb * w + ub);
  uint8_t* d = row.d + a * 3;
  const int n = b - a;
  const int y = row.y, x0 = row.x + a;
  if constexpr (std::is_same_v<Fetch, FetchB> && std::is_same_v<Op, OpCopy> && kKey != kKeyAlpha) {
    const int64_t size = int64_t{s.width} * s.height;
    if (batch->draw && size <= INT32_MAX) {
      // The run's pixels are disjoint from the edge pixels drawn above, so
      // drawing them later changes nothing.
      batch->add(PalQuadRow{d, fl.px, fl.lut, au, av, fu.step, fv.step,
                            static_cast<int32_t>(origin), s.width, n, kKey == kKeyColor});
      return;
    }
  }
  (void)batch;
  FixedRun<kKey>(d, n, au, av, fu.step, fv.step, origin, w, y, x0, fl, ol, key);
}

// Draws every row of the edge tables with one source reader and rule.
template <int kKey, class Fetch, class Op>
void Rows(const EdgeEntry* tmin, const EdgeEntry* tmax, int32_t top, int32_t rows, int32_t left,
          int32_t right, const FImage* dst, const Source& s, const Fetch& f, const Op& op) {
  const VectorPaths& v = Paths();
  RowBatch batch;
  if constexpr (std::is_same_v<Fetch, FetchB>) batch.draw = v.palQuadRows;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(dst->width) * 3;
  for (int32_t r = 0; r < rows; r++) {
    const EdgeEntry& mn = tmin[r];
    const EdgeEntry& mx = tmax[r];
    if (mn.x >= mx.x) continue;
    const int32_t xs = std::max(mn.x, left), xe = std::min(mx.x, right);
    if (xs >= xe) continue;
    const int32_t y = top + r;
    QuadRow row;
    row.n = xe - xs;
    row.x = xs;
    row.y = y;
    row.d = dst->pixels + y * stride + static_cast<ptrdiff_t>(xs) * 3;
    row.span = static_cast<int64_t>(mx.x) - mn.x;
    row.k0 = xs - mn.x;
    row.u0 = mn.u;
    row.v0 = mn.v;
    row.du = static_cast<int64_t>(mx.u) - mn.u;
    row.dv = static_cast<int64_t>(mx.v) - mn.v;
    Span<kKey>(row, s, f, op, v, &batch);
  }
  batch.flush();
}

int DrawQuad(BlitParams p, bool srcIsB) {
  const FImage* dst = static_cast<const FImage*>(p.dst);
  if (!dst || !dst->pixels) {
    LOG_Write("描画領域がありません\n");
    return 0;
  }
  p.srcFormat = srcIsB ? FMT_B : FMT_F;
  int mode = static_cast<int>(p.mode & 0xFFFF), param = static_cast<int>(p.mode >> 16);
  if ((mode == BLT_MODE_FADE || mode == BLT_MODE_STIPPLE) && param == 256) p.mode = 0;
  SplitMode(p.mode, &mode, &param);
  SanitizeFactors(&p);
  uint8_t palBuf[1024];
  Source s;
  if (!DescribeSource(p, &s, mode, param, palBuf)) {
    LOG_Write("画像領域がありません\n");
    return 0;
  }
  if ((mode == BLT_MODE_FADE || mode == BLT_MODE_STIPPLE) && param == 0) return 1;
  if (mode == BLT_MODE_NEGATIVE || mode == BLT_MODE_DESATURATE) return 1;
  if (!HasMode(kShadedModes, mode)) mode = BLT_MODE_COPY;
  // No alpha rule in quad blits: key -2 draws every pixel.
  if (s.keyKind == kKeyAlpha) s.keyKind = kKeyNone;
  if (s.width <= 0 || s.height <= 0) return 1;

  // Rows and columns are limited by the default clip rectangle (and by the
  // destination image and the screen height the scanline tables cover). A
  // sprite's own clip box narrows that further: the stage clips its turning
  // creatures to the pond and the bowl, which they must not spill out of.
  int32_t left = std::max(g_defaultClip.left, 0);
  int32_t right = std::min(g_defaultClip.right, dst->width);
  int32_t top = std::max(g_defaultClip.top, 0);
  int32_t bottom = std::min({g_defaultClip.bottom, dst->height, g_screenH});
  if (p.clip && p.clip != BLT_NO_CLIP) {
    left = std::max(left, p.clip->left);
    right = std::min(right, p.clip->right);
    top = std::max(top, p.clip->top);
    bottom = std::min(bottom, p.clip->bottom);
  }
  const int32_t dxs[4] = {p.dx, p.dq[0][0], p.dq[1][0], p.dq[2][0]};
  const int32_t dys[4] = {p.dy, p.dq[0][1], p.dq[1][1], p.dq[2][1]};
  const int32_t sxs[4] = {p.sx, p.sq[0][0], p.sq[1][0], p.sq[2][0]};
  const int32_t sys[4] = {p.sy, p.sq[0][1], p.sq[1][1], p.sq[2][1]};
  // Only the rows the corners span can hold an edge: the tables and the row
  // loop need no more than those.
  top = static_cast<int32_t>(std::max<int64_t>(top, *std::min_element(dys, dys + 4)));
  bottom =
      static_cast<int32_t>(std::min<int64_t>(bottom, int64_t{*std::max_element(dys, dys + 4)} + 1));
  if (left >= right || top >= bottom) return 1;
  const int32_t rows = bottom - top;
  // A sprite spans a few hundred rows at most, and the stage draws dozens
  // of them a frame: their tables live on the stack, and only a taller quad
  // takes them from the heap.
  constexpr int32_t kStackRows = 512;
  EdgeEntry stackMin[kStackRows], stackMax[kStackRows];
  std::unique_ptr<EdgeEntry[]> heap;
  EdgeEntry *tmin = stackMin, *tmax = stackMax;
  if (rows > kStackRows) {
    heap.reset(new (std::nothrow) EdgeEntry[2 * static_cast<size_t>(rows)]);
    if (!heap) return 1;
    tmin = heap.get();
    tmax = heap.get() + rows;
  }
  for (int32_t r = 0; r < rows; r++) {
    tmin[r] = EdgeEntry{INT32_MAX, 0, 0, 0};
    tmax[r] = EdgeEntry{INT32_MIN, 0, 0, 0};
  }
  static const int kEdge[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
  for (const auto& e : kEdge) {
    const int a = e[0], b = e[1];
    EdgeWalkTextured(dxs[a], dys[a], sxs[a], sys[a], dxs[b], dys[b], sxs[b], sys[b], tmin, tmax,
                     top, rows, top, bottom);
  }

  WithModeOp<ModeBits({BLT_MODE_ADD, BLT_MODE_SUB, BLT_MODE_OVERLAY, BLT_MODE_FADE,
                       BLT_MODE_STIPPLE})>(mode, param, s.isB, [&](const auto& op) {
    WithFetch(s, [&](const auto& f, auto k) {
      Rows<decltype(k)::value>(tmin, tmax, top, rows, left, right, dst, s, f, op);
    });
  });
  return 1;
}

}  // namespace
}  // namespace blt

int DRW_DrawQuad_FF(BlitParams p) {
  return blt::DrawQuad(p, false);
}
int DRW_DrawQuad_FB(BlitParams p) {
  return blt::DrawQuad(p, true);
}

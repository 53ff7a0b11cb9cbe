// Picture effects of the unscaled blits: mosaic, scatter, tiled wobble, sine
// waves, soft wipes, staircase blinds and growing cells (modes 14-40).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "blit/loops.h"

namespace blt {
namespace {

// What happens to one line (row or column) of a wipe or blind.
constexpr int kLeave = -1;   // destination untouched
constexpr int kCopy = 1000;  // mode-0 copy; 0..256 blend with that source weight

template <int kKey, class Fetch, class Op>
inline void PlotAt(const Geom& g, const Fetch& f, const Op& op, uint32_t key, int i, int j) {
  Plot<kKey>(g.d + i * g.dStride + j * 3, g.start + i * g.rowStep + j * g.colStep, f, op, key);
}

// Runs fn(fetch, keyConstant) over the source's reader.
template <class Fn>
void Each(const Source& s, Fn&& fn) {
  WithFetch(s, [&](const auto& f, auto k) { fn(f, k); });
}

template <int kKey, class Fetch>
inline void Act(const Geom& g, const Fetch& f, uint32_t key, int i, int j, int action) {
  if (action == kLeave) return;
  if (action == kCopy) {
    PlotAt<kKey>(g, f, OpCopy{}, key, i, j);
  } else {
    PlotAt<kKey>(g, f, Mix(action, 256 - action), key, i, j);
  }
}

// Vector form of the line actions for F pictures without a colour key: rows
// are fetched whole, copied by block moves and blended by the weighted byte
// kernel. A weight of 0 leaves the frame and 256 copies, exactly as the
// table formula does, so the kernel only sees weights 1..255.
bool VectorLines(const Geom& g, const Source& s, const std::vector<int>& act, bool byRows) {
  const RowKernels* k = Kernels();
  if (!k || s.isB || s.keyKind != kKeyNone || g.w > (1 << 24)) return false;
  const int n = g.w * 3;
  uint8_t *buf = nullptr, *wts = nullptr;
  if (!ScratchRows(n, &buf, &wts)) return false;
  auto kind = [](int a) { return a == 0 ? kLeave : (a == 256 ? kCopy : a); };
  if (byRows) {
    for (int i = 0; i < g.h; i++) {
      const int a = kind(act[i]);
      if (a == kLeave) continue;
      uint8_t* d = g.d + i * g.dStride;
      const uint8_t* row = FetchRow(g, s, i, buf, nullptr, kRowPlain);
      if (a == kCopy) {
        std::memcpy(d, row, n);
      } else {
        std::memset(wts, a, n);
        k->mixw(d, row, wts, n, 256);
      }
    }
    return true;
  }
  // Columns: runs of one kind, the same in every row.
  struct Run {
    int j0, j1, kind;
  };
  std::vector<Run> runs;
  for (int j = 0; j < g.w; j++) {
    const int a = kind(act[j]);
    const int rk = a == kLeave || a == kCopy ? a : 0;
    if (a != kLeave && a != kCopy) {
      wts[j * 3] = wts[j * 3 + 1] = wts[j * 3 + 2] = static_cast<uint8_t>(a);
    }
    if (runs.empty() || runs.back().kind != rk) {
      runs.push_back({j, j + 1, rk});
    } else {
      runs.back().j1 = j + 1;
    }
  }
  for (int i = 0; i < g.h; i++) {
    uint8_t* d = g.d + i * g.dStride;
    const uint8_t* row = FetchRow(g, s, i, buf, nullptr, kRowPlain);
    for (const Run& r : runs) {
      const int o = r.j0 * 3, len = (r.j1 - r.j0) * 3;
      if (r.kind == kCopy) {
        std::memcpy(d + o, row + o, len);
      } else if (r.kind == 0) {
        k->mixw(d + o, row + o, wts + o, len, 256);
      }
    }
  }
  return true;
}

// Line actions along rows (byRows) or columns.
void DrawLines(const Geom& g, const Source& s, const std::vector<int>& act, bool byRows) {
  if (VectorLines(g, s, act, byRows)) return;
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    for (int i = 0; i < g.h; i++) {
      if (byRows) {
        const int a = act[i];
        if (a == kLeave) continue;
        for (int j = 0; j < g.w; j++) Act<kKey>(g, f, s.key, i, j, a);
      } else {
        for (int j = 0; j < g.w; j++) Act<kKey>(g, f, s.key, i, j, act[j]);
      }
    }
  });
}

// Distance of column j from the centre of a blit w wide; the two middle
// columns of an even width are both 0.
inline int FromCentre(int j, int w) {
  return std::abs(2 * j - (w - 1)) / 2;
}

// ---- soft wipes ---------------------------------------------------------------

// Modes 23 and 25: lines before the band are left, the band blends in with a
// weight growing by `step` per line from `first`, the rest is copied.
// Modes 24 and 26 reverse the sides (copied, falling weight, left).
void WipeActions(std::vector<int>& act, int left, int bandEnd, int first, int step, bool copyFirst,
                 const std::vector<int>* dist) {
  for (size_t l = 0; l < act.size(); l++) {
    const int k = dist ? (*dist)[l] : static_cast<int>(l);
    if (k < left) {
      act[l] = copyFirst ? kCopy : kLeave;
    } else if (k < bandEnd) {
      act[l] = first + step * (k - left);
    } else {
      act[l] = copyFirst ? kLeave : kCopy;
    }
  }
}

void SoftWipe(const Geom& g, const Source& s, int mode, int P) {
  const bool byRows = mode == BLT_MODE_WIPE_UP || mode == BLT_MODE_WIPE_DOWN;
  const int lines = byRows ? g.h : g.w;
  std::vector<int> act(lines);
  if (mode <= BLT_MODE_WIPE_RIGHT) {
    const int S = (byRows ? g_screenH : g_screenW) + 255;
    const int n = lines;
    if (mode == BLT_MODE_WIPE_UP || mode == BLT_MODE_WIPE_LEFT) {
      const int64_t gv = static_cast<int64_t>(S) * (256 - P) / 256;
      const int left = static_cast<int>(std::clamp<int64_t>(gv - 255, 0, n));
      const int end = static_cast<int>(std::clamp<int64_t>(gv, 0, n));
      const int first = static_cast<int>(std::clamp<int64_t>(255 - gv, 0, 255));
      WipeActions(act, left, end, first, 1, false, nullptr);
    } else {
      const int64_t gv = static_cast<int64_t>(P) * S / 256;
      const int left = static_cast<int>(std::clamp<int64_t>(gv - 255, 0, n));
      const int end = static_cast<int>(std::clamp<int64_t>(gv, 0, n));
      const int first = 256 - static_cast<int>(std::clamp<int64_t>(255 - gv, 0, 255));
      WipeActions(act, left, end, first, -1, true, nullptr);
    }
  } else {
    // From the centre column outward: the band is 128 columns on each side,
    // the weight moves by 2 per column.
    // Rounded up: the edge column of an odd width is still in the last line.
    const int n = (g.w + 1) / 2;
    std::vector<int> dist(g.w);
    for (int j = 0; j < g.w; j++) dist[j] = FromCentre(j, g.w);
    const int64_t gv = mode == BLT_MODE_WIPE_CLOSE ? (114432 - 447 * static_cast<int64_t>(P)) / 256
                                                   : (447 * static_cast<int64_t>(P)) >> 8;
    const int left = static_cast<int>(std::clamp<int64_t>(gv - 127, 0, n));
    const int end = static_cast<int>(std::clamp<int64_t>(gv, 0, n));
    const int ramp = 2 * static_cast<int>(std::clamp<int64_t>(127 - gv, 0, 127));
    if (mode == BLT_MODE_WIPE_CLOSE) {
      WipeActions(act, left, end, ramp, 2, false, &dist);
    } else {
      WipeActions(act, left, end, 254 - ramp, -2, true, &dist);
    }
  }
  DrawLines(g, s, act, byRows);
}

// ---- staircase blinds -----------------------------------------------------------

void Blinds(const Geom& g, const Source& s, int mode, int P) {
  const bool byRows = mode == BLT_MODE_BLINDS_UP || mode == BLT_MODE_BLINDS_DOWN;
  const bool fromCentre = mode == BLT_MODE_BLINDS_CLOSE || mode == BLT_MODE_BLINDS_OPEN;
  const bool odd = (mode & 1) != 0;
  const int steps = byRows ? 46 : (fromCentre ? 36 : 56);
  const int c = odd ? static_cast<int>((256 - static_cast<int64_t>(P)) * steps / 256)
                    : static_cast<int>((static_cast<int64_t>(P) * steps) >> 8);
  const int lines = byRows ? g.h : g.w;
  const int n = fromCentre ? (g.w + 1) / 2 : lines;
  const int lo = static_cast<int>(std::clamp<int64_t>((static_cast<int64_t>(c) - 15) * 16, 0, n));
  const int hi = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(c) * 16, 0, n));
  std::vector<int> act(lines);
  for (int l = 0; l < lines; l++) {
    const int k = fromCentre ? FromCentre(l, g.w) : l;
    bool drawn;
    if (k < lo) {
      drawn = !odd;
    } else if (k >= hi) {
      drawn = odd;
    } else {
      const bool stair = (k & 15) >= c - (k >> 4);
      drawn = odd ? stair : !stair;
    }
    act[l] = drawn ? kCopy : kLeave;
  }
  DrawLines(g, s, act, byRows);
}

// ---- growing cells ------------------------------------------------------------

// Vector form of the cells: in each row every cell draws one centred span.
// Weight 0 copies the spans; otherwise they blend with that source weight.
bool VectorCells(const Geom& g, const Source& s, int mask, int m, int o, int weight) {
  const RowKernels* k = Kernels();
  if (!k || s.isB || s.keyKind != kKeyNone || g.w > (1 << 24)) return false;
  const int n = g.w * 3;
  uint8_t *buf = nullptr, *wts = nullptr;
  if (!ScratchRows(n, &buf, &wts)) return false;
  const int size = mask + 1;
  if (weight) {
    // Blended cells: one weight row per distinct row pattern (weight 0 keeps
    // the frame), each row a single pass of the kernel.
    // Kept between calls: a transition draws the same size every frame.
    static std::vector<uint8_t> rows;
    rows.resize(static_cast<size_t>(size) * n);
    for (int r = 0; r < size && r < g.h; r++) {
      uint8_t* wr = rows.data() + static_cast<size_t>(r) * n;
      const int limit = std::abs(r - m) + o;
      // One cell's pattern, then repeated along the row.
      const int cell = std::min(size, g.w) * 3;
      for (int u = 0; u < cell / 3; u++) {
        std::memset(wr + u * 3, std::abs(u - m) < limit ? weight : 0, 3);
      }
      for (int at = cell; at < n; at += cell) std::memcpy(wr + at, wr, std::min(cell, n - at));
    }
    // The weight is the same in every cell, so the wide path multiplies by
    // constants and only tests the row for where to draw.
    const auto mixOn = Paths().mixOn;
    for (int i = 0; i < g.h; i++) {
      const int limit = std::abs((i & mask) - m) + o;
      if (limit <= 0) continue;
      const uint8_t* row = FetchRow(g, s, i, buf, nullptr, kRowPlain);
      uint8_t* d = g.d + i * g.dStride;
      const uint8_t* wr = rows.data() + static_cast<size_t>(i & mask) * n;
      const int done = mixOn ? mixOn(d, row, wr, n, weight) : 0;
      k->mixw(d + done, row + done, wr + done, n - done, 256);
    }
    return true;
  }
  for (int i = 0; i < g.h; i++) {
    const int limit = std::abs((i & mask) - m) + o;
    if (limit <= 0) continue;
    // Offsets u inside a cell with |u - m| < limit.
    const int u0 = std::max(0, m - limit + 1), u1 = std::min(size, m + limit);
    if (u0 >= u1) continue;
    uint8_t* d = g.d + i * g.dStride;
    const uint8_t* row = FetchRow(g, s, i, buf, nullptr, kRowPlain);
    for (int c = 0; c < g.w; c += size) {
      const int j0 = c + u0, j1 = std::min(g.w, c + u1);
      if (j0 >= j1) continue;
      std::memcpy(d + j0 * 3, row + j0 * 3, (j1 - j0) * 3);
    }
  }
  return true;
}

void Cells(const Geom& g, const Source& s, int mode, int P) {
  const int n = (mode - 35) % 3;
  const int mask = 63 >> n, m = 32 >> n;
  // Beyond 256 the blend weights would leave the multiply table.
  P = std::clamp(P, 0, 256);
  const int o = ((P * (96 >> n)) >> 8) - m;
  const bool blend = mode >= BLT_MODE_CELLS_BLEND_64;
  const int e = P * P / 512;
  if (VectorCells(g, s, mask, m, o, blend ? 16 + e : 0)) return;
  std::vector<int> col(g.w);
  for (int j = 0; j < g.w; j++) col[j] = std::abs((j & mask) - m);
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    const OpMix mix = Mix(16 + e, 240 - e);
    for (int i = 0; i < g.h; i++) {
      const int limit = std::abs((i & mask) - m) + o;
      for (int j = 0; j < g.w; j++) {
        if (col[j] >= limit) continue;
        if (blend) {
          PlotAt<kKey>(g, f, mix, s.key, i, j);
        } else {
          PlotAt<kKey>(g, f, OpCopy{}, s.key, i, j);
        }
      }
    }
  });
}

// ---- mosaic, scatter, waves ------------------------------------------------

// Start of the cell holding position i when cells of c are centred on n.
inline int CellStart(int i, int n, int c) {
  const int64_t off = c - (n % c) / 2;
  const int64_t start = (i + off) / c * c - off;
  return static_cast<int>(std::clamp<int64_t>(start, 0, n - 1));
}

void Mosaic(const Geom& g, const Source& s, int P) {
  const int c = P + 1;
  std::vector<int> col(g.w);
  for (int j = 0; j < g.w; j++) col[j] = CellStart(j, g.w, c);
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    for (int i = 0; i < g.h; i++) {
      const ptrdiff_t rowE = g.start + CellStart(i, g.h, c) * g.rowStep;
      uint8_t* d = g.d + i * g.dStride;
      for (int j = 0; j < g.w; j++, d += 3) {
        Plot<kKey>(d, rowE + col[j] * g.colStep, f, OpCopy{}, s.key);
      }
    }
  });
}

inline int RedOf(const Source& s, ptrdiff_t e) {
  return s.isB ? s.own[s.px[e] * 4 + 2] : s.px[e * 3 + 2];
}

void Scatter(const Geom& g, const Source& s, int P) {
  // Rows past 255 are not in the tables: the largest spread stands for them.
  const int row = std::min(P, 255);
  const int16_t* tx = NoiseTab[row];
  const int16_t* ty = NoiseTab2[row];
  const int32_t dw = g.dst->width, dh = g.dst->height;
  const ptrdiff_t dStride = static_cast<ptrdiff_t>(dw) * 3;
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    unsigned idx = 0;
    for (int i = 0; i < g.h; i++) {
      for (int j = 0; j < g.w; j++) {
        const ptrdiff_t e = g.start + i * g.rowStep + j * g.colStep;
        const int64_t x = static_cast<int64_t>(g.x) + j + tx[idx];
        const int64_t y = static_cast<int64_t>(g.y) + i + ty[idx];
        if (x >= 0 && x < dw && y >= 0 && y < dh) {
          Plot<kKey>(g.dst->pixels + y * dStride + x * 3, e, f, OpCopy{}, s.key);
        }
        // The index moves on by the red byte of the next pixel of the walk;
        // the last pixel has no next one and needs no further index.
        int ni = i, nj = j + 1;
        if (nj == g.w) ni++, nj = 0;
        if (ni < g.h) {
          const ptrdiff_t ne = g.start + ni * g.rowStep + nj * g.colStep;
          idx = (idx + static_cast<unsigned>(i + j + 2 + RedOf(s, ne))) & 255u;
        }
      }
    }
  });
}

void VerticalWave(const Geom& g, const Source& s, int mode, int P) {
  const int A = P & 0xFF, phase = P >> 8;
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    const OpMix mix = Mix(32, 224);
    for (int i = 0; i < g.h; i++) {
      const int t = static_cast<int>(A * std::sin((phase + i) * 3.1416 / 128) * -0.1);
      int64_t r = (static_cast<int64_t>(i) + g.h - t) % g.h;
      if (r < 0) r += g.h;
      uint8_t* d = g.d + i * g.dStride;
      ptrdiff_t e = g.start + static_cast<ptrdiff_t>(r) * g.rowStep;
      for (int j = 0; j < g.w; j++, d += 3, e += g.colStep) {
        if (mode == BLT_MODE_VWAVE) {
          Plot<kKey>(d, e, f, OpCopy{}, s.key);
        } else {
          Plot<kKey>(d, e, f, mix, s.key);
        }
      }
    }
  });
}

void HorizontalWave(const Geom& g, const Source& s, int mode, int P) {
  const int alpha = P & 0xFF;
  const int64_t amp = static_cast<int64_t>(g.w) * alpha / 640;
  const int32_t srcW = s.width;
  Each(s, [&](const auto& f, auto k) {
    constexpr int kKey = decltype(k)::value;
    const OpMix mix = Mix(alpha, 256 - alpha);
    for (int i = 0; i < g.h; i++) {
      const int angle =
          static_cast<int>((480 * static_cast<int64_t>(i) / g.h + (P >> 8) + 64) & 255);
      int64_t shift = amp * SinTable[angle] / 4096;
      if (g.colStep < 0) shift = -shift;
      // Only the columns whose shifted source stays inside the picture are
      // drawn; the rest of the row keeps the frame (a whole-picture wave
      // would otherwise lose every shifted row).
      const int64_t c0 = g.startCol + shift;
      int64_t j0, j1;  // columns drawn: [j0, j1)
      if (g.colStep > 0) {
        j0 = std::max<int64_t>(0, -c0);
        j1 = std::min<int64_t>(g.w, srcW - c0);
      } else {
        j0 = std::max<int64_t>(0, c0 - (srcW - 1));
        j1 = std::min<int64_t>(g.w, c0 + 1);
      }
      if (j0 >= j1) continue;
      uint8_t* d = g.d + i * g.dStride + j0 * 3;
      ptrdiff_t e = g.start + i * g.rowStep + static_cast<ptrdiff_t>(shift + j0 * g.colStep);
      for (int64_t j = j0; j < j1; j++, d += 3, e += g.colStep) {
        if (mode == BLT_MODE_HWAVE) {
          Plot<kKey>(d, e, f, OpCopy{}, s.key);
        } else {
          Plot<kKey>(d, e, f, mix, s.key);
        }
      }
    }
  });
}

}  // namespace

void DrawEffect(const Geom& g, const Source& s, int mode, int P) {
  switch (mode) {
    case BLT_MODE_MOSAIC:
      Mosaic(g, s, P);
      break;
    case BLT_MODE_SCATTER:
      Scatter(g, s, P);
      break;
    case BLT_MODE_VWAVE:
    case BLT_MODE_VWAVE_BLEND:
      VerticalWave(g, s, mode, P);
      break;
    case BLT_MODE_HWAVE:
    case BLT_MODE_HWAVE_BLEND:
      HorizontalWave(g, s, mode, P);
      break;
    default:
      if (mode >= BLT_MODE_WIPE_UP && mode <= BLT_MODE_WIPE_OPEN) {
        SoftWipe(g, s, mode, P);
      } else if (mode >= BLT_MODE_BLINDS_UP && mode <= BLT_MODE_BLINDS_OPEN) {
        Blinds(g, s, mode, P);
      } else if (mode >= BLT_MODE_CELLS_64 && mode <= BLT_MODE_CELLS_BLEND_16) {
        Cells(g, s, mode, P);
      }
      break;
  }
}

void DrawWobble(const BlitParams& p, bool srcIsB, int mode, int P) {
  const int phase = (P >> 8) & 0xFF, amp = P & 0xFF;
  const int ax = (amp * 40) >> 8, ay = (amp * 30) >> 8;
  // Grid lines: neighbouring tiles share them, so the picture stays whole
  // while the lines sway; both outer lines move alike (a full turn apart).
  int64_t gx[9], gy[9], ux[9], uy[9];
  for (int k = 0; k <= 8; k++) {
    ux[k] = static_cast<int64_t>(p.w) * k / 8;
    uy[k] = static_cast<int64_t>(p.h) * k / 8;
    gx[k] = p.dx + ux[k] + ax * SinTable[(phase + 32 * k) & 255] / 4096;
    gy[k] = p.dy + uy[k] + ay * SinTable[(phase + 32 * k + 64) & 255] / 4096;
  }
  const bool mx = (p.flags & BLT_MIRROR_X) != 0, my = (p.flags & BLT_MIRROR_Y) != 0;
  BlitParams t = p;
  t.mode = mode == BLT_MODE_WOBBLE_HALF ? BLT_Mode(BLT_MODE_FADE, 128) : 0;
  for (int ty = 0; ty < 8; ty++) {
    for (int tx = 0; tx < 8; tx++) {
      const int64_t dw = gx[tx + 1] - gx[tx], dh = gy[ty + 1] - gy[ty];
      const int64_t sw = ux[tx + 1] - ux[tx], sh = uy[ty + 1] - uy[ty];
      if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) continue;
      // Mirrored, the tiles are taken from the opposite corner of the source.
      const int64_t su = mx ? p.w - ux[tx + 1] : ux[tx];
      const int64_t sv = my ? p.h - uy[ty + 1] : uy[ty];
      t.dx = static_cast<int32_t>(gx[tx]);
      t.dy = static_cast<int32_t>(gy[ty]);
      t.w = static_cast<int32_t>(dw);
      t.h = static_cast<int32_t>(dh);
      t.sx = static_cast<int32_t>(p.sx + su);
      t.sy = static_cast<int32_t>(p.sy + sv);
      t.sw = static_cast<int32_t>(sw);
      t.sh = static_cast<int32_t>(sh);
      if (srcIsB) {
        DRW_DrawZOOM_FB(t);
      } else {
        DRW_DrawZOOM_FF(t);
      }
    }
  }
}

}  // namespace blt

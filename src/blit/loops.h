// Shared pieces of the pixel loops: per-pixel rules of the draw modes, source
// readers and the entry plumbing. Internal to the blitters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

#include "blit/blit.h"
#include "blit/pixels.h"
#include "blit/simd.h"
#include "blit/tables.h"

namespace blt {

inline int Mul(int a, int x) {
  return MulTable[a * 257 + x];
}
inline int CS(int k, int v) {
  return ColorScaleTable[k * 256 + v];
}

// ---- source readers -------------------------------------------------------
// get(e, b, g, r): colour of element e with the colour factors applied;
// keyed(e, key): whether the colour key skips element e; alpha(e).

template <bool kFactors>
struct FetchF {
  const uint8_t* px;
  int kr, kg, kb;
  void get(ptrdiff_t e, int& b, int& g, int& r) const {
    const uint8_t* p = px + e * 3;
    if constexpr (kFactors) {
      b = CS(kb, p[0]);
      g = CS(kg, p[1]);
      r = CS(kr, p[2]);
    } else {
      b = p[0];
      g = p[1];
      r = p[2];
    }
  }
  bool keyed(ptrdiff_t e, uint32_t colorKey) const {
    const uint8_t* p = px + e * 3;
    return (p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16)) == colorKey;
  }
  int alpha(ptrdiff_t) const { return 255; }
};

// Palettised sources read one table entry per pixel: the drawn colour
// (prepared palette) in the low 24 bits, and bit 31 set when the picture's
// own colour for that index matches the colour key.
constexpr uint32_t kLutKeyed = 0x80000000u;
struct FetchB {
  const uint8_t* px;
  const uint8_t* alphaPlane;
  const uint32_t* lut;
  void get(ptrdiff_t e, int& b, int& g, int& r) const {
    const uint32_t c = lut[px[e]];
    b = c & 0xFF;
    g = (c >> 8) & 0xFF;
    r = (c >> 16) & 0xFF;
  }
  bool keyed(ptrdiff_t e, uint32_t) const { return (lut[px[e]] & kLutKeyed) != 0; }
  int alpha(ptrdiff_t e) const { return alphaPlane[e]; }
};

// ---- per-pixel rules --------------------------------------------------------
// px: opaque pixel; pxa: partly transparent pixel (0 < a < 255);
// on(row, column): whether the mode draws this position at all.

struct OpBase {
  bool on(int, int) const { return true; }
};

struct OpCopy : OpBase {
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = static_cast<uint8_t>(b);
    d[1] = static_cast<uint8_t>(g);
    d[2] = static_cast<uint8_t>(r);
  }
  void pxa(uint8_t* d, int b, int g, int r, int a) const {
    d[0] = static_cast<uint8_t>(Mul(a, b) + Mul(255 - a, d[0]));
    d[1] = static_cast<uint8_t>(Mul(a, g) + Mul(255 - a, d[1]));
    d[2] = static_cast<uint8_t>(Mul(a, r) + Mul(255 - a, d[2]));
  }
};

struct OpStipple : OpCopy {
  uint16_t pattern;
  bool on(int i, int j) const { return (pattern >> (15 - 4 * (i & 3) - (j & 3))) & 1; }
};

struct OpNoise : OpCopy {
  const uint8_t (*mask)[64];
  bool on(int i, int j) const { return mask[i & 63][j & 63] != 0; }
};

// Modes whose partly transparent pixels scale the source by the alpha.
template <class Ch>
struct OpChannel : OpBase {
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = Ch::f(d[0], b);
    d[1] = Ch::f(d[1], g);
    d[2] = Ch::f(d[2], r);
  }
  void pxa(uint8_t* d, int b, int g, int r, int a) const {
    d[0] = Ch::f(d[0], Mul(a, b));
    d[1] = Ch::f(d[1], Mul(a, g));
    d[2] = Ch::f(d[2], Mul(a, r));
  }
};
struct ChAdd {
  static uint8_t f(int d, int s) { return AddSatTable[d + s]; }
};
struct ChSub {
  static uint8_t f(int d, int s) { return SubSatTable[d - s]; }
};
struct ChDodge {
  static uint8_t f(int d, int s) { return DodgeTable[d * 256 + s]; }
};
using OpAdd = OpChannel<ChAdd>;
using OpSub = OpChannel<ChSub>;
using OpDodge = OpChannel<ChDodge>;

// Mode 4: the source channel scales the destination; a transparent pixel
// acts as the neutral factor 128.
struct OpOverlay : OpBase {
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = static_cast<uint8_t>(CS(b, d[0]));
    d[1] = static_cast<uint8_t>(CS(g, d[1]));
    d[2] = static_cast<uint8_t>(CS(r, d[2]));
  }
  static int F(int s, int a) { return ((a * s) >> 8) + ((256 - a) >> 1); }
  void pxa(uint8_t* d, int b, int g, int r, int a) const {
    d[0] = static_cast<uint8_t>(CS(F(b, a), d[0]));
    d[1] = static_cast<uint8_t>(CS(F(g, a), d[1]));
    d[2] = static_cast<uint8_t>(CS(F(r, a), d[2]));
  }
};

// Modes whose partly transparent pixels blend the mode's result.
template <class Ch>
struct OpBlendResult : OpBase {
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = Ch::f(d[0], b);
    d[1] = Ch::f(d[1], g);
    d[2] = Ch::f(d[2], r);
  }
  void pxa(uint8_t* d, int b, int g, int r, int a) const {
    d[0] = static_cast<uint8_t>(Mul(a, Ch::f(d[0], b)) + Mul(255 - a, d[0]));
    d[1] = static_cast<uint8_t>(Mul(a, Ch::f(d[1], g)) + Mul(255 - a, d[1]));
    d[2] = static_cast<uint8_t>(Mul(a, Ch::f(d[2], r)) + Mul(255 - a, d[2]));
  }
};
struct ChScaleByDest {
  static uint8_t f(int d, int s) { return ColorScaleTable[d * 256 + s]; }
};
struct ChLighten {
  static uint8_t f(int d, int s) { return static_cast<uint8_t>(d > s ? d : s); }
};
struct ChDarken {
  static uint8_t f(int d, int s) { return static_cast<uint8_t>(d < s ? d : s); }
};
using OpScaleByDest = OpBlendResult<ChScaleByDest>;
using OpLighten = OpBlendResult<ChLighten>;
using OpDarken = OpBlendResult<ChDarken>;

struct OpNegative : OpBase {
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = static_cast<uint8_t>(255 - b);
    d[1] = static_cast<uint8_t>(255 - g);
    d[2] = static_cast<uint8_t>(255 - r);
  }
  void pxa(uint8_t* d, int b, int g, int r, int) const { px(d, b, g, r); }
};

// Mode 10 with an F source: d = Mul(P, s) + Mul(256 - P, d).
struct OpFadeF : OpBase {
  const uint8_t* keep;  // MulTable row 256 - P
  int p;
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = AddSatTable[Mul(p, b) + keep[d[0]]];
    d[1] = AddSatTable[Mul(p, g) + keep[d[1]]];
    d[2] = AddSatTable[Mul(p, r) + keep[d[2]]];
  }
  void pxa(uint8_t* d, int b, int g, int r, int) const { px(d, b, g, r); }
};

// Mode 10 with a B source: the prepared palette is already scaled by P.
// A partly transparent pixel fades with the effective alpha e = Mul(P, a),
// its colour scaled by a as well.
struct OpFadeB : OpBase {
  const uint8_t* keep;
  int p;
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = AddSatTable[b + keep[d[0]]];
    d[1] = AddSatTable[g + keep[d[1]]];
    d[2] = AddSatTable[r + keep[d[2]]];
  }
  void pxa(uint8_t* d, int b, int g, int r, int a) const {
    const int ne = 255 - Mul(p, a);
    d[0] = AddSatTable[Mul(a, b) + Mul(ne, d[0])];
    d[1] = AddSatTable[Mul(a, g) + Mul(ne, d[1])];
    d[2] = AddSatTable[Mul(a, r) + Mul(ne, d[2])];
  }
};

// Mode 11 (F source): share P of the own colour, the rest grey.
struct OpDesaturate : OpBase {
  const uint8_t* keep;
  int p;
  void px(uint8_t* d, int b, int g, int r) const {
    const int grey = keep[(b + 2 * g + r) >> 2];
    d[0] = AddSatTable[Mul(p, b) + grey];
    d[1] = AddSatTable[Mul(p, g) + grey];
    d[2] = AddSatTable[Mul(p, r) + grey];
  }
  void pxa(uint8_t* d, int b, int g, int r, int) const { px(d, b, g, r); }
};

// ---- source description and reader selection --------------------------------

enum KeyKind { kKeyNone = 0, kKeyColor = 1, kKeyAlpha = 2 };

struct Source {
  bool isB;
  const uint8_t* px;
  const uint8_t* alpha;  // B alpha plane, or null
  const uint8_t* pal;    // prepared palette (B)
  const uint8_t* own;    // own palette (B)
  int32_t width, height;
  int kr, kg, kb;
  bool factors;  // F source with factors other than 128/128/128
  bool neutral;  // factors 128/128/128 (either format)
  int keyKind;
  uint32_t key;
  uint32_t lut[256];  // B: see FetchB
};

// Calls fn(fetch, keyKindConstant) with the reader that fits the source.
template <class Fn>
inline void WithFetch(const Source& s, Fn&& fn) {
  if (s.isB) {
    const FetchB f{s.px, s.alpha, s.lut};
    switch (s.keyKind) {
      case kKeyColor:
        fn(f, std::integral_constant<int, kKeyColor>());
        break;
      case kKeyAlpha:
        fn(f, std::integral_constant<int, kKeyAlpha>());
        break;
      default:
        fn(f, std::integral_constant<int, kKeyNone>());
        break;
    }
    return;
  }
  auto withKey = [&](auto f) {
    if (s.keyKind == kKeyColor) {
      fn(f, std::integral_constant<int, kKeyColor>());
    } else {
      fn(f, std::integral_constant<int, kKeyNone>());
    }
  };
  if (s.factors) {
    withKey(FetchF<true>{s.px, s.kr, s.kg, s.kb});
  } else {
    withKey(FetchF<false>{s.px, s.kr, s.kg, s.kb});
  }
}

// One pixel with the key and alpha rules.
template <int kKey, class Fetch, class Op>
inline void Plot(uint8_t* d, ptrdiff_t e, const Fetch& f, const Op& op, uint32_t key) {
  if constexpr (kKey == kKeyColor) {
    if (f.keyed(e, key)) return;
  }
  int b, g, r;
  if constexpr (kKey == kKeyAlpha) {
    const int a = f.alpha(e);
    if (a == 0) return;
    f.get(e, b, g, r);
    if (a == 255) {
      op.px(d, b, g, r);
    } else {
      op.pxa(d, b, g, r, a);
    }
  } else {
    f.get(e, b, g, r);
    op.px(d, b, g, r);
  }
}

// Sets of draw modes, bit n for mode n (modes 0..63).
using ModeSet = uint64_t;
constexpr ModeSet ModeBits(std::initializer_list<int> modes) {
  ModeSet bits = 0;
  for (int m : modes) bits |= ModeSet{1} << m;
  return bits;
}
constexpr ModeSet ModeRange(int first, int last) {
  ModeSet bits = 0;
  for (int m = first; m <= last; m++) bits |= ModeSet{1} << m;
  return bits;
}
constexpr bool HasMode(ModeSet set, int mode) {
  return mode >= 0 && mode < 64 && ((set >> mode) & 1u) != 0;
}
// The modes the rectangles and the quads have loops for beside the copy;
// every other mode draws as a copy.
constexpr ModeSet kShadedModes =
    ModeBits({BLT_MODE_ADD, BLT_MODE_SUB, BLT_MODE_OVERLAY, BLT_MODE_FADE, BLT_MODE_STIPPLE});

// Calls fn with the per-pixel rule of a draw mode and its parameter. kModes
// has bit n set for each mode n the caller has a loop for; any other mode is
// drawn as a copy (mode 0), and only the listed rules are instantiated.
template <ModeSet kModes, class Fn>
void WithModeOp(int mode, int param, bool isB, Fn&& fn) {
  if (!HasMode(kModes, mode)) mode = 0;
  auto has = [](int m) { return HasMode(kModes, m); };
  switch (mode) {
    case 1:
      if constexpr (has(1)) fn(OpAdd{});
      return;
    case 2:
      if constexpr (has(2)) fn(OpDodge{});
      return;
    case 3:
      if constexpr (has(3)) fn(OpSub{});
      return;
    case 4:
      if constexpr (has(4)) fn(OpOverlay{});
      return;
    case 5:
      if constexpr (has(5)) fn(OpScaleByDest{});
      return;
    case 6:
      if constexpr (has(6)) fn(OpLighten{});
      return;
    case 7:
      if constexpr (has(7)) fn(OpDarken{});
      return;
    case 8:
      if constexpr (has(8)) fn(OpNegative{});
      return;
    case 10:
      if constexpr (has(10)) {
        const uint8_t* fade = MulTable + (256 - param) * 257;
        if (isB) {
          fn(OpFadeB{{}, fade, param});
        } else {
          fn(OpFadeF{{}, fade, param});
        }
      }
      return;
    case 11:
      if constexpr (has(11)) fn(OpDesaturate{{}, MulTable + (256 - param) * 257, param});
      return;
    case 12:
      if constexpr (has(12)) {
        OpStipple op;
        op.pattern = DitherPatterns[param / 16];
        fn(op);
      }
      return;
    case 13:
      if constexpr (has(13)) {
        OpNoise op;
        op.mask = NoiseMasks[param / 4];
        fn(op);
      }
      return;
    default:
      fn(OpCopy{});
      return;
  }
}

// Mix of source and destination with two multiply-table rows:
// d = sRow[s] + dRow[d] (the rows' weights add up to at most 256).
struct OpMix : OpBase {
  const uint8_t* sRow;
  const uint8_t* dRow;
  void px(uint8_t* d, int b, int g, int r) const {
    d[0] = static_cast<uint8_t>(sRow[b] + dRow[d[0]]);
    d[1] = static_cast<uint8_t>(sRow[g] + dRow[d[1]]);
    d[2] = static_cast<uint8_t>(sRow[r] + dRow[d[2]]);
  }
  void pxa(uint8_t* d, int b, int g, int r, int) const { px(d, b, g, r); }
};
inline OpMix Mix(int sWeight, int dWeight) {
  return OpMix{{}, MulTable + sWeight * 257, MulTable + dWeight * 257};
}

// How a row fetched for the row kernels carries the alpha plane: not at all,
// as each pixel's alpha written three times beside the colours (mode 0), or
// already multiplied into the colours (the source term of modes 1 and 3).
enum RowAlpha { kRowPlain, kRowAlphaBytes, kRowPremultiplied };

// A clipped 1:1 blit: where it writes and how it walks the source.
struct Geom {
  uint8_t* d;         // first destination pixel
  ptrdiff_t dStride;  // bytes per destination row
  int w, h;
  ptrdiff_t start;    // first source element
  ptrdiff_t colStep;  // +1 or -1
  ptrdiff_t rowStep;  // +-source width
  int32_t x, y;       // destination position of the first pixel
  int32_t startCol;   // source column of the first element
  FImage* dst;
};

// The source colours of row i of a 1:1 blit as 3 * w bytes (read in place
// when they can be), with the factors applied; see RowAlpha for abuf.
const uint8_t* FetchRow(const Geom& g, const Source& s, int i, uint8_t* buf, uint8_t* abuf,
                        RowAlpha ra);

// The 1:1 effect modes 14-40 (mosaic, scatter, waves, wipes, blinds, cells)
// on a clipped blit; the entry only calls it for modes it has a loop for.
void DrawEffect(const Geom& g, const Source& s, int mode, int param);
// Tiled wobble (modes 17 and 18, P != 0) of an unclipped block: each tile
// goes through the zoom entry of the block's source format.
void DrawWobble(const BlitParams& p, bool srcIsB, int mode, int param);

// Fills the source description from the block; false when the source record
// or its pixels are missing.
bool DescribeSource(const BlitParams& p, Source* s, int mode, int param, uint8_t* palBuf);

// The common start of the image and zoom blits: P = 256 of modes 10 and 12
// becomes mode 0, the mode word is split and the factors bounded. False when
// P = 0 of modes 10 and 12 leaves nothing to draw.
bool PrepareMode(BlitParams* p, int* mode, int* param);

// Clamps the colour factors into 0..255 (table indices).
void SanitizeFactors(BlitParams* p);

// Draw mode and parameter after the common rewrites: P = 256 (or more) of the
// fading modes is mode 0.
void SplitMode(uint32_t word, int* mode, int* param);

// One fetched row through the row kernels: mode 0 copies (through the alpha
// bytes when the row has them), 1 adds, 3 subtracts, any other mode fades by
// param.
inline void ApplyRowKernel(const RowKernels* k, int mode, int param, RowAlpha ra, uint8_t* d,
                           const uint8_t* row, const uint8_t* abuf, int n) {
  switch (mode) {
    case 0:
      if (ra == kRowAlphaBytes) {
        k->alpha(d, row, abuf, n);
      } else {
        std::memcpy(d, row, n);
      }
      break;
    case 1:
      k->add(d, row, n);
      break;
    case 3:
      k->sub(d, row, n);
      break;
    default:
      k->fade(d, row, n, param);
      break;
  }
}

// Growable scratch rows for the vector paths (never freed; false when out of
// memory, in which case the scalar loop runs).
bool ScratchRows(int bytes, uint8_t** colour, uint8_t** alpha);

const uint8_t* GreyPalette();
const uint8_t* SourcePalette(const BImage* img);
const uint8_t* PreparePalette(const BImage* img, int mode, int param, int kr, int kg, int kb,
                              uint8_t* buf);

}  // namespace blt

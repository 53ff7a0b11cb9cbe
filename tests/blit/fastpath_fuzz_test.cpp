// The vector paths against the scalar reference loops, and random parameter
// blocks through every entry (the sanitizer build turns any stray access
// into a failure).
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "blit_test_util.h"
#include "platform/plt_cpu.h"

using namespace blittest;

namespace {

struct Scene {
  FImg dst;
  FImg f;
  BImg b;
  Scene(std::mt19937& rng, int dw, int dh, int sw, int sh, bool alpha)
      : dst(dw, dh), f(sw, sh), b(sw, sh, alpha) {
    auto fill = [&](uint8_t* p, size_t n) {
      for (size_t i = 0; i < n; i++) p[i] = static_cast<uint8_t>(rng());
    };
    fill(dst.img.pixels, static_cast<size_t>(dw) * dh * 3);
    fill(f.img.pixels, static_cast<size_t>(sw) * sh * 3);
    fill(b.img.pixels, static_cast<size_t>(sw) * sh);
    fill(b.img.palette, 1024);
    if (alpha) {
      // Plenty of the short-cut values 0 and 255 besides the blends.
      for (size_t i = 0; i < static_cast<size_t>(sw) * sh; i++) {
        const int r = static_cast<int>(rng() % 4);
        b.img.alpha[i] = static_cast<uint8_t>(r == 0 ? 0 : r == 1 ? 255 : rng());
      }
    }
  }
};

// The palette of a grey pattern file: each index's level is the index (only
// the first byte of an entry weighs in the wipe; the others stay random).
void GreyRamp(BImage* b) {
  for (int v = 0; v < 256; v++) b->palette[v * 4] = static_cast<uint8_t>(v);
}

int Pick(std::mt19937& rng, int lo, int hi) {
  return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

class FastPath : public BlitTest {};

// Runs the same draw at every vector level on copies of the destination.
// Returns the largest byte difference between the scalar and any vector
// result; vector results must agree with each other exactly.
int CompareLevels(Scene& s, BlitParams p, int (*entry)(BlitParams)) {
  const std::vector<uint8_t> before = s.dst.bytes();
  std::vector<std::vector<uint8_t>> results;
  for (int level = 0; level <= 3; level++) {
    if (BLT_SetVectorLevel(level) != level) break;
    std::copy(before.begin(), before.end(), s.dst.img.pixels);
    entry(p);
    results.push_back(s.dst.bytes());
  }
  int worst = 0;
  for (size_t l = 1; l < results.size(); l++) {
    EXPECT_EQ(results[l], results[1]) << "vector levels disagree";
    for (size_t i = 0; i < before.size(); i++) {
      worst = std::max(worst, std::abs(results[0][i] - results[l][i]));
    }
  }
  return worst;
}

TEST_F(FastPath, VectorPathsGiveTheScalarResult) {
  std::mt19937 rng(7);
  const int modes[] = {0, 0, 1, 1, 3, 3, 10, 12, 4};
  for (int trial = 0; trial < 600; trial++) {
    const int sw = Pick(rng, 1, 90), sh = Pick(rng, 1, 12);
    Scene s(rng, Pick(rng, 1, 100), Pick(rng, 1, 14), sw, sh, rng() % 3 != 0);
    const bool isB = rng() % 2;
    BlitParams p = Params(&s.dst.img, isB ? static_cast<void*>(&s.b.img) : &s.f.img,
                          isB ? FMT_B : FMT_F, Pick(rng, -10, 20), Pick(rng, -3, 5), sw, sh);
    p.sx = Pick(rng, -2, 3);
    p.sy = Pick(rng, -1, 2);
    p.flags =
        (rng() % 2 ? uint32_t{BLT_MIRROR_X} : 0u) | (rng() % 3 == 0 ? uint32_t{BLT_MIRROR_Y} : 0u);
    if (rng() % 3 == 0) p.colR = Pick(rng, 0, 255), p.colB = Pick(rng, 0, 255);
    const int k = static_cast<int>(rng() % 3);
    p.colorKey = k == 0   ? BLT_KEY_NONE
                 : k == 1 ? BLT_KEY_ALPHA
                          : static_cast<int32_t>(s.f.rgb(0, 0));
    const int mode = modes[rng() % std::size(modes)];
    p.mode = BLT_Mode(mode, mode == 10 || mode == 12 ? Pick(rng, 1, 255) : 0);
    const bool zoom = rng() % 2;
    if (zoom) {
      p.w = Pick(rng, 1, 120);
      p.h = Pick(rng, 1, 20);
    }
    int (*entry)(BlitParams) =
        zoom ? (isB ? DRW_DrawZOOM_FB : DRW_DrawZOOM_FF) : (isB ? DRW_DrawBMP_FB : DRW_DrawBMP_FF);
    const int worst = CompareLevels(s, p, entry);
    // Mode 10 without colour change has its own vector rounding: off by one
    // from the table formula, by two from a palette pre-scaled by P >> 1.
    // Every other case is exact, the fade through an alpha plane too.
    const bool alphaFade = isB && p.colorKey == BLT_KEY_ALPHA && s.b.img.alpha;
    EXPECT_LE(worst, mode == 10 && !alphaFade ? 2 : 0) << "trial " << trial << " mode " << mode;
  }
}

// The full-screen transitions: soft wipes, cells and the pattern wipe.
TEST_F(FastPath, TransitionPathsGiveTheScalarBytes) {
  std::mt19937 rng(17);
  for (int trial = 0; trial < 500; trial++) {
    const int sw = Pick(rng, 1, 120), sh = Pick(rng, 1, 40);
    Scene s(rng, Pick(rng, 1, 130), Pick(rng, 1, 45), sw, sh, true);
    BlitParams p =
        Params(&s.dst.img, &s.f.img, FMT_F, Pick(rng, -10, 20), Pick(rng, -5, 5), sw, sh);
    p.flags =
        (rng() % 2 ? uint32_t{BLT_MIRROR_X} : 0u) | (rng() % 3 == 0 ? uint32_t{BLT_MIRROR_Y} : 0u);
    if (rng() % 4 == 0) p.colR = Pick(rng, 0, 255), p.colG = Pick(rng, 0, 255);
    const int k = static_cast<int>(rng() % 4);
    p.colorKey = k == 0 || k == 3 ? BLT_KEY_NONE
                 : k == 1         ? BLT_KEY_ALPHA
                                  : static_cast<int32_t>(s.f.rgb(0, 0));
    if (rng() % 4 == 0) {
      // Pattern wipe through the palettised picture.
      p.src2Format = FMT_B;
      p.src2 = &s.b.img;
      p.s2x = Pick(rng, -2, 3);
      p.s2y = Pick(rng, -2, 3);
      p.s2w = Pick(rng, 1, sw + 5);
      p.s2h = Pick(rng, 1, sh + 5);
      p.colorKey = BLT_KEY_NONE;
      p.mode2 = BLT_Mode(10, Pick(rng, 0, 256));
      // Half of them through a grey ramp, the palette of a pattern file.
      if (rng() % 2) GreyRamp(&s.b.img);
      EXPECT_EQ(CompareLevels(s, p, DRW_DrawBMP_FTT), 0) << "trial " << trial;
      continue;
    }
    const int mode = rng() % 2 ? Pick(rng, 23, 28) : Pick(rng, 35, 40);
    p.mode = BLT_Mode(mode, rng() % 8 == 0 ? (rng() % 2) * 256 : Pick(rng, 0, 256));
    EXPECT_EQ(CompareLevels(s, p, DRW_DrawBMP_FF), 0) << "trial " << trial << " mode " << mode;
  }
  // Full-screen frames, where the bands and cells reach their full sizes.
  for (int mode : {23, 24, 25, 26, 27, 28, 35, 36, 37, 38, 39, 40}) {
    Scene s(rng, 640, 480, 640, 480, false);
    BlitParams p = Params(&s.dst.img, &s.f.img, FMT_F, 0, 0, 640, 480);
    p.mode = BLT_Mode(mode, Pick(rng, 60, 200));
    EXPECT_EQ(CompareLevels(s, p, DRW_DrawBMP_FF), 0) << mode;
  }
  // A full-screen pattern wipe, through the middle of its run and near both
  // ends, where most weights are 0 or 255.
  // The grey ramp's weights are computed: at the ends every weight is 0 or
  // 255, and one step in from them only the extreme indices blend.
  for (int pos : {0, 1, 20, 128, 240, 255, 256}) {
    for (bool ramp : {false, true}) {
      if (!ramp && (pos < 20 || pos > 240)) continue;
      Scene s(rng, 640, 480, 640, 480, false);
      if (ramp) GreyRamp(&s.b.img);
      BlitParams p = Params(&s.dst.img, &s.f.img, FMT_F, 0, 0, 640, 480);
      p.src2Format = FMT_B;
      p.src2 = &s.b.img;
      p.s2w = 640;
      p.s2h = 480;
      p.mode2 = BLT_Mode(10, pos);
      EXPECT_EQ(CompareLevels(s, p, DRW_DrawBMP_FTT), 0) << pos << " ramp " << ramp;
    }
  }
}

// Quads: the exact stepper (level 0), its fixed-point form (level 1) and the
// eight- and sixty-four-pixel vector spans (levels 2 and 3) sample the same
// source pixels, at any angle and scale, mirrored and clipped.
TEST_F(FastPath, QuadSamplingIsTheSameAtEveryLevel) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 300; trial++) {
    const int sw = Pick(rng, 1, 60), sh = Pick(rng, 1, 60);
    Scene s(rng, 160, 140, sw, sh, false);
    const bool isB = rng() % 3 != 0;
    BlitParams p = Params(&s.dst.img, isB ? static_cast<void*>(&s.b.img) : &s.f.img,
                          isB ? FMT_B : FMT_F, 0, 0, 0, 0);
    // A rotated, scaled rectangle, sometimes with corners past the source.
    const double a = (rng() % 628) / 100.0, k = 0.3 + (rng() % 300) / 100.0;
    const double cx = Pick(rng, -20, 180), cy = Pick(rng, -20, 160);
    const double hw = sw * k / 2, hh = sh * k / 2;
    const double pts[4][2] = {{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}};
    int dc[4][2];
    for (int c = 0; c < 4; c++) {
      dc[c][0] = static_cast<int>(cx + pts[c][0] * std::cos(a) - pts[c][1] * std::sin(a));
      dc[c][1] = static_cast<int>(cy + pts[c][0] * std::sin(a) + pts[c][1] * std::cos(a));
    }
    const int over = static_cast<int>(rng() % 3);
    int sc[4][2] = {{0, 0}, {sw - 1 + over, 0}, {0, sh - 1 + over}, {sw - 1 + over, sh - 1 + over}};
    // Mirrored across either axis, and sometimes inside a sprite's clip box.
    if (rng() % 3 == 0) std::swap(sc[0], sc[1]), std::swap(sc[2], sc[3]);
    if (rng() % 3 == 0) std::swap(sc[0], sc[2]), std::swap(sc[1], sc[3]);
    ClipBox box{Pick(rng, 0, 80), Pick(rng, 0, 70), Pick(rng, 80, 160), Pick(rng, 70, 140)};
    if (rng() % 3 == 0) p.clip = &box;
    p.dx = dc[0][0], p.dy = dc[0][1], p.sx = sc[0][0], p.sy = sc[0][1];
    for (int c = 0; c < 3; c++) {
      p.dq[c][0] = dc[c + 1][0], p.dq[c][1] = dc[c + 1][1];
      p.sq[c][0] = sc[c + 1][0], p.sq[c][1] = sc[c + 1][1];
    }
    if (rng() % 2) p.colorKey = static_cast<int32_t>(s.f.rgb(0, 0) & 0xFFFFFF);
    if (isB && rng() % 2) {
      const uint8_t* c = s.b.img.palette + s.b.img.pixels[0] * 4;
      p.colorKey = c[0] | (c[1] << 8) | (c[2] << 16);
    }
    if (rng() % 4 == 0) p.colG = Pick(rng, 0, 255);
    const int modes[] = {0, 0, 0, 1, 3, 4, 10, 12};
    const int mode = modes[rng() % std::size(modes)];
    p.mode = BLT_Mode(mode, mode == 10 || mode == 12 ? Pick(rng, 1, 255) : 0);
    EXPECT_EQ(CompareLevels(s, p, isB ? DRW_DrawQuad_FB : DRW_DrawQuad_FF), 0) << "trial " << trial;
  }
}

// Memory whose first byte follows, and whose last byte precedes, a page that
// may not be touched: the vector spans read several bytes per sample and
// write through masks, which the address sanitizer does not see.
class GuardedBytes {
 public:
  explicit GuardedBytes(size_t n) : n_(n) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    span_ = (n + page - 1) / page * page + 2 * page;
    void* m = mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    // Without its guards the test could not fail.
    if (m == MAP_FAILED) std::abort();
    base_ = static_cast<uint8_t*>(m);
    if (mprotect(base_, page, PROT_NONE) != 0 ||
        mprotect(base_ + span_ - page, page, PROT_NONE) != 0) {
      std::abort();
    }
    end_ = base_ + span_ - page;
  }
  ~GuardedBytes() { munmap(base_, span_); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  // The n bytes, ending at the upper guard page.
  uint8_t* atEnd() { return end_ - n_; }
  // The n bytes, starting at the lower guard page.
  uint8_t* atStart() { return base_ + static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

 private:
  size_t n_, span_;
  uint8_t *base_, *end_;
};

TEST_F(FastPath, QuadSpansTouchNothingOutsideThePictures) {
  std::mt19937 rng(9);
  for (int trial = 0; trial < 200; trial++) {
    const int sw = Pick(rng, 1, 40), sh = Pick(rng, 1, 40);
    const int dw = Pick(rng, 1, 90), dh = Pick(rng, 1, 60);
    GuardedBytes src(static_cast<size_t>(sw) * sh), dst(static_cast<size_t>(dw) * dh * 3);
    uint8_t* px = trial % 2 ? src.atEnd() : src.atStart();
    uint8_t* dp = trial % 3 ? dst.atEnd() : dst.atStart();
    for (int i = 0; i < sw * sh; i++) px[i] = static_cast<uint8_t>(rng());
    std::vector<uint8_t> pal(1024);
    for (auto& b : pal) b = static_cast<uint8_t>(rng());
    BImage b{px, nullptr, pal.data(), sw, sh};
    FImage d{dp, dw, dh};
    BlitParams p = Params(&d, &b, FMT_B, 0, 0, 0, 0);
    // Corners anywhere around the destination, sampling past every edge of
    // the source now and then.
    p.dx = Pick(rng, -20, dw + 20), p.dy = Pick(rng, -20, dh + 20);
    for (int c = 0; c < 3; c++) {
      p.dq[c][0] = Pick(rng, -20, dw + 20), p.dq[c][1] = Pick(rng, -20, dh + 20);
    }
    p.sx = Pick(rng, -1, 1), p.sy = Pick(rng, -1, 1);
    p.sq[0][0] = sw - 1 + Pick(rng, 0, 1), p.sq[0][1] = 0;
    p.sq[1][0] = 0, p.sq[1][1] = sh - 1 + Pick(rng, 0, 1);
    p.sq[2][0] = sw - 1, p.sq[2][1] = sh - 1;
    if (rng() % 2)
      p.colorKey = pal[px[0] * 4] | (pal[px[0] * 4 + 1] << 8) | (pal[px[0] * 4 + 2] << 16);
    g_defaultClip = {0, 0, dw, dh};
    for (int level = 0; level <= 3; level++) {
      if (BLT_SetVectorLevel(level) != level) break;
      DRW_DrawQuad_FB(p);
    }
  }
  g_defaultClip = {0, 0, 640, 480};
}

// The row paths of the fades through an alpha plane, the pattern wipe, the
// soft wipes and the cells, with every picture against a guard page.
TEST_F(FastPath, TransitionRowsTouchNothingOutsideThePictures) {
  std::mt19937 rng(19);
  for (int trial = 0; trial < 200; trial++) {
    // Every fourth picture wide enough for the 64-pixel steps.
    const bool wide = trial % 4 == 3;
    const int sw = wide ? Pick(rng, 64, 140) : Pick(rng, 1, 50), sh = Pick(rng, 1, 20);
    const int dw = wide ? Pick(rng, 64, 150) : Pick(rng, 1, 60), dh = Pick(rng, 1, 24);
    const size_t sn = static_cast<size_t>(sw) * sh;
    GuardedBytes idx(sn), alpha(sn), fpx(sn * 3), dst(static_cast<size_t>(dw) * dh * 3);
    const bool end = trial % 2;
    uint8_t* ip = end ? idx.atEnd() : idx.atStart();
    uint8_t* ap = end ? alpha.atEnd() : alpha.atStart();
    uint8_t* fp = end ? fpx.atEnd() : fpx.atStart();
    uint8_t* dp = trial % 3 ? dst.atEnd() : dst.atStart();
    for (size_t i = 0; i < sn; i++)
      ip[i] = static_cast<uint8_t>(rng()), ap[i] = rng() % 3 ? 255 : 9;
    for (size_t i = 0; i < sn * 3; i++) fp[i] = static_cast<uint8_t>(rng());
    std::vector<uint8_t> pal(1024);
    for (auto& b : pal) b = static_cast<uint8_t>(rng());
    BImage b{ip, ap, pal.data(), sw, sh};
    FImage f{fp, sw, sh}, d{dp, dw, dh};
    const int x = Pick(rng, -4, 4), y = Pick(rng, -2, 2);
    BlitParams pb = Params(&d, &b, FMT_B, x, y, sw, sh);
    pb.colorKey = BLT_KEY_ALPHA;
    pb.mode = BLT_Mode(10, Pick(rng, 1, 255));
    BlitParams pf = Params(&d, &f, FMT_F, x, y, sw, sh);
    BlitParams pw = pf;
    pw.src2Format = FMT_B;
    pw.src2 = &b;
    pw.s2w = sw;
    pw.s2h = sh;
    pw.mode2 = BLT_Mode(10, Pick(rng, 0, 256));
    g_defaultClip = {0, 0, dw, dh};
    for (int level = 0; level <= 3; level++) {
      if (BLT_SetVectorLevel(level) != level) break;
      DRW_DrawBMP_FB(pb);
      DRW_DrawBMP_FTT(pw);
      for (int mode : {23, 25, 27, 28, 36, 39, 40}) {
        pf.mode = BLT_Mode(mode, Pick(rng, 0, 256));
        DRW_DrawBMP_FF(pf);
      }
    }
  }
  g_defaultClip = {0, 0, 640, 480};
}

TEST_F(FastPath, FrameConversionIsTheSameAtEveryLevel) {
  std::mt19937 rng(23);
  std::vector<uint8_t> pal(1024);
  for (auto& b : pal) b = static_cast<uint8_t>(rng());
  BLT_BuildRgb15ToIndex(pal.data(), nullptr);
  for (int w : {1, 7, 8, 9, 16, 17, 31, 32, 640}) {
    const int h = 3;
    GuardedBytes src(static_cast<size_t>(w) * h * 3);
    uint8_t* sp = src.atEnd();
    for (int i = 0; i < w * h * 3; i++) sp[i] = static_cast<uint8_t>(rng());
    FImage f{sp, w, h};
    std::vector<std::vector<uint8_t>> out;
    for (int level = 0; level <= 3; level++) {
      if (BLT_SetVectorLevel(level) != level) break;
      std::vector<uint8_t> px(static_cast<size_t>(w) * h);
      BImage b{px.data(), nullptr, pal.data(), w, h};
      ASSERT_EQ(DRW_ChangeBMP_F2B(&b, &f), 1);
      out.push_back(px);
    }
    for (const auto& o : out) EXPECT_EQ(o, out[0]) << w;
#ifdef ZV_X86
    // Both row kernels directly: the entry takes only one of them for most
    // of each row on a given processor.
    if (BLT_SetVectorLevel(2) != 2) continue;
    for (bool extract : {false, true}) {
      if (extract && !PLT_HasFastBitExtract()) continue;
      for (int y = 0; y < h; y++) {
        std::vector<uint8_t> px(w, 0);
        const uint8_t* s = sp + y * w * 3;
        const int done = extract ? blt::Bmi2Rgb15Row(px.data(), s, Rgb15ToIndex, w)
                                 : blt::Avx2Rgb15Row(px.data(), s, Rgb15ToIndex, w);
        EXPECT_EQ(done, extract ? (w - 1) / 16 * 16 : w / 16 * 16) << w;
        for (int x = 0; x < done; x++) {
          EXPECT_EQ(px[x], out[0][y * w + x]) << w << " " << extract << " " << x;
        }
      }
    }
#endif
  }
}

TEST_F(FastPath, RowKernelsAgreeOnEveryLengthAndValue) {
  std::mt19937 rng(3);
  for (int n = 0; n < 100; n++) {
    std::vector<uint8_t> d(n), s(n), a(n);
    for (int i = 0; i < n; i++) {
      d[i] = static_cast<uint8_t>(rng());
      s[i] = static_cast<uint8_t>(rng());
      a[i] = static_cast<uint8_t>(i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : rng());
    }
    // The portable kernels too: they are level 1 where there is no vector unit.
    const blt::RowKernels* kernels[] = {&blt::kScalarKernels,
#ifdef ZV_X86
                                        &blt::kSse2Kernels, &blt::kAvx2Kernels
#endif
    };
    for (const blt::RowKernels* k : kernels) {
#ifdef ZV_X86
      if (k == &blt::kSse2Kernels && !PLT_HasSse2()) continue;
      if (k == &blt::kAvx2Kernels && BLT_SetVectorLevel(2) != 2) continue;
#endif
      auto x = d, y = d;
      k->add(x.data(), s.data(), n);
      blt::ScalarAdd(y.data(), s.data(), n);
      EXPECT_EQ(x, y);
      x = d, y = d;
      k->sub(x.data(), s.data(), n);
      blt::ScalarSub(y.data(), s.data(), n);
      EXPECT_EQ(x, y);
      x = d, y = d;
      k->fade(x.data(), s.data(), n, 77);
      blt::ScalarFade(y.data(), s.data(), n, 77);
      EXPECT_EQ(x, y);
      x = d, y = d;
      k->alpha(x.data(), s.data(), a.data(), n);
      blt::ScalarAlpha(y.data(), s.data(), a.data(), n);
      EXPECT_EQ(x, y);
      // The weighted mix against the table formula itself.
      std::vector<uint8_t> w1(n);
      for (int i = 0; i < n; i++) w1[i] = static_cast<uint8_t>(i * 37 % 256);
      for (int total : {255, 256}) {
        const std::vector<uint8_t>& w = total == 255 ? a : w1;
        x = d;
        k->mixw(x.data(), s.data(), w.data(), n, total);
        for (int i = 0; i < n; i++) {
          EXPECT_EQ(x[i], Mul(w[i], s[i]) + Mul(total - w[i], d[i])) << total << " " << i;
        }
      }
    }
  }
}

int32_t Wild(std::mt19937& rng) {
  switch (rng() % 8) {
    case 0:
      return INT32_MIN + static_cast<int32_t>(rng() % 4);
    case 1:
      return INT32_MAX - static_cast<int32_t>(rng() % 4);
    case 2:
      return static_cast<int32_t>(rng());
    case 3:
      return Pick(rng, -1000, 1000);
    default:
      return Pick(rng, -40, 90);
  }
}

TEST_F(FastPath, RandomBlocksThroughEveryEntryStayInBounds) {
  std::mt19937 rng(11);
  ClipBox clips[3];
  // ZV_BLIT_FUZZ_TRIALS raises the count for a longer run.
  const char* env = std::getenv("ZV_BLIT_FUZZ_TRIALS");
  const int trials = env ? std::atoi(env) : 6000;
  for (int trial = 0; trial < trials; trial++) {
    Scene s(rng, Pick(rng, 0, 70), Pick(rng, 0, 50), Pick(rng, 0, 40), Pick(rng, 0, 40), rng() % 2);
    BlitParams p{};
    p.dst = &s.dst.img;
    p.dx = Wild(rng), p.dy = Wild(rng), p.w = Wild(rng), p.h = Wild(rng);
    p.sx = Wild(rng), p.sy = Wild(rng), p.sw = Wild(rng), p.sh = Wild(rng);
    for (int k = 0; k < 3; k++) {
      p.dq[k][0] = Wild(rng), p.dq[k][1] = Wild(rng);
      p.sq[k][0] = Wild(rng), p.sq[k][1] = Wild(rng);
    }
    p.s2x = Wild(rng), p.s2y = Wild(rng), p.s2w = Wild(rng), p.s2h = Wild(rng);
    p.colR = rng() % 4 ? 128 : Wild(rng);
    p.colG = rng() % 4 ? 128 : Wild(rng);
    p.colB = rng() % 4 ? 128 : Wild(rng);
    const int key = static_cast<int>(rng() % 4);
    p.colorKey = key == 0 ? BLT_KEY_NONE : key == 1 ? BLT_KEY_ALPHA : key == 2 ? 0 : Wild(rng);
    clips[0] = {Wild(rng), Wild(rng), Wild(rng), Wild(rng)};
    clips[1] = {Pick(rng, -5, 30), Pick(rng, -5, 30), Pick(rng, 0, 80), Pick(rng, 0, 60)};
    const int c = static_cast<int>(rng() % 5);
    p.clip = c == 0 ? nullptr : c == 1 ? BLT_NO_CLIP : &clips[c % 2];
    const int mode = Pick(rng, 0, 41);
    p.mode = static_cast<uint32_t>(
        rng() % 3 ? BLT_Mode(mode, rng() % 2 ? Pick(rng, 0, 300) : Pick(rng, 0, 0xFFFF)) : rng());
    p.mode2 = static_cast<uint32_t>(rng());
    p.flags = static_cast<uint32_t>(rng());
    if (rng() % 4 == 0) {
      g_defaultClip = {Wild(rng), Wild(rng), Wild(rng), Wild(rng)};
    } else {
      g_defaultClip = {0, 0, 640, 480};
    }
    BLT_SetVectorLevel(static_cast<int>(rng() % 4));

    p.srcFormat = FMT_F;
    p.src = &s.f.img;
    DRW_DrawBMP_FF(p);
    DRW_DrawZOOM_FF(p);
    DRW_DrawQuad_FF(p);
    p.src2Format = FMT_B;
    p.src2 = &s.b.img;
    DRW_DrawBMP_FTT(p);
    p.src2 = &s.f.img;
    DRW_DrawBMP_FTT_F(p);
    p.srcFormat = FMT_B;
    p.src = &s.b.img;
    DRW_DrawBMP_FB(p);
    DRW_DrawZOOM_FB(p);
    DRW_DrawQuad_FB(p);
    PRM_DrawRect_F(p);
    const int corners[4][2] = {
        {p.dx, p.dy}, {p.dq[0][0], p.dq[0][1]}, {p.dq[1][0], p.dq[1][1]}, {p.dq[2][0], p.dq[2][1]}};
    PRM_DrawVQuad(&s.dst.img, corners, p.clip, Wild(rng), Wild(rng), Wild(rng), Wild(rng),
                  Wild(rng), Wild(rng), Wild(rng), Wild(rng), p.mode);
  }
  g_defaultClip = {0, 0, 640, 480};
}

}  // namespace

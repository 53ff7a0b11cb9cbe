// The 8-bit desktop's frame path: the 24-bit frame converted through the
// display palette's inverse table and presented as an 8-bit image, beside a
// plain copy of the frame's bytes for scale. Read the times as ratios to
// BM_CopyFrame from the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "blit/blit.h"
#include "blit/tables.h"
#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "platform/plt_window.h"

namespace {

constexpr int kW = 640, kH = 480;

struct Frames {
  FImage src{};
  BImage dst{};
  std::vector<uint8_t> copy;
  Frames() {
    IMG_AllocF(&src, kW, kH);
    IMG_AllocB(&dst, kW, kH, 0);
    uint32_t seed = 7;
    // A frame with smooth areas and noise, as a stage frame mixes them.
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        seed = seed * 1103515245u + 12345u;
        uint8_t* p = src.pixels + (static_cast<size_t>(y) * kW + x) * 3;
        p[0] = static_cast<uint8_t>(x / 3);
        p[1] = static_cast<uint8_t>(y / 2);
        p[2] = static_cast<uint8_t>((x & 64) ? seed >> 24 : 128);
      }
    }
    for (int i = 0; i < 1024; ++i) dst.palette[i] = static_cast<uint8_t>((i & 3) == 3 ? 0 : i);
    for (int c = 0; c < 32768; ++c) Rgb15ToIndex[c] = static_cast<uint8_t>(c * 2654435761u >> 24);
    copy.resize(static_cast<size_t>(kW) * kH * 3);
  }
};

Frames& F() {
  static Frames f;
  return f;
}

void BM_CopyFrame(benchmark::State& state) {
  Frames& f = F();
  for (auto _ : state) {
    std::memcpy(f.copy.data(), f.src.pixels, f.copy.size());
    benchmark::DoNotOptimize(f.copy.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyFrame);

void BM_ConvertFrame(benchmark::State& state) {
  Frames& f = F();
  for (auto _ : state) {
    DRW_ChangeBMP_F2B(&f.dst, &f.src);
    benchmark::DoNotOptimize(f.dst.pixels);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ConvertFrame);

// Conversion and present: the headless present expands the 8-bit image
// through its palette, as the window's present does into the surface.
void BM_ConvertAndPresentFrame(benchmark::State& state) {
  Frames& f = F();
  HL_Reset();
  for (auto _ : state) {
    DRW_ChangeBMP_F2B(&f.dst, &f.src);
    PLT_PresentIndexed(f.dst.pixels, f.dst.palette, kW, kH);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ConvertAndPresentFrame);

}  // namespace

BENCHMARK_MAIN();

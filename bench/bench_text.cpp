// A full message window drawn per frame (the scene redraws its message every
// frame), the first draw of a new message, and measuring it, beside a copy of
// one frame's bytes for scale. Target: at most 0.3 ms for the warm window.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/image.h"
#include "platform/plt_glyph.h"
#include "text/font.h"
#include "text/text.h"

namespace {

// Four lines of 25 full-width characters with a ruby word and an emphasised
// word, as a scene's message window holds them.
const char kMessageUtf8[] =
    "月の光が池の水面に揺れて、小さな波紋がいくつも広がっていく。岸辺の"
    "<R灯籠鳥|とうろうどり>が羽を休め、静かに夜の歌を口ずさんでいる。ここは"
    "誰も知らない<A秘密>の場所。金魚も蛙も亀も、みんなこの歌が好きだった。だから"
    "今夜もまた、ひとつの物語が始まろうとしている。";

std::vector<char> Message() {
  std::vector<char> out(4096);
  PLT_Utf8ToSjis(kMessageUtf8, out.data(), static_cast<int>(out.size()));
  return out;
}

struct Window {
  std::vector<char> text = Message();
  FImage frame{};
  Window() {
    IMG_InitTables(SCREEN_W, SCREEN_H);
    IMG_AllocF(&frame, SCREEN_W, SCREEN_H);
    for (int i = 0; i < SCREEN_W * SCREEN_H * 3; ++i) frame.pixels[i] = static_cast<uint8_t>(i);
    FNT_CreateCanvas();
  }
  ~Window() { IMG_ReleaseF(&frame); }
  int Draw() {
    return TXT_Draw({.target = &frame,
                     .x = 8,
                     .y = 352,
                     .width = 25,
                     .lines = 4,
                     .lineSpacing = 8,
                     .size = 24,
                     .text = text.data(),
                     .page = 0,
                     .shadow = 2});
  }
};

void BM_MessageWindow(benchmark::State& state) {
  Window w;
  w.Draw();
  for (auto _ : state) benchmark::DoNotOptimize(w.Draw());
}
BENCHMARK(BM_MessageWindow)->Unit(benchmark::kMicrosecond);

void BM_MessageWindowFirstDraw(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    FNT_ClearCache();
    benchmark::DoNotOptimize(w.Draw());
  }
  state.counters["misses"] = static_cast<double>(FNT_CacheStats().misses);
}
BENCHMARK(BM_MessageWindowFirstDraw)->Unit(benchmark::kMicrosecond);

void BM_MessageWidth(benchmark::State& state) {
  const std::vector<char> text = Message();
  for (auto _ : state) benchmark::DoNotOptimize(TXT_GetWidth(text.data()));
}
BENCHMARK(BM_MessageWidth)->Unit(benchmark::kMicrosecond);

void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint8_t> a(SCREEN_W * SCREEN_H * 3, 1), b(SCREEN_W * SCREEN_H * 3);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

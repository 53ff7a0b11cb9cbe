// Sound costs: the software mixer per second of output with sixteen effects
// and two music streams playing, and the main-thread time of a stream's first
// fill (eight seconds of Ogg Vorbis decoded before playback starts).
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/config.h"
#include "platform/headless/headless.h"
#include "platform/plt_sound.h"
#include "sound/buffer.h"
#include "sound/sound.h"
#include "sound/stream.h"

namespace {

PltSoundBuffer* MakeBuffer(int rate, int channels, int bits, double seconds, double freq) {
  PltWaveFormat f{};
  f.formatTag = PLT_WAVE_FORMAT_PCM;
  f.channels = static_cast<uint16_t>(channels);
  f.samplesPerSec = static_cast<uint32_t>(rate);
  f.bitsPerSample = static_cast<uint16_t>(bits);
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
  const uint32_t frames = static_cast<uint32_t>(rate * seconds);
  std::vector<uint8_t> data(frames * f.blockAlign);
  for (uint32_t i = 0; i < frames; ++i) {
    double v = std::sin(2 * M_PI * freq * i / rate) * 0.3;
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        data[i * channels + c] = static_cast<uint8_t>(128 + v * 127);
      } else {
        int16_t s = static_cast<int16_t>(v * 32767);
        std::memcpy(&data[(i * channels + c) * 2], &s, 2);
      }
    }
  }
  return BUF_Create(&f, static_cast<uint32_t>(data.size()), data.data());
}

// One iteration mixes one second of output in 1024-frame callbacks.
void BM_MixSecond16Effects2Streams(benchmark::State& state) {
  SND_Init(nullptr);
  std::vector<PltSoundBuffer*> buffers;
  const int rates[] = {11025, 22050, 44100, 48000};
  for (int i = 0; i < 16; ++i) {
    PltSoundBuffer* b = MakeBuffer(rates[i % 4], 1 + i % 2, i % 3 == 0 ? 8 : 16, 1.5, 200 + 40 * i);
    BUF_SetVolume(b, 100 + i * 9);
    BUF_Play(b, 1);
    buffers.push_back(b);
  }
  for (int i = 0; i < 2; ++i) {
    PltSoundBuffer* b = MakeBuffer(44100, 2, 16, 8.0, 330 + 110 * i);
    BUF_SetVolume(b, 200);
    BUF_Play(b, 1);
    buffers.push_back(b);
  }
  std::vector<int16_t> out(1024 * 2);
  for (auto _ : state) {
    for (int done = 0; done < PLT_SOUND_RATE; done += 1024) {
      PLT_SoundMix(out.data(), std::min(1024, PLT_SOUND_RATE - done), nullptr, 0);
    }
    benchmark::DoNotOptimize(out.data());
  }
  // Percent of one core: processor time per second of audio, times 100.
  state.counters["core_pct"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  for (PltSoundBuffer*& b : buffers) BUF_Release(&b);
  SND_Release();
}
BENCHMARK(BM_MixSecond16Effects2Streams)->Unit(benchmark::kMillisecond);

// STRM_Open + STRM_Play of an Ogg piece: the first fill of eight seconds.
void BM_StreamFirstFill(benchmark::State& state) {
  char tmpl[] = "/tmp/zv_bench_sound_XXXXXX";
  if (!mkdtemp(tmpl)) {
    state.SkipWithError("no temp dir");
    return;
  }
  std::string dir = tmpl;
  std::string cmd = "cd " + dir +
                    " && mkdir -p bgm err && sox -n -r 44100 -c 2 -b 16 src.wav synth 20 sine "
                    "220:880 vol 0.5 >/dev/null 2>&1 && oggenc -Q -q 4 -o bgm/bgm_001.ogg src.wav "
                    ">/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) {
    state.SkipWithError("sox/oggenc not available");
    return;
  }
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd) || chdir(dir.c_str()) != 0) return;
  CFG_Defaults();
  SND_Init(nullptr);
  for (auto _ : state) {
    STRM_Open(0, "bgm_001.ogg");
    STRM_Play(0, 1);
    state.PauseTiming();
    STRM_Release(0);
    state.ResumeTiming();
  }
  SND_Release();
  if (chdir(cwd) != 0) state.SkipWithError("chdir back failed");
  if (std::system(("rm -rf " + dir).c_str()) != 0) state.SkipWithError("cleanup failed");
}
BENCHMARK(BM_StreamFirstFill)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

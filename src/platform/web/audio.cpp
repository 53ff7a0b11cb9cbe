// The web backend's sound output: the shared mixer run on the page's clock,
// its blocks handed to Web Audio and played back to back a little ahead of
// the output. No audio thread: the program mixes whenever it yields, and the
// music workers woken by the mixer's notifications run right after each
// mixed chunk, as the headless clock lets them settle.
#include <emscripten.h>

#include <algorithm>
#include <vector>

#include "platform/plt_sound.h"
#include "platform/plt_thread.h"
#include "platform/sound_backend.h"
#include "platform/web/web_backend.h"

EM_JS(int, zv_audio_open, (), { return ZV.audioOpen(); });
EM_JS(void, zv_audio_close, (), { ZV.audioClose(); });
EM_JS(void, zv_audio_play, (const int16_t* pcm, int frames), { ZV.audioPlay(pcm, frames); });
EM_JS(double, zv_audio_ahead, (), { return ZV.audioAhead(); });

namespace {

constexpr int kChunk = 441;             // 10 ms, the headless clock's step
constexpr int kMaxFired = 64;
constexpr double kLeadSeconds = 0.12;   // queued ahead of the output
constexpr double kMaxAheadSeconds = 0.5;
constexpr uint64_t kMaxCatchUp = PLT_SOUND_RATE / 2;  // a stalled tab loses the rest

struct WebAudio {
  bool open = false;
  double openMs = 0;
  uint64_t framesMixed = 0;
  uint64_t msTotal = 0;  // virtual clock
  std::vector<int16_t> block;
};

WebAudio g_audio;

// Mixes frames in chunks, running the workers after every chunk that
// signalled an event.
void Mix(uint64_t frames, bool play) {
  int16_t out[kChunk * 2];
  PltEvent* fired[kMaxFired];
  g_audio.block.clear();
  while (frames > 0) {
    int n = static_cast<int>(std::min<uint64_t>(kChunk, frames));
    int count = PLT_SoundMix(out, n, fired, kMaxFired);
    g_audio.framesMixed += static_cast<uint64_t>(n);
    frames -= static_cast<uint64_t>(n);
    if (play) g_audio.block.insert(g_audio.block.end(), out, out + 2 * n);
    if (count > 0) PLT_WaitEventsSettled(fired, count, 0);
  }
  if (play && !g_audio.block.empty()) {
    zv_audio_play(g_audio.block.data(), static_cast<int>(g_audio.block.size() / 2));
  }
}

}  // namespace

int SNDDEV_BackendOpen() {
  if (g_audio.open) return 1;
  // The context is created suspended; the page resumes it on the first
  // click or key, and until then the mixed sound is dropped.
  if (!WEBB_VirtualClock() && !zv_audio_open()) return 0;
  g_audio.open = true;
  g_audio.openMs = emscripten_get_now();
  g_audio.framesMixed = 0;
  g_audio.msTotal = 0;
  return 1;
}

void SNDDEV_BackendClose() {
  if (!g_audio.open) return;
  g_audio.open = false;
  if (!WEBB_VirtualClock()) zv_audio_close();
}

void WEBB_AudioPump() {
  if (!g_audio.open || WEBB_VirtualClock()) {
    WEBB_RunWorkers();
    return;
  }
  const double elapsed = (emscripten_get_now() - g_audio.openMs) / 1000.0;
  uint64_t target = static_cast<uint64_t>((elapsed + kLeadSeconds) * double{PLT_SOUND_RATE});
  if (target <= g_audio.framesMixed) {
    WEBB_RunWorkers();
    return;
  }
  uint64_t need = target - g_audio.framesMixed;
  if (need > kMaxCatchUp) {
    // Time the page was not running is skipped, not mixed all at once.
    g_audio.framesMixed = target - kMaxCatchUp;
    need = kMaxCatchUp;
  }
  // The output's clock may run a little slower than the page's: hold back
  // rather than queue without end.
  if (zv_audio_ahead() > kMaxAheadSeconds) {
    g_audio.framesMixed += need;
    WEBB_RunWorkers();
    return;
  }
  Mix(need, true);
}

void WEBB_AudioAdvance(uint32_t fromMs, uint32_t toMs) {
  if (!g_audio.open) return;
  g_audio.msTotal += static_cast<uint32_t>(toMs - fromMs);
  const uint64_t target = g_audio.msTotal * PLT_SOUND_RATE / 1000;
  if (target > g_audio.framesMixed) Mix(target - g_audio.framesMixed, false);
}

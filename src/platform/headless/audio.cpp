// The headless sound output: the shared mixer advanced by the virtual clock.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/headless/hl_audio.h"
#include "platform/plt_sound.h"
#include "platform/plt_thread.h"
#include "platform/sound_backend.h"

namespace {

constexpr int kChunk = 441;  // 10 ms
constexpr int kSettleTimeoutMs = 5000;
constexpr int kMaxFired = 64;

struct HlAudio {
  std::mutex mutex;  // the clock may be advanced from more than one thread
  bool open = false;
  bool failOpen = false;
  uint64_t msTotal = 0;
  uint64_t framesMixed = 0;
  bool capturing = false;
  FILE* file = nullptr;
  uint64_t fileBytes = 0;
  std::vector<int16_t> captured;
};

HlAudio& Hl() {
  static HlAudio a;
  return a;
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void WriteHeader(FILE* f, uint64_t dataBytes) {
  uint8_t h[44];
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, static_cast<uint32_t>(36 + dataBytes));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  h[20] = 1, h[21] = 0, h[22] = 2, h[23] = 0;
  Put32(h + 24, PLT_SOUND_RATE);
  Put32(h + 28, PLT_SOUND_RATE * 4);
  h[32] = 4, h[33] = 0, h[34] = 16, h[35] = 0;
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, static_cast<uint32_t>(dataBytes));
  std::fseek(f, 0, SEEK_SET);
  std::fwrite(h, 1, sizeof h, f);
  std::fseek(f, 0, SEEK_END);
}

}  // namespace

int SNDDEV_BackendOpen() {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  if (a.failOpen) return 0;
  a.open = true;
  a.msTotal = 0;
  a.framesMixed = 0;
  return 1;
}

void SNDDEV_BackendClose() {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.open = false;
}

void HL_AudioAdvance(uint32_t fromMs, uint32_t toMs) {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  if (!a.open) return;
  a.msTotal += static_cast<uint32_t>(toMs - fromMs);
  const uint64_t target = a.msTotal * PLT_SOUND_RATE / 1000;
  int16_t out[kChunk * 2];
  PltEvent* fired[kMaxFired];
  while (a.framesMixed < target) {
    int n = static_cast<int>(std::min<uint64_t>(kChunk, target - a.framesMixed));
    int count = PLT_SoundMix(out, n, fired, kMaxFired);
    a.framesMixed += static_cast<uint64_t>(n);
    if (a.capturing) {
      a.captured.insert(a.captured.end(), out, out + 2 * n);
      if (a.file) {
        std::fwrite(out, sizeof(int16_t), static_cast<size_t>(2 * n), a.file);
        a.fileBytes += static_cast<uint64_t>(4 * n);
      }
    }
    // Events are closed only by the thread that advances the clock, so the
    // pointers stay valid while it waits here.
    if (count > 0) PLT_WaitEventsSettled(fired, count, kSettleTimeoutMs);
  }
}

int HL_AudioCaptureStart(const char* path) {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  if (a.file) {
    WriteHeader(a.file, a.fileBytes);
    std::fclose(a.file);
    a.file = nullptr;
  }
  a.captured.clear();
  a.fileBytes = 0;
  a.capturing = true;
  if (path) {
    a.file = std::fopen(path, "wb");
    if (!a.file) {
      a.capturing = false;
      return 0;
    }
    WriteHeader(a.file, 0);
  }
  return 1;
}

void HL_AudioCaptureStop() {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.capturing = false;
  if (a.file) {
    WriteHeader(a.file, a.fileBytes);
    std::fclose(a.file);
    a.file = nullptr;
  }
}

const std::vector<int16_t>& HL_AudioCaptured() {
  return Hl().captured;
}

void HL_AudioFailOpen(int fail) {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.failOpen = fail != 0;
}

uint64_t HL_AudioFramesMixed() {
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  return a.framesMixed;
}

void HL_AudioReset() {
  HL_AudioCaptureStop();
  HlAudio& a = Hl();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.captured.clear();
  a.failOpen = false;
}

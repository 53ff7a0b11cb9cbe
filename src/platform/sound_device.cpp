// The software sound device and its mixer, shared by both backends.
//
// The buffer table is guarded by one mutex: the mixer runs on the audio
// thread (or on the headless clock) while the main thread and the stream
// workers create, play, lock and release buffers. Bytes between Lock and
// Unlock are written without the mutex, as with the hardware interface this
// stands in for: callers write only the part of a buffer the play position
// has already passed, and the notification events order those writes after
// the mixer's reads.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/plt_sound.h"
#include "platform/plt_thread.h"
#include "platform/sound_backend.h"

struct PltSoundBuffer {
  PltWaveFormat format;
  uint8_t* data = nullptr;
  uint32_t size = 0;    // bytes
  uint32_t frames = 0;  // size / block
  uint32_t block = 0;
  uint64_t pos = 0;   // frame position, 32.32 fixed point
  uint64_t step = 0;  // source frames per output frame, 32.32
  bool playing = false;
  bool looping = false;
  int32_t volume = 0;
  int32_t pan = 0;
  int32_t gainL = 1 << 15, gainR = 1 << 15;  // Q15
  struct Note {
    uint32_t frame;  // UINT32_MAX: on stop
    PltEvent* event;
  };
  std::vector<Note> notes;
};

namespace {

struct Device {
  std::mutex mutex;
  bool open = false;
  bool primary = false;
  std::vector<PltSoundBuffer*> buffers;
  std::vector<int32_t> acc;  // mix accumulator, 2 per frame
};

Device& Dev() {
  static Device d;
  return d;
}

int32_t GainFromHundredths(int32_t v) {
  if (v <= PLT_SOUND_VOLUME_MIN) return 0;
  if (v >= 0) return 1 << 15;
  return static_cast<int32_t>(std::lround(std::pow(10.0, v / 2000.0) * 32768.0));
}

void UpdateGains(PltSoundBuffer* b) {
  int32_t g = GainFromHundredths(b->volume);
  // Pan attenuates the far side by |pan| hundredths of a decibel.
  int32_t left = b->pan > 0 ? GainFromHundredths(-b->pan) : 1 << 15;
  int32_t right = b->pan < 0 ? GainFromHundredths(b->pan) : 1 << 15;
  b->gainL = static_cast<int32_t>((static_cast<int64_t>(g) * left) >> 15);
  b->gainR = static_cast<int32_t>((static_cast<int64_t>(g) * right) >> 15);
}

bool Known(Device& d, PltSoundBuffer* b) {
  return b && std::find(d.buffers.begin(), d.buffers.end(), b) != d.buffers.end();
}

void AddFired(PltEvent* e, PltEvent** fired, int maxFired, int* count) {
  PLT_SetEvent(e);
  for (int i = 0; i < *count && i < maxFired; ++i) {
    if (fired[i] == e) return;
  }
  if (fired && *count < maxFired) fired[*count] = e;
  ++*count;
}

void FireStop(PltSoundBuffer* b, PltEvent** fired, int maxFired, int* count) {
  for (const auto& n : b->notes) {
    if (n.frame == UINT32_MAX) AddFired(n.event, fired, maxFired, count);
  }
}

template <int Bits>
inline int32_t Sample(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return (static_cast<int32_t>(*p) - 128) << 8;
  } else {
    int16_t s;
    std::memcpy(&s, p, 2);
    return s;
  }
}

// Mixes n output frames of one buffer into acc; returns the number of source
// frames the position moved past, and flags a one-shot buffer that ended.
template <int Bits, int Channels>
uint64_t MixOne(PltSoundBuffer* b, int32_t* acc, int n, bool* ended) {
  constexpr int kBytes = Bits / 8;
  const uint8_t* data = b->data;
  const uint64_t frames = b->frames;
  const uint64_t end = frames << 32;
  uint64_t pos = b->pos;
  const uint64_t step = b->step;
  const int32_t gl = b->gainL, gr = b->gainR;
  const bool loop = b->looping;
  const uint64_t start = pos;
  int i = 0;
  for (; i < n; ++i) {
    if (pos >= end) {
      if (!loop) {
        *ended = true;
        break;
      }
      pos -= end;
      if (pos >= end) pos %= end;
    }
    const uint64_t idx = pos >> 32;
    const uint64_t nxt = idx + 1 < frames ? idx + 1 : (loop ? 0 : idx);
    // 15 bits of fraction keep (difference x fraction) inside 32 bits.
    const int32_t frac = static_cast<int32_t>((pos >> 17) & 0x7FFF);
    const uint8_t* pa = data + idx * (kBytes * Channels);
    const uint8_t* pb = data + nxt * (kBytes * Channels);
    int32_t l0 = Sample<Bits>(pa), l1 = Sample<Bits>(pb);
    int32_t l = l0 + (((l1 - l0) * frac) >> 15);
    int32_t r = l;
    if constexpr (Channels == 2) {
      int32_t r0 = Sample<Bits>(pa + kBytes), r1 = Sample<Bits>(pb + kBytes);
      r = r0 + (((r1 - r0) * frac) >> 15);
    }
    acc[2 * i] += (l * gl) >> 15;
    acc[2 * i + 1] += (r * gr) >> 15;
    pos += step;
  }
  if (!*ended && pos >= end && !loop) *ended = true;
  b->pos = pos;
  // Frames the position moved past, whichever way it wrapped.
  return ((start + step * static_cast<uint64_t>(i)) >> 32) - (start >> 32);
}

}  // namespace

int PLT_SoundOpen() {
  Device& d = Dev();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.open) return 1;
  }
  if (!SNDDEV_BackendOpen()) return 0;
  std::lock_guard<std::mutex> lock(d.mutex);
  d.open = true;
  return 1;
}

void PLT_SoundClose() {
  Device& d = Dev();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!d.open) return;
  }
  SNDDEV_BackendClose();
  std::lock_guard<std::mutex> lock(d.mutex);
  for (PltSoundBuffer* b : d.buffers) {
    std::free(b->data);
    delete b;
  }
  d.buffers.clear();
  d.open = false;
  d.primary = false;
}

int PLT_SoundIsOpen() {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  return d.open ? 1 : 0;
}

int PLT_SoundSetCooperativeLevel(void*) {
  return PLT_SoundIsOpen();
}

int PLT_SoundCreatePrimary() {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!d.open) return 0;
  d.primary = true;
  return 1;
}

void PLT_SoundReleasePrimary() {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  d.primary = false;
}

int PLT_SoundGetPrimaryFormat(PltWaveFormat* out) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!d.primary || !out) return 0;
  out->formatTag = PLT_WAVE_FORMAT_PCM;
  out->channels = 2;
  out->samplesPerSec = PLT_SOUND_RATE;
  out->bitsPerSample = 16;
  out->blockAlign = 4;
  out->avgBytesPerSec = PLT_SOUND_RATE * 4;
  out->extraSize = 0;
  return 1;
}

PltSoundBuffer* PLT_SoundCreateBuffer(const PltWaveFormat* f, uint32_t bytes) {
  if (!f || f->formatTag != PLT_WAVE_FORMAT_PCM) return nullptr;
  if (f->bitsPerSample != 8 && f->bitsPerSample != 16) return nullptr;
  if (f->channels != 1 && f->channels != 2) return nullptr;
  if (f->samplesPerSec < 100 || f->samplesPerSec > 200000) return nullptr;
  const uint32_t block = f->channels * f->bitsPerSample / 8u;
  if (bytes == 0 || bytes > PLT_SOUND_MAX_BUFFER || bytes % block != 0) return nullptr;
  Device& d = Dev();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!d.open) return nullptr;
  }
  auto* b = new PltSoundBuffer;
  b->data = static_cast<uint8_t*>(std::malloc(bytes));
  if (!b->data) {
    delete b;
    return nullptr;
  }
  std::memset(b->data, f->bitsPerSample == 8 ? 0x80 : 0, bytes);
  b->format = *f;
  b->format.extraSize = 0;
  b->format.blockAlign = static_cast<uint16_t>(block);
  b->size = bytes;
  b->block = block;
  b->frames = bytes / block;
  b->step = (static_cast<uint64_t>(f->samplesPerSec) << 32) / PLT_SOUND_RATE;
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!d.open) {
    std::free(b->data);
    delete b;
    return nullptr;
  }
  d.buffers.push_back(b);
  return b;
}

void PLT_SoundReleaseBuffer(PltSoundBuffer* b) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  auto it = std::find(d.buffers.begin(), d.buffers.end(), b);
  if (it == d.buffers.end()) return;
  d.buffers.erase(it);
  std::free(b->data);
  delete b;
}

uint32_t PLT_SoundBufferSize(PltSoundBuffer* b) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  return Known(d, b) ? b->size : 0;
}

int PLT_SoundGetFormat(PltSoundBuffer* b, PltWaveFormat* out) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || !out) return 0;
  *out = b->format;
  return 1;
}

int PLT_SoundPlay(PltSoundBuffer* b, int loop) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b)) return 0;
  b->looping = loop != 0;
  if (!b->looping && (b->pos >> 32) >= b->frames) b->pos = 0;
  b->playing = true;
  return 1;
}

int PLT_SoundStop(PltSoundBuffer* b) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b)) return 0;
  if (b->playing) {
    b->playing = false;
    int count = 0;
    FireStop(b, nullptr, 0, &count);
  }
  return 1;
}

int PLT_SoundSetPosition(PltSoundBuffer* b, uint32_t offset) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || offset >= b->size) return 0;
  b->pos = static_cast<uint64_t>(offset / b->block) << 32;
  return 1;
}

int PLT_SoundGetPosition(PltSoundBuffer* b, uint32_t* play, uint32_t* write) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b)) return 0;
  uint32_t idx = static_cast<uint32_t>(std::min<uint64_t>(b->pos >> 32, b->frames - 1));
  if (play) *play = idx * b->block;
  // The mixer reads at most one output chunk ahead of the play position.
  if (write) *write = ((idx + b->format.samplesPerSec / 100) % b->frames) * b->block;
  return 1;
}

int PLT_SoundSetVolume(PltSoundBuffer* b, int32_t v) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || v < PLT_SOUND_VOLUME_MIN || v > PLT_SOUND_VOLUME_MAX) return 0;
  b->volume = v;
  UpdateGains(b);
  return 1;
}

int PLT_SoundGetVolume(PltSoundBuffer* b, int32_t* v) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || !v) return 0;
  *v = b->volume;
  return 1;
}

int PLT_SoundSetPan(PltSoundBuffer* b, int32_t pan) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || pan < -10000 || pan > 10000) return 0;
  b->pan = pan;
  UpdateGains(b);
  return 1;
}

int PLT_SoundGetStatus(PltSoundBuffer* b, uint32_t* status) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || !status) return 0;
  uint32_t st = 0;
  if (b->playing) st |= PLT_SOUND_PLAYING;
  if (b->playing && b->looping) st |= PLT_SOUND_LOOPING;
  *status = st;
  return 1;
}

int PLT_SoundLock(PltSoundBuffer* b, uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1,
                  void** p2, uint32_t* n2) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || !p1 || !n1 || offset >= b->size || bytes == 0) return 0;
  bytes = std::min(bytes, b->size);
  uint32_t first = std::min(bytes, b->size - offset);
  *p1 = b->data + offset;
  *n1 = first;
  void* second = nullptr;
  uint32_t secondBytes = 0;
  if (first < bytes) {
    second = b->data;
    secondBytes = bytes - first;
  }
  if (p2) *p2 = second;
  if (n2) *n2 = secondBytes;
  return 1;
}

int PLT_SoundUnlock(PltSoundBuffer* b, void*, uint32_t, void*, uint32_t) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  return Known(d, b) ? 1 : 0;
}

int PLT_SoundSetNotifications(PltSoundBuffer* b, const PltSoundNotify* n, int count) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (!Known(d, b) || b->playing || count < 0 || (count > 0 && !n)) return 0;
  std::vector<PltSoundBuffer::Note> notes;
  for (int i = 0; i < count; ++i) {
    if (!n[i].event) return 0;
    if (n[i].offset == PLT_SOUND_NOTIFY_STOP) {
      notes.push_back({UINT32_MAX, n[i].event});
    } else {
      if (n[i].offset >= b->size) return 0;
      notes.push_back({n[i].offset / b->block, n[i].event});
    }
  }
  b->notes = std::move(notes);
  return 1;
}

namespace {
std::atomic<int> g_soundPaused{0};
}

void PLT_SoundPause(int paused) {
  g_soundPaused.store(paused ? 1 : 0);
}

int PLT_SoundMix(int16_t* out, int frames, PltEvent** fired, int maxFired) {
  Device& d = Dev();
  std::lock_guard<std::mutex> lock(d.mutex);
  int firedCount = 0;
  if (frames <= 0) return 0;
  if (g_soundPaused.load()) {
    // Every buffer stands still where it is, so music and effects go on
    // from there when the pause ends.
    if (out) std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    return 0;
  }
  if (d.acc.size() < static_cast<size_t>(frames) * 2) d.acc.resize(static_cast<size_t>(frames) * 2);
  int32_t* acc = d.acc.data();
  std::memset(acc, 0, sizeof(int32_t) * 2 * frames);
  for (PltSoundBuffer* b : d.buffers) {
    if (!b->playing) continue;
    const uint32_t startIdx = static_cast<uint32_t>(b->pos >> 32) % b->frames;
    bool ended = false;
    uint64_t played;
    const int key = (b->format.bitsPerSample == 16 ? 2 : 0) + (b->format.channels == 2 ? 1 : 0);
    switch (key) {
      case 0:
        played = MixOne<8, 1>(b, acc, frames, &ended);
        break;
      case 1:
        played = MixOne<8, 2>(b, acc, frames, &ended);
        break;
      case 2:
        played = MixOne<16, 1>(b, acc, frames, &ended);
        break;
      default:
        played = MixOne<16, 2>(b, acc, frames, &ended);
        break;
    }
    // Notify every offset whose frame was played in this chunk (counted
    // from the start frame, whichever way the position wrapped).
    if (!b->notes.empty() && played > 0) {
      for (const auto& n : b->notes) {
        if (n.frame == UINT32_MAX) continue;
        uint64_t dist = (static_cast<uint64_t>(n.frame) + b->frames - startIdx) % b->frames;
        if (dist < played) AddFired(n.event, fired, maxFired, &firedCount);
      }
    }
    if (ended) {
      b->playing = false;
      b->pos = static_cast<uint64_t>(b->frames) << 32;
      FireStop(b, fired, maxFired, &firedCount);
    }
  }
  for (int i = 0; i < 2 * frames; ++i) {
    out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
  }
  return std::min(firedCount, maxFired);
}

// The sound device's secondary buffers: created, filled, played and released
// for the effect slots and the music streams alike.
#include "sound/buffer.h"

#include <cmath>
#include <cstring>

namespace {
struct BufferState {
  bool deviceOpen = false;
  int percent[BUF_GROUPS] = {100, 100};
  bool muted = false;
};
BufferState g_buf;
}  // namespace

void BUF_SetDeviceOpen(int open) {
  g_buf.deviceOpen = open != 0;
}

int BUF_DeviceOpen() {
  return g_buf.deviceOpen ? 1 : 0;
}

int32_t BUF_VolumeToHundredths(int volume) {
  if (volume <= 0) return PLT_SOUND_VOLUME_MIN;
  if (volume >= 255) return 0;
  double db = 2000.0 * std::log10(volume / 255.0);
  return db < -10000.0 ? PLT_SOUND_VOLUME_MIN : static_cast<int32_t>(db);
}

PltSoundBuffer* BUF_Create(const PltWaveFormat* format, uint32_t size, const void* data) {
  if (!g_buf.deviceOpen) return nullptr;
  PltSoundBuffer* b = PLT_SoundCreateBuffer(format, size);
  if (!b) return nullptr;
  if (data) {
    void *p1, *p2;
    uint32_t n1, n2;
    if (!PLT_SoundLock(b, 0, size, &p1, &n1, &p2, &n2)) {
      PLT_SoundReleaseBuffer(b);
      return nullptr;
    }
    std::memcpy(p1, data, n1);
    if (p2) std::memcpy(p2, static_cast<const uint8_t*>(data) + n1, n2);
    PLT_SoundUnlock(b, p1, n1, p2, n2);
  }
  PLT_SoundSetPosition(b, 0);
  PLT_SoundSetPan(b, 0);
  return b;
}

int BUF_Play(PltSoundBuffer* b, int loop) {
  return b ? PLT_SoundPlay(b, loop) : 0;
}
int BUF_Stop(PltSoundBuffer* b) {
  return b ? PLT_SoundStop(b) : 0;
}
int BUF_SetPosition(PltSoundBuffer* b, uint32_t offset) {
  return b ? PLT_SoundSetPosition(b, offset) : 0;
}
int BUF_SetVolume(PltSoundBuffer* b, int volume) {
  return BUF_SetGroupVolume(b, volume, BUF_GROUP_SE);
}

void BUF_SetMix(int sePercent, int musicPercent, int muted) {
  g_buf.percent[BUF_GROUP_SE] = sePercent < 0 ? 0 : sePercent > 100 ? 100 : sePercent;
  g_buf.percent[BUF_GROUP_MUSIC] = musicPercent < 0 ? 0 : musicPercent > 100 ? 100 : musicPercent;
  g_buf.muted = muted != 0;
}

int32_t BUF_MixedHundredths(int volume, int group) {
  const int32_t base = BUF_VolumeToHundredths(volume);
  const int p = g_buf.percent[group == BUF_GROUP_MUSIC ? BUF_GROUP_MUSIC : BUF_GROUP_SE];
  if (g_buf.muted || p <= 0 || base <= PLT_SOUND_VOLUME_MIN) return PLT_SOUND_VOLUME_MIN;
  // At 100 % the volume is exactly the one the effect asked for.
  if (p >= 100) return base;
  // The share is an amplitude factor, as the 0..255 volumes are.
  const double db = base + 2000.0 * std::log10(p / 100.0);
  return db <= static_cast<double>(PLT_SOUND_VOLUME_MIN) ? static_cast<int32_t>(PLT_SOUND_VOLUME_MIN)
                                                       : static_cast<int32_t>(db);
}

int BUF_SetGroupVolume(PltSoundBuffer* b, int volume, int group) {
  return b ? PLT_SoundSetVolume(b, BUF_MixedHundredths(volume, group)) : 0;
}
int BUF_IsPlaying(PltSoundBuffer* b) {
  uint32_t status = 0;
  return b && PLT_SoundGetStatus(b, &status) && (status & PLT_SOUND_PLAYING) ? 1 : 0;
}
void BUF_Release(PltSoundBuffer** b) {
  if (!*b) return;
  PLT_SoundStop(*b);
  PLT_SoundReleaseBuffer(*b);
  *b = nullptr;
}

void BUF_Reset() {
  g_buf = BufferState{};
}

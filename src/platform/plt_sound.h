// The sound device: a primary format and secondary buffers of any PCM format,
// mixed in software. Shaped like the buffer interface the sound modules were
// designed against: play once or looping, stop, position, volume in
// hundredths of a decibel, status, lock/unlock and position notifications.
#pragma once
#include <cstdint>

struct PltEvent;
struct PltSoundBuffer;

#pragma pack(push, 1)
// WAVEFORMATEX: 18 bytes, extraSize bytes of codec data follow it.
struct PltWaveFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  uint16_t extraSize;
};
#pragma pack(pop)
static_assert(sizeof(PltWaveFormat) == 18);

enum : uint16_t { PLT_WAVE_FORMAT_PCM = 1 };
enum : int32_t { PLT_SOUND_VOLUME_MIN = -10000, PLT_SOUND_VOLUME_MAX = 0 };
// Status bits.
enum : uint32_t { PLT_SOUND_PLAYING = 0x1, PLT_SOUND_LOOPING = 0x4 };
// Notification offset meaning "when the buffer stops".
enum : uint32_t { PLT_SOUND_NOTIFY_STOP = 0xFFFFFFFFu };
// Largest buffer the device accepts.
enum : uint32_t { PLT_SOUND_MAX_BUFFER = 256u << 20 };

struct PltSoundNotify {
  uint32_t offset;  // byte offset in the buffer, or PLT_SOUND_NOTIFY_STOP
  PltEvent* event;
};

// Device. Open returns 1, or 0 when there is no audio output.
int PLT_SoundOpen();
void PLT_SoundClose();
int PLT_SoundIsOpen();
// Window the device belongs to (it keeps playing while the window is inactive).
int PLT_SoundSetCooperativeLevel(void* window);
// The primary buffer fixes the output format; PLT_SoundGetPrimaryFormat
// reports it (44100 Hz, 16-bit stereo).
int PLT_SoundCreatePrimary();
void PLT_SoundReleasePrimary();
int PLT_SoundGetPrimaryFormat(PltWaveFormat* out);

// Secondary buffers: 8-bit unsigned or 16-bit signed PCM, 1 or 2 channels,
// any rate from 100 to 200000 Hz, size a whole number of blocks. Null when
// the format or size is not supported or the device is closed. A new buffer
// holds silence, position 0, volume 0 (full), stopped.
PltSoundBuffer* PLT_SoundCreateBuffer(const PltWaveFormat* format, uint32_t bytes);
void PLT_SoundReleaseBuffer(PltSoundBuffer* b);
uint32_t PLT_SoundBufferSize(PltSoundBuffer* b);
int PLT_SoundGetFormat(PltSoundBuffer* b, PltWaveFormat* out);
int PLT_SoundPlay(PltSoundBuffer* b, int loop);
// Stops; signals the stop notification when the buffer was playing.
int PLT_SoundStop(PltSoundBuffer* b);
int PLT_SoundSetPosition(PltSoundBuffer* b, uint32_t offset);
int PLT_SoundGetPosition(PltSoundBuffer* b, uint32_t* play, uint32_t* write);
int PLT_SoundSetVolume(PltSoundBuffer* b, int32_t hundredthsDb);
int PLT_SoundGetVolume(PltSoundBuffer* b, int32_t* hundredthsDb);
int PLT_SoundSetPan(PltSoundBuffer* b, int32_t pan);
int PLT_SoundGetStatus(PltSoundBuffer* b, uint32_t* status);
// Lock bytes at offset; the region comes in two pieces when it wraps past
// the end (the second null otherwise). bytes is clamped to the buffer size.
int PLT_SoundLock(PltSoundBuffer* b, uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1,
                  void** p2, uint32_t* n2);
int PLT_SoundUnlock(PltSoundBuffer* b, void* p1, uint32_t n1, void* p2, uint32_t n2);
// Registers position notifications (replacing earlier ones); only while
// stopped. An event is signalled when the play position reaches its offset,
// or when the buffer stops.
int PLT_SoundSetNotifications(PltSoundBuffer* b, const PltSoundNotify* n, int count);

// Mixer entry for the backends: mixes every playing buffer into frames of
// interleaved 16-bit stereo at the primary rate and advances them, signalling
// notifications. Returns the events signalled (up to max written to fired).
int PLT_SoundMix(int16_t* out, int frames, PltEvent** fired, int maxFired);
enum : int { PLT_SOUND_RATE = 44100 };
// While paused the mixer gives silence and no buffer moves (the window is minimised).
void PLT_SoundPause(int paused);

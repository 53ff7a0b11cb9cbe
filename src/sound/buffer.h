// The sound device's secondary buffers, shared by the effect slots and the
// music streams. Nothing is created while the device is closed.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

// Whether the device is open (the sound module says so when it opens and
// closes it).
void BUF_SetDeviceOpen(int open);
int BUF_DeviceOpen();

int32_t BUF_VolumeToHundredths(int volume);  // 0..255 -> -10000..0
// Creates a secondary buffer; data (size bytes) is copied in when given;
// position 0, pan 0.
PltSoundBuffer* BUF_Create(const PltWaveFormat* format, uint32_t size, const void* data);
int BUF_Play(PltSoundBuffer* b, int loop);
int BUF_Stop(PltSoundBuffer* b);
int BUF_SetPosition(PltSoundBuffer* b, uint32_t offset);
int BUF_SetVolume(PltSoundBuffer* b, int volume);  // 0..255
int BUF_IsPlaying(PltSoundBuffer* b);
void BUF_Release(PltSoundBuffer** b);  // stops, releases, clears the pointer
// The device closed (tests; the sound module releases its buffers first).
void BUF_Reset();

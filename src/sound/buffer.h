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
int BUF_SetVolume(PltSoundBuffer* b, int volume);  // 0..255, an effect's buffer
// The player's mix on top of the volumes above: the effects' and the
// music's share in per cent (100 changes nothing) and muting both.
enum : int { BUF_GROUP_SE = 0, BUF_GROUP_MUSIC = 1, BUF_GROUPS = 2 };
void BUF_SetMix(int sePercent, int musicPercent, int muted);
int32_t BUF_MixedHundredths(int volume, int group);
int BUF_SetGroupVolume(PltSoundBuffer* b, int volume, int group);
int BUF_IsPlaying(PltSoundBuffer* b);
void BUF_Release(PltSoundBuffer** b);  // stops, releases, clears the pointer
// The device closed (tests; the sound module releases its buffers first).
void BUF_Reset();

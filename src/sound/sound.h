// The sound device, the sixteen sound-effect slots and the twelve managed
// effect records with their fades.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

enum : int { SND_SLOTS = 16, SND_RECORDS = 12, SND_FPS = 30 };

struct SeSlot {
  PltSoundBuffer* buffer;
  uint32_t loop;
  uint32_t volume;
  uint32_t started;  // PLT_TimeMs of the last start
};

// Managed effect record (AVG_PlaySE2).
struct SeRecord {
  int32_t inUse;
  int32_t number;
  int32_t slot;
  int32_t counter;
  int32_t fade;
  int32_t loop;
  int32_t volume;  // applied in the last frame
  int32_t startVolume;
  int32_t targetVolume;
  int32_t stop;
};

// Device.
int SND_Init(void* window);
void SND_Release();
void SND_StopAll();
int SND_HasDevice();
// The primary format (also that of the silence buffer).
const PltWaveFormat* SND_PrimaryFormat();
// Resource group of the sound effects ("wav" unless set).
void SND_SetSEDir(const char* group);
const char* SND_SEDir();

// Slots: nothing and 0 without a device or for a slot outside 0..15.
int SND_LoadSlot(int slot, const char* name);
int SND_SetVolume(int slot, int volume);
int SND_Play(int slot, const char* name, int loop, int volume);
int SND_HasBuffer(int slot);
int SND_IsPlaying(int slot);
int SND_IsLoop(int slot);
uint32_t SND_StartTime(int slot);
int SND_Stop(int slot);
int SND_Free(int slot);
PltSoundBuffer* SND_SlotBuffer(int slot);

// Numbered effects "se_%03d.wav".
int SND_PlaySE(int number, int loop, int volume);
void SND_UpdateSE();
void AVG_PlaySE2(int record, int number, int fade, int loop, int volume);
void AVG_StopSE2(int record, int fade);
void SND_SetSEEnable(int on);
// Applies the player's mix (the "vol_se" and "vol_bgm" settings and muting)
// to every playing effect and stream.
void SND_ApplyMix(int muted);
int AVG_GetSE2Slot(int record);
const SeRecord* AVG_GetSE2Record(int record);

// A sound file as one static buffer of PCM: WAV (PCM or compressed) or, by
// the extension "ogg", Ogg Vorbis. *size receives the buffer's size.
PltSoundBuffer* SND_LoadSound(const char* name, uint32_t* size);
// Releases the device if it is open and goes back to the start state, the
// sound-effect group included (tests).
void SND_Reset();

// Whole sounds decoded to PCM: the format and the samples of a WAV (PCM or
// compressed) or, by the extension "ogg", an Ogg Vorbis file of the
// sound-effect group. The sound module turns them into device buffers.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

struct PcmSound {
  PltWaveFormat format;
  uint8_t* data;  // owned; free with PCM_Free
  uint32_t size;  // whole blocks; may be 0
};

// Resource group of the sound effects ("wav" unless set).
void PCM_SetGroup(const char* group);
const char* PCM_Group();
// Decodes the named sound. Returns 1 (out->size may be 0 when nothing could
// be decoded), or 0 when it could not be read or converted, after the
// player's message.
int PCM_Load(const char* name, PcmSound* out);
void PCM_Free(PcmSound* s);
// Back to the start state (tests).
void PCM_Reset();

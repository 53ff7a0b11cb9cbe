// WAV files: whole-file parsing from memory, piecewise reading for streams,
// compressed-WAV conversion and loading a sound file into one buffer.
#pragma once
#include <cstdint>

#include "platform/plt_acm.h"
#include "platform/plt_sound.h"

struct PltFile;

#pragma pack(push, 1)
// A format and its codec bytes, as a WAV "fmt " chunk holds them.
struct WavFormatArea {
  PltWaveFormat wf;
  uint8_t extra[PLT_WAVE_FORMAT_AREA - sizeof(PltWaveFormat)];
};
#pragma pack(pop)
static_assert(sizeof(WavFormatArea) == PLT_WAVE_FORMAT_AREA);

// Reader of a WAV file for streaming.
struct WavReader {
  PltFile* file;
  int64_t fileSize;
  int64_t riffData;    // offset of the form type "WAVE"
  int64_t riffEnd;     // end of the RIFF chunk (clamped to the file)
  int64_t dataOffset;  // first byte of the data chunk
  uint32_t dataSize;
  uint32_t remaining;  // bytes of the data chunk not read yet
};

// Loads the whole file from the sound-effect group; returns the data chunk
// in a new buffer (free with std::free) and its size, 0 when not a valid WAV.
uint32_t WAV_LoadMemory(const char* name, uint8_t** data, WavFormatArea* format);
// Parses a WAV image already in memory (WAV_LoadMemory's work); *data points
// into image.
uint32_t WAV_ParseMemory(const uint8_t* image, uint32_t size, const uint8_t** data,
                         WavFormatArea* format);
WavReader* WAV_Open(const char* name, WavFormatArea* format);
int WAV_SeekData(WavReader* r);
uint32_t WAV_Read(WavReader* r, void* dest, uint32_t count);
void WAV_Close(WavReader** r);

// 16-bit PCM of the source's channels and rate.
void ACM_PcmFormatFor(const PltWaveFormat* src, PltWaveFormat* dst);
uint32_t ACM_Convert(const PltWaveFormat* src, const uint8_t* srcData, uint32_t srcSize,
                     const PltWaveFormat* dst, uint8_t* dest);
uint32_t ACM_OutputSize(const PltWaveFormat* src, uint32_t size, const PltWaveFormat* dst);

// A sound file as one static buffer of PCM: WAV (PCM or compressed) or, by
// the extension "ogg", Ogg Vorbis. *size receives the buffer's size.
PltSoundBuffer* SND_LoadSound(const char* name, uint32_t* size);

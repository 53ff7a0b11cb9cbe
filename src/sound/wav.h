// WAV files: whole-file parsing from memory and piecewise reading for
// streams.
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

// Loads the whole file from the resource group; returns the data chunk in a
// new buffer (free with std::free) and its size, 0 when not a valid WAV.
uint32_t WAV_LoadMemory(const char* group, const char* name, uint8_t** data, WavFormatArea* format);
// Parses a WAV image already in memory (WAV_LoadMemory's work); *data points
// into image.
uint32_t WAV_ParseMemory(const uint8_t* image, uint32_t size, const uint8_t** data,
                         WavFormatArea* format);
WavReader* WAV_Open(const char* name, WavFormatArea* format);
int WAV_SeekData(WavReader* r);
uint32_t WAV_Read(WavReader* r, void* dest, uint32_t count);
void WAV_Close(WavReader** r);

// Compressed WAV data (IMA and Microsoft ADPCM, and whatever else the codec
// layer offers) converted to 16-bit PCM.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

// 16-bit PCM of the source's channels and rate.
void ACM_PcmFormatFor(const PltWaveFormat* src, PltWaveFormat* dst);
uint32_t ACM_Convert(const PltWaveFormat* src, const uint8_t* srcData, uint32_t srcSize,
                     const PltWaveFormat* dst, uint8_t* dest);
uint32_t ACM_OutputSize(const PltWaveFormat* src, uint32_t size, const PltWaveFormat* dst);

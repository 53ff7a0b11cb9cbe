// Conversion of compressed WAV data (IMA and MS ADPCM and the other formats
// the codec library reads from a WAV format block) to 16-bit PCM, shaped like
// the audio compression manager's conversion streams.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

struct PltAcmStream;

// Bytes of a WAV format area: the 18-byte format and up to 38 extra bytes.
enum : int { PLT_WAVE_FORMAT_AREA = 56 };

// Opens a conversion from src to dst. Decoding needs dst to be 16-bit PCM of
// src's channels and rate; the opposite direction (PCM to the compressed
// format) is open for size questions only. The format's extra bytes follow
// it in memory (extraSize of them, at most 38 are read). Null when no codec
// handles the pair.
PltAcmStream* PLT_AcmStreamOpen(const PltWaveFormat* src, const PltWaveFormat* dst);
void PLT_AcmStreamClose(PltAcmStream* s);
// Bytes of output that srcBytes of input convert to. 1 or 0.
int PLT_AcmStreamSize(PltAcmStream* s, uint32_t srcBytes, uint32_t* dstBytes);
// Converts srcBytes of input into at most dstCapacity bytes of output; the
// bytes written (a shortfall is zero-filled up to the size above). 1 or 0.
int PLT_AcmStreamConvert(PltAcmStream* s, const uint8_t* src, uint32_t srcBytes, uint8_t* dst,
                         uint32_t dstCapacity, uint32_t* written);

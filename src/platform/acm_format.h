// The format arithmetic every codec layer shares (plt_acm.h): the format
// block with its extra bytes, which pairs decode, and the size of PCM once
// encoded, which no codec is asked for.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/plt_acm.h"

// Extra bytes of a format that are read, at most.
enum : int { PLT_ACM_MAX_EXTRA = PLT_WAVE_FORMAT_AREA - static_cast<int>(sizeof(PltWaveFormat)) };

// The format and its extra bytes (at most PLT_ACM_MAX_EXTRA, the count in
// the copy cut to match).
std::vector<uint8_t> PLT_AcmFormatBlock(const PltWaveFormat* f);
// True when pcm is 16-bit PCM of other's channels and rate.
bool PLT_AcmFormatIsPcm16For(const PltWaveFormat* pcm, const PltWaveFormat* other);
// Bytes that srcBytes of 16-bit PCM take in the compressed format block:
// whole blocks of its samples per block, or by its byte rate when it names
// none. 1, or 0 when the answer does not fit 32 bits.
int PLT_AcmFormatEncodedSize(const std::vector<uint8_t>& block, uint32_t srcBytes,
                             uint32_t* dstBytes);

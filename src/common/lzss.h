// LZSS compression of archive entries.
#pragma once
#include <cstdint>

enum : int { LZS_RING = 4096 };

// Decodes an LZSS stream; returns the bytes produced (expected + 1 on overrun,
// of which only expected were stored).
int LZS_Decode(uint8_t* out, const uint8_t* in, int inLength, int expected);
// Encodes data as an LZSS stream that LZS_Decode reads back exactly.
int LZS_Encode(const uint8_t* in, int length, uint8_t* out, int outCapacity);
int LZS_EncodeBound(int length);
// The most bytes a stream of n bytes can produce.
int64_t LZS_MaxOutput(int64_t n);

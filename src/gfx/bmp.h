// Decoding BMP pictures (8- and 24-bit, optional alpha plane after 8-bit
// pixel data).
#pragma once
#include <cstdint>

#include "gfx/image.h"

// Decoders, one per target format: read `name` from the image group, fill the
// record top row first and report the file's alpha announcement. 1 or 0.
int BMP_ToB(const char* name, BImage* img, int32_t* alphaFlag);
int BMP_ToF(const char* name, FImage* img, int32_t* alphaFlag);

// The same decoders over a file already in memory (`name` only labels the
// messages). Every size and offset of the headers is checked against `length`;
// a file that does not hold what its header promises fails with a warning.
int BMP_DecodeB(const char* name, const uint8_t* data, int length, BImage* img, int32_t* alphaFlag);
int BMP_DecodeF(const char* name, const uint8_t* data, int length, FImage* img, int32_t* alphaFlag);

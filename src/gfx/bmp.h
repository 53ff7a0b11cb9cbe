// Loading BMP pictures (8- and 24-bit, optional alpha plane after 8-bit pixel
// data) into image slots.
#pragma once
#include <cstdint>

#include "gfx/image.h"

// Frees the slot, marks it used with the requested format (FMT_B keeps 8-bit
// pictures palettised, FMT_F converts to 24-bit) and decodes the file of the
// image group into it. Returns 1, or 0 with the slot used and empty.
int IMG_LoadBMP(int slot, int format, const char* name);

// Decoders, one per target format: read `name` from the image group, fill the
// record top row first and report the file's alpha announcement. 1 or 0.
int BMP_ToB(const char* name, BImage* img, int32_t* alphaFlag);
int BMP_ToF(const char* name, FImage* img, int32_t* alphaFlag);

// The same decoders over a file already in memory (`name` only labels the
// messages). Every size and offset of the headers is checked against `length`;
// a file that does not hold what its header promises fails with a warning.
int BMP_DecodeB(const char* name, const uint8_t* data, int length, BImage* img, int32_t* alphaFlag);
int BMP_DecodeF(const char* name, const uint8_t* data, int length, FImage* img, int32_t* alphaFlag);

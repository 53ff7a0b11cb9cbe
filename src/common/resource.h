// Whole-file loading by resource group and name: loose files, "GROUP.TVN" and
// "pak\GROUP.TVN" archives with optional LZSS compression.
#pragma once
#include <cstdint>

struct PltFile;

enum : int { ARC_ENTRY_SIZE = 36, ARC_NAME_SIZE = 24, LZS_RING = 4096 };
extern const uint32_t ARC_MAGIC;  // "KCAP" read as a little-endian word

// Loads the whole file into a new buffer (free with RES_Free). Returns the
// length, 0 when it was found nowhere (after the warning box).
int RES_Load(const char* group, const char* name, uint8_t** out);
int RES_ReadFile(const char* path, uint8_t** out);
int ARC_Read(const char* archive, const char* name, uint8_t** out);
// Opens a stored entry or loose file for sequential reading; *file is closed
// first if open. Returns the length or 0.
int RES_OpenStream(const char* group, const char* name, PltFile** file);
// Decodes an LZSS stream; returns the bytes produced (expected + 1 on overrun,
// of which only expected were stored).
int LZS_Decode(uint8_t* out, const uint8_t* in, int inLength, int expected);
// Encodes data as an LZSS stream that LZS_Decode reads back exactly.
int LZS_Encode(const uint8_t* in, int length, uint8_t* out, int outCapacity);
int LZS_EncodeBound(int length);
void RES_Free(uint8_t* buf);

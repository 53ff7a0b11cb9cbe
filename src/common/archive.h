// Packed archives "GROUP.TVN": magic "KCAP", a count, then 36-byte entries
// (compressed flag, 24-byte name, offset, size).
#pragma once
#include <cstdint>

struct PltFile;

enum : int { ARC_ENTRY_SIZE = 36, ARC_NAME_SIZE = 24 };
extern const uint32_t ARC_MAGIC;  // "KCAP" read as a little-endian word

// Loads the named entry (unpacked) into a new buffer (free with RES_Free).
// Returns the length, 0 when the archive or the entry is missing or damaged.
int ARC_Read(const char* archive, const char* name, uint8_t** out);
// With file open at the start of an archive: finds the named entry and
// leaves the file at its first byte. Returns its stored length, or 0.
int ARC_Seek(PltFile* file, const char* name);

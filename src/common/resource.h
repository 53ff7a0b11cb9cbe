// Whole-file loading by resource group and name: loose files, "GROUP.TVN" and
// "pak\GROUP.TVN" archives with optional LZSS compression.
#pragma once
#include <cstdint>

struct PltFile;

// Loads the whole file into a new buffer (free with RES_Free). Returns the
// length, 0 when it was found nowhere (after the warning box).
int RES_Load(const char* group, const char* name, uint8_t** out);
int RES_ReadFile(const char* path, uint8_t** out);
// Opens a stored entry or loose file for sequential reading; *file is closed
// first if open. Returns the length or 0.
int RES_OpenStream(const char* group, const char* name, PltFile** file);
void RES_Free(uint8_t* buf);

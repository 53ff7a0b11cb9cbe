// The registry operations the settings and the window position go through:
// one current key, values read and written by name.
#pragma once
#include <cstdint>

extern const char* const REG_KEY_MAIN;    // SoftWare\TAVREN\Zentrova
extern const char* const REG_KEY_CONFIG;  // SoftWare\TAVREN\Zentrova\config

void REG_SetKey(const char* path);
int REG_WriteDword(const char* name, uint32_t value);
int REG_WriteBinary(const char* name, const void* data, uint32_t length);
int REG_Read(const char* name, void* dest, uint32_t length);
int REG_ReadDword(const char* name, void* dest);
int REG_ReadOrCreate(const char* name, int32_t* dest);
// Back to the main key (tests).
void REG_Reset();

// Small file and arithmetic utilities.
#pragma once
#include <cstdint>

int FILE_WriteAll(const char* path, const void* data, int length);
int FILE_Append(const char* path, const void* data, int length);
// Positioned read of an existing file: returns bytes read (0 when it cannot be opened).
int FILE_ReadAt(const char* path, int64_t offset, void* data, int length);
// Positioned write that creates the file but never truncates it: returns bytes written.
int FILE_WriteAt(const char* path, int64_t offset, const void* data, int length);
// The text after the last '.', or null when the name has no '.' after its first character.
const char* FILE_Extension(const char* name);
int UTIL_Clamp(int low, int value, int high);
int UTIL_Triangle(int a, int b);

// The engine's random generator (seeded at start-up from the clock).
void RNG_Seed(uint32_t seed);
int RNG_Next();  // 0..32767, like the C library's rand()

// Small file utilities.
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

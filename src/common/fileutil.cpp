// Small file and arithmetic utilities, and the engine's random generator.
#include "common/fileutil.h"

#include <cstring>

#include "platform/plt_file.h"

namespace {
int Write(const char* path, int mode, int64_t offset, const void* data, int length) {
  if (length < 0) return 0;
  PltFile* f = PLT_FileOpen(path, mode);
  if (!f) return 0;
  if (offset >= 0 && PLT_FileSeek(f, offset, 0) != offset) {
    PLT_FileClose(f);
    return 0;
  }
  int64_t n = PLT_FileWrite(f, data, length);
  PLT_FileClose(f);
  return n < 0 ? 0 : static_cast<int>(n);
}
}  // namespace

int FILE_WriteAll(const char* path, const void* data, int length) {
  return Write(path, PLT_OPEN_WRITE_TRUNC, -1, data, length);
}

int FILE_Append(const char* path, const void* data, int length) {
  return Write(path, PLT_OPEN_APPEND, -1, data, length);
}

int FILE_WriteAt(const char* path, int64_t offset, const void* data, int length) {
  return Write(path, PLT_OPEN_WRITE_KEEP, offset, data, length);
}

int FILE_ReadAt(const char* path, int64_t offset, void* data, int length) {
  if (length <= 0 || offset < 0) return 0;
  PltFile* f = PLT_FileOpen(path, PLT_OPEN_READ);
  if (!f) return 0;
  int64_t n = 0;
  if (PLT_FileSeek(f, offset, 0) == offset) n = PLT_FileRead(f, data, length);
  PLT_FileClose(f);
  return n < 0 ? 0 : static_cast<int>(n);
}

const char* FILE_Extension(const char* name) {
  if (!name || !name[0]) return nullptr;
  const char* dot = std::strrchr(name + 1, '.');
  return dot ? dot + 1 : nullptr;
}

int UTIL_Clamp(int low, int value, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

int UTIL_Triangle(int a, int b) {
  if (b <= 0) return 0;
  int r = a % (2 * b);
  return r < b ? r : 2 * b - r;
}

namespace {
// A small linear congruential generator with fixed constants, so that a seed
// gives the same sequence on every machine and in every replay.
uint32_t g_rng = 1;
}  // namespace

void RNG_Seed(uint32_t seed) {
  g_rng = seed;
}

int RNG_Next() {
  g_rng = g_rng * 214013u + 2531011u;
  return static_cast<int>((g_rng >> 16) & 0x7FFF);
}

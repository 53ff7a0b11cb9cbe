// Small file utilities.
#include "common/file.h"

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

// Whole-file loading by resource group and name: loose files first, then the
// group's archive beside the program, then the one in "pak".
#include "common/resource.h"

#include <cstdio>
#include <cstdlib>

#include "common/archive.h"
#include "common/log.h"
#include "common/msg.h"
#include "platform/plt_file.h"

void RES_Free(uint8_t* buf) {
  std::free(buf);
}

int RES_ReadFile(const char* path, uint8_t** out) {
  *out = nullptr;
  PltFile* f = PLT_FileOpen(path, PLT_OPEN_READ);
  if (!f) return 0;
  int64_t size = PLT_FileSize(f);
  if (size <= 0 || size > 0x7FFFFFFF) {
    PLT_FileClose(f);
    return 0;
  }
  uint8_t* buf = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(size), 1));
  if (!buf) {
    PLT_FileClose(f);
    return 0;
  }
  int64_t got = PLT_FileRead(f, buf, size);
  PLT_FileClose(f);
  if (got != size) LOG_Write("ファイルサイズと読みこみサイズが違うなり、何ゆえ？");
  *out = buf;
  return static_cast<int>(size);
}

int RES_Load(const char* group, const char* name, uint8_t** out) {
  *out = nullptr;
  if (!group) {
    int n = RES_ReadFile(name, out);
    if (n == 0) MSG_Error(nullptr, "ファイルが開けません[%s]", name);
    return n;
  }
  char path[256];
  std::snprintf(path, sizeof path, "%s\\%s", group, name);
  int n = RES_ReadFile(path, out);
  if (n) return n;
  std::snprintf(path, sizeof path, "%s.TVN", group);
  n = ARC_Read(path, name, out);
  if (n) return n;
  std::snprintf(path, sizeof path, "pak\\%s.TVN", group);
  n = ARC_Read(path, name, out);
  if (n) return n;
  MSG_Error(nullptr, "ファイルが開けません[%s,%s]", group, name);
  return 0;
}

int RES_OpenStream(const char* group, const char* name, PltFile** file) {
  if (*file) {
    PLT_FileClose(*file);
    *file = nullptr;
  }
  char path[256];
  std::snprintf(path, sizeof path, "%s\\%s", group, name);
  if ((*file = PLT_FileOpen(path, PLT_OPEN_READ)) != nullptr) {
    int64_t size = PLT_FileSize(*file);
    return size > 0 && size <= 0x7FFFFFFF ? static_cast<int>(size) : 0;
  }
  std::snprintf(path, sizeof path, "%s.TVN", group);
  if ((*file = PLT_FileOpen(path, PLT_OPEN_READ)) == nullptr) return 0;
  const int size = ARC_Seek(*file, name);
  if (size > 0) return size;
  PLT_FileClose(*file);
  *file = nullptr;
  return 0;
}

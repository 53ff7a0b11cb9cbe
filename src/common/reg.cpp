// The registry operations.
#include "common/reg.h"

#include <cstring>

#include "platform/plt_registry.h"

const char* const REG_KEY_MAIN = "SoftWare\\TAVREN\\Zentrova";
const char* const REG_KEY_CONFIG = "SoftWare\\TAVREN\\Zentrova\\config";

namespace {
char g_regKey[256] = "SoftWare\\TAVREN\\Zentrova";
}

void REG_SetKey(const char* path) {
  std::strncpy(g_regKey, path, sizeof g_regKey - 1);
  g_regKey[sizeof g_regKey - 1] = 0;
}

int REG_WriteDword(const char* name, uint32_t value) {
  if (PLT_RegCreateKey(g_regKey) != PLT_REG_OK) return -1;
  return PLT_RegSetValue(g_regKey, name, PLT_REG_DWORD, &value, 4) == PLT_REG_OK ? 1 : 0;
}

int REG_WriteBinary(const char* name, const void* data, uint32_t length) {
  if (PLT_RegCreateKey(g_regKey) != PLT_REG_OK) return -1;
  return PLT_RegSetValue(g_regKey, name, PLT_REG_BINARY, data, length);
}

int REG_Read(const char* name, void* dest, uint32_t length) {
  if (!PLT_RegKeyExists(g_regKey)) return -1;
  int type = 0;
  uint32_t len = length;
  return PLT_RegQueryValue(g_regKey, name, &type, dest, &len);
}

int REG_ReadDword(const char* name, void* dest) {
  return REG_Read(name, dest, 4);
}

int REG_ReadOrCreate(const char* name, int32_t* dest) {
  REG_SetKey(REG_KEY_CONFIG);
  int r = REG_ReadDword(name, dest);
  if (r != 0) REG_WriteDword(name, static_cast<uint32_t>(*dest));
  return r;
}

void REG_Reset() {
  REG_SetKey(REG_KEY_MAIN);
}

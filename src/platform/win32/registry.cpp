// The settings in the registry, under HKEY_CURRENT_USER. ZENTROVA_CONFIG_DIR
// (the tests' own store on Linux) moves them to a key of their own, named
// after the folder, so that each test starts from nothing.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/plt_registry.h"

namespace {

struct Store {
  int batchDepth = 0;
  bool failed = false;  // a write inside the batch could not be made
  std::string path;     // what PLT_RegStorePath shows
};

Store g_store;

constexpr const char* kTestRoot = "Software\\TAVREN\\Zentrova-tests\\";

std::string HostKey(const char* key) {
  const char* dir = std::getenv("ZENTROVA_CONFIG_DIR");
  if (!dir || !*dir) return key;
  std::string root(kTestRoot);
  for (const char* p = dir; *p; ++p) root += (*p == '\\' || *p == '/' || *p == ':') ? '_' : *p;
  return root + "\\" + key;
}

int Result(LSTATUS s) {
  if (s == ERROR_SUCCESS) return PLT_REG_OK;
  if (s == ERROR_FILE_NOT_FOUND) return PLT_REG_NOT_FOUND;
  if (s == ERROR_MORE_DATA) return PLT_REG_MORE_DATA;
  return PLT_REG_ERROR;
}

int Note(int r) {
  if (r != PLT_REG_OK && g_store.batchDepth > 0) g_store.failed = true;
  return r;
}

}  // namespace

void PLT_RegBeginBatch() {
  if (g_store.batchDepth++ == 0) g_store.failed = false;
}

// The registry writes each value at once: a batch only gathers failures.
int PLT_RegCommit() {
  if (g_store.batchDepth <= 0) return PLT_REG_ERROR;
  if (--g_store.batchDepth > 0) return PLT_REG_OK;
  const bool failed = g_store.failed;
  g_store.failed = false;
  return failed ? PLT_REG_ERROR : PLT_REG_OK;
}

int PLT_RegCreateKey(const char* key) {
  if (!key) return PLT_REG_ERROR;
  HKEY h = nullptr;
  const LSTATUS s = ::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey(key).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h, nullptr);
  if (s == ERROR_SUCCESS) ::RegCloseKey(h);
  return Note(Result(s));
}

int PLT_RegKeyExists(const char* key) {
  if (!key) return 0;
  HKEY h = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, HostKey(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
    return 0;
  }
  ::RegCloseKey(h);
  return 1;
}

int PLT_RegSetValue(const char* key, const char* name, int type, const void* data, uint32_t len) {
  if (!key || !name || (type != PLT_REG_DWORD && type != PLT_REG_BINARY) ||
      (type == PLT_REG_DWORD && len != 4) || (len && !data)) {
    return Note(PLT_REG_ERROR);
  }
  HKEY h = nullptr;
  LSTATUS s = ::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey(key).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h, nullptr);
  if (s != ERROR_SUCCESS) return Note(PLT_REG_ERROR);
  s = ::RegSetValueExA(h, name, 0, static_cast<DWORD>(type), static_cast<const BYTE*>(data), len);
  ::RegCloseKey(h);
  return Note(s == ERROR_SUCCESS ? PLT_REG_OK : PLT_REG_ERROR);
}

int PLT_RegQueryValue(const char* key, const char* name, int* type, void* data, uint32_t* len) {
  if (!key || !name) return PLT_REG_ERROR;
  HKEY h = nullptr;
  LSTATUS s = ::RegOpenKeyExA(HKEY_CURRENT_USER, HostKey(key).c_str(), 0, KEY_READ, &h);
  if (s != ERROR_SUCCESS) return Result(s);
  DWORD t = 0, size = 0;
  s = ::RegQueryValueExA(h, name, nullptr, &t, nullptr, &size);
  if (s == ERROR_SUCCESS && len) {
    if (size > *len) {
      s = ERROR_MORE_DATA;
    } else if (data && size) {
      // The value's bytes land in data only when all of them fit.
      s = ::RegQueryValueExA(h, name, nullptr, &t, static_cast<BYTE*>(data), &size);
    }
  }
  ::RegCloseKey(h);
  if (s == ERROR_FILE_NOT_FOUND) return PLT_REG_NOT_FOUND;
  if (type && (s == ERROR_SUCCESS || s == ERROR_MORE_DATA)) *type = static_cast<int>(t);
  if (!len) return PLT_REG_ERROR;
  if (s == ERROR_SUCCESS || s == ERROR_MORE_DATA) *len = size;
  return Result(s);
}

void PLT_RegReset() {
  g_store = Store();
}

const char* PLT_RegStorePath() {
  const char* dir = std::getenv("ZENTROVA_CONFIG_DIR");
  g_store.path = std::string("HKEY_CURRENT_USER\\") +
                 (dir && *dir ? HostKey("") : std::string("Software\\TAVREN\\Zentrova"));
  return g_store.path.c_str();
}

// The registry stand-in: keys and values of the current user, kept in one text
// file and rewritten atomically on every change (or once for a whole batch).
//
// File format, one entry a line:
//   [SoftWare\TAVREN\Zentrova\config]
//   wait=dword:00000002
//   cg=hex:00ff...
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/plt_file.h"
#include "platform/plt_registry.h"

namespace {

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return ::strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct Value {
  int type;
  std::vector<uint8_t> data;
};

using Key = std::map<std::string, Value, CaseLess>;

struct Store {
  bool loaded = false;
  std::string path;
  std::map<std::string, Key, CaseLess> keys;
  int batchDepth = 0;    // inside PLT_RegBeginBatch: changes wait for the commit
  bool pending = false;  // a change not yet written
  bool failed = false;   // a write inside the batch could not be made
};

Store g_store;

std::string StoreDir() {
  if (const char* d = std::getenv("ZENTROVA_CONFIG_DIR"); d && *d) return d;
  std::string dir;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
    dir.append(x);
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    dir.append(h).append("/.config");
  } else {
    dir.append(".");
  }
  return dir.append("/TAVREN/Zentrova");
}

void MakeDirs(const std::string& dir) {
  std::string cur;
  for (size_t i = 0; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      if (!cur.empty()) ::mkdir(cur.c_str(), 0755);
    }
    if (i < dir.size()) cur += dir[i];
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses the store; lines that do not parse are skipped, so a damaged file
// costs only the values it damaged.
void Parse(const std::string& text) {
  Key* cur = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      cur = &g_store.keys[line.substr(1, line.size() - 2)];
      continue;
    }
    size_t eq = line.find('=');
    if (!cur || eq == std::string::npos || eq == 0) continue;
    std::string name = line.substr(0, eq);
    std::string rest = line.substr(eq + 1);
    Value v;
    std::string hex;
    if (rest.rfind("dword:", 0) == 0 && rest.size() == 14) {
      v.type = PLT_REG_DWORD;
      hex = rest.substr(6);
      uint32_t x = 0;
      bool ok = true;
      for (char c : hex) {
        int d = HexDigit(c);
        if (d < 0) ok = false;
        x = x << 4 | static_cast<uint32_t>(d & 15);
      }
      if (!ok) continue;
      v.data = {static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8),
                static_cast<uint8_t>(x >> 16), static_cast<uint8_t>(x >> 24)};
    } else if (rest.rfind("hex:", 0) == 0 && rest.size() % 2 == 0) {
      v.type = PLT_REG_BINARY;
      hex = rest.substr(4);
      bool ok = true;
      for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) ok = false;
        v.data.push_back(static_cast<uint8_t>(hi << 4 | lo));
      }
      if (!ok) continue;
    } else {
      continue;
    }
    (*cur)[name] = v;
  }
}

void Load() {
  if (g_store.loaded) return;
  g_store.loaded = true;
  g_store.path = StoreDir() + "/registry.txt";
  FILE* f = std::fopen(g_store.path.c_str(), "rb");
  if (!f) return;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  Parse(text);
}

int WriteStore() {
  std::string text = "# Zentrova settings\n";
  static const char* hexd = "0123456789abcdef";
  for (const auto& [keyName, key] : g_store.keys) {
    text += "[" + keyName + "]\n";
    for (const auto& [name, v] : key) {
      text += name + "=";
      if (v.type == PLT_REG_DWORD && v.data.size() == 4) {
        char b[16];
        uint32_t x = static_cast<uint32_t>(v.data[0]) | static_cast<uint32_t>(v.data[1]) << 8 |
                     static_cast<uint32_t>(v.data[2]) << 16 |
                     static_cast<uint32_t>(v.data[3]) << 24;
        std::snprintf(b, sizeof b, "%08x", x);
        text += std::string("dword:") + b;
      } else {
        text += "hex:";
        for (uint8_t c : v.data) {
          text += hexd[c >> 4];
          text += hexd[c & 15];
        }
      }
      text += "\n";
    }
  }
  MakeDirs(StoreDir());
  return PLT_FileReplaceAtomic(g_store.path.c_str(), text.data(), static_cast<int64_t>(text.size()))
             ? PLT_REG_OK
             : PLT_REG_ERROR;
}

// Writes the store now, or marks it for the commit of the open batch.
int Save() {
  if (g_store.batchDepth > 0) {
    g_store.pending = true;
    return PLT_REG_OK;
  }
  return WriteStore();
}

}  // namespace

void PLT_RegBeginBatch() {
  Load();
  if (g_store.batchDepth++ == 0) {
    g_store.pending = false;
    g_store.failed = false;
  }
}

int PLT_RegCommit() {
  if (g_store.batchDepth <= 0) return PLT_REG_ERROR;
  if (--g_store.batchDepth > 0) return PLT_REG_OK;
  bool failed = g_store.failed;
  if (g_store.pending && WriteStore() != PLT_REG_OK) failed = true;
  g_store.pending = false;
  g_store.failed = false;
  return failed ? PLT_REG_ERROR : PLT_REG_OK;
}

int PLT_RegCreateKey(const char* key) {
  Load();
  if (g_store.keys.count(key)) return PLT_REG_OK;
  g_store.keys[key];
  return Save();
}

int PLT_RegKeyExists(const char* key) {
  Load();
  return g_store.keys.count(key) ? 1 : 0;
}

int PLT_RegSetValue(const char* key, const char* name, int type, const void* data, uint32_t len) {
  Load();
  if (type == PLT_REG_DWORD && len != 4) {
    if (g_store.batchDepth > 0) g_store.failed = true;
    return PLT_REG_ERROR;
  }
  Value v;
  v.type = type;
  v.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + len);
  g_store.keys[key][name] = v;
  return Save();
}

int PLT_RegQueryValue(const char* key, const char* name, int* type, void* data, uint32_t* len) {
  Load();
  auto k = g_store.keys.find(key);
  if (k == g_store.keys.end()) return PLT_REG_NOT_FOUND;
  auto v = k->second.find(name);
  if (v == k->second.end()) return PLT_REG_NOT_FOUND;
  if (type) *type = v->second.type;
  if (!len) return PLT_REG_ERROR;
  if (v->second.data.size() > *len) {
    *len = static_cast<uint32_t>(v->second.data.size());
    return PLT_REG_MORE_DATA;
  }
  if (data && !v->second.data.empty())
    std::memcpy(data, v->second.data.data(), v->second.data.size());
  *len = static_cast<uint32_t>(v->second.data.size());
  return PLT_REG_OK;
}

void PLT_RegReset() {
  g_store = Store();
}

const char* PLT_RegStorePath() {
  Load();
  return g_store.path.c_str();
}

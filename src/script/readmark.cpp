// The seen-message marks and "read.sav".
#include "script/readmark.h"

#include <algorithm>

#include "common/file.h"
#include "common/log.h"
#include "platform/plt_file.h"

ReadMarks g_read;
const char* const READ_FILE = "read.sav";

namespace {

constexpr uint8_t kMagic[4] = {'Z', 'V', 'R', 'M'};
constexpr uint32_t kVersion = 1;
constexpr int kHeader = 12;
constexpr int kMarkBytes = 8;
constexpr int kFileMax = kHeader + READ_MAX * kMarkBytes;

uint8_t g_io[kFileMax];

uint32_t GetLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutLE32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

uint64_t Key(int script, uint32_t hash) {
  return static_cast<uint64_t>(static_cast<uint32_t>(script)) << 32 | hash;
}

}  // namespace

uint32_t READ_Hash(const char* text) {
  // 32-bit FNV-1a over the message's bytes as the script has them.
  uint32_t h = 2166136261u;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : ""); *p; ++p)
    h = (h ^ *p) * 16777619u;
  return h;
}

void READ_Load() {
  if (g_read.loaded) return;
  g_read.loaded = 1;
  g_read.count = 0;
  const int n = FILE_ReadAt(READ_FILE, 0, g_io, kFileMax);
  if (n < kHeader || !std::equal(kMagic, kMagic + 4, g_io) || GetLE32(g_io + 4) != kVersion)
    return;
  const uint32_t stated = GetLE32(g_io + 8);
  const uint32_t whole = static_cast<uint32_t>((n - kHeader) / kMarkBytes);
  const uint32_t count = std::min({stated, whole, static_cast<uint32_t>(READ_MAX)});
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* m = g_io + kHeader + i * kMarkBytes;
    g_read.marks[i] = static_cast<uint64_t>(GetLE32(m)) << 32 | GetLE32(m + 4);
  }
  // A file put together by hand may be out of order or hold a mark twice.
  std::sort(g_read.marks, g_read.marks + count);
  g_read.count = static_cast<int32_t>(std::unique(g_read.marks, g_read.marks + count) - g_read.marks);
}

int READ_Save() {
  if (!g_read.dirty || g_read.savesDisabled) return 1;
  std::copy(kMagic, kMagic + 4, g_io);
  PutLE32(g_io + 4, kVersion);
  PutLE32(g_io + 8, static_cast<uint32_t>(g_read.count));
  for (int i = 0; i < g_read.count; ++i) {
    uint8_t* m = g_io + kHeader + i * kMarkBytes;
    PutLE32(m, static_cast<uint32_t>(g_read.marks[i] >> 32));
    PutLE32(m + 4, static_cast<uint32_t>(g_read.marks[i]));
  }
  if (!PLT_FileReplaceAtomic(READ_FILE, g_io, kHeader + int64_t{g_read.count} * kMarkBytes)) {
    LOG_Write("read.sav could not be saved\n");
    return 0;
  }
  g_read.dirty = 0;
  return 1;
}

int READ_IsRead(int script, uint32_t hash) {
  READ_Load();
  return std::binary_search(g_read.marks, g_read.marks + g_read.count, Key(script, hash)) ? 1 : 0;
}

void READ_Mark(int script, uint32_t hash) {
  READ_Load();
  const uint64_t k = Key(script, hash);
  uint64_t* end = g_read.marks + g_read.count;
  uint64_t* at = std::lower_bound(g_read.marks, end, k);
  if (at != end && *at == k) return;
  // A full table keeps the marks it has: skipping stops at what is new.
  if (g_read.count >= READ_MAX) return;
  std::copy_backward(at, end, end + 1);
  *at = k;
  ++g_read.count;
  g_read.dirty = 1;
}

void READ_Reset() {
  g_read.count = 0;
  g_read.loaded = 0;
  g_read.dirty = 0;
}

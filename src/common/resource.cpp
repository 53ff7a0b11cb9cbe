// Whole-file loading by resource group and name, the archive reader and LZSS.
#include "common/resource.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/log.h"
#include "platform/plt_file.h"

const uint32_t ARC_MAGIC = 0x5041434Bu;

namespace {

const char kCorrupt[] =
    "読み込みデータに異常が認められました。HDDまたはメモリ等にエラーがある可能性があります。\n\n"
    "オーバークロック等の改造を施している場合は、それを解除して下さい。\n"
    "また、マシン環境に問題が無いと思われる場合は、HDDのエラーチェックをした上で、\n"
    "ゲームの再インストールを試して下さい。\nファイル名：[%s]";

uint8_t g_ring[LZS_RING];

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

uint8_t* Zalloc(int64_t n) {
  return static_cast<uint8_t*>(std::calloc(static_cast<size_t>(n > 0 ? n : 1), 1));
}

// The most bytes an LZSS stream of n bytes can produce: each group is a flag
// byte and up to eight references of two bytes that copy at most 18 bytes
// each, so 17 stored bytes give at most 144.
int64_t LzsMaxOutput(int64_t n) {
  return n <= 0 ? 0 : (n + 16) / 17 * 144;
}

bool NameEquals(const uint8_t* entry, const char* name) {
  char stored[ARC_NAME_SIZE + 1];
  std::memcpy(stored, entry + 4, ARC_NAME_SIZE);
  stored[ARC_NAME_SIZE] = 0;  // a name without its terminator ends at the field
  return ::strcasecmp(stored, name) == 0;
}

}  // namespace

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
  uint8_t* buf = Zalloc(size);
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

int LZS_Decode(uint8_t* out, const uint8_t* in, int inLength, int expected) {
  std::memset(g_ring, 0x20, LZS_RING - 18);
  std::memset(g_ring + LZS_RING - 18, 0, 18);
  int r = LZS_RING - 18;
  int ip = 0, op = 0;
  if (inLength < 0) inLength = 0;
  if (expected < 0) expected = 0;
  auto emit = [&](uint8_t c) -> bool {
    if (op >= expected) {
      ++op;  // counted, not stored: the caller's length check fails
      MSG_Error(nullptr, "エラーだす");
      return false;
    }
    out[op++] = c;
    g_ring[r] = c;
    r = (r + 1) & (LZS_RING - 1);
    return true;
  };
  while (ip < inLength) {
    unsigned flags = in[ip++];
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (ip >= inLength) return op;
        if (!emit(in[ip++])) return op;
      } else {
        if (ip + 1 >= inLength) return op;
        int b0 = in[ip++], b1 = in[ip++];
        int pos = b0 | ((b1 & 0xF0) << 4);
        int len = (b1 & 0x0F) + 3;
        for (int k = 0; k < len; ++k) {
          if (!emit(g_ring[(pos + k) & (LZS_RING - 1)])) return op;
        }
      }
    }
  }
  return op;
}

int LZS_EncodeBound(int length) {
  return length + (length + 7) / 8 + 16;
}

int LZS_Encode(const uint8_t* in, int length, uint8_t* out, int outCapacity) {
  // Greedy longest match with hash chains. The input is searched as if it
  // followed the decoder's initial spaces, so matches may reach into them; a
  // match may overlap the bytes it produces, as the decoder copies byte by byte.
  if (length < 0 || outCapacity < LZS_EncodeBound(length)) return -1;
  constexpr int kPre = LZS_RING - 18;
  constexpr int kMaxDist = LZS_RING - 18;
  constexpr int kHashBits = 14;
  constexpr int kMaxChain = 128;
  const int total = kPre + length;
  uint8_t* ext = Zalloc(total);
  int32_t* head = static_cast<int32_t*>(std::malloc(sizeof(int32_t) << kHashBits));
  int32_t* prev = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * static_cast<size_t>(total)));
  if (!ext || !head || !prev) {
    std::free(ext);
    std::free(head);
    std::free(prev);
    return -1;
  }
  std::memset(ext, 0x20, kPre);
  if (length > 0) std::memcpy(ext + kPre, in, static_cast<size_t>(length));
  for (int i = 0; i < (1 << kHashBits); ++i) head[i] = -1;
  auto hash = [&](int e) {
    uint32_t v = ext[e] | ext[e + 1] << 8 | ext[e + 2] << 16;
    return static_cast<int>((v * 2654435761u) >> (32 - kHashBits));
  };
  auto insert = [&](int e) {
    if (e + 2 >= total) return;
    int h = hash(e);
    prev[e] = head[h];
    head[h] = e;
  };
  for (int e = 0; e < kPre; ++e) insert(e);
  int op = 0, e = kPre;
  while (e < total) {
    int flagPos = op++;
    uint8_t flags = 0;
    for (int bit = 0; bit < 8 && e < total; ++bit) {
      int maxLen = total - e < 18 ? total - e : 18;
      int bestLen = 0, bestSrc = 0;
      if (maxLen >= 3) {
        int chain = 0;
        for (int c = head[hash(e)]; c >= 0 && e - c <= kMaxDist && chain < kMaxChain;
             c = prev[c], ++chain) {
          int k = 0;
          while (k < maxLen && ext[c + k] == ext[e + k]) ++k;
          if (k > bestLen) {
            bestLen = k;
            bestSrc = c;
            if (k == maxLen) break;
          }
        }
      }
      if (bestLen >= 3) {
        int pos = bestSrc & (LZS_RING - 1);
        out[op++] = static_cast<uint8_t>(pos & 0xFF);
        out[op++] = static_cast<uint8_t>(((pos >> 4) & 0xF0) | (bestLen - 3));
      } else {
        bestLen = 1;
        flags |= static_cast<uint8_t>(1u << bit);
        out[op++] = ext[e];
      }
      for (int k = 0; k < bestLen; ++k) insert(e++);
    }
    out[flagPos] = flags;
  }
  std::free(ext);
  std::free(head);
  std::free(prev);
  return op;
}

int ARC_Read(const char* archive, const char* name, uint8_t** out) {
  *out = nullptr;
  PltFile* f = PLT_FileOpen(archive, PLT_OPEN_READ);
  if (!f) return 0;
  int64_t fileSize = PLT_FileSize(f);
  uint8_t header[8];
  if (PLT_FileRead(f, header, 8) != 8 || static_cast<uint32_t>(Le32(header)) != ARC_MAGIC) {
    PLT_FileClose(f);
    return 0;
  }
  int64_t count = Le32(header + 4);
  // A directory larger than the file can hold is cut to what the file holds.
  int64_t fits = (fileSize - 8) / ARC_ENTRY_SIZE;
  if (count > fits) count = fits;
  if (count <= 0) {
    PLT_FileClose(f);
    return 0;
  }
  uint8_t* dir = Zalloc(count * ARC_ENTRY_SIZE);
  if (!dir || PLT_FileRead(f, dir, count * ARC_ENTRY_SIZE) != count * ARC_ENTRY_SIZE) {
    std::free(dir);
    PLT_FileClose(f);
    return 0;
  }
  const uint8_t* e = nullptr;
  for (int64_t i = 0; i < count; ++i) {
    if (NameEquals(dir + i * ARC_ENTRY_SIZE, name)) {
      e = dir + i * ARC_ENTRY_SIZE;
      break;
    }
  }
  int result = 0;
  if (e) {
    int32_t compressed = Le32(e), offset = Le32(e + 28), size = Le32(e + 32);
    // An entry that does not lie wholly inside the file reads as missing.
    bool inside = offset >= 0 && size > 0 && int64_t{offset} + size <= fileSize;
    if (inside && PLT_FileSeek(f, offset, 0) == offset) {
      uint8_t* data = Zalloc(size);
      int64_t got = data ? PLT_FileRead(f, data, size) : -1;
      if (got == size && !compressed) {
        *out = data;
        result = size;
      } else if (got == size && size >= 8) {
        int32_t unpacked = Le32(data + 4);
        // A size the stored stream cannot produce is damage, not a reason
        // to allocate it.
        if (unpacked > 0 && unpacked <= LzsMaxOutput(size - 8)) {
          uint8_t* buf = Zalloc(unpacked);
          int produced = buf ? LZS_Decode(buf, data + 8, size - 8, unpacked) : 0;
          if (produced != unpacked) {
            MSG_Error(nullptr, kCorrupt, name);
          }
          // Only the bytes actually stored are handed back.
          if (produced > unpacked) produced = unpacked;
          if (produced > 0) {
            *out = buf;
            result = produced;
          } else {
            std::free(buf);
          }
        } else {
          MSG_Error(nullptr, kCorrupt, name);
        }
        std::free(data);
      } else {
        std::free(data);
      }
    }
  }
  std::free(dir);
  PLT_FileClose(f);
  return result;
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
  int64_t fileSize = PLT_FileSize(*file);
  uint8_t header[8];
  if (PLT_FileRead(*file, header, 8) != 8 || static_cast<uint32_t>(Le32(header)) != ARC_MAGIC)
    return 0;
  int64_t count = Le32(header + 4);
  for (int64_t i = 0; i < count; ++i) {
    uint8_t e[ARC_ENTRY_SIZE];
    if (PLT_FileRead(*file, e, ARC_ENTRY_SIZE) != ARC_ENTRY_SIZE) break;
    if (!NameEquals(e, name)) continue;
    int32_t offset = Le32(e + 28), size = Le32(e + 32);
    if (offset < 0 || size <= 0 || int64_t{offset} + size > fileSize) break;
    if (PLT_FileSeek(*file, offset, 0) != offset) break;
    return size;
  }
  PLT_FileClose(*file);
  *file = nullptr;
  return 0;
}

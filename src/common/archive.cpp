// Packed archives: a "KCAP" directory of 36-byte entries, each stored or
// LZSS-compressed.
#include "common/archive.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "common/log.h"
#include "common/lzss.h"
#include "common/msg.h"
#include "platform/plt_file.h"

const uint32_t ARC_MAGIC = 0x5041434Bu;

namespace {

const char kCorrupt[] =
    "読み込みデータに異常が認められました。HDDまたはメモリ等にエラーがある可能性があります。\n\n"
    "オーバークロック等の改造を施している場合は、それを解除して下さい。\n"
    "また、マシン環境に問題が無いと思われる場合は、HDDのエラーチェックをした上で、\n"
    "ゲームの再インストールを試して下さい。\nファイル名：[%s]";

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

uint8_t* Zalloc(int64_t n) {
  return static_cast<uint8_t*>(std::calloc(static_cast<size_t>(n > 0 ? n : 1), 1));
}

bool NameEquals(const uint8_t* entry, const char* name) {
  char stored[ARC_NAME_SIZE + 1];
  std::memcpy(stored, entry + 4, ARC_NAME_SIZE);
  stored[ARC_NAME_SIZE] = 0;  // a name without its terminator ends at the field
  return ::strcasecmp(stored, name) == 0;
}

}  // namespace

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
        if (unpacked > 0 && unpacked <= LZS_MaxOutput(size - 8)) {
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

int ARC_Seek(PltFile* file, const char* name) {
  int64_t fileSize = PLT_FileSize(file);
  uint8_t header[8];
  if (PLT_FileRead(file, header, 8) != 8 || static_cast<uint32_t>(Le32(header)) != ARC_MAGIC)
    return 0;
  int64_t count = Le32(header + 4);
  for (int64_t i = 0; i < count; ++i) {
    uint8_t e[ARC_ENTRY_SIZE];
    if (PLT_FileRead(file, e, ARC_ENTRY_SIZE) != ARC_ENTRY_SIZE) break;
    if (!NameEquals(e, name)) continue;
    int32_t offset = Le32(e + 28), size = Le32(e + 32);
    if (offset < 0 || size <= 0 || int64_t{offset} + size > fileSize) break;
    if (PLT_FileSeek(file, offset, 0) != offset) break;
    return size;
  }
  return 0;
}

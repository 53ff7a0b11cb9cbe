// Writing archives in the game's own format, for the tools.
#include "common/archive_writer.h"

#include <cstring>

#include "common/archive.h"
#include "common/lzss.h"
#include "common/resource.h"

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
}  // namespace

bool ARC_Build(const std::vector<ArchiveEntry>& entries, ArchiveCompression compression,
               std::vector<uint8_t>* out, std::string* error) {
  std::vector<uint8_t>& a = *out;
  a.assign(8 + ARC_ENTRY_SIZE * entries.size(), 0);
  Put32(a, 0, ARC_MAGIC);
  Put32(a, 4, static_cast<uint32_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    const ArchiveEntry& e = entries[i];
    if (e.name.empty() || e.name.size() > ARC_NAME_SIZE - 1) {
      *error = "name '" + e.name + "' is empty or longer than 23 bytes";
      return false;
    }
    if (e.data.size() > 0x7FFFFFF0u) {
      *error = "'" + e.name + "' is too large";
      return false;
    }
    const int len = static_cast<int>(e.data.size());
    std::vector<uint8_t> packed;
    bool compressed = false;
    if (compression != ARC_STORE && len > 0) {
      packed.assign(8 + static_cast<size_t>(LZS_EncodeBound(len)), 0);
      int n = LZS_Encode(e.data.data(), len, packed.data() + 8, LZS_EncodeBound(len));
      if (n < 0) {
        *error = "cannot compress '" + e.name + "'";
        return false;
      }
      packed.resize(8 + static_cast<size_t>(n));
      Put32(packed, 0, static_cast<uint32_t>(n));
      Put32(packed, 4, static_cast<uint32_t>(len));
      compressed = compression == ARC_COMPRESS || packed.size() < e.data.size();
    }
    const std::vector<uint8_t>& stored = compressed ? packed : e.data;
    if (a.size() + stored.size() > 0x7FFFFFFFu) {
      *error = "the archive would exceed 2 GiB";
      return false;
    }
    const size_t at = 8 + ARC_ENTRY_SIZE * i;
    Put32(a, at, compressed ? 1 : 0);
    std::memcpy(&a[at + 4], e.name.data(), e.name.size());
    Put32(a, at + 28, static_cast<uint32_t>(a.size()));
    Put32(a, at + 32, static_cast<uint32_t>(stored.size()));
    a.insert(a.end(), stored.begin(), stored.end());
  }
  return true;
}

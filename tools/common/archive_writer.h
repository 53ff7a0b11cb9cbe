// Writing archives in the game's own format, for the tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveEntry {
  std::string name;  // at most 23 bytes
  std::vector<uint8_t> data;
};

enum ArchiveCompression {
  ARC_STORE,             // every entry as it is
  ARC_COMPRESS,          // every entry LZSS-compressed
  ARC_COMPRESS_SMALLER,  // compressed where that makes it smaller
};

// Builds the whole archive, entries in the order given. Empty entries are
// always stored (a compressed entry must unpack to at least one byte).
// Returns false, with the reason in *error, when a name is empty or too long,
// compression fails or the archive would not fit the format's 32-bit offsets.
bool ARC_Build(const std::vector<ArchiveEntry>& entries, ArchiveCompression compression,
               std::vector<uint8_t>* out, std::string* error);

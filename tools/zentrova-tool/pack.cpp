// zentrova-tool pack: create, list and extract archives.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/archive_writer.h"
#include "common/resource.h"
#include "platform/plt_file.h"
#include "zentrova-tool/tool.h"

namespace {

const char kHelp[] =
    "usage: zentrova-tool pack create ARCHIVE [--compress] FILE...\n"
    "       zentrova-tool pack list ARCHIVE\n"
    "       zentrova-tool pack extract ARCHIVE NAME\n"
    "\n"
    "create   writes an archive of the files, in the order given; entries are named\n"
    "         by the files' base names (at most 23 bytes). With --compress every\n"
    "         entry is LZSS-compressed.\n"
    "list     prints one line per entry: name, compressed flag (0/1), offset, size.\n"
    "extract  writes the entry's bytes, decompressed, to standard output.\n";

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool ReadHostFile(const char* path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  out->clear();
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

int Create(int argc, char** argv) {
  if (argc < 3) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  const char* archive = argv[2];
  bool compress = false;
  std::vector<const char*> files;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--compress") == 0) {
      compress = true;
    } else {
      files.push_back(argv[i]);
    }
  }
  std::vector<ArchiveEntry> entries;
  for (const char* file : files) {
    std::string base = file;
    size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos) base = base.substr(slash + 1);
    entries.push_back(ArchiveEntry{base, {}});
    if (!ReadHostFile(file, &entries.back().data)) {
      std::fprintf(stderr, "zentrova-tool pack: cannot read '%s'\n", file);
      return 1;
    }
  }
  std::vector<uint8_t> out;
  std::string error;
  if (!ARC_Build(entries, compress ? ARC_COMPRESS : ARC_STORE, &out, &error)) {
    std::fprintf(stderr, "zentrova-tool pack: %s\n", error.c_str());
    return 1;
  }
  FILE* f = std::fopen(archive, "wb");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "zentrova-tool pack: cannot write '%s'\n", archive);
    return 1;
  }
  return 0;
}

int List(int argc, char** argv) {
  if (argc != 3) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  std::vector<uint8_t> a;
  if (!ReadHostFile(argv[2], &a)) {
    std::fprintf(stderr, "zentrova-tool pack: cannot read '%s'\n", argv[2]);
    return 1;
  }
  if (a.size() < 8 || Get32(a.data()) != ARC_MAGIC) {
    std::fprintf(stderr, "zentrova-tool pack: '%s' is not an archive\n", argv[2]);
    return 1;
  }
  int64_t count = static_cast<int32_t>(Get32(a.data() + 4));
  int64_t fits = static_cast<int64_t>((a.size() - 8) / ARC_ENTRY_SIZE);
  if (count > fits) {
    std::fprintf(stderr, "zentrova-tool pack: directory claims %lld entries, the file holds %lld\n",
                 static_cast<long long>(count), static_cast<long long>(fits));
    count = fits;
  }
  for (int64_t i = 0; i < count; ++i) {
    const uint8_t* e = a.data() + 8 + ARC_ENTRY_SIZE * i;
    char name[ARC_NAME_SIZE + 1];
    std::memcpy(name, e + 4, ARC_NAME_SIZE);
    name[ARC_NAME_SIZE] = 0;
    std::printf("%s %d %d %d\n", name, Get32(e) ? 1 : 0, static_cast<int32_t>(Get32(e + 28)),
                static_cast<int32_t>(Get32(e + 32)));
  }
  return 0;
}

// True when the archive lists the named entry (matched as the game matches
// names) with nothing in it: stored with length 0, or compressed to a
// stream whose unpacked length is 0.
bool HasEmptyEntry(const char* archive, const char* name) {
  std::vector<uint8_t> a;
  if (!ReadHostFile(archive, &a) || a.size() < 8 || Get32(a.data()) != ARC_MAGIC) return false;
  const uint64_t count = Get32(a.data() + 4);
  const uint64_t fits = (a.size() - 8) / ARC_ENTRY_SIZE;
  for (uint64_t i = 0; i < count && i < fits; ++i) {
    const uint8_t* e = a.data() + 8 + ARC_ENTRY_SIZE * i;
    char stored[ARC_NAME_SIZE + 1];
    std::memcpy(stored, e + 4, ARC_NAME_SIZE);
    stored[ARC_NAME_SIZE] = 0;
    if (::strcasecmp(stored, name) != 0) continue;
    const uint64_t offset = Get32(e + 28), size = Get32(e + 32);
    if (size == 0) return true;
    if (!Get32(e) || size < 8 || offset + size > a.size()) return false;
    return Get32(a.data() + offset + 4) == 0;
  }
  return false;
}

int Extract(int argc, char** argv) {
  if (argc != 4) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  uint8_t* buf = nullptr;
  int n = ARC_Read(argv[2], argv[3], &buf);
  if (n <= 0) {
    RES_Free(buf);
    // The game takes an empty entry for a missing one; the tool shows what
    // the archive holds, and an empty entry is an empty file.
    if (HasEmptyEntry(argv[2], argv[3])) return std::fflush(stdout) == 0 ? 0 : 1;
    std::fprintf(stderr, "zentrova-tool pack: no entry '%s' in '%s'\n", argv[3], argv[2]);
    return 1;
  }
  bool ok = std::fwrite(buf, 1, static_cast<size_t>(n), stdout) == static_cast<size_t>(n);
  RES_Free(buf);
  return ok && std::fflush(stdout) == 0 ? 0 : 1;
}

int Run(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc < 2) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "create") == 0) return Create(argc, argv);
  if (std::strcmp(argv[1], "list") == 0) return List(argc, argv);
  if (std::strcmp(argv[1], "extract") == 0) return Extract(argc, argv);
  std::fprintf(stderr, "zentrova-tool pack: unknown action '%s'\n", argv[1]);
  return 2;
}

}  // namespace

ZV_TOOL_COMMAND(pack, "pack", "create, list and extract archives", Run);

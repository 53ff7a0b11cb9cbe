// Helpers shared by the fuzz targets that read through the file service.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

// Enters a fresh temporary directory the first time it is called (the data
// and settings directory of the run); it is removed when the process ends.
inline void EnterScratchDir() {
  static std::string dir;
  if (!dir.empty()) return;
  char tmpl[] = "/tmp/zv-fuzz-XXXXXX";
  if (!::mkdtemp(tmpl) || ::chdir(tmpl) != 0) std::abort();
  dir = tmpl;
  ::setenv("ZENTROVA_CONFIG_DIR", dir.c_str(), 1);
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  });
}

// Writes size bytes to path (relative to the scratch directory), creating
// its folders.
inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::filesystem::path p(path);
  std::error_code ec;
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace fuzz

// Helpers shared by the test suites.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Makes a fresh temporary directory, enters it and leaves it again (removed)
// at the end of the scope.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/zentrova-test-XXXXXX";
    path_ = ::mkdtemp(tmpl);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::filesystem::path old_;
};

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return out;
}

inline std::vector<uint8_t> Bytes(const std::string& s) {
  return std::vector<uint8_t>(s.begin(), s.end());
}

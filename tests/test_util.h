// Helpers shared by the test suites.
#pragma once
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
// The C library of Windows sets the environment with _putenv_s; an empty
// value removes a variable.
inline int setenv(const char* name, const char* value, int) {
  return ::_putenv_s(name, value);
}
inline int unsetenv(const char* name) {
  return ::_putenv_s(name, "");
}
#endif

// A fresh empty folder in the system's temporary folder, its name starting
// with prefix.
inline std::string MakeTempDir(const char* prefix) {
#ifdef _WIN32
  std::random_device rd;
  std::filesystem::path p;
  do {
    p = std::filesystem::temp_directory_path() / (std::string(prefix) + std::to_string(rd()));
  } while (!std::filesystem::create_directory(p));
  return p.string();
#else
  std::string tmpl = std::string("/tmp/") + prefix + "XXXXXX";
  return ::mkdtemp(tmpl.data()) ? tmpl : std::string();
#endif
}

// Makes a fresh temporary directory, enters it and leaves it again (removed)
// at the end of the scope.
class TempDir {
 public:
  TempDir() {
    path_ = MakeTempDir("zentrova-test-");
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

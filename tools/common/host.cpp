// Temporary folders and the environment on Linux and Windows.
#include "common/host.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

std::string TOOL_MakeTempDir(const char* prefix) {
#ifdef _WIN32
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return std::string();
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path p = base / (std::string(prefix) + std::to_string(rd()));
    // create_directory is false when the folder was already there.
    if (std::filesystem::create_directory(p, ec) && !ec) return p.string();
  }
  return std::string();
#else
  std::string tmpl = std::string("/tmp/") + prefix + "XXXXXX";
  if (!::mkdtemp(tmpl.data())) return std::string();
  return tmpl;
#endif
}

void TOOL_SetEnv(const char* name, const char* value) {
#ifdef _WIN32
  // An empty value removes the variable.
  ::_putenv_s(name, value ? value : "");
#else
  if (value) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
#endif
}

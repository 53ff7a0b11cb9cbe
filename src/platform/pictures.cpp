// Where screenshots go: the desktop's pictures folder.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/plt_shell.h"

int PLT_PicturesDir(const char* sub, char* out, int outSize) {
  if (!out || outSize <= 0) return 0;
  out[0] = 0;
  std::string dir;
  const char* pics = std::getenv("XDG_PICTURES_DIR");
  if (pics && *pics) {
    dir = pics;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return 0;
    dir = std::string(home) + "/Pictures";
  }
  ::mkdir(dir.c_str(), 0755);
  if (sub && *sub) {
    dir += "/";
    dir += sub;
  }
  if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return 0;
  if (static_cast<int>(dir.size()) >= outSize) return 0;
  std::snprintf(out, static_cast<size_t>(outSize), "%s", dir.c_str());
  return 1;
}

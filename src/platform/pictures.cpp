// Where screenshots go: the desktop's pictures folder.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/plt_shell.h"

namespace {

// The pictures folder named in the user's user-dirs.dirs, or "" when the
// file or the line is missing or malformed. The file's lines are
// XDG_NAME_DIR="VALUE" with VALUE "$HOME/..." or an absolute path, a
// backslash quoting the character after it; "#" starts a comment line.
std::string FromUserDirs(const std::string& home) {
  std::string file;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') {
    file = std::string(config) + "/user-dirs.dirs";
  } else {
    file = home + "/.config/user-dirs.dirs";
  }
  std::ifstream in(file);
  std::string line, found;
  while (std::getline(in, line)) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] == '#') continue;
    static const std::string kKey = "XDG_PICTURES_DIR";
    if (line.compare(i, kKey.size(), kKey) != 0) continue;
    i = line.find_first_not_of(" \t", i + kKey.size());
    if (i == std::string::npos || line[i] != '=') continue;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line[i] != '"') continue;
    ++i;
    std::string value;
    if (line.compare(i, 5, "$HOME") == 0) {
      i += 5;
      if (i < line.size() && line[i] != '/' && line[i] != '"') continue;
      value = home;
    } else if (i >= line.size() || line[i] != '/') {
      continue;
    }
    bool closed = false;
    for (; i < line.size(); ++i) {
      if (line[i] == '"') {
        closed = true;
        break;
      }
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    // The last valid line wins, as when the file is read by a shell.
    if (closed) found = value;
  }
  return found;
}

}  // namespace

int PLT_PicturesDir(const char* sub, char* out, int outSize) {
  if (!out || outSize <= 0) return 0;
  out[0] = 0;
  std::string dir;
  const char* home = std::getenv("HOME");
  const char* pics = std::getenv("XDG_PICTURES_DIR");
  if (pics && pics[0] == '/') {
    dir = pics;
  } else {
    if (!home || home[0] != '/') return 0;
    dir = FromUserDirs(home);
    if (dir.empty()) dir = std::string(home) + "/Pictures";
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

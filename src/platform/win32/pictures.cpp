// Where screenshots go on Windows: %LOCALAPPDATA%\Zentrova, with sub inside.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/plt_shell.h"

int PLT_PicturesDir(const char* sub, char* out, int outSize) {
  if (!out || outSize <= 0) return 0;
  out[0] = 0;
  const char* base = std::getenv("LOCALAPPDATA");
  if (!base || !base[0]) return 0;
  std::string dir(base);
  if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
  dir += "Zentrova";
  ::CreateDirectoryA(dir.c_str(), nullptr);
  // The game asks for its own name as the sub-folder: it is the folder itself.
  if (sub && *sub && _stricmp(sub, "Zentrova") != 0) {
    dir += '\\';
    dir += sub;
  }
  if (!::CreateDirectoryA(dir.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return 0;
  }
  if (static_cast<int>(dir.size()) >= outSize) return 0;
  std::snprintf(out, static_cast<size_t>(outSize), "%s", dir.c_str());
  return 1;
}

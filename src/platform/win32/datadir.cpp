// Finding the data directory and the player's writable folder on Windows:
// the data beside the executable, the player's files under
// %LOCALAPPDATA%\Zentrova.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/plt_datadir.h"
#include "platform/plt_file.h"

namespace {

bool Exists(const std::string& p) {
  return ::GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ExecutableDir() {
  char buf[MAX_PATH * 2];
  const DWORD n = ::GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  std::string exe(buf, n);
  const size_t slash = exe.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

bool MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      const std::string part = path.substr(0, i);
      // "C:" is a drive, not a folder to make.
      if (part.size() == 2 && part[1] == ':') continue;
      if (!::CreateDirectoryA(part.c_str(), nullptr) && !Exists(part)) return false;
    }
  }
  return true;
}

// %LOCALAPPDATA%\Zentrova, or "" when the variable is unset or relative.
std::string LocalAppData() {
  const char* base = std::getenv("LOCALAPPDATA");
  if (!base || !base[0] || !(base[1] == ':' || base[0] == '\\')) return std::string();
  std::string dir(base);
  if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir + "Zentrova";
}

}  // namespace

int PLT_HoldsData(const char* dir) {
  const std::string base = dir && dir[0] ? std::string(dir) + "\\" : std::string();
  // The image group is what every screen needs, loose or packed.
  return Exists(base + "grp.TVN") || Exists(base + "grp") || Exists(base + "pak\\grp.TVN") ? 1 : 0;
}

int PLT_LocateData(const char* installedRelative, const char* installedAbsolute) {
  if (PLT_HoldsData("")) return 1;
  std::string data;
  const std::string exeDir = ExecutableDir();
  if (installedRelative && !exeDir.empty()) {
    const std::string rel = exeDir + "\\" + installedRelative;
    if (PLT_HoldsData(rel.c_str())) data = rel;
  }
  if (data.empty() && installedAbsolute && installedAbsolute[0] && PLT_HoldsData(installedAbsolute)) {
    data = installedAbsolute;
  }
  if (data.empty() || !::SetCurrentDirectoryA(data.c_str())) return 0;
  // Without a writable place the game still runs; its saves then fail with
  // their own messages.
  const std::string user = LocalAppData();
  if (!user.empty() && MakeDirs(user)) {
    PLT_SetUserDir(user.c_str());
    const std::string state = user + "\\err";
    if (MakeDirs(state)) PLT_SetStateDir(state.c_str());
  }
  return 1;
}

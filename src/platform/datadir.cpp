// Finding the data directory and the player's writable directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/plt_datadir.h"
#include "platform/plt_file.h"

namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

std::string ExecutableDir() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

bool MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && !Exists(part)) return false;
    }
  }
  return true;
}

// $VAR/zentrova, or ~/FALLBACK/zentrova when VAR is unset or not absolute
// (the base directory convention ignores relative values).
std::string UserDir(const char* var, const char* fallback) {
  const char* xdg = std::getenv(var);
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/zentrova";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/" + fallback + "/zentrova";
  return std::string();
}

}  // namespace

int PLT_HoldsData(const char* dir) {
  const std::string base = dir && dir[0] ? std::string(dir) + "/" : std::string();
  // The image group is what every screen needs, loose or packed.
  return Exists(base + "grp.TVN") || Exists(base + "grp") || Exists(base + "pak/grp.TVN") ? 1 : 0;
}

int PLT_LocateData(const char* installedRelative, const char* installedAbsolute) {
  if (PLT_HoldsData("")) return 1;
  std::string data;
  const std::string exeDir = ExecutableDir();
  if (installedRelative && !exeDir.empty()) {
    const std::string rel = exeDir + "/" + installedRelative;
    if (PLT_HoldsData(rel.c_str())) data = rel;
  }
  if (data.empty() && installedAbsolute && PLT_HoldsData(installedAbsolute)) {
    data = installedAbsolute;
  }
  if (data.empty() || ::chdir(data.c_str()) != 0) return 0;
  const std::string user = UserDir("XDG_DATA_HOME", ".local/share");
  const std::string state = UserDir("XDG_STATE_HOME", ".local/state");
  // Without a writable place the game still runs; its saves then fail with
  // their own messages.
  if (!user.empty() && MakeDirs(user)) PLT_SetUserDir(user.c_str());
  if (!state.empty() && MakeDirs(state)) PLT_SetStateDir(state.c_str());
  return 1;
}

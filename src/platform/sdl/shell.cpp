// Opening documents and web addresses with the desktop's handler.
#include <SDL.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/plt_file.h"
#include "platform/plt_shell.h"
#include "platform/sdl/sdl_backend.h"

namespace {

// The opener runs in a grandchild whose failure nobody sees: whether there
// is one to run is asked first.
bool HaveOpener() {
  const char* path = std::getenv("PATH");
  std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // An empty entry is the working folder. Built in one step: GCC 12 at -O2
    // takes assigning a literal to the piece for an overlapping copy.
    const std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
    if (access((dir + "/xdg-open").c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

int PLT_ShellOpen(const char* target) {
  if (!target || !*target || !HaveOpener()) return 0;
  std::string arg = target;
  // A file name in the program's own path form becomes a host path; an
  // address with a scheme goes as it is.
  if (!std::strstr(target, "://") && std::strncmp(target, "mailto:", 7) != 0) {
    arg = PLT_ResolvePath(target);
    if (arg.empty()) return 0;
    char full[PATH_MAX];
    if (realpath(arg.c_str(), full)) arg = full;
  }
  // Two forks so that the opener is adopted by init and never becomes our
  // zombie, and so that it outlives us.
  pid_t child = fork();
  if (child < 0) return 0;
  if (child == 0) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild == 0) {
      int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      execlp("xdg-open", "xdg-open", arg.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
}

void PLT_PublishText(const char* utf8) {
  if (!utf8) return;
  std::fputs(utf8, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  if (SDLB_EnsureVideo()) SDL_SetClipboardText(utf8);
}

// The single-instance lock: an advisory lock on a file in the runtime directory.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/plt_instance.h"

namespace {
int g_lockFd = -1;
}

int PLT_AcquireInstanceLock(const char* name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string path(dir && *dir ? dir : "/tmp");
  path.append("/").append(name);
  if (!dir || !*dir) path.append(".").append(std::to_string(::getuid()));
  path.append(".lock");
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return 1;  // no lock possible: let this copy run rather than none
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return 0;
  }
  g_lockFd = fd;
  return 1;
}

void PLT_ReleaseInstanceLock() {
  if (g_lockFd >= 0) {
    ::close(g_lockFd);
    g_lockFd = -1;
  }
}

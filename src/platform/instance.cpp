// The single-instance lock: an advisory lock on a file in the runtime directory.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/plt_instance.h"

namespace {

int g_lockFd = -1;
std::string g_foreignPath;  // the lock file another user holds, "" none

// In the runtime directory, which is the user's own; without one in the
// temporary directory, which every user shares: the name carries the user's
// number there.
std::string LockPath(const char* name, bool* shared) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  *shared = !dir || !*dir;
  std::string path;
  if (*shared) {
    const char* tmp = std::getenv("TMPDIR");
    path = tmp && *tmp ? tmp : "/tmp";
  } else {
    path = dir;
  }
  path.append("/").append(name);
  if (*shared) path.append(".").append(std::to_string(::getuid()));
  path.append(".lock");
  return path;
}

}  // namespace

int PLT_AcquireInstanceLock(const char* name) {
  g_foreignPath.clear();
  bool shared = false;
  const std::string path = LockPath(name, &shared);
  // A link in its place is not followed: in a shared folder it would let
  // another user point the lock at a file of theirs, or of ours.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  struct stat st {};
  const bool foreign = fd >= 0 ? (::fstat(fd, &st) == 0 && st.st_uid != ::getuid())
                               : (errno == ELOOP || errno == EACCES) &&
                                     ::lstat(path.c_str(), &st) == 0 &&
                                     (S_ISLNK(st.st_mode) || st.st_uid != ::getuid());
  if (foreign) {
    if (fd >= 0) ::close(fd);
    g_foreignPath = path;
    return PLT_LOCK_FOREIGN;
  }
  if (fd < 0) return 1;  // no lock possible: let this copy run rather than none
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return 0;
  }
  g_lockFd = fd;
  return 1;
}

const char* PLT_InstanceLockForeignPath() {
  return g_foreignPath.c_str();
}

int PLT_InstanceLockHeld(const char* name) {
  bool shared = false;
  const std::string path = LockPath(name, &shared);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return 0;
  // A shared lock conflicts with the game's and is given back at once.
  int held = 0;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    held = errno == EWOULDBLOCK ? 1 : 0;
  } else {
    ::flock(fd, LOCK_UN);
  }
  ::close(fd);
  return held;
}

void PLT_ReleaseInstanceLock() {
  if (g_lockFd >= 0) {
    ::close(g_lockFd);
    g_lockFd = -1;
  }
}

// Files with Windows path semantics on a case-sensitive file system.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fault_inject.h"
#include "platform/plt_file.h"

struct PltFile {
  int fd;
};

namespace {

constexpr mode_t kFileMode = 0644;  // less the umask, as every new file
constexpr mode_t kTempMode = 0600;  // a temporary is ours alone until it is in place

int OpenFile(const char* host, int flags, mode_t mode = kFileMode) {
  if (PLT_FaultHit(PLT_FAULT_OPEN, host)) {
    errno = EACCES;
    return -1;
  }
  return ::open(host, flags | O_CLOEXEC, mode);
}

ssize_t WriteSome(int fd, const void* p, size_t n) {
  switch (PLT_FaultWrite()) {
    case PLT_WRITE_FAIL:
      errno = ENOSPC;
      return -1;
    case PLT_WRITE_HALF:
      return ::write(fd, p, n / 2);
    case PLT_WRITE_WHOLE:
      break;
  }
  return ::write(fd, p, n);
}

int SyncFd(int fd) {
  if (PLT_FaultHit(PLT_FAULT_FSYNC, nullptr)) {
    errno = EIO;
    return -1;
  }
  return ::fsync(fd);
}

int RenameFile(const char* from, const char* to) {
  if (PLT_FaultHit(PLT_FAULT_RENAME, from)) {
    errno = EIO;
    return -1;
  }
  return ::rename(from, to);
}

// Splits on both separators, dropping empty and "." components.
std::vector<std::string> SplitPath(const char* path) {
  std::vector<std::string> parts;
  std::string cur;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') {
      if (!cur.empty() && cur != ".") parts.push_back(cur);
      cur.clear();
    } else {
      cur += *p;
    }
  }
  if (!cur.empty() && cur != ".") parts.push_back(cur);
  return parts;
}

// Finds the entry of dir whose name equals name without regard to case;
// an exact match wins over a folded one.
bool FindEntry(const std::string& dir, const std::string& name, std::string* found) {
  std::string probe = dir.empty() ? name : dir + "/" + name;
  struct stat st;
  if (::stat(probe.c_str(), &st) == 0) {
    *found = name;
    return true;
  }
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  bool ok = false;
  while (struct dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      *found = e->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(d);
  return ok;
}

}  // namespace

namespace {

// Where the player's own files go when the data directory is not writable
// (an installed game); empty: everything in the working directory.
std::string g_userDir;
// Where the files of the "err" folder (the debug log) go then: they are
// state, not data.
std::string g_stateDir;
constexpr const char* kStateFolder = "err";

// Resolves path component by component from dir ("" the working directory).
std::string ResolveFrom(const std::string& base, const char* path) {
  const bool absolute = path[0] == '/' || path[0] == '\\';
  std::string dir = absolute ? std::string("/") : base;
  std::vector<std::string> parts = SplitPath(path);
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string found;
    const std::string& want = parts[i];
    if (want == "..") {
      found = want;
    } else if (!FindEntry(dir == "/" ? "/" : dir, want, &found)) {
      found = want;  // does not exist (yet): keep the name as given
    }
    if (dir.empty()) {
      dir = found;
    } else if (dir == "/") {
      dir += found;
    } else {
      dir += "/" + found;
    }
  }
  return dir.empty() ? std::string(".") : dir;
}

bool IsRelative(const char* path) {
  return path[0] != '/' && path[0] != '\\';
}

// Writes of relative paths go to the user directory when there is one;
// reads take the user's copy when it exists, the data directory's otherwise.
std::string Resolve(const char* path, bool write) {
  if (!path) return std::string();
  if (!g_stateDir.empty() && IsRelative(path)) {
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.size() > 1 && ::strcasecmp(parts[0].c_str(), kStateFolder) == 0) {
      std::string rest = parts[1];
      for (size_t i = 2; i < parts.size(); ++i) rest += "/" + parts[i];
      return ResolveFrom(g_stateDir, rest.c_str());
    }
  }
  if (g_userDir.empty() || !IsRelative(path)) return ResolveFrom("", path);
  std::string user = ResolveFrom(g_userDir, path);
  if (write) return user;
  struct stat st;
  if (::stat(user.c_str(), &st) == 0) return user;
  return ResolveFrom("", path);
}

}  // namespace

std::string PLT_ResolvePath(const char* path) {
  return Resolve(path, false);
}

void PLT_SetUserDir(const char* hostDir) {
  g_userDir = hostDir ? hostDir : "";
}

const char* PLT_UserDir() {
  return g_userDir.c_str();
}

void PLT_SetStateDir(const char* hostDir) {
  g_stateDir = hostDir ? hostDir : "";
}

const char* PLT_StateDir() {
  return g_stateDir.c_str();
}

PltFile* PLT_FileOpen(const char* path, int mode) {
  std::string host = Resolve(path, mode != PLT_OPEN_READ);
  int flags = 0;
  switch (mode) {
    case PLT_OPEN_READ:
      flags = O_RDONLY;
      break;
    case PLT_OPEN_WRITE_TRUNC:
      flags = O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case PLT_OPEN_WRITE_KEEP:
      flags = O_RDWR | O_CREAT;
      break;
    case PLT_OPEN_APPEND:
      flags = O_WRONLY | O_CREAT | O_APPEND;
      break;
    case PLT_OPEN_READ_WRITE:
      flags = O_RDWR;
      break;
    default:
      return nullptr;
  }
  int fd = OpenFile(host.c_str(), flags);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return new PltFile{fd};
}

void PLT_FileClose(PltFile* f) {
  if (!f) return;
  ::close(f->fd);
  delete f;
}

int64_t PLT_FileRead(PltFile* f, void* dst, int64_t n) {
  if (!f || n < 0) return -1;
  int64_t total = 0;
  auto* p = static_cast<char*>(dst);
  while (total < n) {
    ssize_t r = ::read(f->fd, p + total, static_cast<size_t>(n - total));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return total > 0 ? total : -1;
    if (r == 0) break;
    total += r;
  }
  return total;
}

int64_t PLT_FileWrite(PltFile* f, const void* src, int64_t n) {
  if (!f || n < 0) return -1;
  int64_t total = 0;
  auto* p = static_cast<const char*>(src);
  while (total < n) {
    ssize_t r = WriteSome(f->fd, p + total, static_cast<size_t>(n - total));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return total > 0 ? total : -1;
    total += r;
  }
  return total;
}

int64_t PLT_FileSeek(PltFile* f, int64_t offset, int whence) {
  if (!f) return -1;
  int w = whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : SEEK_SET;
  off_t r = ::lseek(f->fd, static_cast<off_t>(offset), w);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t PLT_FileSize(PltFile* f) {
  if (!f) return -1;
  struct stat st;
  if (::fstat(f->fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int PLT_FileExists(const char* path) {
  struct stat st;
  return ::stat(PLT_ResolvePath(path).c_str(), &st) == 0 ? 1 : 0;
}

int PLT_MakeDir(const char* path) {
  std::string host = Resolve(path, true);
  if (::mkdir(host.c_str(), 0755) == 0 || errno == EEXIST) return 1;
  return 0;
}

namespace {

// "dir/name" split at the last separator; dir is "." for a bare name.
void SplitHost(const std::string& host, std::string* dir, std::string* name) {
  size_t slash = host.rfind('/');
  if (slash == std::string::npos) {
    dir->assign(1, '.');  // assign, not "=": GCC 12 warns falsely at -O3
    *name = host;
  } else {
    *dir = slash == 0 ? std::string(1, '/') : host.substr(0, slash);
    *name = host.substr(slash + 1);
  }
}

// The process id in a temporary's name "<name>.tmp<pid>" or "<name>.tmp.<pid>",
// or -1 when entry is no temporary of name.
long TempPid(const std::string& entry, const std::string& name) {
  std::string prefix(name);
  prefix.append(".tmp");
  if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) return -1;
  size_t at = prefix.size();
  if (entry[at] == '.') ++at;
  if (at >= entry.size() || entry.size() - at > 10) return -1;
  long pid = 0;
  for (size_t i = at; i < entry.size(); ++i) {
    if (entry[i] < '0' || entry[i] > '9') return -1;
    pid = pid * 10 + (entry[i] - '0');
  }
  return pid > 0 ? pid : -1;
}

// A temporary is left over when its writer is gone. Ours can be only one
// left by an earlier process of the same number: saving runs on one thread.
bool WriterGone(long pid) {
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

int RemoveStaleTempsHost(const std::string& host) {
  std::string dir, name;
  SplitHost(host, &dir, &name);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  std::vector<std::string> stale;
  while (struct dirent* e = ::readdir(d)) {
    long pid = TempPid(e->d_name, name);
    if (pid > 0 && WriterGone(pid)) stale.emplace_back(e->d_name);
  }
  ::closedir(d);
  int removed = 0;
  for (const std::string& s : stale) {
    std::string full(dir);
    full.append("/").append(s);
    if (::unlink(full.c_str()) == 0) ++removed;
  }
  return removed;
}

// The process's file-creation mask, read once (reading it means setting it).
mode_t CurrentUmask() {
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

// Makes a rename in dir last: the directory entry itself is written out.
bool SyncDir(const std::string& dir) {
  int fd = OpenFile(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  bool ok = SyncFd(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

int PLT_RemoveStaleTemps(const char* path) {
  if (!path) return 0;
  return RemoveStaleTempsHost(Resolve(path, true));
}

int PLT_FileReplaceAtomic(const char* path, const void* data, int64_t n) {
  std::string host = Resolve(path, true);
  RemoveStaleTempsHost(host);
  std::string dir, name;
  SplitHost(host, &dir, &name);
  // The name keeps our process number, by which a later run finds it left
  // over. It is made new (a leftover of ours was removed above), never
  // through a link, and readable by us alone until it is complete.
  std::string tmp(host);
  tmp.append(".tmp").append(std::to_string(::getpid()));
  int fd = OpenFile(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, kTempMode);
  if (fd < 0) return 0;
  PltFile f{fd};
  bool ok = PLT_FileWrite(&f, data, n) == n && SyncFd(fd) == 0;
  if (!ok || RenameFile(tmp.c_str(), host.c_str()) != 0) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return 0;
  }
  // In place it gets the mode every new file of ours has; through the
  // descriptor, so nothing put under the name meanwhile is changed.
  ::fchmod(fd, kFileMode & ~CurrentUmask());
  ok = ::close(fd) == 0;
  // The new contents are in place; a folder that cannot be synced may still
  // lose them to a power cut, which the caller hears about.
  return SyncDir(dir) && ok ? 1 : 0;
}

// Files with Windows path semantics on a case-sensitive file system.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/plt_file.h"

struct PltFile {
  int fd;
};

namespace {

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
  int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
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
    ssize_t r = ::write(f->fd, p + total, static_cast<size_t>(n - total));
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

int PLT_FileReplaceAtomic(const char* path, const void* data, int64_t n) {
  std::string host = Resolve(path, true);
  std::string tmp = host + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 0;
  PltFile f{fd};
  bool ok = PLT_FileWrite(&f, data, n) == n && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(tmp.c_str(), host.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return 0;
  }
  return 1;
}

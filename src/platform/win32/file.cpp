// Files on the Win32 file API. The file system already folds case and takes
// both separators; what is left is where relative paths go (the player's and
// the log's folders) and the one-step replacement of a file.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fault_inject.h"
#include "platform/plt_file.h"

struct PltFile {
  HANDLE h;
};

namespace {

// Others may read, replace and delete a file while it is open, as on the
// Linux build: the save replaces "rank.sav" while a reader may hold it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenHost(const char* host, DWORD access, DWORD disposition, DWORD flags) {
  if (PLT_FaultHit(PLT_FAULT_OPEN, host)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return ::CreateFileA(host, access, kShareAll, nullptr, disposition, flags, nullptr);
}

// One write call; false on failure. A short write stores half the bytes and
// arms the next write to fail, as a disk that fills up does.
bool WriteSome(HANDLE h, const void* p, DWORD n, DWORD* done) {
  *done = 0;
  switch (PLT_FaultWrite()) {
    case PLT_WRITE_FAIL:
      return false;
    case PLT_WRITE_HALF:
      n /= 2;
      break;
    case PLT_WRITE_WHOLE:
      break;
  }
  return ::WriteFile(h, p, n, done, nullptr) != 0;
}

bool SyncHandle(HANDLE h, bool folder) {
  if (PLT_FaultHit(PLT_FAULT_FSYNC, nullptr)) return false;
  // A folder cannot be flushed on Windows: the write-through rename already
  // made its entry last.
  return folder || ::FlushFileBuffers(h) != 0;
}

bool RenameHost(const char* from, const char* to) {
  if (PLT_FaultHit(PLT_FAULT_RENAME, from)) return false;
  return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsRelative(const char* path) {
  if (IsSeparator(path[0])) return false;
  const bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
  return !(letter && path[1] == ':');
}

bool Exists(const std::string& host) {
  return ::GetFileAttributesA(host.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string g_userDir;
std::string g_stateDir;
constexpr const char* kStateFolder = "err";

std::string Join(const std::string& dir, const char* rest) {
  if (dir.empty()) return rest;
  std::string out(dir);
  if (!IsSeparator(out.back())) out += '\\';
  return out + rest;
}

// Relative paths in the "err" folder go to the state folder; other writes of
// relative paths to the user folder, whose copy reads prefer when it exists.
std::string Resolve(const char* path, bool write) {
  if (!path) return std::string();
  if (!g_stateDir.empty() && IsRelative(path)) {
    const size_t n = std::strlen(kStateFolder);
    if (::_strnicmp(path, kStateFolder, n) == 0 && IsSeparator(path[n])) {
      const char* rest = path + n;
      while (IsSeparator(*rest)) ++rest;
      if (*rest) return Join(g_stateDir, rest);
    }
  }
  if (g_userDir.empty() || !IsRelative(path)) return path;
  std::string user = Join(g_userDir, path);
  if (write || Exists(user)) return user;
  return path;
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
  if (!path) return nullptr;
  const std::string host = Resolve(path, mode != PLT_OPEN_READ);
  DWORD access = 0, disposition = 0;
  switch (mode) {
    case PLT_OPEN_READ:
      access = GENERIC_READ;
      disposition = OPEN_EXISTING;
      break;
    case PLT_OPEN_WRITE_TRUNC:
      access = GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case PLT_OPEN_WRITE_KEEP:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
    case PLT_OPEN_APPEND:
      // Without the right to write anywhere else, every write goes to the end.
      access = FILE_APPEND_DATA | SYNCHRONIZE;
      disposition = OPEN_ALWAYS;
      break;
    case PLT_OPEN_READ_WRITE:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_EXISTING;
      break;
    default:
      return nullptr;
  }
  HANDLE h = OpenHost(host.c_str(), access, disposition, FILE_ATTRIBUTE_NORMAL);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return new PltFile{h};
}

void PLT_FileClose(PltFile* f) {
  if (!f) return;
  ::CloseHandle(f->h);
  delete f;
}

namespace {
// One call moves at most this much: ReadFile and WriteFile count in DWORDs.
constexpr int64_t kMaxChunk = 1 << 30;
}  // namespace

int64_t PLT_FileRead(PltFile* f, void* dst, int64_t n) {
  if (!f || n < 0) return -1;
  int64_t total = 0;
  auto* p = static_cast<char*>(dst);
  while (total < n) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(n - total, kMaxChunk));
    if (!::ReadFile(f->h, p + total, want, &got, nullptr)) return total > 0 ? total : -1;
    if (got == 0) break;
    total += got;
  }
  return total;
}

int64_t PLT_FileWrite(PltFile* f, const void* src, int64_t n) {
  if (!f || n < 0) return -1;
  int64_t total = 0;
  auto* p = static_cast<const char*>(src);
  while (total < n) {
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(std::min(n - total, kMaxChunk));
    const bool ok = WriteSome(f->h, p + total, want, &done);
    total += done;
    if (!ok || done == 0) return total > 0 ? total : -1;
  }
  return total;
}

int64_t PLT_FileSeek(PltFile* f, int64_t offset, int whence) {
  if (!f) return -1;
  const DWORD method = whence == 1 ? FILE_CURRENT : whence == 2 ? FILE_END : FILE_BEGIN;
  LARGE_INTEGER to, at;
  to.QuadPart = offset;
  if (!::SetFilePointerEx(f->h, to, &at, method)) return -1;
  return at.QuadPart;
}

int64_t PLT_FileSize(PltFile* f) {
  if (!f) return -1;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(f->h, &size)) return -1;
  return size.QuadPart;
}

int PLT_FileExists(const char* path) {
  return path && Exists(PLT_ResolvePath(path)) ? 1 : 0;
}

int PLT_MakeDir(const char* path) {
  if (!path) return 0;
  const std::string host = Resolve(path, true);
  if (::CreateDirectoryA(host.c_str(), nullptr)) return 1;
  return ::GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
}

namespace {

void SplitHost(const std::string& host, std::string* dir, std::string* name) {
  const size_t slash = host.find_last_of("\\/");
  if (slash == std::string::npos) {
    dir->assign(1, '.');
    *name = host;
  } else {
    *dir = slash == 0 ? host.substr(0, 1) : host.substr(0, slash);
    *name = host.substr(slash + 1);
  }
}

// The process id in "<name>.tmp<pid>" or "<name>.tmp.<pid>" (case folded,
// as the file system folds it), or -1 when entry is no temporary of name.
long TempPid(const std::string& entry, const std::string& name) {
  std::string prefix(name);
  prefix.append(".tmp");
  if (entry.size() <= prefix.size() ||
      ::_strnicmp(entry.c_str(), prefix.c_str(), prefix.size()) != 0) {
    return -1;
  }
  size_t at = prefix.size();
  if (entry[at] == '.') ++at;
  if (at >= entry.size() || entry.size() - at > 10) return -1;
  long long pid = 0;
  for (size_t i = at; i < entry.size(); ++i) {
    if (entry[i] < '0' || entry[i] > '9') return -1;
    pid = pid * 10 + (entry[i] - '0');
  }
  return pid > 0 && pid <= 0x7FFFFFFF ? static_cast<long>(pid) : -1;
}

// A temporary is left over when its writer is gone; ours can only be one an
// earlier process of the same number left.
bool WriterGone(long pid) {
  if (static_cast<DWORD>(pid) == ::GetCurrentProcessId()) return true;
  HANDLE p = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!p) return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = ::WaitForSingleObject(p, 0) == WAIT_OBJECT_0;
  ::CloseHandle(p);
  return ended;
}

int RemoveStaleTempsHost(const std::string& host) {
  std::string dir, name;
  SplitHost(host, &dir, &name);
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::vector<std::string> stale;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const long pid = TempPid(fd.cFileName, name);
    if (pid > 0 && WriterGone(pid)) stale.emplace_back(fd.cFileName);
  } while (::FindNextFileA(find, &fd));
  ::FindClose(find);
  int removed = 0;
  for (const std::string& s : stale) {
    if (::DeleteFileA((dir + "\\" + s).c_str())) ++removed;
  }
  return removed;
}

// The folder step of a replacement: the same fault points as on Linux, so
// that the saves' failure paths are tested alike.
bool SyncDir(const std::string& dir) {
  HANDLE h = OpenHost(dir.c_str(), GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = SyncHandle(h, true);
  ::CloseHandle(h);
  return ok;
}

}  // namespace

int PLT_RemoveStaleTemps(const char* path) {
  if (!path) return 0;
  return RemoveStaleTempsHost(Resolve(path, true));
}

int PLT_FileReplaceAtomic(const char* path, const void* data, int64_t n) {
  if (!path) return 0;
  const std::string host = Resolve(path, true);
  RemoveStaleTempsHost(host);
  std::string dir, name;
  SplitHost(host, &dir, &name);
  std::string tmp(host);
  tmp.append(".tmp").append(std::to_string(::GetCurrentProcessId()));
  HANDLE h = OpenHost(tmp.c_str(), GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  if (h == INVALID_HANDLE_VALUE) return 0;
  PltFile f{h};
  bool ok = PLT_FileWrite(&f, data, n) == n && SyncHandle(h, false);
  ok = ::CloseHandle(h) && ok;
  if (!ok || !RenameHost(tmp.c_str(), host.c_str())) {
    ::DeleteFileA(tmp.c_str());
    return 0;
  }
  return SyncDir(dir) ? 1 : 0;
}

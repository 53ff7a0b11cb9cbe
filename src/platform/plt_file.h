// Files with Windows path semantics: '\' separators, names matched without
// regard to case.
#pragma once
#include <cstdint>
#include <string>

struct PltFile;

enum PltOpenMode : int {
  PLT_OPEN_READ = 0,         // existing file, read only
  PLT_OPEN_WRITE_TRUNC = 1,  // create or empty, write
  PLT_OPEN_WRITE_KEEP = 2,   // create if missing, never truncate, read and write
  PLT_OPEN_APPEND = 3,       // create if missing, writes go to the end
  PLT_OPEN_READ_WRITE = 4,   // existing file, read and write
};

// Resolves a Windows-style relative or absolute path to an existing host path
// (each component matched without regard to case). For a file that does not
// exist yet, the directories are resolved and the last component kept.
std::string PLT_ResolvePath(const char* path);

// Sends the writes of relative paths to hostDir (a host path; empty or null:
// the working directory, the default). Reads of relative paths then prefer a
// file that exists there, so the player's own files win over the data's.
void PLT_SetUserDir(const char* hostDir);
const char* PLT_UserDir();

PltFile* PLT_FileOpen(const char* path, int mode);
void PLT_FileClose(PltFile* f);
// Returns bytes read or written, -1 on error.
int64_t PLT_FileRead(PltFile* f, void* dst, int64_t n);
int64_t PLT_FileWrite(PltFile* f, const void* src, int64_t n);
// whence: 0 set, 1 current, 2 end. Returns the new position or -1.
int64_t PLT_FileSeek(PltFile* f, int64_t offset, int whence);
int64_t PLT_FileSize(PltFile* f);
int PLT_FileExists(const char* path);
int PLT_MakeDir(const char* path);
// Writes the whole file to a temporary beside it and renames it over the
// target, so readers see either the old or the new contents. Returns 1 or 0.
int PLT_FileReplaceAtomic(const char* path, const void* data, int64_t n);

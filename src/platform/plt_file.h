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
// Sends the files of the relative folder "err" (the debug log) to hostDir
// itself, reads and writes alike (empty or null: where the other files go,
// the default).
void PLT_SetStateDir(const char* hostDir);
const char* PLT_StateDir();

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
// target, so readers see either the old or the new contents, then syncs the
// folder so the rename lasts. Temporaries of the same file left by processes
// that died while saving are removed first. Returns 1, or 0 when any step
// failed (the target then holds the old contents, or the new ones when only
// the folder sync failed).
int PLT_FileReplaceAtomic(const char* path, const void* data, int64_t n);
// Removes "<path>.tmp<pid>" and "<path>.tmp.<pid>" files whose process is no
// longer running. Returns how many went.
int PLT_RemoveStaleTemps(const char* path);

// Fault injection for the tests: off unless armed. Each field, when above
// zero, makes the Nth open, write, fsync or rename after arming fail; a
// short write stores half of that write's bytes and fails the next one, as a
// disk that fills up does. Writes count system calls, opens include the
// folder opened to sync it.
struct PltFaultInject {
  int failOpenAt = 0;
  int failWriteAt = 0;
  int failFsyncAt = 0;
  int failRenameAt = 0;
  int shortWriteAt = 0;
  // Called with the host path just before a file is opened or renamed (from
  // its temporary name): what another process might do in that moment.
  void (*beforeOpen)(const char* host) = nullptr;
  void (*beforeRename)(const char* from) = nullptr;
};
struct PltFaultCounts {
  int opens = 0;
  int writes = 0;
  int fsyncs = 0;
  int renames = 0;
};
// Arms faults (and restarts the counts); Off disarms them all.
void PLT_FaultInjectArm(const PltFaultInject& faults);
void PLT_FaultInjectOff();
// The operations seen since arming, and whether an armed fault went off.
PltFaultCounts PLT_FaultInjectCounts();
int PLT_FaultInjectFired();

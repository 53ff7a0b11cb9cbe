// The single-instance lock (the named mutex of the original).
#pragma once

enum : int { PLT_LOCK_FOREIGN = -1 };

// Takes the lock named name. Returns 1 when taken, 0 when another process
// holds it, PLT_LOCK_FOREIGN when the lock file (or a link in its place)
// belongs to another user, who could hold it against every copy of ours.
int PLT_AcquireInstanceLock(const char* name);
// After PLT_LOCK_FOREIGN: the path of that file.
const char* PLT_InstanceLockForeignPath();
// 1 while a process (of this or another program) holds the lock named name,
// without taking it.
int PLT_InstanceLockHeld(const char* name);
void PLT_ReleaseInstanceLock();

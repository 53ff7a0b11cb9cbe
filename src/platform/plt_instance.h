// The single-instance lock (the named mutex of the original).
#pragma once

// Takes the lock named name. Returns 1 when taken, 0 when another process holds it.
int PLT_AcquireInstanceLock(const char* name);
void PLT_ReleaseInstanceLock();

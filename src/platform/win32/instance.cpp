// The single-instance lock: a named mutex of the session.
#include <windows.h>

#include "platform/plt_instance.h"

namespace {
HANDLE g_mutex = nullptr;
}

int PLT_AcquireInstanceLock(const char* name) {
  if (g_mutex) return 1;
  HANDLE m = ::CreateMutexA(nullptr, FALSE, name);
  // No mutex possible: let this copy run rather than none.
  if (!m) return 1;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(m);
    return 0;
  }
  g_mutex = m;
  return 1;
}

// A mutex lives in the session's own namespace: no other user's can stand
// in the way.
const char* PLT_InstanceLockForeignPath() {
  return "";
}

int PLT_InstanceLockHeld(const char* name) {
  HANDLE m = ::OpenMutexA(SYNCHRONIZE, FALSE, name);
  if (!m) return 0;
  ::CloseHandle(m);
  return 1;
}

void PLT_ReleaseInstanceLock() {
  if (g_mutex) {
    ::CloseHandle(g_mutex);
    g_mutex = nullptr;
  }
}

// Fault injection for the tests: one state, shared by the file backends.
#include "platform/fault_inject.h"

#include <atomic>

#include "platform/plt_file.h"

namespace {

// The armed faults and how many of each operation ran since arming. The
// music workers open and read files on their own threads: counts are atomic.
struct FaultState {
  std::atomic<int> failOpenAt{0}, failWriteAt{0}, failFsyncAt{0}, failRenameAt{0}, shortWriteAt{0};
  std::atomic<void (*)(const char*)> beforeOpen{nullptr}, beforeRename{nullptr};
  std::atomic<int> opens{0}, writes{0}, fsyncs{0}, renames{0};
  std::atomic<bool> fired{false};
};
FaultState g_fault;

}  // namespace

bool PLT_FaultHit(PltFaultOp op, const char* host) {
  std::atomic<int>* seen = &g_fault.opens;
  const std::atomic<int>* at = &g_fault.failOpenAt;
  void (*hook)(const char*) = nullptr;
  switch (op) {
    case PLT_FAULT_OPEN:
      hook = g_fault.beforeOpen.load();
      break;
    case PLT_FAULT_FSYNC:
      seen = &g_fault.fsyncs;
      at = &g_fault.failFsyncAt;
      break;
    case PLT_FAULT_RENAME:
      seen = &g_fault.renames;
      at = &g_fault.failRenameAt;
      hook = g_fault.beforeRename.load();
      break;
  }
  const int n = ++*seen;
  const int armed = at->load();
  if (armed > 0 && n == armed) {
    g_fault.fired = true;
    return true;
  }
  if (hook && host) hook(host);
  return false;
}

PltFaultWrite PLT_FaultWrite() {
  const int seen = ++g_fault.writes;
  if (seen == g_fault.failWriteAt.load()) {
    g_fault.fired = true;
    return PLT_WRITE_FAIL;
  }
  if (seen == g_fault.shortWriteAt.load()) {
    g_fault.fired = true;
    g_fault.failWriteAt = seen + 1;
    return PLT_WRITE_HALF;
  }
  return PLT_WRITE_WHOLE;
}

void PLT_FaultInjectArm(const PltFaultInject& faults) {
  g_fault.failOpenAt = faults.failOpenAt;
  g_fault.failWriteAt = faults.failWriteAt;
  g_fault.failFsyncAt = faults.failFsyncAt;
  g_fault.failRenameAt = faults.failRenameAt;
  g_fault.shortWriteAt = faults.shortWriteAt;
  g_fault.beforeOpen = faults.beforeOpen;
  g_fault.beforeRename = faults.beforeRename;
  g_fault.opens = 0;
  g_fault.writes = 0;
  g_fault.fsyncs = 0;
  g_fault.renames = 0;
  g_fault.fired = false;
}

void PLT_FaultInjectOff() {
  PLT_FaultInjectArm(PltFaultInject());
}

PltFaultCounts PLT_FaultInjectCounts() {
  PltFaultCounts c;
  c.opens = g_fault.opens;
  c.writes = g_fault.writes;
  c.fsyncs = g_fault.fsyncs;
  c.renames = g_fault.renames;
  return c;
}

int PLT_FaultInjectFired() {
  return g_fault.fired ? 1 : 0;
}

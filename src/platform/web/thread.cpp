// Threads and auto-reset events of the web backend: the page has no threads
// (no shared memory without cross-origin isolation), so a thread is a fiber
// on Asyncify's stack switching. It runs until it waits for an event that is
// not signalled, then the main program goes on; the sound pump resumes the
// workers whose events the mixer signalled, as the headless clock waits for
// its workers to settle after each mixed chunk.
#include <emscripten.h>
#include <emscripten/fiber.h>

#include <algorithm>
#include <vector>

#include "platform/plt_clock.h"
#include "platform/plt_thread.h"
#include "platform/web/web_backend.h"

namespace {

constexpr int kCStackBytes = 256 * 1024;
constexpr int kAsyncifyStackBytes = 64 * 1024;
// Resumptions of one worker in one settling pass before it counts as stuck.
constexpr int kMaxResumes = 10000;

}  // namespace

struct PltEvent {
  bool signalled = false;
};

struct PltThread {
  emscripten_fiber_t fiber;
  void (*fn)(void*) = nullptr;
  void* arg = nullptr;
  std::vector<char> cStack;
  std::vector<char> asyncStack;
  bool started = false;
  bool done = false;
  // What it waits for: events (count of them) until deadline (or forever).
  PltEvent* const* waitEvents = nullptr;
  int waitCount = 0;
  bool waitForever = true;
  uint32_t waitDeadline = 0;
};

namespace {

struct Fibers {
  emscripten_fiber_t main;
  std::vector<char> mainAsyncStack;
  bool mainReady = false;
  PltThread* current = nullptr;  // null: the main program
  std::vector<PltThread*> threads;
  int eventCount = 0;
};

Fibers g_fib;

void EnsureMain() {
  if (g_fib.mainReady) return;
  g_fib.mainAsyncStack.resize(kAsyncifyStackBytes);
  emscripten_fiber_init_from_current_context(&g_fib.main, g_fib.mainAsyncStack.data(),
                                             g_fib.mainAsyncStack.size());
  g_fib.mainReady = true;
}

void Entry(void* arg) {
  auto* t = static_cast<PltThread*>(arg);
  t->fn(t->arg);
  t->done = true;
  g_fib.current = nullptr;
  // A fiber's entry must not return: it hands control back for good.
  for (;;) emscripten_fiber_swap(&t->fiber, &g_fib.main);
}

// Switches from the main program into t until it waits or ends.
void Resume(PltThread* t) {
  if (t->done || g_fib.current) return;
  g_fib.current = t;
  t->started = true;
  emscripten_fiber_swap(&g_fib.main, &t->fiber);
  g_fib.current = nullptr;
}

int FirstSignalled(PltEvent* const* events, int count) {
  for (int i = 0; i < count; ++i) {
    if (events[i] && events[i]->signalled) return i;
  }
  return -1;
}

bool Ready(const PltThread* t) {
  if (t->done) return false;
  if (!t->started) return true;
  if (!t->waitEvents) return false;  // its events were closed under it
  if (FirstSignalled(t->waitEvents, t->waitCount) >= 0) return true;
  return !t->waitForever && static_cast<int32_t>(PLT_TimeMs() - t->waitDeadline) >= 0;
}

}  // namespace

void WEBB_RunWorkers() {
  if (g_fib.current) return;
  for (bool again = true; again;) {
    again = false;
    for (size_t i = 0; i < g_fib.threads.size(); ++i) {
      PltThread* t = g_fib.threads[i];
      for (int n = 0; n < kMaxResumes && Ready(t); ++n) {
        Resume(t);
        again = true;
      }
    }
  }
}

PltThread* PLT_CreateThread(void (*fn)(void*), void* arg) {
  if (!fn) return nullptr;
  EnsureMain();
  auto* t = new PltThread;
  t->fn = fn;
  t->arg = arg;
  t->cStack.resize(kCStackBytes);
  t->asyncStack.resize(kAsyncifyStackBytes);
  emscripten_fiber_init(&t->fiber, Entry, t, t->cStack.data(), t->cStack.size(),
                        t->asyncStack.data(), t->asyncStack.size());
  g_fib.threads.push_back(t);
  // A new thread runs at once, up to its first wait, as a real one would
  // start while its creator goes on.
  if (!g_fib.current) Resume(t);
  return t;
}

void PLT_JoinThread(PltThread* t) {
  if (!t) return;
  // Joining means the thread was told to end: it runs until it does, or
  // until it waits for something nobody signals (then it is dropped).
  for (int n = 0; n < kMaxResumes && !t->done && Ready(t); ++n) Resume(t);
  g_fib.threads.erase(std::remove(g_fib.threads.begin(), g_fib.threads.end(), t),
                      g_fib.threads.end());
  if (t->done) delete t;  // a fiber left waiting keeps its stacks (never resumed)
}

PltEvent* PLT_CreateEvent() {
  ++g_fib.eventCount;
  return new PltEvent;
}

void PLT_CloseEvent(PltEvent* e) {
  if (!e) return;
  for (PltThread* t : g_fib.threads) {
    for (int i = 0; t->waitEvents && i < t->waitCount; ++i) {
      if (t->waitEvents[i] == e) t->waitEvents = nullptr, t->waitCount = 0;
    }
  }
  delete e;
  --g_fib.eventCount;
}

void PLT_SetEvent(PltEvent* e) {
  if (e) e->signalled = true;
}

int PLT_WaitEvents(PltEvent* const* events, int count, int timeoutMs) {
  const uint32_t start = PLT_TimeMs();
  PltThread* self = g_fib.current;
  for (;;) {
    int i = FirstSignalled(events, count);
    if (i >= 0) {
      events[i]->signalled = false;
      if (self) self->waitEvents = nullptr;
      return i;
    }
    if (timeoutMs == 0 ||
        (timeoutMs > 0 && PLT_TimeMs() - start >= static_cast<uint32_t>(timeoutMs))) {
      if (self) self->waitEvents = nullptr;
      return PLT_WAIT_TIMEOUT;
    }
    if (self) {
      self->waitEvents = events;
      self->waitCount = count;
      self->waitForever = timeoutMs < 0;
      self->waitDeadline = start + static_cast<uint32_t>(timeoutMs < 0 ? 0 : timeoutMs);
      g_fib.current = nullptr;
      emscripten_fiber_swap(&self->fiber, &g_fib.main);
      g_fib.current = self;
    } else {
      // The main program waits by letting the workers and the browser run.
      WEBB_RunWorkers();
      if (FirstSignalled(events, count) < 0) PLT_Sleep(1);
    }
  }
}

int PLT_WaitEventsSettled(PltEvent* const* events, int count, int) {
  WEBB_RunWorkers();
  return FirstSignalled(events, count) < 0 ? 1 : 0;
}

int PLT_EventCount() {
  return g_fib.eventCount;
}

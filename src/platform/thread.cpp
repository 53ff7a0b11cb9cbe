// Threads and auto-reset events on the standard library.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/plt_thread.h"

struct PltThread {
  std::thread t;
};

// All events share one mutex and condition so that a wait on several events
// sees a signal on any of them without lost wake-ups.
struct PltEvent {
  bool signalled = false;
  int working = 0;  // threads woken by it that have not waited again or ended
};

namespace {
std::mutex g_eventMutex;
std::condition_variable g_eventCond;
std::atomic<int> g_eventCount{0};
// Which thread was woken by which event and is still working on it, so that
// the headless clock can wait for workers to finish their response.
std::vector<std::pair<std::thread::id, PltEvent*>> g_working;

// With g_eventMutex held.
bool DropWorking(std::thread::id id) {
  bool any = false;
  for (size_t i = 0; i < g_working.size();) {
    if (g_working[i].first == id) {
      --g_working[i].second->working;
      g_working.erase(g_working.begin() + static_cast<std::ptrdiff_t>(i));
      any = true;
    } else {
      ++i;
    }
  }
  return any;
}

void ThreadMain(void (*fn)(void*), void* arg) {
  fn(arg);
  bool any;
  {
    std::lock_guard<std::mutex> lock(g_eventMutex);
    any = DropWorking(std::this_thread::get_id());
  }
  if (any) g_eventCond.notify_all();
}
}  // namespace

PltThread* PLT_CreateThread(void (*fn)(void*), void* arg) {
  auto* t = new PltThread;
  t->t = std::thread(ThreadMain, fn, arg);
  return t;
}

void PLT_JoinThread(PltThread* t) {
  if (!t) return;
  if (t->t.joinable()) t->t.join();
  delete t;
}

PltEvent* PLT_CreateEvent() {
  g_eventCount.fetch_add(1);
  return new PltEvent;
}

void PLT_CloseEvent(PltEvent* e) {
  if (!e) return;
  {
    std::lock_guard<std::mutex> lock(g_eventMutex);
    for (size_t i = 0; i < g_working.size();) {
      if (g_working[i].second == e) {
        g_working.erase(g_working.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
    delete e;
  }
  g_eventCount.fetch_sub(1);
}

void PLT_SetEvent(PltEvent* e) {
  if (!e) return;
  {
    std::lock_guard<std::mutex> lock(g_eventMutex);
    e->signalled = true;
  }
  g_eventCond.notify_all();
}

int PLT_WaitEvents(PltEvent* const* events, int count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(g_eventMutex);
  if (DropWorking(std::this_thread::get_id())) g_eventCond.notify_all();
  auto ready = [&]() {
    for (int i = 0; i < count; ++i) {
      if (events[i] && events[i]->signalled) return i;
    }
    return -1;
  };
  int idx = -1;
  if (timeoutMs < 0) {
    g_eventCond.wait(lock, [&] { return (idx = ready()) >= 0; });
  } else if (!g_eventCond.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return (idx = ready()) >= 0; })) {
    return PLT_WAIT_TIMEOUT;
  }
  events[idx]->signalled = false;
  ++events[idx]->working;
  g_working.emplace_back(std::this_thread::get_id(), events[idx]);
  return idx;
}

int PLT_WaitEventsSettled(PltEvent* const* events, int count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(g_eventMutex);
  auto settled = [&]() {
    for (int i = 0; i < count; ++i) {
      if (events[i] && (events[i]->signalled || events[i]->working > 0)) return false;
    }
    return true;
  };
  return g_eventCond.wait_for(lock, std::chrono::milliseconds(timeoutMs), settled) ? 1 : 0;
}

int PLT_EventCount() {
  return g_eventCount.load();
}

// Millisecond clock and sleeping for the SDL backend.
#include <sched.h>
#include <time.h>

#include <cerrno>

#include "platform/plt_clock.h"

// Milliseconds of the monotonic clock, wrapping like the multimedia timer.
uint32_t PLT_TimeMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

void PLT_Sleep(uint32_t ms) {
  if (ms == 0) {
    sched_yield();
    return;
  }
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

// The host's sleeps are already accurate to well under a millisecond.
void PLT_TimeBeginPeriod(uint32_t) {}
void PLT_TimeEndPeriod(uint32_t) {}

// Millisecond clock and sleeping of the web backend. A sleep yields to the
// browser (Asyncify unwinds the program's stack and resumes it from a timer),
// so the game's own loop and frame clock run unchanged in the page; the sound
// is mixed on the way. In a scripted replay the clock is virtual, as headless.
#include <emscripten.h>

#include "platform/plt_clock.h"
#include "platform/web/web.h"
#include "platform/web/web_backend.h"

namespace {

struct WebClock {
  bool virtualClock = false;
  uint32_t virtualMs = 0;
};

WebClock g_clock;

}  // namespace

bool WEBB_VirtualClock() {
  return g_clock.virtualClock;
}

void WEB_UseVirtualClock(uint32_t startMs) {
  g_clock.virtualClock = true;
  g_clock.virtualMs = startMs;
}

void WEB_Yield() {
  emscripten_sleep(0);
}

// Milliseconds of the page's monotonic clock, wrapping like the multimedia timer.
uint32_t PLT_TimeMs() {
  if (g_clock.virtualClock) return g_clock.virtualMs;
  return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void PLT_Sleep(uint32_t ms) {
  if (g_clock.virtualClock) {
    const uint32_t from = g_clock.virtualMs;
    g_clock.virtualMs += ms;
    WEBB_AudioAdvance(from, g_clock.virtualMs);
    return;
  }
  WEBB_AudioPump();
  emscripten_sleep(ms);
  WEBB_AudioPump();
  WEBB_StorageTick(PLT_TimeMs());
}

// The browser's timers are as fine as they get.
void PLT_TimeBeginPeriod(uint32_t) {}
void PLT_TimeEndPeriod(uint32_t) {}

// The multimedia timer's clock and sleeping, at the resolution asked for.
#include <windows.h>
#include <mmsystem.h>

#include "platform/plt_clock.h"

uint32_t PLT_TimeMs() {
  return ::timeGetTime();
}

void PLT_Sleep(uint32_t ms) {
  ::Sleep(ms);
}

void PLT_TimeBeginPeriod(uint32_t ms) {
  ::timeBeginPeriod(ms);
}

void PLT_TimeEndPeriod(uint32_t ms) {
  ::timeEndPeriod(ms);
}

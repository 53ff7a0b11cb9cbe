// The frame clock's shared record.
#include "common/clock.h"

FrameClock g_clock;

void CLK_RequestResync() {
  g_clock.resync = 1;
}

void CLK_Reset() {
  g_clock = FrameClock{};
}

// The frame clock's shared record: the shell's loop paces frames with it, and
// any module asks it for a resync after a long operation (a picture loaded, a
// scene started, a message box answered), so the time lost is not made up by
// skipping frames.
#pragma once
#include <cstdint>

struct FrameClock {
  uint32_t deadline;
  uint32_t now;
  uint32_t secondStart;
  int32_t drawnThisSecond;
  int32_t updatesThisSecond;
  int32_t drawnLastSecond;
  int32_t updatesLastSecond;
  int32_t skipCount;
  int16_t resync;
};
extern FrameClock g_clock;

// resync := 1: the next frame is due a frame after this one ends.
void CLK_RequestResync();
// Back to the start state (tests, start-up).
void CLK_Reset();

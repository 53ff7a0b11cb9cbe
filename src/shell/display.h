// Display modes: the back buffer's formats from the desktop's depth, the
// 8-bit path with its display palette, the display-change message, full
// screen and the menu bar shown over it, and the size query.
#pragma once
#include <cstdint>

#include "platform/plt_window.h"

struct DisplayState {
  int16_t desktopDepth;
  int16_t displayDepth;
  int16_t workingDepth;
  int32_t desktopWidth, desktopHeight;
  int32_t firstSetUp;
  uint8_t menuShown;
  int32_t hasPalette;
  uint8_t palette[1024];  // display palette: blue, green, red, 0
  uint8_t reserved[256];  // 255 for reserved entries (0-10, 246-255), 0 for free ones
};
extern DisplayState g_display;

// Screen set-up with the working depth (24). 1, or 0 for another depth.
int DSP_Setup(int depth);
// The 8-bit warning: dialog 106 unless "256_check" says otherwise.
void DSP_Warn256();
// The display-change message.
void DSP_DisplayChange(int depth, int width, int height);
// (640, 480) enters full screen, (-1, -1) returns to the window; the system's result.
int DSP_SwitchMode(int width, int height);
void DSP_PlaceFullScreen(int showMenu);
// Mouse move in full screen, client coordinates.
void DSP_MouseMove(int x, int y);
void DSP_SizeQuery(PltMinMaxInfo* info);
void DSP_FreePalette();
// Back to the state before the first set-up (tests, replays).
void DSP_Reset();

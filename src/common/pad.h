// The game controller, polled once a frame before the mouse: the left stick
// and the d-pad move the cursor, faster the longer they are held; A is the
// left button and B the right (the mouse poll reads them), X or a trigger
// skips, Start opens the menu bar.
#pragma once
#include <cstdint>

#include "platform/plt_input.h"

struct PadState {
  int32_t connected;
  uint8_t held[PLT_PAD_BUTTONS];
  uint8_t pressed[PLT_PAD_BUTTONS];
  int32_t moveFrames;  // frames the cursor has been moving, for the acceleration
  int32_t restX, restY;  // the part of a pixel carried to the next frame, 1/256
};
extern PadState g_pad;

void PAD_Poll(int active);
// The pad holds mouse button b down (0 left, 1 right).
int PAD_HoldsButton(int b);
// The pad asks for skipping (X or a trigger held).
int PAD_Skip();
void PAD_Reset();

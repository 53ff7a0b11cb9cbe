// The logical actions (decide, cancel, skip, …) derived from the keyboard
// and the mouse every frame.
#pragma once
#include <cstdint>

struct InputActions {
  int32_t decide, cancel, skip, enter, keyEnd, keyHome, pageUp, pageDown;
  int32_t up, down, left, right;
  int32_t digit[10];
  int32_t holdDecide;
};
extern InputActions g_act;

void ACT_Update();
// No action set (tests).
void ACT_Reset();

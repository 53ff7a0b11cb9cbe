// The logical actions, derived once a frame.
#include "common/act.h"

#include <cstring>

#include "common/key.h"
#include "common/mouse.h"
#include "common/pad.h"

InputActions g_act;

void ACT_Update() {
  InputActions a{};
  a.holdDecide = (g_keys.level[KEY_SPACE] || MOUSE_HeldInside(0)) ? 1 : 0;
  a.decide = (g_keys.pressed[KEY_SPACE] || MOUSE_PressedInside(0)) ? 1 : 0;
  a.cancel = (g_keys.pressed[KEY_SHIFT] || MOUSE_PressedInside(1)) ? 1 : 0;
  a.skip = (g_keys.level[KEY_CTRL] || MOUSE_HeldInside(2) || PAD_Skip()) ? 1 : 0;
  a.enter = g_keys.pressed[KEY_ENTER];
  if (!a.holdDecide) {
    a.keyEnd = g_keys.pressed[KEY_END];
    a.keyHome = g_keys.pressed[KEY_HOME];
    a.pageUp = g_keys.repeat[KEY_PAGEUP];
    a.pageDown = g_keys.repeat[KEY_PAGEDOWN];
  }
  a.up = g_keys.repeat[KEY_UP];
  a.down = g_keys.repeat[KEY_DOWN];
  a.left = g_keys.repeat[KEY_LEFT];
  a.right = g_keys.repeat[KEY_RIGHT];
  for (int k = 0; k < 10; ++k)
    a.digit[k] = (g_keys.pressed[KEY_DIGIT0 + k] || g_keys.pressed[KEY_PAD0 + k]) ? 1 : 0;
  if (a.decide && a.cancel) a.decide = 0;
  if (a.skip && (a.decide || a.cancel)) a.skip = 0;
  if (a.keyEnd && a.keyHome) a.keyEnd = 0;
  if (a.pageUp && a.pageDown) a.pageDown = 0;
  g_act = a;
}

void ACT_Reset() {
  g_act = InputActions{};
}

// The asynchronous key state both backends feed: a down-now bit and a
// pressed-since-last-query bit per virtual key.
#include <atomic>

#include "platform/pad_feed.h"
#include "platform/plt_input.h"

namespace {
std::atomic<uint16_t> g_state[PLT_VK_COUNT];
std::atomic<int> g_wheel{0};
// The pad is fed and read on the main thread only.
PltPadState g_pad;
}  // namespace

void PLT_InputWheel(int notches) {
  g_wheel.fetch_add(notches);
}

int PLT_TakeWheel() {
  return g_wheel.exchange(0);
}

void PLT_GetPadState(PltPadState* out) {
  *out = g_pad;
  for (uint16_t& b : g_pad.buttons) b = static_cast<uint16_t>(b & ~PLT_KEY_PRESSED_SINCE);
}

void PLT_InputPadConnected(int connected) {
  g_pad = PltPadState{};
  g_pad.connected = connected ? 1 : 0;
}

void PLT_InputPadButton(int button, int down) {
  if (button < 0 || button >= PLT_PAD_BUTTONS) return;
  uint16_t& b = g_pad.buttons[button];
  if (down) {
    if (!(b & PLT_KEY_DOWN_NOW)) b = PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE;
  } else {
    b = static_cast<uint16_t>(b & ~PLT_KEY_DOWN_NOW);
  }
}

void PLT_InputPadAxis(int axis, int value) {
  if (axis < 0 || axis >= PLT_PAD_AXES) return;
  g_pad.axes[axis] = static_cast<int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
}

uint16_t PLT_GetAsyncKeyState(int vk) {
  if (vk < 0 || vk >= PLT_VK_COUNT) return 0;
  // The query consumes the pressed-since bit.
  uint16_t v = g_state[vk].fetch_and(static_cast<uint16_t>(~PLT_KEY_PRESSED_SINCE));
  return v;
}

void PLT_InputKeyEvent(int vk, int down) {
  if (vk < 0 || vk >= PLT_VK_COUNT) return;
  if (down) {
    g_state[vk].fetch_or(PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE);
  } else {
    g_state[vk].fetch_and(static_cast<uint16_t>(~PLT_KEY_DOWN_NOW));
  }
}

void PLT_InputResetKeys() {
  for (auto& s : g_state) s.store(0);
  g_wheel.store(0);
  g_pad = PltPadState{};
  PADF_Reset();  // the triggers' hysteresis starts again with the cleared pad
}

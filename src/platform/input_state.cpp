// The asynchronous key state both backends feed: a down-now bit and a
// pressed-since-last-query bit per virtual key.
#include <atomic>

#include "platform/plt_input.h"

namespace {
std::atomic<uint16_t> g_state[PLT_VK_COUNT];
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
}

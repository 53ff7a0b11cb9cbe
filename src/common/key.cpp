// The keyboard, polled once a frame.
#include "common/key.h"

#include <cstring>

#include "platform/plt_input.h"

KeyState g_keys;

namespace {

// Virtual key of each key slot.
int SlotKey(int slot) {
  static const int fixed[15] = {PLT_VK_UP,     PLT_VK_DOWN,  PLT_VK_LEFT,    PLT_VK_RIGHT,
                                PLT_VK_RETURN, PLT_VK_SPACE, PLT_VK_CONTROL, PLT_VK_SHIFT,
                                PLT_VK_MENU,   PLT_VK_TAB,   PLT_VK_ESCAPE,  PLT_VK_PRIOR,
                                PLT_VK_NEXT,   PLT_VK_END,   PLT_VK_HOME};
  if (slot < 15) return fixed[slot];
  if (slot < KEY_DIGIT0) return PLT_VK_F1 + slot - KEY_F1;
  if (slot < KEY_PAD0) return PLT_VK_0 + slot - KEY_DIGIT0;
  if (slot < KEY_A) return PLT_VK_NUMPAD0 + slot - KEY_PAD0;
  return PLT_VK_A + slot - KEY_A;
}

}  // namespace

void KEY_Reset() {
  std::memset(&g_keys, 0, sizeof g_keys);
}

void KEY_Poll(int active) {
  uint8_t prev[KEY_COUNT];
  std::memcpy(prev, g_keys.level, sizeof prev);
  for (int k = 0; k < KEY_COUNT; ++k) {
    uint16_t s = PLT_GetAsyncKeyState(SlotKey(k));  // always queried: consumes the pressed bit
    g_keys.level[k] = (active && (s & (PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE))) ? 1 : 0;
  }
  int letter = -1;
  for (int k = 0; k < KEY_COUNT; ++k) {
    g_keys.pressed[k] = (g_keys.level[k] && !prev[k]) ? 1 : 0;
    if (k >= KEY_A && g_keys.pressed[k]) letter = k - KEY_A;
    KEY_StepHold(g_keys.level[k], &g_keys.holdCount[k], &g_keys.repeat[k]);
  }
  if (letter >= 0) {
    std::memmove(g_keys.typed + 1, g_keys.typed, sizeof g_keys.typed - 1);
    g_keys.typed[0] = static_cast<uint8_t>('a' + letter);
  }
}

int KEY_Typed(const char* text) {
  size_t n = std::strlen(text);
  if (n == 0 || n > sizeof g_keys.typed) return 0;
  for (size_t i = 0; i < n; ++i) {
    if (g_keys.typed[i] != static_cast<uint8_t>(text[n - 1 - i])) return 0;
  }
  std::memset(g_keys.typed, 0, sizeof g_keys.typed);
  return 1;
}

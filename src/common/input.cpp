// Keyboard, mouse, click zones and the logical actions, polled once a frame.
#include "common/input.h"

#include <cstring>

#include "platform/plt_input.h"

KeyState g_keys;
MouseState g_mouse;
ClickZone g_zones[ZONE_GROUPS][ZONES_PER_GROUP];
InputActions g_act;

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

bool ReadButton(int b) {
  static const int vks[3] = {PLT_VK_LBUTTON, PLT_VK_RBUTTON, PLT_VK_MBUTTON};
  return (PLT_GetAsyncKeyState(vks[b]) & (PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE)) != 0;
}

void StepHold(uint8_t level, uint8_t* holdCount, uint8_t* repeat) {
  *holdCount = level ? static_cast<uint8_t>(*holdCount < 8 ? *holdCount + 1 : 8) : 0;
  *repeat = (*holdCount == 1 || *holdCount == 8) ? 1 : 0;
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
    StepHold(g_keys.level[k], &g_keys.holdCount[k], &g_keys.repeat[k]);
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

void MOUSE_Init(int width, int height) {
  std::memset(&g_mouse, 0, sizeof g_mouse);
  std::memset(g_zones, 0, sizeof g_zones);
  g_mouse.width = static_cast<int16_t>(width);
  g_mouse.height = static_cast<int16_t>(height);
  g_mouse.hoverZone = -1;
  for (int b = 0; b < 3; ++b) g_mouse.pressX[b] = g_mouse.pressY[b] = -1;
}

void MOUSE_Poll(int active) {
  int x, y;
  PLT_GetCursorPos(&x, &y);
  PLT_ScreenToClient(&x, &y);
  g_mouse.x = x;
  g_mouse.y = y;

  g_mouse.hoverZone = -1;
  if (!(x < 1 || y < 1 || x > g_mouse.width || y > g_mouse.height)) {
    const ClickZone* zones = g_zones[g_mouse.activeGroup % ZONE_GROUPS];
    for (int i = 0; i < ZONES_PER_GROUP; ++i) {
      const ClickZone& z = zones[i];
      if (z.enabled && z.x <= x && x < z.x + z.width && z.y <= y && y < z.y + z.height) {
        g_mouse.hoverZone = static_cast<int16_t>(i);
        break;
      }
    }
  }

  if (g_mouse.flushPending || !active) {
    g_mouse.flushPending = 0;
    for (int b = 0; b < 3; ++b) ReadButton(b);
  } else if (g_mouse.exclusive) {
    int tracked = -1;
    for (int b = 0; b < 3; ++b) {
      if (g_mouse.held[b]) tracked = b;
    }
    if (tracked >= 0) {
      for (int b = 0; b < 3; ++b) {
        bool r = ReadButton(b);
        if (b == tracked) g_mouse.held[b] = r ? 1 : 0;
      }
    } else {
      for (int b = 0; b < 3; ++b) {
        if (ReadButton(b)) {
          g_mouse.held[b] = 1;
          break;
        }
      }
    }
  } else {
    for (int b = 0; b < 3; ++b) g_mouse.held[b] = ReadButton(b) ? 1 : 0;
  }

  uint8_t held[3] = {g_mouse.held[0], g_mouse.held[1], g_mouse.held[2]};
  if (PLT_SwapButtons()) {
    held[0] = g_mouse.held[1];
    held[1] = g_mouse.held[0];
  }
  for (int b = 0; b < 3; ++b) {
    StepHold(held[b], &g_mouse.holdCount[b], &g_mouse.repeat[b]);
    g_mouse.pressed[b] = (held[b] && !g_mouse.prevHeld[b]) ? 1 : 0;
    if (g_mouse.pressed[b]) {
      g_mouse.pressX[b] = x;
      g_mouse.pressY[b] = y;
    }
    g_mouse.released[b] = (g_mouse.prevHeld[b] && !held[b]) ? 1 : 0;
    if (!held[b]) g_mouse.pressX[b] = g_mouse.pressY[b] = -1;
    g_mouse.prevHeld[b] = held[b];
  }
}

int MOUSE_Held(int b) {
  return g_mouse.prevHeld[b];
}
int MOUSE_Pressed(int b) {
  return g_mouse.pressed[b];
}
int MOUSE_Released(int b) {
  return g_mouse.released[b];
}

void MOUSE_GetPos(int* x, int* y) {
  *x = g_mouse.x;
  *y = g_mouse.y;
}

namespace {
bool Inside() {
  return 0 <= g_mouse.x && g_mouse.x < g_mouse.width && 0 <= g_mouse.y &&
         g_mouse.y < g_mouse.height;
}
}  // namespace

int MOUSE_HeldInside(int b) {
  return (MOUSE_Held(b) && Inside()) ? 1 : 0;
}
int MOUSE_PressedInside(int b) {
  return (MOUSE_Pressed(b) && Inside()) ? 1 : 0;
}

int MOUSE_ZoneUnderCursor(int b) {
  if (b < 0) return g_mouse.hoverZone;
  return MOUSE_PressedInside(b) ? g_mouse.hoverZone : -1;
}

int MOUSE_ZoneUnderCursorInGroup(int b, int group) {
  if (group != g_mouse.activeGroup) return -1;
  return MOUSE_ZoneUnderCursor(b);
}

void MOUSE_SetZone(int group, int index, int x, int y, int width, int height, int enabled) {
  ClickZone& z = g_zones[group][index];
  z.x = static_cast<int16_t>(x);
  z.y = static_cast<int16_t>(y);
  z.width = static_cast<int16_t>(width);
  z.height = static_cast<int16_t>(height);
  z.enabled = enabled ? 1 : 0;
}

void MOUSE_DisableGroup(int group) {
  for (ClickZone& z : g_zones[group]) z.enabled = 0;
}

void MOUSE_DisableAllZones() {
  for (int g = 0; g < ZONE_GROUPS; ++g) MOUSE_DisableGroup(g);
}

void MOUSE_SelectGroup(int group) {
  g_mouse.activeGroup = static_cast<uint8_t>(group);
}

int MOUSE_ZoneEnabled(int group, int index) {
  if (index < 0 || index >= ZONES_PER_GROUP) return 0;
  return g_zones[group][index].enabled;
}

void MOUSE_MoveToZone(int group, int index) {
  if (!MOUSE_ZoneEnabled(group, index)) return;
  const ClickZone& z = g_zones[group][index];
  int x = z.x, y = z.y + z.height - 1;
  PLT_ClientToScreen(&x, &y);
  PLT_SetCursorPos(x, y);
}

void MOUSE_SetExclusive(int on) {
  g_mouse.exclusive = on ? 1 : 0;
}
void MOUSE_RequestFlush() {
  g_mouse.flushPending = 1;
}

void ACT_Update() {
  InputActions a{};
  a.holdDecide = (g_keys.level[KEY_SPACE] || MOUSE_HeldInside(0)) ? 1 : 0;
  a.decide = (g_keys.pressed[KEY_SPACE] || MOUSE_PressedInside(0)) ? 1 : 0;
  a.cancel = (g_keys.pressed[KEY_SHIFT] || MOUSE_PressedInside(1)) ? 1 : 0;
  a.skip = (g_keys.level[KEY_CTRL] || MOUSE_HeldInside(2)) ? 1 : 0;
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

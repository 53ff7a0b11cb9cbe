// The mouse and the click zones.
#include "common/mouse.h"

#include <cstring>

#include "common/key.h"
#include "common/pad.h"
#include "platform/plt_cursor.h"
#include "platform/plt_input.h"

MouseState g_mouse;

namespace {

bool ReadButton(int b) {
  static const int vks[3] = {PLT_VK_LBUTTON, PLT_VK_RBUTTON, PLT_VK_MBUTTON};
  const bool mouse = (PLT_GetAsyncKeyState(vks[b]) & (PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE)) != 0;
  return mouse || PAD_HoldsButton(b);
}

}  // namespace

void MOUSE_Init(int width, int height) {
  std::memset(&g_mouse, 0, sizeof g_mouse);
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
  const int wheel = PLT_TakeWheel();  // turned in the background: dropped
  g_mouse.wheel = active ? wheel : 0;

  g_mouse.hoverZone = -1;
  if (!(x < 1 || y < 1 || x > g_mouse.width || y > g_mouse.height)) {
    const ClickZone* zones = g_mouse.zones[g_mouse.activeGroup % ZONE_GROUPS];
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
    KEY_StepHold(held[b], &g_mouse.holdCount[b], &g_mouse.repeat[b]);
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
  ClickZone& z = g_mouse.zones[group][index];
  z.x = static_cast<int16_t>(x);
  z.y = static_cast<int16_t>(y);
  z.width = static_cast<int16_t>(width);
  z.height = static_cast<int16_t>(height);
  z.enabled = enabled ? 1 : 0;
}

void MOUSE_DisableGroup(int group) {
  for (ClickZone& z : g_mouse.zones[group]) z.enabled = 0;
}

void MOUSE_DisableAllZones() {
  for (int g = 0; g < ZONE_GROUPS; ++g) MOUSE_DisableGroup(g);
}

void MOUSE_SelectGroup(int group) {
  g_mouse.activeGroup = static_cast<uint8_t>(group);
}

int MOUSE_ZoneEnabled(int group, int index) {
  if (index < 0 || index >= ZONES_PER_GROUP) return 0;
  return g_mouse.zones[group][index].enabled;
}

void MOUSE_MoveToZone(int group, int index) {
  if (!MOUSE_ZoneEnabled(group, index)) return;
  const ClickZone& z = g_mouse.zones[group][index];
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

void MOUSE_Reset() {
  MOUSE_Init(640, 480);
}

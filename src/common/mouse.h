// The mouse, polled once a frame, and the click zones it is tested against.
#pragma once
#include <cstdint>

enum : int { ZONE_GROUPS = 48, ZONES_PER_GROUP = 64 };
struct ClickZone {
  uint8_t enabled;
  int16_t x, y, width, height;
};

struct MouseState {
  int32_t x, y;
  int16_t width, height;
  uint8_t held[3], pressed[3], released[3], repeat[3];
  uint8_t holdCount[3];
  int32_t pressX[3], pressY[3];
  uint8_t prevHeld[3];
  int16_t hoverZone;
  uint8_t activeGroup;
  uint8_t flushPending;
  uint8_t exclusive;
  int32_t wheel;  // notches turned since the last poll, positive away from the user
  ClickZone zones[ZONE_GROUPS][ZONES_PER_GROUP];
};
extern MouseState g_mouse;

void MOUSE_Init(int width, int height);
void MOUSE_Poll(int active);
int MOUSE_Held(int b);
int MOUSE_Pressed(int b);
int MOUSE_Released(int b);
void MOUSE_GetPos(int* x, int* y);
int MOUSE_HeldInside(int b);
int MOUSE_PressedInside(int b);
int MOUSE_ZoneUnderCursor(int b);
int MOUSE_ZoneUnderCursorInGroup(int b, int group);
void MOUSE_SetZone(int group, int index, int x, int y, int width, int height, int enabled);
void MOUSE_DisableGroup(int group);
void MOUSE_DisableAllZones();
void MOUSE_SelectGroup(int group);
int MOUSE_ZoneEnabled(int group, int index);
void MOUSE_MoveToZone(int group, int index);
void MOUSE_SetExclusive(int on);
void MOUSE_RequestFlush();
// Back to the start state of a 640 x 480 client area, no zones (tests).
void MOUSE_Reset();

// Keyboard, mouse, click zones and the logical actions, polled once a frame.
#pragma once
#include <cstdint>

enum : int {
  KEY_UP = 0,
  KEY_DOWN = 1,
  KEY_LEFT = 2,
  KEY_RIGHT = 3,
  KEY_ENTER = 4,
  KEY_SPACE = 5,
  KEY_CTRL = 6,
  KEY_SHIFT = 7,
  KEY_ALT = 8,
  KEY_TAB = 9,
  KEY_ESC = 10,
  KEY_PAGEUP = 11,
  KEY_PAGEDOWN = 12,
  KEY_END = 13,
  KEY_HOME = 14,
  KEY_F1 = 15,
  KEY_DIGIT0 = 27,
  KEY_PAD0 = 37,
  KEY_A = 47,
  KEY_COUNT = 73
};

struct KeyState {
  uint8_t level[KEY_COUNT];
  uint8_t pressed[KEY_COUNT];
  uint8_t repeat[KEY_COUNT];
  uint8_t holdCount[KEY_COUNT];
  uint8_t typed[256];
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
};

enum : int { ZONE_GROUPS = 48, ZONES_PER_GROUP = 64 };
struct ClickZone {
  uint8_t enabled;
  int16_t x, y, width, height;
};

struct InputActions {
  int32_t decide, cancel, skip, enter, keyEnd, keyHome, pageUp, pageDown;
  int32_t up, down, left, right;
  int32_t digit[10];
  int32_t holdDecide;
};

extern KeyState g_keys;
extern MouseState g_mouse;
extern ClickZone g_zones[ZONE_GROUPS][ZONES_PER_GROUP];
extern InputActions g_act;

void KEY_Poll(int active);
int KEY_Typed(const char* text);
void KEY_Reset();

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

void ACT_Update();

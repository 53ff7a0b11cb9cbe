// The keyboard, polled once a frame: each key slot's level, its press edge
// and its auto-repeat, and the letters typed.
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
extern KeyState g_keys;

void KEY_Poll(int active);
int KEY_Typed(const char* text);
void KEY_Reset();

// One frame of a key's or button's hold counter: repeat is 1 on the first
// frame held and from the eighth on.
inline void KEY_StepHold(uint8_t level, uint8_t* holdCount, uint8_t* repeat) {
  *holdCount = level ? static_cast<uint8_t>(*holdCount < 8 ? *holdCount + 1 : 8) : 0;
  *repeat = (*holdCount == 1 || *holdCount == 8) ? 1 : 0;
}

// Small vocabulary shared by every platform service: the Windows-shaped
// constants the modules above were designed against.
#pragma once
#include <cstdint>

// Virtual key codes (the values of the original key tables).
enum : int {
  PLT_VK_LBUTTON = 0x01,
  PLT_VK_RBUTTON = 0x02,
  PLT_VK_MBUTTON = 0x04,
  PLT_VK_TAB = 0x09,
  PLT_VK_RETURN = 0x0D,
  PLT_VK_SHIFT = 0x10,
  PLT_VK_CONTROL = 0x11,
  PLT_VK_MENU = 0x12,  // Alt
  PLT_VK_ESCAPE = 0x1B,
  PLT_VK_SPACE = 0x20,
  PLT_VK_PRIOR = 0x21,  // Page Up
  PLT_VK_NEXT = 0x22,   // Page Down
  PLT_VK_END = 0x23,
  PLT_VK_HOME = 0x24,
  PLT_VK_LEFT = 0x25,
  PLT_VK_UP = 0x26,
  PLT_VK_RIGHT = 0x27,
  PLT_VK_DOWN = 0x28,
  PLT_VK_0 = 0x30,        // '0'..'9' = 0x30..0x39
  PLT_VK_A = 0x41,        // 'A'..'Z' = 0x41..0x5A
  PLT_VK_NUMPAD0 = 0x60,  // 0x60..0x69
  PLT_VK_F1 = 0x70,       // 0x70..0x7B
  PLT_VK_COUNT = 256
};

// Bits of an asynchronous key state.
enum : uint16_t { PLT_KEY_DOWN_NOW = 0x8000, PLT_KEY_PRESSED_SINCE = 0x0001 };

// Message box styles and results.
enum : int {
  PLT_MB_OK = 0x0,
  PLT_MB_YESNO = 0x4,
  PLT_MB_SYSTEMMODAL = 0x1000,
  PLT_MB_SETFOREGROUND = 0x10000
};
enum : int { PLT_IDOK = 1, PLT_IDCANCEL = 2, PLT_IDYES = 6, PLT_IDNO = 7 };

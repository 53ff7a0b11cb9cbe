// Asynchronous keyboard and mouse state.
#pragma once
#include <cstdint>

#include "plt_types.h"

// PLT_KEY_DOWN_NOW when the key is down, PLT_KEY_PRESSED_SINCE when it went
// down since the previous query of that key; the query clears the latter.
uint16_t PLT_GetAsyncKeyState(int vk);
// Cursor in screen coordinates; conversion to and from client coordinates.
void PLT_GetCursorPos(int* x, int* y);
void PLT_SetCursorPos(int x, int y);
void PLT_ScreenToClient(int* x, int* y);
void PLT_ClientToScreen(int* x, int* y);
// The system setting that swaps the left and right buttons.
int PLT_SwapButtons();
// Called by a backend for every raw input event it sees.
void PLT_InputKeyEvent(int vk, int down);
void PLT_InputResetKeys();

// The mouse wheel: notches turned (positive away from the user) since the
// last take.
void PLT_InputWheel(int notches);
int PLT_TakeWheel();

// A game controller in the usual layout. Buttons are down-now bits and
// pressed-since-last-query bits as for keys; the triggers count as buttons.
enum : int {
  PLT_PAD_A = 0,
  PLT_PAD_B,
  PLT_PAD_X,
  PLT_PAD_Y,
  PLT_PAD_START,
  PLT_PAD_BACK,
  PLT_PAD_DPUP,
  PLT_PAD_DPDOWN,
  PLT_PAD_DPLEFT,
  PLT_PAD_DPRIGHT,
  PLT_PAD_LT,
  PLT_PAD_RT,
  PLT_PAD_BUTTONS
};
enum : int { PLT_PAD_AXIS_LEFTX = 0, PLT_PAD_AXIS_LEFTY = 1, PLT_PAD_AXES = 2 };
struct PltPadState {
  int connected;
  uint16_t buttons[PLT_PAD_BUTTONS];  // PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE
  int16_t axes[PLT_PAD_AXES];         // -32768..32767, right and down positive
};
// The pad's state; the query clears the pressed-since bits.
void PLT_GetPadState(PltPadState* out);
// Backends: a pad was connected (1) or the last one removed (0), a button, a
// stick axis. Removing the pad lets go of everything it held.
void PLT_InputPadConnected(int connected);
void PLT_InputPadButton(int button, int down);
void PLT_InputPadAxis(int axis, int value);
// Backends: the program asks for the menu bar to open (the pad's Start).
void PLT_OpenSystemMenu();

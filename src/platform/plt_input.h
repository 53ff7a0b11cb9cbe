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

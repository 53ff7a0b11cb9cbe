// The cursor and the mouse buttons' setting; keys come from the window's
// messages into the shared asynchronous state.
#include <windows.h>

#include "platform/plt_input.h"
#include "platform/win32/win32_backend.h"

void PLT_GetCursorPos(int* x, int* y) {
  POINT p{0, 0};
  ::GetCursorPos(&p);
  if (x) *x = p.x;
  if (y) *y = p.y;
}

void PLT_SetCursorPos(int x, int y) {
  ::SetCursorPos(x, y);
}

// Screen coordinates to the picture's and back.
void PLT_ScreenToClient(int* x, int* y) {
  POINT p{*x, *y};
  if (W32_Window()) ::ScreenToClient(W32_Window(), &p);
  *x = p.x;
  *y = p.y;
  W32_WindowToPicture(x, y);
}

void PLT_ClientToScreen(int* x, int* y) {
  W32_PictureToWindow(x, y);
  POINT p{*x, *y};
  if (W32_Window()) ::ClientToScreen(W32_Window(), &p);
  *x = p.x;
  *y = p.y;
}

int PLT_SwapButtons() {
  return ::GetSystemMetrics(SM_SWAPBUTTON) ? 1 : 0;
}

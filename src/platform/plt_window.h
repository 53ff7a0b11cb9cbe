// The main window and its message queue.
#pragma once
#include <cstdint>

#include "plt_display.h"
#include "plt_types.h"

enum PltMsgType : int {
  PLT_MSG_NONE = 0,
  PLT_MSG_CREATE,
  PLT_MSG_DESTROY,
  PLT_MSG_ACTIVATE,  // wparam: 0 inactive, 1 active, 2 activated by a click
  PLT_MSG_PAINT,
  PLT_MSG_CLOSE,          // close box, Alt+F4
  PLT_MSG_KEYDOWN,        // wparam: virtual key
  PLT_MSG_COMMAND,        // wparam: menu command id
  PLT_MSG_MOUSEMOVE,      // lparam: x | y << 16, client coordinates
  PLT_MSG_DISPLAYCHANGE,  // wparam: depth, lparam: width | height << 16
  PLT_MSG_QUIT,           // wparam: exit code
  PLT_MSG_ENDSESSION,     // the session ends (SIGTERM): end now, without asking
  PLT_MSG_GETMINMAXINFO,  // lparam: PltMinMaxInfo* to fill in
  PLT_MSG_MINIMIZED,      // wparam: 1 minimised, 0 shown again
  PLT_MSG_WINDOWED,       // left full screen by the system's own doing (a browser's Escape)
};

// The size query: positions and sizes of the window's outer frame.
struct PltMinMaxInfo {
  int maxPositionX, maxPositionY;
  int maxSizeX, maxSizeY;
  int maxTrackX, maxTrackY;
  int minTrackX, minTrackY;
};

struct PltMsg {
  int type;
  int64_t wparam;
  int64_t lparam;
};

// Window procedure: the shell's handler for every message dispatched.
using PltWndProc = int64_t (*)(const PltMsg& msg);

struct PltMenu;

// Creates the single main window with the caption, a client area of the
// given size and the menu bar above it (menu may be null). Returns 1 or 0.
int PLT_CreateWindow(const char* caption, int clientWidth, int clientHeight, const PltMenu* menu,
                     PltWndProc proc);
void PLT_DestroyWindow();
int PLT_HasWindow();
void PLT_ShowWindow();

// Peeks without removing: 1 when a message waits (copied to msg).
int PLT_PeekMessage(PltMsg* msg);
// Removes the next waiting message; 0 when none.
int PLT_GetMessage(PltMsg* msg);
// Calls the window procedure with msg.
int64_t PLT_DispatchMessage(const PltMsg& msg);
// Calls the window procedure at once (the system's SendMessage).
int64_t PLT_SendMessage(int type, int64_t wparam, int64_t lparam);
void PLT_PostMessage(int type, int64_t wparam, int64_t lparam);
void PLT_PostQuit(int code);

// Window position in screen coordinates (top-left of the outer frame).
void PLT_GetWindowPos(int* x, int* y);
void PLT_SetWindowPos(int x, int y);
// Work area of the desktop (for keeping the window on screen).
void PLT_GetWorkArea(int* width, int* height);
// Desktop depth and size.
void PLT_GetDesktopMode(int* bpp, int* width, int* height);
// The desktop size the system keeps in its settings, which a full-screen
// mode change does not touch: the size the desktop goes back to.
void PLT_GetStoredDesktopSize(int* width, int* height);

// Copies a 24-bit (blue, green, red) top-down image into the client area.
void PLT_Present(const uint8_t* pixels, int width, int height);
// The same when only the count parts changed since the last present (none:
// nothing did): a backend may convert and send just those, and sends the
// whole picture whenever it cannot be sure the window still shows the rest,
// or for more than PLT_PRESENT_PARTS parts.
enum : int { PLT_PRESENT_PARTS = 32 };
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, const PltRect* parts,
                        int count);
// The same for an 8-bit image and its 256-entry palette (blue, green, red, 0),
// as a 256-colour desktop shows it.
void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height);
// Outer size of the window for a client area (the menu bar counted).
void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height);

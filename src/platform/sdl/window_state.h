// The SDL backend's window as its two files share it: window.cpp runs the
// window, its events and its dialogs; present.cpp composes the picture, the
// menu bar and any box, and shows them.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/plt_window.h"

struct SdlWindowState {
  bool videoReady = false;
  bool videoFailed = false;
  SDL_Window* window = nullptr;
  PltWndProc proc = nullptr;
  int clientW = 0, clientH = 0;
  int menuH = 0;
  int winW = 0, winH = 0;           // the window's pictures at scale 1
  std::vector<uint32_t> frame;      // last picture presented, 0xAARRGGBB
  std::vector<uint32_t> composite;  // what is shown, before scaling
  std::deque<PltMsg> queue;
  int active = -1;  // last activation posted
  bool fullScreen = false;
  bool overlayShown = false;  // full screen: menu bar drawn over the picture
  int scale = 1;              // window mode
  bool smooth = false;        // full screen
  bool minimized = false;
  // Where the composite lands in the window, and how large.
  int destX = 0, destY = 0, destW = 0, destH = 0;
  // Who got the press of each mouse button: its release goes to the same one.
  bool buttonToMenu[3] = {};
  bool buttonToGame[3] = {};
  bool ending = false;   // the session's end was posted
  bool barStale = true;  // the bar's rows in composite need drawing again
  // The last picture went straight into the surface: frame is behind it.
  bool frameInSurface = false;
  // The surface shows the last composition scaled, at this surface size: a
  // changed part can be scaled alone while what was drawn over the picture
  // (scaledOver: an open menu, or the bar over a full-screen picture) stays.
  bool scaledInSurface = false;
  bool scaledOver = false;
  int scaledW = 0, scaledH = 0;
  // The desktop's mode as last seen, to tell the game when it changes.
  int desktopBpp = 0, desktopW = 0, desktopH = 0;
  uint32_t desktopCheckedAt = 0;
};

extern SdlWindowState g_sdlWin;

// The composite's size: the window's picture at scale 1 (the menu bar above
// the client area in a window, the client area alone in full screen).
int SDLB_LogicalW();
int SDLB_LogicalH();
// Places the composite in the window for the current scale and mode.
void SDLB_Place();
// Brings the kept frame up to the picture in the surface, before the surface
// is drawn over or replaced.
void SDLB_SyncFrame();
// Composes the picture, the menu and any box and shows them.
void SDLB_Redraw();

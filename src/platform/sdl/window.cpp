// The main window of the SDL backend: a fixed-size window whose top rows hold
// the menu bar and whose rest is the client area showing the game picture,
// the message queue fed from SDL's events, and message boxes and dialogs
// drawn inside it. Presenting is in present.cpp.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <vector>

#include "platform/dialog.h"
#include "platform/menubar.h"
#include "platform/plt_display.h"
#include "platform/plt_input.h"
#include "platform/plt_window.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/window_state.h"

namespace {

void CheckDesktop(bool now);

constexpr int kMouseSourceBase = SDL_NUM_SCANCODES;

void PostCommand(int id) {
  SDLB_Post(PLT_MSG_COMMAND, id, 0);
}

void SetActive(int active) {
  if (g_sdlWin.active == active) return;
  g_sdlWin.active = active;
  SDLB_Post(PLT_MSG_ACTIVATE, active, 0);
}

int ButtonIndex(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return 0;
    case SDL_BUTTON_RIGHT:
      return 1;
    case SDL_BUTTON_MIDDLE:
      return 2;
    default:
      return -1;
  }
}

const int kButtonVk[3] = {PLT_VK_LBUTTON, PLT_VK_RBUTTON, PLT_VK_MBUTTON};

int64_t PackClient(int x, int y) {
  return static_cast<int64_t>((static_cast<uint32_t>(x) & 0xFFFF) |
                              ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

// Window pixels to the composite's coordinates.
void ToLogical(int* x, int* y) {
  int dx = *x - g_sdlWin.destX, dy = *y - g_sdlWin.destY;
  int lw = SDLB_LogicalW(), lh = SDLB_LogicalH();
  *x = g_sdlWin.destW > 0
           ? static_cast<int>((static_cast<int64_t>(dx) * lw) / g_sdlWin.destW - (dx < 0 ? 1 : 0))
           : dx;
  *y = g_sdlWin.destH > 0
           ? static_cast<int>((static_cast<int64_t>(dy) * lh) / g_sdlWin.destH - (dy < 0 ? 1 : 0))
           : dy;
}

// The menu takes the mouse over its bar and while a drop-down is open; in
// full screen only while the game shows the bar.
bool MenuTakesMouse(int y) {
  if (MBAR_IsOpen()) return true;
  if (g_sdlWin.fullScreen && !g_sdlWin.overlayShown) return false;
  return y < g_sdlWin.menuH;
}

void PostEnd() {
  if (g_sdlWin.ending) return;
  g_sdlWin.ending = true;
  SDLB_Post(PLT_MSG_ENDSESSION, 0, 0);
}

void HandleKey(const SDL_KeyboardEvent& e) {
  int source = e.keysym.scancode;
  if (e.type == SDL_KEYUP) {
    SDLB_KeySource(source, 0, 0);
    return;
  }
  int vk = SDLB_KeyToVk(e.keysym);
  if (!e.repeat) SDLB_KeySource(source, vk, 1);
  if (!vk) return;
  // An open menu takes the keyboard, as the system's menu loop does.
  if (MBAR_IsOpen()) {
    MBAR_Key(vk);
    return;
  }
  bool alt = (e.keysym.mod & KMOD_ALT) != 0;
  if (alt && vk == PLT_VK_F1 + 3) {
    if (!e.repeat) SDLB_Post(PLT_MSG_CLOSE, 0, 0);
    return;
  }
  // Alt combinations and F10 are system keys: they never arrive as key down.
  if (alt || vk == PLT_VK_MENU || vk == PLT_VK_F1 + 9) return;
  SDLB_Post(PLT_MSG_KEYDOWN, vk, 0);
}

void HandleButton(const SDL_MouseButtonEvent& e) {
  int b = ButtonIndex(e.button);
  if (b < 0) return;
  int x = e.x, y = e.y;
  ToLogical(&x, &y);
  if (g_sdlWin.fullScreen) {
    x = std::clamp(x, 0, g_sdlWin.clientW - 1);
    y = std::clamp(y, 0, g_sdlWin.clientH - 1);
  }
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (g_sdlWin.buttonToMenu[b] || g_sdlWin.buttonToGame[b]) return;
    if (MenuTakesMouse(y) && MBAR_MouseDown(b, x, y)) {
      g_sdlWin.buttonToMenu[b] = true;
    } else {
      g_sdlWin.buttonToGame[b] = true;
      SDLB_KeySource(kMouseSourceBase + b, kButtonVk[b], 1);
    }
    return;
  }
  if (g_sdlWin.buttonToGame[b]) {
    g_sdlWin.buttonToGame[b] = false;
    SDLB_KeySource(kMouseSourceBase + b, 0, 0);
  } else {
    g_sdlWin.buttonToMenu[b] = false;
    MBAR_MouseUp(b, x, y);
  }
}

void HandleWindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      SDLB_Post(PLT_MSG_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      // A button held as the focus arrives means a click activated us.
      SetActive(SDL_GetGlobalMouseState(nullptr, nullptr) != 0 ? 2 : 1);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      SetActive(0);
      MBAR_Close();
      SDLB_ReleaseAllSources();
      std::fill(std::begin(g_sdlWin.buttonToGame), std::end(g_sdlWin.buttonToGame), false);
      std::fill(std::begin(g_sdlWin.buttonToMenu), std::end(g_sdlWin.buttonToMenu), false);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      SDLB_SyncFrame();
      if (!g_sdlWin.minimized) {
        g_sdlWin.minimized = true;
        SDLB_Post(PLT_MSG_MINIMIZED, 1, 0);
      }
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
      if (g_sdlWin.minimized) {
        g_sdlWin.minimized = false;
        SDLB_Post(PLT_MSG_MINIMIZED, 0, 0);
      }
      SDLB_Redraw();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // The surface is made anew at the new size, without the picture that
      // went straight into the old one: the next present sends it whole
      // (a tiling window manager's resize, say).
      g_sdlWin.frameInSurface = false;
      SDLB_Place();
      SDLB_Redraw();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      SDLB_Redraw();
      break;
    case SDL_WINDOWEVENT_LEAVE:
      MBAR_MouseLeave();
      break;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
      CheckDesktop(true);  // moved onto another screen
      break;
    default:
      break;
  }
}

void HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      // Only a signal gets here (closing the window arrives as a window
      // event): the session is ending, and the program ends without asking.
      PostEnd();
      break;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(e.window);
      break;
    case SDL_DISPLAYEVENT:
      CheckDesktop(true);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(e.key);
      break;
    case SDL_MOUSEMOTION: {
      int x = e.motion.x, y = e.motion.y;
      ToLogical(&x, &y);
      if (g_sdlWin.fullScreen) {
        // The black borders around the picture count as its edge rows, so
        // that the top of the screen reaches the menu bar.
        x = std::clamp(x, 0, g_sdlWin.clientW - 1);
        y = std::clamp(y, 0, g_sdlWin.clientH - 1);
      }
      if (!(MenuTakesMouse(y) && MBAR_MouseMove(x, y))) {
        if (!g_sdlWin.fullScreen) MBAR_MouseLeave();
        int top = g_sdlWin.fullScreen ? 0 : g_sdlWin.menuH;
        SDLB_Post(PLT_MSG_MOUSEMOVE, 0, PackClient(x, y - top));
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      HandleButton(e.button);
      break;
    case SDL_MOUSEWHEEL:
      if (!MBAR_IsOpen() && e.wheel.y != 0)
        PLT_InputWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
      break;
    default:
      SDLB_PadEvent(e);
      break;
  }
}

// Reads the desktop's mode after a display event, and once a second in any
// case: the display server does not always announce a new resolution or depth
// with an event, and a reading is cheap.
void CheckDesktop(bool now) {
  const uint32_t t = SDL_GetTicks();
  if (!now && g_sdlWin.desktopBpp != 0 && t - g_sdlWin.desktopCheckedAt < 1000) return;
  g_sdlWin.desktopCheckedAt = t;
  int bpp = 0, w = 0, h = 0;
  PLT_GetDesktopMode(&bpp, &w, &h);
  const bool known = g_sdlWin.desktopBpp != 0;
  const bool changed =
      bpp != g_sdlWin.desktopBpp || w != g_sdlWin.desktopW || h != g_sdlWin.desktopH;
  g_sdlWin.desktopBpp = bpp;
  g_sdlWin.desktopW = w;
  g_sdlWin.desktopH = h;
  if (known && changed)
    SDLB_Post(PLT_MSG_DISPLAYCHANGE, bpp, (w & 0xFFFF) | (int64_t{h & 0xFFFF} << 16));
}

void Pump() {
  if (!g_sdlWin.videoReady) return;
  SDL_Event e;
  SDLB_ForwardEndSignal();
  while (SDL_PollEvent(&e)) HandleEvent(e);
  CheckDesktop(false);
  if (MBAR_TakeDirty()) {
    g_sdlWin.barStale = true;
    SDLB_Redraw();
  }
}

int DisplayIndex() {
  int i = g_sdlWin.window ? SDL_GetWindowDisplayIndex(g_sdlWin.window) : 0;
  return i < 0 ? 0 : i;
}

void ApplyWindowSize() {
  if (!g_sdlWin.window || g_sdlWin.fullScreen) return;
  SDLB_SyncFrame();
  int w = g_sdlWin.winW * g_sdlWin.scale, h = g_sdlWin.winH * g_sdlWin.scale;
  SDL_SetWindowMinimumSize(g_sdlWin.window, w, h);
  SDL_SetWindowMaximumSize(g_sdlWin.window, w, h);
  SDL_SetWindowSize(g_sdlWin.window, w, h);
  SDLB_Place();
}

// The size query the system sends before sizing the window. The program
// answers in picture pixels; a scaled window multiplies them.
void QuerySize() {
  if (!g_sdlWin.proc || g_sdlWin.fullScreen) return;
  SDL_Rect usable{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(DisplayIndex(), &usable);
  PltMinMaxInfo info{usable.x, usable.y, usable.w, usable.h, usable.w, usable.h, 1, 1};
  g_sdlWin.proc(PltMsg{PLT_MSG_GETMINMAXINFO, 0, reinterpret_cast<int64_t>(&info)});
  if (info.minTrackX > 0 && info.minTrackY > 0)
    SDL_SetWindowMinimumSize(g_sdlWin.window, info.minTrackX * g_sdlWin.scale,
                             info.minTrackY * g_sdlWin.scale);
  if (info.maxTrackX > 0 && info.maxTrackY > 0)
    SDL_SetWindowMaximumSize(g_sdlWin.window, info.maxTrackX * g_sdlWin.scale,
                             info.maxTrackY * g_sdlWin.scale);
}

constexpr const char* kWindowClass = "zentrova";

}  // namespace

bool SDLB_EnsureVideo() {
  if (g_sdlWin.videoReady) return true;
  if (g_sdlWin.videoFailed) return false;
  // Closing the window must reach the program as a close request, and a
  // click that activates the window is a click like any other.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The window surface is enough: no GPU context to create or to wait for.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The window's class (X11 WM_CLASS, Wayland app id) is the one the desktop
  // entry's StartupWMClass names, whatever the executable is called; a
  // class the player set is kept.
  ::setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
  ::setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    SDL_Log("video: %s", SDL_GetError());
    g_sdlWin.videoFailed = true;
    return false;
  }
  g_sdlWin.videoReady = true;
  SDLB_CatchEndSignals();
  SDLB_PadInit();
  return true;
}

SDL_Window* SDLB_Window() {
  return g_sdlWin.window;
}
int SDLB_MenuBarHeight() {
  return g_sdlWin.window ? g_sdlWin.menuH : 0;
}

void SDLB_WindowToClient(int* x, int* y) {
  if (!g_sdlWin.window) return;
  ToLogical(x, y);
  if (!g_sdlWin.fullScreen) *y -= g_sdlWin.menuH;
}

void SDLB_ClientToWindow(int* x, int* y) {
  if (!g_sdlWin.window) return;
  int lx = *x, ly = *y + (g_sdlWin.fullScreen ? 0 : g_sdlWin.menuH);
  *x = g_sdlWin.destX +
       static_cast<int>(static_cast<int64_t>(lx) * g_sdlWin.destW / SDLB_LogicalW());
  *y = g_sdlWin.destY +
       static_cast<int>(static_cast<int64_t>(ly) * g_sdlWin.destH / SDLB_LogicalH());
}

void SDLB_Post(int type, int64_t wparam, int64_t lparam) {
  g_sdlWin.queue.push_back(PltMsg{type, wparam, lparam});
}

int SDLB_RunDialog(const DlgSpec& desc, int* checked) {
  if (!g_sdlWin.window || g_sdlWin.ending) return desc.escapeResult;
  MBAR_Close();
  // A warning during the start-up comes before the window is shown: it is
  // shown now, or nobody could answer.
  if (SDL_GetWindowFlags(g_sdlWin.window) & SDL_WINDOW_HIDDEN) SDL_ShowWindow(g_sdlWin.window);
  if (g_sdlWin.minimized) SDL_RestoreWindow(g_sdlWin.window);
  SDL_RaiseWindow(g_sdlWin.window);
  DLG_Open(desc, SDLB_LogicalW(), SDLB_LogicalH());
  SDLB_Redraw();
  // The buttons and keys held when the box opened belong to the game; what
  // happens while it is open belongs to the box.
  SDLB_ReleaseAllSources();
  std::fill(std::begin(g_sdlWin.buttonToGame), std::end(g_sdlWin.buttonToGame), false);
  std::fill(std::begin(g_sdlWin.buttonToMenu), std::end(g_sdlWin.buttonToMenu), false);
  while (DLG_IsOpen()) {
    SDL_Event e;
    SDLB_ForwardEndSignal();
    if (!SDL_WaitEventTimeout(&e, 250)) continue;
    do {
      switch (e.type) {
        case SDL_QUIT:
          DLG_Cancel(desc.escapeResult);
          PostEnd();
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            DLG_Cancel(desc.escapeResult);
          } else {
            HandleWindowEvent(e.window);
          }
          break;
        case SDL_KEYDOWN:
          if (e.key.keysym.sym == SDLK_F4 && (e.key.keysym.mod & KMOD_ALT)) {
            DLG_Cancel(desc.escapeResult);
          } else {
            DLG_Key(SDLB_KeyToVk(e.key.keysym), (e.key.keysym.mod & KMOD_SHIFT) != 0);
          }
          break;
        case SDL_MOUSEMOTION: {
          int x = e.motion.x, y = e.motion.y;
          ToLogical(&x, &y);
          DLG_MouseMove(x, y);
          break;
        }
        case SDL_CONTROLLERBUTTONDOWN:
          if (int vk = SDLB_PadKey(e)) DLG_Key(vk, false);
          break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
          SDLB_PadEvent(e);
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
          int b = ButtonIndex(e.button.button);
          int x = e.button.x, y = e.button.y;
          ToLogical(&x, &y);
          if (e.type == SDL_MOUSEBUTTONDOWN) {
            DLG_MouseDown(b, x, y);
          } else {
            DLG_MouseUp(b, x, y);
          }
          break;
        }
        default:
          break;
      }
    } while (DLG_IsOpen() && SDL_PollEvent(&e));
    if (DLG_TakeDirty()) SDLB_Redraw();
  }
  DLG_TakeDirty();
  SDLB_Redraw();
  SDLB_ReleaseAllSources();
  if (checked) *checked = DLG_Checked();
  return DLG_Result();
}

int PLT_CreateWindow(const char* caption, int clientWidth, int clientHeight, const PltMenu* menu,
                     PltWndProc proc) {
  if (g_sdlWin.window || clientWidth <= 0 || clientHeight <= 0 || clientWidth > 16384 ||
      clientHeight > 16384 || !SDLB_EnsureVideo()) {
    return 0;
  }
  MBAR_Build(menu, clientWidth, PostCommand);
  g_sdlWin.menuH = MBAR_BarHeight();
  g_sdlWin.clientW = clientWidth;
  g_sdlWin.clientH = clientHeight;
  g_sdlWin.winW = clientWidth;
  g_sdlWin.winH = clientHeight + g_sdlWin.menuH;
  g_sdlWin.window = SDL_CreateWindow(caption ? caption : "", 0, 0, g_sdlWin.winW * g_sdlWin.scale,
                                     g_sdlWin.winH * g_sdlWin.scale, SDL_WINDOW_HIDDEN);
  if (!g_sdlWin.window) {
    SDL_Log("window: %s", SDL_GetError());
    MBAR_Destroy();
    return 0;
  }
  SDLB_CatchDisplayLoss(g_sdlWin.window);
  g_sdlWin.frame.assign(static_cast<size_t>(clientWidth) * clientHeight, 0xFF000000);
  g_sdlWin.composite.assign(static_cast<size_t>(g_sdlWin.winW) * g_sdlWin.winH, 0xFF000000);
  g_sdlWin.proc = proc;
  g_sdlWin.active = -1;
  g_sdlWin.ending = false;
  SDLB_Place();
  SDLB_ApplyIconAndCursor();
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  QuerySize();
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_sdlWin.window) return;
  MBAR_Close();
  if (g_sdlWin.proc) g_sdlWin.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
  // Without its server the window is gone already, and destroying it would
  // wait for ever for the server's word that it was unmapped.
  if (!SDLB_DisplayLost()) SDL_DestroyWindow(g_sdlWin.window);
  g_sdlWin.window = nullptr;
  g_sdlWin.proc = nullptr;
  g_sdlWin.menuH = 0;
  g_sdlWin.fullScreen = false;
  g_sdlWin.overlayShown = false;
  MBAR_Destroy();
  SDLB_ReleaseAllSources();
}

int PLT_HasWindow() {
  return g_sdlWin.window ? 1 : 0;
}

void PLT_ShowWindow() {
  if (!g_sdlWin.window) return;
  SDL_ShowWindow(g_sdlWin.window);
  SDL_RaiseWindow(g_sdlWin.window);
  // Keys are keys: no input method composes text for this window.
  SDL_StopTextInput();
  SDLB_Redraw();
  SetActive(1);
}

int PLT_PeekMessage(PltMsg* msg) {
  Pump();
  if (g_sdlWin.queue.empty()) return 0;
  if (msg) *msg = g_sdlWin.queue.front();
  return 1;
}

int PLT_GetMessage(PltMsg* msg) {
  Pump();
  if (g_sdlWin.queue.empty()) return 0;
  if (msg) *msg = g_sdlWin.queue.front();
  g_sdlWin.queue.pop_front();
  return 1;
}

int64_t PLT_DispatchMessage(const PltMsg& msg) {
  return g_sdlWin.proc ? g_sdlWin.proc(msg) : 0;
}

int64_t PLT_SendMessage(int type, int64_t wparam, int64_t lparam) {
  return PLT_DispatchMessage(PltMsg{type, wparam, lparam});
}

void PLT_PostMessage(int type, int64_t wparam, int64_t lparam) {
  SDLB_Post(type, wparam, lparam);
}
void PLT_PostQuit(int code) {
  SDLB_Post(PLT_MSG_QUIT, code, 0);
}

void PLT_GetWindowPos(int* x, int* y) {
  int wx = 0, wy = 0;
  if (g_sdlWin.window) {
    SDL_GetWindowPosition(g_sdlWin.window, &wx, &wy);
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(g_sdlWin.window, &top, &left, nullptr, nullptr) == 0) {
      wx -= left;
      wy -= top;
    }
  }
  if (x) *x = wx;
  if (y) *y = wy;
}

void PLT_SetWindowPos(int x, int y) {
  if (!g_sdlWin.window || g_sdlWin.fullScreen) return;
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(g_sdlWin.window, &top, &left, nullptr, nullptr) != 0) top = left = 0;
  SDL_SetWindowPosition(g_sdlWin.window, x + left, y + top);
}

void PLT_GetWorkArea(int* width, int* height) {
  SDL_Rect r{0, 0, 1024, 768};
  if (SDLB_EnsureVideo() && SDL_GetDisplayUsableBounds(DisplayIndex(), &r) != 0) {
    SDL_GetDisplayBounds(DisplayIndex(), &r);
  }
  if (width) *width = r.w;
  if (height) *height = r.h;
}

void PLT_GetDesktopMode(int* bpp, int* width, int* height) {
  int b = 32, w = 1024, h = 768;
  SDL_DisplayMode mode;
  if (SDLB_EnsureVideo() && SDL_GetDesktopDisplayMode(DisplayIndex(), &mode) == 0) {
    // Bytes per pixel as the desktop stores them: a 24-bit colour in four
    // bytes is a 32-bit desktop.
    int bytes = SDL_BYTESPERPIXEL(mode.format);
    if (bytes > 0) b = bytes * 8;
    w = mode.w;
    h = mode.h;
  }
  if (bpp) *bpp = PLT_DesktopDepthOverride(b);
  if (width) *width = w;
  if (height) *height = h;
}

// The desktop mode is the one from before any full-screen change.
void PLT_GetStoredDesktopSize(int* width, int* height) {
  PLT_GetDesktopMode(nullptr, width, height);
}

void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth;
  *height = clientHeight + MBAR_BarHeight();
}

int PLT_ChangeDisplayMode(int width, int height) {
  if (!g_sdlWin.window) return PLT_DISP_CHANGE_FAILED;
  bool full = width >= 0 && height >= 0;
  if (full && (width != g_sdlWin.clientW || height != g_sdlWin.clientH))
    return PLT_DISP_CHANGE_BADMODE;
  if (full == g_sdlWin.fullScreen) return PLT_DISP_CHANGE_SUCCESSFUL;
  SDLB_SyncFrame();
  MBAR_Close();
  // The desktop keeps its own mode: a borderless window covers it and the
  // picture is scaled onto it, which today's displays and window systems
  // handle far better than a switch to 640x480.
  if (full) {
    SDL_SetWindowMinimumSize(g_sdlWin.window, 1, 1);
    SDL_SetWindowMaximumSize(g_sdlWin.window, 0, 0);
  }
  if (SDL_SetWindowFullscreen(g_sdlWin.window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    SDL_Log("full screen: %s", SDL_GetError());
    return PLT_DISP_CHANGE_FAILED;
  }
  g_sdlWin.fullScreen = full;
  g_sdlWin.overlayShown = false;
  if (!full) ApplyWindowSize();
  SDLB_Place();
  SDLB_Redraw();
  return PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_sdlWin.fullScreen ? 1 : 0;
}

void PLT_ShowMenuBar(int show) {
  bool s = show != 0 && g_sdlWin.menuH > 0;
  if (s == g_sdlWin.overlayShown) return;
  g_sdlWin.overlayShown = s;
  if (!s) {
    MBAR_MouseLeave();
    MBAR_Close();
  }
  SDLB_Redraw();
}

void PLT_SetWindowScale(int scale) {
  scale = std::clamp(scale, 1, 4);
  if (scale == g_sdlWin.scale) return;
  g_sdlWin.scale = scale;
  if (!g_sdlWin.window) return;
  ApplyWindowSize();
  QuerySize();
  SDLB_Redraw();
}

void PLT_SetSmoothScaling(int smooth) {
  g_sdlWin.smooth = smooth != 0;
  if (!g_sdlWin.window) return;
  SDLB_Place();
  SDLB_Redraw();
}

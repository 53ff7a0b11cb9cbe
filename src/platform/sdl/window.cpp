// The main window of the SDL backend: a fixed-size window whose top rows hold
// the menu bar and whose rest is the client area showing the game picture,
// the message queue fed from SDL's events, message boxes and dialogs drawn
// inside it, and presenting.
//
// Presenting writes the picture straight into the window's surface, which
// the X server receives as a shared-memory image: no renderer, so no software
// rasterizer between the frame and the screen.
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

namespace {

struct WindowState {
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
  // The desktop's mode as last seen, to tell the game when it changes.
  int desktopBpp = 0, desktopW = 0, desktopH = 0;
  uint32_t desktopCheckedAt = 0;
};

WindowState g_win;

void CheckDesktop(bool now);

constexpr int kMouseSourceBase = SDL_NUM_SCANCODES;

int LogicalW() {
  return g_win.winW;
}
int LogicalH() {
  return g_win.fullScreen ? g_win.clientH : g_win.winH;
}

// Places the picture in the window: whole multiples in a window, the largest
// whole multiple with black borders in full screen (or the whole screen with
// the shape kept when smoothing or when no multiple fits).
void Place() {
  int ww = 0, wh = 0;
  SDL_GetWindowSize(g_win.window, &ww, &wh);
  int lw = LogicalW(), lh = LogicalH();
  if (!g_win.fullScreen) {
    g_win.destX = g_win.destY = 0;
    g_win.destW = lw * g_win.scale;
    g_win.destH = lh * g_win.scale;
    return;
  }
  int k = std::min(ww / lw, wh / lh);
  if (k >= 1 && !g_win.smooth) {
    g_win.destW = lw * k;
    g_win.destH = lh * k;
  } else if (static_cast<int64_t>(ww) * lh <= static_cast<int64_t>(wh) * lw) {
    g_win.destW = ww;
    g_win.destH = static_cast<int>(static_cast<int64_t>(ww) * lh / lw);
  } else {
    g_win.destH = wh;
    g_win.destW = static_cast<int>(static_cast<int64_t>(wh) * lw / lh);
  }
  g_win.destX = (ww - g_win.destW) / 2;
  g_win.destY = (wh - g_win.destH) / 2;
}

uint32_t Lerp(uint32_t a, uint32_t b, uint32_t t) {  // t 0..256
  uint32_t rb = ((a & 0xFF00FF) * (256 - t) + (b & 0xFF00FF) * t) >> 8;
  uint32_t g = ((a & 0x00FF00) * (256 - t) + (b & 0x00FF00) * t) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Copies the composite into the surface (0xXXRRGGBB rows): straight rows at
// scale 1, repeated pixels at whole multiples, bilinear otherwise.
void Scale(SDL_Surface* s) {
  const int lw = LogicalW(), lh = LogicalH();
  const uint32_t* src = g_win.composite.data();
  auto row = [s](int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                       static_cast<ptrdiff_t>(y) * s->pitch);
  };
  int dw = std::min(g_win.destW, s->w - g_win.destX);
  int dh = std::min(g_win.destH, s->h - g_win.destY);
  if (dw <= 0 || dh <= 0) return;
  bool whole =
      g_win.destW % lw == 0 && g_win.destH % lh == 0 && g_win.destW / lw == g_win.destH / lh;
  if (whole) {
    int k = g_win.destW / lw;
    for (int y = 0; y < dh; ++y) {
      uint32_t* d = row(g_win.destY + y) + g_win.destX;
      if (y % k) {
        std::copy(d - s->pitch / 4, d - s->pitch / 4 + dw, d);
        continue;
      }
      const uint32_t* sr = src + static_cast<size_t>(y / k) * lw;
      if (k == 1) {
        std::copy(sr, sr + dw, d);
      } else {
        for (int x = 0; x < dw; ++x) d[x] = sr[x / k];
      }
    }
    return;
  }
  // Bilinear, in 16.16 fixed point with pixel centres aligned.
  int64_t stepX = (static_cast<int64_t>(lw) << 16) / g_win.destW;
  int64_t stepY = (static_cast<int64_t>(lh) << 16) / g_win.destH;
  for (int y = 0; y < dh; ++y) {
    int64_t fy = std::max<int64_t>(0, y * stepY + stepY / 2 - 32768);
    int y0 = std::min(static_cast<int>(fy >> 16), lh - 1);
    int y1 = std::min(y0 + 1, lh - 1);
    uint32_t ty = static_cast<uint32_t>((fy >> 8) & 0xFF);
    const uint32_t* r0 = src + static_cast<size_t>(y0) * lw;
    const uint32_t* r1 = src + static_cast<size_t>(y1) * lw;
    uint32_t* d = row(g_win.destY + y) + g_win.destX;
    for (int x = 0; x < dw; ++x) {
      int64_t fx = std::max<int64_t>(0, x * stepX + stepX / 2 - 32768);
      int x0 = std::min(static_cast<int>(fx >> 16), lw - 1);
      int x1 = std::min(x0 + 1, lw - 1);
      uint32_t tx = static_cast<uint32_t>((fx >> 8) & 0xFF);
      uint32_t top = Lerp(r0[x0], r0[x1], tx);
      uint32_t bottom = Lerp(r1[x0], r1[x1], tx);
      d[x] = 0xFF000000 | Lerp(top, bottom, ty);
    }
  }
}

// The common case, a window at scale 1 with nothing open over the picture:
// the picture goes straight into the surface below the bar, and the bar's
// rows are drawn again only when the menu changed.
bool FastPath(const SDL_Surface* s) {
  return !g_win.fullScreen && g_win.scale == 1 && !DLG_IsOpen() && !MBAR_IsOpen() &&
         s->w >= g_win.winW && s->h >= g_win.winH;
}

uint32_t* SurfaceRow(SDL_Surface* s, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                     static_cast<ptrdiff_t>(y) * s->pitch);
}

// Brings frame up to the picture in the surface, before the surface is
// drawn over or replaced.
void SyncFrame() {
  if (!g_win.frameInSurface || !g_win.window) return;
  g_win.frameInSurface = false;
  SDL_Surface* s = SDL_GetWindowSurface(g_win.window);
  if (!s || s->w < g_win.winW || s->h < g_win.winH) return;
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int y = 0; y < g_win.clientH; ++y) {
    const uint32_t* src = SurfaceRow(s, g_win.menuH + y);
    std::copy(src, src + g_win.clientW,
              g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW);
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}

void DrawBarRows(SDL_Surface* s) {
  if (g_win.barStale) {
    MBAR_Draw(g_win.composite.data(), g_win.winW, g_win.winH);
    g_win.barStale = false;
  }
  for (int y = 0; y < g_win.menuH; ++y) {
    const uint32_t* src = g_win.composite.data() + static_cast<size_t>(y) * g_win.winW;
    std::copy(src, src + g_win.winW, SurfaceRow(s, y));
  }
}

bool FastRedraw(SDL_Surface* s) {
  if (!FastPath(s)) return false;
  DrawBarRows(s);
  if (g_win.frameInSurface) return true;
  for (int y = 0; y < g_win.clientH; ++y) {
    const uint32_t* src = g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW;
    std::copy(src, src + g_win.clientW, SurfaceRow(s, g_win.menuH + y));
  }
  return true;
}

// Composes the picture, the menu and any box and shows them. In a window the
// menu bar sits above the picture; in full screen only the picture is shown,
// with the bar over its top rows while the game shows it.
void Redraw() {
  if (!g_win.window || g_win.minimized) return;
  SDL_Surface* s = SDL_GetWindowSurface(g_win.window);
  if (!s || SDL_BYTESPERPIXEL(s->format->format) != 4) return;
  if (MBAR_TakeDirty()) g_win.barStale = true;
  if (!FastPath(s)) SyncFrame();
  if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  if (!FastRedraw(s)) {
    int top = g_win.fullScreen ? 0 : g_win.menuH;
    uint32_t* dst = g_win.composite.data() + static_cast<size_t>(top) * g_win.winW;
    std::copy(g_win.frame.begin(), g_win.frame.end(), dst);
    if (!g_win.fullScreen || g_win.overlayShown || MBAR_IsOpen()) {
      MBAR_Draw(g_win.composite.data(), LogicalW(), LogicalH());
    }
    DLG_Draw(g_win.composite.data(), LogicalW(), LogicalH());
    if (g_win.fullScreen) SDL_FillRect(s, nullptr, 0);
    Scale(s);
    // Panels and boxes were drawn over the bar's rows too.
    g_win.barStale = true;
  }
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurface(g_win.window);
}

void PostCommand(int id) {
  SDLB_Post(PLT_MSG_COMMAND, id, 0);
}

void SetActive(int active) {
  if (g_win.active == active) return;
  g_win.active = active;
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
  int dx = *x - g_win.destX, dy = *y - g_win.destY;
  int lw = LogicalW(), lh = LogicalH();
  *x = g_win.destW > 0
           ? static_cast<int>((static_cast<int64_t>(dx) * lw) / g_win.destW - (dx < 0 ? 1 : 0))
           : dx;
  *y = g_win.destH > 0
           ? static_cast<int>((static_cast<int64_t>(dy) * lh) / g_win.destH - (dy < 0 ? 1 : 0))
           : dy;
}

// The menu takes the mouse over its bar and while a drop-down is open; in
// full screen only while the game shows the bar.
bool MenuTakesMouse(int y) {
  if (MBAR_IsOpen()) return true;
  if (g_win.fullScreen && !g_win.overlayShown) return false;
  return y < g_win.menuH;
}

void PostEnd() {
  if (g_win.ending) return;
  g_win.ending = true;
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
  if (g_win.fullScreen) {
    x = std::clamp(x, 0, g_win.clientW - 1);
    y = std::clamp(y, 0, g_win.clientH - 1);
  }
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (g_win.buttonToMenu[b] || g_win.buttonToGame[b]) return;
    if (MenuTakesMouse(y) && MBAR_MouseDown(b, x, y)) {
      g_win.buttonToMenu[b] = true;
    } else {
      g_win.buttonToGame[b] = true;
      SDLB_KeySource(kMouseSourceBase + b, kButtonVk[b], 1);
    }
    return;
  }
  if (g_win.buttonToGame[b]) {
    g_win.buttonToGame[b] = false;
    SDLB_KeySource(kMouseSourceBase + b, 0, 0);
  } else {
    g_win.buttonToMenu[b] = false;
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
      std::fill(std::begin(g_win.buttonToGame), std::end(g_win.buttonToGame), false);
      std::fill(std::begin(g_win.buttonToMenu), std::end(g_win.buttonToMenu), false);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      SyncFrame();
      if (!g_win.minimized) {
        g_win.minimized = true;
        SDLB_Post(PLT_MSG_MINIMIZED, 1, 0);
      }
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
      if (g_win.minimized) {
        g_win.minimized = false;
        SDLB_Post(PLT_MSG_MINIMIZED, 0, 0);
      }
      Redraw();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Place();
      Redraw();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      Redraw();
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
      if (g_win.fullScreen) {
        // The black borders around the picture count as its edge rows, so
        // that the top of the screen reaches the menu bar.
        x = std::clamp(x, 0, g_win.clientW - 1);
        y = std::clamp(y, 0, g_win.clientH - 1);
      }
      if (!(MenuTakesMouse(y) && MBAR_MouseMove(x, y))) {
        if (!g_win.fullScreen) MBAR_MouseLeave();
        int top = g_win.fullScreen ? 0 : g_win.menuH;
        SDLB_Post(PLT_MSG_MOUSEMOVE, 0, PackClient(x, y - top));
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      HandleButton(e.button);
      break;
    default:
      break;
  }
}

// Reads the desktop's mode after a display event, and once a second in any
// case: the display server does not always announce a new resolution or depth
// with an event, and a reading is cheap.
void CheckDesktop(bool now) {
  const uint32_t t = SDL_GetTicks();
  if (!now && g_win.desktopBpp != 0 && t - g_win.desktopCheckedAt < 1000) return;
  g_win.desktopCheckedAt = t;
  int bpp = 0, w = 0, h = 0;
  PLT_GetDesktopMode(&bpp, &w, &h);
  const bool known = g_win.desktopBpp != 0;
  const bool changed = bpp != g_win.desktopBpp || w != g_win.desktopW || h != g_win.desktopH;
  g_win.desktopBpp = bpp;
  g_win.desktopW = w;
  g_win.desktopH = h;
  if (known && changed)
    SDLB_Post(PLT_MSG_DISPLAYCHANGE, bpp, (w & 0xFFFF) | (int64_t{h & 0xFFFF} << 16));
}

void Pump() {
  if (!g_win.videoReady) return;
  SDL_Event e;
  SDLB_ForwardEndSignal();
  while (SDL_PollEvent(&e)) HandleEvent(e);
  CheckDesktop(false);
  if (MBAR_TakeDirty()) {
    g_win.barStale = true;
    Redraw();
  }
}

int DisplayIndex() {
  int i = g_win.window ? SDL_GetWindowDisplayIndex(g_win.window) : 0;
  return i < 0 ? 0 : i;
}

void ApplyWindowSize() {
  if (!g_win.window || g_win.fullScreen) return;
  SyncFrame();
  int w = g_win.winW * g_win.scale, h = g_win.winH * g_win.scale;
  SDL_SetWindowMinimumSize(g_win.window, w, h);
  SDL_SetWindowMaximumSize(g_win.window, w, h);
  SDL_SetWindowSize(g_win.window, w, h);
  Place();
}

// The size query the system sends before sizing the window. The program
// answers in picture pixels; a scaled window multiplies them.
void QuerySize() {
  if (!g_win.proc || g_win.fullScreen) return;
  SDL_Rect usable{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(DisplayIndex(), &usable);
  PltMinMaxInfo info{usable.x, usable.y, usable.w, usable.h, usable.w, usable.h, 1, 1};
  g_win.proc(PltMsg{PLT_MSG_GETMINMAXINFO, 0, reinterpret_cast<int64_t>(&info)});
  if (info.minTrackX > 0 && info.minTrackY > 0)
    SDL_SetWindowMinimumSize(g_win.window, info.minTrackX * g_win.scale,
                             info.minTrackY * g_win.scale);
  if (info.maxTrackX > 0 && info.maxTrackY > 0)
    SDL_SetWindowMaximumSize(g_win.window, info.maxTrackX * g_win.scale,
                             info.maxTrackY * g_win.scale);
}

constexpr const char* kWindowClass = "zentrova";

}  // namespace

bool SDLB_EnsureVideo() {
  if (g_win.videoReady) return true;
  if (g_win.videoFailed) return false;
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
    g_win.videoFailed = true;
    return false;
  }
  g_win.videoReady = true;
  SDLB_CatchEndSignals();
  return true;
}

SDL_Window* SDLB_Window() {
  return g_win.window;
}
int SDLB_MenuBarHeight() {
  return g_win.window ? g_win.menuH : 0;
}

void SDLB_WindowToClient(int* x, int* y) {
  if (!g_win.window) return;
  ToLogical(x, y);
  if (!g_win.fullScreen) *y -= g_win.menuH;
}

void SDLB_ClientToWindow(int* x, int* y) {
  if (!g_win.window) return;
  int lx = *x, ly = *y + (g_win.fullScreen ? 0 : g_win.menuH);
  *x = g_win.destX + static_cast<int>(static_cast<int64_t>(lx) * g_win.destW / LogicalW());
  *y = g_win.destY + static_cast<int>(static_cast<int64_t>(ly) * g_win.destH / LogicalH());
}

void SDLB_Post(int type, int64_t wparam, int64_t lparam) {
  g_win.queue.push_back(PltMsg{type, wparam, lparam});
}

int SDLB_RunDialog(const DlgSpec& desc, int* checked) {
  if (!g_win.window || g_win.ending) return desc.escapeResult;
  MBAR_Close();
  // A warning during the start-up comes before the window is shown: it is
  // shown now, or nobody could answer.
  if (SDL_GetWindowFlags(g_win.window) & SDL_WINDOW_HIDDEN) SDL_ShowWindow(g_win.window);
  if (g_win.minimized) SDL_RestoreWindow(g_win.window);
  SDL_RaiseWindow(g_win.window);
  DLG_Open(desc, LogicalW(), LogicalH());
  Redraw();
  // The buttons and keys held when the box opened belong to the game; what
  // happens while it is open belongs to the box.
  SDLB_ReleaseAllSources();
  std::fill(std::begin(g_win.buttonToGame), std::end(g_win.buttonToGame), false);
  std::fill(std::begin(g_win.buttonToMenu), std::end(g_win.buttonToMenu), false);
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
    if (DLG_TakeDirty()) Redraw();
  }
  DLG_TakeDirty();
  Redraw();
  SDLB_ReleaseAllSources();
  if (checked) *checked = DLG_Checked();
  return DLG_Result();
}

int PLT_CreateWindow(const char* caption, int clientWidth, int clientHeight, const PltMenu* menu,
                     PltWndProc proc) {
  if (g_win.window || clientWidth <= 0 || clientHeight <= 0 || clientWidth > 16384 ||
      clientHeight > 16384 || !SDLB_EnsureVideo()) {
    return 0;
  }
  MBAR_Build(menu, clientWidth, PostCommand);
  g_win.menuH = MBAR_BarHeight();
  g_win.clientW = clientWidth;
  g_win.clientH = clientHeight;
  g_win.winW = clientWidth;
  g_win.winH = clientHeight + g_win.menuH;
  g_win.window = SDL_CreateWindow(caption ? caption : "", 0, 0, g_win.winW * g_win.scale,
                                  g_win.winH * g_win.scale, SDL_WINDOW_HIDDEN);
  if (!g_win.window) {
    SDL_Log("window: %s", SDL_GetError());
    MBAR_Destroy();
    return 0;
  }
  g_win.frame.assign(static_cast<size_t>(clientWidth) * clientHeight, 0xFF000000);
  g_win.composite.assign(static_cast<size_t>(g_win.winW) * g_win.winH, 0xFF000000);
  g_win.proc = proc;
  g_win.active = -1;
  g_win.ending = false;
  Place();
  SDLB_ApplyIconAndCursor();
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  QuerySize();
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_win.window) return;
  MBAR_Close();
  if (g_win.proc) g_win.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
  SDL_DestroyWindow(g_win.window);
  g_win.window = nullptr;
  g_win.proc = nullptr;
  g_win.menuH = 0;
  g_win.fullScreen = false;
  g_win.overlayShown = false;
  MBAR_Destroy();
  SDLB_ReleaseAllSources();
}

int PLT_HasWindow() {
  return g_win.window ? 1 : 0;
}

void PLT_ShowWindow() {
  if (!g_win.window) return;
  SDL_ShowWindow(g_win.window);
  SDL_RaiseWindow(g_win.window);
  // Keys are keys: no input method composes text for this window.
  SDL_StopTextInput();
  Redraw();
  SetActive(1);
}

int PLT_PeekMessage(PltMsg* msg) {
  Pump();
  if (g_win.queue.empty()) return 0;
  if (msg) *msg = g_win.queue.front();
  return 1;
}

int PLT_GetMessage(PltMsg* msg) {
  Pump();
  if (g_win.queue.empty()) return 0;
  if (msg) *msg = g_win.queue.front();
  g_win.queue.pop_front();
  return 1;
}

int64_t PLT_DispatchMessage(const PltMsg& msg) {
  return g_win.proc ? g_win.proc(msg) : 0;
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
  if (g_win.window) {
    SDL_GetWindowPosition(g_win.window, &wx, &wy);
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(g_win.window, &top, &left, nullptr, nullptr) == 0) {
      wx -= left;
      wy -= top;
    }
  }
  if (x) *x = wx;
  if (y) *y = wy;
}

void PLT_SetWindowPos(int x, int y) {
  if (!g_win.window || g_win.fullScreen) return;
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(g_win.window, &top, &left, nullptr, nullptr) != 0) top = left = 0;
  SDL_SetWindowPosition(g_win.window, x + left, y + top);
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

void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth;
  *height = clientHeight + MBAR_BarHeight();
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!g_win.window || !pixels || width <= 0 || height <= 0) return;
  int w = std::min(width, g_win.clientW);
  int h = std::min(height, g_win.clientH);
  // In the common case the picture is converted straight into the surface,
  // one pass over its pixels; frame catches up only when something is drawn
  // over it.
  SDL_Surface* s = g_win.minimized ? nullptr : SDL_GetWindowSurface(g_win.window);
  bool direct = s && SDL_BYTESPERPIXEL(s->format->format) == 4 && FastPath(s) &&
                w == g_win.clientW && h == g_win.clientH;
  if (direct && SDL_MUSTLOCK(s)) SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = pixels + static_cast<size_t>(y) * width * 3;
    uint32_t* dst = direct ? SurfaceRow(s, g_win.menuH + y)
                           : g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW;
    PLT_Rgb24ToXrgb32(dst, src, w);
  }
  if (!direct) {
    g_win.frameInSurface = false;
    Redraw();
    return;
  }
  g_win.frameInSurface = true;
  if (MBAR_TakeDirty()) g_win.barStale = true;
  DrawBarRows(s);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  SDL_UpdateWindowSurface(g_win.window);
}

void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height) {
  if (!g_win.window || !pixels || !palette || width <= 0 || height <= 0) return;
  uint32_t lut[256];
  for (int i = 0; i < 256; ++i) {
    lut[i] = 0xFF000000u | (static_cast<uint32_t>(palette[i * 4 + 2]) << 16) |
             (static_cast<uint32_t>(palette[i * 4 + 1]) << 8) | palette[i * 4];
  }
  int w = std::min(width, g_win.clientW);
  int h = std::min(height, g_win.clientH);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = pixels + static_cast<size_t>(y) * width;
    uint32_t* dst = g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW;
    for (int x = 0; x < w; ++x) dst[x] = lut[src[x]];
  }
  g_win.frameInSurface = false;
  Redraw();
}

int PLT_ChangeDisplayMode(int width, int height) {
  if (!g_win.window) return PLT_DISP_CHANGE_FAILED;
  bool full = width >= 0 && height >= 0;
  if (full && (width != g_win.clientW || height != g_win.clientH)) return PLT_DISP_CHANGE_BADMODE;
  if (full == g_win.fullScreen) return PLT_DISP_CHANGE_SUCCESSFUL;
  SyncFrame();
  MBAR_Close();
  // The desktop keeps its own mode: a borderless window covers it and the
  // picture is scaled onto it, which today's displays and window systems
  // handle far better than a switch to 640x480.
  if (full) {
    SDL_SetWindowMinimumSize(g_win.window, 1, 1);
    SDL_SetWindowMaximumSize(g_win.window, 0, 0);
  }
  if (SDL_SetWindowFullscreen(g_win.window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    SDL_Log("full screen: %s", SDL_GetError());
    return PLT_DISP_CHANGE_FAILED;
  }
  g_win.fullScreen = full;
  g_win.overlayShown = false;
  if (!full) ApplyWindowSize();
  Place();
  Redraw();
  return PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_win.fullScreen ? 1 : 0;
}

void PLT_ShowMenuBar(int show) {
  bool s = show != 0 && g_win.menuH > 0;
  if (s == g_win.overlayShown) return;
  g_win.overlayShown = s;
  if (!s) {
    MBAR_MouseLeave();
    MBAR_Close();
  }
  Redraw();
}

void PLT_SetWindowScale(int scale) {
  scale = std::clamp(scale, 1, 4);
  if (scale == g_win.scale) return;
  g_win.scale = scale;
  if (!g_win.window) return;
  ApplyWindowSize();
  QuerySize();
  Redraw();
}

void PLT_SetSmoothScaling(int smooth) {
  g_win.smooth = smooth != 0;
  if (!g_win.window) return;
  Place();
  Redraw();
}

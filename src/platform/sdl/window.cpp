// The main window of the SDL backend: a fixed-size window whose top rows hold
// the menu bar and whose rest is the client area showing the game picture,
// the message queue fed from SDL's events, and presenting.
#include <SDL.h>

#include <algorithm>
#include <deque>
#include <vector>

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
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  PltWndProc proc = nullptr;
  int clientW = 0, clientH = 0;
  int menuH = 0;
  int winW = 0, winH = 0;
  std::vector<uint32_t> frame;      // last picture presented, 0xAARRGGBB
  std::vector<uint32_t> composite;  // frame below the menu bar, what is shown
  std::deque<PltMsg> queue;
  int active = -1;  // last activation posted
  bool fullScreen = false;
  bool overlayShown = false;  // full screen: menu bar drawn over the picture
  // Who got the press of each mouse button: its release goes to the same one.
  bool buttonToMenu[3] = {};
  bool buttonToGame[3] = {};
};

WindowState g_win;

constexpr int kMouseSourceBase = SDL_NUM_SCANCODES;

// Composes the picture and the menu and shows them. In a window the menu bar
// sits above the picture; in full screen only the picture is shown, with the
// bar over its top rows while the mouse is there.
void Redraw() {
  if (!g_win.window || !g_win.renderer || !g_win.texture) return;
  int top = g_win.fullScreen ? 0 : g_win.menuH;
  uint32_t* dst = g_win.composite.data() + static_cast<size_t>(top) * g_win.winW;
  std::copy(g_win.frame.begin(), g_win.frame.end(), dst);
  if (!g_win.fullScreen || g_win.overlayShown) {
    MBAR_Draw(g_win.composite.data(), g_win.winW, g_win.winH);
  }
  SDL_UpdateTexture(g_win.texture, nullptr, g_win.composite.data(), g_win.winW * 4);
  SDL_SetRenderDrawColor(g_win.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_win.renderer);
  SDL_Rect src{0, 0, g_win.winW, g_win.fullScreen ? g_win.clientH : g_win.winH};
  SDL_RenderCopy(g_win.renderer, g_win.texture, &src, nullptr);
  SDL_RenderPresent(g_win.renderer);
}

// Full screen: the bar shows while the mouse is on its rows or a drop-down
// is open.
void UpdateOverlay(int y) {
  if (!g_win.fullScreen) return;
  bool show = g_win.menuH > 0 && (y < g_win.menuH || MBAR_IsOpen());
  if (show == g_win.overlayShown) return;
  g_win.overlayShown = show;
  if (!show) MBAR_MouseLeave();
  Redraw();
}

// Offset of the client area from the window's top-left corner.
int ClientTop() {
  return g_win.fullScreen ? 0 : g_win.menuH;
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
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (g_win.buttonToMenu[b] || g_win.buttonToGame[b]) return;
    if (MBAR_MouseDown(b, e.x, e.y)) {
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
    MBAR_MouseUp(b, e.x, e.y);
  }
}

void HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      // Only a signal gets here (closing the window arrives as a window
      // event); either way the program is asked, never stopped.
      SDLB_Post(PLT_MSG_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
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
        case SDL_WINDOWEVENT_EXPOSED:
          Redraw();
          break;
        case SDL_WINDOWEVENT_LEAVE:
          MBAR_MouseLeave();
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(e.key);
      break;
    case SDL_MOUSEMOTION:
      // In full screen SDL reports the mouse in picture coordinates already.
      UpdateOverlay(e.motion.y);
      if (!MBAR_MouseMove(e.motion.x, e.motion.y)) {
        SDLB_Post(PLT_MSG_MOUSEMOVE, 0, PackClient(e.motion.x, e.motion.y - ClientTop()));
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      UpdateOverlay(e.button.y);
      HandleButton(e.button);
      UpdateOverlay(e.button.y);
      break;
    default:
      break;
  }
}

void Pump() {
  if (!g_win.videoReady) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) HandleEvent(e);
  if (MBAR_TakeDirty()) Redraw();
}

int DisplayIndex() {
  int i = g_win.window ? SDL_GetWindowDisplayIndex(g_win.window) : 0;
  return i < 0 ? 0 : i;
}

}  // namespace

bool SDLB_EnsureVideo() {
  if (g_win.videoReady) return true;
  if (g_win.videoFailed) return false;
  // Closing the window must reach the program as a close request, and a
  // click that activates the window is a click like any other.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    SDL_Log("video: %s", SDL_GetError());
    g_win.videoFailed = true;
    return false;
  }
  g_win.videoReady = true;
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
  if (g_win.fullScreen) {
    float lx = 0, ly = 0;
    SDL_RenderWindowToLogical(g_win.renderer, *x, *y, &lx, &ly);
    *x = static_cast<int>(lx < 0 ? lx - 1 : lx);
    *y = static_cast<int>(ly < 0 ? ly - 1 : ly);
  } else {
    *y -= g_win.menuH;
  }
}

void SDLB_ClientToWindow(int* x, int* y) {
  if (!g_win.window) return;
  if (g_win.fullScreen) {
    int wx = 0, wy = 0;
    SDL_RenderLogicalToWindow(g_win.renderer, static_cast<float>(*x), static_cast<float>(*y), &wx,
                              &wy);
    *x = wx;
    *y = wy;
  } else {
    *y += g_win.menuH;
  }
}

void SDLB_Post(int type, int64_t wparam, int64_t lparam) {
  g_win.queue.push_back(PltMsg{type, wparam, lparam});
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
  g_win.window =
      SDL_CreateWindow(caption ? caption : "", 0, 0, g_win.winW, g_win.winH, SDL_WINDOW_HIDDEN);
  if (!g_win.window) {
    SDL_Log("window: %s", SDL_GetError());
    MBAR_Destroy();
    return 0;
  }
  g_win.renderer = SDL_CreateRenderer(g_win.window, -1, 0);
  if (!g_win.renderer) g_win.renderer = SDL_CreateRenderer(g_win.window, -1, SDL_RENDERER_SOFTWARE);
  if (g_win.renderer) {
    g_win.texture = SDL_CreateTexture(g_win.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, g_win.winW, g_win.winH);
  }
  if (!g_win.renderer || !g_win.texture) {
    SDL_Log("renderer: %s", SDL_GetError());
    if (g_win.renderer) SDL_DestroyRenderer(g_win.renderer);
    SDL_DestroyWindow(g_win.window);
    g_win.renderer = nullptr;
    g_win.window = nullptr;
    MBAR_Destroy();
    return 0;
  }
  g_win.frame.assign(static_cast<size_t>(clientWidth) * clientHeight, 0xFF000000);
  g_win.composite.assign(static_cast<size_t>(g_win.winW) * g_win.winH, 0xFF000000);
  g_win.proc = proc;
  g_win.active = -1;
  SDLB_ApplyIconAndCursor();
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_win.window) return;
  MBAR_Close();
  if (g_win.proc) g_win.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
  SDL_DestroyTexture(g_win.texture);
  SDL_DestroyRenderer(g_win.renderer);
  SDL_DestroyWindow(g_win.window);
  g_win.texture = nullptr;
  g_win.renderer = nullptr;
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
  if (bpp) *bpp = b;
  if (width) *width = w;
  if (height) *height = h;
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!g_win.window || !pixels || width <= 0 || height <= 0) return;
  int w = std::min(width, g_win.clientW);
  int h = std::min(height, g_win.clientH);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = pixels + static_cast<size_t>(y) * width * 3;
    uint32_t* dst = g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW;
    for (int x = 0; x < w; ++x) {
      dst[x] = 0xFF000000u | (static_cast<uint32_t>(src[2]) << 16) |
               (static_cast<uint32_t>(src[1]) << 8) | src[0];
      src += 3;
    }
  }
  Redraw();
  MBAR_TakeDirty();
}

int PLT_ChangeDisplayMode(int width, int height) {
  if (!g_win.window) return PLT_DISP_CHANGE_FAILED;
  bool full = width >= 0 && height >= 0;
  if (full && (width != g_win.clientW || height != g_win.clientH)) return PLT_DISP_CHANGE_BADMODE;
  if (full == g_win.fullScreen) return PLT_DISP_CHANGE_SUCCESSFUL;
  MBAR_Close();
  // The desktop keeps its own mode: the picture is scaled onto it, which
  // today's displays and window systems handle far better than a switch to
  // 640x480.
  if (SDL_SetWindowFullscreen(g_win.window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    SDL_Log("full screen: %s", SDL_GetError());
    return PLT_DISP_CHANGE_FAILED;
  }
  g_win.fullScreen = full;
  g_win.overlayShown = false;
  if (full) {
    SDL_RenderSetLogicalSize(g_win.renderer, g_win.clientW, g_win.clientH);
    SDL_SetTextureScaleMode(g_win.texture, SDL_ScaleModeLinear);
  } else {
    SDL_RenderSetLogicalSize(g_win.renderer, 0, 0);
    SDL_SetTextureScaleMode(g_win.texture, SDL_ScaleModeNearest);
  }
  Redraw();
  return PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_win.fullScreen ? 1 : 0;
}

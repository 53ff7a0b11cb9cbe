// The main window of the web backend: a canvas in the page. Its rows hold the
// menu bar and below it the client area with the game's picture; in full
// screen only the picture, with the bar drawn over its top rows while the
// game shows it. The message queue is fed from the page's events, and the
// message boxes and dialogs are the in-window ones the desktop build draws.
#include <emscripten.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "platform/dialog.h"
#include "platform/menubar.h"
#include "platform/plt_clock.h"
#include "platform/plt_display.h"
#include "platform/plt_input.h"
#include "platform/plt_window.h"
#include "platform/web/web.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_window.h"

EM_JS(void, zv_canvas_size, (int w, int h), { ZV.resize(w, h); });
EM_JS(void, zv_canvas_present, (const uint8_t* rgba, int w, int h), { ZV.present(rgba, w, h); });
EM_JS(int, zv_next_event, (int* out), { return ZV.nextEvent(out); });
EM_JS(int, zv_set_full_screen, (int on), { return ZV.setFullScreen(on); });
EM_JS(void, zv_set_smooth, (int on), {
  ZV.smooth = !!on;
  ZV.layout();
});
EM_JS(void, zv_set_title, (const char* t), { document.title = UTF8ToString(t); });
EM_JS(int, zv_screen_w, (), { return (window.screen && screen.width) | 0 || 1024; });
EM_JS(int, zv_screen_h, (), { return (window.screen && screen.height) | 0 || 768; });

namespace {

// The page's event kinds (page.js).
enum : int {
  EV_MOVE = 1,
  EV_DOWN = 2,
  EV_UP = 3,
  EV_KEYDOWN = 4,
  EV_KEYUP = 5,
  EV_FOCUS = 6,
  EV_HIDDEN = 7,
  EV_FULLSCREEN = 9,
  EV_LEAVE = 10,
};

// The desktop a scripted replay pretends to have, the headless backend's.
constexpr int kScriptedDesktopW = 1920, kScriptedDesktopH = 1080;

struct WebWindow {
  bool exists = false;
  PltWndProc proc = nullptr;
  int clientW = 0, clientH = 0;
  int menuH = 0;
  int winW = 0, winH = 0;
  std::vector<uint32_t> frame;      // last picture, 0xAARRGGBB
  std::vector<uint32_t> composite;  // what the canvas shows
  std::vector<uint8_t> rgba;        // the same in the canvas's byte order
  std::deque<PltMsg> queue;
  int active = -1;
  bool fullScreen = false;
  bool overlayShown = false;
  int scale = 1;
  bool hidden = false;
  bool frameWhole = false;  // frame holds the whole last 24-bit picture
  bool buttonToMenu[3] = {};
  bool buttonToGame[3] = {};
  int winX = 0, winY = 0;
  int cursorX = 0, cursorY = 0;  // client coordinates
  uint64_t presents = 0;
  std::vector<uint8_t> lastFrame;  // scripted: 24-bit, blue green red
};

WebWindow g_win;

const int kButtonVk[3] = {PLT_VK_LBUTTON, PLT_VK_RBUTTON, PLT_VK_MBUTTON};

int LogicalW() {
  return g_win.winW;
}
int LogicalH() {
  return g_win.fullScreen ? g_win.clientH : g_win.winH;
}
int Top() {
  return g_win.fullScreen ? 0 : g_win.menuH;
}

void Post(int type, int64_t wparam, int64_t lparam) {
  g_win.queue.push_back(PltMsg{type, wparam, lparam});
}

void PostCommand(int id) {
  Post(PLT_MSG_COMMAND, id, 0);
}

void SetActive(int active) {
  if (g_win.active == active) return;
  g_win.active = active;
  Post(PLT_MSG_ACTIVATE, active, 0);
}

int64_t PackClient(int x, int y) {
  return static_cast<int64_t>((static_cast<uint32_t>(x) & 0xFFFF) |
                              ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

void Resize() {
  const size_t n = static_cast<size_t>(LogicalW()) * LogicalH();
  g_win.composite.assign(n, 0xFF000000);
  g_win.rgba.assign(n * 4, 0);
  zv_canvas_size(LogicalW(), LogicalH());
}

// Composes the bar, the picture and any box and shows them.
void Redraw() {
  if (!g_win.exists || g_win.composite.empty()) return;
  const int lw = LogicalW(), lh = LogicalH();
  const int top = Top();
  std::fill(g_win.composite.begin(), g_win.composite.end(), 0xFF000000);
  for (int y = 0; y < g_win.clientH && y + top < lh; ++y) {
    const uint32_t* src = g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW;
    std::copy(src, src + std::min(g_win.clientW, lw),
              g_win.composite.data() + static_cast<size_t>(y + top) * lw);
  }
  if (!g_win.fullScreen || g_win.overlayShown || MBAR_IsOpen()) {
    MBAR_Draw(g_win.composite.data(), lw, lh);
  }
  DLG_Draw(g_win.composite.data(), lw, lh);
  uint8_t* d = g_win.rgba.data();
  for (uint32_t p : g_win.composite) {
    d[0] = static_cast<uint8_t>(p >> 16);
    d[1] = static_cast<uint8_t>(p >> 8);
    d[2] = static_cast<uint8_t>(p);
    d[3] = 0xFF;
    d += 4;
  }
  zv_canvas_present(g_win.rgba.data(), lw, lh);
}

void ClearButtons() {
  std::fill(std::begin(g_win.buttonToGame), std::end(g_win.buttonToGame), false);
  std::fill(std::begin(g_win.buttonToMenu), std::end(g_win.buttonToMenu), false);
}

bool MenuTakesMouse(int y) {
  if (MBAR_IsOpen()) return true;
  if (g_win.fullScreen && !g_win.overlayShown) return false;
  return y < g_win.menuH;
}

void Clamp(int* x, int* y) {
  if (!g_win.fullScreen) return;
  *x = std::clamp(*x, 0, g_win.clientW - 1);
  *y = std::clamp(*y, 0, g_win.clientH - 1);
}

void MouseMove(int x, int y) {
  Clamp(&x, &y);
  if (MenuTakesMouse(y) && MBAR_MouseMove(x, y)) return;
  if (!g_win.fullScreen) MBAR_MouseLeave();
  g_win.cursorX = x;
  g_win.cursorY = y - Top();
  Post(PLT_MSG_MOUSEMOVE, 0, PackClient(g_win.cursorX, g_win.cursorY));
}

void Button(int b, bool down, int x, int y) {
  if (b < 0 || b > 2) return;
  Clamp(&x, &y);
  if (down) {
    if (g_win.buttonToMenu[b] || g_win.buttonToGame[b]) return;
    if (MenuTakesMouse(y) && MBAR_MouseDown(b, x, y)) {
      g_win.buttonToMenu[b] = true;
    } else {
      g_win.buttonToGame[b] = true;
      PLT_InputKeyEvent(kButtonVk[b], 1);
    }
    return;
  }
  if (g_win.buttonToGame[b]) {
    g_win.buttonToGame[b] = false;
    PLT_InputKeyEvent(kButtonVk[b], 0);
  } else if (g_win.buttonToMenu[b]) {
    g_win.buttonToMenu[b] = false;
    MBAR_MouseUp(b, x, y);
  }
}

void KeyDown(int vk, bool alt, bool repeat) {
  if (!repeat) PLT_InputKeyEvent(vk, 1);
  if (MBAR_IsOpen()) {
    MBAR_Key(vk);
    return;
  }
  if (alt && vk == PLT_VK_F1 + 3) {
    if (!repeat) Post(PLT_MSG_CLOSE, 0, 0);
    return;
  }
  // Alt combinations and F10 are system keys: they never arrive as key down.
  if (alt || vk == PLT_VK_MENU || vk == PLT_VK_F1 + 9) return;
  Post(PLT_MSG_KEYDOWN, vk, 0);
}

void Focus(bool on) {
  if (on) {
    SetActive(1);
    return;
  }
  SetActive(0);
  MBAR_Close();
  PLT_InputResetKeys();
  ClearButtons();
}

void HandleEvent(const int* e) {
  switch (e[0]) {
    case EV_MOVE:
      MouseMove(e[1], e[2]);
      break;
    case EV_DOWN:
    case EV_UP:
      Button(e[1], e[0] == EV_DOWN, e[2], e[3]);
      break;
    case EV_KEYDOWN:
      KeyDown(e[1], e[3] != 0, e[4] != 0);
      break;
    case EV_KEYUP:
      PLT_InputKeyEvent(e[1], 0);
      break;
    case EV_FOCUS:
      Focus(e[1] != 0);
      break;
    case EV_HIDDEN:
      if (g_win.hidden != (e[1] != 0)) {
        g_win.hidden = e[1] != 0;
        Post(PLT_MSG_MINIMIZED, g_win.hidden ? 1 : 0, 0);
      }
      break;
    case EV_FULLSCREEN:
      // The browser left full screen by itself (Escape): the page shows
      // the window again, and the program is told so that its setting and
      // the menu's check mark follow.
      if (!e[1] && g_win.fullScreen) {
        g_win.fullScreen = false;
        g_win.overlayShown = false;
        MBAR_Close();
        Resize();
        Redraw();
        Post(PLT_MSG_WINDOWED, 0, 0);
      }
      break;
    case EV_LEAVE:
      MBAR_MouseLeave();
      break;
    default:
      break;
  }
}

}  // namespace

void WEBB_Pump() {
  if (!g_win.exists) return;
  // A scripted replay takes no input from the page.
  int e[5];
  while (zv_next_event(e)) {
    if (!WEBB_Scripted()) HandleEvent(e);
  }
  if (!WEBB_Scripted()) WEBB_PadPoll(false);
  if (MBAR_TakeDirty()) Redraw();
}

// The modal loop of a message box or dialog: the page's events go to the box
// until it has a result, while the sound goes on.
int WEBW_RunDialog(const DlgSpec& desc, int* checked) {
  if (!g_win.exists) return desc.escapeResult;
  MBAR_Close();
  DLG_Open(desc, LogicalW(), LogicalH());
  Redraw();
  PLT_InputResetKeys();
  ClearButtons();
  int e[5];
  while (DLG_IsOpen()) {
    while (DLG_IsOpen() && zv_next_event(e)) {
      switch (e[0]) {
        case EV_KEYDOWN:
          if (e[1] == PLT_VK_F1 + 3 && e[3]) {
            DLG_Cancel(desc.escapeResult);
          } else {
            DLG_Key(e[1], e[2] != 0);
          }
          break;
        case EV_MOVE:
          DLG_MouseMove(e[1], e[2]);
          break;
        case EV_DOWN:
          DLG_MouseDown(e[1], e[2], e[3]);
          break;
        case EV_UP:
          DLG_MouseUp(e[1], e[2], e[3]);
          break;
        default:
          HandleEvent(e);
          break;
      }
    }
    if (DLG_IsOpen() && !WEBB_Scripted()) WEBB_PadPoll(true);
    if (DLG_TakeDirty()) Redraw();
    if (DLG_IsOpen()) PLT_Sleep(16);
  }
  DLG_TakeDirty();
  Redraw();
  PLT_InputResetKeys();
  if (checked) *checked = DLG_Checked();
  return DLG_Result();
}

bool WEBW_HasWindow() {
  return g_win.exists;
}

void WEB_InjectMouseMove(int x, int y) {
  g_win.cursorX = x;
  g_win.cursorY = y;
  Post(PLT_MSG_MOUSEMOVE, 0, PackClient(x, y));
}
void WEB_InjectButton(int button, int down) {
  if (button >= 0 && button <= 2) PLT_InputKeyEvent(kButtonVk[button], down);
}
void WEB_InjectKey(int vk, int down) {
  PLT_InputKeyEvent(vk, down);
}
void WEB_InjectWheel(int notches) {
  PLT_InputWheel(notches);
}
void WEB_InjectPadButton(int button, int down) {
  PLT_InputPadButton(button, down);
}
void WEB_InjectPadAxis(int axis, int value) {
  PLT_InputPadAxis(axis, value);
}
void WEB_InjectPadConnected(int connected) {
  PLT_InputPadConnected(connected);
}
void WEB_InjectCommand(int id) {
  Post(PLT_MSG_COMMAND, id, 0);
}
void WEB_InjectClose() {
  Post(PLT_MSG_CLOSE, 0, 0);
}
void WEB_InjectActivate(int active) {
  Post(PLT_MSG_ACTIVATE, active, 0);
}
void WEB_InjectMinimized(int minimized) {
  Post(PLT_MSG_MINIMIZED, minimized ? 1 : 0, 0);
}
uint64_t WEB_PresentCount() {
  return g_win.presents;
}
const std::vector<uint8_t>& WEB_LastFrame() {
  return g_win.lastFrame;
}

int PLT_CreateWindow(const char* caption, int clientWidth, int clientHeight, const PltMenu* menu,
                     PltWndProc proc) {
  if (g_win.exists || clientWidth <= 0 || clientHeight <= 0 || clientWidth > 4096 ||
      clientHeight > 4096) {
    return 0;
  }
  MBAR_Build(menu, clientWidth, PostCommand);
  g_win.menuH = MBAR_BarHeight();
  g_win.clientW = clientWidth;
  g_win.clientH = clientHeight;
  g_win.winW = clientWidth;
  g_win.winH = clientHeight + g_win.menuH;
  g_win.frame.assign(static_cast<size_t>(clientWidth) * clientHeight, 0xFF000000);
  g_win.frameWhole = false;
  g_win.proc = proc;
  g_win.exists = true;
  g_win.active = -1;
  Resize();
  if (caption && *caption) zv_set_title(caption);
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  int w = 0, h = 0;
  PLT_GetWorkArea(&w, &h);
  PltMinMaxInfo info{0, 0, w, h, w, h, 1, 1};
  if (proc) proc(PltMsg{PLT_MSG_GETMINMAXINFO, 0, reinterpret_cast<int64_t>(&info)});
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_win.exists) return;
  MBAR_Close();
  if (g_win.proc) g_win.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
  g_win.exists = false;
  g_win.proc = nullptr;
  g_win.fullScreen = false;
  MBAR_Destroy();
  PLT_InputResetKeys();
}

int PLT_HasWindow() {
  return g_win.exists ? 1 : 0;
}

void PLT_ShowWindow() {
  if (!g_win.exists) return;
  Redraw();
  SetActive(1);
}

int PLT_PeekMessage(PltMsg* msg) {
  WEBB_Pump();
  if (g_win.queue.empty()) return 0;
  if (msg) *msg = g_win.queue.front();
  return 1;
}

int PLT_GetMessage(PltMsg* msg) {
  WEBB_Pump();
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
  Post(type, wparam, lparam);
}
void PLT_PostQuit(int code) {
  Post(PLT_MSG_QUIT, code, 0);
}

// The page has no window to move: the position is only remembered.
void PLT_GetWindowPos(int* x, int* y) {
  if (x) *x = g_win.winX;
  if (y) *y = g_win.winY;
}
void PLT_SetWindowPos(int x, int y) {
  g_win.winX = x;
  g_win.winY = y;
}

void PLT_GetWorkArea(int* width, int* height) {
  int b = 0;
  PLT_GetDesktopMode(&b, width, height);
}

// A page never changes the screen's mode.
void PLT_GetStoredDesktopSize(int* width, int* height) {
  PLT_GetDesktopMode(nullptr, width, height);
}

void PLT_GetDesktopMode(int* bpp, int* width, int* height) {
  const bool fixed = WEBB_Scripted();
  if (bpp) *bpp = PLT_DesktopDepthOverride(32);
  if (width) *width = fixed ? kScriptedDesktopW : zv_screen_w();
  if (height) *height = fixed ? kScriptedDesktopH : zv_screen_h();
}

void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth;
  *height = clientHeight + MBAR_BarHeight();
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!g_win.exists || !pixels || width <= 0 || height <= 0) return;
  ++g_win.presents;
  if (WEBB_Scripted()) {
    g_win.lastFrame.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  }
  const int w = std::min(width, g_win.clientW);
  const int h = std::min(height, g_win.clientH);
  for (int y = 0; y < h; ++y) {
    PLT_Rgb24ToXrgb32(g_win.frame.data() + static_cast<size_t>(y) * g_win.clientW,
                      pixels + static_cast<size_t>(y) * width * 3, w);
  }
  g_win.frameWhole = w == g_win.clientW && h == g_win.clientH;
  if (!g_win.hidden) Redraw();
}

// Only the changed parts converted while the kept picture is the last one;
// the canvas takes it whole (one call).
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, const PltRect* parts,
                        int count) {
  if (!g_win.exists || !g_win.frameWhole || !pixels || width != g_win.clientW ||
      height != g_win.clientH || count < 0 || count > PLT_PRESENT_PARTS) {
    PLT_Present(pixels, width, height);
    return;
  }
  ++g_win.presents;
  if (WEBB_Scripted()) {
    g_win.lastFrame.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  }
  bool any = false;
  for (int i = 0; i < count; ++i) {
    PltRect p = parts[i];
    any |= PLT_Rgb24PartToXrgb32(g_win.frame.data(), g_win.clientW, pixels, width, height, &p);
  }
  if (any && !g_win.hidden) Redraw();
}

void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height) {
  if (!g_win.exists || !pixels || !palette || width <= 0 || height <= 0) return;
  const size_t n = static_cast<size_t>(width) * height;
  std::vector<uint8_t> bgr(n * 3);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* e = palette + pixels[i] * 4;
    bgr[i * 3] = e[0];
    bgr[i * 3 + 1] = e[1];
    bgr[i * 3 + 2] = e[2];
  }
  PLT_Present(bgr.data(), width, height);
}

int PLT_ChangeDisplayMode(int width, int height) {
  if (!g_win.exists) return PLT_DISP_CHANGE_FAILED;
  const bool full = width >= 0 && height >= 0;
  if (full && (width != g_win.clientW || height != g_win.clientH)) return PLT_DISP_CHANGE_BADMODE;
  if (full == g_win.fullScreen) return PLT_DISP_CHANGE_SUCCESSFUL;
  MBAR_Close();
  // The browser grants full screen only soon after a click or a key; when it
  // refuses, the page still shows the picture alone, scaled to the page.
  if (!WEBB_Scripted()) zv_set_full_screen(full ? 1 : 0);
  g_win.fullScreen = full;
  g_win.overlayShown = false;
  Resize();
  Redraw();
  return PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_win.fullScreen ? 1 : 0;
}

void PLT_ShowMenuBar(int show) {
  const bool s = show != 0 && g_win.menuH > 0;
  if (s == g_win.overlayShown) return;
  g_win.overlayShown = s;
  if (!s) {
    MBAR_MouseLeave();
    MBAR_Close();
  }
  Redraw();
}

// The page shows the canvas at the largest whole multiple that fits it; the
// window scale is only remembered.
void PLT_SetWindowScale(int scale) {
  g_win.scale = std::clamp(scale, 1, 4);
}

void PLT_SetSmoothScaling(int smooth) {
  zv_set_smooth(smooth ? 1 : 0);
}

// The cursor in screen coordinates: the page's window sits at its
// remembered position with the client area below the menu bar.
void PLT_GetCursorPos(int* x, int* y) {
  *x = g_win.cursorX + g_win.winX;
  *y = g_win.cursorY + g_win.winY;
}
void PLT_SetCursorPos(int x, int y) {
  g_win.cursorX = x - g_win.winX;
  g_win.cursorY = y - g_win.winY;
  if (g_win.exists && !WEBB_Scripted()) WEBB_ShowPadCursor(g_win.cursorX, g_win.cursorY + Top());
}
void PLT_ScreenToClient(int* x, int* y) {
  *x -= g_win.winX;
  *y -= g_win.winY;
}
void PLT_ClientToScreen(int* x, int* y) {
  *x += g_win.winX;
  *y += g_win.winY;
}
int PLT_SwapButtons() {
  return 0;
}

// The pad's Start: the menu bar opens at its first menu.
void PLT_OpenSystemMenu() {
  if (!g_win.exists || g_win.menuH <= 0) return;
  if (g_win.fullScreen) PLT_ShowMenuBar(1);
  MBAR_OpenFirst();
  Redraw();
}

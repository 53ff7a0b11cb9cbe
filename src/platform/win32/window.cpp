// The main window of the Win32 backend: a window class and a fixed-size
// window with the menu bar, its procedure turning the system's messages into
// the program's, the PeekMessage pump, and presenting through DIB sections
// (32-bit for the working picture, 8-bit with the display palette for
// 256-colour desktops) copied with BitBlt or StretchBlt.
//
// Full screen keeps the window and its menu bar: the window covers the
// screen with its client area and the menu bar just above the screen, and
// moves down by the bar's height while the bar is shown. By default the
// desktop keeps its mode and the picture is scaled onto it; the setting
// "display_switch" = 1 changes the display to 640x480 instead.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "platform/plt_debug.h"
#include "platform/plt_display.h"
#include "platform/plt_input.h"
#include "platform/plt_registry.h"
#include "platform/plt_window.h"
#include "platform/win32/win32_backend.h"

namespace {

const wchar_t kClassName[] = L"ZENTROVA";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFullStyle = WS_POPUP;
// The settings key and the value that chooses the real mode change.
constexpr const char* kConfigKey = "SoftWare\\TAVREN\\Zentrova\\config";
constexpr const char* kDisplaySwitch = "display_switch";

struct WindowState {
  HWND hwnd = nullptr;
  PltWndProc proc = nullptr;
  int clientW = 0, clientH = 0;
  std::deque<PltMsg> queue;
  int scale = 1;
  bool smooth = false;
  bool fullScreen = false;
  bool switched = false;  // the display mode was changed for full screen
  bool barShown = false;  // full screen: the menu bar is on the screen
  bool minimized = false;
  RECT screen{};          // full screen: the monitor's rectangle
  RECT windowed{};        // the window's rectangle before full screen
  HDC memDc = nullptr;
  HBITMAP dib32 = nullptr, dib8 = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits32 = nullptr;
  uint8_t* bits8 = nullptr;
  bool showIndexed = false;  // the last picture was the 8-bit one
  bool bits32Whole = false;  // bits32 holds the whole last 24-bit picture
  int destX = 0, destY = 0, destW = 0, destH = 0;
  // The tests' stand-in answers for the mode requests (see ChangeDisplay).
  bool modeAnswersRead = false;
  std::string modeAnswers;
};

WindowState g_win;

int64_t PackXy(int x, int y) {
  return (x & 0xFFFF) | (int64_t{y & 0xFFFF} << 16);
}

int MenuHeight() {
  return W32_Menu() ? ::GetSystemMetrics(SM_CYMENU) : 0;
}

// The picture's size on a full screen of sw x sh.
SIZE FullScreenPicture(int sw, int sh) {
  const int whole = std::min(sw / g_win.clientW, sh / g_win.clientH);
  if (!g_win.smooth && whole >= 1) return SIZE{g_win.clientW * whole, g_win.clientH * whole};
  if (sw * g_win.clientH <= sh * g_win.clientW) return SIZE{sw, sw * g_win.clientH / g_win.clientW};
  return SIZE{sh * g_win.clientW / g_win.clientH, sh};
}

// Where the picture lands in the client area.
void Place() {
  RECT rc;
  if (!g_win.hwnd || !::GetClientRect(g_win.hwnd, &rc)) return;
  const int cw = rc.right, ch = rc.bottom;
  if (!g_win.fullScreen) {
    g_win.destX = 0;
    g_win.destY = 0;
    g_win.destW = g_win.clientW * g_win.scale;
    g_win.destH = g_win.clientH * g_win.scale;
    return;
  }
  const int sw = g_win.screen.right - g_win.screen.left;
  const int sh = g_win.screen.bottom - g_win.screen.top;
  const SIZE s = FullScreenPicture(sw, sh);
  g_win.destW = s.cx;
  g_win.destH = s.cy;
  g_win.destX = (std::min(cw, sw) - s.cx) / 2;
  // The picture stays where it is on the screen while the window moves down
  // to show the menu bar over its top rows (PlaceFullScreenWindow).
  g_win.destY = g_win.barShown ? -MenuHeight() : (std::min(ch, sh) - s.cy) / 2;
}

void Redraw(HDC dc) {
  if (!g_win.memDc) return;
  RECT rc;
  ::GetClientRect(g_win.hwnd, &rc);
  // The borders of a full screen stay black.
  if (g_win.fullScreen) {
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    const RECT parts[4] = {{0, 0, rc.right, g_win.destY},
                           {0, g_win.destY + g_win.destH, rc.right, rc.bottom},
                           {0, g_win.destY, g_win.destX, g_win.destY + g_win.destH},
                           {g_win.destX + g_win.destW, g_win.destY, rc.right,
                            g_win.destY + g_win.destH}};
    for (const RECT& r : parts) {
      if (r.right > r.left && r.bottom > r.top) ::FillRect(dc, &r, black);
    }
  }
  ::SelectObject(g_win.memDc, g_win.showIndexed ? g_win.dib8 : g_win.dib32);
  if (g_win.showIndexed) W32_PaletteRealize(dc);
  if (g_win.destW == g_win.clientW && g_win.destH == g_win.clientH) {
    ::BitBlt(dc, g_win.destX, g_win.destY, g_win.clientW, g_win.clientH, g_win.memDc, 0, 0,
             SRCCOPY);
  } else {
    ::SetStretchBltMode(dc, g_win.smooth ? HALFTONE : COLORONCOLOR);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, g_win.destX, g_win.destY, g_win.destW, g_win.destH, g_win.memDc, 0, 0,
                 g_win.clientW, g_win.clientH, SRCCOPY);
  }
}

void RedrawNow() {
  if (!g_win.hwnd || g_win.minimized) return;
  HDC dc = ::GetDC(g_win.hwnd);
  Redraw(dc);
  ::ReleaseDC(g_win.hwnd, dc);
}

bool CreateSurfaces(int w, int h) {
  HDC screen = ::GetDC(nullptr);
  g_win.memDc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  if (!g_win.memDc) return false;
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[256];
  } bi;
  std::memset(&bi, 0, sizeof bi);
  bi.h.biSize = sizeof bi.h;
  bi.h.biWidth = w;
  bi.h.biHeight = -h;  // top-down, like the program's pictures
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 32;
  bi.h.biCompression = BI_RGB;
  void* bits = nullptr;
  g_win.dib32 = ::CreateDIBSection(g_win.memDc, reinterpret_cast<BITMAPINFO*>(&bi),
                                   DIB_RGB_COLORS, &bits, nullptr, 0);
  g_win.bits32 = static_cast<uint32_t*>(bits);
  g_win.bits32Whole = false;
  bi.h.biBitCount = 8;
  bi.h.biClrUsed = 256;
  g_win.dib8 = ::CreateDIBSection(g_win.memDc, reinterpret_cast<BITMAPINFO*>(&bi),
                                  DIB_RGB_COLORS, &bits, nullptr, 0);
  g_win.bits8 = static_cast<uint8_t*>(bits);
  if (!g_win.dib32 || !g_win.dib8) return false;
  std::memset(g_win.bits32, 0, static_cast<size_t>(w) * h * 4u);
  g_win.oldBitmap = ::SelectObject(g_win.memDc, g_win.dib32);
  return true;
}

void DestroySurfaces() {
  if (g_win.memDc) {
    ::SelectObject(g_win.memDc, g_win.oldBitmap);
    ::DeleteDC(g_win.memDc);
  }
  if (g_win.dib32) ::DeleteObject(g_win.dib32);
  if (g_win.dib8) ::DeleteObject(g_win.dib8);
  g_win.memDc = nullptr;
  g_win.dib32 = g_win.dib8 = nullptr;
  g_win.bits32 = nullptr;
  g_win.bits8 = nullptr;
}

// The outer size of a window of kWindowStyle with the menu bar, for a client
// area of w x h.
SIZE OuterSize(int w, int h) {
  RECT r{0, 0, w, h};
  ::AdjustWindowRectEx(&r, kWindowStyle, W32_Menu() != nullptr, 0);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Full screen: the client area on the screen with the menu bar above it; a
// shown bar lies over the picture's top rows, where the mouse showed it, so
// that it can be reached without crossing the picture (which hides it). The
// window then moves down to the picture's top, over the black backdrop.
void PlaceFullScreenWindow() {
  const int menuH = MenuHeight();
  const int sw = g_win.screen.right - g_win.screen.left;
  const int sh = g_win.screen.bottom - g_win.screen.top;
  const int top = (sh - FullScreenPicture(sw, sh).cy) / 2;
  const int y = g_win.screen.top + (g_win.barShown ? top : -menuH);
  W32_BackdropShow(g_win.screen);
  // Topmost again, so above the backdrop.
  ::SetWindowPos(g_win.hwnd, HWND_TOPMOST, g_win.screen.left, y, sw, sh + menuH,
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Place();
}

int ButtonVk(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return PLT_VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return PLT_VK_RBUTTON;
    default:
      return PLT_VK_MBUTTON;
  }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT r = 0; W32_PaletteMessage(hwnd, msg, wp, &r)) return r;
  switch (msg) {
    case WM_ACTIVATE:
      W32_Post(PLT_MSG_ACTIVATE,
               LOWORD(wp) == WA_INACTIVE ? 0 : LOWORD(wp) == WA_CLICKACTIVE ? 2 : 1, 0);
      if (LOWORD(wp) == WA_INACTIVE) PLT_InputResetKeys();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      Redraw(dc);
      ::EndPaint(hwnd, &ps);
      W32_Post(PLT_MSG_PAINT, 0, 0);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the picture covers it
    case WM_CLOSE:
      W32_Post(PLT_MSG_CLOSE, 0, 0);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      PLT_InputKeyEvent(static_cast<int>(wp & 0xFF), 1);
      if (msg == WM_KEYDOWN) W32_Post(PLT_MSG_KEYDOWN, static_cast<int64_t>(wp & 0xFF), 0);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      PLT_InputKeyEvent(static_cast<int>(wp & 0xFF), 0);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      ::SetCapture(hwnd);
      PLT_InputKeyEvent(ButtonVk(msg), 1);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      PLT_InputKeyEvent(ButtonVk(msg), 0);
      if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ::ReleaseCapture();
      return 0;
    case WM_MOUSEWHEEL: {
      // Notches of WHEEL_DELTA; a fine-grained wheel's rest waits for more.
      static int rest = 0;
      rest += GET_WHEEL_DELTA_WPARAM(wp);
      const int notches = rest / WHEEL_DELTA;
      rest -= notches * WHEEL_DELTA;
      if (notches) PLT_InputWheel(notches);
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
      W32_WindowToPicture(&x, &y);
      W32_Post(PLT_MSG_MOUSEMOVE, 0, PackXy(x, y));
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && W32_Cursor()) {
        ::SetCursor(W32_Cursor());
        return TRUE;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wp) == 0 && lp == 0) W32_Post(PLT_MSG_COMMAND, LOWORD(wp), 0);
      return 0;
    case WM_DISPLAYCHANGE:
      W32_Post(PLT_MSG_DISPLAYCHANGE, PLT_DesktopDepthOverride(static_cast<int>(wp)),
               PackXy(LOWORD(lp), HIWORD(lp)));
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      PltMinMaxInfo info{mm->ptMaxPosition.x, mm->ptMaxPosition.y, mm->ptMaxSize.x,
                         mm->ptMaxSize.y,     mm->ptMaxTrackSize.x, mm->ptMaxTrackSize.y,
                         mm->ptMinTrackSize.x, mm->ptMinTrackSize.y};
      if (g_win.proc && !g_win.fullScreen) {
        g_win.proc(PltMsg{PLT_MSG_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info)});
        mm->ptMaxTrackSize = POINT{info.maxTrackX, info.maxTrackY};
        mm->ptMinTrackSize = POINT{info.minTrackX, info.minTrackY};
      }
      // The window's own size wins over the program's idea of the frame.
      if (g_win.clientW > 0 && !g_win.fullScreen) {
        const SIZE s = OuterSize(g_win.clientW * g_win.scale, g_win.clientH * g_win.scale);
        mm->ptMinTrackSize = POINT{s.cx, s.cy};
        mm->ptMaxTrackSize = POINT{s.cx, s.cy};
      }
      return 0;
    }
    case WM_SIZE:
      if (wp == SIZE_MINIMIZED && !g_win.minimized) {
        g_win.minimized = true;
        W32_Post(PLT_MSG_MINIMIZED, 1, 0);
      } else if (wp != SIZE_MINIMIZED && g_win.minimized) {
        g_win.minimized = false;
        W32_Post(PLT_MSG_MINIMIZED, 0, 0);
      }
      Place();
      return 0;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      W32_PadMenuLoop(msg == WM_ENTERMENULOOP);
      return 0;
    case WM_TIMER:
      if (W32_PadTimer(wp)) return 0;
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) W32_Post(PLT_MSG_ENDSESSION, 0, 0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void Pump() {
  MSG m;
  while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      W32_Post(PLT_MSG_QUIT, static_cast<int64_t>(m.wParam), 0);
      continue;
    }
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
  }
  W32_PadPoll(false);
}

bool RegisterClassOnce() {
  static bool done = false;
  if (done) return true;
  WNDCLASSEXW wc;
  std::memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = W32_Instance();
  wc.hIcon = W32_Icon() ? W32_Icon() : ::LoadIconW(W32_Instance(), MAKEINTRESOURCEW(109));
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  done = ::RegisterClassExW(&wc) != 0;
  return done;
}

int DisplaySwitchSetting() {
  uint32_t v = 0, len = sizeof v;
  int type = 0;
  if (PLT_RegQueryValue(kConfigKey, kDisplaySwitch, &type, &v, &len) != PLT_REG_OK ||
      type != PLT_REG_DWORD || len != 4) {
    return 0;
  }
  return v == 1 ? 1 : 0;
}

// ChangeDisplaySettings, or under test the next of the answers listed in
// ZENTROVA_DISPLAY_CHANGE_RESULTS (comma-separated results, one a request,
// in order; the system answers once they run out): no system here can be
// made to fail a mode change on demand.
LONG ChangeDisplay(DEVMODEW* mode, DWORD flags) {
  if (!g_win.modeAnswersRead) {
    g_win.modeAnswersRead = true;
    const char* env = std::getenv("ZENTROVA_DISPLAY_CHANGE_RESULTS");
    g_win.modeAnswers = env ? env : "";
  }
  std::string& list = g_win.modeAnswers;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string item = list.substr(0, comma);
    list.erase(0, comma == std::string::npos ? list.size() : comma + 1);
    char* end = nullptr;
    const long r = std::strtol(item.c_str(), &end, 10);
    if (end != item.c_str() && *end == '\0') return static_cast<LONG>(r);
  }
  return ::ChangeDisplaySettingsW(mode, flags);
}

// Tells the debugger output what a mode request gave.
void NoteModeChange(const DEVMODEW& want, LONG result) {
  char line[128];
  std::snprintf(line, sizeof line, "ChangeDisplaySettings %lux%lu%s%lu: %ld\n",
                static_cast<unsigned long>(want.dmPelsWidth),
                static_cast<unsigned long>(want.dmPelsHeight),
                (want.dmFields & DM_BITSPERPEL) ? "x" : ", depth kept, was ",
                static_cast<unsigned long>(want.dmBitsPerPel), static_cast<long>(result));
  PLT_DebugOutput(line);
}

// 640x480 at 24 bits (32 when the system lists no 24-bit mode), then at the
// current depth when that fails.
int SwitchTo(int w, int h) {
  DEVMODEW cur;
  std::memset(&cur, 0, sizeof cur);
  cur.dmSize = sizeof cur;
  ::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &cur);
  if (static_cast<int>(cur.dmPelsWidth) == w && static_cast<int>(cur.dmPelsHeight) == h) {
    return DISP_CHANGE_SUCCESSFUL;
  }
  bool has24 = false;
  DEVMODEW m;
  std::memset(&m, 0, sizeof m);
  m.dmSize = sizeof m;
  for (DWORD i = 0; ::EnumDisplaySettingsW(nullptr, i, &m); ++i) {
    if (m.dmBitsPerPel == 24) has24 = true;
  }
  DEVMODEW want;
  std::memset(&want, 0, sizeof want);
  want.dmSize = sizeof want;
  want.dmPelsWidth = static_cast<DWORD>(w);
  want.dmPelsHeight = static_cast<DWORD>(h);
  want.dmBitsPerPel = has24 ? 24 : 32;
  want.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
  LONG r = ChangeDisplay(&want, CDS_FULLSCREEN);
  NoteModeChange(want, r);
  if (r != DISP_CHANGE_SUCCESSFUL) {
    want.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    r = ChangeDisplay(&want, CDS_FULLSCREEN);
    NoteModeChange(want, r);
  }
  return static_cast<int>(r);
}

RECT MonitorRect() {
  RECT r{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  HMONITOR mon = ::MonitorFromWindow(g_win.hwnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi;
  mi.cbSize = sizeof mi;
  if (mon && ::GetMonitorInfoW(mon, &mi)) r = mi.rcMonitor;
  return r;
}

}  // namespace

HWND W32_Window() {
  return g_win.hwnd;
}

HINSTANCE W32_Instance() {
  return ::GetModuleHandleW(nullptr);
}

void W32_Post(int type, int64_t wparam, int64_t lparam) {
  g_win.queue.push_back(PltMsg{type, wparam, lparam});
}

void W32_WindowToPicture(int* x, int* y) {
  if (g_win.destW <= 0 || g_win.destH <= 0) return;
  *x = (*x - g_win.destX) * g_win.clientW / g_win.destW;
  *y = (*y - g_win.destY) * g_win.clientH / g_win.destH;
}

void W32_PictureToWindow(int* x, int* y) {
  if (g_win.clientW <= 0 || g_win.clientH <= 0) return;
  *x = g_win.destX + *x * g_win.destW / g_win.clientW;
  *y = g_win.destY + *y * g_win.destH / g_win.clientH;
}

std::wstring W32_Wide(const char* utf8) {
  if (!utf8 || !*utf8) return std::wstring();
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

int PLT_CreateWindow(const char* caption, int clientWidth, int clientHeight, const PltMenu* menu,
                     PltWndProc proc) {
  if (g_win.hwnd || clientWidth <= 0 || clientHeight <= 0 || clientWidth > 16384 ||
      clientHeight > 16384 || !RegisterClassOnce()) {
    return 0;
  }
  HMENU bar = W32_BuildMenu(menu);
  g_win.clientW = clientWidth;
  g_win.clientH = clientHeight;
  if (!CreateSurfaces(clientWidth, clientHeight)) {
    DestroySurfaces();
    W32_DestroyMenu();
    return 0;
  }
  const SIZE outer = OuterSize(clientWidth * g_win.scale, clientHeight * g_win.scale);
  const std::wstring title = W32_Wide(caption);
  g_win.hwnd = ::CreateWindowExW(0, kClassName, title.c_str(), kWindowStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, outer.cx, outer.cy, nullptr, bar, W32_Instance(),
                                 nullptr);
  if (!g_win.hwnd) {
    DestroySurfaces();
    W32_DestroyMenu();
    return 0;
  }
  if (W32_Icon()) {
    ::SendMessageW(g_win.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(W32_Icon()));
    ::SendMessageW(g_win.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(W32_Icon()));
  }
  g_win.proc = proc;
  Place();
  if (proc) proc(PltMsg{PLT_MSG_CREATE, 0, 0});
  return 1;
}

void PLT_DestroyWindow() {
  if (!g_win.hwnd) return;
  if (g_win.switched) ::ChangeDisplaySettingsW(nullptr, 0);
  if (g_win.proc) g_win.proc(PltMsg{PLT_MSG_DESTROY, 0, 0});
  W32_PaletteRelease();
  // The menu goes with the window.
  ::DestroyWindow(g_win.hwnd);
  g_win.hwnd = nullptr;
  g_win.proc = nullptr;
  g_win.fullScreen = false;
  g_win.switched = false;
  g_win.barShown = false;
  W32_BackdropHide();
  DestroySurfaces();
  W32_DestroyMenu();
  PLT_InputResetKeys();
}

int PLT_HasWindow() {
  return g_win.hwnd ? 1 : 0;
}

void PLT_ShowWindow() {
  if (!g_win.hwnd) return;
  ::ShowWindow(g_win.hwnd, SW_SHOW);
  ::SetForegroundWindow(g_win.hwnd);
  ::UpdateWindow(g_win.hwnd);
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
  W32_Post(type, wparam, lparam);
}

void PLT_PostQuit(int code) {
  W32_Post(PLT_MSG_QUIT, code, 0);
}

void PLT_GetWindowPos(int* x, int* y) {
  RECT r{0, 0, 0, 0};
  if (g_win.hwnd) ::GetWindowRect(g_win.hwnd, &r);
  if (x) *x = r.left;
  if (y) *y = r.top;
}

void PLT_SetWindowPos(int x, int y) {
  if (!g_win.hwnd || g_win.fullScreen) return;
  ::SetWindowPos(g_win.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PLT_GetWorkArea(int* width, int* height) {
  RECT r{0, 0, 1024, 768};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  if (width) *width = r.right - r.left;
  if (height) *height = r.bottom - r.top;
}

void PLT_GetDesktopMode(int* bpp, int* width, int* height) {
  HDC dc = ::GetDC(nullptr);
  const int b = ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES);
  ::ReleaseDC(nullptr, dc);
  if (bpp) *bpp = PLT_DesktopDepthOverride(b > 0 ? b : 32);
  if (width) *width = ::GetSystemMetrics(SM_CXSCREEN);
  if (height) *height = ::GetSystemMetrics(SM_CYSCREEN);
}

void PLT_GetStoredDesktopSize(int* width, int* height) {
  DEVMODEW m;
  std::memset(&m, 0, sizeof m);
  m.dmSize = sizeof m;
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  if (::EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &m) && m.dmPelsWidth && m.dmPelsHeight) {
    w = static_cast<int>(m.dmPelsWidth);
    h = static_cast<int>(m.dmPelsHeight);
  }
  if (width) *width = w;
  if (height) *height = h;
}

void PLT_WindowSizeForClient(int clientWidth, int clientHeight, int* width, int* height) {
  const SIZE s = OuterSize(clientWidth, clientHeight);
  *width = s.cx;
  *height = s.cy;
}

void PLT_Present(const uint8_t* pixels, int width, int height) {
  if (!g_win.hwnd || !g_win.bits32 || !pixels || width <= 0 || height <= 0) return;
  const int w = std::min(width, g_win.clientW);
  const int h = std::min(height, g_win.clientH);
  ::GdiFlush();
  for (int y = 0; y < h; ++y) {
    PLT_Rgb24ToXrgb32(g_win.bits32 + static_cast<size_t>(y) * g_win.clientW,
                      pixels + static_cast<size_t>(y) * width * 3, w);
  }
  g_win.showIndexed = false;
  g_win.bits32Whole = w == g_win.clientW && h == g_win.clientH;
  RedrawNow();
}

// Only the changed parts converted into the DIB section while it holds the
// last picture; the window is copied from it whole (one BitBlt).
void PLT_PresentChanged(const uint8_t* pixels, int width, int height, const PltRect* parts,
                        int count) {
  if (!g_win.hwnd || !g_win.bits32 || !g_win.bits32Whole || g_win.showIndexed || !pixels ||
      width != g_win.clientW || height != g_win.clientH || count < 0 ||
      count > PLT_PRESENT_PARTS) {
    PLT_Present(pixels, width, height);
    return;
  }
  ::GdiFlush();
  bool any = false;
  for (int i = 0; i < count; ++i) {
    PltRect p = parts[i];
    any |= PLT_Rgb24PartToXrgb32(g_win.bits32, g_win.clientW, pixels, width, height, &p);
  }
  if (any) RedrawNow();
}

void PLT_PresentIndexed(const uint8_t* pixels, const uint8_t* palette, int width, int height) {
  if (!g_win.hwnd || !g_win.bits8 || !pixels || !palette || width <= 0 || height <= 0) return;
  const int w = std::min(width, g_win.clientW);
  const int h = std::min(height, g_win.clientH);
  RGBQUAD colors[256];
  for (int i = 0; i < 256; ++i) {
    colors[i] = RGBQUAD{palette[i * 4], palette[i * 4 + 1], palette[i * 4 + 2], 0};
  }
  ::GdiFlush();
  ::SelectObject(g_win.memDc, g_win.dib8);
  ::SetDIBColorTable(g_win.memDc, 0, 256, colors);
  W32_PaletteSet(palette);
  // Rows of an 8-bit DIB are padded to four bytes.
  const int stride = (g_win.clientW + 3) & ~3;
  for (int y = 0; y < h; ++y) {
    std::memcpy(g_win.bits8 + static_cast<size_t>(y) * stride,
                pixels + static_cast<size_t>(y) * width, static_cast<size_t>(w));
  }
  g_win.showIndexed = true;
  RedrawNow();
}

int PLT_ChangeDisplayMode(int width, int height) {
  if (!g_win.hwnd) return PLT_DISP_CHANGE_FAILED;
  const bool full = width >= 0 && height >= 0;
  if (full && (width != g_win.clientW || height != g_win.clientH)) return PLT_DISP_CHANGE_BADMODE;
  if (full == g_win.fullScreen) return PLT_DISP_CHANGE_SUCCESSFUL;
  int result = PLT_DISP_CHANGE_SUCCESSFUL;
  if (full) {
    ::GetWindowRect(g_win.hwnd, &g_win.windowed);
    if (DisplaySwitchSetting()) {
      result = SwitchTo(width, height);
      g_win.switched = result == DISP_CHANGE_SUCCESSFUL;
    }
    g_win.fullScreen = true;
    g_win.barShown = false;
    g_win.screen = MonitorRect();
    ::SetWindowLongW(g_win.hwnd, GWL_STYLE, kFullStyle | WS_VISIBLE);
    PlaceFullScreenWindow();
  } else {
    if (g_win.switched) {
      result = static_cast<int>(ChangeDisplay(nullptr, 0));
      char line[64];
      std::snprintf(line, sizeof line, "ChangeDisplaySettings back: %d\n", result);
      PLT_DebugOutput(line);
    }
    g_win.switched = false;
    g_win.fullScreen = false;
    g_win.barShown = false;
    W32_BackdropHide();
    ::SetWindowLongW(g_win.hwnd, GWL_STYLE, kWindowStyle | WS_VISIBLE);
    const SIZE s = OuterSize(g_win.clientW * g_win.scale, g_win.clientH * g_win.scale);
    ::SetWindowPos(g_win.hwnd, HWND_NOTOPMOST, g_win.windowed.left, g_win.windowed.top, s.cx,
                   s.cy, SWP_FRAMECHANGED);
    Place();
  }
  ::InvalidateRect(g_win.hwnd, nullptr, FALSE);
  return result;
}

int PLT_IsFullScreen() {
  return g_win.fullScreen ? 1 : 0;
}

void PLT_ShowMenuBar(int show) {
  const bool s = show != 0 && W32_Menu() != nullptr;
  if (!g_win.fullScreen || s == g_win.barShown) return;
  g_win.barShown = s;
  PlaceFullScreenWindow();
}

void PLT_SetWindowScale(int scale) {
  scale = std::clamp(scale, 1, 4);
  if (scale == g_win.scale) return;
  g_win.scale = scale;
  if (!g_win.hwnd || g_win.fullScreen) return;
  const SIZE s = OuterSize(g_win.clientW * scale, g_win.clientH * scale);
  ::SetWindowPos(g_win.hwnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER);
  Place();
  ::InvalidateRect(g_win.hwnd, nullptr, FALSE);
}

void PLT_SetSmoothScaling(int smooth) {
  g_win.smooth = smooth != 0;
  if (!g_win.hwnd) return;
  Place();
  ::InvalidateRect(g_win.hwnd, nullptr, FALSE);
}

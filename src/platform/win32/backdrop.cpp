// The black backdrop of a full screen. The main window covers the screen,
// but while its menu bar is shown over a picture that does not reach the
// screen's top edge the window moves down to there, and the strip above
// it would show the desktop: this window, black, never active and never
// taking the mouse, lies under it over the whole screen.
#include <windows.h>

#include "platform/win32/win32_backend.h"

namespace {

const wchar_t kBackdropClass[] = L"ZENTROVA_BACKDROP";

struct BackdropState {
  HWND hwnd = nullptr;
  bool registered = false;
};

BackdropState g_backdrop;

}  // namespace

void W32_BackdropShow(const RECT& screen) {
  if (!g_backdrop.registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = W32_Instance();
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kBackdropClass;
    g_backdrop.registered = ::RegisterClassExW(&wc) != 0;
    if (!g_backdrop.registered) return;
  }
  if (!g_backdrop.hwnd) {
    g_backdrop.hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                                        kBackdropClass, L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0,
                                        nullptr, nullptr, W32_Instance(), nullptr);
    if (!g_backdrop.hwnd) return;
  }
  ::SetWindowPos(g_backdrop.hwnd, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void W32_BackdropHide() {
  if (g_backdrop.hwnd) ::DestroyWindow(g_backdrop.hwnd);
  g_backdrop.hwnd = nullptr;
}

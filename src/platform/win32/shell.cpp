// Opening a file or web address with the program the system associates.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/plt_input.h"
#include "platform/plt_shell.h"
#include "platform/win32/win32_backend.h"

int PLT_ShellOpen(const char* target) {
  if (!target || !*target) return 0;
  const std::wstring w = W32_Wide(target);
  // Above 32 means success.
  const auto r = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(W32_Window(), L"open", w.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return r > 32 ? 1 : 0;
}

void PLT_PublishText(const char* utf8) {
  if (!utf8) return;
  std::fputs(utf8, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  const std::wstring w = W32_Wide(utf8);
  if (!::OpenClipboard(W32_Window())) return;
  ::EmptyClipboard();
  const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = ::GlobalLock(mem)) {
      std::memcpy(p, w.c_str(), bytes);
      ::GlobalUnlock(mem);
      // The clipboard owns the memory once it has taken it.
      if (!::SetClipboardData(CF_UNICODETEXT, mem)) ::GlobalFree(mem);
    } else {
      ::GlobalFree(mem);
    }
  }
  ::CloseClipboard();
}

void PLT_OpenSystemMenu() {
  // As F10 does: the menu bar takes the keyboard.
  if (W32_Window()) ::PostMessageW(W32_Window(), WM_SYSCOMMAND, SC_KEYMENU, 0);
}

// Opening a file or web address with the program the system associates.
#include <windows.h>
#include <shellapi.h>

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

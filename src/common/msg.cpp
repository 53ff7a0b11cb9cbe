// Message boxes.
#include "common/msg.h"

#include <cstdarg>
#include <cstdio>

#include "common/clock.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"

namespace {
int BoxV(int style, const char* caption, const char* fmt, va_list ap) {
  char buf[512];
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  int r = PLT_MessageBox(buf, caption, style | PLT_MB_SETFOREGROUND);
  // The game stood still while the box was up: no frames to catch up on.
  CLK_RequestResync();
  return r;
}
}  // namespace

// The owner is always the main window here: the platform has one window.
int MSG_Box(void*, int style, const char* caption, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int r = BoxV(style, caption, fmt, ap);
  va_end(ap);
  return r;
}

int MSG_Error(void*, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int r = BoxV(PLT_MB_OK, "警告", fmt, ap);
  va_end(ap);
  return r;
}

// The debugger output channel: standard error when asked for.
#include <cstdio>
#include <cstdlib>

#include "platform/plt_debug.h"

void PLT_DebugOutput(const char* text) {
  static const bool enabled = std::getenv("ZENTROVA_DEBUG_OUTPUT") != nullptr;
  if (enabled && text) std::fputs(text, stderr);
}

// The headless backend has no screen to switch: full screen is only a flag.
#include "platform/plt_display.h"

namespace {
int g_fullScreen = 0;
}

int PLT_ChangeDisplayMode(int width, int height) {
  g_fullScreen = width > 0 && height > 0 ? 1 : 0;
  return PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_fullScreen;
}

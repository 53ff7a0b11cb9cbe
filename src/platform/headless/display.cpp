// The headless backend has no screen to switch: full screen is only a flag,
// and the result of entering it is what the tests ask for.
#include "platform/headless/headless.h"
#include "platform/plt_display.h"

namespace {

struct HeadlessDisplay {
  int fullScreen = 0;
  int enterResult = PLT_DISP_CHANGE_SUCCESSFUL;
};

HeadlessDisplay g_hlDisplay;

}  // namespace

void HL_SetModeChangeResult(int result) {
  g_hlDisplay.enterResult = result;
}

int PLT_ChangeDisplayMode(int width, int height) {
  const bool enter = width > 0 && height > 0;
  g_hlDisplay.fullScreen = enter ? 1 : 0;
  return enter ? g_hlDisplay.enterResult : PLT_DISP_CHANGE_SUCCESSFUL;
}

int PLT_IsFullScreen() {
  return g_hlDisplay.fullScreen;
}

// The screen set-up. Today's desktops show 24 or 32 bits per pixel, so the
// back buffer is always the 24-bit render target itself.
#include "shell/display.h"

#include "gfx/image.h"
#include "platform/plt_window.h"

int DSP_Setup(int depth) {
  int bpp = 0, w = 0, h = 0;
  PLT_GetDesktopMode(&bpp, &w, &h);
  IMG_ConvertAll(FMT_F);
  return IMG_CreateBackBuffer(depth, SCREEN_W, SCREEN_H);
}

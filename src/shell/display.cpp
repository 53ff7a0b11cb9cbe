// The screen set-up. Today's desktops show 24 or 32 bits per pixel, so the
// back buffer is always the 24-bit render target itself.
#include "shell/display.h"

#include "gfx/image.h"

int DSP_Setup(int depth) {
  IMG_ConvertAll(FMT_F);
  return IMG_CreateBackBuffer(depth, SCREEN_W, SCREEN_H);
}

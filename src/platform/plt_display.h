// Full-screen play.
#pragma once
#include <cstddef>
#include <cstdint>

// A part of a picture: [left, right) x [top, bottom); left >= right or
// top >= bottom holds no pixel.
struct PltRect {
  int left, top, right, bottom;
};

// Results of a display change, as the system reports them.
enum : int {
  PLT_DISP_CHANGE_SUCCESSFUL = 0,
  PLT_DISP_CHANGE_RESTART = 1,
  PLT_DISP_CHANGE_FAILED = -1,
  PLT_DISP_CHANGE_BADMODE = -2,
  PLT_DISP_CHANGE_NOTUPDATED = -3,
  PLT_DISP_CHANGE_BADFLAGS = -4,
};

// (640, 480) shows the client area over the whole screen, scaled to fit with
// its shape kept; the menu bar is then drawn over the picture's top rows
// while the mouse is there (moves over it do not reach the client), and
// client coordinates stay those of the 640x480 picture. (-1, -1) returns to
// the window on the desktop. Returns a PLT_DISP_CHANGE_ code.
int PLT_ChangeDisplayMode(int width, int height);
int PLT_IsFullScreen();
// Full screen: shows (1) or hides (0) the menu bar over the picture's top rows.
void PLT_ShowMenuBar(int show);
// Window mode: each picture pixel becomes scale x scale pixels (1 to 4).
void PLT_SetWindowScale(int scale);
// Full screen: 1 scales the picture smoothly to fill the screen, 0 by a whole
// factor with black borders (smoothly only when no whole factor fits).
void PLT_SetSmoothScaling(int smooth);

// The depth the desktop is reported at: ZENTROVA_DESKTOP_DEPTH (8, 16, 24 or
// 32) when set, otherwise the given real depth.
int PLT_DesktopDepthOverride(int realDepth);
// The palette of a 256-colour desktop: 256 entries of blue, green, red, 0,
// the twenty static colours in entries 0 to 9 and 246 to 255.
void PLT_GetSystemPalette(uint8_t* entries);

// One row of 24-bit pixels (blue, green, red) as opaque 32-bit ones
// (0xFFRRGGBB), the window surface's format; reads exactly 3 * n bytes.
void PLT_Rgb24ToXrgb32(uint32_t* dst, const uint8_t* src, int n);
// A part of a width x height 24-bit picture converted so into rows of
// dstStride pixels starting at dst (the picture's origin). The part is first
// limited to the picture, in place. Returns whether any of it was left.
bool PLT_Rgb24PartToXrgb32(uint32_t* dst, ptrdiff_t dstStride, const uint8_t* src, int width,
                           int height, PltRect* part);
#ifdef ZV_X86
// The leading pixels of that row done with AVX2 or SSSE3, whichever the
// processor has; returns how many (0 without either). Only loads wholly
// inside the row.
int PLT_Rgb24ToXrgb32Vector(uint32_t* dst, const uint8_t* src, int n);
#endif

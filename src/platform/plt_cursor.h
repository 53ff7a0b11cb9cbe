// The window icon and the mouse cursor, from pixels the program supplies.
#pragma once
#include <cstdint>

// rgba: w x h pixels, four bytes each (red, green, blue, alpha), rows top
// first. The pixels are copied. Either call may come before the window
// exists; it then takes effect when the window is created.
void PLT_SetWindowIconRgba(const uint8_t* rgba, int w, int h);
// (hotX, hotY) is the pixel that points.
void PLT_SetCursorRgba(const uint8_t* rgba, int w, int h, int hotX, int hotY);

// The glyph front every system's rasterizer shares: the cache of drawn
// glyphs, the checks and the drawing into the caller's canvas behind
// plt_glyph.h. A rasterizer (platform/glyph.cpp, win32/glyph.cpp,
// web/glyph.cpp) supplies the four PLT_Raster functions below and the text
// conversions; everything else about a glyph is done here, the same way on
// every system.
#pragma once
#include <cstdint>
#include <vector>

// One glyph as a rasterizer draws it: white-on-black coverage, placed from
// the pen (left) and from the top of the character cell (top).
struct PltGlyphImage {
  int left = 0, top = 0;
  int width = 0, rows = 0;
  int advance = 0;
  std::vector<uint8_t> grey;  // rows x width bytes, 0 to 255
};

// Opens the system's face on first use; false when there is none (then
// nothing draws and every advance is 0).
bool PLT_RasterOpen();
// Draws cp with an em of h pixels; false when the system cannot.
bool PLT_RasterGlyph(uint32_t cp, int h, PltGlyphImage* out);
// The code point of a Shift-JIS code (one byte, or the lead byte in the low
// byte of two); false when the code page has none.
bool PLT_RasterSjis(uint32_t code, uint32_t* cp);
// Frees the face and whatever the rasterizer holds (shutdown and tests).
void PLT_RasterClose();

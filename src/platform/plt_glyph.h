// The glyph rasterizer: one character, white on black, into a 32-bit canvas.
#pragma once
#include <cstdint>

// Renders the character whose Shift-JIS code is code (one byte, or two bytes
// with the lead byte in the low byte) with a font of pixelHeight pixels,
// white (0x00FFFFFF) on black, into the top-left corner of a canvas of
// canvasWidth x canvasHeight 32-bit pixels (blue, green, red, 0), clearing
// the canvas first. Returns 1, 0 when no font could be opened, or -1 when the
// font could not render the character (bad height, rasterizer failure).
int PLT_GlyphRenderSjis(uint32_t code, int pixelHeight, uint32_t* canvas, int canvasWidth,
                        int canvasHeight);
// Renders one Unicode code point the same way, with the left edge at x and
// the top at y, but without clearing: it keeps the brighter value where it
// meets earlier glyphs, so a line can be built glyph by glyph. Returns the
// advance in pixels (0 for control characters, bad sizes or without a font);
// a null canvas only measures.
int PLT_GlyphRenderCodepoint(uint32_t cp, int pixelHeight, uint32_t* canvas, int canvasWidth,
                             int canvasHeight, int x, int y);
// Converts Shift-JIS (code page 932) text to UTF-8 and back; returns "" on failure.
const char* PLT_SjisToUtf8(const char* sjis, char* out, int outSize);
const char* PLT_Utf8ToSjis(const char* utf8, char* out, int outSize);
// Frees the font (shutdown and tests).
void PLT_GlyphShutdown();

// What every glyph rasterizer does with a glyph once it has its coverage.
#pragma once
#include <cstdint>

// Draws rows x width coverage bytes (white on black) with their top-left at
// (left, top) of a canvas of cw x ch 32-bit pixels, clipped to it, keeping
// the brighter value where it meets what the canvas holds, so that the
// neighbouring glyphs of a line do not cut into each other.
void PLT_GlyphBlit(const uint8_t* grey, int width, int rows, uint32_t* canvas, int cw, int ch,
                   int left, int top);

// Glyph drawing: a character is rendered white on black at four times its
// size into a 160 x 160 canvas, reduced 4 x 4 to 1 and blended into a 24-bit
// image with its colour and opacity, giving anti-aliased text at any size.
#pragma once
#include <cstdint>

#include "blit/pixels.h"
#include "blit/tables.h"

// The canvas holds a character of at most this size (4 x 40 = 160 pixels).
enum : int { FNT_CANVAS_SIZE = 160, FNT_MAX_SIZE = 40 };

// Start-up and shutdown of the glyph canvas. The window argument of the
// desktop this came from is not needed: the platform renders off-screen.
int FNT_CreateCanvas();
void FNT_DeleteCanvas();

// Draws one character (one byte, or two Shift-JIS bytes with the lead byte in
// the low byte) of `size` pixels with its cell's top-left at (x, y), in the
// colour (r, g, b) at opacity 0..256, after its shadow at (x + shadow,
// y + shadow) in black. Only depth 24 draws; 8, 16 and 32 succeed without
// drawing. Pixels outside the target, or outside clip when one is given, are
// left alone. Returns 1, or 0 for a bad depth, a size above FNT_MAX_SIZE or
// when no font could be made.
int FNT_DrawChar(FImage* target, int depth, int x, int y, uint32_t code, int size,
                 const ClipBox* clip, int r, int g, int b, int opacity, int shadow);

// Draws a NUL-terminated Shift-JIS string character by character: two-byte
// characters advance size + charSpacing, printable single bytes half that
// size + charSpacing, LF starts a new line size + lineSpacing lower, other
// bytes are skipped.
void FNT_DrawString(FImage* target, int depth, int x, int y, int charSpacing, int lineSpacing,
                    const char* text, int size, const ClipBox* clip, int r, int g, int b,
                    int opacity, int shadow);

// The reduced coverage of a character: size x size sums (width size / 2 for a
// single byte) of 16 canvas samples each, 0..4080, row by row. Returns the
// width, or -1 when the character could not be rendered. Uses the cache.
int FNT_Coverage(uint32_t code, int size, const uint16_t** sums);

// Cache statistics and control (tests, benchmarks).
struct FntCacheStats {
  uint64_t hits, misses, evictions;
  uint64_t draws;  // glyphs blended into an image
  int entries, capacity;
};
FntCacheStats FNT_CacheStats();
void FNT_SetCacheEnabled(int enabled);  // 0: every draw renders afresh
void FNT_ClearCache();

// Back to the start state: canvas freed, cache emptied, warnings re-armed.
void FNT_Reset();

// The message markup and layout engine: lays out Shift-JIS message text with
// inline tags (colour, size, speed, pauses, emphasis, ruby, pages) in a box of
// lines and draws it glyph by glyph, revealed as far as a typewriter position.
#pragma once
#include <cstdint>

#include "blit/tables.h"
#include "gfx/image.h"

// The 16 message colours, 0x00RRGGBB.
extern const uint32_t kTextPalette[16];

// Lays out text in a box at (x0, y0) of `lines` lines, each width x size
// pixels wide, and draws it into target up to the reveal position (-1: all)
// and the page-th page marker (-1: no limit). alpha -1 fades the newest
// characters in; any other value is a fixed opacity 0..256. With measure
// nonzero nothing is drawn (target may be null) and the result is the reveal
// units used; otherwise it is the height used. endX and endY, when given,
// receive the pen position where layout stopped.
int TXT_Draw(FImage* target, int x0, int y0, int width, int lines, int charSpacing, int lineSpacing,
             int32_t* endX, int32_t* endY, const ClipBox* clip, int size, const char* text,
             int colourIndex, int reveal, int page, int toneR, int toneG, int toneB, int alpha,
             int shadow, int measure);

// The widest line of text in half-width columns: the reveal target of a
// message.
int TXT_GetWidth(const char* text);

// Makes the render pass draw text records with TXT_Draw.
void TXT_InstallDrawer();

// Forgets which texts have shown their markup warnings (tests).
void TXT_Reset();

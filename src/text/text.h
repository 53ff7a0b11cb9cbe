// The message markup and layout engine: lays out Shift-JIS message text with
// inline tags (colour, size, speed, pauses, emphasis, ruby, pages) in a box of
// lines and draws it glyph by glyph, revealed as far as a typewriter position.
#pragma once
#include <cstdint>

#include "blit/pixels.h"
#include "blit/tables.h"

enum : int { TXT_COUNT = 128, TXT_BUFFER_SIZE = 1024 };

struct TextRecord {
  uint8_t used;
  uint8_t visible;
  uint8_t layer;
  uint8_t size;         // base font size in pixels
  char* text;           // TXT_BUFFER_SIZE bytes, NUL-terminated Shift-JIS; owned
  uint8_t colourIndex;  // always 0
  uint8_t keepTone;     // always 0: text is toned by g_tone
  int16_t alpha;        // -1 reveal fade, else opacity 0..256
  uint8_t shadow;       // shadow offset in pixels, 0 none
  int16_t reveal;       // reveal position, -1 everything
  int16_t x, y;
  int16_t width;  // characters per line
  int16_t lines;
  int16_t charSpacing, lineSpacing;
  int32_t endX, endY;   // where the last layout stopped (written by the render pass)
  int16_t page;         // always 0
  const ClipBox* clip;  // always null
};
extern TextRecord g_texts[TXT_COUNT];

// --- Text-record operations ------------------------------------------------

// Formats the text (printf-style) into a fresh 1024-byte buffer and resets the
// record's drawing state: shadow 0, position 0, reveal -1, alpha 256, box
// 256 x 256. Spacing, endX, endY and page keep their values.
void TXT_SetSlot(int text, int layer, int size, int visible, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
void TXT_FreeSlot(int text);
void TXT_ShowSlot(int text, int visible);
void TXT_SetAlpha(int text, int alpha);
void TXT_SetShadow(int text, int offset);
void TXT_SetReveal(int text, int position);
// Text box: top-left, characters per line, number of lines.
void TXT_SetBox(int text, int x, int y, int width, int lines);
void TXT_MoveSlot(int text, int x, int y);
void TXT_SetSpacing(int text, int charSpacing, int lineSpacing);
// Frees and zeroes every text record.
void TXT_FreeAll();

// The 16 message colours, 0x00RRGGBB.
extern const uint32_t kTextPalette[16];

// What TXT_Draw lays out and where. Text is laid out in a box at (x, y) of
// `lines` lines, each `width` x size pixels wide, and drawn into target up to
// the reveal position (-1: all) and the page-th page marker (-1: no limit).
// alpha -1 fades the newest characters in; any other value is a fixed
// opacity 0..256. The tone factors (128 unchanged) colour every glyph.
struct TxtLayout {
  FImage* target = nullptr;  // may be null when measuring
  int x = 0, y = 0;
  int width = 0;  // characters per line
  int lines = 0;
  int charSpacing = 0, lineSpacing = 0;
  const ClipBox* clip = nullptr;
  int size = 0;  // base font size in pixels
  const char* text = nullptr;
  int colour = 0;  // index into kTextPalette
  int reveal = -1;
  int page = -1;
  int toneR = 128, toneG = 128, toneB = 128;
  int alpha = -1;
  int shadow = 0;           // shadow offset in pixels, 0 none
  int measure = 0;          // nonzero: nothing is drawn
  // When given, receives a box holding every glyph the layout draws, or
  // would draw into a target (laid out as drawn; with no target nothing is).
  ClipBox* bounds = nullptr;
  int32_t* endX = nullptr;  // when given, receive the pen position where layout stopped
  int32_t* endY = nullptr;
};

// Lays out and draws. With measure nonzero the result is the reveal units
// used; otherwise it is the height used.
int TXT_Draw(const TxtLayout& layout);

// Draws a text record (the render pass), toned by the given factors.
// clip, when given, stands for the record's own (always null): the render
// pass redrawing part of a frame.
void TXT_DrawRecord(FImage* target, TextRecord* text, int toneR, int toneG, int toneB,
                    const ClipBox* clip = nullptr);

// A box holding every glyph the record would draw now (empty: none).
ClipBox TXT_RecordBounds(const TextRecord* text);

// The widest line of text in half-width columns: the reveal target of a
// message.
int TXT_GetWidth(const char* text);

// The characters of a message without its markup (Shift-JIS): tags and page
// markers left out, escapes as the characters they stand for, a ruby as
// "base(reading)". Returns the length written (at most outSize - 1).
int TXT_PlainText(const char* text, char* out, int outSize);

// Forgets which texts have shown their markup warnings (tests).
void TXT_Reset();

// The sprite table (768 records) and the text-record table (128 records):
// everything visible is described here and drawn by the render pass.
//
// Callers own the record numbers: sprites 0..767, text records 0..127,
// image slots 0..255. No operation checks them.
#pragma once
#include <cstdint>

#include "blit/tables.h"
#include "text/text.h"

enum : int { SPR_COUNT = 768, SPR_LAYERS = 64 };

// Sprite kinds.
enum : int { SPR_KIND_IMAGE = 0, SPR_KIND_FILL = 4, SPR_KIND_GRADIENT = 5 };
// Picture geometries: source copied 1:1, stretched onto (x, y, w, h), or
// mapped onto four destination corners.
enum : int { SPR_GEOM_PLAIN = 0, SPR_GEOM_ZOOM = 1, SPR_GEOM_QUAD = 2 };

struct Sprite {
  uint8_t used;
  uint8_t visible;
  uint8_t layer;      // 0..63, lower layers are drawn first
  uint8_t kind;       // SPR_KIND_*
  uint8_t geometry;   // SPR_GEOM_*; 0 for rectangles
  uint8_t slot;       // image slot of the picture
  uint8_t hasSecond;  // a second picture is mixed in (plain pictures only)
  uint8_t secondSlot;
  uint8_t red, green, blue;     // pictures: colour factors (128 = unchanged); rectangles: colour
  uint8_t red2, green2, blue2;  // second colour of a gradient
  uint32_t mode;                // low 16 bits draw mode, high 16 bits parameter
  uint32_t secondMode;
  int32_t key;                     // -1 opaque, -2 per-pixel alpha, else colour key 0x00RRGGBB
  int16_t x, y;                    // destination top-left; quad corner 0
  int16_t x1, y1, x2, y2, x3, y3;  // quad corners 1..3
  int16_t w, h;                    // destination size
  int16_t sx, sy;  // source top-left; quad source corner 0; gradient: sy = row of colour 1
  int16_t sx1,
      sy1;  // quad source corner 1; second picture's source; gradient: sy1 = row of colour 2
  int16_t sx2, sy2, sx3, sy3;  // quad source corners 2 and 3
  int16_t sw, sh;              // source size
  int16_t w2, h2;              // size of the second picture
  int16_t zoom;                // 0 none; else scale (zoom + 256) / 256 about (zx, zy)
  int16_t zx, zy;
  const ClipBox* clip;  // entry of g_spriteClip, or null for the whole screen
};

extern Sprite g_sprites[SPR_COUNT];
extern ClipBox g_spriteClip[SPR_COUNT];

// Frees the text buffers and zeroes both tables and the clip table (tests,
// shutdown). Image slots are left alone.
void SPR_Reset();

// --- Sprite operations -----------------------------------------------------

// Picture sprite showing all of `slot` at (0, 0): zeroes the record, colour
// 128, mode 0, key as given, w = sw and h = sh = the picture's size.
void SPR_SetImage(int sprite, int slot, int layer, int visible, int key);
// Rectangle sprite (kind 4 flat, 5 gradient): sets used, kind, geometry,
// layer, visible; colour 128; mode 0; position and sizes 0; no clip. Other
// fields keep their values (clear the record first with SPR_Clear).
void SPR_SetFill(int sprite, int kind, int geometry, int layer, int visible);
// Makes the sprite a gradient; which = 1 sets the second colour at screen row
// `row` (sy1), anything else the first colour (sy).
void SPR_SetGradient(int sprite, int which, int row, int red, int green, int blue);
// Mixes a second picture into a plain sprite with mode 10 and parameter P.
void SPR_SetSecond(int sprite, int slot, int P);
void SPR_Move(int sprite, int x, int y);
// Source rectangle; plain sprites also take (w, h) as destination size.
void SPR_SetSource(int sprite, int sx, int sy, int w, int h);
// Plain sprite showing (sx, sy, w, h) of its picture at (x, y).
void SPR_SetView(int sprite, int x, int y, int sx, int sy, int w, int h);
// Whole picture stretched onto (x, y, w, h); plain when that is its own size.
void SPR_SetZoomRect(int sprite, int x, int y, int w, int h);
// Scales the destination by (zoom + 256) / 256 about (zx, zy); 0 turns zoom
// off. Refused (logged) below -256.
void SPR_SetZoom(int sprite, int zx, int zy, int zoom);
// Quad geometry: four destination corners (0 top-left, 1 top-right,
// 2 bottom-left, 3 bottom-right) and the four matching source corners.
void SPR_SetQuad(int sprite, int x, int y, int x1, int y1, int x2, int y2, int x3, int y3, int sx,
                 int sy, int sx1, int sy1, int sx2, int sy2, int sx3, int sy3);
// Quad of source (sx, sy, w, h) rotated by angle (256 steps a turn) about
// (cx, cy), radius (w * (scale + 256) / 256) / 2.
void SPR_Rotate(int sprite, int cx, int cy, int scale, int angle, int sx, int sy, int w, int h);
void SPR_SetPosSize(int sprite, int x, int y, int w, int h);
// x >= 0: clip the sprite to (x, y, x + w, y + h); x < 0: whole screen (the
// stored rectangle is kept).
void SPR_SetClip(int sprite, int x, int y, int w, int h);
void SPR_SetColour(int sprite, int red, int green, int blue);
void SPR_SetBright(int sprite, int v);
// Draw-mode word: low 16 bits mode, high 16 bits parameter.
void SPR_SetBlend(int sprite, uint32_t mode);
// GlobalTone: tints rectangles and text, not pictures. 128 = unchanged.
void SPR_SetTone(int red, int green, int blue);
// Sets visibility of a used record; unused records stay as they are.
void SPR_Show(int sprite, int visible);
void SPR_Clear(int sprite);
// Zeroes every sprite, frees and zeroes every text record, releases all 256
// image slots.
void SPR_ClearAll();

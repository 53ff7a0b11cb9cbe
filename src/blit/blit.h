// The blit parameter block and the family entries the render pass calls.
#pragma once
#include <cstdint>

#include "blit/pixels.h"
#include "blit/tables.h"

enum : int32_t { BLT_KEY_NONE = -1, BLT_KEY_ALPHA = -2 };
enum : uint32_t { BLT_MIRROR_X = 0x10, BLT_MIRROR_Y = 0x20 };
// A clip pointer with all bits set: no clipping at all.
#define BLT_NO_CLIP (reinterpret_cast<const ClipBox*>(~uintptr_t{0}))

struct BlitParams {
  int32_t dstFormat;  // always FMT_F
  void* dst;          // FImage*
  int32_t dx, dy;     // top-left; corner 0 of the destination quad
  int32_t dq[3][2];   // destination quad corners 1..3
  int32_t w, h;       // blit size in destination pixels
  int32_t srcFormat;  // FMT_B or FMT_F
  void* src;          // FImage* or BImage*
  int32_t sx, sy;     // source top-left; corner 0 of the source quad
  int32_t sq[3][2];   // source quad corners 1..3
  int32_t sw, sh;     // source rectangle size (zoomed blits; mirroring)
  int32_t src2Format;
  void* src2;
  int32_t s2x, s2y, s2w, s2h;
  int32_t colR, colG, colB;  // colour factors, 128 = unchanged
  int32_t colorKey;          // BLT_KEY_NONE, BLT_KEY_ALPHA or 0x00RRGGBB
  const ClipBox* clip;       // null: default clip; BLT_NO_CLIP: none
  uint32_t mode;             // low 16 bits draw mode, high 16 bits parameter
  uint32_t mode2;
  uint32_t flags;
};

// Draw modes (the low 16 bits of a mode word). An entry without a loop for a
// mode draws it as BLT_MODE_COPY.
enum BlitMode : int {
  BLT_MODE_COPY = 0,
  BLT_MODE_ADD = 1,
  BLT_MODE_DODGE = 2,
  BLT_MODE_SUB = 3,
  BLT_MODE_OVERLAY = 4,
  BLT_MODE_SCALE_BY_DEST = 5,
  BLT_MODE_LIGHTEN = 6,
  BLT_MODE_DARKEN = 7,
  BLT_MODE_NEGATIVE = 8,
  BLT_MODE_FADE = 10,        // P = 0..256 opacity
  BLT_MODE_DESATURATE = 11,  // P = share of the own colour
  BLT_MODE_STIPPLE = 12,
  BLT_MODE_NOISE = 13,
  BLT_MODE_MOSAIC = 14,       // cells of P + 1 pixels
  BLT_MODE_SCATTER = 15,      // P = 1..255 spread
  BLT_MODE_WOBBLE = 17,       // P = phase << 8 | amplitude
  BLT_MODE_WOBBLE_HALF = 18,  // the same at half opacity
  BLT_MODE_VWAVE = 19,        // P = phase << 8 | amplitude
  BLT_MODE_VWAVE_BLEND = 20,
  BLT_MODE_HWAVE = 21,        // P = phase << 8 | amplitude
  BLT_MODE_HWAVE_BLEND = 22,  // the amplitude is also the opacity
  // Soft wipes, P = 0 (nothing) .. 256 (whole picture).
  BLT_MODE_WIPE_UP = 23,
  BLT_MODE_WIPE_DOWN = 24,
  BLT_MODE_WIPE_LEFT = 25,
  BLT_MODE_WIPE_RIGHT = 26,
  BLT_MODE_WIPE_CLOSE = 27,  // from both sides toward the centre column
  BLT_MODE_WIPE_OPEN = 28,   // from the centre column outward
  // Staircase blinds, P = 0 (nothing) .. 256 (whole picture).
  BLT_MODE_BLINDS_UP = 29,
  BLT_MODE_BLINDS_DOWN = 30,
  BLT_MODE_BLINDS_LEFT = 31,
  BLT_MODE_BLINDS_RIGHT = 32,
  BLT_MODE_BLINDS_CLOSE = 33,
  BLT_MODE_BLINDS_OPEN = 34,
  // Growing cells of 64, 32 and 16 pixels, P = 0..256; copied or blended.
  BLT_MODE_CELLS_64 = 35,
  BLT_MODE_CELLS_32 = 36,
  BLT_MODE_CELLS_16 = 37,
  BLT_MODE_CELLS_BLEND_64 = 38,
  BLT_MODE_CELLS_BLEND_32 = 39,
  BLT_MODE_CELLS_BLEND_16 = 40,
  BLT_MODE_LAST = 40,
};

inline uint32_t BLT_Mode(int mode, int param) {
  return (static_cast<uint32_t>(param) << 16) | (static_cast<uint32_t>(mode) & 0xFFFF);
}

// Unscaled pictures.
int DRW_DrawBMP_FF(BlitParams p);
int DRW_DrawBMP_FB(BlitParams p);
// Zoomed pictures.
int DRW_DrawZOOM_FF(BlitParams p);
int DRW_DrawZOOM_FB(BlitParams p);
// Pictures deformed by their four corners.
int DRW_DrawQuad_FF(BlitParams p);
int DRW_DrawQuad_FB(BlitParams p);
// Pattern wipe: picture 1 revealed through the grey levels of a B second
// picture (mode2's parameter is the position); the variant for an F second
// picture runs the checks and the clip and draws nothing.
int DRW_DrawBMP_FTT(BlitParams p);
int DRW_DrawBMP_FTT_F(BlitParams p);
// The 24-bit frame into a palettised image of the same size through
// Rgb15ToIndex; 0 when either pixel array is missing.
int DRW_ChangeBMP_F2B(BImage* dst, const FImage* src);
// Flat rectangle in colour (colR, colG, colB) at (dx, dy, w, h) with the draw
// mode and the clip of the block.
int PRM_DrawRect_F(BlitParams p);
// Quadrilateral with a vertical gradient: corners in any order that traces
// the outline or in 2 x 2 grid order (top-left, top-right, bottom-left,
// bottom-right); screen row y0 has colour (r0, g0, b0), row y1 (r1, g1, b1).
int PRM_DrawVQuad(FImage* dst, const int corners[4][2], const ClipBox* clip, int y0, int r0, int g0,
                  int b0, int y1, int r1, int g1, int b1, uint32_t mode);

// Vector fast paths: 0 = scalar reference loops, 1 = SSE2 (the portable row
// kernels on processors without it), 2 = AVX2, 3 = AVX-512 (lowered to what
// the processor has). Returns the level in effect.
int BLT_SetVectorLevel(int level);
int BLT_GetVectorLevel();
// What the level in effect draws with, for the debug log: "AVX-512",
// "portable" and so on.
const char* BLT_VectorPathsName();

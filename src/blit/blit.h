// The blit parameter block and the family entries the render pass calls.
#pragma once
#include <cstdint>

#include "blit/tables.h"
#include "gfx/image.h"

enum : int32_t { KEY_NONE = -1, KEY_ALPHA = -2 };
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
  int32_t colorKey;          // KEY_NONE, KEY_ALPHA or 0x00RRGGBB
  const ClipBox* clip;       // null: default clip; BLT_NO_CLIP: none
  uint32_t mode;             // low 16 bits draw mode, high 16 bits parameter
  uint32_t mode2;
  uint32_t flags;
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
// Flat rectangle in colour (colR, colG, colB) at (dx, dy, w, h) with the draw
// mode and the clip of the block.
int PRM_DrawRect_F(BlitParams p);
// Quadrilateral with a vertical gradient: corners in any order that traces
// the outline or in 2 x 2 grid order (top-left, top-right, bottom-left,
// bottom-right); screen row y0 has colour (r0, g0, b0), row y1 (r1, g1, b1).
int PRM_DrawVQuad(FImage* dst, const int corners[4][2], const ClipBox* clip, int y0, int r0, int g0,
                  int b0, int y1, int r1, int g1, int b1, uint32_t mode);

// Vector fast paths: 0 = scalar reference loops, 1 = SSE2, 2 = AVX2,
// 3 = AVX-512 (lowered to what the processor has). Returns the level in effect.
int BLT_SetVectorLevel(int level);
int BLT_GetVectorLevel();

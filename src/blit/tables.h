// Start-up lookup tables of the pixel loops, and the default clip rectangle.
#pragma once
#include <cstdint>

struct ClipBox {
  int32_t left, top, right, bottom;
};

// Boxes as areas: left >= right or top >= bottom holds no pixel.
inline bool BLT_BoxIsEmpty(const ClipBox& b) {
  return b.left >= b.right || b.top >= b.bottom;
}
inline bool BLT_BoxEqual(const ClipBox& a, const ClipBox& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline ClipBox BLT_BoxIntersect(const ClipBox& a, const ClipBox& b) {
  return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
          a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}
// Widens *a to hold b too.
inline void BLT_BoxExtend(ClipBox* a, const ClipBox& b) {
  if (BLT_BoxIsEmpty(b)) return;
  if (BLT_BoxIsEmpty(*a)) {
    *a = b;
    return;
  }
  *a = {a->left < b.left ? a->left : b.left, a->top < b.top ? a->top : b.top,
        a->right > b.right ? a->right : b.right, a->bottom > b.bottom ? a->bottom : b.bottom};
}

extern uint8_t ColorScaleTable[256 * 256];
extern uint16_t ColorScaleTableG[256 * 256];
extern uint32_t ColorScaleTableR[256 * 256];
extern uint32_t ColorScaleTableA[256 * 256];
extern uint8_t MulTable[257 * 257];
extern uint8_t DivTable[257 * 257];
extern uint8_t AddSatTable[512];
extern uint8_t SubSatTableBase[512];  // indexed -255..256 through SubSatTable
extern uint8_t* const SubSatTable;
extern uint8_t DodgeTable[256 * 256];
extern uint8_t ClampTableBase[768];  // indexed -256..511 through ClampTable
extern uint8_t* const ClampTable;
extern const uint16_t DitherPatterns[16];
extern uint8_t NoiseMasks[64][64][64];
// Scatter offsets: row L holds L * R / 255 for 256 fixed random R in
// -640..639; NoiseTab moves across, NoiseTab2 down.
extern int16_t NoiseTab[256][256];
extern int16_t NoiseTab2[256][256];
// 4096 * sin(2 pi k / 256), truncated.
extern int16_t SinTable[256];
// Display palette index of every 5-5-5 colour, (r >> 3) << 10 | (g >> 3) << 5 | b >> 3.
extern uint8_t Rgb15ToIndex[32768];
// Fills Rgb15ToIndex with the nearest entry of a 256-entry palette (blue,
// green, red, 0) for each colour c * 8; usable[i] = 0 keeps entry i out
// (null: every entry).
void BLT_BuildRgb15ToIndex(const uint8_t* palette, const uint8_t* usable);

extern ClipBox g_defaultClip;
extern int32_t g_screenW, g_screenH;
int BLT_SetDefaultClip(const ClipBox* r);
// Builds the tables in the order the start-up needs (colour scales, Mul, Div,
// AddSat, SubSat, Dodge, Clamp, NoiseMasks, NoiseTab, NoiseTab2, sine); draws
// from RNG_Next.
void BLT_InitTables(int width, int height);

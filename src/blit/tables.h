// Start-up lookup tables of the pixel loops, and the default clip rectangle.
#pragma once
#include <cstdint>

struct ClipBox {
  int32_t left, top, right, bottom;
};

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
extern int16_t NoiseTab[256][256];

extern ClipBox g_defaultClip;
extern int32_t g_screenW, g_screenH;
int BLT_SetDefaultClip(const ClipBox* r);
// Builds the tables in the order the start-up needs (colour scales, Mul, Div,
// AddSat, SubSat, Dodge, Clamp, NoiseMasks, NoiseTab); draws from RNG_Next.
void BLT_InitTables(int width, int height);

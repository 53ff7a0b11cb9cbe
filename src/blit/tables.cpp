// Start-up lookup tables of the pixel loops and the default clip rectangle.
#include "blit/tables.h"

#include <algorithm>
#include <cmath>

#include "blit/simd.h"
#include "common/rng.h"

uint8_t ColorScaleTable[256 * 256];
uint16_t ColorScaleTableG[256 * 256];
uint32_t ColorScaleTableR[256 * 256];
uint32_t ColorScaleTableA[256 * 256];
uint8_t MulTable[257 * 257];
uint8_t DivTable[257 * 257];
uint8_t AddSatTable[512];
uint8_t SubSatTableBase[512];
uint8_t* const SubSatTable = SubSatTableBase + 255;
uint8_t DodgeTable[256 * 256];
uint8_t ClampTableBase[768];
uint8_t* const ClampTable = ClampTableBase + 256;
const uint16_t DitherPatterns[16] = {0x0000, 0x1000, 0x1040, 0x5040, 0x5050, 0x5250,
                                     0x5258, 0x5A58, 0x5A5A, 0x7A5A, 0x7ADA, 0xFADA,
                                     0xFAFA, 0xFBFA, 0xFBFE, 0xFFFE};
uint8_t NoiseMasks[64][64][64];
int16_t NoiseTab[256][256];
int16_t NoiseTab2[256][256];
int16_t SinTable[256];
uint8_t Rgb15ToIndex[32768];

ClipBox g_defaultClip = {0, 0, 640, 480};
int32_t g_screenW = 640, g_screenH = 480;

int BLT_SetDefaultClip(const ClipBox* r) {
  if (!r || r->left >= r->right || r->top >= r->bottom) return 0;
  g_defaultClip = *r;
  return 1;
}

static int ScaleChannel(int k, int v) {
  return k < 128 ? (v * k) >> 7 : v + (((255 - v) * (k - 128)) >> 7);
}

void BLT_InitTables(int width, int height) {
  g_screenW = width;
  g_screenH = height;
  g_defaultClip = {0, 0, width, height};

  for (int k = 0; k < 256; k++) {
    for (int v = 0; v < 256; v++) {
      const uint32_t c = static_cast<uint32_t>(ScaleChannel(k, v));
      ColorScaleTable[k * 256 + v] = static_cast<uint8_t>(c);
      ColorScaleTableG[k * 256 + v] = static_cast<uint16_t>(c << 8);
      ColorScaleTableR[k * 256 + v] = c << 16;
      ColorScaleTableA[k * 256 + v] = c << 24;
    }
  }
  for (int a = 0; a <= 256; a++) {
    for (int x = 0; x <= 256; x++)
      MulTable[a * 257 + x] = static_cast<uint8_t>(std::min(255, (a * x) >> 8));
  }
  for (int a = 0; a <= 256; a++) {
    for (int x = 0; x <= 256; x++) {
      DivTable[a * 257 + x] = static_cast<uint8_t>(std::min(255, (x * 256) / (a + 1)));
    }
  }
  for (int j = 0; j < 512; j++) AddSatTable[j] = static_cast<uint8_t>(std::min(j, 255));
  // Entry 256 cannot be held in a byte; it saturates like the add table.
  for (int k = -255; k <= 256; k++) SubSatTable[k] = static_cast<uint8_t>(std::clamp(k, 0, 255));
  for (int d = 0; d < 256; d++) {
    for (int s = 0; s < 256; s++) {
      DodgeTable[d * 256 + s] = static_cast<uint8_t>(std::min(255, (d * 256) / (256 - s)));
    }
  }
  for (int k = -256; k < 512; k++) ClampTable[k] = static_cast<uint8_t>(std::clamp(k, 0, 255));

  // One random 6-bit value per cell shared by all levels, so a higher level
  // always shows a superset of the pixels of a lower one (a steady dissolve).
  static uint8_t cell[64][64];
  for (int y = 0; y < 64; y++) {
    for (int x = 0; x < 64; x++) cell[y][x] = static_cast<uint8_t>(RNG_Next() & 63);
  }
  for (int level = 0; level < 64; level++) {
    for (int y = 0; y < 64; y++) {
      for (int x = 0; x < 64; x++) NoiseMasks[level][y][x] = cell[y][x] < level ? 1 : 0;
    }
  }

  int r[256], r2[256];
  for (int c = 0; c < 256; c++) r[c] = (RNG_Next() % 1280) - 640;
  // The second table draws from a private generator so that the game's own
  // random sequence after start-up stays what it was before the table existed.
  uint32_t seed = 0x2545F491u;
  for (int c = 0; c < 256; c++) {
    seed = seed * 1103515245u + 12345u;
    r2[c] = static_cast<int>((seed >> 16) % 1280) - 640;
  }
  for (int i = 0; i < 256; i++) {
    for (int c = 0; c < 256; c++) {
      NoiseTab[i][c] = static_cast<int16_t>(i * r[c] / 255);
      NoiseTab2[i][c] = static_cast<int16_t>(i * r2[c] / 255);
    }
  }
  for (int k = 0; k < 256; k++) {
    SinTable[k] = static_cast<int16_t>(std::trunc(4096.0 * std::sin(2.0 * M_PI * k / 256.0)));
  }

  BLT_InitVectorLevel();
}

void BLT_BuildRgb15ToIndex(const uint8_t* palette, const uint8_t* usable) {
  for (int c = 0; c < 32768; c++) {
    const int r = ((c >> 10) & 31) * 8, g = ((c >> 5) & 31) * 8, b = (c & 31) * 8;
    int best = 0;
    int64_t bestDist = INT64_MAX;
    for (int i = 0; i < 256; i++) {
      if (usable && !usable[i]) continue;
      const uint8_t* e = palette + i * 4;
      const int db = e[0] - b, dg = e[1] - g, dr = e[2] - r;
      const int64_t dist = static_cast<int64_t>(db) * db + dg * dg + dr * dr;
      if (dist < bestDist) {
        bestDist = dist;
        best = i;
      }
    }
    Rgb15ToIndex[c] = static_cast<uint8_t>(best);
  }
}

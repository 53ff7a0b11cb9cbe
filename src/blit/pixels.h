// Pixel formats and the image records the pixel loops draw from and into.
// Rows are top first and packed without padding.
#pragma once
#include <cstdint>

enum : int { FMT_B = 0, FMT_H = 1, FMT_F = 2, FMT_T = 3 };

struct FImage {
  uint8_t* pixels;  // width * height * 3 bytes: blue, green, red
  int32_t width;
  int32_t height;
};

struct BImage {
  uint8_t* pixels;   // width * height palette indices
  uint8_t* alpha;    // width * height bytes or null; 255 opaque
  uint8_t* palette;  // 256 entries of blue, green, red, 0
  int32_t width;
  int32_t height;
};

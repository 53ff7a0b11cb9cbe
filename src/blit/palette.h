// Palette operations on 256-entry palettes of blue, green, red, 0.
#pragma once
#include <cstdint>

void PAL_Invert(uint8_t* palette);
void PAL_Desaturate(uint8_t* palette, int amount);
void PAL_Tint(uint8_t* palette, int fr, int fg, int fb);

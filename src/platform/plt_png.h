// Writing frames as PNG files.
#pragma once
#include <cstdint>

// Writes a top-down 24-bit (blue, green, red) image as an RGB PNG. Returns 1 or 0.
int PLT_WritePng(const char* path, const uint8_t* bgr, int width, int height);
// Reads an RGB or RGBA PNG into a top-down blue, green, red, alpha buffer
// (caller frees with delete[]). Returns 1 or 0.
int PLT_ReadPng(const char* path, uint8_t** bgra, int* width, int* height);

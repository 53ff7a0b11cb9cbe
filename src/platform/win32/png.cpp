// PNG files through the header-only stb_image_write and stb_image.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/plt_png.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wtype-limits"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wcast-function-type"
#define STBI_WRITE_NO_STDIO_DEPRECATION_WARNINGS
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {
// Refuses pictures whose pixels would not fit comfortably in memory; a
// corrupt header must not make us allocate gigabytes.
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;
}  // namespace

int PLT_WritePng(const char* path, const uint8_t* bgr, int width, int height) {
  if (!path || !bgr || width <= 0 || height <= 0) return 0;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) return 0;
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> rgb(n * 3);
  for (size_t i = 0; i < n; ++i) {
    rgb[i * 3] = bgr[i * 3 + 2];
    rgb[i * 3 + 1] = bgr[i * 3 + 1];
    rgb[i * 3 + 2] = bgr[i * 3];
  }
  return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) ? 1 : 0;
}

int PLT_ReadPng(const char* path, uint8_t** bgra, int* width, int* height) {
  if (!path || !bgra || !width || !height) return 0;
  *bgra = nullptr;
  *width = 0;
  *height = 0;
  FILE* f = std::fopen(path, "rb");
  if (!f) return 0;
  int w = 0, h = 0, comp = 0;
  // The header first: its size is checked before any pixel is allocated.
  if (!stbi_info_from_file(f, &w, &h, &comp) || w <= 0 || h <= 0 ||
      static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxPixels) {
    std::fclose(f);
    return 0;
  }
  stbi_uc* rgba = stbi_load_from_file(f, &w, &h, &comp, 4);
  std::fclose(f);
  if (!rgba) return 0;
  const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
  uint8_t* buf = new (std::nothrow) uint8_t[pixels * 4];
  if (!buf) {
    stbi_image_free(rgba);
    return 0;
  }
  for (size_t i = 0; i < pixels; ++i) {
    buf[i * 4] = rgba[i * 4 + 2];
    buf[i * 4 + 1] = rgba[i * 4 + 1];
    buf[i * 4 + 2] = rgba[i * 4];
    buf[i * 4 + 3] = rgba[i * 4 + 3];
  }
  stbi_image_free(rgba);
  *bgra = buf;
  *width = w;
  *height = h;
  return 1;
}

// PNG files for the web backend, on stb_image and stb_image_write (libstb-dev):
// the browser build has no libpng.
#include <cstring>

#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <vector>

#include "platform/plt_file.h"
#include "platform/plt_png.h"

namespace {
// Images larger than this are refused rather than decoded.
constexpr int kMaxSide = 16384;
}  // namespace

int PLT_WritePng(const char* path, const uint8_t* bgr, int width, int height) {
  if (!path || !bgr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = bgr[i + 2];
    rgb[i + 1] = bgr[i + 1];
    rgb[i + 2] = bgr[i];
  }
  return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) ? 1 : 0;
}

int PLT_ReadPng(const char* path, uint8_t** bgra, int* width, int* height) {
  if (!path || !bgra || !width || !height) return 0;
  int w = 0, h = 0, n = 0;
  if (!stbi_info(path, &w, &h, &n) || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return 0;
  uint8_t* rgba = stbi_load(path, &w, &h, &n, 4);
  if (!rgba) return 0;
  const size_t count = static_cast<size_t>(w) * h;
  uint8_t* out = new uint8_t[count * 4];
  for (size_t i = 0; i < count; ++i) {
    out[i * 4] = rgba[i * 4 + 2];
    out[i * 4 + 1] = rgba[i * 4 + 1];
    out[i * 4 + 2] = rgba[i * 4];
    out[i * 4 + 3] = rgba[i * 4 + 3];
  }
  stbi_image_free(rgba);
  *bgra = out;
  *width = w;
  *height = h;
  return 1;
}

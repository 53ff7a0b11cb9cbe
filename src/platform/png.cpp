// PNG files through libpng's simplified interface.
#include <png.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/plt_png.h"

namespace {
// Refuses pictures whose pixels would not fit comfortably in memory; a
// corrupt header must not make us allocate gigabytes.
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;
}  // namespace

int PLT_WritePng(const char* path, const uint8_t* bgr, int width, int height) {
  if (!path || !bgr || width <= 0 || height <= 0) return 0;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) return 0;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGR;
  int ok = png_image_write_to_file(&image, path, 0, bgr, width * 3, nullptr);
  png_image_free(&image);
  return ok ? 1 : 0;
}

int PLT_ReadPng(const char* path, uint8_t** bgra, int* width, int* height) {
  if (!path || !bgra || !width || !height) return 0;
  *bgra = nullptr;
  *width = 0;
  *height = 0;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return 0;
  uint64_t pixels = static_cast<uint64_t>(image.width) * image.height;
  if (image.width == 0 || image.height == 0 || pixels > kMaxPixels) {
    png_image_free(&image);
    return 0;
  }
  image.format = PNG_FORMAT_BGRA;
  uint8_t* buf = new (std::nothrow) uint8_t[pixels * 4];
  if (!buf) {
    png_image_free(&image);
    return 0;
  }
  if (!png_image_finish_read(&image, nullptr, buf, static_cast<png_int_32>(image.width * 4),
                             nullptr)) {
    delete[] buf;
    png_image_free(&image);
    return 0;
  }
  *bgra = buf;
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return 1;
}

// Helpers of the graphics tests: BMP files built in memory, a scratch
// directory holding "grp", and picture slots filled without files.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/image.h"

namespace gfxtest {

inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// The 54-byte header with the fields the loader reads.
inline std::vector<uint8_t> Header(int w, int h, int bits, uint32_t offset, uint16_t reserved) {
  std::vector<uint8_t> v(54, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put16(v, 6, reserved);
  Put32(v, 10, offset);
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<uint32_t>(w));
  Put32(v, 22, static_cast<uint32_t>(h));
  Put16(v, 26, 1);
  Put16(v, 28, static_cast<uint32_t>(bits));
  return v;
}

// 24-bit file; bgr holds the picture top row first, rows padded in the file.
inline std::vector<uint8_t> Bmp24(int w, int h, bool topDown, const std::vector<uint8_t>& bgr) {
  std::vector<uint8_t> v = Header(w, topDown ? -h : h, 24, 54, 0);
  const int stride = (3 * w + 3) & ~3;
  for (int r = 0; r < h; ++r) {
    const int row = topDown ? r : h - 1 - r;
    std::vector<uint8_t> line(stride, 0);
    std::memcpy(line.data(), bgr.data() + row * 3 * w, 3 * w);
    v.insert(v.end(), line.begin(), line.end());
  }
  return v;
}

// 8-bit file: `entries` colour-table entries (entry i = (i, 2i, 3i) as blue,
// green, red), indices top row first. Rows are padded when `pad` is set;
// an alpha plane (same row order, packed) follows when alpha is not empty.
inline std::vector<uint8_t> Bmp8(int w, int h, bool topDown, int entries,
                                 const std::vector<uint8_t>& idx, bool pad,
                                 const std::vector<uint8_t>& alpha = {}, uint16_t reserved = 0) {
  if (!alpha.empty() && reserved == 0) reserved = 1;
  std::vector<uint8_t> v = Header(w, topDown ? -h : h, 8, 54 + 4 * entries, reserved);
  for (int i = 0; i < entries; ++i) {
    v.push_back(static_cast<uint8_t>(i));
    v.push_back(static_cast<uint8_t>(2 * i));
    v.push_back(static_cast<uint8_t>(3 * i));
    v.push_back(0);
  }
  const int stride = pad ? (w + 3) & ~3 : w;
  for (int r = 0; r < h; ++r) {
    const int row = topDown ? r : h - 1 - r;
    std::vector<uint8_t> line(stride, 0);
    std::memcpy(line.data(), idx.data() + row * w, w);
    v.insert(v.end(), line.begin(), line.end());
  }
  for (int r = 0; r < h && !alpha.empty(); ++r) {
    const int row = topDown ? r : h - 1 - r;
    v.insert(v.end(), alpha.begin() + row * w, alpha.begin() + (row + 1) * w);
  }
  return v;
}

inline std::vector<uint8_t> Ramp(size_t n, int mul, int add) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * mul + add);
  return v;
}

// Runs the test in a fresh directory with an empty "grp" folder.
class ScratchDir {
 public:
  ScratchDir() {
    old_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("zv_gfx_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(dir_ / "grp");
    std::filesystem::current_path(dir_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void Write(const std::string& name, const std::vector<uint8_t>& data) {
    std::ofstream f(dir_ / "grp" / name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }

 private:
  std::filesystem::path old_, dir_;
};

// Fills slot n with a w x h F picture whose pixel (x, y) is (x, y, n) as
// blue, green, red.
inline void MakeFSlot(int n, int w, int h) {
  IMG_FreeSlot(n);
  ImageSlot& s = g_slots[n];
  s.used = 1;
  s.format = FMT_F;
  IMG_AllocF(&s.f, w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = s.f.pixels + 3 * (y * w + x);
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>(n);
    }
  }
}

// A w x h B picture with index (x + y) & 255, the grey palette i -> (i, i, i)
// and, with alpha, alpha = x * 255 / (w - 1).
inline void MakeBSlot(int n, int w, int h, bool withAlpha) {
  IMG_FreeSlot(n);
  ImageSlot& s = g_slots[n];
  s.used = 1;
  s.format = FMT_B;
  s.alphaFlag = withAlpha ? 1 : 0;
  IMG_AllocB(&s.b, w, h, withAlpha ? 1 : 0);
  for (int i = 0; i < 256; ++i) {
    s.b.palette[4 * i] = s.b.palette[4 * i + 1] = s.b.palette[4 * i + 2] = static_cast<uint8_t>(i);
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      s.b.pixels[y * w + x] = static_cast<uint8_t>(x + y);
      if (withAlpha) s.b.alpha[y * w + x] = static_cast<uint8_t>(w > 1 ? x * 255 / (w - 1) : 255);
    }
  }
}

}  // namespace gfxtest

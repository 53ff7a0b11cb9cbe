#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/plt_png.h"

namespace {

std::string TempPath(const char* name) {
  return ::testing::TempDir() + "zv_png_" + name;
}

TEST(Png, WriteThenReadKeepsEveryPixel) {
  const int w = 5, h = 3;
  std::vector<uint8_t> bgr(w * h * 3);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 37 + 11);
  std::string path = TempPath("roundtrip.png");
  ASSERT_EQ(PLT_WritePng(path.c_str(), bgr.data(), w, h), 1);

  uint8_t* bgra = nullptr;
  int rw = 0, rh = 0;
  ASSERT_EQ(PLT_ReadPng(path.c_str(), &bgra, &rw, &rh), 1);
  ASSERT_EQ(rw, w);
  ASSERT_EQ(rh, h);
  for (int i = 0; i < w * h; ++i) {
    EXPECT_EQ(bgra[i * 4 + 0], bgr[i * 3 + 0]) << i;
    EXPECT_EQ(bgra[i * 4 + 1], bgr[i * 3 + 1]) << i;
    EXPECT_EQ(bgra[i * 4 + 2], bgr[i * 3 + 2]) << i;
    EXPECT_EQ(bgra[i * 4 + 3], 255) << i;
  }
  delete[] bgra;
  std::remove(path.c_str());
}

TEST(Png, RejectsBadArgumentsAndBrokenFiles) {
  uint8_t px[3] = {1, 2, 3};
  std::string path = TempPath("bad.png");
  EXPECT_EQ(PLT_WritePng(path.c_str(), px, 0, 1), 0);
  EXPECT_EQ(PLT_WritePng(path.c_str(), nullptr, 1, 1), 0);
  EXPECT_EQ(PLT_WritePng("/nonexistent-dir/x.png", px, 1, 1), 0);

  uint8_t* bgra = reinterpret_cast<uint8_t*>(1);
  int w = 7, h = 7;
  EXPECT_EQ(PLT_ReadPng("/nonexistent-dir/x.png", &bgra, &w, &h), 0);
  EXPECT_EQ(bgra, nullptr);
  EXPECT_EQ(w, 0);

  // A real file cut short after its header, and one that is not a PNG at all.
  ASSERT_EQ(PLT_WritePng(path.c_str(), px, 1, 1), 1);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  std::vector<uint8_t> bytes(4096);
  size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  for (size_t cut : {n - 20, static_cast<size_t>(8), static_cast<size_t>(30)}) {
    f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, cut, f);
    std::fclose(f);
    EXPECT_EQ(PLT_ReadPng(path.c_str(), &bgra, &w, &h), 0) << cut;
    EXPECT_EQ(bgra, nullptr);
  }
  f = std::fopen(path.c_str(), "wb");
  std::fputs("not a picture", f);
  std::fclose(f);
  EXPECT_EQ(PLT_ReadPng(path.c_str(), &bgra, &w, &h), 0);
  std::remove(path.c_str());
}

}  // namespace

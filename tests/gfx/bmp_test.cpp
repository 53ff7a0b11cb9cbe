// BMP loading: pixel layouts, the alpha plane, and damaged files.
#include "gfx/bmp.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>

#include "gfx_test_util.h"
#include "platform/headless/headless.h"

using namespace gfxtest;

namespace {

// Decodes from an exactly sized heap copy, so a read past the end is caught
// by the address sanitizer.
struct Decoded {
  int ok;
  std::string box;
};

Decoded DecodeB(const std::vector<uint8_t>& file, BImage* img, int32_t* flag, size_t len) {
  std::unique_ptr<uint8_t[]> buf(new uint8_t[len ? len : 1]);
  std::memcpy(buf.get(), file.data(), len);
  const size_t boxes = HL_MessageBoxes().size();
  Decoded d{BMP_DecodeB("t.bmp", buf.get(), static_cast<int>(len), img, flag), ""};
  if (HL_MessageBoxes().size() > boxes) d.box = HL_MessageBoxes().back().text;
  return d;
}

Decoded DecodeF(const std::vector<uint8_t>& file, FImage* img, size_t len) {
  std::unique_ptr<uint8_t[]> buf(new uint8_t[len ? len : 1]);
  std::memcpy(buf.get(), file.data(), len);
  const size_t boxes = HL_MessageBoxes().size();
  int32_t flag = 0;
  Decoded d{BMP_DecodeF("t.bmp", buf.get(), static_cast<int>(len), img, &flag), ""};
  if (HL_MessageBoxes().size() > boxes) d.box = HL_MessageBoxes().back().text;
  return d;
}

class BmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    IMG_SetDir("grp");
  }
  void TearDown() override {
    IMG_ReleaseB(&b_);
    IMG_ReleaseF(&f_);
    IMG_FreeAll();
  }
  BImage b_{};
  FImage f_{};
  int32_t flag_ = 0;
};

TEST_F(BmpTest, TwentyFourBitBothRowOrdersGiveThePictureWithoutSkew) {
  for (int w : {4, 5, 6, 7}) {
    const int h = 3;
    const std::vector<uint8_t> bgr = Ramp(3 * w * h, 7, 1);
    for (bool topDown : {false, true}) {
      const std::vector<uint8_t> file = Bmp24(w, h, topDown, bgr);
      ASSERT_EQ(DecodeF(file, &f_, file.size()).ok, 1) << w << " " << topDown;
      ASSERT_EQ(f_.width, w);
      ASSERT_EQ(f_.height, h);
      EXPECT_EQ(0, std::memcmp(f_.pixels, bgr.data(), bgr.size())) << w << " " << topDown;
    }
  }
}

TEST_F(BmpTest, TwentyFourBitRefusedAsPalettised) {
  const std::vector<uint8_t> file = Bmp24(4, 2, false, Ramp(24, 1, 0));
  const Decoded d = DecodeB(file, &b_, &flag_, file.size());
  EXPECT_EQ(d.ok, 0);
  EXPECT_EQ(d.box, "BMPデータのBIT数が異常です[t.bmp](24BIT?)");
  EXPECT_EQ(b_.pixels, nullptr);
}

// The same file with an info header of `size` bytes instead of 40 (the
// larger ones image editors write): the colour table and pixels move on.
std::vector<uint8_t> WithInfoHeader(std::vector<uint8_t> v, uint32_t size) {
  Put32(v, 14, size);
  Put32(v, 10, (v[10] | (v[11] << 8)) + (size - 40));
  v.insert(v.begin() + 54, size - 40, 0xEE);
  return v;
}

TEST_F(BmpTest, EightBitRowOrdersAndHeaderSizesAgree) {
  // Rows without an alpha plane are padded to 4 bytes in both orders, as
  // every writer of such files pads them; the colour table follows the info
  // header, whatever its size.
  const int w = 6, h = 3;
  const std::vector<uint8_t> idx = Ramp(w * h, 5, 2);
  const std::vector<uint8_t> up = Bmp8(w, h, false, 256, idx, true);
  const std::vector<std::vector<uint8_t>> files = {
      Bmp8(w, h, true, 256, idx, true), WithInfoHeader(up, 108), WithInfoHeader(up, 124),
      WithInfoHeader(Bmp8(w, h, true, 256, idx, true), 124)};
  ASSERT_EQ(DecodeB(up, &b_, &flag_, up.size()).ok, 1);
  EXPECT_EQ(0, std::memcmp(b_.pixels, idx.data(), idx.size()));
  EXPECT_EQ(b_.palette[4 * 10 + 2], 30);
  EXPECT_EQ(b_.alpha, nullptr);
  EXPECT_EQ(flag_, 0);
  for (size_t k = 0; k < files.size(); ++k) {
    BImage other{};
    int32_t otherFlag = 7;
    ASSERT_EQ(DecodeB(files[k], &other, &otherFlag, files[k].size()).ok, 1) << k;
    EXPECT_EQ(0, std::memcmp(other.pixels, idx.data(), idx.size())) << k;
    EXPECT_EQ(0, std::memcmp(b_.palette, other.palette, 1024)) << k;
    EXPECT_EQ(otherFlag, 0);
    IMG_ReleaseB(&other);
    ASSERT_EQ(DecodeF(files[k], &f_, files[k].size()).ok, 1) << k;
    for (int i = 0; i < w * h; ++i) ASSERT_EQ(f_.pixels[3 * i + 2], 3 * idx[i] & 255) << k;
  }
}

TEST_F(BmpTest, ShortColourTableLeavesTheRestOfThePaletteBlack) {
  const std::vector<uint8_t> file = Bmp8(4, 2, false, 16, Ramp(8, 1, 0), true);
  ASSERT_EQ(Header(4, 2, 8, 118, 0)[10], file[10]);
  ASSERT_EQ(DecodeB(file, &b_, &flag_, file.size()).ok, 1);
  EXPECT_EQ(b_.palette[4 * 15], 15);
  for (int i = 16 * 4; i < 1024; ++i) ASSERT_EQ(b_.palette[i], 0) << i;
}

TEST_F(BmpTest, AlphaPlaneFollowsThePixelsInTheirRowOrder) {
  const int w = 6, h = 3;
  const std::vector<uint8_t> idx = Ramp(w * h, 3, 0);
  const std::vector<uint8_t> alpha = Ramp(w * h, 11, 5);
  for (bool topDown : {false, true}) {
    const std::vector<uint8_t> file = Bmp8(w, h, topDown, 256, idx, false, alpha, 0x41);
    ASSERT_EQ(DecodeB(file, &b_, &flag_, file.size()).ok, 1);
    EXPECT_EQ(flag_, 0x41);
    ASSERT_NE(b_.alpha, nullptr);
    EXPECT_EQ(0, std::memcmp(b_.pixels, idx.data(), idx.size())) << topDown;
    EXPECT_EQ(0, std::memcmp(b_.alpha, alpha.data(), alpha.size())) << topDown;

    // As 24-bit the alpha bytes are ignored and the colours come from the table.
    ASSERT_EQ(DecodeF(file, &f_, file.size()).ok, 1);
    for (int i = 0; i < w * h; ++i) {
      ASSERT_EQ(f_.pixels[3 * i], idx[i]);
      ASSERT_EQ(f_.pixels[3 * i + 1], static_cast<uint8_t>(2 * idx[i]));
      ASSERT_EQ(f_.pixels[3 * i + 2], static_cast<uint8_t>(3 * idx[i]));
    }
  }
}

TEST_F(BmpTest, EightBitTo24BitMatchesThePalettisedLoadForOddWidths) {
  // A bottom-up file pads its rows; the 24-bit load must not skew them.
  const int w = 5, h = 4;
  const std::vector<uint8_t> idx = Ramp(w * h, 9, 1);
  const std::vector<uint8_t> file = Bmp8(w, h, false, 256, idx, true);
  ASSERT_EQ(DecodeB(file, &b_, &flag_, file.size()).ok, 1);
  ASSERT_EQ(DecodeF(file, &f_, file.size()).ok, 1);
  for (int i = 0; i < w * h; ++i) {
    ASSERT_EQ(b_.pixels[i], idx[i]);
    ASSERT_EQ(f_.pixels[3 * i], idx[i]) << i;
  }
}

TEST_F(BmpTest, EveryTruncationFailsUntilTheLastPixelIsThere) {
  // needB / needF: the shortest length that loads (0 = never); only the
  // padding after the last row may be missing.
  struct Case {
    std::vector<uint8_t> file;
    size_t needB, needF;
  };
  const Case cases[] = {
      {Bmp24(5, 3, false, Ramp(45, 1, 0)), 0, 54 + 16 * 2 + 15},
      {Bmp24(5, 3, true, Ramp(45, 1, 0)), 0, 54 + 16 * 2 + 15},
      {Bmp8(6, 3, false, 16, Ramp(18, 1, 0), true), 118 + 8 * 2 + 6, 118 + 8 * 2 + 6},
      {Bmp8(6, 3, true, 16, Ramp(18, 1, 0), true), 118 + 8 * 2 + 6, 118 + 8 * 2 + 6},
      {Bmp8(4, 3, false, 4, Ramp(12, 1, 0), false, Ramp(12, 1, 0)), 70 + 24, 70 + 12},
  };
  for (const Case& c : cases) {
    for (size_t len = 0; len <= c.file.size(); ++len) {
      BImage b{};
      FImage f{};
      const Decoded db = DecodeB(c.file, &b, &flag_, len);
      const Decoded df = DecodeF(c.file, &f, len);
      EXPECT_EQ(db.ok, c.needB != 0 && len >= c.needB) << len;
      EXPECT_EQ(df.ok, len >= c.needF) << len;
      EXPECT_EQ(db.ok ? b.pixels != nullptr : b.pixels == nullptr, true);
      EXPECT_EQ(df.ok ? f.pixels != nullptr : f.pixels == nullptr, true);
      EXPECT_TRUE(db.ok || !db.box.empty()) << len;
      EXPECT_TRUE(df.ok || !df.box.empty()) << len;
      IMG_ReleaseB(&b);
      IMG_ReleaseF(&f);
    }
  }
}

struct Broken {
  const char* what;
  std::vector<uint8_t> file;
  const char* box;  // start of the expected message
};

std::vector<Broken> BrokenFiles() {
  std::vector<Broken> out;
  const std::vector<uint8_t> good8 = Bmp8(4, 2, false, 16, Ramp(8, 1, 0), true);
  const std::vector<uint8_t> good24 = Bmp24(4, 2, false, Ramp(24, 1, 0));
  auto with32 = [](std::vector<uint8_t> v, size_t at, uint32_t x) {
    Put32(v, at, x);
    return v;
  };
  out.push_back(
      {"offset past the end", with32(good8, 10, 54 + 4 * 0x1FFFFFF0u), "BMPデータが足りません"});
  out.push_back({"offset before the table", with32(good8, 10, 20), "BMPデータのカラーテーブル"});
  out.push_back({"offset 0", with32(good8, 10, 0), "BMPデータのカラーテーブル"});
  out.push_back({"offset -1", with32(good8, 10, 0xFFFFFFFF), "BMPデータのカラーテーブル"});
  out.push_back(
      {"table not whole entries", with32(good8, 10, 54 + 4 * 16 - 2), "BMPデータのカラーテーブル"});
  out.push_back(
      {"offset leaves no pixels", with32(good8, 10, 54 + 4 * 16 + 4), "BMPデータが足りません"});
  out.push_back({"24-bit offset past the end", with32(good24, 10, 1000), "BMPデータが足りません"});
  out.push_back({"huge width", with32(good8, 18, 0x7FFFFFFF), "BMPデータの画像サイズ"});
  out.push_back({"huge height", with32(good24, 22, 0x7FFFFFFF), "BMPデータの画像サイズ"});
  out.push_back({"most negative height", with32(good24, 22, 0x80000000), "BMPデータの画像サイズ"});
  out.push_back({"negative width", with32(good24, 18, 0xFFFFFFFC), "BMPデータの画像サイズ"});
  out.push_back({"zero width", with32(good8, 18, 0), "BMPデータの画像サイズ"});
  out.push_back({"zero height", with32(good8, 22, 0), "BMPデータの画像サイズ"});
  out.push_back(
      {"big but in range", with32(with32(good24, 18, 30000), 22, 30000), "BMPデータの画像サイズ"});
  out.push_back({"fits the limits, not the file", with32(with32(good24, 18, 8000), 22, 8000),
                 "BMPデータが足りません"});
  std::vector<uint8_t> noAlpha = good8;
  Put16(noAlpha, 6, 1);  // announces an alpha plane that is not there
  out.push_back({"alpha plane missing", noAlpha, "BMPデータのα情報"});
  out.push_back({"header only", std::vector<uint8_t>(good8.begin(), good8.begin() + 53),
                 "BMPデータのヘッダ"});
  out.push_back({"32-bit", Header(1, 1, 32, 54, 0), "BMPデータのBIT数が異常です[t.bmp](32BIT?)"});
  out.push_back({"1-bit", Header(8, 1, 1, 62, 0), "BMPデータのBIT数が異常です[t.bmp](1BIT?)"});
  return out;
}

TEST_F(BmpTest, DamagedHeadersFailWithAWarningAndAnEmptyRecord) {
  for (const Broken& c : BrokenFiles()) {
    SCOPED_TRACE(c.what);
    BImage b{};
    FImage f{};
    const bool is24 = c.file.size() > 28 && c.file[28] == 24;
    if (!is24) {
      const Decoded d = DecodeB(c.file, &b, &flag_, c.file.size());
      EXPECT_EQ(d.ok, 0);
      EXPECT_EQ(b.pixels, nullptr);
      EXPECT_EQ(d.box.rfind(c.box, 0), 0u) << d.box;
    }
    // The alpha plane is not read for a 24-bit target, so that file loads.
    if (std::string(c.what) == "alpha plane missing") continue;
    const Decoded d = DecodeF(c.file, &f, c.file.size());
    EXPECT_EQ(d.ok, 0);
    EXPECT_EQ(f.pixels, nullptr);
    EXPECT_EQ(d.box.rfind(c.box, 0), 0u) << d.box;
    IMG_ReleaseB(&b);
    IMG_ReleaseF(&f);
  }
}

TEST_F(BmpTest, RandomHeaderDamageNeverReadsOutsideTheFile) {
  const std::vector<uint8_t> seeds[] = {
      Bmp24(5, 3, false, Ramp(45, 1, 0)),
      Bmp8(6, 3, false, 16, Ramp(18, 1, 0), true),
      Bmp8(4, 3, true, 4, Ramp(12, 1, 0), false, Ramp(12, 1, 0)),
  };
  // Fields the loader reads, and a few bytes beside them.
  const int fields[] = {6, 7, 10, 11, 12, 13, 14, 15, 18, 19, 21, 22, 23, 25, 28, 29};
  std::mt19937 rng(99);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> file = seeds[round % 3];
    const int hits = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < hits; ++i) {
      file[fields[rng() % std::size(fields)]] = static_cast<uint8_t>(rng());
    }
    const size_t len = rng() % 4 ? file.size() : rng() % (file.size() + 1);
    BImage b{};
    FImage f{};
    const Decoded db = DecodeB(file, &b, &flag_, len);
    const Decoded df = DecodeF(file, &f, len);
    // Whatever loads is a sane picture; whatever fails says so.
    EXPECT_TRUE(db.ok ? b.width > 0 && b.height > 0 && b.pixels : !db.box.empty());
    EXPECT_TRUE(df.ok ? f.width > 0 && f.height > 0 && f.pixels : !df.box.empty());
    IMG_ReleaseB(&b);
    IMG_ReleaseF(&f);
  }
}

TEST_F(BmpTest, LoadFillsTheSlotAndAFailureLeavesItUsedAndEmpty) {
  ScratchDir dir;
  const std::vector<uint8_t> idx = Ramp(12, 1, 0);
  dir.Write("pic.bmp", Bmp8(4, 3, false, 256, idx, false, Ramp(12, 20, 0), 3));
  dir.Write("deep.bmp", Header(2, 2, 32, 54, 0));

  ASSERT_EQ(IMG_LoadBMP(5, FMT_B, "pic.bmp"), 1);
  EXPECT_EQ(g_slots[5].used, 1);
  EXPECT_EQ(g_slots[5].format, FMT_B);
  EXPECT_EQ(g_slots[5].alphaFlag, 3);
  EXPECT_EQ(g_slots[5].b.width, 4);
  EXPECT_EQ(0, std::memcmp(g_slots[5].b.pixels, idx.data(), 12));
  ASSERT_NE(g_slots[5].b.alpha, nullptr);

  // Loading again as 24-bit replaces the picture; the announcement is not kept.
  ASSERT_EQ(IMG_LoadBMP(5, FMT_F, "PIC.BMP"), 1);
  EXPECT_EQ(g_slots[5].format, FMT_F);
  EXPECT_EQ(g_slots[5].alphaFlag, 0);
  EXPECT_EQ(g_slots[5].b.pixels, nullptr);
  EXPECT_EQ(g_slots[5].f.pixels[3 * 5 + 2], 15);

  EXPECT_EQ(IMG_LoadBMP(5, FMT_F, "deep.bmp"), 0);
  EXPECT_EQ(HL_MessageBoxes().back().text, "BMPデータのBIT数が異常です[deep.bmp](32BIT?)");
  EXPECT_EQ(HL_MessageBoxes().back().caption, "警告");
  EXPECT_EQ(g_slots[5].used, 1);
  EXPECT_EQ(g_slots[5].format, FMT_F);
  EXPECT_EQ(g_slots[5].f.pixels, nullptr);

  const size_t boxes = HL_MessageBoxes().size();
  EXPECT_EQ(IMG_LoadBMP(6, FMT_B, "missing.bmp"), 0);
  EXPECT_GT(HL_MessageBoxes().size(), boxes);
  EXPECT_EQ(g_slots[6].used, 1);
  EXPECT_EQ(g_slots[6].b.pixels, nullptr);
}

}  // namespace

// The generator's encoders, read back by the game's own loaders.
#include <gtest/gtest.h>

#ifdef ZV_CONTENT_LIB
#include <cmath>
#include <cstring>

#include "content.h"
#include "gfx/bmp.h"
#include "synth.h"

namespace {
uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

// A picture with a full hue sweep, soft edges and fully clear corners.
void PaintTestPicture(Canvas& c) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, c.w, 0);
  const uint32_t stops[] = {0xff2020, 0xffe020, 0x20e040, 0x20a0ff, 0xa040ff};
  for (int k = 0; k < 5; k++) {
    Rgb col = Hex(stops[k]);
    cairo_pattern_add_color_stop_rgb(p, k / 4.0, col.r, col.g, col.b);
  }
  cairo_arc(c.cr, c.w / 2.0, c.h / 2.0, c.h * 0.45, 0, 2 * M_PI);
  cairo_set_source(c.cr, p);
  cairo_fill(c.cr);
  cairo_pattern_destroy(p);
}

TEST(ContentEncoders, EightBitPictureKeepsColoursAndAlpha) {
  Canvas c(96, 64);
  PaintTestPicture(c);
  Bytes bmp = EncodeBmp8(c.surf, true);
  BImage b{};
  int32_t alphaFlag = 0;
  ASSERT_EQ(BMP_DecodeB("test.bmp", bmp.data(), int(bmp.size()), &b, &alphaFlag), 1);
  EXPECT_NE(alphaFlag, 0);
  ASSERT_NE(b.alpha, nullptr);
  cairo_surface_flush(c.surf);
  const uint8_t* px = cairo_image_surface_get_data(c.surf);
  int stride = cairo_image_surface_get_stride(c.surf);
  double err = 0;
  int opaque = 0;
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      uint32_t v;
      memcpy(&v, px + y * stride + 4 * x, 4);
      int a = v >> 24, k = y * c.w + x;
      // The alpha plane is the picture's own alpha, row for row (top first
      // after loading, whatever the file's row order).
      ASSERT_EQ(b.alpha[k], a) << x << "," << y;
      if (a != 255) continue;
      const uint8_t* pal = b.palette + 4 * b.pixels[k];
      err += std::abs(pal[2] - int((v >> 16) & 255)) + std::abs(pal[1] - int((v >> 8) & 255)) +
             std::abs(pal[0] - int(v & 255));
      opaque++;
    }
  ASSERT_GT(opaque, 1000);
  EXPECT_LT(err / opaque / 3, 2.0) << "mean error per channel of the 255-colour palette";
  EXPECT_EQ(b.pixels[0], 0) << "clear corner uses the transparent index";
  IMG_ReleaseB(&b);
}

TEST(ContentEncoders, TwentyFourBitPictureIsExact) {
  Canvas c(50, 30);  // a width whose rows need padding in the file
  PaintTestPicture(c);
  cairo_set_operator(c.cr, CAIRO_OPERATOR_DEST_OVER);
  cairo_set_source_rgb(c.cr, 0.1, 0.2, 0.3);
  cairo_paint(c.cr);
  Bytes bmp = EncodeBmp24(c.surf);
  FImage f{};
  int32_t alphaFlag = 0;
  ASSERT_EQ(BMP_DecodeF("test.bmp", bmp.data(), int(bmp.size()), &f, &alphaFlag), 1);
  ASSERT_EQ(f.width, c.w);
  ASSERT_EQ(f.height, c.h);
  const uint8_t* px = cairo_image_surface_get_data(c.surf);
  int stride = cairo_image_surface_get_stride(c.surf);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++)
      ASSERT_EQ(memcmp(f.pixels + 3 * (y * c.w + x), px + y * stride + 4 * x, 3), 0)
          << x << "," << y;
  IMG_ReleaseF(&f);
}

TEST(ContentEncoders, GreyLevelsKeepTheirValuesAndTheFixedPalette) {
  const int w = 37, h = 5;  // rows padded in the file, bottom row first
  std::vector<uint8_t> grey(w * h);
  for (int k = 0; k < w * h; k++) grey[k] = uint8_t(k * 7 + k / w);
  Bytes bmp = EncodeGrey8(grey, w, h);
  ASSERT_EQ(bmp.size(), 1078u + 40u * h);
  BImage b{};
  int32_t alphaFlag = -1;
  ASSERT_EQ(BMP_DecodeB("grey.bmp", bmp.data(), int(bmp.size()), &b, &alphaFlag), 1);
  EXPECT_EQ(alphaFlag, 0) << "no alpha plane";
  ASSERT_EQ(b.width, w);
  ASSERT_EQ(b.height, h);
  for (int i = 0; i < 256; i++) ASSERT_EQ(Le32(b.palette + 4 * i), uint32_t(i) * 0x010101u) << i;
  for (int k = 0; k < w * h; k++) ASSERT_EQ(b.pixels[k], grey[k]) << k;
  IMG_ReleaseB(&b);
}

TEST(ContentEncoders, AdpcmWavesDecodeCloseToTheSource) {
  std::vector<float> tone(8000);
  for (size_t i = 0; i < tone.size(); i++)
    tone[i] = float(0.5 * std::sin(2 * M_PI * 440 * i / kRate) * std::sin(M_PI * i / tone.size()));
  for (WavCodec codec : {WAV_PCM16, WAV_IMA_ADPCM, WAV_MS_ADPCM}) {
    Bytes w = EncodeWav(tone, 1, codec);
    ASSERT_GT(w.size(), 60u);
    EXPECT_EQ(memcmp(w.data(), "RIFF", 4), 0);
    EXPECT_EQ(Le32(&w[4]) + 8, w.size()) << "RIFF size covers the file";
    const int tags[] = {1, 0x11, 2};
    EXPECT_EQ(w[20] | w[21] << 8, tags[codec]);
  }
}

TEST(ContentEncoders, OggIsDeterministicAndCarriesItsSerial) {
  std::vector<float> st(2 * 22050);
  for (size_t i = 0; i < st.size() / 2; i++)
    st[2 * i] = st[2 * i + 1] = float(0.3 * std::sin(2 * M_PI * 330 * i / kRate));
  Bytes a = EncodeOgg(st, 77, "t", 0.4f), b = EncodeOgg(st, 77, "t", 0.4f);
  ASSERT_GT(a.size(), 100u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(Le32(&a[14]), 77u);
  // The last page is flagged as the end of the stream.
  size_t last = 0;
  for (size_t i = 0; i + 4 <= a.size(); i++)
    if (memcmp(&a[i], "OggS", 4) == 0) last = i;
  EXPECT_TRUE(a[last + 5] & 4);
}
}  // namespace
#endif

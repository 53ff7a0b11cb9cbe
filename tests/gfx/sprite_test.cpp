// Sprite and text-record operations that compute or keep something.
#include "gfx/sprite.h"

#include <gtest/gtest.h>

#include <string>

#include "common/log.h"
#include "gfx_test_util.h"

using namespace gfxtest;

namespace {

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SPR_Reset();
    IMG_FreeAll();
    g_tone = {128, 128, 128};
    LOG_Reset();
  }
  void TearDown() override {
    SPR_Reset();
    IMG_FreeAll();
  }
};

struct Pt {
  int x, y;
  bool operator==(const Pt&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Pt& p) {
  return o << "(" << p.x << "," << p.y << ")";
}

Pt Dst(const Sprite& s, int i) {
  const Pt p[4] = {{s.x, s.y}, {s.x1, s.y1}, {s.x2, s.y2}, {s.x3, s.y3}};
  return p[i];
}
Pt Src(const Sprite& s, int i) {
  const Pt p[4] = {{s.sx, s.sy}, {s.sx1, s.sy1}, {s.sx2, s.sy2}, {s.sx3, s.sy3}};
  return p[i];
}

TEST_F(SpriteTest, SetImageShowsTheWholePicture) {
  MakeFSlot(9, 200, 100);
  g_sprites[3].zoom = 55;
  g_sprites[3].hasSecond = 1;
  SPR_SetImage(3, 9, 7, 1, -2);
  const Sprite& s = g_sprites[3];
  EXPECT_EQ(s.used, 1);
  EXPECT_EQ(s.visible, 1);
  EXPECT_EQ(s.layer, 7);
  EXPECT_EQ(s.kind, SPR_KIND_IMAGE);
  EXPECT_EQ(s.geometry, SPR_GEOM_PLAIN);
  EXPECT_EQ(s.slot, 9);
  EXPECT_EQ(s.key, -2);
  EXPECT_EQ(s.red + s.green + s.blue, 3 * 128);
  EXPECT_EQ(s.x, 0);
  EXPECT_EQ(s.y, 0);
  EXPECT_EQ(s.w, 200);
  EXPECT_EQ(s.sw, 200);
  EXPECT_EQ(s.h, 100);
  EXPECT_EQ(s.sh, 100);
  EXPECT_EQ(s.zoom, 0);  // the record was zeroed first
  EXPECT_EQ(s.hasSecond, 0);
  EXPECT_EQ(s.clip, nullptr);

  // An empty slot gives a zero-sized sprite; a palettised one its size.
  SPR_SetImage(4, 10, 0, 1, -1);
  EXPECT_EQ(g_sprites[4].w, 0);
  MakeBSlot(10, 32, 16, false);
  SPR_SetImage(4, 10, 0, 1, -1);
  EXPECT_EQ(g_sprites[4].w, 32);
  EXPECT_EQ(g_sprites[4].h, 16);
}

TEST_F(SpriteTest, ZoomRectAndZoom) {
  MakeFSlot(1, 64, 32);
  SPR_SetImage(0, 1, 0, 1, -1);
  SPR_SetSource(0, 8, 8, 16, 16);
  SPR_SetZoomRect(0, 10, 20, 64, 32);  // its own size: stays plain
  EXPECT_EQ(g_sprites[0].geometry, SPR_GEOM_PLAIN);
  EXPECT_EQ(g_sprites[0].sx, 0);
  EXPECT_EQ(g_sprites[0].sw, 64);
  SPR_SetZoomRect(0, 10, 20, 128, 32);
  EXPECT_EQ(g_sprites[0].geometry, SPR_GEOM_ZOOM);
  EXPECT_EQ(g_sprites[0].w, 128);
  EXPECT_EQ(g_sprites[0].sw, 64);
  EXPECT_EQ(g_sprites[0].sh, 32);

  // A zoomed sprite's destination survives a new source rectangle; a plain
  // one's follows it.
  SPR_SetSource(0, 4, 4, 10, 12);
  EXPECT_EQ(g_sprites[0].w, 128);
  EXPECT_EQ(g_sprites[0].sw, 10);
  SPR_SetImage(1, 1, 0, 1, -1);
  SPR_SetSource(1, 4, 4, 10, 12);
  EXPECT_EQ(g_sprites[1].w, 10);
  EXPECT_EQ(g_sprites[1].h, 12);

  SPR_SetZoom(1, 100, 50, -256);
  EXPECT_EQ(g_sprites[1].geometry, SPR_GEOM_ZOOM);
  EXPECT_EQ(g_sprites[1].zoom, -256);
  EXPECT_EQ(g_sprites[1].zx, 100);
  SPR_SetZoom(1, 1, 1, -257);
  EXPECT_EQ(g_sprites[1].zoom, -256);
  EXPECT_EQ(g_sprites[1].zx, 100);
  SPR_SetZoom(1, 0, 0, 0);
  EXPECT_EQ(g_sprites[1].geometry, SPR_GEOM_PLAIN);
  EXPECT_EQ(g_sprites[1].zoom, 0);
}

TEST_F(SpriteTest, RotateCorners) {
  // Angle 0, scale 0, 64 wide: radius 32.
  SPR_Rotate(0, 100, 200, 0, 0, 5, 6, 64, 40);
  const Sprite& s = g_sprites[0];
  EXPECT_EQ(s.geometry, SPR_GEOM_QUAD);
  EXPECT_EQ(Dst(s, 0), (Pt{100, 232}));
  EXPECT_EQ(Dst(s, 1), (Pt{132, 200}));
  EXPECT_EQ(Dst(s, 2), (Pt{68, 200}));
  EXPECT_EQ(Dst(s, 3), (Pt{100, 168}));
  EXPECT_EQ(Src(s, 0), (Pt{5, 6}));
  EXPECT_EQ(Src(s, 1), (Pt{68, 6}));
  EXPECT_EQ(Src(s, 2), (Pt{5, 45}));
  EXPECT_EQ(Src(s, 3), (Pt{68, 45}));

  // A quarter turn moves every corner to the next one; -192 is the same angle.
  SPR_Rotate(1, 100, 200, 0, 64, 0, 0, 64, 40);
  SPR_Rotate(2, 100, 200, 0, -192, 0, 0, 64, 40);
  EXPECT_EQ(Dst(g_sprites[1], 0), (Pt{132, 200}));
  EXPECT_EQ(Dst(g_sprites[1], 1), (Pt{100, 168}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Dst(g_sprites[1], i), Dst(g_sprites[2], i));

  // scale 256 doubles the radius; the radius depends on the width only.
  SPR_Rotate(3, 0, 0, 256, 0, 0, 0, 64, 500);
  EXPECT_EQ(Dst(g_sprites[3], 0), (Pt{0, 64}));
  // (64 * 100 / 256) / 2 = 12 (both divisions truncate).
  SPR_Rotate(3, 0, 0, -156, 0, 0, 0, 64, 1);
  EXPECT_EQ(Dst(g_sprites[3], 1), (Pt{12, 0}));

  // Sine table entries through a radius of 4096: entry 1 is 100, entry 32 is
  // 2896, entry 224 is -2896.
  SPR_Rotate(4, 0, 0, 0, 1, 0, 0, 8192, 1);
  EXPECT_EQ(g_sprites[4].x, 100);
  SPR_Rotate(4, 0, 0, 0, 32, 0, 0, 8192, 1);
  EXPECT_EQ(g_sprites[4].x, 2896);
  EXPECT_EQ(g_sprites[4].y, 2896);
  SPR_Rotate(4, 0, 0, 0, 224, 0, 0, 8192, 1);
  EXPECT_EQ(g_sprites[4].x, -2896);
  // Truncation toward zero: -3 * 100 / 4096 is 0, not -1.
  SPR_Rotate(5, 0, 0, 0, 129, 0, 0, 6, 1);
  EXPECT_EQ(g_sprites[5].x, 0);
}

TEST_F(SpriteTest, FillGradientClipAndShow) {
  g_sprites[2].sy1 = 77;
  g_sprites[2].key = 5;
  SPR_SetFill(2, SPR_KIND_FILL, 0, 3, 1);
  EXPECT_EQ(g_sprites[2].sy1, 77);  // untouched fields keep their values
  EXPECT_EQ(g_sprites[2].key, 5);
  SPR_SetGradient(2, 0, 10, 1, 2, 3);
  SPR_SetGradient(2, 1, 90, 4, 5, 6);
  EXPECT_EQ(g_sprites[2].kind, SPR_KIND_GRADIENT);
  EXPECT_EQ(g_sprites[2].sy, 10);
  EXPECT_EQ(g_sprites[2].sy1, 90);
  EXPECT_EQ(g_sprites[2].red, 1);
  EXPECT_EQ(g_sprites[2].blue2, 6);

  SPR_SetClip(2, 16, 32, 432, 432);
  ASSERT_EQ(g_sprites[2].clip, &g_spriteClip[2]);
  EXPECT_EQ(g_spriteClip[2].right, 448);
  EXPECT_EQ(g_spriteClip[2].bottom, 464);
  SPR_SetClip(2, -1, 0, 0, 0);
  EXPECT_EQ(g_sprites[2].clip, nullptr);
  EXPECT_EQ(g_spriteClip[2].right, 448);

  SPR_Show(9, 1);  // unused: stays hidden
  EXPECT_EQ(g_sprites[9].visible, 0);
  SPR_Show(2, 0);
  EXPECT_EQ(g_sprites[2].visible, 0);

  SPR_SetSecond(2, 0, 100);
  EXPECT_EQ(g_sprites[2].secondMode, (100u << 16) + 10);
}

TEST_F(SpriteTest, TextSlotsFormatAndKeepSpacing) {
  TXT_SetSlot(4, 2, 24, 1, "score %d", 1200);
  TXT_SetSpacing(4, 1, 8);
  TXT_SetBox(4, 8, 352, 25, 4);
  TXT_SetAlpha(4, -1);
  g_texts[4].endX = 99;
  ASSERT_NE(g_texts[4].text, nullptr);
  EXPECT_STREQ(g_texts[4].text, "score 1200");

  // Set again from its own text: the new buffer is formatted before the old
  // one goes.
  TXT_SetSlot(4, 3, 20, 0, "%s!", g_texts[4].text);
  EXPECT_STREQ(g_texts[4].text, "score 1200!");
  EXPECT_EQ(g_texts[4].charSpacing, 1);
  EXPECT_EQ(g_texts[4].lineSpacing, 8);
  EXPECT_EQ(g_texts[4].endX, 99);
  EXPECT_EQ(g_texts[4].x, 0);
  EXPECT_EQ(g_texts[4].width, 256);
  EXPECT_EQ(g_texts[4].lines, 256);
  EXPECT_EQ(g_texts[4].alpha, 256);
  EXPECT_EQ(g_texts[4].reveal, -1);
  EXPECT_EQ(g_texts[4].layer, 3);

  // Long text is cut at the buffer, NUL-terminated.
  const std::string big(3000, 'a');
  TXT_SetSlot(5, 0, 24, 1, "%s", big.c_str());
  EXPECT_EQ(std::strlen(g_texts[5].text), static_cast<size_t>(TXT_BUFFER_SIZE - 1));

  TXT_FreeSlot(4);
  EXPECT_EQ(g_texts[4].text, nullptr);
  EXPECT_EQ(g_texts[4].used, 0);
}

TEST_F(SpriteTest, ClearAllReleasesSpritesTextsAndSlots) {
  MakeFSlot(200, 8, 8);
  SPR_SetImage(700, 200, 1, 1, -1);
  TXT_SetSlot(127, 0, 24, 1, "x");
  SPR_ClearAll();
  EXPECT_EQ(g_sprites[700].used, 0);
  EXPECT_EQ(g_texts[127].text, nullptr);
  EXPECT_EQ(g_slots[200].used, 0);
  EXPECT_EQ(g_slots[200].f.pixels, nullptr);
}

}  // namespace

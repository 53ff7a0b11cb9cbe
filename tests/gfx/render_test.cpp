// The render pass: drawing order, GlobalTone, zoom, failure logging, and
// random records that must never touch memory outside the images.
#include "gfx/render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "blit/blit.h"
#include "common/log.h"
#include "gfx/sprite.h"
#include "gfx_test_util.h"
#include "text/text_test_util.h"
#include "platform/headless/headless.h"

using namespace gfxtest;

namespace {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) {
  return o << "(" << c.r << "," << c.g << "," << c.b << ")";
}

Rgb At(int x, int y) {
  const uint8_t* p = g_back.frame.pixels + 3 * (y * g_back.frame.width + x);
  return {p[2], p[1], p[0]};
}

std::vector<int> g_drawnTexts;

// Stands in for the text layout: records the order and paints a 10 x 10
// square of the record's size as grey level.
void PaintText(FImage* target, TextRecord* t) {
  g_drawnTexts.push_back(static_cast<int>(t - g_texts));
  for (int y = t->y; y < t->y + 10; ++y) {
    for (int x = t->x; x < t->x + 10; ++x) {
      std::memset(target->pixels + 3 * (y * target->width + x), t->size, 3);
    }
  }
  t->endX = t->x + 10;
}

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    LOG_Reset();
    IMG_InitTables(SCREEN_W, SCREEN_H);
    ASSERT_TRUE(IMG_CreateBackBuffer(24, SCREEN_W, SCREEN_H));
    std::memset(g_back.frame.pixels, 0, SCREEN_W * SCREEN_H * 3);
    SPR_Reset();
    IMG_FreeAll();
    SPR_SetTone(128, 128, 128);
    g_drawnTexts.clear();
    RND_SetTextDrawer(PaintText);
  }
  void TearDown() override {
    RND_SetTextDrawer(nullptr);
    SPR_Reset();
    IMG_FreeAll();
  }
  static void Rect(int n, int layer, int x, int y, int w, int h, int r, int g, int b) {
    SPR_Clear(n);
    SPR_SetFill(n, SPR_KIND_FILL, 0, layer, 1);
    SPR_SetPosSize(n, x, y, w, h);
    SPR_SetColour(n, r, g, b);
  }
  static int LogLinesWith(const std::string& s) {
    int n = 0;
    for (int i = 0; i < LOG_RecentCount(); ++i) {
      if (std::string(LOG_Recent(i)).find(s) != std::string::npos) ++n;
    }
    return n;
  }
  ScratchDir dir_;  // the debug log goes here
};

TEST_F(RenderTest, LayersThenSpriteNumbersThenTextRecords) {
  Rect(20, 2, 0, 0, 200, 200, 0, 0, 255);  // lowest layer
  Rect(10, 3, 0, 0, 100, 100, 255, 0, 0);  // above sprite 5: higher number
  Rect(5, 3, 50, 0, 100, 100, 0, 255, 0);
  Rect(1, 4, 72, 42, 4, 4, 255, 255, 0);  // layer 4: above the layer-3 text
  TXT_SetSlot(0, 3, 200, 1, "a");
  TXT_MoveSlot(0, 70, 40);
  TXT_SetSlot(2, 0, 90, 1, "b");
  TXT_MoveSlot(2, 300, 300);
  TXT_SetSlot(1, 3, 50, 1, "c");
  TXT_MoveSlot(1, 150, 150);
  TXT_SetSlot(3, 3, 60, 0, "hidden");
  // Visible but not used: never drawn.
  g_sprites[30].visible = 1;
  g_sprites[30].kind = SPR_KIND_FILL;
  g_sprites[30].w = 640;
  g_sprites[30].h = 480;
  g_sprites[31] = g_sprites[20];
  g_sprites[31].layer = 64;  // beyond the last layer
  g_sprites[31].x = 290;
  g_sprites[31].y = 240;
  g_sprites[31].w = g_sprites[31].h = 20;
  g_sprites[31].red = g_sprites[31].green = g_sprites[31].blue = 255;

  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(At(175, 50), (Rgb{0, 0, 255}));
  EXPECT_EQ(At(40, 50), (Rgb{255, 0, 0}));
  EXPECT_EQ(At(99, 99), (Rgb{255, 0, 0}));
  EXPECT_EQ(At(120, 50), (Rgb{0, 255, 0}));
  EXPECT_EQ(At(71, 41), (Rgb{200, 200, 200}));  // text above the sprites
  EXPECT_EQ(At(73, 43), (Rgb{255, 255, 0}));    // next layer above the text
  EXPECT_EQ(At(300, 250), (Rgb{0, 0, 0}));
  EXPECT_EQ(g_drawnTexts, (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(g_texts[0].endX, 80);

  // Hiding changes the next pass; what no record covers keeps its pixels.
  SPR_Show(10, 0);
  g_back.frame.pixels[3 * (400 * SCREEN_W + 600)] = 77;
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(At(40, 50), (Rgb{0, 0, 255}));
  EXPECT_EQ(At(60, 50), (Rgb{0, 255, 0}));
  EXPECT_EQ(At(600, 400), (Rgb{0, 0, 77}));
}

TEST_F(RenderTest, GlobalToneTintsRectanglesNotPictures) {
  MakeFSlot(3, 16, 16);
  for (int i = 0; i < 16 * 16 * 3; ++i) g_slots[3].f.pixels[i] = 255;
  SPR_SetImage(0, 3, 0, 1, -1);
  SPR_Move(0, 100, 100);
  Rect(1, 0, 0, 0, 16, 16, 255, 255, 255);
  SPR_Clear(2);
  SPR_SetFill(2, SPR_KIND_GRADIENT, 0, 0, 1);
  SPR_SetPosSize(2, 200, 0, 8, 8);
  SPR_SetGradient(2, 0, 0, 0, 0, 0);
  SPR_SetGradient(2, 1, 0, 0, 0, 0);
  SPR_SetTone(64, 64, 64);
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(At(5, 5), (Rgb{127, 127, 127}));
  EXPECT_EQ(At(105, 105), (Rgb{255, 255, 255}));

  SPR_SetTone(128, 192, 255);
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(At(5, 5), (Rgb{255, 255, 255}));
  // Black lightened: 0 + 255 * (t - 128) / 128.
  EXPECT_EQ(At(203, 3), (Rgb{0, 127, 253}));

  EXPECT_EQ(RND_ToneComponent(200, 128), 200);
  EXPECT_EQ(RND_ToneComponent(200, 0), 0);
  EXPECT_EQ(RND_ToneComponent(100, 1000), 255);
  EXPECT_EQ(RND_ToneComponent(100, -5), 0);
}

TEST_F(RenderTest, ZoomAboutACentre) {
  MakeFSlot(4, 640, 480);
  SPR_SetImage(0, 4, 0, 1, -1);
  SPR_SetZoom(0, 320, 240, 256);  // (-320, -240, 1280, 960): twice the size
  RND_Frame(&g_back.frame, 24);
  // Frame pixel (X, Y) shows picture pixel ((X + 320) / 2, (Y + 240) / 2).
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {320, 240}, {639, 479}}) {
    const Rgb c = At(x, y);
    EXPECT_NEAR(c.b, ((x + 320) / 2) & 255, 1) << x;
    EXPECT_NEAR(c.g, ((y + 240) / 2) & 255, 1) << y;
  }

  // Shrunk to nothing: nothing drawn, nothing broken.
  std::memset(g_back.frame.pixels, 0, SCREEN_W * SCREEN_H * 3);
  SPR_SetZoom(0, 320, 240, -256);
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(At(320, 240), (Rgb{0, 0, 0}));

  // Half size about the top-left corner.
  SPR_SetZoom(0, 0, 0, -128);
  RND_Frame(&g_back.frame, 24);
  EXPECT_NEAR(At(100, 50).b, 200, 1);
  EXPECT_EQ(At(400, 300), (Rgb{0, 0, 0}));
}

TEST_F(RenderTest, PicturesOfBothFormatsAndGeometries) {
  MakeBSlot(1, 32, 32, false);
  MakeFSlot(2, 32, 32);
  SPR_SetImage(0, 1, 0, 1, -1);
  SPR_Move(0, 10, 10);
  SPR_SetImage(1, 2, 0, 1, -1);
  SPR_Move(1, 100, 10);
  SPR_SetImage(2, 2, 0, 1, -1);
  SPR_SetZoomRect(2, 200, 10, 64, 64);
  SPR_SetImage(3, 1, 0, 1, -1);
  SPR_Rotate(3, 400, 100, 0, 0, 0, 0, 32, 32);
  SPR_SetImage(4, 2, 0, 1, -1);
  SPR_SetClip(4, 500, 0, 8, 8);  // only an 8 x 8 corner shows
  SPR_Move(4, 500, 0);
  SPR_SetImage(5, 2, 0, 1, -1);
  g_sprites[5].geometry = 7;  // no such geometry: nothing drawn
  SPR_Move(5, 300, 300);
  // A second picture: with an F picture held as F it goes to the variant
  // that draws nothing; a B picture ignores it and draws plainly.
  SPR_SetImage(6, 2, 0, 1, -1);
  SPR_SetSecond(6, 2, 128);
  SPR_Move(6, 300, 400);
  SPR_SetImage(7, 1, 0, 1, -1);
  SPR_SetSecond(7, 2, 128);
  SPR_Move(7, 400, 400);
  RND_Frame(&g_back.frame, 24);

  EXPECT_EQ(At(10 + 5, 10 + 3), (Rgb{8, 8, 8}));   // grey palette, index x + y
  EXPECT_EQ(At(100 + 5, 10 + 3), (Rgb{2, 3, 5}));  // (x, y, slot) as (b, g, r)
  EXPECT_NEAR(At(200 + 20, 10 + 40).b, 10, 1);     // stretched twice
  EXPECT_NE(At(400, 100), (Rgb{0, 0, 0}));         // the rotated diamond's centre
  EXPECT_EQ(At(400, 60), (Rgb{0, 0, 0}));          // outside its radius of 16
  EXPECT_EQ(At(507, 7), (Rgb{2, 7, 7}));
  EXPECT_EQ(At(508, 7), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(305, 305), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(305, 405), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(405, 403), (Rgb{8, 8, 8}));
}

TEST_F(RenderTest, MissingAndMismatchedPicturesAreLoggedAndSkipped) {
  SPR_SetImage(0, 7, 0, 1, -1);  // slot 7 never loaded
  SPR_SetPosSize(0, 0, 0, 10, 10);
  RND_Frame(&g_back.frame, 24);
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(LogLinesWith("moke[7] "), 2);

  g_slots[8].used = 1;
  g_slots[8].format = FMT_T;
  SPR_SetImage(1, 8, 0, 1, -1);
  SPR_SetPosSize(1, 0, 0, 10, 10);
  SPR_Show(0, 0);
  RND_Frame(&g_back.frame, 24);
  LOG_Write("\n");
  EXPECT_EQ(LogLinesWith("画像と画面モードが合いません。"), 1);
  EXPECT_EQ(LogLinesWith("moke[8]"), 0);
  EXPECT_EQ(At(5, 5), (Rgb{0, 0, 0}));
}

// Random records, however their fields are set, must draw only inside the
// frame and read only inside the pictures (run under the address sanitizer).
TEST_F(RenderTest, RandomRecordsStayInsideTheImages) {
  MakeFSlot(0, 37, 23);
  MakeBSlot(1, 16, 40, true);
  MakeBSlot(2, 1, 1, false);
  MakeFSlot(3, 640, 480);
  MakeBSlot(4, 255, 3, true);
  g_slots[5].used = 1;  // loaded and failed: empty F record
  g_slots[5].format = FMT_F;
  g_slots[6].used = 1;
  g_slots[6].format = FMT_T;
  MakeFSlot(7, 1, 300);

  std::mt19937 rng(12345);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  // Mostly plausible values, sometimes anything a field can hold.
  auto coord = [&]() -> int16_t {
    switch (any(0, 3)) {
      case 0:
        return static_cast<int16_t>(any(-32768, 32767));
      case 1:
        return static_cast<int16_t>(any(-40, 40));
      default:
        return static_cast<int16_t>(any(-100, 700));
    }
  };
  auto size = [&]() -> int16_t {
    switch (any(0, 3)) {
      case 0:
        return static_cast<int16_t>(any(-32768, 32767));
      case 1:
        return static_cast<int16_t>(any(-3, 3));
      default:
        return static_cast<int16_t>(any(0, 700));
    }
  };

  // ZV_GFX_ROUNDS raises the count for a longer soak.
  const char* env = std::getenv("ZV_GFX_ROUNDS");
  const int rounds = env ? std::atoi(env) : 300;
  for (int round = 0; round < rounds; ++round) {
    SPR_Reset();
    for (int n = 0; n < 24; ++n) {
      Sprite& s = g_sprites[n];
      s.used = 1;
      s.visible = 1;
      s.layer = static_cast<uint8_t>(any(0, 63));
      const int k = any(0, 9);
      s.kind = static_cast<uint8_t>(k < 6 ? 0 : (k < 8 ? 4 : (k < 9 ? 5 : any(0, 255))));
      s.geometry = static_cast<uint8_t>(any(0, 9) < 9 ? any(0, 2) : any(0, 255));
      s.slot = static_cast<uint8_t>(any(0, 9) < 9 ? any(0, 7) : any(0, 255));
      s.hasSecond = static_cast<uint8_t>(any(0, 3) == 0);
      s.secondSlot = static_cast<uint8_t>(any(0, 7));
      s.red = static_cast<uint8_t>(any(0, 1) ? 128 : any(0, 255));
      s.green = static_cast<uint8_t>(any(0, 255));
      s.blue = static_cast<uint8_t>(any(0, 255));
      s.red2 = static_cast<uint8_t>(any(0, 255));
      s.green2 = static_cast<uint8_t>(any(0, 255));
      s.blue2 = static_cast<uint8_t>(any(0, 255));
      const int mode = any(0, 9) < 8 ? any(0, 45) : any(0, 65535);
      const int param = any(0, 9) < 8 ? any(0, 256) : any(0, 65535);
      s.mode = BLT_Mode(mode, param);
      s.secondMode = BLT_Mode(10, any(0, 300));
      const int key = any(0, 3);
      s.key = key == 0 ? -1 : (key == 1 ? -2 : (key == 2 ? 0 : any(-5, 0xFFFFFF)));
      s.x = coord();
      s.y = coord();
      s.x1 = coord();
      s.y1 = coord();
      s.x2 = coord();
      s.y2 = coord();
      s.x3 = coord();
      s.y3 = coord();
      s.w = size();
      s.h = size();
      s.sx = coord();
      s.sy = coord();
      s.sx1 = coord();
      s.sy1 = coord();
      s.sx2 = coord();
      s.sy2 = coord();
      s.sx3 = coord();
      s.sy3 = coord();
      s.sw = size();
      s.sh = size();
      s.w2 = size();
      s.h2 = size();
      s.zoom =
          any(0, 2) ? 0 : static_cast<int16_t>(any(0, 1) ? any(-256, 512) : any(-32768, 32767));
      s.zx = coord();
      s.zy = coord();
      if (any(0, 2) == 0) {
        g_spriteClip[n] = ClipBox{coord(), coord(), coord(), coord()};
        s.clip = &g_spriteClip[n];
      }
    }
    RND_Frame(&g_back.frame, 24);
  }
}

// A frame draws only what changed since the last one; the rest keeps the
// last frame's pixels. Whatever changes (pictures of both formats moved,
// turned, zoomed, clipped, keyed and blended, fills and gradients, texts with
// ruby, emphasis and shadows, layers and visibility), the picture must be the
// one the whole frame gives.
TEST_F(RenderTest, AFrameDrawnInPartEqualsTheWholeFrame) {
  RND_SetTextDrawer(nullptr);
  MakeFSlot(0, SCREEN_W, SCREEN_H);
  MakeFSlot(1, 37, 23);
  MakeBSlot(2, 40, 40, false);
  MakeBSlot(3, 16, 40, true);
  std::mt19937 rng(77);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr int kSprites = 24, kTexts = 4;
  auto randomSprite = [&](int n) {
    SPR_Clear(n);
    const int layer = any(0, 5);
    switch (any(0, 5)) {
      case 0:
        SPR_SetFill(n, SPR_KIND_FILL, 0, layer, 1);
        SPR_SetPosSize(n, any(-20, 620), any(-20, 460), any(1, 120), any(1, 90));
        SPR_SetColour(n, any(0, 255), any(0, 255), any(0, 255));
        break;
      case 1:
        SPR_SetFill(n, SPR_KIND_GRADIENT, 0, layer, 1);
        SPR_SetPosSize(n, any(-20, 620), any(-20, 460), any(1, 120), any(2, 90));
        SPR_SetGradient(n, 0, g_sprites[n].y, any(0, 255), 0, 0);
        SPR_SetGradient(n, 1, g_sprites[n].y + g_sprites[n].h - 1, 0, any(0, 255), 0);
        break;
      case 2:
        SPR_SetImage(n, any(1, 3), layer, 1, any(0, 1) ? -1 : -2);
        SPR_Rotate(n, any(0, 640), any(0, 480), any(-100, 300), any(0, 255), 0, 0, 16, 23);
        break;
      case 3:
        SPR_SetImage(n, any(1, 3), layer, 1, -1);
        SPR_SetZoomRect(n, any(-20, 620), any(-20, 460), any(1, 150), any(1, 150));
        break;
      default:
        SPR_SetImage(n, any(1, 3), layer, 1, any(0, 2) ? -1 : 0);
        SPR_Move(n, any(-30, 640), any(-30, 480));
        if (any(0, 3) == 0) SPR_SetZoom(n, any(0, 640), any(0, 480), any(-128, 256));
        break;
    }
    const int modes[] = {0, 0, 1, 2, 3, 10, 12};
    const int mode = modes[any(0, 6)];
    SPR_SetBlend(n, BLT_Mode(mode, mode >= 10 ? any(1, 255) : 0));
    if (any(0, 4) == 0) SPR_SetClip(n, any(0, 400), any(0, 300), any(10, 300), any(10, 200));
  };
  const std::string lines[] = {texttest::Sj("<R月迎え|つきむかえ>の夜、池に<E光>が"),
                               texttest::Sj("得点 12345"), "Score 0",
                               texttest::Sj("つぎはこれ！")};
  auto randomText = [&](int k) {
    TXT_SetSlot(k, any(0, 5), any(14, 24), 1, "%s", lines[any(0, 3)].c_str());
    TXT_SetBox(k, any(-10, 600), any(-10, 460), any(4, 20), any(1, 3));
    TXT_SetShadow(k, any(0, 2));
    if (any(0, 1)) TXT_SetReveal(k, any(0, 30));
  };
  SPR_SetImage(0, 0, 0, 1, -1);  // the background that covers the frame
  for (int n = 1; n <= kSprites; ++n) randomSprite(n);
  for (int k = 0; k < kTexts; ++k) randomText(k);
  const size_t bytes = size_t{SCREEN_W} * SCREEN_H * 3;
  std::vector<uint8_t> part(bytes);
  int inPart = 0;
  for (int step = 0; step < 150; ++step) {
    for (int c = any(0, 3); c > 0; --c) {
      const int n = any(1, kSprites);
      switch (any(0, 5)) {
        case 0:
          SPR_Show(n, !g_sprites[n].visible);
          break;
        case 1:
          g_sprites[n].layer = static_cast<uint8_t>(any(0, 5));
          break;
        case 2:
          randomText(any(0, kTexts - 1));
          break;
        case 3:
          TXT_SetReveal(any(0, kTexts - 1), any(-1, 40));
          break;
        default:
          randomSprite(n);
          break;
      }
    }
    // Now and then the frame has nothing opaque under it for a while: it
    // builds on the last one's pixels, so drawing it twice would not agree.
    const bool covered = step % 40 < 37;
    SPR_Show(0, covered);
    RND_Frame(&g_back.frame, 24);
    if (!covered) continue;
    const ClipBox drawn = RND_Changed();
    if (!BLT_BoxEqual(drawn, {0, 0, SCREEN_W, SCREEN_H})) ++inPart;
    std::memcpy(part.data(), g_back.frame.pixels, bytes);
    RND_Invalidate();
    RND_Frame(&g_back.frame, 24);
    size_t first = 0;
    while (first < bytes && part[first] == g_back.frame.pixels[first]) ++first;
    ASSERT_EQ(first, bytes) << "step " << step << ": pixel (" << first / 3 % SCREEN_W << ", "
                            << first / 3 / SCREEN_W << ") differs; drawn (" << drawn.left << ", "
                            << drawn.top << ")-(" << drawn.right << ", " << drawn.bottom << ")";
  }
  EXPECT_GT(inPart, 75);  // most frames were drawn in part
}

}  // namespace

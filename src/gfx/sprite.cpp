// Sprite table and text records.
#include "gfx/sprite.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/log.h"
#include "gfx/image.h"

Sprite g_sprites[SPR_COUNT];
ClipBox g_spriteClip[SPR_COUNT];

namespace {

// Picture size of a slot, or 0 x 0 when the slot holds neither B nor F (a
// never-loaded slot has format 0 and an empty BImage, which also gives 0).
void SlotSize(int slot, int* w, int* h) {
  *w = 0;
  *h = 0;
  const ImageSlot& s = g_slots[slot & 0xFF];
  if (s.format == FMT_F) {
    *w = s.f.width;
    *h = s.f.height;
  } else if (s.format == FMT_B) {
    *w = s.b.width;
    *h = s.b.height;
  }
}

// 4096 * sin(2 pi i / 256), truncated toward zero: 64 steps a quarter turn.
struct SineTable {
  int32_t v[256];
  SineTable() {
    for (int i = 0; i < 256; ++i) {
      v[i] = static_cast<int32_t>(4096.0 * std::sin(2.0 * M_PI * i / 256.0));
    }
    // Exact at the quarter points, whatever the floating-point library says.
    v[0] = 0;
    v[64] = 4096;
    v[128] = 0;
    v[192] = -4096;
  }
};
const SineTable kSine;

}  // namespace

void SPR_Reset() {
  TXT_FreeAll();
  std::memset(g_sprites, 0, sizeof g_sprites);
  std::memset(g_spriteClip, 0, sizeof g_spriteClip);
}

void SPR_SetImage(int sprite, int slot, int layer, int visible, int key) {
  Sprite& s = g_sprites[sprite];
  std::memset(&s, 0, sizeof s);
  s.used = 1;
  s.kind = SPR_KIND_IMAGE;
  s.geometry = SPR_GEOM_PLAIN;
  s.slot = static_cast<uint8_t>(slot);
  s.layer = static_cast<uint8_t>(layer);
  s.visible = static_cast<uint8_t>(visible);
  s.key = key;
  s.red = s.green = s.blue = 128;
  int w, h;
  SlotSize(slot, &w, &h);
  s.w = s.sw = static_cast<int16_t>(w);
  s.h = s.sh = static_cast<int16_t>(h);
}

void SPR_SetFill(int sprite, int kind, int geometry, int layer, int visible) {
  Sprite& s = g_sprites[sprite];
  s.used = 1;
  s.kind = static_cast<uint8_t>(kind);
  s.geometry = static_cast<uint8_t>(geometry);
  s.layer = static_cast<uint8_t>(layer);
  s.visible = static_cast<uint8_t>(visible);
  s.red = s.green = s.blue = 128;
  s.mode = 0;
  s.x = s.y = s.w = s.h = s.sw = s.sh = 0;
  s.clip = nullptr;
}

void SPR_SetGradient(int sprite, int which, int row, int red, int green, int blue) {
  Sprite& s = g_sprites[sprite];
  s.kind = SPR_KIND_GRADIENT;
  if (which == 1) {
    s.sy1 = static_cast<int16_t>(row);
    s.red2 = static_cast<uint8_t>(red);
    s.green2 = static_cast<uint8_t>(green);
    s.blue2 = static_cast<uint8_t>(blue);
  } else {
    s.sy = static_cast<int16_t>(row);
    s.red = static_cast<uint8_t>(red);
    s.green = static_cast<uint8_t>(green);
    s.blue = static_cast<uint8_t>(blue);
  }
}

void SPR_SetSecond(int sprite, int slot, int P) {
  Sprite& s = g_sprites[sprite];
  s.hasSecond = 1;
  s.secondSlot = static_cast<uint8_t>(slot);
  s.secondMode = (static_cast<uint32_t>(P) << 16) + 10;
  s.sx1 = s.sy1 = 0;
  int w, h;
  SlotSize(slot, &w, &h);
  s.w2 = static_cast<int16_t>(w);
  s.h2 = static_cast<int16_t>(h);
}

void SPR_Move(int sprite, int x, int y) {
  Sprite& s = g_sprites[sprite];
  s.x = static_cast<int16_t>(x);
  s.y = static_cast<int16_t>(y);
}

void SPR_SetSource(int sprite, int sx, int sy, int w, int h) {
  Sprite& s = g_sprites[sprite];
  s.sx = static_cast<int16_t>(sx);
  s.sy = static_cast<int16_t>(sy);
  s.sw = static_cast<int16_t>(w);
  s.sh = static_cast<int16_t>(h);
  if (s.geometry == SPR_GEOM_PLAIN) {
    s.w = s.sw;
    s.h = s.sh;
  }
}

void SPR_SetView(int sprite, int x, int y, int sx, int sy, int w, int h) {
  Sprite& s = g_sprites[sprite];
  s.x = static_cast<int16_t>(x);
  s.y = static_cast<int16_t>(y);
  s.sx = static_cast<int16_t>(sx);
  s.sy = static_cast<int16_t>(sy);
  s.geometry = SPR_GEOM_PLAIN;
  s.w = s.sw = static_cast<int16_t>(w);
  s.h = s.sh = static_cast<int16_t>(h);
}

void SPR_SetZoomRect(int sprite, int x, int y, int w, int h) {
  Sprite& s = g_sprites[sprite];
  s.x = static_cast<int16_t>(x);
  s.y = static_cast<int16_t>(y);
  s.w = static_cast<int16_t>(w);
  s.h = static_cast<int16_t>(h);
  s.geometry = SPR_GEOM_ZOOM;
  s.sx = s.sy = 0;
  int pw, ph;
  SlotSize(s.slot, &pw, &ph);
  s.sw = static_cast<int16_t>(pw);
  s.sh = static_cast<int16_t>(ph);
  if (s.w == s.sw && s.h == s.sh) s.geometry = SPR_GEOM_PLAIN;
}

void SPR_SetZoom(int sprite, int zx, int zy, int zoom) {
  Sprite& s = g_sprites[sprite];
  if (zoom < -256) {
    LOG_Write("０％以下にズームできません");
    return;
  }
  if (zoom != 0) {
    s.zoom = static_cast<int16_t>(zoom);
    s.zx = static_cast<int16_t>(zx);
    s.zy = static_cast<int16_t>(zy);
    s.geometry = SPR_GEOM_ZOOM;
  } else {
    s.zoom = 0;
    s.geometry = SPR_GEOM_PLAIN;
  }
}

void SPR_SetQuad(int sprite, int x, int y, int x1, int y1, int x2, int y2, int x3, int y3, int sx,
                 int sy, int sx1, int sy1, int sx2, int sy2, int sx3, int sy3) {
  Sprite& s = g_sprites[sprite];
  s.x = static_cast<int16_t>(x);
  s.y = static_cast<int16_t>(y);
  s.x1 = static_cast<int16_t>(x1);
  s.y1 = static_cast<int16_t>(y1);
  s.x2 = static_cast<int16_t>(x2);
  s.y2 = static_cast<int16_t>(y2);
  s.x3 = static_cast<int16_t>(x3);
  s.y3 = static_cast<int16_t>(y3);
  s.sx = static_cast<int16_t>(sx);
  s.sy = static_cast<int16_t>(sy);
  s.sx1 = static_cast<int16_t>(sx1);
  s.sy1 = static_cast<int16_t>(sy1);
  s.sx2 = static_cast<int16_t>(sx2);
  s.sy2 = static_cast<int16_t>(sy2);
  s.sx3 = static_cast<int16_t>(sx3);
  s.sy3 = static_cast<int16_t>(sy3);
  s.geometry = SPR_GEOM_QUAD;
}

void SPR_Rotate(int sprite, int cx, int cy, int scale, int angle, int sx, int sy, int w, int h) {
  // 64-bit arithmetic: callers never pass values this large, but a wild one
  // must wrap into the 16-bit fields, not overflow.
  const int64_t r = (static_cast<int64_t>(w) * (static_cast<int64_t>(scale) + 256) / 256) / 2;
  const auto S = [&](int64_t c, int k) {
    return static_cast<int>(c + r * kSine.v[(angle + k) & 255] / 4096);
  };
  const auto Add = [](int64_t a, int64_t b) { return static_cast<int>(a + b - 1); };
  SPR_SetQuad(sprite, S(cx, 0), S(cy, 64), S(cx, 64), S(cy, 128), S(cx, 192), S(cy, 0), S(cx, 128),
              S(cy, 192), sx, sy, Add(sx, w), sy, sx, Add(sy, h), Add(sx, w), Add(sy, h));
}

void SPR_SetPosSize(int sprite, int x, int y, int w, int h) {
  Sprite& s = g_sprites[sprite];
  s.x = static_cast<int16_t>(x);
  s.y = static_cast<int16_t>(y);
  s.w = static_cast<int16_t>(w);
  s.h = static_cast<int16_t>(h);
}

void SPR_SetClip(int sprite, int x, int y, int w, int h) {
  if (x < 0) {
    g_sprites[sprite].clip = nullptr;
    return;
  }
  g_spriteClip[sprite] =
      ClipBox{x, y, static_cast<int32_t>(int64_t{x} + w), static_cast<int32_t>(int64_t{y} + h)};
  g_sprites[sprite].clip = &g_spriteClip[sprite];
}

void SPR_SetColour(int sprite, int red, int green, int blue) {
  Sprite& s = g_sprites[sprite];
  s.red = static_cast<uint8_t>(red);
  s.green = static_cast<uint8_t>(green);
  s.blue = static_cast<uint8_t>(blue);
}

void SPR_SetBright(int sprite, int v) {
  SPR_SetColour(sprite, v, v, v);
}

void SPR_SetBlend(int sprite, uint32_t mode) {
  g_sprites[sprite].mode = mode;
}

void SPR_SetTone(int red, int green, int blue) {
  g_tone.r = red;
  g_tone.g = green;
  g_tone.b = blue;
}

void SPR_Show(int sprite, int visible) {
  Sprite& s = g_sprites[sprite];
  if (s.used) s.visible = static_cast<uint8_t>(visible);
}

void SPR_Clear(int sprite) {
  std::memset(&g_sprites[sprite], 0, sizeof(Sprite));
}

void SPR_ClearAll() {
  std::memset(g_sprites, 0, sizeof g_sprites);
  TXT_FreeAll();
  for (int i = 0; i < IMG_SLOTS; ++i) IMG_FreeSlot(i);
}

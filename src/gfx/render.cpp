// The render pass: one blitter call per visible sprite, layer by layer.
#include "gfx/render.h"

#include <cstring>

#include "blit/blit.h"
#include "common/log.h"

namespace {

const ClipBox kScreenClip = {0, 0, SCREEN_W, SCREEN_H};

// Visible records sorted by layer once per frame (a counting sort keeps the
// number order inside each layer), instead of scanning both tables 64 times.
uint16_t g_spriteOrder[SPR_COUNT];
uint16_t g_textOrder[TXT_COUNT];
RND_TextDrawer g_textDrawer = nullptr;
int g_spriteStart[SPR_LAYERS + 1];
int g_textStart[SPR_LAYERS + 1];

template <typename Rec, int N>
void SortByLayer(const Rec (&table)[N], uint16_t* order, int* start) {
  int count[SPR_LAYERS] = {};
  for (int n = 0; n < N; ++n) {
    const Rec& r = table[n];
    if (r.used && r.visible && r.layer < SPR_LAYERS) ++count[r.layer];
  }
  start[0] = 0;
  for (int l = 0; l < SPR_LAYERS; ++l) start[l + 1] = start[l] + count[l];
  int next[SPR_LAYERS];
  std::memcpy(next, start, sizeof next);
  for (int n = 0; n < N; ++n) {
    const Rec& r = table[n];
    if (r.used && r.visible && r.layer < SPR_LAYERS)
      order[next[r.layer]++] = static_cast<uint16_t>(n);
  }
}

void DrawPicture(FImage* target, const Sprite& s) {
  ImageSlot& slot = g_slots[s.slot];
  void* src = nullptr;
  if (slot.format == FMT_B) {
    src = &slot.b;
    if (slot.b.pixels == nullptr) LOG_Write("moke[%d] ", s.slot);
  } else if (slot.format == FMT_F) {
    src = &slot.f;
    if (slot.f.pixels == nullptr) LOG_Write("moke[%d] ", s.slot);
  }

  int x = s.x, y = s.y, w = s.w, h = s.h;
  if (s.zoom != 0) {
    // 64-bit products: 16-bit coordinates times a factor up to 33023.
    const int64_t k = s.zoom + 256;
    const auto Scale = [k](int v, int centre) {
      return static_cast<int>(centre + ((static_cast<int64_t>(v - centre) * k) >> 8));
    };
    const int left = Scale(x, s.zx), top = Scale(y, s.zy);
    const int right = Scale(x + w, s.zx), bottom = Scale(y + h, s.zy);
    x = left;
    y = top;
    w = right - left;
    h = bottom - top;
  }

  BlitParams p{};
  p.dstFormat = FMT_F;
  p.dst = target;
  p.dx = x;
  p.dy = y;
  p.w = w;
  p.h = h;
  p.srcFormat = slot.format;
  p.src = src;
  p.sx = s.sx;
  p.sy = s.sy;
  p.sw = s.sw;
  p.sh = s.sh;
  if (s.hasSecond) {
    ImageSlot& second = g_slots[s.secondSlot];
    p.src2Format = second.format;
    p.src2 = second.format == FMT_F
                 ? static_cast<void*>(&second.f)
                 : (second.format == FMT_B ? static_cast<void*>(&second.b) : nullptr);
    p.s2x = s.sx1;
    p.s2y = s.sy1;
    p.s2w = s.w2;
    p.s2h = s.h2;
  }
  p.colR = s.red;
  p.colG = s.green;
  p.colB = s.blue;
  p.colorKey = s.key;
  p.clip = s.clip ? s.clip : &kScreenClip;
  p.mode = s.mode;
  p.mode2 = s.secondMode;
  p.flags = 0;
  if (s.geometry == SPR_GEOM_QUAD) {
    p.dx = s.x;
    p.dy = s.y;
    p.dq[0][0] = s.x1;
    p.dq[0][1] = s.y1;
    p.dq[1][0] = s.x2;
    p.dq[1][1] = s.y2;
    p.dq[2][0] = s.x3;
    p.dq[2][1] = s.y3;
    p.sq[0][0] = s.sx1;
    p.sq[0][1] = s.sy1;
    p.sq[1][0] = s.sx2;
    p.sq[1][1] = s.sy2;
    p.sq[2][0] = s.sx3;
    p.sq[2][1] = s.sy3;
  }

  if (slot.format != FMT_B && slot.format != FMT_F) {
    LOG_Write("画像と画面モードが合いません。");
    return;
  }
  const bool isB = slot.format == FMT_B;
  switch (s.geometry) {
    case SPR_GEOM_PLAIN:
      if (s.hasSecond && !isB) {
        if (g_slots[s.secondSlot].format == FMT_F) {
          DRW_DrawBMP_FTT_F(p);
        } else {
          DRW_DrawBMP_FTT(p);
        }
      } else if (isB) {
        DRW_DrawBMP_FB(p);
      } else {
        DRW_DrawBMP_FF(p);
      }
      break;
    case SPR_GEOM_ZOOM:
      if (isB) {
        DRW_DrawZOOM_FB(p);
      } else {
        DRW_DrawZOOM_FF(p);
      }
      break;
    case SPR_GEOM_QUAD:
      if (isB) {
        DRW_DrawQuad_FB(p);
      } else {
        DRW_DrawQuad_FF(p);
      }
      break;
    default:
      break;
  }
}

void DrawRectangle(FImage* target, const Sprite& s) {
  const ClipBox* clip = s.clip ? s.clip : &kScreenClip;
  const int r = RND_ToneComponent(s.red, g_tone.r);
  const int g = RND_ToneComponent(s.green, g_tone.g);
  const int b = RND_ToneComponent(s.blue, g_tone.b);
  if (s.kind == SPR_KIND_GRADIENT) {
    const int r2 = RND_ToneComponent(s.red2, g_tone.r);
    const int g2 = RND_ToneComponent(s.green2, g_tone.g);
    const int b2 = RND_ToneComponent(s.blue2, g_tone.b);
    const int corners[4][2] = {
        {s.x, s.y}, {s.x + s.w, s.y}, {s.x, s.y + s.h - 1}, {s.x + s.w, s.y + s.h - 1}};
    PRM_DrawVQuad(target, corners, clip, s.sy, r, g, b, s.sy1, r2, g2, b2, s.mode);
    return;
  }
  BlitParams p{};
  p.dstFormat = FMT_F;
  p.dst = target;
  p.dx = s.x;
  p.dy = s.y;
  p.w = s.w;
  p.h = s.h;
  p.colR = r;
  p.colG = g;
  p.colB = b;
  p.clip = clip;
  p.mode = s.mode;
  PRM_DrawRect_F(p);
}

}  // namespace

int RND_ToneComponent(int c, int t) {
  const int64_t f = t;
  int64_t v = f <= 128 ? (f * c) / 128 : c + ((255 - c) * (f - 128)) / 128;
  // Factors outside 0..255 must not wrap the byte.
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<int>(v);
}

void RND_SetTextDrawer(RND_TextDrawer drawer) {
  g_textDrawer = drawer;
}

void RND_Frame(FImage* target, int depth) {
  (void)depth;  // the frame is always composed in F
  SortByLayer(g_sprites, g_spriteOrder, g_spriteStart);
  SortByLayer(g_texts, g_textOrder, g_textStart);
  for (int layer = 0; layer < SPR_LAYERS; ++layer) {
    for (int i = g_spriteStart[layer]; i < g_spriteStart[layer + 1]; ++i) {
      const Sprite& s = g_sprites[g_spriteOrder[i]];
      if (s.kind == SPR_KIND_IMAGE) {
        DrawPicture(target, s);
      } else {
        DrawRectangle(target, s);
      }
    }
    for (int i = g_textStart[layer]; i < g_textStart[layer + 1]; ++i) {
      TextRecord* t = &g_texts[g_textOrder[i]];
      if (g_textDrawer) {
        if (t->text) g_textDrawer(target, t);
      } else {
        TXT_DrawRecord(target, t, g_tone.r, g_tone.g, g_tone.b);
      }
    }
  }
}

void RND_Reset() {
  g_textDrawer = nullptr;
}

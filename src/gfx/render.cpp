// The render pass: one blitter call per visible sprite, layer by layer.
#include "gfx/render.h"

#include <algorithm>
#include <bit>
#include <climits>
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

// Where a plain or zoomed picture goes: its rectangle scaled about (zx, zy).
void PictureRect(const Sprite& s, int* x, int* y, int* w, int* h) {
  *x = s.x, *y = s.y, *w = s.w, *h = s.h;
  if (s.zoom == 0) return;
  // 64-bit products: 16-bit coordinates times a factor up to 33023.
  const int64_t k = s.zoom + 256;
  const auto Scale = [k](int v, int centre) {
    return static_cast<int>(centre + ((static_cast<int64_t>(v - centre) * k) >> 8));
  };
  const int left = Scale(s.x, s.zx), top = Scale(s.y, s.zy);
  const int right = Scale(s.x + s.w, s.zx), bottom = Scale(s.y + s.h, s.zy);
  *x = left;
  *y = top;
  *w = right - left;
  *h = bottom - top;
}

void DrawPicture(FImage* target, const Sprite& s, const ClipBox* clip) {
  ImageSlot& slot = g_slots[s.slot];
  void* src = nullptr;
  if (slot.format == FMT_B) {
    src = &slot.b;
    if (slot.b.pixels == nullptr) LOG_Write("moke[%d] ", s.slot);
  } else if (slot.format == FMT_F) {
    src = &slot.f;
    if (slot.f.pixels == nullptr) LOG_Write("moke[%d] ", s.slot);
  }

  int x, y, w, h;
  PictureRect(s, &x, &y, &w, &h);

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
  p.clip = clip;
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

void DrawRectangle(FImage* target, const Sprite& s, const ClipBox* clip) {
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

// Drawing again only what changed. The back buffer keeps the last frame, so
// a pixel that no changed record can touch keeps its value: the records that
// cover it are the same, in the same order, drawn over the same picture
// (which holds only where something opaque covers the whole frame first).
// The pass keeps what it drew (each sprite record with its clip box and the
// part of the screen it can touch, each text record with its text and the
// box of its glyphs), compares this frame's records with those in drawing
// order and draws the part the differing ones touched before or touch now,
// every record clipped to it. What the comparison cannot see draws the whole
// frame: pictures loaded or freed, the tone, the default clip, another
// target, a text drawer of the tests, or a caller that drew over the frame.
// The changed boxes are gathered into parts that do not overlap, on a grid
// of tiles, so that creatures moving over a wide pond redraw and send only
// the ground around them, not the box around all of them.
struct Drawn {
  Sprite sprite;
  ClipBox clip;  // the record's clip box, or the screen
  ClipBox box;   // the part of the target it can draw into
};

struct DrawnText {
  TextRecord record;
  char text[TXT_BUFFER_SIZE];
  ClipBox box;  // where its glyphs go
};

struct RenderState {
  Drawn drawn[2][SPR_COUNT];  // this frame's records and the last frame's, in drawing order
  int drawnCount[2] = {};
  int current = 0;
  DrawnText texts[TXT_COUNT];
  int textCount = 0;
  GlobalToneT tone{};
  ClipBox defaultClip{};
  uint32_t images = 0;
  const uint8_t* pixels = nullptr;
  int width = 0, height = 0;
  bool valid = false;  // the fields above describe the target's picture
  // The changed boxes, marked on a grid of tiles: a bit per tile, a word per
  // row of tiles (when the target fits the grid).
  uint64_t tiles[64];
  bool tiled = false;
  ClipBox bound{};           // the box around every changed one
  ClipBox parts[RND_PARTS];  // what the last frame drew, disjoint
  int partCount = 0;
  ClipBox changed{};  // the box around them
};
RenderState g_rnd;

// The grid is coarse enough that the parts stay few and each costs a pass
// over the records, and fine enough that the ground between creatures
// spread over a pond is left alone.
constexpr int kTile = 16;
constexpr int kTileRows = 64, kTileCols = 64;

// The parts are drawn apart only when they cover at most this share of the
// box around them (3/4).
constexpr int64_t kPartsWorth[2] = {3, 4};

int64_t Area(const ClipBox& b) {
  return BLT_BoxIsEmpty(b) ? 0 : int64_t{b.right - b.left} * (b.bottom - b.top);
}

void MarkChanged(const ClipBox& b) {
  RenderState& r = g_rnd;
  if (BLT_BoxIsEmpty(b)) return;
  BLT_BoxExtend(&r.bound, b);
  if (!r.tiled) return;
  // Boxes lie inside the target, which fits the grid.
  const int c0 = b.left / kTile, c1 = (b.right - 1) / kTile;
  const uint64_t run = c1 - c0 + 1 == kTileCols ? ~uint64_t{0} : (uint64_t{1} << (c1 - c0 + 1)) - 1;
  for (int y = b.top / kTile; y <= (b.bottom - 1) / kTile; ++y) r.tiles[y] |= run << c0;
}

// The marked tiles as parts: each row's runs of tiles, a run going on down
// while the rows below have the same one, each part cut to the box around
// the changes. More parts than RND_PARTS, or parts that leave little of that
// box out: the box alone.
void GatherParts(const ClipBox& whole) {
  RenderState& r = g_rnd;
  r.partCount = 0;
  if (BLT_BoxIsEmpty(r.bound)) return;
  struct Run {
    int c0, c1, part;
  };
  Run above[kTileCols / 2 + 1], row[kTileCols / 2 + 1];
  int aboveCount = 0;
  const int rows = r.tiled ? (whole.bottom + kTile - 1) / kTile : 0;
  for (int y = 0; y < rows; ++y) {
    int rowCount = 0;
    for (uint64_t m = r.tiles[y]; m != 0;) {
      const int c0 = std::countr_zero(m);
      const int c1 = c0 + std::countr_one(m >> c0);
      m &= c1 == kTileCols ? 0 : ~uint64_t{0} << c1;
      int part = -1;
      for (int i = 0; i < aboveCount && part < 0; ++i)
        if (above[i].c0 == c0 && above[i].c1 == c1) part = above[i].part;
      if (part >= 0) {
        r.parts[part].bottom = (y + 1) * kTile;
      } else if (r.partCount == RND_PARTS) {
        r.parts[0] = r.bound;
        r.partCount = 1;
        return;
      } else {
        part = r.partCount++;
        r.parts[part] = {c0 * kTile, y * kTile, c1 * kTile, (y + 1) * kTile};
      }
      row[rowCount++] = {c0, c1, part};
    }
    std::copy(row, row + rowCount, above);
    aboveCount = rowCount;
  }
  if (!r.tiled) r.parts[r.partCount++] = r.bound;
  int64_t area = 0;
  for (int i = 0; i < r.partCount; ++i) {
    r.parts[i] = BLT_BoxIntersect(r.parts[i], r.bound);
    area += Area(r.parts[i]);
  }
  // Each part costs every record in it its set-up again.
  if (area * kPartsWorth[1] > Area(r.bound) * kPartsWorth[0]) {
    r.parts[0] = r.bound;
    r.partCount = 1;
  }
}

bool SameSprite(const Drawn& a, const Drawn& b) {
  return std::memcmp(&a.sprite, &b.sprite, sizeof a.sprite) == 0 && BLT_BoxEqual(a.clip, b.clip);
}

// A margin around every box. The boxes are exact for every blitter the
// render test tries; the margin keeps a rounding case it never met at a
// zoomed or turned picture's edge inside them, for a few pixels more.
constexpr int kBoxMargin = 2;

// The part of the target a sprite can draw into: its corners' box, in its
// clip box and the target.
ClipBox BoxOf(const Sprite& s, const ClipBox& clip, const FImage* target) {
  int64_t x0, y0, x1, y1;
  if (s.kind == SPR_KIND_IMAGE && s.geometry == SPR_GEOM_QUAD) {
    const int xs[4] = {s.x, s.x1, s.x2, s.x3}, ys[4] = {s.y, s.y1, s.y2, s.y3};
    x0 = *std::min_element(xs, xs + 4), x1 = *std::max_element(xs, xs + 4);
    y0 = *std::min_element(ys, ys + 4), y1 = *std::max_element(ys, ys + 4);
  } else {
    int x = s.x, y = s.y, w = s.w, h = s.h;
    if (s.kind == SPR_KIND_IMAGE) PictureRect(s, &x, &y, &w, &h);
    x0 = std::min<int64_t>(x, int64_t{x} + w), x1 = std::max<int64_t>(x, int64_t{x} + w);
    y0 = std::min<int64_t>(y, int64_t{y} + h), y1 = std::max<int64_t>(y, int64_t{y} + h);
  }
  const auto Limit = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
  };
  const ClipBox corners = {Limit(x0 - kBoxMargin), Limit(y0 - kBoxMargin),
                           Limit(x1 + kBoxMargin + 1), Limit(y1 + kBoxMargin + 1)};
  return BLT_BoxIntersect(BLT_BoxIntersect(corners, clip), {0, 0, target->width, target->height});
}

// Whether a record sets every pixel of the target without reading it: an
// opaque fill or an opaque 1:1 picture over all of it, unclipped. A frame
// without one builds on the last frame's pixels wherever nothing opaque
// covers them (adding a colour to itself, say), so it is drawn whole.
bool CoversTarget(const Sprite& s, const ClipBox& clip, const FImage* target) {
  const int32_t w = target->width, h = target->height;
  if (s.mode != 0 || clip.left > 0 || clip.top > 0 || clip.right < w || clip.bottom < h)
    return false;
  const bool box = s.x <= 0 && s.y <= 0 && s.x + s.w >= w && s.y + s.h >= h;
  if (s.kind == SPR_KIND_FILL) return box;
  if (s.kind != SPR_KIND_IMAGE || s.geometry != SPR_GEOM_PLAIN || s.zoom != 0 || s.hasSecond ||
      s.key != -1 || !box || s.w != s.sw || s.h != s.sh) {
    return false;
  }
  const ImageSlot& slot = g_slots[s.slot];
  int iw = 0, ih = 0;
  if (slot.format == FMT_F && slot.f.pixels) {
    iw = slot.f.width, ih = slot.f.height;
  } else if (slot.format == FMT_B && slot.b.pixels && slot.b.palette) {
    iw = slot.b.width, ih = slot.b.height;
  } else {
    return false;
  }
  // The source columns and rows that land on the target, inside the picture.
  const int64_t u = int64_t{s.sx} - s.x, v = int64_t{s.sy} - s.y;
  return u >= 0 && v >= 0 && u + w <= iw && v + h <= ih;
}

bool SameText(const TextRecord& t, const DrawnText& d) {
  const TextRecord& r = d.record;
  if (t.visible != r.visible || t.layer != r.layer || t.size != r.size ||
      t.colourIndex != r.colourIndex || t.keepTone != r.keepTone || t.alpha != r.alpha ||
      t.shadow != r.shadow || t.reveal != r.reveal || t.x != r.x || t.y != r.y ||
      t.width != r.width || t.lines != r.lines || t.charSpacing != r.charSpacing ||
      t.lineSpacing != r.lineSpacing || t.page != r.page || t.clip != r.clip ||
      (t.text == nullptr) != (r.text == nullptr)) {
    return false;
  }
  return !t.text || std::strncmp(t.text, d.text, TXT_BUFFER_SIZE) == 0;
}

void KeepText(const TextRecord& t, DrawnText* d) {
  d->record = t;
  d->text[0] = 0;
  if (t.text) {
    std::strncpy(d->text, t.text, TXT_BUFFER_SIZE - 1);
    d->text[TXT_BUFFER_SIZE - 1] = 0;
  }
}

// Records this frame's sprites and texts and gathers the parts of the target
// to draw: the whole of it, some parts, or none. Returns whether it is the
// whole.
bool ChangedParts(const FImage* target) {
  RenderState& r = g_rnd;
  r.partCount = 0;
  r.bound = {0, 0, 0, 0};
  r.tiled = target->width <= kTileCols * kTile && target->height <= kTileRows * kTile;
  if (r.tiled) std::memset(r.tiles, 0, sizeof r.tiles);
  const ClipBox whole = {0, 0, target->width, target->height};
  r.current ^= 1;
  Drawn* now = r.drawn[r.current];
  int count = 0;
  for (int layer = 0; layer < SPR_LAYERS; ++layer) {
    for (int i = g_spriteStart[layer]; i < g_spriteStart[layer + 1]; ++i) {
      const Sprite& s = g_sprites[g_spriteOrder[i]];
      Drawn& d = now[count++];
      d.sprite = s;
      d.clip = s.clip ? *s.clip : kScreenClip;
      d.box = BoxOf(s, d.clip, target);
    }
  }
  r.drawnCount[r.current] = count;
  bool covered = false;
  for (int i = 0; i < count && !covered; ++i)
    covered = CoversTarget(now[i].sprite, now[i].clip, target);
  bool all = !covered || !r.valid || g_textDrawer || target->pixels != r.pixels ||
             target->width != r.width || target->height != r.height ||
             IMG_Generation() != r.images || g_tone.r != r.tone.r || g_tone.g != r.tone.g ||
             g_tone.b != r.tone.b || !BLT_BoxEqual(g_defaultClip, r.defaultClip);
  // Texts compare like sprites; a changed one is laid out once more first,
  // for the box its glyphs will take.
  int texts = 0;
  for (int layer = 0; layer < SPR_LAYERS; ++layer) {
    for (int i = g_textStart[layer]; i < g_textStart[layer + 1]; ++i, ++texts) {
      const TextRecord& t = g_texts[g_textOrder[i]];
      DrawnText& d = r.texts[texts];
      if (texts < r.textCount && SameText(t, d)) continue;
      if (texts < r.textCount && !all) MarkChanged(d.box);
      KeepText(t, &d);
      // A test's drawer may draw anywhere.
      d.box = g_textDrawer ? whole : BLT_BoxIntersect(TXT_RecordBounds(&t), whole);
      if (!all) MarkChanged(d.box);
    }
  }
  for (int i = texts; i < r.textCount && !all; ++i) MarkChanged(r.texts[i].box);
  r.textCount = texts;
  r.valid = true;
  r.pixels = target->pixels;
  r.width = target->width;
  r.height = target->height;
  r.images = IMG_Generation();
  r.tone = g_tone;
  r.defaultClip = g_defaultClip;
  if (all) {
    r.parts[0] = whole;
    r.partCount = 1;
    return true;
  }
  const Drawn* last = r.drawn[r.current ^ 1];
  const int lastCount = r.drawnCount[r.current ^ 1];
  for (int i = 0; i < std::max(count, lastCount); ++i) {
    if (i < count && i < lastCount && SameSprite(now[i], last[i])) continue;
    if (i < count) MarkChanged(now[i].box);
    if (i < lastCount) MarkChanged(last[i].box);
  }
  GatherParts(whole);
  return false;
}

// Draws every record that can touch the part, clipped to it (the whole
// target: unclipped).
void DrawPart(FImage* target, const ClipBox& part, bool whole) {
  const Drawn* drawn = g_rnd.drawn[g_rnd.current];
  int n = 0, texts = 0;
  for (int layer = 0; layer < SPR_LAYERS; ++layer) {
    for (int i = g_spriteStart[layer]; i < g_spriteStart[layer + 1]; ++i, ++n) {
      const Sprite& s = g_sprites[g_spriteOrder[i]];
      const ClipBox* clip = s.clip ? s.clip : &kScreenClip;
      ClipBox narrowed;
      if (!whole) {
        narrowed = BLT_BoxIntersect(drawn[n].clip, part);
        if (BLT_BoxIsEmpty(BLT_BoxIntersect(drawn[n].box, part))) continue;
        clip = &narrowed;
      }
      if (s.kind == SPR_KIND_IMAGE) {
        DrawPicture(target, s, clip);
      } else {
        DrawRectangle(target, s, clip);
      }
    }
    for (int i = g_textStart[layer]; i < g_textStart[layer + 1]; ++i, ++texts) {
      TextRecord* t = &g_texts[g_textOrder[i]];
      if (g_textDrawer) {
        if (t->text) g_textDrawer(target, t);
      } else if (whole) {
        TXT_DrawRecord(target, t, g_tone.r, g_tone.g, g_tone.b, nullptr);
      } else if (!BLT_BoxIsEmpty(BLT_BoxIntersect(g_rnd.texts[texts].box, part))) {
        TXT_DrawRecord(target, t, g_tone.r, g_tone.g, g_tone.b, &part);
      }
    }
  }
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
  const bool whole = ChangedParts(target);
  g_rnd.changed = {0, 0, 0, 0};
  for (int i = 0; i < g_rnd.partCount; ++i) {
    BLT_BoxExtend(&g_rnd.changed, g_rnd.parts[i]);
    DrawPart(target, g_rnd.parts[i], whole);
  }
}

ClipBox RND_Changed() {
  return g_rnd.changed;
}

int RND_ChangedParts(const ClipBox** parts) {
  *parts = g_rnd.parts;
  return g_rnd.partCount;
}

void RND_Invalidate() {
  g_rnd.valid = false;
}

void RND_Reset() {
  g_textDrawer = nullptr;
  g_rnd.valid = false;
  g_rnd.changed = {};
  g_rnd.partCount = 0;
}

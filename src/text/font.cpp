// Glyph drawing on the platform's rasterizer, with a cache of reduced
// coverage so that a message redrawn every frame costs only its blends.
#include "text/font.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "common/log.h"
#include "common/msg.h"
#include "platform/plt_glyph.h"

namespace {

// A few hundred characters: a message window and its captions use far fewer,
// so a scene's text is rendered once and then served from here.
constexpr int kCacheCapacity = 384;
constexpr int kMaxCells = FNT_MAX_SIZE * FNT_MAX_SIZE;

struct CoverageEntry {
  uint32_t key;  // code | size << 16
  int width;     // -1: empty entry
  int prev, next;
  uint16_t sums[kMaxCells];
};

struct FontState {
  std::vector<uint32_t> canvas;  // FNT_CANVAS_SIZE squared, blue green red 0
  std::vector<CoverageEntry> entries;
  std::unordered_map<uint32_t, int> index;
  int head = -1, tail = -1;  // most and least recently used
  int used = 0;
  bool cacheEnabled = true;
  bool fontWarned = false;
  bool sizeLogged = false;
  FntCacheStats stats{};
  uint16_t scratch[kMaxCells];  // coverage when the cache is off
};

FontState g_font;

void Unlink(int e) {
  CoverageEntry& c = g_font.entries[e];
  if (c.prev >= 0)
    g_font.entries[c.prev].next = c.next;
  else
    g_font.head = c.next;
  if (c.next >= 0)
    g_font.entries[c.next].prev = c.prev;
  else
    g_font.tail = c.prev;
  c.prev = c.next = -1;
}

void PushFront(int e) {
  CoverageEntry& c = g_font.entries[e];
  c.prev = -1;
  c.next = g_font.head;
  if (g_font.head >= 0) g_font.entries[g_font.head].prev = e;
  g_font.head = e;
  if (g_font.tail < 0) g_font.tail = e;
}

void PushBack(int e) {
  CoverageEntry& c = g_font.entries[e];
  c.next = -1;
  c.prev = g_font.tail;
  if (g_font.tail >= 0) g_font.entries[g_font.tail].next = e;
  g_font.tail = e;
  if (g_font.head < 0) g_font.head = e;
}

bool EnsureCanvas() {
  if (g_font.canvas.empty()) g_font.canvas.assign(FNT_CANVAS_SIZE * FNT_CANVAS_SIZE, 0);
  return true;
}

// Renders code at 4 x size and sums the blue bytes of each 4 x 4 block.
// Returns the cell width, or -1 when no glyph could be made.
int Render(uint32_t code, int size, uint16_t* sums) {
  EnsureCanvas();
  const int width = code < 256 ? size / 2 : size;
  uint32_t* canvas = g_font.canvas.data();
  int r = PLT_GlyphRenderSjis(code, 4 * size, canvas, FNT_CANVAS_SIZE, FNT_CANVAS_SIZE);
  if (r == 0) {
    // Shown once: the font is missing for the whole run, and a box per
    // character of every frame would leave the player nothing but boxes.
    if (!g_font.fontWarned) {
      g_font.fontWarned = true;
      MSG_Error(nullptr, "フォント作成に失敗しました");
    }
    return -1;
  }
  if (r < 0) LOG_Write("フォント生成失敗\n");
  for (int j = 0; j < size; ++j) {
    for (int i = 0; i < width; ++i) {
      const uint32_t* block = canvas + (4 * j) * FNT_CANVAS_SIZE + 4 * i;
      unsigned s = 0;
      for (int by = 0; by < 4; ++by) {
        const uint32_t* row = block + by * FNT_CANVAS_SIZE;
        s += (row[0] & 0xFF) + (row[1] & 0xFF) + (row[2] & 0xFF) + (row[3] & 0xFF);
      }
      sums[j * width + i] = static_cast<uint16_t>(s);
    }
  }
  return width;
}

// White: the brightening half of the colour scale, k = S / 32 scaled by the
// opacity. Zero coverage leaves the pixel as it is, so it is skipped.
void BlendWhite(FImage* t, const ClipBox& lim, int x, int y, int w, int h, const uint16_t* sums,
                int opacity) {
  for (int j = 0; j < h; ++j) {
    const int ty = y + j;
    if (ty < lim.top || ty >= lim.bottom) continue;
    uint8_t* row = t->pixels + static_cast<size_t>(ty) * t->width * 3;
    const uint16_t* s = sums + j * w;
    for (int i = 0; i < w; ++i) {
      const int tx = x + i;
      if (s[i] == 0 || tx < lim.left || tx >= lim.right) continue;
      const int k = opacity >= 256 ? s[i] / 32 : (s[i] / 32) * opacity / 256;
      const uint8_t* scale = ColorScaleTable + (128 + k) * 256;
      uint8_t* p = row + tx * 3;
      p[0] = scale[p[0]];
      p[1] = scale[p[1]];
      p[2] = scale[p[2]];
    }
  }
}

// Any other colour: (255 - k) x c / 256 + k x v / 256 with k = opacity x S /
// 4096. Even k = 0 scales c by 255 / 256, so every pixel of the cell counts.
// The products are those of the multiplication table, computed in place so
// the loop vectorises.
void BlendColour(FImage* t, const ClipBox& lim, int x, int y, int w, int h, const uint16_t* sums,
                 int opacity, const int v[3]) {
  const int i0 = x < lim.left ? lim.left - x : 0;
  const int i1 = x + w > lim.right ? lim.right - x : w;
  if (i0 >= i1) return;
  const int n = (i1 - i0) * 3;
  // One weight per byte, so that the blend runs over the row's bytes in one
  // loop the compiler can vectorise.
  uint16_t kk[FNT_MAX_SIZE * 3], vv[FNT_MAX_SIZE * 3];
  for (int b = 0; b < n; ++b) vv[b] = static_cast<uint16_t>(v[b % 3]);
  for (int j = 0; j < h; ++j) {
    const int ty = y + j;
    if (ty < lim.top || ty >= lim.bottom) continue;
    uint8_t* p = t->pixels + (static_cast<size_t>(ty) * t->width + x + i0) * 3;
    const uint16_t* s = sums + j * w + i0;
    for (int i = 0; i < i1 - i0; ++i) {
      const uint16_t k = static_cast<uint16_t>((static_cast<unsigned>(opacity) * s[i]) >> 12);
      kk[3 * i] = kk[3 * i + 1] = kk[3 * i + 2] = k;
    }
    for (int b = 0; b < n; ++b) {
      const unsigned k = kk[b];
      p[b] = static_cast<uint8_t>((((255 - k) * p[b]) >> 8) + ((k * vv[b]) >> 8));
    }
  }
}

// Draws inside lim only: the target's bounds, narrowed by a clip box.
void Blend(FImage* t, const ClipBox& lim, int x, int y, int w, int h, const uint16_t* sums, int r,
           int g, int b, int opacity) {
  if (r == 255 && g == 255 && b == 255) {
    BlendWhite(t, lim, x, y, w, h, sums, opacity);
  } else {
    const int v[3] = {b, g, r};
    BlendColour(t, lim, x, y, w, h, sums, opacity, v);
  }
}

int Clamp255(int v) {
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

}  // namespace

int FNT_CreateCanvas() {
  return EnsureCanvas() ? 1 : 0;
}

void FNT_DeleteCanvas() {
  g_font.canvas.clear();
  g_font.canvas.shrink_to_fit();
}

int FNT_Coverage(uint32_t code, int size, const uint16_t** sums) {
  if (size <= 0 || size > FNT_MAX_SIZE || code >= 0x10000) return -1;
  if (!g_font.cacheEnabled) {
    *sums = g_font.scratch;
    return Render(code, size, g_font.scratch);
  }
  if (g_font.entries.empty()) {
    g_font.entries.resize(kCacheCapacity);
    for (CoverageEntry& e : g_font.entries) e.width = -1, e.prev = e.next = -1;
    g_font.index.reserve(kCacheCapacity * 2);
  }
  const uint32_t key = code | static_cast<uint32_t>(size) << 16;
  auto it = g_font.index.find(key);
  if (it != g_font.index.end()) {
    ++g_font.stats.hits;
    if (g_font.head != it->second) {
      Unlink(it->second);
      PushFront(it->second);
    }
    *sums = g_font.entries[it->second].sums;
    return g_font.entries[it->second].width;
  }
  ++g_font.stats.misses;
  int e;
  if (g_font.used < kCacheCapacity) {
    e = g_font.used++;
  } else {
    e = g_font.tail;
    Unlink(e);
    g_font.index.erase(g_font.entries[e].key);
    ++g_font.stats.evictions;
  }
  CoverageEntry& c = g_font.entries[e];
  c.width = Render(code, size, c.sums);
  if (c.width < 0) {
    // Nothing to keep: the entry goes last, the next to be reused.
    c.key = 0xFFFFFFFFu;
    PushBack(e);
    return -1;
  }
  c.key = key;
  g_font.index[key] = e;
  PushFront(e);
  *sums = c.sums;
  return c.width;
}

int FNT_DrawChar(FImage* target, int depth, int x, int y, uint32_t code, int size,
                 const ClipBox* clip, int r, int g, int b, int opacity, int shadow) {
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    LOG_Write("フォント描画先指定が異常です\n");
    return 0;
  }
  if (size > FNT_MAX_SIZE) {
    if (!g_font.sizeLogged) {
      g_font.sizeLogged = true;
      LOG_Write("FNT_DrawChar: 文字サイズ %d は %d を超えるため描画しません\n", size, FNT_MAX_SIZE);
    }
    return 0;
  }
  if (size <= 0 || code >= 0x10000) return 1;  // nothing to output
  const uint16_t* sums = nullptr;
  const int w = FNT_Coverage(code, size, &sums);
  if (w < 0) return 0;
  if (depth != 24 || !target || !target->pixels || opacity <= 0) return 1;
  if (opacity > 256) opacity = 256;
  // Counted whether or not the clip leaves anything: the replay tells the
  // frames that show text by it.
  ++g_font.stats.draws;
  ClipBox lim = {0, 0, target->width, target->height};
  if (clip) lim = BLT_BoxIntersect(lim, *clip);
  if (BLT_BoxIsEmpty(lim)) return 1;
  if (shadow != 0) Blend(target, lim, x + shadow, y + shadow, w, size, sums, 0, 0, 0, opacity);
  Blend(target, lim, x, y, w, size, sums, Clamp255(r), Clamp255(g), Clamp255(b), opacity);
  return 1;
}

void FNT_DrawString(FImage* target, int depth, int x, int y, int charSpacing, int lineSpacing,
                    const char* text, int size, const ClipBox* clip, int r, int g, int b,
                    int opacity, int shadow) {
  if (!target || !text) return;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const int startX = x;
  while (*p) {
    const unsigned c = *p;
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEA) || c == 0xF0) {
      if (p[1] == 0) break;  // a lead byte without its second byte
      const uint32_t code = c | static_cast<uint32_t>(p[1]) << 8;
      if (FNT_DrawChar(target, depth, x, y, code, size, clip, r, g, b, opacity, shadow)) {
        x += charSpacing + size;
      }
      p += 2;
    } else if ((c >= 0x21 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF)) {
      if (FNT_DrawChar(target, depth, x, y, c, size, clip, r, g, b, opacity, shadow)) {
        x += charSpacing + size / 2;
      }
      ++p;
    } else {
      if (c == '\n') {
        x = startX;
        y += lineSpacing + size;
      }
      ++p;
    }
  }
}

FntCacheStats FNT_CacheStats() {
  FntCacheStats s = g_font.stats;
  s.entries = g_font.used;
  s.capacity = kCacheCapacity;
  return s;
}

void FNT_SetCacheEnabled(int enabled) {
  g_font.cacheEnabled = enabled != 0;
}

void FNT_ClearCache() {
  g_font.entries.clear();
  g_font.entries.shrink_to_fit();
  g_font.index.clear();
  g_font.head = g_font.tail = -1;
  g_font.used = 0;
  g_font.stats = FntCacheStats{};
}

void FNT_Reset() {
  FNT_ClearCache();
  FNT_DeleteCanvas();
  g_font.cacheEnabled = true;
  g_font.fontWarned = false;
  g_font.sizeLogged = false;
}

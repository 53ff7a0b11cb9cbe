// The glyph front the rasterizers share: cache, checks and drawing.
#include "platform/glyph_front.h"

#include <cstddef>
#include <cstring>

#include "platform/plt_glyph.h"

namespace {

// Larger requests are refused rather than handed to a rasterizer, which
// would allocate a picture of that size for nothing a canvas could hold.
constexpr int kMaxPixelHeight = 1024;
constexpr uint32_t kLastCodepoint = 0x10FFFF;

// A drawn glyph kept for reuse: the text engine draws the same characters at
// the same sizes frame after frame.
struct CachedGlyph {
  uint32_t cp = 0;
  int height = 0;  // 0: empty slot
  PltGlyphImage image;
};

constexpr int kCacheSlots = 256;

struct GlyphFront {
  CachedGlyph cache[kCacheSlots];
};

GlyphFront g_front;

CachedGlyph& CacheSlot(uint32_t cp, int h) {
  uint32_t key = cp * 2654435761u ^ static_cast<uint32_t>(h) * 40503u;
  return g_front.cache[(key >> 8) % kCacheSlots];
}

// Draws the coverage with its top-left at (left, top), clipped to the
// canvas, keeping the brighter value where it meets what the canvas holds,
// so that the neighbouring glyphs of a line do not cut into each other.
void Blit(const PltGlyphImage& g, uint32_t* canvas, int cw, int ch, int left, int top) {
  for (int row = 0; row < g.rows; ++row) {
    const int ty = top + row;
    if (ty < 0 || ty >= ch) continue;
    const uint8_t* src = g.grey.data() + static_cast<size_t>(row) * static_cast<size_t>(g.width);
    uint32_t* dst = canvas + static_cast<size_t>(ty) * static_cast<size_t>(cw);
    for (int col = 0; col < g.width; ++col) {
      const int tx = left + col;
      if (tx < 0 || tx >= cw) continue;
      const uint32_t v = src[col];
      if (v > (dst[tx] & 0xFF)) dst[tx] = v | (v << 8) | (v << 16);
    }
  }
}

// Draws cp with the top of its cell at (x, y); returns the advance or 0.
int RenderCodepoint(uint32_t cp, int h, uint32_t* canvas, int cw, int ch, int x, int y,
                    bool* failed) {
  *failed = false;
  if (!PLT_RasterOpen()) return 0;
  if (h <= 0 || h > kMaxPixelHeight) {
    *failed = true;
    return 0;
  }
  // Control characters and what is no character draw nothing.
  if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || (cp >= 0xD800 && cp < 0xE000) ||
      cp > kLastCodepoint) {
    return 0;
  }
  CachedGlyph& g = CacheSlot(cp, h);
  if (g.height != h || g.cp != cp) {
    g = CachedGlyph{};
    if (!PLT_RasterGlyph(cp, h, &g.image) ||
        g.image.grey.size() < static_cast<size_t>(g.image.width) * static_cast<size_t>(g.image.rows)) {
      g = CachedGlyph{};
      *failed = true;
      return 0;
    }
    g.cp = cp;
    g.height = h;
  }
  if (canvas && cw > 0 && ch > 0) Blit(g.image, canvas, cw, ch, x + g.image.left, y + g.image.top);
  return g.image.advance;
}

}  // namespace

int PLT_GlyphRenderSjis(uint32_t code, int pixelHeight, uint32_t* canvas, int canvasWidth,
                        int canvasHeight) {
  if (canvas && canvasWidth > 0 && canvasHeight > 0) {
    std::memset(canvas, 0,
                static_cast<size_t>(canvasWidth) * static_cast<size_t>(canvasHeight) * 4u);
  }
  if (!PLT_RasterOpen()) return 0;
  uint32_t cp = 0;
  // A code the code page does not know draws nothing, as the system's text
  // output would draw no known glyph for it.
  if (code >= 0x10000 || !PLT_RasterSjis(code, &cp)) return 1;
  bool failed = false;
  RenderCodepoint(cp, pixelHeight, canvas, canvasWidth, canvasHeight, 0, 0, &failed);
  return failed ? -1 : 1;
}

int PLT_GlyphRenderCodepoint(uint32_t cp, int pixelHeight, uint32_t* canvas, int canvasWidth,
                             int canvasHeight, int x, int y) {
  bool failed = false;
  return RenderCodepoint(cp, pixelHeight, canvas, canvasWidth, canvasHeight, x, y, &failed);
}

void PLT_GlyphShutdown() {
  g_front = GlyphFront{};
  PLT_RasterClose();
}

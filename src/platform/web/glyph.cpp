// The glyph rasterizer of the web backend: the browser's fonts. A character
// is drawn with fillText in a Japanese gothic, white on black, on an
// offscreen canvas of its pixel height, and its coverage read back; the text
// engine asks for four times the size it shows and reduces the result, as
// with every rasterizer. Shift-JIS comes and goes through the browser's own
// code page (the Encoding Standard's Shift_JIS is code page 932).
#include <emscripten.h>

#include <cstring>
#include <vector>

#include "platform/glyph_blit.h"
#include "platform/plt_glyph.h"

EM_JS(int, zv_glyph, (uint32_t cp, int px, uint8_t* out, int boxW),
      { return ZV.glyph(cp, px, out, boxW); });
EM_JS(int, zv_sjis_to_utf8, (const char* src, int len, char* out, int outSize),
      { return ZV.sjisToUtf8(src, len, out, outSize); });
EM_JS(int, zv_utf8_to_sjis, (const char* src, char* out, int outSize),
      { return ZV.utf8ToSjis(src, out, outSize); });

namespace {

// Larger requests are refused: nothing a canvas of the program holds.
constexpr int kMaxPixelHeight = 1024;

struct CachedGlyph {
  uint32_t cp = 0;
  int height = 0;  // 0: empty slot
  int width = 0;   // columns kept (the box is twice the height wide)
  int advance = 0;
  std::vector<uint8_t> grey;
};

constexpr int kCacheSlots = 256;
CachedGlyph g_cache[kCacheSlots];

CachedGlyph& CacheSlot(uint32_t cp, int h) {
  uint32_t key = cp * 2654435761u ^ static_cast<uint32_t>(h) * 40503u;
  return g_cache[(key >> 8) % kCacheSlots];
}

void Rasterize(uint32_t cp, int h, CachedGlyph* g) {
  const int boxW = 2 * h;
  g->grey.assign(static_cast<size_t>(boxW) * h, 0);
  g->advance = zv_glyph(cp, h, g->grey.data(), boxW);
  g->cp = cp;
  g->height = h;
  g->width = boxW;
}

void Blit(const CachedGlyph& g, uint32_t* canvas, int cw, int ch, int x, int y) {
  PLT_GlyphBlit(g.grey.data(), g.width, g.height, canvas, cw, ch, x, y);
}

int RenderCodepoint(uint32_t cp, int h, uint32_t* canvas, int cw, int ch, int x, int y,
                    bool* failed = nullptr) {
  if (failed) *failed = false;
  if (h <= 0 || h > kMaxPixelHeight) {
    if (failed) *failed = true;
    return 0;
  }
  if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp > 0x10FFFF) return 0;
  CachedGlyph& g = CacheSlot(cp, h);
  if (g.height != h || g.cp != cp) Rasterize(cp, h, &g);
  if (canvas && cw > 0 && ch > 0) Blit(g, canvas, cw, ch, x, y);
  return g.advance;
}

bool SjisCodeToCodepoint(uint32_t code, uint32_t* cp) {
  if (code >= 0x10000) return false;
  char in[3] = {};
  int len = 1;
  in[0] = static_cast<char>(code & 0xFF);
  if (code >= 0x100) {
    in[1] = static_cast<char>(code >> 8);
    len = 2;
  }
  char out[8];
  if (!zv_sjis_to_utf8(in, len, out, sizeof out)) return false;
  const auto* u = reinterpret_cast<const unsigned char*>(out);
  if (u[0] < 0x80) {
    *cp = u[0];
  } else if ((u[0] & 0xE0) == 0xC0) {
    *cp = ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu);
  } else if ((u[0] & 0xF0) == 0xE0) {
    *cp = ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu);
  } else {
    return false;
  }
  return u[0] != 0;
}

}  // namespace

int PLT_GlyphRenderSjis(uint32_t code, int pixelHeight, uint32_t* canvas, int canvasWidth,
                        int canvasHeight) {
  if (canvas && canvasWidth > 0 && canvasHeight > 0) {
    std::memset(canvas, 0,
                static_cast<size_t>(canvasWidth) * static_cast<size_t>(canvasHeight) * 4u);
  }
  uint32_t cp = 0;
  // A code the code page does not know draws nothing.
  if (!SjisCodeToCodepoint(code, &cp)) return 1;
  bool failed = false;
  RenderCodepoint(cp, pixelHeight, canvas, canvasWidth, canvasHeight, 0, 0, &failed);
  return failed ? -1 : 1;
}

int PLT_GlyphRenderCodepoint(uint32_t cp, int pixelHeight, uint32_t* canvas, int canvasWidth,
                             int canvasHeight, int x, int y) {
  return RenderCodepoint(cp, pixelHeight, canvas, canvasWidth, canvasHeight, x, y);
}

const char* PLT_SjisToUtf8(const char* sjis, char* out, int outSize) {
  if (!out || outSize <= 0) return "";
  out[0] = 0;
  if (!sjis) return out;
  if (!zv_sjis_to_utf8(sjis, static_cast<int>(std::strlen(sjis)), out, outSize)) out[0] = 0;
  return out;
}

const char* PLT_Utf8ToSjis(const char* utf8, char* out, int outSize) {
  if (!out || outSize <= 0) return "";
  out[0] = 0;
  if (!utf8) return out;
  if (!zv_utf8_to_sjis(utf8, out, outSize)) out[0] = 0;
  return out;
}

void PLT_GlyphShutdown() {
  for (CachedGlyph& c : g_cache) c = CachedGlyph{};
}

// The glyph rasterizer of the web backend: the browser's fonts. A character
// is drawn with fillText in a Japanese gothic, white on black, on an
// offscreen canvas of its pixel height, and its coverage read back; the text
// engine asks for four times the size it shows and reduces the result, as
// with every rasterizer. Shift-JIS comes and goes through the browser's own
// code page (the Encoding Standard's Shift_JIS is code page 932).
#include <emscripten.h>

#include <cstring>
#include <vector>

#include "platform/glyph_front.h"
#include "platform/plt_glyph.h"

EM_JS(int, zv_glyph, (uint32_t cp, int px, uint8_t* out, int boxW),
      { return ZV.glyph(cp, px, out, boxW); });
EM_JS(int, zv_sjis_to_utf8, (const char* src, int len, char* out, int outSize),
      { return ZV.sjisToUtf8(src, len, out, outSize); });
EM_JS(int, zv_utf8_to_sjis, (const char* src, char* out, int outSize),
      { return ZV.utf8ToSjis(src, out, outSize); });

// The page always has a face: the browser falls back through its fonts.
bool PLT_RasterOpen() {
  return true;
}

// Drawn into a box twice the height wide, placed at the pen and the top.
bool PLT_RasterGlyph(uint32_t cp, int h, PltGlyphImage* out) {
  const int boxW = 2 * h;
  out->grey.assign(static_cast<size_t>(boxW) * h, 0);
  out->advance = zv_glyph(cp, h, out->grey.data(), boxW);
  out->width = boxW;
  out->rows = h;
  return true;
}

bool PLT_RasterSjis(uint32_t code, uint32_t* cp) {
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

void PLT_RasterClose() {}

// The glyph rasterizer: FreeType with the Japanese monospace gothic that
// fontconfig picks, and Shift-JIS (code page 932) conversion through iconv.
//
// A glyph of pixel height h is set in an h-pixel em box whose top is the top
// of the character cell and whose baseline sits at the font's ascender, the
// way a GDI font of cell height h places it. Full-width characters advance h,
// half-width ones h / 2 (the font is monospaced).
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>
#include FT_FREETYPE_H

#include "platform/glyph_front.h"
#include "platform/plt_glyph.h"

namespace {

struct GlyphState {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool fontFailed = false;  // do not search again after a failure
  int currentHeight = 0;
  iconv_t sjisToUtf32 = reinterpret_cast<iconv_t>(-1);
  iconv_t sjisToUtf8 = reinterpret_cast<iconv_t>(-1);
  iconv_t utf8ToSjis = reinterpret_cast<iconv_t>(-1);
};

GlyphState g_glyph;

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

// The file fontconfig chooses for a Japanese monospace font, or the IPA
// gothic at its Debian path when fontconfig offers nothing.
bool FindFontFile(char* path, int pathSize, int* index) {
  path[0] = 0;
  *index = 0;
  // A configuration of our own, destroyed after the search, so that nothing
  // of fontconfig stays allocated behind the face.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return false;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja:spacing=mono"));
  if (pat) {
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pat, &result);
    if (match) {
      FcChar8* file = nullptr;
      int idx = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        if (FcPatternGetInteger(match, FC_INDEX, 0, &idx) != FcResultMatch) idx = 0;
        std::snprintf(path, pathSize, "%s", reinterpret_cast<const char*>(file));
        *index = idx;
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
  }
  FcConfigDestroy(config);
  return path[0] != 0;
}

bool OpenFace(const char* path, int index) {
  FT_Face face = nullptr;
  if (FT_New_Face(g_glyph.library, path, index, &face) != 0) return false;
  if (!FT_IS_SCALABLE(face) || FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
    FT_Done_Face(face);
    return false;
  }
  g_glyph.face = face;
  g_glyph.currentHeight = 0;
  return true;
}

bool SetHeight(int h) {
  if (g_glyph.currentHeight == h) return true;
  if (FT_Set_Pixel_Sizes(g_glyph.face, 0, static_cast<FT_UInt>(h)) != 0) return false;
  g_glyph.currentHeight = h;
  return true;
}

const char* Convert(iconv_t* cd, const char* to, const char* from, const char* in, char* out,
                    int outSize) {
  if (!out || outSize <= 0) return "";
  out[0] = 0;
  if (!in) return out;
  if (*cd == kNoIconv) {
    *cd = iconv_open(to, from);
    if (*cd == kNoIconv) return out;
  }
  iconv(*cd, nullptr, nullptr, nullptr, nullptr);
  char* ip = const_cast<char*>(in);
  size_t il = std::strlen(in);
  char* op = out;
  size_t ol = static_cast<size_t>(outSize) - 1;  // room for the terminator
  if (iconv(*cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) ||
      iconv(*cd, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1)) {
    out[0] = 0;  // invalid input or too small a buffer: nothing half-converted
    return out;
  }
  *op = 0;
  return out;
}

}  // namespace

bool PLT_RasterOpen() {
  if (g_glyph.face) return true;
  if (g_glyph.fontFailed) return false;
  if (!g_glyph.library && FT_Init_FreeType(&g_glyph.library) != 0) {
    g_glyph.library = nullptr;
    g_glyph.fontFailed = true;
    return false;
  }
  char path[1024];
  int index = 0;
  if (FindFontFile(path, sizeof path, &index) && OpenFace(path, index)) return true;
  static const char* const kFallbacks[] = {
      "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
      "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
  };
  for (const char* f : kFallbacks) {
    if (OpenFace(f, 0)) return true;
  }
  g_glyph.fontFailed = true;
  return false;
}

bool PLT_RasterGlyph(uint32_t cp, int h, PltGlyphImage* out) {
  if (!SetHeight(h)) return false;
  FT_Face face = g_glyph.face;
  FT_UInt gi = FT_Get_Char_Index(face, cp);
  // Outlines only: the font's embedded bitmaps are one bit deep.
  if (FT_Load_Glyph(face, gi, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0) return false;
  long ascender = face->ascender;
  if (ascender < 0) ascender = 0;
  if (ascender > face->units_per_EM) ascender = face->units_per_EM;
  int baseline = static_cast<int>((ascender * h + face->units_per_EM / 2) / face->units_per_EM);
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  out->left = slot->bitmap_left;
  out->top = baseline - slot->bitmap_top;
  out->width = static_cast<int>(bm.width);
  out->rows = static_cast<int>(bm.rows);
  out->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  out->grey.assign(static_cast<size_t>(out->width) * out->rows, 0);
  for (int row = 0; row < out->rows; ++row) {
    const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
    uint8_t* dst = out->grey.data() + static_cast<size_t>(row) * out->width;
    for (int col = 0; col < out->width; ++col) {
      unsigned v = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        v = (src[col >> 3] & (0x80 >> (col & 7))) ? 255u : 0u;
      } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        v = src[col];
        if (bm.num_grays != 256 && bm.num_grays > 1) v = v * 255u / (bm.num_grays - 1u);
      }
      dst[col] = static_cast<uint8_t>(v);
    }
  }
  return true;
}

bool PLT_RasterSjis(uint32_t code, uint32_t* cp) {
  char in[2];
  size_t inLen;
  if (code < 0x100) {
    in[0] = static_cast<char>(code);
    inLen = 1;
  } else {
    in[0] = static_cast<char>(code & 0xFF);
    in[1] = static_cast<char>(code >> 8);
    inLen = 2;
  }
  if (g_glyph.sjisToUtf32 == kNoIconv) {
    g_glyph.sjisToUtf32 = iconv_open("UTF-32LE", "CP932");
    if (g_glyph.sjisToUtf32 == kNoIconv) return false;
  }
  iconv(g_glyph.sjisToUtf32, nullptr, nullptr, nullptr, nullptr);
  unsigned char out[8];
  char* ip = in;
  char* op = reinterpret_cast<char*>(out);
  size_t il = inLen, ol = sizeof out;
  if (iconv(g_glyph.sjisToUtf32, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 ||
      sizeof out - ol != 4) {
    return false;
  }
  *cp = static_cast<uint32_t>(out[0]) | (static_cast<uint32_t>(out[1]) << 8) |
        (static_cast<uint32_t>(out[2]) << 16) | (static_cast<uint32_t>(out[3]) << 24);
  return true;
}

const char* PLT_SjisToUtf8(const char* sjis, char* out, int outSize) {
  return Convert(&g_glyph.sjisToUtf8, "UTF-8", "CP932", sjis, out, outSize);
}

const char* PLT_Utf8ToSjis(const char* utf8, char* out, int outSize) {
  return Convert(&g_glyph.utf8ToSjis, "CP932", "UTF-8", utf8, out, outSize);
}

void PLT_RasterClose() {
  if (g_glyph.face) FT_Done_Face(g_glyph.face);
  if (g_glyph.library) FT_Done_FreeType(g_glyph.library);
  for (iconv_t* cd : {&g_glyph.sjisToUtf32, &g_glyph.sjisToUtf8, &g_glyph.utf8ToSjis}) {
    if (*cd != kNoIconv) iconv_close(*cd);
  }
  g_glyph = GlyphState{};
}

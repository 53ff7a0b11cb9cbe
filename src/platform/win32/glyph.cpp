// The glyph rasterizer on GDI: the gothic face "ＭＳ ゴシック", or any
// Japanese fixed-pitch face when it is missing, drawn at four times the size
// without anti-aliasing and reduced, which gives 16 levels of grey; Shift-JIS
// (code page 932) conversion through the system's code page tables.
//
// A glyph of pixel height h is set with an em of h pixels (a character
// height, not a cell height), so that full-width characters advance h and
// half-width ones h / 2 as on the Linux build; its cell is placed as GDI
// places it, the top of the cell at the top.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/glyph_front.h"
#include "platform/plt_glyph.h"

namespace {

// Glyphs up to this height are drawn at kOversample times their size; larger
// ones are smooth enough drawn as they are, and the drawing surface stays small.
constexpr int kOversample = 4;
constexpr int kOversampleUpTo = 128;
constexpr UINT kCodePageSjis = 932;
const wchar_t kGothic[] = L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF";  // ＭＳ ゴシック

struct GlyphState {
  bool searched = false;
  bool fontFailed = false;
  std::wstring face;
  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits = nullptr;
  int dibW = 0, dibH = 0;
  HFONT font = nullptr;
  HGDIOBJ oldFont = nullptr;
  int fontPixels = 0;  // the em of the selected font
};

GlyphState g_glyph;

int CALLBACK OnFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM user) {
  auto* found = reinterpret_cast<std::wstring*>(user);
  // Outline faces only; "@" faces are the vertical forms.
  if (!(type & TRUETYPE_FONTTYPE) || lf->lfFaceName[0] == L'@') return 1;
  if ((lf->lfPitchAndFamily & 3) != FIXED_PITCH) return 1;
  *found = lf->lfFaceName;
  return 0;
}

// The gothic when the system has it, else the first Japanese fixed-pitch face.
std::wstring ChooseFace(HDC dc) {
  LOGFONTW lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfCharSet = SHIFTJIS_CHARSET;
  std::wstring found;
  std::wcsncpy(lf.lfFaceName, kGothic, LF_FACESIZE - 1);
  ::EnumFontFamiliesExW(dc, &lf, OnFace, reinterpret_cast<LPARAM>(&found), 0);
  if (!found.empty()) return found;
  lf.lfFaceName[0] = 0;
  ::EnumFontFamiliesExW(dc, &lf, OnFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

bool SelectFont(int pixels) {
  if (g_glyph.font && g_glyph.fontPixels == pixels) return true;
  HFONT f = ::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                          OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                          FIXED_PITCH | FF_MODERN, g_glyph.face.c_str());
  if (!f) return false;
  HGDIOBJ old = ::SelectObject(g_glyph.dc, f);
  if (g_glyph.font) {
    ::DeleteObject(g_glyph.font);
  } else {
    g_glyph.oldFont = old;
  }
  g_glyph.font = f;
  g_glyph.fontPixels = pixels;
  return true;
}

// A top-down 32-bit drawing surface of at least w x h pixels.
bool EnsureSurface(int w, int h) {
  if (g_glyph.dib && g_glyph.dibW >= w && g_glyph.dibH >= h) return true;
  w = std::max(w, g_glyph.dibW);
  h = std::max(h, g_glyph.dibH);
  BITMAPINFO bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(g_glyph.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return false;
  HGDIOBJ old = ::SelectObject(g_glyph.dc, dib);
  if (g_glyph.dib) {
    ::DeleteObject(g_glyph.dib);
  } else {
    g_glyph.oldBitmap = old;
  }
  g_glyph.dib = dib;
  g_glyph.bits = static_cast<uint32_t*>(bits);
  g_glyph.dibW = w;
  g_glyph.dibH = h;
  return true;
}

int Utf16(uint32_t cp, wchar_t* out) {
  if (cp < 0x10000) {
    out[0] = static_cast<wchar_t>(cp);
    return 1;
  }
  cp -= 0x10000;
  out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
  out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  return 2;
}

// Converts between two code pages through UTF-16; "" when the input does not
// convert whole or the output does not fit.
const char* Convert(UINT from, UINT to, const char* in, char* out, int outSize) {
  if (!out || outSize <= 0) return "";
  out[0] = 0;
  if (!in || !*in) return out;
  const int wide = ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in, -1, nullptr, 0);
  if (wide <= 0) return out;
  std::vector<wchar_t> w(static_cast<size_t>(wide));
  if (::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in, -1, w.data(), wide) != wide) {
    return out;
  }
  BOOL lossy = FALSE;
  // Code page 932 has no character of its own for what it lacks: such input
  // fails rather than turning into a question mark.
  const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* lossyOut = to == CP_UTF8 ? nullptr : &lossy;
  const int n = ::WideCharToMultiByte(to, flags, w.data(), wide, out, outSize, nullptr, lossyOut);
  if (n <= 0 || lossy) out[0] = 0;
  return out;
}

}  // namespace

bool PLT_RasterOpen() {
  if (g_glyph.fontFailed) return false;
  if (g_glyph.dc) return true;
  HDC dc = ::CreateCompatibleDC(nullptr);
  if (!dc) {
    g_glyph.fontFailed = true;
    return false;
  }
  g_glyph.face = ChooseFace(dc);
  if (g_glyph.face.empty()) {
    ::DeleteDC(dc);
    g_glyph.fontFailed = true;
    return false;
  }
  g_glyph.dc = dc;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  return true;
}

// Draws cp at h pixels (oversampled) and reduces it.
bool PLT_RasterGlyph(uint32_t cp, int h, PltGlyphImage* out) {
  const int k = h <= kOversampleUpTo ? kOversample : 1;
  if (!SelectFont(h * k)) return false;
  wchar_t text[2];
  const int units = Utf16(cp, text);
  SIZE extent;
  TEXTMETRICW tm;
  if (!::GetTextExtentPoint32W(g_glyph.dc, text, units, &extent) ||
      !::GetTextMetricsW(g_glyph.dc, &tm)) {
    return false;
  }
  // Room for what an italic-like overhang or a wide glyph draws past the advance.
  const int bigW = extent.cx + h * k / 2 + k;
  const int bigH = std::max<int>(tm.tmHeight, h * k) + k;
  if (!EnsureSurface(bigW, bigH)) return false;
  ::GdiFlush();
  for (int y = 0; y < bigH; ++y) {
    std::memset(g_glyph.bits + static_cast<size_t>(y) * g_glyph.dibW, 0,
                static_cast<size_t>(bigW) * 4u);
  }
  if (!::TextOutW(g_glyph.dc, 0, 0, text, units)) return false;
  ::GdiFlush();
  const int w = (bigW + k - 1) / k, rows = (bigH + k - 1) / k;
  out->advance = (extent.cx + k / 2) / k;
  out->width = w;
  out->rows = rows;
  out->grey.assign(static_cast<size_t>(w) * rows, 0);
  const int full = k * k;
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < w; ++col) {
      int lit = 0;
      for (int sy = row * k; sy < std::min(bigH, row * k + k); ++sy) {
        const uint32_t* src = g_glyph.bits + static_cast<size_t>(sy) * g_glyph.dibW;
        for (int sx = col * k; sx < std::min(bigW, col * k + k); ++sx) {
          if (src[sx] & 0xFF) ++lit;
        }
      }
      out->grey[static_cast<size_t>(row) * w + col] = static_cast<uint8_t>(lit * 255 / full);
    }
  }
  return true;
}

bool PLT_RasterSjis(uint32_t code, uint32_t* cp) {
  char in[2];
  int inLen = 1;
  in[0] = static_cast<char>(code & 0xFF);
  if (code >= 0x100) {
    in[1] = static_cast<char>(code >> 8);
    inLen = 2;
  }
  wchar_t out[4];
  const int n = ::MultiByteToWideChar(kCodePageSjis, MB_ERR_INVALID_CHARS, in, inLen, out, 4);
  if (n != 1) return false;
  *cp = out[0];
  return true;
}

const char* PLT_SjisToUtf8(const char* sjis, char* out, int outSize) {
  return Convert(kCodePageSjis, CP_UTF8, sjis, out, outSize);
}

const char* PLT_Utf8ToSjis(const char* utf8, char* out, int outSize) {
  return Convert(CP_UTF8, kCodePageSjis, utf8, out, outSize);
}

void PLT_RasterClose() {
  if (g_glyph.dc) {
    if (g_glyph.font) ::SelectObject(g_glyph.dc, g_glyph.oldFont);
    if (g_glyph.dib) ::SelectObject(g_glyph.dc, g_glyph.oldBitmap);
    ::DeleteDC(g_glyph.dc);
  }
  if (g_glyph.font) ::DeleteObject(g_glyph.font);
  if (g_glyph.dib) ::DeleteObject(g_glyph.dib);
  g_glyph = GlyphState{};
}

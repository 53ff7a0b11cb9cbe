// Text and shapes for the menu bar, the message boxes and the dialogs.
#include "platform/widgets.h"

#include <algorithm>
#include <vector>

#include "platform/plt_glyph.h"

namespace wgt {

uint32_t DecodeUtf8(const char*& s) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  uint32_t c = p[0];
  int extra = 0;
  if (c < 0x80) {
    extra = 0;
  } else if ((c & 0xE0) == 0xC0) {
    c &= 0x1F;
    extra = 1;
  } else if ((c & 0xF0) == 0xE0) {
    c &= 0x0F;
    extra = 2;
  } else if ((c & 0xF8) == 0xF0) {
    c &= 0x07;
    extra = 3;
  } else {
    ++s;
    return 0xFFFD;
  }
  ++p;
  for (int i = 0; i < extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) {
      s = reinterpret_cast<const char*>(p + i);
      return 0xFFFD;
    }
    c = (c << 6) | (p[i] & 0x3F);
  }
  s = reinterpret_cast<const char*>(p + extra);
  return c;
}

int TextWidth(const char* text) {
  int w = 0;
  for (const char* s = text; *s;)
    w += PLT_GlyphRenderCodepoint(DecodeUtf8(s), kFontSize, nullptr, 0, 0, 0, 0);
  return w;
}

namespace {
uint32_t Blend(uint32_t dst, uint32_t color, uint32_t a) {
  uint32_t out = 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t d = (dst >> shift) & 0xFF;
    uint32_t c = (color >> shift) & 0xFF;
    out |= ((d * (255 - a) + c * a + 127) / 255) << shift;
  }
  return out;
}
}  // namespace

void DrawText(uint32_t* img, int iw, int ih, int x, int y, const char* text, uint32_t color) {
  int tw = TextWidth(text);
  if (tw <= 0) return;
  std::vector<uint32_t> mask(static_cast<size_t>(tw) * kFontSize, 0);
  int pen = 0;
  for (const char* s = text; *s;) {
    pen += PLT_GlyphRenderCodepoint(DecodeUtf8(s), kFontSize, mask.data(), tw, kFontSize, pen, 0);
  }
  for (int row = 0; row < kFontSize; ++row) {
    int ty = y + row;
    if (ty < 0 || ty >= ih) continue;
    for (int col = 0; col < tw; ++col) {
      int tx = x + col;
      if (tx < 0 || tx >= iw) continue;
      uint32_t a = mask[static_cast<size_t>(row) * tw + col] & 0xFF;
      if (a)
        img[static_cast<size_t>(ty) * iw + tx] =
            Blend(img[static_cast<size_t>(ty) * iw + tx], color, a);
    }
  }
}

void Fill(uint32_t* img, int iw, int ih, int x, int y, int w, int h, uint32_t color) {
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + w, iw), y1 = std::min(y + h, ih);
  for (int j = y0; j < y1; ++j) {
    for (int i = x0; i < x1; ++i) img[static_cast<size_t>(j) * iw + i] = color;
  }
}

void Frame(uint32_t* img, int iw, int ih, int x, int y, int w, int h, uint32_t light,
           uint32_t dark) {
  Fill(img, iw, ih, x, y, w, 1, light);
  Fill(img, iw, ih, x, y, 1, h, light);
  Fill(img, iw, ih, x, y + h - 1, w, 1, dark);
  Fill(img, iw, ih, x + w - 1, y, 1, h, dark);
}

void RaisedEdge(uint32_t* img, int iw, int ih, int x, int y, int w, int h) {
  Frame(img, iw, ih, x, y, w, h, kFace, kDarkShadow);
  Frame(img, iw, ih, x + 1, y + 1, w - 2, h - 2, kWhite, kShadow);
}

void FocusFrame(uint32_t* img, int iw, int ih, int x, int y, int w, int h) {
  for (int i = 0; i < w; i += 2) {
    Fill(img, iw, ih, x + i, y, 1, 1, kBlack);
    Fill(img, iw, ih, x + i, y + h - 1, 1, 1, kBlack);
  }
  for (int j = 0; j < h; j += 2) {
    Fill(img, iw, ih, x, y + j, 1, 1, kBlack);
    Fill(img, iw, ih, x + w - 1, y + j, 1, 1, kBlack);
  }
}

}  // namespace wgt

// Drawing helpers on top of cairo, the palette quantiser and the BMP writers.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>

#include "content.h"

Canvas::Canvas(int width, int height) : w(width), h(height) {
  surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cr = cairo_create(surf);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
  cairo_destroy(cr);
  cairo_surface_destroy(surf);
}

Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

void SetRgb(cairo_t* cr, Rgb c, double a) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

// One horizontal and one vertical box pass; three of them approximate a
// Gaussian closely enough for glows.
static void BoxPass(uint8_t* px, int w, int h, int stride, int r, bool horizontal) {
  int n = horizontal ? w : h, lines = horizontal ? h : w;
  std::vector<uint32_t> acc(4);
  std::vector<uint8_t> line(static_cast<size_t>(n) * 4);
  for (int l = 0; l < lines; l++) {
    auto at = [&](int i) -> uint8_t* {
      return horizontal ? px + l * stride + i * 4 : px + i * stride + l * 4;
    };
    for (int i = 0; i < n; i++) memcpy(&line[static_cast<size_t>(i) * 4], at(i), 4);
    uint32_t sum[4] = {0, 0, 0, 0};
    int win = 2 * r + 1;
    for (int k = -r; k <= r; k++) {
      int idx = std::clamp(k, 0, n - 1);
      for (int c = 0; c < 4; c++) sum[c] += line[idx * 4 + c];
    }
    for (int i = 0; i < n; i++) {
      uint8_t* d = at(i);
      for (int c = 0; c < 4; c++) d[c] = static_cast<uint8_t>((sum[c] + win / 2) / win);
      int out = std::clamp(i - r, 0, n - 1), in = std::clamp(i + r + 1, 0, n - 1);
      for (int c = 0; c < 4; c++) sum[c] += line[in * 4 + c] - line[out * 4 + c];
    }
  }
}

void Blur(cairo_surface_t* s, int radius) {
  if (radius <= 0) return;
  cairo_surface_flush(s);
  uint8_t* px = cairo_image_surface_get_data(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  int r = std::max(1, radius / 2);
  for (int pass = 0; pass < 3; pass++) {
    BoxPass(px, w, h, stride, r, true);
    BoxPass(px, w, h, stride, r, false);
  }
  cairo_surface_mark_dirty(s);
}

void SelectFont(cairo_t* cr, FontFace face, double size, bool bold) {
  const char* family = "IPAPGothic";
  if (face == FONT_MINCHO) family = "IPAPMincho";
  if (face == FONT_LATIN_SERIF) family = "DejaVu Serif";
  if (face == FONT_LATIN_SANS) family = "DejaVu Sans";
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
}

double TextWidth(cairo_t* cr, const char* utf8) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, utf8, &e);
  return e.x_advance;
}

void TextPath(cairo_t* cr, const char* utf8, double x, double y, double align) {
  double w = TextWidth(cr, utf8);
  cairo_move_to(cr, x - w * align, y);
  cairo_text_path(cr, utf8);
}

void FancyText(Canvas& c, const TextStyle& st, const char* utf8, double x, double y, double align) {
  cairo_t* cr = c.cr;
  if (st.glowAlpha > 0) {
    Canvas g(c.w, c.h);
    SelectFont(g.cr, st.face, st.size, st.bold);
    TextPath(g.cr, utf8, x, y, align);
    SetRgb(g.cr, st.glow, 1.0);
    cairo_set_line_width(g.cr, st.rimWidth * 2 + 2);
    cairo_set_line_join(g.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(g.cr);
    cairo_fill(g.cr);
    Blur(g.surf, st.glowRadius);
    cairo_save(cr);
    cairo_set_source_surface(cr, g.surf, 0, 0);
    cairo_paint_with_alpha(cr, st.glowAlpha);
    cairo_restore(cr);
  }
  cairo_save(cr);
  SelectFont(cr, st.face, st.size, st.bold);
  cairo_new_path(cr);
  TextPath(cr, utf8, x, y, align);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (st.rimWidth > 0) {
    SetRgb(cr, st.rim);
    cairo_set_line_width(cr, st.rimWidth);
    cairo_stroke_preserve(cr);
  }
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y - fe.ascent * 0.8, 0, y);
  cairo_pattern_add_color_stop_rgb(p, 0, st.top.r, st.top.g, st.top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, st.bottom.r, st.bottom.g, st.bottom.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void Put16(Bytes& b, uint16_t v) {
  b.push_back(v & 255);
  b.push_back(v >> 8);
}

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; i++) b.push_back((v >> (8 * i)) & 255);
}

static void BmpHeaders(Bytes& b, int w, int h, int bits, uint32_t pixelOffset, uint32_t fileSize,
                       uint16_t reserved, int colours) {
  b.push_back('B');
  b.push_back('M');
  Put32(b, fileSize);
  Put16(b, reserved);
  Put16(b, 0);
  Put32(b, pixelOffset);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));  // positive: bottom row first
  Put16(b, 1);
  Put16(b, static_cast<uint16_t>(bits));
  Put32(b, 0);
  Put32(b, fileSize - pixelOffset);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, static_cast<uint32_t>(colours));
  Put32(b, 0);
}

// Reads one pixel of a premultiplied ARGB32 surface as straight colour.
static inline void Straight(const uint8_t* p, int& r, int& g, int& b, int& a) {
  uint32_t v;
  memcpy(&v, p, 4);
  a = v >> 24;
  r = (v >> 16) & 255;
  g = (v >> 8) & 255;
  b = v & 255;
  if (a > 0 && a < 255) {
    r = std::min(255, (r * 255 + a / 2) / a);
    g = std::min(255, (g * 255 + a / 2) / a);
    b = std::min(255, (b * 255 + a / 2) / a);
  }
}

Bytes EncodeBmp24(cairo_surface_t* s) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const uint8_t* px = cairo_image_surface_get_data(s);
  int row = (w * 3 + 3) & ~3;
  Bytes b;
  BmpHeaders(b, w, h, 24, 54, static_cast<uint32_t>(54 + row * h), 0, 0);
  for (int y = h - 1; y >= 0; y--) {
    const uint8_t* p = px + y * stride;
    for (int x = 0; x < w; x++) {
      // Premultiplied over black is the colour as it stands.
      b.push_back(p[x * 4 + 0]);
      b.push_back(p[x * 4 + 1]);
      b.push_back(p[x * 4 + 2]);
    }
    for (int k = w * 3; k < row; k++) b.push_back(0);
  }
  return b;
}

namespace {
// Median cut over a 6-bit-per-channel histogram weighted by alpha; palette
// entries are the exact means of the colours in each box.
struct Bin {
  uint32_t key;
  double weight, r, g, b;
};

struct Box {
  int begin, end;
  double weight;
  int lo[3], hi[3];
};

int Channel(uint32_t key, int c) {
  return (key >> (12 - 6 * c)) & 63;
}

void Measure(std::vector<Bin>& bins, Box& box) {
  box.weight = 0;
  for (int c = 0; c < 3; c++) box.lo[c] = 63, box.hi[c] = 0;
  for (int i = box.begin; i < box.end; i++) {
    box.weight += bins[i].weight;
    for (int c = 0; c < 3; c++) {
      int v = Channel(bins[i].key, c);
      box.lo[c] = std::min(box.lo[c], v);
      box.hi[c] = std::max(box.hi[c], v);
    }
  }
}

std::vector<std::array<int, 3>> MedianCut(std::vector<Bin>& bins, int maxColours) {
  std::vector<Box> boxes;
  if (bins.empty()) return {};
  Box first{0, static_cast<int>(bins.size()), 0, {}, {}};
  Measure(bins, first);
  boxes.push_back(first);
  while (static_cast<int>(boxes.size()) < maxColours) {
    int best = -1;
    double bestScore = 0;
    for (size_t i = 0; i < boxes.size(); i++) {
      const Box& bx = boxes[i];
      if (bx.end - bx.begin < 2) continue;
      // Luminance-weighted extent: green differences are the most visible.
      double ext = std::max(
          {(bx.hi[0] - bx.lo[0]) * 1.0, (bx.hi[1] - bx.lo[1]) * 1.2, (bx.hi[2] - bx.lo[2]) * 0.8});
      double score = ext * std::sqrt(bx.weight);
      if (score > bestScore) bestScore = score, best = static_cast<int>(i);
    }
    if (best < 0) break;
    Box bx = boxes[best];
    double e[3] = {(bx.hi[0] - bx.lo[0]) * 1.0, (bx.hi[1] - bx.lo[1]) * 1.2,
                   (bx.hi[2] - bx.lo[2]) * 0.8};
    int axis = static_cast<int>(std::max_element(e, e + 3) - e);
    std::sort(bins.begin() + bx.begin, bins.begin() + bx.end, [&](const Bin& a, const Bin& b) {
      int va = Channel(a.key, axis), vb = Channel(b.key, axis);
      return va != vb ? va < vb : a.key < b.key;
    });
    double half = bx.weight / 2, run = 0;
    int cut = bx.begin + 1;
    for (int i = bx.begin; i < bx.end - 1; i++) {
      run += bins[i].weight;
      cut = i + 1;
      if (run >= half) break;
    }
    Box a{bx.begin, cut, 0, {}, {}}, b{cut, bx.end, 0, {}, {}};
    Measure(bins, a);
    Measure(bins, b);
    boxes[best] = a;
    boxes.push_back(b);
  }
  std::vector<std::array<int, 3>> pal;
  for (const Box& bx : boxes) {
    double w = 0, r = 0, g = 0, b = 0;
    for (int i = bx.begin; i < bx.end; i++) {
      w += bins[i].weight;
      r += bins[i].r;
      g += bins[i].g;
      b += bins[i].b;
    }
    if (w <= 0) continue;
    std::array<int, 3> c = {static_cast<int>(std::lround(r / w)),
                            static_cast<int>(std::lround(g / w)),
                            static_cast<int>(std::lround(b / w))};
    if (c[0] == 0 && c[1] == 0 && c[2] == 0) c[2] = 1;  // black is the transparent key
    pal.push_back(c);
  }
  std::sort(pal.begin(), pal.end());
  return pal;
}
}  // namespace

Bytes EncodeBmp8(cairo_surface_t* s, bool alpha) {
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const uint8_t* px = cairo_image_surface_get_data(s);
  // Pixels this faint become the transparent index (they still keep their
  // alpha in the plane), so a colour-keyed draw shows no coloured fringe.
  const int kVisible = 24;
  std::unordered_map<uint32_t, size_t> binIndex;
  std::vector<Bin> bins;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int r, g, b, a;
      Straight(px + y * stride + x * 4, r, g, b, a);
      if (a < kVisible) continue;
      uint32_t key = static_cast<uint32_t>((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2));
      auto it = binIndex.find(key);
      size_t i;
      if (it == binIndex.end()) {
        i = bins.size();
        binIndex[key] = i;
        bins.push_back({key, 0, 0, 0, 0});
      } else {
        i = it->second;
      }
      double wt = 0.25 + a / 255.0;
      bins[i].weight += wt;
      bins[i].r += r * wt;
      bins[i].g += g * wt;
      bins[i].b += b * wt;
    }
  std::sort(bins.begin(), bins.end(), [](const Bin& a, const Bin& b) { return a.key < b.key; });
  auto pal = MedianCut(bins, 255);

  std::unordered_map<uint32_t, uint8_t> nearest;
  auto lookup = [&](int r, int g, int b) -> uint8_t {
    uint32_t key = static_cast<uint32_t>(r << 16 | g << 8 | b);
    auto it = nearest.find(key);
    if (it != nearest.end()) return it->second;
    int best = 0;
    long bestD = -1;
    for (size_t i = 0; i < pal.size(); i++) {
      long dr = r - pal[i][0], dg = g - pal[i][1], db = b - pal[i][2];
      long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestD < 0 || d < bestD) bestD = d, best = static_cast<int>(i);
    }
    uint8_t idx = static_cast<uint8_t>(best + 1);
    nearest[key] = idx;
    return idx;
  };

  std::vector<uint8_t> index(static_cast<size_t>(w) * h), plane(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int r, g, b, a;
      Straight(px + y * stride + x * 4, r, g, b, a);
      size_t o = static_cast<size_t>(y) * w + x;
      plane[o] = static_cast<uint8_t>(a);
      index[o] = (a < kVisible || pal.empty()) ? 0 : lookup(r, g, b);
      if (!alpha && a < 128) index[o] = 0;
    }

  // Rows are written without padding when the alpha plane follows (that is how
  // the loader reads them); every 8-bit picture of the game has a width that
  // is a multiple of 4, where both layouts agree.
  int row = alpha ? w : (w + 3) & ~3;
  uint32_t pixelOffset = 54 + 1024;
  uint32_t size = pixelOffset + row * h + (alpha ? w * h : 0);
  Bytes out;
  BmpHeaders(out, w, h, 8, pixelOffset, size, alpha ? 1 : 0, 256);
  for (int i = 0; i < 256; i++) {
    if (i == 0 || i > static_cast<int>(pal.size())) {
      Put32(out, 0);
      continue;
    }
    const auto& c = pal[i - 1];
    out.push_back(static_cast<uint8_t>(c[2]));
    out.push_back(static_cast<uint8_t>(c[1]));
    out.push_back(static_cast<uint8_t>(c[0]));
    out.push_back(0);
  }
  for (int y = h - 1; y >= 0; y--) {
    for (int x = 0; x < w; x++) out.push_back(index[static_cast<size_t>(y) * w + x]);
    for (int k = w; k < row; k++) out.push_back(0);
  }
  if (alpha)
    for (int y = h - 1; y >= 0; y--)
      out.insert(out.end(), plane.begin() + static_cast<long>(y) * w,
                 plane.begin() + static_cast<long>(y + 1) * w);
  return out;
}

Bytes EncodeGrey8(const std::vector<uint8_t>& grey, int w, int h) {
  int row = (w + 3) & ~3;
  uint32_t pixelOffset = 54 + 1024;
  Bytes out;
  BmpHeaders(out, w, h, 8, pixelOffset, static_cast<uint32_t>(pixelOffset + row * h), 0, 256);
  for (int i = 0; i < 256; i++) {
    for (int k = 0; k < 3; k++) out.push_back(static_cast<uint8_t>(i));
    out.push_back(0);
  }
  for (int y = h - 1; y >= 0; y--) {
    out.insert(out.end(), grey.begin() + static_cast<long>(y) * w,
               grey.begin() + static_cast<long>(y + 1) * w);
    for (int k = w; k < row; k++) out.push_back(0);
  }
  return out;
}

void WritePng(const Output& out, const std::string& name, cairo_surface_t* s) {
  if (out.previewDir.empty()) return;
  std::filesystem::create_directories(out.previewDir);
  std::string path = out.previewDir + "/" + name + ".png";
  cairo_surface_write_to_png(s, path.c_str());
}

bool WriteFile(const std::string& path, const Bytes& data) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
  return fclose(f) == 0 && ok;
}

bool ReadText(const std::string& path, std::string& text) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  text.clear();
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  fclose(f);
  return true;
}

// Archive writer and preview mock screens.
#include "pack.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/archive.h"
#include "common/archive_writer.h"

bool PackGroup(const Output& out, const std::string& group, const std::string& path,
               bool compress) {
  std::vector<ArchiveEntry> entries;
  const std::string prefix = group + "/";
  for (const auto& [name, data] : out.files) {
    if (name.rfind(prefix, 0) == 0)
      entries.push_back(ArchiveEntry{name.substr(prefix.size()), data});
  }
  Bytes arc;
  std::string error;
  if (!ARC_Build(entries, compress ? ARC_COMPRESS_SMALLER : ARC_STORE, &arc, &error)) {
    fprintf(stderr, "zentrova-content: %s\n", error.c_str());
    return false;
  }
  if (!WriteFile(path, arc)) {
    fprintf(stderr, "zentrova-content: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

static uint32_t Get32(const Bytes& b, size_t o) {
  return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24;
}

cairo_surface_t* DecodeBmp(const Bytes& bmp) {
  int w = static_cast<int>(Get32(bmp, 18)), h = static_cast<int>(Get32(bmp, 22));
  int bits = bmp[28] | bmp[29] << 8;
  uint32_t off = Get32(bmp, 10);
  bool alpha = (bmp[6] | bmp[7] << 8) != 0;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  uint8_t* px = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; y++) {
    int fy = h - 1 - y;
    for (int x = 0; x < w; x++) {
      uint32_t r, g, b, a = 255;
      if (bits == 24) {
        size_t o = 54 + static_cast<size_t>(fy) * ((w * 3 + 3) & ~3) + x * 3;
        b = bmp[o], g = bmp[o + 1], r = bmp[o + 2];
      } else {
        int row = alpha ? w : (w + 3) & ~3;
        uint8_t idx = bmp[off + static_cast<size_t>(fy) * row + x];
        b = bmp[54 + idx * 4], g = bmp[55 + idx * 4], r = bmp[56 + idx * 4];
        if (alpha)
          a = bmp[off + static_cast<size_t>(row) * h + static_cast<size_t>(fy) * w + x];
        else if (idx == 0)
          a = 0;
      }
      uint32_t v = a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
      memcpy(px + y * stride + x * 4, &v, 4);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

namespace {
struct Pic {
  cairo_surface_t* s;
  explicit Pic(const Output& out, const char* name)
      : s(DecodeBmp(out.files.at(std::string("grp/") + name + ".bmp"))) {}
  ~Pic() { cairo_surface_destroy(s); }
};

void Blit(cairo_t* cr, const Pic& p, double x, double y, double sx, double sy, double w, double h,
          double alpha = 1) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_set_source_surface(cr, p.s, x - sx, y - sy);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

// Digits as the game lays them out: units at x + cell * digits.
void Number(cairo_t* cr, const Pic& p, int value, double x, double y, int cw, int ch, int digits) {
  for (int k = 0; k < digits; k++) {
    int d = value % 10;
    Blit(cr, p, x + cw * (digits - k), y, cw * d, 0, cw, ch);
    value /= 10;
    if (value == 0) break;
  }
}
}  // namespace

void WriteMockScreens(const Output& out) {
  {
    Canvas c(640, 480);
    Pic title(out, "title0000"), menu(out, "title0001");
    Blit(c.cr, title, 0, 0, 0, 0, 640, 480);
    for (int j = 0; j < 3; j++) Blit(c.cr, menu, 204, 288 + 40 * j, 0, 40 * j, 232, 40);
    WritePng(out, "mock_title", c.surf);
  }
  {
    Canvas c(640, 480);
    Pic title(out, "title0000"), head(out, "title1000"), cols(out, "title1001"),
        dig(out, "title1002");
    Blit(c.cr, title, 0, 0, 0, 0, 640, 480);
    cairo_rectangle(c.cr, 0, 0, 640, 480);
    cairo_set_source_rgba(c.cr, 0, 0, 0, 0.5);
    cairo_fill(c.cr);
    Blit(c.cr, head, 32, 16, 0, 0, 576, 56);
    const double cx[4] = {64, 240, 400, 512};
    for (int k = 0; k < 4; k++) Blit(c.cr, cols, cx[k], 80, 0, 28 * k, 84, 28);
    for (int i = 0; i < 10; i++) {
      double y = 112 + 36 * i;
      Number(c.cr, dig, i + 1, 40, y, 28, 32, 2);
      Number(c.cr, dig, 98700 - 8310 * i, 128, y, 28, 32, 6);
      Number(c.cr, dig, 123 + 17 * i, 340, y, 28, 32, 4);
      Number(c.cr, dig, 12 - i, 500, y, 28, 32, 2);
    }
    WritePng(out, "mock_ranking", c.surf);
  }
  cairo_surface_t* stage = ComposeStage(out, true);
  WritePng(out, "mock_stage", stage);
  cairo_surface_destroy(stage);
}

cairo_surface_t* ComposeStage(const Output& out, bool everything) {
  cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 640, 480);
  {
    cairo_t* cr = cairo_create(surf);
    Pic bg(out, "sys1000"), ch(out, "char000"), dig(out, "sys0000"), fx(out, "sys0001"),
        lab(out, "sys0002"), clr(out, "sys0003"), b0(out, "sys0010"), b1(out, "sys0011"),
        b2(out, "sys0012");
    Blit(cr, bg, 0, 0, 0, 0, 640, 480);
    // Chain banners scrolling across the pond.
    cairo_save(cr);
    cairo_rectangle(cr, 16, 32, 432, 432);
    cairo_clip(cr);
    Blit(cr, b0, 16, 420, 0, 0, 432, 24, 0.8);
    Blit(cr, b1, 16, 436, 100, 0, 432, 24, 0.8);
    Blit(cr, b2, 120, 396, 0, 24, 276, 24);
    // Creatures rotated as the game's quad draw does, at sizes 48 .. 135.
    Rand rnd(4);
    for (int i = 0; i < 24; i++) {
      int size = 48 + 3 * i, kind = i % 3;
      double x = 16 + size / 2 + rnd.Uniform() * (432 - size),
             y = 32 + size / 2 + rnd.Uniform() * (432 - size);
      double side = ((112 * (2 * size - 192 + 256)) / 256 / 2) * std::sqrt(2.0);
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, rnd.Uniform() * 2 * M_PI);
      cairo_scale(cr, side / 112, side / 112);
      cairo_set_source_surface(cr, ch.s, -56 - 112 * kind, -56);
      cairo_rectangle(cr, -56, -56, 112, 112);
      cairo_fill(cr);
      cairo_restore(cr);
    }
    cairo_restore(cr);
    // Held creature under the cursor, and creatures in the bowl.
    for (int k = 0; k < 3; k++) {
      cairo_save(cr);
      cairo_translate(cr, 500 + 40 * k, 360 + 30 * (k % 2));
      cairo_rotate(cr, k * 1.3);
      cairo_scale(cr, 0.55, 0.55);
      cairo_set_source_surface(cr, ch.s, -56 - 112 * k, -56);
      cairo_rectangle(cr, -56, -56, 112, 112);
      cairo_fill(cr);
      cairo_restore(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, 300, 250);
    cairo_rotate(cr, 0.6);
    cairo_scale(cr, 0.8, 0.8);
    cairo_set_source_surface(cr, ch.s, -56 - 112, -56 - 112);
    cairo_rectangle(cr, -56, -56, 112, 112);
    cairo_fill(cr);
    cairo_restore(cr);
    // Counters, indicator, effect labels and popups.
    Number(cr, dig, 123450, 502, 38, 17, 24, 6);
    Number(cr, dig, 87, 519, 70, 17, 24, 5);
    Number(cr, dig, 9, 536, 102, 17, 24, 4);
    Blit(cr, ch, 488, 164, 224, 0, 112, 112);
    if (everything)
      for (int k = 0; k < 4; k++) Blit(cr, fx, 60 + 90 * (k % 2), 300 + 40 * k, 0, 32 * k, 120, 32);
    Blit(cr, lab, 24, 40, 0, 0, 216, 24);
    Number(cr, dig, 5, 188, 40, 17, 24, 2);
    Blit(cr, lab, 24, 64, 0, 24, 216, 24);
    Number(cr, dig, 3, 208, 64, 17, 24, 2);
    if (everything) Blit(cr, clr, 64, 96, 0, 0, 512, 64);
    cairo_destroy(cr);
  }
  return surf;
}

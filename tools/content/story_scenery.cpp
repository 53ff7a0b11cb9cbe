// Scenery pieces shared by the story pictures: skies, glows, the moon,
// woods, paper lanterns, mist, reeds and moonlight on water.
#include <algorithm>
#include <cmath>
#include <vector>

#include "story.h"

namespace story {

void Sky(cairo_t* cr, double w, double h, std::initializer_list<Stop> stops) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  for (const Stop& s : stops) cairo_pattern_add_color_stop_rgb(p, s.at, s.c.r, s.c.g, s.c.b);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Glow(cairo_t* cr, double x, double y, double r, Rgb c, double a) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, a);
  cairo_pattern_add_color_stop_rgba(p, 0.3, c.r, c.g, c.b, a * 0.55);
  cairo_pattern_add_color_stop_rgba(p, 0.65, c.r, c.g, c.b, a * 0.16);
  cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Reeds(cairo_t* cr, Rand& rnd, int count, double spread, double top0, double top1,
           double leanMax, Rgb colour) {
  for (int side = 0; side < 2; side++)
    for (int i = 0; i < count; i++) {
      double bx = side ? 640 - rnd.Range(0, spread) : rnd.Range(0, spread);
      double top = rnd.Range(top0, top1), lean = rnd.Range(-leanMax, leanMax);
      cairo_move_to(cr, bx, 480);
      cairo_curve_to(cr, bx, 440, bx + lean * 0.5, top + 30, bx + lean, top);
      SetRgb(cr, colour);
      cairo_set_line_width(cr, rnd.Range(2, 4));
      cairo_stroke(cr);
    }
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

void Moon(cairo_t* cr, double x, double y, double r, double halo) {
  Glow(cr, x, y, r * 5, Hex(0xb8d0ff), 0.22 * halo);
  Glow(cr, x, y, r * 2.2, Hex(0xfff2d0), 0.35 * halo);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, r * 0.1, x, y, r);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.995, 0.94);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.95, 0.89, 0.70);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Faint maria.
  const double spots[4][3] = {
      {-0.3, -0.2, 0.28}, {0.25, -0.05, 0.22}, {0.0, 0.35, 0.2}, {0.38, 0.35, 0.12}};
  for (const auto& s : spots) {
    Ellipse(cr, x + s[0] * r, y + s[1] * r, s[2] * r, s[2] * r * 0.8);
    SetRgb(cr, Hex(0xc8b890), 0.22);
    cairo_fill(cr);
  }
}

void Woods(cairo_t* cr, double x0, double x1, double base, double height, Rgb c, uint32_t seed) {
  Rand rnd(seed);
  cairo_move_to(cr, x0, base + 40);
  double x = x0;
  while (x < x1) {
    double w = rnd.Range(18, 46), top = base - height * rnd.Range(0.45, 1.0);
    if (rnd.Next() % 3 == 0) {
      // A cedar: stacked layers up to a point.
      cairo_line_to(cr, x, base - height * 0.2);
      int layers = 5;
      for (int k = 0; k < layers; k++) {
        double t = static_cast<double>(k) / layers, t1 = (k + 1.0) / layers;
        double yy = base - (base - top) * t, y1 = base - (base - top) * t1;
        cairo_line_to(cr, x + w * 0.5 * t1 * 0.8, yy);
        cairo_line_to(cr, x + w * 0.5 - w * 0.06, y1);
      }
      cairo_line_to(cr, x + w * 0.5, top);
      cairo_line_to(cr, x + w * 0.56, top + (base - top) * 0.2);
      cairo_line_to(cr, x + w, base - height * 0.2);
    } else {
      // Broadleaf: the outline over a few round crowns, as wide as it is tall.
      w = std::max(w, (base - top) * 0.75);
      double r = w * 0.42, cx = x + w * 0.5, cy = top + r;
      cairo_line_to(cr, x, std::max(cy + r * 0.4, base - height * 0.2));
      cairo_arc(cr, cx - r * 0.55, cy + r * 0.35, r * 0.7, M_PI * 0.9, M_PI * 1.6);
      cairo_arc(cr, cx, cy, r, M_PI * 1.15, M_PI * 1.85);
      cairo_arc(cr, cx + r * 0.55, cy + r * 0.35, r * 0.7, M_PI * 1.4, M_PI * 2.1);
      cairo_line_to(cr, x + w, std::max(cy + r * 0.4, base - height * 0.2));
    }
    x += w * rnd.Range(0.6, 0.95);
  }
  cairo_line_to(cr, x1, base + 40);
  cairo_close_path(cr);
  SetRgb(cr, c);
  cairo_fill(cr);
}

void PaperLantern(cairo_t* cr, double x, double y, double h, double light, Rgb paper) {
  const double rx = h * 0.36, ry = h * 0.42, cy = y + h * 0.5;
  if (light > 0) {
    Glow(cr, x, cy, h * 2.2, Hex(0xffa040), 0.30 * light);
    Glow(cr, x, cy, h * 0.9, Hex(0xffd080), 0.45 * light);
  }
  // Paper body: lit from inside, brightest in the middle.
  Ellipse(cr, x, cy, rx, ry);
  cairo_pattern_t* p = cairo_pattern_create_radial(x, cy, 0, x, cy, rx * 1.15);
  double l = 0.35 + 0.65 * light;
  cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, paper.r * l + 0.35 * light),
                                   std::min(1.0, paper.g * l + 0.3 * light),
                                   std::min(1.0, paper.b * l + 0.2 * light));
  cairo_pattern_add_color_stop_rgb(p, 1, paper.r * l * 0.55, paper.g * l * 0.45, paper.b * l * 0.4);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Bamboo ribs.
  cairo_save(cr);
  Ellipse(cr, x, cy, rx, ry);
  cairo_clip(cr);
  for (int k = 1; k < 8; k++) {
    double t = -1 + 2.0 * k / 8, yy = cy + t * ry;
    double half = rx * std::sqrt(std::max(0.0, 1 - t * t));
    cairo_move_to(cr, x - half, yy);
    cairo_curve_to(cr, x - half * 0.5, yy + ry * 0.05, x + half * 0.5, yy + ry * 0.05, x + half,
                   yy);
  }
  SetRgb(cr, Hex(0x5a1a08), 0.35);
  cairo_set_line_width(cr, std::max(0.6, h * 0.018));
  cairo_stroke(cr);
  cairo_restore(cr);
  // Black lacquer caps and the hanger.
  for (int k = 0; k < 2; k++) {
    double yy = k ? cy + ry * 0.93 : cy - ry * 0.93 - h * 0.06;
    RoundRect(cr, x - rx * 0.45, yy, rx * 0.9, h * 0.07, h * 0.02);
    SetRgb(cr, Hex(0x141018));
    cairo_fill(cr);
  }
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x, cy - ry);
  SetRgb(cr, Hex(0x141018));
  cairo_set_line_width(cr, std::max(0.6, h * 0.02));
  cairo_stroke(cr);
}

void Mist(Canvas& c, double y, double h, double a, uint32_t seed) {
  Canvas m(c.w, c.h);
  Rand rnd(seed);
  for (int i = 0; i < 26; i++) {
    double mx = rnd.Range(-60, c.w + 60), my = y + rnd.Range(0, h);
    Ellipse(m.cr, mx, my, rnd.Range(60, 180), rnd.Range(6, 18));
    SetRgb(m.cr, Hex(0xe8eeff), rnd.Range(0.3, 0.7));
    cairo_fill(m.cr);
  }
  Blur(m.surf, 10);
  cairo_set_source_surface(c.cr, m.surf, 0, 0);
  cairo_paint_with_alpha(c.cr, a);
}

void MoonPath(cairo_t* cr, double x, double top, double bottom, double width, double a,
              uint32_t seed) {
  Rand rnd(seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  int n = static_cast<int>((bottom - top) / 4);
  for (int i = 0; i < n; i++) {
    double depth = static_cast<double>(i) / n;
    double y = top + (bottom - top) * depth * depth + rnd.Range(-1, 1);
    double half = width * (0.25 + 0.75 * depth);
    double cx = x + rnd.Range(-half, half) * 0.5, len = rnd.Range(0.3, 1.0) * half;
    cairo_move_to(cr, cx - len, y);
    cairo_curve_to(cr, cx - len / 3, y - 1.2, cx + len / 3, y + 1.2, cx + len, y);
    SetRgb(cr, Hex(0xfff0c8), a * (0.8 - depth * 0.55));
    cairo_set_line_width(cr, 1.2 + 2.5 * depth);
    cairo_stroke(cr);
  }
}

void Cloud(Canvas& c, double x0, double x1, double y, double h, Rgb body, Rgb rim, double lx,
           double ly, double a, uint32_t seed) {
  // The lobes twice: once in the rim colour moved towards the light, then
  // the body over them, so only the edge facing the light stays bright.
  struct Lobe {
    double x, y, rx, ry;
  };
  std::vector<Lobe> lobes;
  Rand rnd(seed);
  for (double x = x0; x < x1;) {
    double t = (x - x0) / std::max(1.0, x1 - x0);
    double r = h * (0.5 + 0.5 * std::sin(M_PI * t)) * rnd.Range(0.75, 1.1);
    lobes.push_back({x, y + rnd.Range(-0.3, 0.2) * h, r * 1.25, r * 0.7});
    x += r * rnd.Range(0.7, 1.0);
  }
  Canvas m(c.w, c.h);
  for (int pass = 0; pass < 2; pass++) {
    for (const Lobe& l : lobes) {
      double dx = lx - l.x, dy = ly - l.y, d = std::max(1.0, std::hypot(dx, dy));
      double k = pass == 0 ? std::min(0.22, 40.0 / d) : 0;
      Ellipse(m.cr, l.x + dx / d * l.rx * k, l.y + dy / d * l.ry * k, l.rx, l.ry);
    }
    if (pass == 0) {
      SetRgb(m.cr, rim);
    } else {
      cairo_pattern_t* p = cairo_pattern_create_linear(0, y - h, 0, y + h);
      cairo_pattern_add_color_stop_rgb(p, 0, body.r * 1.25, body.g * 1.25, body.b * 1.25);
      cairo_pattern_add_color_stop_rgb(p, 1, body.r * 0.8, body.g * 0.8, body.b * 0.85);
      cairo_set_source(m.cr, p);
      cairo_pattern_destroy(p);
    }
    cairo_fill(m.cr);
  }
  Blur(m.surf, 5);
  cairo_set_source_surface(c.cr, m.surf, 0, 0);
  cairo_paint_with_alpha(c.cr, a);
}

void Fireflies(cairo_t* cr, double x, double y, double w, double h, int n, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < n; i++)
    Firefly(cr, x + rnd.Uniform() * w, y + rnd.Uniform() * h, rnd.Range(3, 8),
            rnd.Range(0.35, 0.9));
}

void OldPaperLantern(cairo_t* cr, double x, double y, double h, double fire, double day) {
  const double rx = h * 0.36, ry = h * 0.42, cy = y + h * 0.5;
  if (fire > 0) {
    Glow(cr, x, cy, h * 2.2, Hex(0xffa040), 0.3 * fire);
    Glow(cr, x, cy, h * 0.9, Hex(0xffd080), 0.45 * fire);
  }
  // Sun-faded paper: pale rose, lit from outside by day or from within by its flame.
  Ellipse(cr, x, cy, rx, ry);
  cairo_pattern_t* p =
      cairo_pattern_create_radial(x - rx * 0.3 * day, cy - ry * 0.3 * day, 0, x, cy, rx * 1.2);
  // The red of the paper faded towards rose; its own flame turns it orange.
  const Rgb paper = fire > 0 ? Hex(0xf8a070) : Hex(0xf0a494);
  double l = 0.45 + 0.5 * day + 0.45 * fire;
  cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, paper.r * l + 0.3 * fire),
                                   std::min(1.0, paper.g * l + 0.25 * fire),
                                   std::min(1.0, paper.b * l + 0.1 * fire));
  cairo_pattern_add_color_stop_rgb(p, 1, paper.r * l * 0.6, paper.g * l * 0.5, paper.b * l * 0.5);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  Ellipse(cr, x, cy, rx, ry);
  cairo_clip(cr);
  for (int k = 1; k < 8; k++) {
    if (k == 3) continue;  // a rib broken away
    double t = -1 + 2.0 * k / 8, yy = cy + t * ry;
    double half = rx * std::sqrt(std::max(0.0, 1 - t * t));
    cairo_move_to(cr, x - half, yy);
    cairo_curve_to(cr, x - half * 0.5, yy + ry * 0.05, x + half * 0.5, yy + ry * 0.05, x + half,
                   yy);
  }
  SetRgb(cr, Hex(0x6a3a2a), 0.4);
  cairo_set_line_width(cr, std::max(0.6, h * 0.018));
  cairo_stroke(cr);
  // A tear where the rib is missing, and the child's writing.
  cairo_move_to(cr, x - rx * 0.6, cy - ry * 0.3);
  cairo_line_to(cr, x - rx * 0.35, cy - ry * 0.18);
  cairo_line_to(cr, x - rx * 0.5, cy - ry * 0.02);
  SetRgb(cr, Hex(0x4a2020), 0.7);
  cairo_set_line_width(cr, std::max(0.6, h * 0.015));
  cairo_stroke(cr);
  cairo_translate(cr, x + rx * 0.42, cy + ry * 0.5);
  cairo_rotate(cr, -0.12);
  SelectFont(cr, FONT_MINCHO, h * 0.2, true);
  cairo_new_path(cr);
  TextPath(cr, "ちよ", 0, 0, 0.5);
  SetRgb(cr, Hex(0x2a1414), 0.75);
  cairo_fill(cr);
  cairo_restore(cr);
  for (int k = 0; k < 2; k++) {
    double yy = k ? cy + ry * 0.93 : cy - ry * 0.93 - h * 0.06;
    RoundRect(cr, x - rx * 0.45, yy, rx * 0.9, h * 0.07, h * 0.02);
    SetRgb(cr, Hex(0x2a2420));
    cairo_fill(cr);
  }
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x, cy - ry);
  SetRgb(cr, Hex(0x2a2420));
  cairo_set_line_width(cr, std::max(0.6, h * 0.02));
  cairo_stroke(cr);
}

}  // namespace story

// The story scenes: shared drawing pieces, the four backgrounds, the wipe
// pattern for event pictures and the message-window frame. The event
// pictures themselves are in story_events.cpp.
#include "story.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// Reeds in silhouette rising from the bottom edge at both sides: count on
// each side within spread pixels of the edge, tips between top0 and top1.
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

namespace {
void Feather(cairo_t* cr, double x0, double y0, double x1, double y1, double w) {
  double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy), nx = -dy / len, ny = dx / len;
  cairo_move_to(cr, x0, y0);
  cairo_curve_to(cr, x0 + dx * 0.3 + nx * w, y0 + dy * 0.3 + ny * w, x1 + nx * w * 0.4,
                 y1 + ny * w * 0.4, x1, y1);
  cairo_curve_to(cr, x1 - nx * w * 0.4, y1 - ny * w * 0.4, x0 + dx * 0.3 - nx * w,
                 y0 + dy * 0.3 - ny * w, x0, y0);
  cairo_close_path(cr);
}
}  // namespace

void LanternBird(cairo_t* cr, double x, double y, double r, BirdPose pose, double light) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, r, r);
  const Rgb warm = Hex(0xffb050);
  // The tail: long feathers ending in a round glowing lantern of paper-thin plumes.
  // Perched, it hangs below the branch; flying or resting, it trails behind.
  const double tx = pose == BIRD_PERCHED ? 1.35 : 1.55, ty = pose == BIRD_PERCHED ? 1.25 : 0.55;
  if (light > 0) {
    Glow(cr, tx, ty, 3.6, Hex(0xff9a3a), 0.28 * light);
    Glow(cr, tx, ty, 1.3, Hex(0xffe0a0), 0.6 * light);
  }
  for (int k = -1; k <= 1; k++) {
    Feather(cr, 0.6, 0.25, tx + k * 0.25, ty + 0.55 - std::abs(k) * 0.1, 0.12);
    SetRgb(cr, Hex(0x20284a));
    cairo_fill(cr);
  }
  Ellipse(cr, tx, ty, 0.42, 0.55);
  cairo_pattern_t* p = cairo_pattern_create_radial(tx, ty, 0, tx, ty, 0.6);
  double l = 0.25 + 0.75 * light;
  cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, 0.45 + 0.6 * l), 0.30 + 0.62 * l,
                                   0.15 + 0.45 * l);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.35 + 0.5 * l, 0.12 + 0.3 * l, 0.06 + 0.08 * l);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  Ellipse(cr, tx, ty, 0.42, 0.55);
  cairo_clip(cr);
  for (int k = 1; k < 5; k++) {  // feather ribs like lantern ribs
    double yy = ty - 0.55 + 1.1 * k / 5;
    cairo_move_to(cr, tx - 0.5, yy);
    cairo_curve_to(cr, tx - 0.2, yy + 0.06, tx + 0.2, yy + 0.06, tx + 0.5, yy);
  }
  SetRgb(cr, Hex(0x7a2a08), 0.35);
  cairo_set_line_width(cr, 0.03);
  cairo_stroke(cr);
  cairo_restore(cr);
  Ellipse(cr, tx, ty - 0.56, 0.16, 0.05);
  Ellipse(cr, tx, ty + 0.56, 0.13, 0.045);
  SetRgb(cr, Hex(0x1a1830));
  cairo_fill(cr);

  // Far wing when flying.
  if (pose == BIRD_FLYING) {
    Feather(cr, 0.1, -0.3, 0.9, -1.9, 0.45);
    SetRgb(cr, Hex(0x1c2448));
    cairo_fill(cr);
  }
  // Body: night-blue back, cream breast touched by the tail's light.
  Ellipse(cr, 0, 0, 1.0, 0.78);
  p = cairo_pattern_create_linear(0, -0.8, 0.2, 0.8);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.20, 0.26, 0.48);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.10, 0.12, 0.26);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Ellipse(cr, -0.3, 0.25, 0.62, 0.48);
  p = cairo_pattern_create_radial(-0.3, 0.3, 0.05, -0.3, 0.3, 0.65);
  cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.93, 0.78);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.78, 0.70, 0.62);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  if (light > 0) {
    cairo_save(cr);
    Ellipse(cr, 0, 0, 1.0, 0.78);
    cairo_clip(cr);
    Glow(cr, tx, ty, 2.0, warm, 0.35 * light);
    cairo_restore(cr);
  }
  // Head with a little crest.
  const double hx = -0.78, hy = pose == BIRD_ASLEEP ? -0.25 : -0.55;
  cairo_move_to(cr, hx + 0.05, hy - 0.5);
  cairo_curve_to(cr, hx + 0.25, hy - 0.85, hx + 0.45, hy - 0.75, hx + 0.5, hy - 0.7);
  cairo_curve_to(cr, hx + 0.35, hy - 0.6, hx + 0.3, hy - 0.45, hx + 0.3, hy - 0.4);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x2a3468));
  cairo_fill(cr);
  cairo_arc(cr, hx, hy, 0.55, 0, 2 * M_PI);
  p = cairo_pattern_create_radial(hx - 0.15, hy - 0.2, 0.05, hx, hy, 0.6);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.38, 0.64);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.13, 0.16, 0.34);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Cheek blush and white eye-ring.
  Ellipse(cr, hx - 0.18, hy + 0.22, 0.14, 0.09);
  SetRgb(cr, Hex(0xff9a80), 0.55);
  cairo_fill(cr);
  // Beak.
  cairo_move_to(cr, hx - 0.45, hy - 0.08);
  cairo_line_to(cr, hx - 0.85, hy + 0.06);
  cairo_line_to(cr, hx - 0.45, hy + 0.14);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xf0a840));
  cairo_fill(cr);
  if (pose == BIRD_ASLEEP) {
    cairo_arc(cr, hx - 0.12, hy - 0.08, 0.14, 0.15 * M_PI, 0.85 * M_PI);
    SetRgb(cr, Hex(0xfff0d8), 0.9);
    cairo_set_line_width(cr, 0.05);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  } else {
    cairo_arc(cr, hx - 0.12, hy - 0.08, 0.17, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xfff6e6));
    cairo_fill(cr);
    cairo_arc(cr, hx - 0.14, hy - 0.08, 0.12, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x0a0a14));
    cairo_fill(cr);
    cairo_arc(cr, hx - 0.18, hy - 0.13, 0.045, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xffffff));
    cairo_fill(cr);
  }
  // Near wing.
  if (pose == BIRD_FLYING) {
    Feather(cr, 0.0, -0.1, -0.3, -2.1, 0.55);
  } else {
    Feather(cr, -0.1, -0.3, 1.05, 0.35, 0.34);
  }
  p = cairo_pattern_create_linear(0, -0.4, 0.6, 0.4);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.22, 0.30, 0.58);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.10, 0.24);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  for (int k = 0; k < 3; k++) {
    double t = 0.3 + 0.22 * k;
    if (pose == BIRD_FLYING) {
      cairo_move_to(cr, -0.05 - 0.1 * t, -0.3 - 1.5 * t);
      cairo_line_to(cr, -0.35 - 0.1 * t, -0.2 - 1.4 * t);
    } else {
      cairo_move_to(cr, 0.1 + 0.9 * t, -0.2 + 0.5 * t);
      cairo_line_to(cr, 0.0 + 0.9 * t, 0.05 + 0.45 * t);
    }
  }
  SetRgb(cr, Hex(0x9ab0ff), 0.35);
  cairo_set_line_width(cr, 0.035);
  cairo_stroke(cr);
  // Feet.
  if (pose != BIRD_FLYING) {
    for (int k = 0; k < 2; k++) {
      double fx = -0.2 + 0.3 * k;
      cairo_move_to(cr, fx, 0.7);
      cairo_line_to(cr, fx - 0.05, 0.95);
      cairo_move_to(cr, fx - 0.05, 0.95);
      cairo_line_to(cr, fx - 0.22, 1.0);
      cairo_move_to(cr, fx - 0.05, 0.95);
      cairo_line_to(cr, fx + 0.12, 1.0);
    }
    SetRgb(cr, Hex(0x6a4a3a));
    cairo_set_line_width(cr, 0.07);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void MoonBowl(cairo_t* cr, double x, double y, double w, double glow) {
  const double rx = w / 2, ry = w * 0.12, depth = w * 0.42;
  if (glow > 0) {
    Glow(cr, x, y, w * 1.6, Hex(0xa8c8ff), 0.35 * glow);
    Glow(cr, x, y - w * 0.05, w * 0.8, Hex(0xfff0c8), 0.4 * glow);
  }
  // Foot ring.
  RoundRect(cr, x - rx * 0.38, y + depth - w * 0.04, rx * 0.76, w * 0.09, w * 0.02);
  SetRgb(cr, Hex(0x3a0c0c));
  cairo_fill(cr);
  // Outer wall: vermilion lacquer with a dark lower half and a moon sheen.
  cairo_move_to(cr, x - rx, y);
  cairo_curve_to(cr, x - rx, y + depth * 0.7, x - rx * 0.5, y + depth, x, y + depth);
  cairo_curve_to(cr, x + rx * 0.5, y + depth, x + rx, y + depth * 0.7, x + rx, y);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(x - rx, 0, x + rx, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.04, 0.05);
  cairo_pattern_add_color_stop_rgb(p, 0.35, 0.78, 0.16, 0.12);
  cairo_pattern_add_color_stop_rgb(p, 0.55, 0.62, 0.10, 0.09);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.18, 0.02, 0.04);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  p = cairo_pattern_create_linear(0, y, 0, y + depth);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.0, 0.04, 0.6);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // A gold crescent and a few grasses painted on the wall.
  cairo_save(cr);
  cairo_translate(cr, x - rx * 0.42, y + depth * 0.45);
  cairo_scale(cr, w * 0.075, w * 0.075);
  cairo_new_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_arc_negative(cr, 0.45, -0.25, 0.85, 2 * M_PI, 0);
  cairo_restore(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  SetRgb(cr, Hex(0xf0c870), 0.9);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (int k = 0; k < 4; k++) {
    double gx = x + rx * (0.05 + 0.12 * k);
    cairo_move_to(cr, gx, y + depth * 0.85);
    cairo_curve_to(cr, gx, y + depth * 0.6, gx + w * 0.04, y + depth * 0.45,
                   gx + w * (0.08 + 0.01 * k), y + depth * (0.35 + 0.05 * k));
  }
  SetRgb(cr, Hex(0xf0c870), 0.75);
  cairo_set_line_width(cr, std::max(0.7, w * 0.008));
  cairo_stroke(cr);
  // The water inside, holding the moon.
  Ellipse(cr, x, y, rx * 0.94, ry * 0.8);
  p = cairo_pattern_create_radial(x, y, 0, x, y, rx);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.35 + 0.5 * glow, 0.5 + 0.4 * glow, 0.75 + 0.2 * glow);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.05, 0.12, 0.28);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Ellipse(cr, x + rx * 0.1, y, rx * 0.2, ry * 0.45);
  SetRgb(cr, Hex(0xfff8e0), 0.5 + 0.5 * glow);
  cairo_fill(cr);
  // Gold rim.
  Ellipse(cr, x, y, rx, ry);
  SetRgb(cr, Hex(0xe8b860));
  cairo_set_line_width(cr, std::max(1.0, w * 0.022));
  cairo_stroke(cr);
  Ellipse(cr, x, y - ry * 0.1, rx * 0.97, ry * 0.85);
  SetRgb(cr, Hex(0xfff0c0), 0.45);
  cairo_set_line_width(cr, std::max(0.6, w * 0.006));
  cairo_stroke(cr);
}

namespace {
const Rgb kSkin = Hex(0xf4c6a4), kSkinShade = Hex(0x9a6450);

// Skin lit from above (where what the hands hold shines), darker below.
void SkinSource(cairo_t* cr, double y, double w, double lit, Rgb light) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y - w * 0.1, 0, y + w * 0.45);
  double k = 0.45 + 0.55 * lit, t = 0.12 * lit;
  cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, kSkin.r * k + light.r * t),
                                   std::min(1.0, kSkin.g * k + light.g * t),
                                   std::min(1.0, kSkin.b * k + light.b * t));
  cairo_pattern_add_color_stop_rgb(p, 1, kSkinShade.r * k * 0.6, kSkinShade.g * k * 0.55,
                                   kSkinShade.b * k * 0.65);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void SkinEdge(cairo_t* cr, double w) {
  SetRgb(cr, Hex(0x5a2c24), 0.45);
  cairo_set_line_width(cr, std::max(0.8, w * 0.005));
  cairo_stroke(cr);
}

// An indigo yukata sleeve from the cuff at the wrist down to the lower
// corner, with a white asagao (morning glory) print.
void Sleeve(cairo_t* cr, double x, double y, double w, int side) {
  const double s = side;
  auto path = [&] {
    cairo_move_to(cr, x + s * w * 0.06, y + w * 0.38);
    cairo_curve_to(cr, x + s * w * 0.2, y + w * 0.33, x + s * w * 0.36, y + w * 0.3,
                   x + s * w * 0.5, y + w * 0.31);
    cairo_curve_to(cr, x + s * w * 0.7, y + w * 0.45, x + s * w * 0.95, y + w * 0.6,
                   x + s * w * 1.1, y + w * 0.9);
    cairo_line_to(cr, x + s * w * 0.12, y + w * 1.2);
    cairo_close_path(cr);
  };
  path();
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y + w * 0.3, 0, y + w);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.18, 0.22, 0.46);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.05, 0.06, 0.16);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  path();
  cairo_clip(cr);
  Rand rnd(side > 0 ? 41 : 43);
  for (int i = 0; i < 9; i++) {
    double fx = x + s * w * rnd.Range(0.1, 1.0), fy = y + w * rnd.Range(0.4, 0.9),
           fr = w * rnd.Range(0.045, 0.07);
    for (int k = 0; k < 5; k++) {
      double a = k * 2 * M_PI / 5 + i;
      Ellipse(cr, fx + cos(a) * fr * 0.5, fy + sin(a) * fr * 0.5, fr * 0.55, fr * 0.55);
    }
    SetRgb(cr, Hex(0xdce6ff), 0.5);
    cairo_fill(cr);
    cairo_arc(cr, fx, fy, fr * 0.22, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x7088e0), 0.8);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  // The cuff's edge catches the light.
  cairo_move_to(cr, x + s * w * 0.06, y + w * 0.38);
  cairo_curve_to(cr, x + s * w * 0.2, y + w * 0.33, x + s * w * 0.36, y + w * 0.3, x + s * w * 0.5,
                 y + w * 0.31);
  SetRgb(cr, Hex(0xa8b8f0), 0.55);
  cairo_set_line_width(cr, std::max(1.0, w * 0.008));
  cairo_stroke(cr);
}
}  // namespace

void CuppedHands(cairo_t* cr, double x, double y, double w, double lit, Rgb light) {
  for (int side = -1; side <= 1; side += 2) {
    const double s = side;
    // Wrist, then the palm: a rounded pad whose inner edge meets the other's.
    cairo_move_to(cr, x + s * w * 0.06, y + w * 0.42);
    cairo_line_to(cr, x + s * w * 0.1, y + w * 0.12);
    cairo_line_to(cr, x + s * w * 0.4, y + w * 0.1);
    cairo_line_to(cr, x + s * w * 0.42, y + w * 0.42);
    cairo_close_path(cr);
    SkinSource(cr, y, w, lit, light);
    cairo_fill(cr);
    Ellipse(cr, x + s * w * 0.22, y + w * 0.1, w * 0.21, w * 0.12);
    SkinSource(cr, y, w, lit, light);
    cairo_fill_preserve(cr);
    SkinEdge(cr, w);
  }
  // The hollow, in shadow.
  Ellipse(cr, x, y + w * 0.04, w * 0.34, w * 0.07);
  SetRgb(cr, kSkinShade, 0.35);
  cairo_fill(cr);
  Sleeve(cr, x, y, w, -1);
  Sleeve(cr, x, y, w, 1);
}

void CuppedFingers(cairo_t* cr, double x, double y, double w, double lit, Rgb light) {
  for (int side = -1; side <= 1; side += 2) {
    const double s = side;
    // Thumb along the outer rim.
    cairo_save(cr);
    cairo_translate(cr, x + s * w * 0.42, y + w * 0.08);
    cairo_rotate(cr, -s * 0.55);
    Ellipse(cr, 0, -w * 0.05, w * 0.045, w * 0.1);
    cairo_restore(cr);
    SkinSource(cr, y, w, lit, light);
    cairo_fill_preserve(cr);
    SkinEdge(cr, w);
    // Four fingers curling up in front, from the outer (little finger
    // lowest) to the inner, each laid over the last.
    for (int k = 0; k < 4; k++) {
      double bx = x + s * w * (0.37 - 0.085 * k), by = y + w * (0.2 - 0.005 * k);
      double len = w * (0.2 + 0.025 * (k == 1 || k == 2)), fw = w * 0.068;
      cairo_save(cr);
      cairo_translate(cr, bx, by);
      cairo_rotate(cr, -s * (0.12 + 0.07 * k));
      cairo_move_to(cr, -fw / 2, 0);
      cairo_curve_to(cr, -fw / 2, -len * 0.6, -fw * 0.45, -len, 0, -len);
      cairo_curve_to(cr, fw * 0.45, -len, fw / 2, -len * 0.6, fw / 2, 0);
      cairo_close_path(cr);
      cairo_restore(cr);
      SkinSource(cr, y - w * 0.05, w, lit, light);
      cairo_fill_preserve(cr);
      SkinEdge(cr, w);
      // A nail at the tip.
      cairo_save(cr);
      cairo_translate(cr, bx, by);
      cairo_rotate(cr, -s * (0.12 + 0.07 * k));
      Ellipse(cr, 0, -len * 0.86, fw * 0.28, len * 0.09);
      cairo_restore(cr);
      SetRgb(cr, Hex(0xffe4d8), 0.35 + 0.3 * lit);
      cairo_fill(cr);
    }
  }
}

}  // namespace story

using namespace story;

namespace {
void Store24(Output& out, const char* name, Canvas& c) {
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp24(c.surf);
  WritePng(out, name, c.surf);
}

// g0001: the festival path through the village at night.
void FestivalPath(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480,
      {{0, Hex(0x050816)}, {0.45, Hex(0x101c40)}, {0.62, Hex(0x2a2440)}, {1, Hex(0x0c0a14)}});
  Stars(cr, 0, 0, 640, 220, 150, 31);
  // Far hills and the glow of the festival beyond the path's end.
  Glow(cr, 340, 268, 260, Hex(0xff9040), 0.30);
  cairo_move_to(cr, 0, 250);
  for (int x = 0; x <= 640; x += 16) cairo_line_to(cr, x, 238 - 22 * sin(x * 0.008 + 0.6));
  cairo_line_to(cr, 640, 300);
  cairo_line_to(cr, 0, 300);
  SetRgb(cr, Hex(0x141a34));
  cairo_fill(cr);
  // Stalls far away: small lit awnings and a row of tiny lanterns.
  {
    Canvas far(640, 480);
    Rand rnd(77);
    for (int i = 0; i < 9; i++) {
      double sx = 262 + i * 19 + rnd.Range(-3, 3), sy = 268 + rnd.Range(-2, 2);
      RoundRect(far.cr, sx, sy - 12, 16, 12, 1.5);
      SetRgb(far.cr, Hex(i % 2 ? 0xffd8a0 : 0xffb870), 0.95);
      cairo_fill(far.cr);
      cairo_rectangle(far.cr, sx - 1, sy - 16, 18, 4);
      SetRgb(far.cr, Hex(i % 3 ? 0xd83a30 : 0xf0f0f0), 0.9);
      cairo_fill(far.cr);
    }
    for (int i = 0; i < 24; i++) {
      double lx = 252 + i * 8;
      cairo_arc(far.cr, lx, 250 + 3 * sin(i * 0.8), 2, 0, 2 * M_PI);
      SetRgb(far.cr, Hex(0xffa050));
      cairo_fill(far.cr);
    }
    Blur(far.surf, 1);
    cairo_set_source_surface(cr, far.surf, 0, 0);
    cairo_paint(cr);
    Glow(cr, 340, 262, 90, Hex(0xffc070), 0.35);
  }
  // Dark trees on both sides and village roofs.
  Woods(cr, -20, 250, 270, 190, Hex(0x080c1c), 3);
  Woods(cr, 430, 660, 270, 200, Hex(0x080c1c), 4);
  for (int side = 0; side < 2; side++) {
    double bx = side ? 470 : 40, bw = 150;
    cairo_move_to(cr, bx - 20, 250);
    cairo_line_to(cr, bx + bw / 2, 205);
    cairo_line_to(cr, bx + bw + 20, 250);
    cairo_close_path(cr);
    SetRgb(cr, Hex(0x0a0e20));
    cairo_fill(cr);
    cairo_rectangle(cr, bx, 248, bw, 60);
    SetRgb(cr, Hex(0x0c1024));
    cairo_fill(cr);
    // A warm window.
    cairo_rectangle(cr, bx + (side ? 24 : 90), 262, 30, 20);
    SetRgb(cr, Hex(0xe89a50), 0.75);
    cairo_fill(cr);
    for (int k = 1; k < 3; k++) {
      cairo_move_to(cr, bx + (side ? 24 : 90) + 10 * k, 262);
      cairo_rel_line_to(cr, 0, 20);
    }
    SetRgb(cr, Hex(0x0c1024));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  // The path: pale earth narrowing towards the stalls.
  cairo_move_to(cr, 330, 282);
  cairo_curve_to(cr, 300, 330, 150, 400, 40, 480);
  cairo_line_to(cr, 600, 480);
  cairo_curve_to(cr, 500, 400, 380, 330, 350, 282);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 282, 0, 480);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.42, 0.34, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.16, 0.15, 0.22);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  // Warm light from the lanterns pooled on the path, and pebbles.
  cairo_save(cr);
  cairo_clip(cr);
  Glow(cr, 330, 470, 260, Hex(0xffa050), 0.22);
  Glow(cr, 340, 330, 120, Hex(0xffb060), 0.25);
  Rand pebbles(6);
  for (int i = 0; i < 90; i++) {
    double t = pebbles.Uniform(), py = 285 + 195 * t * t;
    double px = 340 + pebbles.Range(-1, 1) * (10 + 280 * t * t);
    Ellipse(cr, px, py, 1 + 3 * t, 0.6 + 1.5 * t);
    SetRgb(cr, Hex(pebbles.Next() % 2 ? 0x1a1620 : 0x6a5a58), 0.5);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  // Grass verges.
  Rand rnd(5);
  for (int i = 0; i < 160; i++) {
    double t = rnd.Uniform(), side = rnd.Next() % 2;
    double gy = 290 + 190 * t * t;
    double edge = side ? 350 + (600 - 350) * t * t + 10 : 330 - (330 - 40) * t * t - 10;
    double gx = edge + (side ? 1 : -1) * rnd.Range(0, 140) * t;
    cairo_move_to(cr, gx, gy);
    cairo_line_to(cr, gx + rnd.Range(-4, 4), gy - rnd.Range(4, 14) * (0.4 + t));
    SetRgb(cr, Hex(0x101a26), 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  // Strings of paper lanterns across the path, nearer strings larger.
  for (int row = 0; row < 3; row++) {
    double depth = row / 2.0;  // 0 far .. 1 near
    double y0 = 200 - 140 * depth * depth, sag = 18 + 40 * depth, size = 12 + 30 * depth * depth;
    double xl = 250 - 250 * depth, xr = 430 + 240 * depth;
    cairo_move_to(cr, xl - 30, y0);
    cairo_curve_to(cr, xl + (xr - xl) * 0.3, y0 + sag * 1.3, xl + (xr - xl) * 0.7, y0 + sag * 1.3,
                   xr + 30, y0);
    SetRgb(cr, Hex(0x1a1418));
    cairo_set_line_width(cr, 1 + depth);
    cairo_stroke(cr);
    int n = 5 + row;
    for (int k = 0; k < n; k++) {
      double t = (k + 0.5) / n, lx = xl + (xr - xl) * t;
      double ly = y0 + sag * 4 * t * (1 - t) * 0.98;
      Rgb paper = Hex(k % 3 == 1 ? 0xf0e6d0 : 0xe04830);
      PaperLantern(cr, lx, ly, size, 0.85 + 0.15 * ((k + row) % 2), paper);
    }
  }
  Store24(out, "g0001", c);
}

// g0002: the old pond in the woods under the full moon.
void MoonPond(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 240, {{0, Hex(0x040616)}, {0.7, Hex(0x0c1638)}, {1, Hex(0x18285a)}});
  Stars(cr, 0, 0, 640, 180, 130, 17);
  Moon(cr, 320, 78, 38, 1.0);
  Woods(cr, -20, 660, 236, 120, Hex(0x0d1634), 11);
  Woods(cr, -20, 660, 242, 80, Hex(0x070c20), 12);
  DrawWater(cr, 0, 240, 640, 240, 23, false);
  // The moon whole on the still water, and its long path.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 240, 640, 240);
  cairo_clip(cr);
  Glow(cr, 320, 330, 120, Hex(0xc8dcff), 0.25);
  Ellipse(cr, 320, 330, 36, 14);
  SetRgb(cr, Hex(0xfff2d0), 0.8);
  cairo_fill(cr);
  MoonPath(cr, 320, 246, 470, 60, 0.9, 9);
  cairo_restore(cr);
  // Reflected treeline.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 240, 640, 30);
  cairo_clip(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 240, 0, 270);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.02, 0.04, 0.10, 0.8);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.04, 0.10, 0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
  // Reeds and lily pads at the near corners, fireflies over the water.
  Rand rnd(8);
  Reeds(cr, rnd, 16, 110, 300, 420, 18, Hex(0x040812));
  for (int i = 0; i < 18; i++) {
    double fx = rnd.Range(20, 620), fy = rnd.Range(200, 460);
    Firefly(cr, fx, fy, rnd.Range(4, 10), rnd.Range(0.4, 0.9));
  }
  Store24(out, "g0002", c);
}

// The stone lantern of the shrine, its fire box lit.
void StoneLantern(cairo_t* cr, double x, double base, double h) {
  const Rgb stone = Hex(0x3a4058), dark = Hex(0x1a1e30);
  Glow(cr, x, base - h * 0.62, h * 1.2, Hex(0xffb060), 0.35);
  auto block = [&](double cx, double y, double w, double hh, Rgb c) {
    RoundRect(cr, cx - w / 2, y, w, hh, std::min(w, hh) * 0.15);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, c.r * 1.4, c.g * 1.4, c.b * 1.4);
    cairo_pattern_add_color_stop_rgb(p, 1, c.r * 0.6, c.g * 0.6, c.b * 0.6);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  };
  block(x, base - h * 0.1, h * 0.5, h * 0.1, dark);
  block(x, base - h * 0.5, h * 0.14, h * 0.4, stone);
  block(x, base - h * 0.56, h * 0.4, h * 0.07, stone);
  // Fire box with a warm opening.
  block(x, base - h * 0.72, h * 0.3, h * 0.17, stone);
  cairo_rectangle(cr, x - h * 0.08, base - h * 0.69, h * 0.16, h * 0.11);
  SetRgb(cr, Hex(0xffd080));
  cairo_fill(cr);
  // Roof: a wide curved cap and a knob.
  cairo_move_to(cr, x - h * 0.36, base - h * 0.72);
  cairo_curve_to(cr, x - h * 0.2, base - h * 0.76, x - h * 0.1, base - h * 0.86, x, base - h * 0.9);
  cairo_curve_to(cr, x + h * 0.1, base - h * 0.86, x + h * 0.2, base - h * 0.76, x + h * 0.36,
                 base - h * 0.72);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x2c3248));
  cairo_fill(cr);
  cairo_arc(cr, x, base - h * 0.93, h * 0.04, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x2c3248));
  cairo_fill(cr);
  // Moss.
  Ellipse(cr, x - h * 0.15, base - h * 0.74, h * 0.08, h * 0.02);
  SetRgb(cr, Hex(0x3a6a48), 0.6);
  cairo_fill(cr);
}

// A small wooden shrine (hokora) on a stone base.
void Hokora(cairo_t* cr, double x, double base, double w) {
  RoundRect(cr, x - w * 0.6, base - w * 0.18, w * 1.2, w * 0.18, 3);
  SetRgb(cr, Hex(0x262a3c));
  cairo_fill(cr);
  cairo_rectangle(cr, x - w * 0.42, base - w * 0.8, w * 0.84, w * 0.62);
  cairo_pattern_t* p = cairo_pattern_create_linear(x - w * 0.42, 0, x + w * 0.42, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.20, 0.16);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.12, 0.08, 0.08);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Lattice doors, faintly lit from within.
  cairo_rectangle(cr, x - w * 0.3, base - w * 0.7, w * 0.6, w * 0.48);
  SetRgb(cr, Hex(0x402818));
  cairo_fill(cr);
  cairo_rectangle(cr, x - w * 0.3, base - w * 0.7, w * 0.6, w * 0.48);
  SetRgb(cr, Hex(0xffc880), 0.18);
  cairo_fill(cr);
  for (int k = 1; k < 6; k++) {
    cairo_move_to(cr, x - w * 0.3 + w * 0.1 * k, base - w * 0.7);
    cairo_rel_line_to(cr, 0, w * 0.48);
  }
  for (int k = 1; k < 4; k++) {
    cairo_move_to(cr, x - w * 0.3, base - w * 0.7 + w * 0.12 * k);
    cairo_rel_line_to(cr, w * 0.6, 0);
  }
  SetRgb(cr, Hex(0x1a1010));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Roof with upturned eaves.
  cairo_move_to(cr, x - w * 0.7, base - w * 0.76);
  cairo_curve_to(cr, x - w * 0.5, base - w * 0.82, x - w * 0.2, base - w * 1.05, x,
                 base - w * 1.15);
  cairo_curve_to(cr, x + w * 0.2, base - w * 1.05, x + w * 0.5, base - w * 0.82, x + w * 0.7,
                 base - w * 0.76);
  cairo_line_to(cr, x + w * 0.62, base - w * 0.72);
  cairo_line_to(cr, x - w * 0.62, base - w * 0.72);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1c2236));
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0x8ca0d8), 0.35);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Shimenawa rope with paper streamers.
  cairo_move_to(cr, x - w * 0.42, base - w * 0.72);
  cairo_curve_to(cr, x - w * 0.2, base - w * 0.64, x + w * 0.2, base - w * 0.64, x + w * 0.42,
                 base - w * 0.72);
  SetRgb(cr, Hex(0xd8c890));
  cairo_set_line_width(cr, w * 0.03);
  cairo_stroke(cr);
  for (int k = -1; k <= 1; k++) {
    double sx = x + k * w * 0.2, sy = base - w * 0.66;
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, sx + w * 0.04, sy + w * 0.05);
    cairo_line_to(cr, sx - w * 0.01, sy + w * 0.09);
    cairo_line_to(cr, sx + w * 0.03, sy + w * 0.14);
    SetRgb(cr, Hex(0xf8f4ec));
    cairo_set_line_width(cr, w * 0.025);
    cairo_stroke(cr);
  }
}

// g0003: the little shrine at the pond, the bowl on its stone.
void PondShrine(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x040616)}, {0.5, Hex(0x0e1a40)}, {1, Hex(0x081020)}});
  Stars(cr, 0, 0, 640, 160, 90, 23);
  Glow(cr, 540, 40, 200, Hex(0xb8d0ff), 0.18);
  Woods(cr, -20, 660, 220, 150, Hex(0x0b1330), 21);
  Woods(cr, -20, 660, 236, 100, Hex(0x060a1c), 22);
  // Mossy ground and the pond's edge at the bottom.
  cairo_rectangle(cr, 0, 236, 640, 244);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 236, 0, 480);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.05, 0.08, 0.12);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.12, 0.14);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_move_to(cr, 0, 350);
  cairo_curve_to(cr, 160, 325, 420, 332, 640, 340);
  cairo_line_to(cr, 640, 480);
  cairo_line_to(cr, 0, 480);
  cairo_close_path(cr);
  cairo_clip(cr);
  DrawWater(cr, 0, 320, 640, 160, 31, true);
  cairo_restore(cr);
  // Stepping stones along the edge.
  Rand rnd(12);
  for (int i = 0; i < 9; i++) {
    double sx = 30 + i * 70 + rnd.Range(-10, 10), sy = 338 + rnd.Range(-6, 8);
    Ellipse(cr, sx, sy, rnd.Range(18, 30), rnd.Range(6, 10));
    SetRgb(cr, Hex(0x2a3044));
    cairo_fill(cr);
    Ellipse(cr, sx - 3, sy - 3, 10, 3);
    SetRgb(cr, Hex(0x8898c0), 0.25);
    cairo_fill(cr);
  }
  // Shrine, lantern and the bowl on its flat stone.
  Hokora(cr, 430, 282, 136);
  StoneLantern(cr, 150, 306, 190);
  Ellipse(cr, 300, 310, 66, 18);
  SetRgb(cr, Hex(0x343a50));
  cairo_fill(cr);
  Ellipse(cr, 300, 304, 60, 14);
  SetRgb(cr, Hex(0x4a5270));
  cairo_fill(cr);
  MoonBowl(cr, 300, 272, 78, 0.7);
  // Fallen leaves and fireflies.
  for (int i = 0; i < 30; i++) {
    double lx = rnd.Range(0, 640), ly = rnd.Range(246, 320);
    Ellipse(cr, lx, ly, 3, 1.5);
    SetRgb(cr, Hex(0x2a3a30), 0.8);
    cairo_fill(cr);
  }
  for (int i = 0; i < 12; i++)
    Firefly(cr, rnd.Range(20, 620), rnd.Range(150, 330), rnd.Range(4, 9), rnd.Range(0.4, 0.9));
  Store24(out, "g0003", c);
}

// g0004: the pond before dawn, violet and orange, mist on the water.
void DawnPond(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 250,
      {{0, Hex(0x1a1840)}, {0.45, Hex(0x5a3a78)}, {0.8, Hex(0xc87a88)}, {1, Hex(0xf0b070)}});
  Stars(cr, 0, 0, 640, 70, 30, 41);
  Glow(cr, 200, 250, 260, Hex(0xffc080), 0.4);
  // The moon going down, pale.
  cairo_arc(cr, 520, 120, 22, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xf4eef0), 0.65);
  cairo_fill(cr);
  Glow(cr, 520, 120, 60, Hex(0xffffff), 0.15);
  Woods(cr, -20, 660, 238, 110, Hex(0x2a2040), 51);
  Woods(cr, -20, 660, 246, 70, Hex(0x161428), 52);
  DrawWater(cr, 0, 246, 640, 234, 53, false);
  // The dawn sky in the water.
  cairo_rectangle(cr, 0, 246, 640, 234);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 246, 0, 480);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.95, 0.65, 0.45, 0.55);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 0.55, 0.35, 0.55, 0.35);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.15, 0.12, 0.30, 0.2);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  MoonPath(cr, 200, 250, 470, 70, 0.6, 13);
  Mist(c, 220, 90, 0.75, 14);
  Mist(c, 330, 100, 0.4, 15);
  Rand rnd(16);
  Reeds(cr, rnd, 12, 90, 320, 430, 16, Hex(0x1a1426));
  Store24(out, "g0004", c);
}

// ptf0000: the wipe pattern. Brighter levels are revealed first: drops fall
// at a few points and their ripples carry the new picture outwards.
std::vector<uint8_t> WipePattern(int w, int h) {
  const double drops[4][3] = {{212, 190, 0}, {470, 300, 0.18}, {560, 90, 0.32}, {90, 400, 0.4}};
  std::vector<double> field(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      double t = 1e9;
      for (const auto& d : drops) {
        // Ripples are ellipses (the water seen at a slant); later drops start late.
        double dist = std::hypot(x - d[0], (y - d[1]) * 1.35) / 620.0 + d[2];
        double ring = 0.018 * std::sin(dist * 90.0) * std::exp(-dist * 1.2);
        t = std::min(t, dist + ring);
      }
      // A slow swirl of noise so the fronts are not perfectly round.
      t += 0.025 * std::sin(x * 0.021 + std::sin(y * 0.017) * 2.0) *
           std::cos(y * 0.019 - std::sin(x * 0.013) * 1.5);
      field[static_cast<size_t>(y) * w + x] = t;
    }
  // Equalise: levels are spread evenly over 0..255 so the wipe runs at an
  // even pace; the earliest pixels get 255.
  std::vector<uint32_t> order(field.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return field[a] != field[b] ? field[a] < field[b] : a < b;
  });
  std::vector<uint8_t> grey(field.size());
  for (size_t i = 0; i < order.size(); i++)
    grey[order[i]] = static_cast<uint8_t>(255 - (i * 256) / order.size());
  return grey;
}

// win00: the message-window frame, drawn subtractively (mode 3): each value
// is taken off the picture below. Black leaves it as it is; the text area
// takes off most of the light, a little less of the blue, so any background
// is left dark and slightly blue under white text.
std::vector<uint8_t> WindowFrame(int w, int h) {
  const double full[3] = {192, 184, 152};  // r, g, b taken off in the text area
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      // Soft top edge over the first rows, a fine rim, then the full depth.
      double k;
      if (y < 24) {
        double t = y / 24.0;
        k = 0.78 * t * t * (3 - 2 * t);
      } else if (y < 27) {
        k = 0.78 + (0.98 - 0.78) * (y - 24) / 3.0;
      } else if (y == 27 || y == 28) {
        k = 0.35;  // the rim: a thin line where the background shows through
      } else {
        k = 1.0;
      }
      // The rim fades out towards both sides, ending in small knots.
      if (y == 27 || y == 28) {
        double e = std::min(x, w - 1 - x) / 40.0;
        k = 0.98 - (0.98 - 0.35) * std::clamp(e, 0.0, 1.0);
        double knot = std::min(std::abs(x - 40.0), std::abs(x - (w - 41.0)));
        if (knot < 3) k = 0.1;
      }
      // A faint wave pattern in the soft edge.
      if (y >= 6 && y < 24) {
        double cx = std::fmod(x + (y / 6 % 2) * 12.0, 24.0) - 12.0, cy = std::fmod(y, 6.0);
        double r = std::hypot(cx, 6.0 - cy);
        if (std::abs(r - 10.5) < 0.6 || std::abs(r - 6.5) < 0.6) k *= 0.82;
      }
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      for (int ch = 0; ch < 3; ch++) p[ch] = static_cast<uint8_t>(std::lround(full[ch] * k));
    }
  return rgb;
}

// Copies plain pixels (grey, or rgb) into a canvas for encoding and previews.
void Fill(Canvas& c, const std::vector<uint8_t>& px, int channels) {
  cairo_surface_flush(c.surf);
  uint8_t* d = cairo_image_surface_get_data(c.surf);
  int stride = cairo_image_surface_get_stride(c.surf);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const uint8_t* s = &px[(static_cast<size_t>(y) * c.w + x) * channels];
      uint8_t* o = d + y * stride + x * 4;
      o[2] = s[0];
      o[1] = s[channels > 1 ? 1 : 0];
      o[0] = s[channels > 1 ? 2 : 0];
      o[3] = 255;
    }
  cairo_surface_mark_dirty(c.surf);
}
}  // namespace

void MakeStoryPictures(Output& out) {
  FestivalPath(out);
  MoonPond(out);
  PondShrine(out);
  DawnPond(out);
  MakeEventPictures(out);

  std::vector<uint8_t> grey = WipePattern(640, 480);
  out.files["grp/ptf0000.bmp"] = EncodeGrey8(grey, 640, 480);
  if (!out.previewDir.empty()) {
    Canvas c(640, 480);
    Fill(c, grey, 1);
    WritePng(out, "ptf0000", c.surf);
  }
  Canvas win(640, 160);
  Fill(win, WindowFrame(640, 160), 3);
  Store24(out, "win00", win);
}

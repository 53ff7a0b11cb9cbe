// The three pond creatures, the maker's walking mascot and the night water.
#include <cmath>

#include "content.h"

namespace {
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

void RadialFill(cairo_t* cr, double cx, double cy, double r, Rgb inner, Rgb outer, double a = 1) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r * 0.05, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, a);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, a);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void Glow(cairo_t* cr, double cx, double cy, double r, Rgb c, double a) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, a);
  cairo_pattern_add_color_stop_rgba(p, 0.55, c.r, c.g, c.b, a * 0.45);
  cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Eye(cairo_t* cr, double x, double y, double r) {
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x101018));
  cairo_fill(cr);
  cairo_arc(cr, x - r * 0.3, y - r * 0.35, r * 0.38, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xffffff), 0.95);
  cairo_fill(cr);
}

void Outline(cairo_t* cr, Rgb c, double w) {
  SetRgb(cr, c);
  cairo_set_line_width(cr, w);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// Goldfish seen from above, head up. Coordinates are in body lengths.
void Goldfish(cairo_t* cr, bool held) {
  const Rgb rim = Hex(0x5a1408);
  double bend = held ? 0.5 : 0.0;
  // Fan tail: two translucent lobes with fin rays.
  cairo_save(cr);
  cairo_translate(cr, 0, 0.12);
  cairo_rotate(cr, bend);
  for (int side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, side * 0.18, 0.08, side * 0.30, 0.22, side * 0.26, 0.38);
    cairo_curve_to(cr, side * 0.16, 0.33, side * 0.08, 0.36, side * 0.02, 0.30);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 0.38);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.45, 0.15, 0.95);
    cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.85, 0.55, 0.55);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    Outline(cr, Hex(0xb03a10), 0.012);
    for (int k = 1; k <= 3; k++) {
      cairo_move_to(cr, side * 0.01, 0.02);
      cairo_line_to(cr, side * (0.05 + 0.07 * k), 0.18 + 0.05 * k);
    }
    SetRgb(cr, Hex(0xffd2a0), 0.6);
    cairo_set_line_width(cr, 0.008);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // Pectoral fins.
  for (int side = -1; side <= 1; side += 2) {
    double spread = held ? 0.7 : 0.35;
    cairo_save(cr);
    cairo_translate(cr, side * 0.12, -0.14);
    cairo_rotate(cr, side * spread);
    Ellipse(cr, side * 0.07, 0.03, 0.085, 0.04);
    SetRgb(cr, Hex(0xffa060), 0.75);
    cairo_fill_preserve(cr);
    Outline(cr, Hex(0xb84a18), 0.01);
    cairo_restore(cr);
  }
  // Body.
  cairo_save(cr);
  if (held) cairo_rotate(cr, -0.15);
  cairo_new_path(cr);
  cairo_move_to(cr, 0, -0.42);
  cairo_curve_to(cr, 0.12, -0.42, 0.19, -0.30, 0.18, -0.15);
  cairo_curve_to(cr, 0.17, 0.0, 0.08, 0.12, 0.0, 0.16);
  cairo_curve_to(cr, -0.08, 0.12, -0.17, 0.0, -0.18, -0.15);
  cairo_curve_to(cr, -0.19, -0.30, -0.12, -0.42, 0, -0.42);
  cairo_close_path(cr);
  RadialFill(cr, -0.04, -0.22, 0.4, Hex(0xffb050), Hex(0xe03210));
  Outline(cr, rim, 0.018);
  // White patches on the back, off-centre like a kohaku's.
  cairo_new_path(cr);
  cairo_move_to(cr, -0.15, -0.12);
  cairo_curve_to(cr, -0.10, -0.20, -0.02, -0.16, -0.03, -0.08);
  cairo_curve_to(cr, -0.04, 0.0, -0.10, 0.04, -0.14, 0.0);
  cairo_curve_to(cr, -0.17, -0.04, -0.17, -0.08, -0.15, -0.12);
  cairo_move_to(cr, 0.04, 0.02);
  cairo_curve_to(cr, 0.09, -0.02, 0.14, 0.0, 0.12, 0.05);
  cairo_curve_to(cr, 0.09, 0.1, 0.04, 0.12, 0.02, 0.08);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xfff4e6), 0.9);
  cairo_fill(cr);
  // Dorsal line and scale shimmer.
  cairo_move_to(cr, 0, -0.30);
  cairo_curve_to(cr, 0.01, -0.15, 0.01, -0.02, 0, 0.12);
  SetRgb(cr, Hex(0x9a2408), 0.55);
  cairo_set_line_width(cr, 0.02);
  cairo_stroke(cr);
  Ellipse(cr, -0.06, -0.30, 0.05, 0.09);
  SetRgb(cr, Hex(0xffffff), 0.35);
  cairo_fill(cr);
  // Eyes bulge at the sides of the head.
  Eye(cr, -0.115, -0.33, 0.04);
  Eye(cr, 0.115, -0.33, 0.04);
  cairo_restore(cr);
}

// Frog from above, head up.
void Frog(cairo_t* cr, bool held) {
  const Rgb skin = Hex(0x9ad83a), dark = Hex(0x3c7a18), rim = Hex(0x1d3f0c);
  auto limb = [&](double x0, double y0, double x1, double y1, double x2, double y2, double w) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, rim);
    cairo_set_line_width(cr, w + 0.03);
    cairo_stroke_preserve(cr);
    SetRgb(cr, skin);
    cairo_set_line_width(cr, w);
    cairo_stroke(cr);
    for (int t = -1; t <= 1; t++) {  // webbed toes
      double ang = atan2(y2 - y1, x2 - x1) + t * 0.55;
      cairo_arc(cr, x2 + cos(ang) * 0.045, y2 + sin(ang) * 0.045, 0.022, 0, 2 * M_PI);
      SetRgb(cr, Hex(0xc8f070));
      cairo_fill_preserve(cr);
      Outline(cr, rim, 0.01);
    }
  };
  for (int s = -1; s <= 1; s += 2) {
    if (held) {
      limb(s * 0.12, 0.12, s * 0.30, 0.26, s * 0.40, 0.40, 0.07);
      limb(s * 0.12, -0.12, s * 0.28, -0.22, s * 0.38, -0.30, 0.05);
    } else {
      limb(s * 0.14, 0.14, s * 0.30, 0.06, s * 0.22, 0.34, 0.075);
      limb(s * 0.13, -0.10, s * 0.24, -0.14, s * 0.27, -0.26, 0.05);
    }
  }
  // Body and head.
  cairo_new_path(cr);
  cairo_move_to(cr, 0, -0.36);
  cairo_curve_to(cr, 0.16, -0.36, 0.25, -0.22, 0.24, -0.02);
  cairo_curve_to(cr, 0.23, 0.16, 0.12, 0.24, 0, 0.24);
  cairo_curve_to(cr, -0.12, 0.24, -0.23, 0.16, -0.24, -0.02);
  cairo_curve_to(cr, -0.25, -0.22, -0.16, -0.36, 0, -0.36);
  cairo_close_path(cr);
  RadialFill(cr, -0.05, -0.12, 0.38, Hex(0xd8ff80), skin);
  Outline(cr, rim, 0.02);
  // Back spots and ridge lines.
  const double spots[][3] = {{-0.09, 0.02, 0.045},
                             {0.1, 0.06, 0.04},
                             {0.0, 0.14, 0.035},
                             {0.12, -0.08, 0.03},
                             {-0.12, -0.1, 0.028}};
  for (auto& sp : spots) {
    cairo_arc(cr, sp[0], sp[1], sp[2], 0, 2 * M_PI);
    SetRgb(cr, dark, 0.8);
    cairo_fill(cr);
  }
  for (int s = -1; s <= 1; s += 2) {
    cairo_move_to(cr, s * 0.10, -0.22);
    cairo_curve_to(cr, s * 0.15, -0.1, s * 0.15, 0.05, s * 0.11, 0.18);
    SetRgb(cr, Hex(0xeaffb0), 0.7);
    cairo_set_line_width(cr, 0.015);
    cairo_stroke(cr);
  }
  // Big eyes on top of the head.
  for (int s = -1; s <= 1; s += 2) {
    cairo_arc(cr, s * 0.12, -0.29, 0.075, 0, 2 * M_PI);
    SetRgb(cr, skin);
    cairo_fill_preserve(cr);
    Outline(cr, rim, 0.018);
    cairo_arc(cr, s * 0.12, -0.295, 0.05, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xfff070));
    cairo_fill(cr);
    Ellipse(cr, s * 0.12, -0.295, 0.042, 0.018);
    SetRgb(cr, Hex(0x101008));
    cairo_fill(cr);
    cairo_arc(cr, s * 0.12 - 0.018, -0.31, 0.014, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xffffff));
    cairo_fill(cr);
  }
  // Smile.
  cairo_new_path(cr);
  cairo_arc(cr, 0, -0.30, 0.06, 0.35 * M_PI, 0.65 * M_PI);
  SetRgb(cr, rim, 0.9);
  cairo_set_line_width(cr, 0.012);
  cairo_stroke(cr);
}

// Turtle from above with a luminous shell, head up.
void Turtle(cairo_t* cr, bool held) {
  const Rgb skin = Hex(0xb8e8e0), rim = Hex(0x102040);
  if (!held) {
    auto flipper = [&](double x, double y, double ang, double len) {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, ang);
      Ellipse(cr, 0, -len * 0.5, len * 0.32, len * 0.55);
      RadialFill(cr, 0, -len * 0.3, len * 0.6, Hex(0xe0fff8), skin);
      Outline(cr, rim, 0.016);
      cairo_restore(cr);
    };
    flipper(0.17, -0.14, 0.9, 0.2);
    flipper(-0.17, -0.14, -0.9, 0.2);
    flipper(0.15, 0.17, 2.4, 0.14);
    flipper(-0.15, 0.17, -2.4, 0.14);
    cairo_move_to(cr, -0.03, 0.25);
    cairo_line_to(cr, 0, 0.33);
    cairo_line_to(cr, 0.03, 0.25);
    SetRgb(cr, skin);
    cairo_fill_preserve(cr);
    Outline(cr, rim, 0.012);
  }
  // Head.
  double hy = held ? -0.27 : -0.34;
  Ellipse(cr, 0, hy, 0.085, 0.1);
  RadialFill(cr, -0.02, hy - 0.03, 0.12, Hex(0xf0fffa), skin);
  Outline(cr, rim, 0.018);
  Eye(cr, -0.05, hy - 0.02, 0.022);
  Eye(cr, 0.05, hy - 0.02, 0.022);
  // Shell with glowing seams.
  Ellipse(cr, 0, 0.0, 0.24, 0.27);
  RadialFill(cr, -0.06, -0.08, 0.34, Hex(0x6a7cff), Hex(0x2a2a90));
  Outline(cr, rim, 0.022);
  cairo_save(cr);
  Ellipse(cr, 0, 0.0, 0.22, 0.25);
  cairo_clip(cr);
  auto hex = [&](double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    for (int k = 0; k < 6; k++) {
      double a = M_PI / 6 + k * M_PI / 3;
      if (k == 0)
        cairo_move_to(cr, cx + r * cos(a), cy + r * sin(a));
      else
        cairo_line_to(cr, cx + r * cos(a), cy + r * sin(a));
    }
    cairo_close_path(cr);
  };
  hex(0, 0, 0.085);
  for (int k = 0; k < 6; k++) {
    double a = k * M_PI / 3;
    hex(0.16 * sin(a), 0.17 * cos(a), 0.085);
  }
  SetRgb(cr, Hex(0x8ff8ff), 0.95);
  cairo_set_line_width(cr, 0.018);
  cairo_stroke(cr);
  cairo_arc(cr, 0, 0, 0.05, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xc0ffff), 0.5);
  cairo_fill(cr);
  cairo_restore(cr);
  Ellipse(cr, -0.08, -0.1, 0.07, 0.045);
  SetRgb(cr, Hex(0xffffff), 0.3);
  cairo_fill(cr);
  if (held) {  // tucked-in limbs peek out
    for (int s = -1; s <= 1; s += 2) {
      Ellipse(cr, s * 0.22, -0.1, 0.03, 0.045);
      Ellipse(cr, s * 0.2, 0.16, 0.03, 0.04);
    }
    SetRgb(cr, skin);
    cairo_fill(cr);
  }
}
}  // namespace

void DrawCreature(cairo_t* cr, int kind, bool held, double cx, double cy, double length) {
  static const uint32_t kGlow[3] = {0xff8a3c, 0xb8ff60, 0x7ab0ff};
  cairo_save(cr);
  // Luminous halo: the creatures glow faintly in the night water; the held
  // pose glows stronger so a scooped creature stands out under the cursor.
  Glow(cr, cx, cy, length * (held ? 0.56 : 0.5), Hex(kGlow[kind]), held ? 0.55 : 0.3);
  if (held) {
    cairo_set_line_width(cr, length * 0.02);
    for (int k = 0; k < 8; k++) {
      double a = k * M_PI / 4 + M_PI / 8, r0 = length * 0.42, r1 = length * 0.49;
      cairo_move_to(cr, cx + r0 * cos(a), cy + r0 * sin(a));
      cairo_line_to(cr, cx + r1 * cos(a), cy + r1 * sin(a));
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, Hex(0xfff6c0), 0.9);
    cairo_stroke(cr);
  }
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, length, length);
  if (kind == 0) Goldfish(cr, held);
  if (kind == 1) Frog(cr, held);
  if (kind == 2) Turtle(cr, held);
  cairo_restore(cr);
}

void DrawWalker(cairo_t* cr, int frame, double ox, double oy) {
  // A round little night bird carrying a lantern; drawn pale so the random
  // tints of the logo parade colour it.
  cairo_save(cr);
  cairo_translate(cr, ox, oy);
  const Rgb rim = Hex(0x303038);
  double bob = frame ? -3 : 0;
  // Legs.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  double lx[2] = {frame ? 48.0 : 58.0, frame ? 72.0 : 64.0};
  double fx[2] = {frame ? 38.0 : 54.0, frame ? 84.0 : 70.0};
  for (int k = 0; k < 2; k++) {
    cairo_move_to(cr, lx[k], 108 + bob);
    cairo_line_to(cr, fx[k], 132);
    cairo_line_to(cr, fx[k] + 9, 133);
    SetRgb(cr, rim);
    cairo_set_line_width(cr, 7);
    cairo_stroke_preserve(cr);
    SetRgb(cr, Hex(0xf0b060));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
  }
  // Tail feathers.
  cairo_move_to(cr, 22, 74 + bob);
  cairo_curve_to(cr, 6, 62 + bob, 2, 52 + bob, 8, 44 + bob);
  cairo_curve_to(cr, 16, 56 + bob, 24, 60 + bob, 30, 64 + bob);
  SetRgb(cr, Hex(0xe8e8f0));
  cairo_fill_preserve(cr);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  // Body.
  Ellipse(cr, 60, 78 + bob, 40, 36);
  cairo_pattern_t* p = cairo_pattern_create_radial(48, 62 + bob, 4, 60, 78 + bob, 44);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.78, 0.8, 0.86);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 3.5);
  cairo_stroke(cr);
  // Head tuft.
  cairo_move_to(cr, 66, 44 + bob);
  cairo_curve_to(cr, 64, 30 + bob, 74, 24 + bob, 80, 28 + bob);
  cairo_curve_to(cr, 74, 32 + bob, 72, 38 + bob, 74, 45 + bob);
  SetRgb(cr, Hex(0xf4f4ff));
  cairo_fill_preserve(cr);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  // Wing.
  cairo_move_to(cr, 36, 70 + bob);
  cairo_curve_to(cr, 44, 56 + bob, 68, 62 + bob, 66, 84 + bob);
  cairo_curve_to(cr, 56, 96 + bob, 40, 92 + bob, 36, 70 + bob);
  SetRgb(cr, Hex(0xd8dae4));
  cairo_fill_preserve(cr);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  // Beak and eye.
  cairo_move_to(cr, 96, 66 + bob);
  cairo_line_to(cr, 114, 72 + bob);
  cairo_line_to(cr, 96, 78 + bob);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xffc050));
  cairo_fill_preserve(cr);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  Eye(cr, 82, 62 + bob, 5.5);
  cairo_arc(cr, 86, 80 + bob, 6, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xffa0b0), 0.6);
  cairo_fill(cr);
  // Lantern hanging from the wing tip.
  double sway = frame ? 3 : -3;
  cairo_move_to(cr, 60, 86 + bob);
  cairo_line_to(cr, 64 + sway, 98 + bob);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  Glow(cr, 64 + sway, 110 + bob, 22, Hex(0xfff0c0), 0.7);
  RoundRect(cr, 56 + sway, 98 + bob, 16, 22, 6);
  SetRgb(cr, Hex(0xfff8e0));
  cairo_fill_preserve(cr);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawWater(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, bool pads) {
  Rand rnd(seed);
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.05, 0.13, 0.30);
  cairo_pattern_add_color_stop_rgb(p, 0.55, 0.04, 0.20, 0.34);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.10, 0.24);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  // Moonlight pooled in one corner.
  p = cairo_pattern_create_radial(x + w * 0.72, y + h * 0.22, 0, x + w * 0.72, y + h * 0.22,
                                  w * 0.7);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.45, 0.65, 0.85, 0.35);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.2, 0.4, 0.6, 0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  // Soft ripple rings.
  int rings = static_cast<int>(w * h / 9000) + 4;
  for (int i = 0; i < rings; i++) {
    double cx = x + rnd.Uniform() * w, cy = y + rnd.Uniform() * h;
    double r = rnd.Range(10, 40) * std::sqrt(w / 400.0 + 0.2);
    for (int k = 0; k < 3; k++) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, 1.0, 0.55);
      cairo_arc(cr, 0, 0, r * (1 + 0.45 * k), 0, 2 * M_PI);
      cairo_restore(cr);
      SetRgb(cr, Hex(0x9fd8ff), 0.10 - 0.03 * k);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
    }
  }
  // Glints of moonlight: short strokes.
  int glints = static_cast<int>(w * h / 1500);
  for (int i = 0; i < glints; i++) {
    double gx = x + rnd.Uniform() * w, gy = y + rnd.Uniform() * h;
    double near = 1.0 - std::min(1.0, std::hypot(gx - (x + w * 0.72), gy - (y + h * 0.22)) / w);
    double len = rnd.Range(3, 12);
    cairo_move_to(cr, gx - len, gy);
    cairo_line_to(cr, gx + len, gy);
    SetRgb(cr, Hex(0xcfeaff), 0.05 + 0.3 * near * near);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  if (pads) {
    // Lily pads hug the edges so the open water stays clear for play.
    int n = static_cast<int>((w + h) / 70);
    for (int i = 0; i < n; i++) {
      double t = rnd.Uniform();
      double side = rnd.Next() % 4;
      double px =
          side < 2 ? x + t * w : (side == 2 ? x + rnd.Range(0, 18) : x + w - rnd.Range(0, 18));
      double py =
          side >= 2 ? y + t * h : (side == 0 ? y + rnd.Range(0, 18) : y + h - rnd.Range(0, 18));
      double r = rnd.Range(12, 24), notch = rnd.Range(0, 2 * M_PI);
      cairo_move_to(cr, px, py);
      cairo_arc(cr, px, py, r, notch + 0.35, notch + 2 * M_PI - 0.35);
      cairo_close_path(cr);
      cairo_pattern_t* lp = cairo_pattern_create_radial(px - r * 0.3, py - r * 0.3, 1, px, py, r);
      cairo_pattern_add_color_stop_rgb(lp, 0, 0.22, 0.45, 0.28);
      cairo_pattern_add_color_stop_rgb(lp, 1, 0.07, 0.22, 0.15);
      cairo_set_source(cr, lp);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(lp);
      SetRgb(cr, Hex(0x6fb890), 0.5);
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
      if (rnd.Next() % 3 == 0) {  // a lotus bud glowing softly
        Glow(cr, px + r * 0.2, py - r * 0.2, r * 0.9, Hex(0xff9ad0), 0.35);
        for (int k = 0; k < 5; k++) {
          double a = k * 2 * M_PI / 5;
          Ellipse(cr, px + r * 0.2 + cos(a) * r * 0.22, py - r * 0.2 + sin(a) * r * 0.22, r * 0.2,
                  r * 0.2);
        }
        SetRgb(cr, Hex(0xffc8e4), 0.9);
        cairo_fill(cr);
        cairo_arc(cr, px + r * 0.2, py - r * 0.2, r * 0.12, 0, 2 * M_PI);
        SetRgb(cr, Hex(0xfff0a0));
        cairo_fill(cr);
      }
    }
  }
  cairo_restore(cr);
}

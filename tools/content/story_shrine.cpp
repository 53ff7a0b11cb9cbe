// The shrine at the pond: its stone lantern, the little wooden shrine with
// its bell, and the place at night (clouds over the moon) and in the morning.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {

// The stone lantern of the shrine, its fire box lit.
void StoneLantern(cairo_t* cr, double x, double base, double h, double fire) {
  const Rgb stone = Hex(0x3a4058), dark = Hex(0x1a1e30);
  if (fire > 0) Glow(cr, x, base - h * 0.62, h * 1.2, Hex(0xffb060), 0.35 * fire);
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
  SetRgb(cr, fire > 0 ? Hex(0xffd080) : Hex(0x1a1a24));
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
void Hokora(cairo_t* cr, double x, double base, double w, Rgb light) {
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
  SetRgb(cr, light, 0.18);
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

namespace {

// The bell under the eaves with its red and white rope.
void ShrineBell(cairo_t* cr, double x, double y, double s) {
  cairo_arc(cr, x, y + s * 0.5, s * 0.5, 0, 2 * M_PI);
  cairo_pattern_t* p =
      cairo_pattern_create_radial(x - s * 0.2, y + s * 0.3, 0, x, y + s * 0.5, s * 0.6);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.92, 0.6);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.6, 0.45, 0.15);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_move_to(cr, x - s * 0.3, y + s * 0.6);
  cairo_line_to(cr, x + s * 0.3, y + s * 0.6);
  SetRgb(cr, Hex(0x3a2a10));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for (int k = 0; k < 6; k++) {
    cairo_rectangle(cr, x - s * 0.12, y + s * (1.0 + 0.3 * k), s * 0.24, s * 0.3);
    SetRgb(cr, k % 2 ? Hex(0xf4f0e8) : Hex(0xd02a30));
    cairo_fill(cr);
  }
}

// The shrine's clearing: woods behind, moss and stepping stones, the pond's
// edge below, the shrine, its lantern and the flat stone where the bowl stands.
void Clearing(Canvas& c, bool morning) {
  cairo_t* cr = c.cr;
  Woods(cr, -20, 660, 220, 150, morning ? Hex(0x2a4a44) : Hex(0x0b1330), 21);
  Woods(cr, -20, 660, 236, 100, morning ? Hex(0x1c3432) : Hex(0x060a1c), 22);
  cairo_rectangle(cr, 0, 236, 640, 244);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 236, 0, 480);
  Rgb g0 = morning ? Hex(0x3a5a40) : Hex(0x0d141e), g1 = morning ? Hex(0x2a4030) : Hex(0x141e24);
  cairo_pattern_add_color_stop_rgb(p, 0, g0.r, g0.g, g0.b);
  cairo_pattern_add_color_stop_rgb(p, 1, g1.r, g1.g, g1.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Rand rnd(12);
  for (int i = 0; i < 9; i++) {
    double sx = 30 + i * 70 + rnd.Range(-10, 10), sy = 338 + rnd.Range(-6, 8);
    Ellipse(cr, sx, sy, rnd.Range(18, 30), rnd.Range(6, 10));
    SetRgb(cr, morning ? Hex(0x6a7068) : Hex(0x2a3044));
    cairo_fill(cr);
  }
  Hokora(cr, 430, 282, 136, morning ? Hex(0xfff0d0) : Hex(0xffc880));
  ShrineBell(cr, 430, 282 - 136 * 0.7, 14);
  StoneLantern(cr, 150, 306, 190, morning ? 0.0 : 1.0);
  Ellipse(cr, 300, 310, 66, 18);
  SetRgb(cr, morning ? Hex(0x7a8078) : Hex(0x343a50));
  cairo_fill(cr);
  Ellipse(cr, 300, 304, 60, 14);
  SetRgb(cr, morning ? Hex(0x9aa098) : Hex(0x4a5270));
  cairo_fill(cr);
  for (int i = 0; i < 30; i++) {
    Ellipse(cr, rnd.Range(0, 640), rnd.Range(246, 320), 3, 1.5);
    SetRgb(cr, morning ? Hex(0x8a6a30) : Hex(0x2a3a30), 0.8);
    cairo_fill(cr);
  }
}

}  // namespace

// g0007: the shrine at night after the wind: clouds over the moon, the
// stone lantern lit, the bowl on its stone.
void ShrineNight(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x040616)}, {0.5, Hex(0x0e1a40)}, {1, Hex(0x081020)}});
  Stars(cr, 0, 0, 640, 160, 30, 23);
  Glow(cr, 500, 50, 160, Hex(0x8ca0d8), 0.25);
  Cloud(c, -60, 700, 50, 40, Hex(0x141a36), Hex(0x6a7ab0), 500, 50, 1.0, 24);
  Clearing(c, false);
  MoonBowl(cr, 300, 272, 78, 0.0, 0.3);
  Fireflies(cr, 20, 150, 600, 180, 10, 25);
}

// g0013: the shrine in the morning, the old lantern beside the bowl.
void ShrineMorning(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x6a9ad8)}, {0.45, Hex(0xc8dcf0)}, {1, Hex(0xe8e0c8)}});
  Glow(cr, 560, 120, 240, Hex(0xfff0c0), 0.5);
  Clearing(c, true);
  MoonBowl(cr, 280, 272, 78, 0.0, 0.0);
  OldPaperLantern(cr, 334, 250, 48, 0.0, 0.9);
  // Shafts of morning light between the trees.
  for (int k = 0; k < 3; k++) {
    double x = 420 + k * 70;
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x + 30, 0);
    cairo_line_to(cr, x - 120, 330);
    cairo_line_to(cr, x - 170, 330);
    cairo_close_path(cr);
    SetRgb(cr, Hex(0xfff4d0), 0.1);
    cairo_fill(cr);
  }
}

}  // namespace story

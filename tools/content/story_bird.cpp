// Tomo, the lantern bird, and the red lacquer moon bowl.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {

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

namespace {
// The tail: long feathers ending in a round glowing lantern of paper-thin
// plumes. Perched, it hangs below the branch; flying or resting, it trails behind.
void BirdTail(cairo_t* cr, BirdPose pose, double light, double& tx, double& ty) {
  // The tail: long feathers ending in a round glowing lantern of paper-thin plumes.
  // Perched, it hangs below the branch; flying or resting, it trails behind.
  tx = pose == BIRD_PERCHED ? 1.35 : 1.55;
  ty = pose == BIRD_PERCHED ? 1.25 : 0.55;
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
}

void BirdBody(cairo_t* cr, BirdPose pose, double light, double tx, double ty) {
  const Rgb warm = Hex(0xffb050);
  cairo_pattern_t* p;
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
}

void BirdHead(cairo_t* cr, BirdPose pose) {
  cairo_pattern_t* p;
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
}

void BirdWingAndFeet(cairo_t* cr, BirdPose pose) {
  cairo_pattern_t* p;
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
}
}  // namespace

void LanternBird(cairo_t* cr, double x, double y, double r, BirdPose pose, double light) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, r, r);
  double tx = 0, ty = 0;
  BirdTail(cr, pose, light, tx, ty);
  BirdBody(cr, pose, light, tx, ty);
  BirdHead(cr, pose);
  BirdWingAndFeet(cr, pose);
  cairo_restore(cr);
}

namespace {
// The outside of the bowl: foot ring, vermilion wall, the gold crescent.
void BowlWall(cairo_t* cr, double x, double y, double w, double glow) {
  const double rx = w / 2, depth = w * 0.42;
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
}

// The water in the bowl and as much of the moon as it has gathered: a
// whole disc, or its left part with a broken edge.
void BowlWater(cairo_t* cr, double x, double y, double w, double moon, double glow) {
  const double rx = w / 2, ry = w * 0.12;
  Ellipse(cr, x, y, rx * 0.94, ry * 0.8);
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, rx);
  double g = glow * (0.3 + 0.7 * moon);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.12 + 0.6 * g, 0.22 + 0.55 * g, 0.42 + 0.45 * g);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.09, 0.22);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  if (moon <= 0) return;
  const double mx = x + rx * 0.05, mr = rx * 0.36;
  cairo_save(cr);
  Ellipse(cr, x, y, rx * 0.94, ry * 0.8);
  cairo_clip(cr);
  cairo_translate(cr, mx, y);
  cairo_scale(cr, 1.0, ry / rx * 1.3);
  Glow(cr, 0, 0, mr * 2.2, Hex(0xfff4d8), 0.5 * glow);
  if (moon >= 1) {
    cairo_arc(cr, 0, 0, mr, 0, 2 * M_PI);
  } else {
    // The left part of the disc up to a jagged line.
    double edge = mr * (2 * moon - 1);
    cairo_arc(cr, 0, 0, mr, M_PI / 2, 3 * M_PI / 2);
    const double jag[7][2] = {{0.1, -1},   {-0.05, -0.62}, {0.12, -0.3}, {-0.04, 0.02},
                              {0.1, 0.36}, {-0.06, 0.66},  {0.06, 1}};
    for (const auto& j : jag) cairo_line_to(cr, edge + j[0] * mr, j[1] * mr * 0.98);
    cairo_close_path(cr);
  }
  SetRgb(cr, Hex(0xfff8e4), 0.65 + 0.35 * glow);
  cairo_fill(cr);
  cairo_restore(cr);
}
}  // namespace

void MoonBowl(cairo_t* cr, double x, double y, double w, double moon, double glow) {
  const double rx = w / 2, ry = w * 0.12;
  BowlWall(cr, x, y, w, glow);
  BowlWater(cr, x, y, w, moon, glow);
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

}  // namespace story

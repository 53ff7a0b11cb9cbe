// The pond's goldfish, frogs and turtles as the story pictures show them:
// soft shapes in the water's colours, not the stage's bright game pieces.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

const Rgb kUnderwater = Hex(0x1a3a5a);

// In a frame where the creature points along +x and is one unit long.
void Goldfish(cairo_t* cr, double wet, double a) {
  const Rgb body = Mix(Hex(0xf05a28), kUnderwater, wet), fin = Mix(Hex(0xffa070), kUnderwater, wet);
  // Double tail, fanned and thin.
  for (int k = -1; k <= 1; k += 2) {
    cairo_move_to(cr, -0.22, 0);
    cairo_curve_to(cr, -0.4, k * 0.05, -0.55, k * 0.3, -0.62, k * 0.26);
    cairo_curve_to(cr, -0.5, k * 0.12, -0.46, k * 0.04, -0.3, 0);
    cairo_close_path(cr);
    SetRgb(cr, fin, 0.7 * a);
    cairo_fill(cr);
  }
  // Pectoral fins.
  for (int k = -1; k <= 1; k += 2) {
    Ellipse(cr, 0.12, k * 0.1, 0.08, 0.035);
    SetRgb(cr, fin, 0.6 * a);
    cairo_fill(cr);
  }
  cairo_move_to(cr, 0.38, 0);
  cairo_curve_to(cr, 0.36, -0.12, 0.05, -0.13, -0.26, -0.03);
  cairo_line_to(cr, -0.26, 0.03);
  cairo_curve_to(cr, 0.05, 0.13, 0.36, 0.12, 0.38, 0);
  cairo_close_path(cr);
  SetRgb(cr, body, a);
  cairo_fill(cr);
  Ellipse(cr, 0.0, 0.02, 0.09, 0.05);
  SetRgb(cr, Mix(Hex(0xfff4ec), kUnderwater, wet), 0.8 * a);
  cairo_fill(cr);
}

void Frog(cairo_t* cr, double wet, double a) {
  const Rgb skin = Mix(Hex(0x5aa848), kUnderwater, wet),
            dark = Mix(Hex(0x2a6a30), kUnderwater, wet);
  // Hind legs stretched back as it swims, front legs forward.
  for (int k = -1; k <= 1; k += 2) {
    cairo_move_to(cr, -0.12, k * 0.1);
    cairo_curve_to(cr, -0.3, k * 0.26, -0.42, k * 0.2, -0.55, k * 0.1);
    cairo_move_to(cr, 0.14, k * 0.1);
    cairo_line_to(cr, 0.28, k * 0.2);
  }
  SetRgb(cr, skin, a);
  cairo_set_line_width(cr, 0.07);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  Ellipse(cr, 0.04, 0, 0.24, 0.16);
  SetRgb(cr, skin, a);
  cairo_fill(cr);
  for (int k = -1; k <= 1; k += 2) {
    cairo_arc(cr, 0.2, k * 0.09, 0.05, 0, 2 * M_PI);
    SetRgb(cr, dark, a);
    cairo_fill(cr);
  }
  Ellipse(cr, -0.04, 0, 0.08, 0.05);
  SetRgb(cr, dark, 0.5 * a);
  cairo_fill(cr);
}

void Turtle(cairo_t* cr, double wet, double a) {
  const Rgb shell = Mix(Hex(0x5a6a3a), kUnderwater, wet),
            skin = Mix(Hex(0x8a9a5a), kUnderwater, wet);
  for (int k = -1; k <= 1; k += 2) {
    Ellipse(cr, 0.16, k * 0.2, 0.1, 0.04);
    Ellipse(cr, -0.18, k * 0.17, 0.07, 0.035);
  }
  Ellipse(cr, 0.36, 0, 0.08, 0.06);
  SetRgb(cr, skin, a);
  cairo_fill(cr);
  Ellipse(cr, 0, 0, 0.3, 0.22);
  SetRgb(cr, shell, a);
  cairo_fill(cr);
  // The plates of the shell.
  for (int k = 0; k < 6; k++) {
    double ang = k * M_PI / 3;
    cairo_move_to(cr, std::cos(ang) * 0.1, std::sin(ang) * 0.07);
    cairo_line_to(cr, std::cos(ang) * 0.28, std::sin(ang) * 0.2);
  }
  Ellipse(cr, 0, 0, 0.1, 0.07);
  SetRgb(cr, Mix(Hex(0x2a3418), kUnderwater, wet), 0.8 * a);
  cairo_set_line_width(cr, 0.02);
  cairo_stroke(cr);
}

}  // namespace

void PondCreature(cairo_t* cr, Kind kind, double x, double y, double length, double angle,
                  double wet) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1, 0.6);  // the water seen at a slant
  cairo_rotate(cr, angle);
  cairo_scale(cr, length, length);
  const double a = 1 - 0.45 * wet;
  if (kind == KIND_GOLDFISH)
    Goldfish(cr, wet, a);
  else if (kind == KIND_FROG)
    Frog(cr, wet, a);
  else
    Turtle(cr, wet, a);
  cairo_restore(cr);
}

void SideGoldfish(cairo_t* cr, double x, double y, double length, double dir, double a) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, dir > 0 ? length : -length, length);
  // Tail fanning behind, body with a rounded belly, a dorsal fin, an eye.
  cairo_move_to(cr, -0.25, 0);
  cairo_curve_to(cr, -0.4, -0.05, -0.55, -0.3, -0.6, -0.22);
  cairo_curve_to(cr, -0.55, -0.05, -0.55, 0.1, -0.6, 0.26);
  cairo_curve_to(cr, -0.5, 0.28, -0.4, 0.06, -0.25, 0.02);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xffa070), 0.75 * a);
  cairo_fill(cr);
  cairo_move_to(cr, 0.0, -0.16);
  cairo_curve_to(cr, -0.05, -0.28, -0.18, -0.24, -0.2, -0.1);
  SetRgb(cr, Hex(0xffa070), 0.8 * a);
  cairo_set_line_width(cr, 0.06);
  cairo_stroke(cr);
  cairo_move_to(cr, 0.36, 0.02);
  cairo_curve_to(cr, 0.34, -0.18, 0.0, -0.2, -0.26, 0.0);
  cairo_curve_to(cr, 0.0, 0.22, 0.34, 0.2, 0.36, 0.02);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xf05a28), a);
  cairo_fill(cr);
  Ellipse(cr, 0.05, 0.07, 0.12, 0.06);
  SetRgb(cr, Hex(0xfff0e4), 0.7 * a);
  cairo_fill(cr);
  cairo_arc(cr, 0.24, -0.03, 0.035, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x201010), a);
  cairo_fill(cr);
  cairo_restore(cr);
}

void SittingFrog(cairo_t* cr, double x, double y, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size, size);
  const Rgb skin = Hex(0x6ab850), dark = Hex(0x2e6a30), belly = Hex(0xe8f0c0);
  // Haunches, body, belly, front feet on the rim, the two eye bumps.
  for (int k = -1; k <= 1; k += 2) Ellipse(cr, k * 0.34, 0.05, 0.22, 0.16);
  SetRgb(cr, skin);
  cairo_fill(cr);
  Ellipse(cr, 0, -0.12, 0.36, 0.3);
  SetRgb(cr, skin);
  cairo_fill(cr);
  Ellipse(cr, 0, -0.02, 0.2, 0.16);
  SetRgb(cr, belly);
  cairo_fill(cr);
  for (int k = -1; k <= 1; k += 2) {
    Ellipse(cr, k * 0.14, 0.14, 0.09, 0.05);
    SetRgb(cr, skin);
    cairo_fill(cr);
    cairo_arc(cr, k * 0.2, -0.38, 0.12, 0, 2 * M_PI);
    SetRgb(cr, skin);
    cairo_fill(cr);
    cairo_arc(cr, k * 0.2, -0.39, 0.07, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x101010));
    cairo_fill(cr);
    cairo_arc(cr, k * 0.2 - 0.02, -0.41, 0.025, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xffffff));
    cairo_fill(cr);
  }
  cairo_move_to(cr, -0.16, -0.2);
  cairo_curve_to(cr, -0.05, -0.14, 0.05, -0.14, 0.16, -0.2);
  SetRgb(cr, dark);
  cairo_set_line_width(cr, 0.025);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void PeekingTurtle(cairo_t* cr, double x, double y, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size, size);
  // The shell's dome above the water, the head stretched up.
  cairo_move_to(cr, -0.5, 0);
  cairo_curve_to(cr, -0.45, -0.4, 0.35, -0.42, 0.45, 0);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x56663a));
  cairo_fill(cr);
  for (int k = -1; k <= 1; k++) {
    cairo_move_to(cr, k * 0.22, -0.02);
    cairo_line_to(cr, k * 0.16, -0.3);
  }
  SetRgb(cr, Hex(0x2c3618), 0.8);
  cairo_set_line_width(cr, 0.03);
  cairo_stroke(cr);
  cairo_move_to(cr, 0.38, -0.05);
  cairo_curve_to(cr, 0.45, -0.3, 0.5, -0.5, 0.58, -0.62);
  SetRgb(cr, Hex(0x8a9a5a));
  cairo_set_line_width(cr, 0.13);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  Ellipse(cr, 0.62, -0.68, 0.1, 0.08);
  SetRgb(cr, Hex(0x8a9a5a));
  cairo_fill(cr);
  cairo_arc(cr, 0.64, -0.71, 0.025, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x101010));
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace story

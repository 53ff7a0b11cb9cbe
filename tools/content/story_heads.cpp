// Heads: Mio's black bob with its red flower clip, and the grandmother's
// grey hair drawn back to a bun. Both share the face parts of story_figure.cpp.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

const Rgb kHair = Hex(0x1e2036), kHairLight = Hex(0x4a5488);

// A point on the head in head sizes: (u, v) from the skull's centre, turned
// and tilted with it. Hair and face share it so they stay together.
Pt HeadPoint(const HeadPose& h, double u, double v, double depth) {
  // depth > 0 for what sits in front of the skull's middle (it moves with the
  // turn), < 0 for the back of the head (it moves the other way).
  double x = (u + h.turn * 0.12 * depth) * h.size, y = v * h.size;
  double c = std::cos(h.tilt), s = std::sin(h.tilt);
  return {h.x + x * c - y * s, h.y + x * s + y * c};
}

void PathThrough(cairo_t* cr, const HeadPose& h, const double (*p)[2], int n, double depth) {
  Pt a = HeadPoint(h, p[0][0], p[0][1], depth);
  cairo_move_to(cr, a.x, a.y);
  for (int i = 1; i + 2 < n; i += 3) {
    Pt b = HeadPoint(h, p[i][0], p[i][1], depth), c = HeadPoint(h, p[i + 1][0], p[i + 1][1], depth),
       d = HeadPoint(h, p[i + 2][0], p[i + 2][1], depth);
    cairo_curve_to(cr, b.x, b.y, c.x, c.y, d.x, d.y);
  }
  cairo_close_path(cr);
}

void Outlined(cairo_t* cr, Rgb fill, Rgb line, double lw) {
  SetRgb(cr, fill);
  cairo_fill_preserve(cr);
  SetRgb(cr, line);
  cairo_set_line_width(cr, lw);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void MioHairBack(cairo_t* cr, const HeadPose& h) {
  static const double back[][2] = {
      {-0.5, 0.02}, {-0.6, -0.5}, {0.6, -0.5},   {0.5, 0.02},  {0.56, 0.2}, {0.54, 0.38},
      {0.44, 0.47}, {0.36, 0.5},  {0.3, 0.44},   {0.28, 0.36}, {0.0, 0.3},  {-0.28, 0.36},
      {-0.3, 0.44}, {-0.36, 0.5}, {-0.54, 0.38}, {-0.56, 0.2}, {-0.5, 0.02}};
  PathThrough(cr, h, back, 16, -0.5);
  Outlined(cr, Hex(0x181a2c), Hex(0x0a0a16), std::max(1.0, h.size * 0.012));
}

void MioFace(cairo_t* cr, const HeadPose& h) {
  static const double face[][2] = {{-0.42, -0.15}, {-0.44, 0.14}, {-0.34, 0.36}, {-0.12, 0.47},
                                   {-0.06, 0.5},   {0.06, 0.5},   {0.12, 0.47},  {0.34, 0.36},
                                   {0.44, 0.14},   {0.42, -0.15}, {0.3, -0.42},  {-0.3, -0.42},
                                   {-0.42, -0.15}};
  PathThrough(cr, h, face, 13, 0.6);
  Pt top = HeadPoint(h, 0, -0.3, 0.6), chin = HeadPoint(h, 0, 0.5, 0.6);
  cairo_pattern_t* p = cairo_pattern_create_linear(top.x, top.y, chin.x, chin.y);
  cairo_pattern_add_color_stop_rgb(p, 0, kSkin.r, kSkin.g, kSkin.b);
  cairo_pattern_add_color_stop_rgb(p, 0.8, kSkin.r, kSkin.g * 0.98, kSkin.b * 0.97);
  cairo_pattern_add_color_stop_rgb(p, 1, kSkinShade.r, kSkinShade.g, kSkinShade.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, kSkinLine);
  cairo_set_line_width(cr, std::max(0.9, h.size * 0.012));
  cairo_stroke(cr);
  Blush(cr, h, 0.26, h.look == LOOK_JOY ? 0.55 : 0.35);
  Eyes(cr, h, 0.19, 0.17, 0.2, 0.11, false);
  // A touch of a nose, then the mouth.
  Pt n = HeadPoint(h, 0.01, 0.26, 1.0);
  cairo_arc(cr, n.x, n.y, std::max(0.6, h.size * 0.008), 0, 2 * M_PI);
  SetRgb(cr, kSkinLine, 0.6);
  cairo_fill(cr);
  HeadPose mouth = h;
  mouth.turn *= 1.2;
  Mouth(cr, mouth, 0.36, 0.12);
}

void MioHairFront(cairo_t* cr, const HeadPose& h) {
  // Bangs: the crown down to a row of pointed locks over the brows.
  static const double bangs[][2] = {
      {-0.47, 0.06}, {-0.56, -0.3},  {-0.3, -0.56},  {0.0, -0.56},  {0.3, -0.56},   {0.56, -0.3},
      {0.47, 0.06},  {0.44, -0.04},  {0.4, -0.08},   {0.36, -0.12}, {0.32, -0.05},  {0.26, -0.02},
      {0.22, -0.1},  {0.16, -0.04},  {0.1, -0.02},   {0.05, -0.1},  {0.0, -0.05},   {-0.06, -0.02},
      {-0.1, -0.1},  {-0.16, -0.04}, {-0.22, -0.02}, {-0.26, -0.1}, {-0.32, -0.05}, {-0.38, -0.02},
      {-0.4, -0.1},  {-0.44, -0.04}, {-0.47, 0.06}};
  PathThrough(cr, h, bangs, 25, 0.3);
  Pt top = HeadPoint(h, 0, -0.55, 0.3), low = HeadPoint(h, 0, 0.0, 0.3);
  cairo_pattern_t* p = cairo_pattern_create_linear(top.x, top.y, low.x, low.y);
  cairo_pattern_add_color_stop_rgb(p, 0, kHair.r * 1.3, kHair.g * 1.3, kHair.b * 1.3);
  cairo_pattern_add_color_stop_rgb(p, 1, kHair.r, kHair.g, kHair.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0x0a0a16));
  cairo_set_line_width(cr, std::max(1.0, h.size * 0.012));
  cairo_stroke(cr);
  // Side locks along the cheeks.
  for (int side = -1; side <= 1; side += 2) {
    const double s = side;
    const double lock[][2] = {{0.36 * s, -0.2}, {0.46 * s, -0.05}, {0.5 * s, 0.22},
                              {0.42 * s, 0.44}, {0.4 * s, 0.3},    {0.37 * s, 0.1},
                              {0.36 * s, -0.2}};
    PathThrough(cr, h, lock, 7, 0.3);
    Outlined(cr, kHair, Hex(0x0a0a16), std::max(0.8, h.size * 0.01));
  }
  // Light on the crown: short strokes along the hair, brightest on top.
  for (int k = -3; k <= 3; k++) {
    if (k == 0) continue;
    double u = k * 0.1, v = -0.44 + 0.012 * k * k;
    Pt a = HeadPoint(h, u - 0.04, v - 0.03, 0.3), b = HeadPoint(h, u + 0.03, v + 0.05, 0.3);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
  }
  SetRgb(cr, kHairLight, 0.55);
  cairo_set_line_width(cr, h.size * 0.025);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  // The red flower clip above her right ear (the viewer's left).
  Pt f = HeadPoint(h, -0.38, -0.3, 0.2);
  const double fr = h.size * 0.075;
  for (int k = 0; k < 5; k++) {
    double ang = k * 2 * M_PI / 5 + h.tilt;
    cairo_arc(cr, f.x + std::cos(ang) * fr * 0.75, f.y + std::sin(ang) * fr * 0.75, fr * 0.55, 0,
              2 * M_PI);
    Outlined(cr, Hex(0xe03048), Hex(0x801020), std::max(0.6, h.size * 0.006));
  }
  cairo_arc(cr, f.x, f.y, fr * 0.35, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xffd860));
  cairo_fill(cr);
}

// The grandmother: a rounder face with soft lines, grey hair drawn back to
// a bun, the ears showing.
void GrandmaHairBack(cairo_t* cr, const HeadPose& h) {
  Pt b = HeadPoint(h, 0.08, -0.52, -0.6);
  cairo_arc(cr, b.x, b.y, h.size * 0.2, 0, 2 * M_PI);
  Outlined(cr, Hex(0xb8b2ae), Hex(0x5a5450), std::max(1.0, h.size * 0.012));
  static const double back[][2] = {{-0.5, 0.1},  {-0.58, -0.45}, {0.58, -0.45}, {0.5, 0.1},
                                   {0.5, 0.25},  {0.3, 0.3},     {0.0, 0.3},    {-0.3, 0.3},
                                   {-0.5, 0.25}, {-0.5, 0.1}};
  PathThrough(cr, h, back, 10, -0.5);
  Outlined(cr, Hex(0xa8a29e), Hex(0x5a5450), std::max(1.0, h.size * 0.012));
}

void GrandmaFace(cairo_t* cr, const HeadPose& h) {
  const double lw = std::max(0.9, h.size * 0.012);
  // Ears.
  for (int side = -1; side <= 1; side += 2) {
    Pt e = HeadPoint(h, side * 0.45, 0.12, 0.1);
    Ellipse(cr, e.x, e.y, h.size * 0.07, h.size * 0.11);
    Outlined(cr, kSkinShade, kSkinLine, lw);
  }
  static const double face[][2] = {{-0.44, -0.15}, {-0.46, 0.16}, {-0.36, 0.38}, {-0.14, 0.48},
                                   {-0.06, 0.5},   {0.06, 0.5},   {0.14, 0.48},  {0.36, 0.38},
                                   {0.46, 0.16},   {0.44, -0.15}, {0.3, -0.44},  {-0.3, -0.44},
                                   {-0.44, -0.15}};
  PathThrough(cr, h, face, 13, 0.6);
  Pt top = HeadPoint(h, 0, -0.3, 0.6), chin = HeadPoint(h, 0, 0.5, 0.6);
  cairo_pattern_t* p = cairo_pattern_create_linear(top.x, top.y, chin.x, chin.y);
  cairo_pattern_add_color_stop_rgb(p, 0, kSkin.r, kSkin.g, kSkin.b);
  cairo_pattern_add_color_stop_rgb(p, 1, kSkinShade.r, kSkinShade.g, kSkinShade.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, kSkinLine);
  cairo_set_line_width(cr, lw);
  cairo_stroke(cr);
  Blush(cr, h, 0.27, 0.25);
  Eyes(cr, h, 0.19, 0.15, 0.13, 0.1, true);
  // Nose, the lines beside the mouth and across the brow.
  Pt n0 = HeadPoint(h, 0.02, 0.18, 1.0), n1 = HeadPoint(h, 0.04, 0.27, 1.0);
  cairo_move_to(cr, n0.x, n0.y);
  cairo_line_to(cr, n1.x, n1.y);
  for (int side = -1; side <= 1; side += 2) {
    Pt a = HeadPoint(h, side * 0.12, 0.27, 0.9), b = HeadPoint(h, side * 0.2, 0.4, 0.9);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
  }
  for (int k = 0; k < 2; k++) {
    Pt a = HeadPoint(h, -0.16, -0.2 + 0.05 * k, 0.8), b = HeadPoint(h, 0.16, -0.2 + 0.05 * k, 0.8);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
  }
  SetRgb(cr, kSkinLine, 0.4);
  cairo_set_line_width(cr, lw * 0.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  HeadPose mouth = h;
  mouth.turn *= 1.2;
  Mouth(cr, mouth, 0.36, 0.12);
}

void GrandmaHairFront(cairo_t* cr, const HeadPose& h) {
  // Drawn back from a middle parting; the hairline shows the forehead.
  static const double front[][2] = {{-0.48, 0.05}, {-0.56, -0.4}, {-0.3, -0.58},  {0.0, -0.56},
                                    {0.3, -0.58},  {0.56, -0.4},  {0.48, 0.05},   {0.44, -0.1},
                                    {0.38, -0.3},  {0.02, -0.34}, {-0.02, -0.34}, {-0.38, -0.3},
                                    {-0.44, -0.1}, {-0.48, 0.05}};
  PathThrough(cr, h, front, 13, 0.3);
  Outlined(cr, Hex(0xc8c2be), Hex(0x5a5450), std::max(1.0, h.size * 0.012));
  // Combed lines.
  for (int k = -2; k <= 2; k++) {
    if (k == 0) continue;
    Pt a = HeadPoint(h, k * 0.08, -0.36, 0.3), b = HeadPoint(h, k * 0.2, -0.5, 0.3),
       c = HeadPoint(h, k * 0.15, -0.56, 0.3);
    cairo_move_to(cr, a.x, a.y);
    cairo_curve_to(cr, b.x, b.y, b.x, b.y, c.x, c.y);
  }
  SetRgb(cr, Hex(0x8a8480), 0.6);
  cairo_set_line_width(cr, std::max(0.6, h.size * 0.008));
  cairo_stroke(cr);
}

}  // namespace

void MioHeadBack(cairo_t* cr, const HeadPose& h) {
  MioHairBack(cr, h);
}

void MioHeadFront(cairo_t* cr, const HeadPose& h) {
  MioFace(cr, h);
  MioHairFront(cr, h);
}

void GrandmaHeadBack(cairo_t* cr, const HeadPose& h) {
  GrandmaHairBack(cr, h);
}

void GrandmaHeadFront(cairo_t* cr, const HeadPose& h) {
  GrandmaFace(cr, h);
  GrandmaHairFront(cr, h);
}

}  // namespace story

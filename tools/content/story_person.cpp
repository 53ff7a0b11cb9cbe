// The people's bodies: a yukata or kimono with its collar, print and obi,
// loose sleeves over the arms, the forearms and hands. Mio and the
// grandmother differ in their colours, print and head; the scene's light is
// laid over each by LightFigure().
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

struct Style {
  Rgb cloth, deep, collar, line, obi, obiLight, print, heart, cuff;
  bool glories;  // morning glories, else a small pale dot pattern
  bool aged;
};
// Mio: indigo yukata with white morning glories, red obi.
const Style kMio = {Hex(0x2c3f7e), Hex(0x18224a), Hex(0x141a3a), Hex(0x0c1030),
                    Hex(0xc8283c), Hex(0xf06070), Hex(0xe6ecff), Hex(0x7a90e8),
                    Hex(0x8aa0e8), true,          false};
// The grandmother: plum kimono with a pale dot pattern, mustard obi.
const Style kGrandma = {Hex(0x6a3c58), Hex(0x3a1e34), Hex(0xe8e0d8), Hex(0x24101c),
                        Hex(0xb89040), Hex(0xe8c870), Hex(0xe8d0dc), Hex(0xb090a8),
                        Hex(0xc8a0b8), false,         true};

Pt Add(Pt a, double x, double y) {
  return {a.x + x, a.y + y};
}

void Outline(cairo_t* cr, Rgb line, double w) {
  SetRgb(cr, line);
  cairo_set_line_width(cr, w);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// The cloth's print scattered over the current clip: morning glories for
// Mio, a fine pattern of pale dots for the grandmother.
void Print(cairo_t* cr, const Style& st, Pt origin, double s, double w, double h, uint32_t seed) {
  Rand rnd(seed);
  if (!st.glories) {
    for (double y = origin.y; y < origin.y + h; y += s * 0.09)
      for (double x = origin.x - w / 2; x < origin.x + w / 2; x += s * 0.09) {
        double ox = (static_cast<int>((y - origin.y) / (s * 0.09)) % 2) * s * 0.045;
        cairo_arc(cr, x + ox, y, s * 0.012, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
      }
    SetRgb(cr, st.print, 0.45);
    cairo_fill(cr);
    return;
  }
  const int n = static_cast<int>(w * h / (s * s * 0.12)) + 3;
  for (int i = 0; i < n; i++) {
    double fx = origin.x + rnd.Range(-w / 2, w / 2), fy = origin.y + rnd.Range(0, h);
    double fr = s * rnd.Range(0.07, 0.1);
    cairo_new_path(cr);
    for (int k = 0; k < 5; k++) {
      double a = k * 2 * M_PI / 5 + i;
      cairo_new_sub_path(cr);
      cairo_arc(cr, fx + std::cos(a) * fr * 0.45, fy + std::sin(a) * fr * 0.45, fr * 0.6, 0,
                2 * M_PI);
    }
    SetRgb(cr, st.print, 0.9);
    cairo_fill(cr);
    for (int k = 0; k < 5; k++) {
      double a = k * 2 * M_PI / 5 + i + M_PI / 5;
      cairo_move_to(cr, fx, fy);
      cairo_line_to(cr, fx + std::cos(a) * fr * 0.9, fy + std::sin(a) * fr * 0.9);
    }
    SetRgb(cr, st.heart, 0.5);
    cairo_set_line_width(cr, std::max(0.5, s * 0.008));
    cairo_stroke(cr);
    cairo_arc(cr, fx, fy, fr * 0.22, 0, 2 * M_PI);
    SetRgb(cr, st.heart, 0.9);
    cairo_fill(cr);
  }
}

void ClothFill(cairo_t* cr, const Style& st, double x0, double x1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, st.cloth.r * 0.8, st.cloth.g * 0.8, st.cloth.b * 0.8);
  cairo_pattern_add_color_stop_rgb(p, 0.45, st.cloth.r, st.cloth.g, st.cloth.b);
  cairo_pattern_add_color_stop_rgb(p, 1, st.deep.r, st.deep.g, st.deep.b);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void BodyPath(cairo_t* cr, const Figure& f, bool aged) {
  const double s = f.size, t = f.turn;
  const Pt n = f.neck;
  const double wl = 0.55 * (1 - 0.22 * std::max(0.0, -t)),
               wr = 0.55 * (1 - 0.22 * std::max(0.0, t));
  const double bottom = f.hem * s, hunch = aged ? 0.06 * s : 0;
  cairo_move_to(cr, n.x - 0.15 * s, n.y - 0.03 * s);
  cairo_curve_to(cr, n.x - 0.3 * s, n.y + 0.02 * s - hunch, n.x - wl * s, n.y + 0.05 * s,
                 n.x - wl * s - 0.02 * s, n.y + 0.3 * s);
  cairo_line_to(cr, n.x - 0.46 * s, n.y + 1.0 * s);
  cairo_line_to(cr, n.x - 0.5 * s, n.y + bottom);
  cairo_line_to(cr, n.x + 0.5 * s, n.y + bottom);
  cairo_line_to(cr, n.x + 0.46 * s, n.y + 1.0 * s);
  cairo_line_to(cr, n.x + wr * s + 0.02 * s, n.y + 0.3 * s);
  cairo_curve_to(cr, n.x + wr * s, n.y + 0.05 * s, n.x + 0.3 * s, n.y + 0.02 * s - hunch,
                 n.x + 0.15 * s, n.y - 0.03 * s);
  cairo_close_path(cr);
}

void Torso(cairo_t* cr, const Figure& f, const Style& st) {
  const double s = f.size, t = f.turn;
  const Pt n = f.neck;
  BodyPath(cr, f, st.aged);
  ClothFill(cr, st, n.x - 0.5 * s, n.x + 0.5 * s);
  cairo_fill_preserve(cr);
  Outline(cr, st.line, std::max(1.0, s * 0.014));
  cairo_save(cr);
  BodyPath(cr, f, st.aged);
  cairo_clip(cr);
  Print(cr, st, Add(n, 0, 0.05 * s), s, 1.3 * s, f.hem * s, 7);
  // The skin in the collar's V, then the two collar bands: the wearer's left
  // panel over the right, so the outer band runs down to the viewer's left.
  const Pt cross = Add(n, (0.04 + 0.05 * t) * s, 0.62 * s);
  cairo_move_to(cr, n.x - 0.15 * s, n.y - 0.04 * s);
  cairo_line_to(cr, cross.x, cross.y);
  cairo_line_to(cr, n.x + 0.15 * s, n.y - 0.04 * s);
  cairo_close_path(cr);
  SetRgb(cr, kSkinShade);
  cairo_fill(cr);
  const double cw = 0.1 * s;
  cairo_move_to(cr, n.x - 0.15 * s, n.y - 0.04 * s);
  cairo_line_to(cr, cross.x + cw * 0.3, cross.y + cw * 0.4);
  SetRgb(cr, st.collar);
  cairo_set_line_width(cr, cw);
  cairo_stroke(cr);
  cairo_move_to(cr, n.x + 0.15 * s, n.y - 0.04 * s);
  cairo_line_to(cr, cross.x, cross.y);
  cairo_line_to(cr, n.x - 0.42 * s, n.y + 1.0 * s);
  SetRgb(cr, st.collar);
  cairo_set_line_width(cr, cw);
  cairo_stroke(cr);
  // The obi, with two fine lines.
  cairo_rectangle(cr, n.x - 0.7 * s, n.y + 0.92 * s, 1.4 * s, 0.36 * s);
  SetRgb(cr, st.obi);
  cairo_fill(cr);
  for (int k = 0; k < 2; k++) {
    cairo_move_to(cr, n.x - 0.7 * s, n.y + (0.97 + 0.24 * k) * s);
    cairo_line_to(cr, n.x + 0.7 * s, n.y + (0.97 + 0.24 * k) * s);
  }
  SetRgb(cr, st.obiLight, 0.8);
  cairo_set_line_width(cr, std::max(0.8, s * 0.018));
  cairo_stroke(cr);
  cairo_restore(cr);
}

Pt CuffOf(const Arm& a) {
  return {a.elbow.x + (a.wrist.x - a.elbow.x) * a.cuff,
          a.elbow.y + (a.wrist.y - a.elbow.y) * a.cuff};
}

// The skin of the forearm from the cuff to the wrist.
void Forearm(cairo_t* cr, const Arm& a, double s) {
  Pt c = CuffOf(a);
  double dx = a.wrist.x - c.x, dy = a.wrist.y - c.y, n = std::max(1e-6, std::hypot(dx, dy));
  double nx = -dy / n, ny = dx / n, w0 = 0.085 * s, w1 = 0.068 * s;
  cairo_move_to(cr, c.x + nx * w0, c.y + ny * w0);
  cairo_line_to(cr, a.wrist.x + nx * w1, a.wrist.y + ny * w1);
  cairo_line_to(cr, a.wrist.x - nx * w1, a.wrist.y - ny * w1);
  cairo_line_to(cr, c.x - nx * w0, c.y - ny * w0);
  cairo_close_path(cr);
  SetRgb(cr, kSkin);
  cairo_fill_preserve(cr);
  Outline(cr, kSkinLine, std::max(0.8, s * 0.012));
}

void SleevePath(cairo_t* cr, const Arm& a, double s) {
  const Pt c = CuffOf(a);
  const double hang = a.hang * s, w = 0.2 * s;
  // The lowest point of the arm inside the sleeve carries the pocket.
  const Pt low = a.elbow.y > c.y ? a.elbow : c, other = a.elbow.y > c.y ? c : a.elbow;
  const double side = c.x > a.shoulder.x ? 1 : -1;
  const double bx = side > 0 ? std::max(c.x, a.elbow.x) : std::min(c.x, a.elbow.x);
  cairo_move_to(cr, a.shoulder.x - side * w * 0.9, a.shoulder.y - w * 0.3);
  cairo_line_to(cr, a.elbow.x - side * w * 0.2, a.elbow.y - w);
  cairo_line_to(cr, c.x, c.y - w);
  cairo_curve_to(cr, c.x + side * w * 0.5, c.y - w * 0.6, c.x + side * w * 0.5, c.y + w * 0.6, c.x,
                 c.y + w);
  cairo_curve_to(cr, bx + side * w * 0.3, low.y + hang * 0.7, bx, low.y + hang, bx - side * w,
                 low.y + hang);
  cairo_line_to(cr, other.x - side * w * 1.6, low.y + hang * 0.92);
  cairo_curve_to(cr, a.shoulder.x - side * w * 0.4, low.y + hang * 0.6,
                 a.shoulder.x - side * w * 0.8, a.shoulder.y + w * 2.5, a.shoulder.x - side * w,
                 a.shoulder.y + w);
  cairo_close_path(cr);
}

// The sleeve: a loose tube over the upper arm and the forearm down to the
// cuff, and the long pocket of the sleeve hanging below the arm.
void Sleeve(cairo_t* cr, const Arm& a, double s, const Style& st, uint32_t seed) {
  const Pt c = CuffOf(a);
  const double w = 0.2 * s, hang = a.hang * s;
  SleevePath(cr, a, s);
  ClothFill(cr, st, std::min(a.shoulder.x, c.x) - w, std::max(a.shoulder.x, c.x) + w);
  cairo_fill_preserve(cr);
  Outline(cr, st.line, std::max(1.0, s * 0.014));
  cairo_save(cr);
  SleevePath(cr, a, s);
  cairo_clip(cr);
  double top = std::min({a.shoulder.y, a.elbow.y, c.y}) - w;
  double bottom = std::max(a.elbow.y, c.y) + hang + w;
  Print(cr, st, {(a.shoulder.x + c.x) / 2, top}, s, 2.6 * s, bottom - top, seed);
  cairo_restore(cr);
  // The cuff's edge.
  const double side = c.x > a.shoulder.x ? 1 : -1;
  cairo_move_to(cr, c.x, c.y - w);
  cairo_curve_to(cr, c.x + side * w * 0.5, c.y - w * 0.6, c.x + side * w * 0.5, c.y + w * 0.6, c.x,
                 c.y + w);
  SetRgb(cr, st.cuff, 0.6);
  cairo_set_line_width(cr, std::max(0.8, s * 0.014));
  cairo_stroke(cr);
}

bool HoldsSomething(const Arm& a) {
  return a.hand == HAND_CUP || a.hand == HAND_GRIP || a.hand == HAND_HOLD;
}

void WholeArm(cairo_t* cr, const Arm& a, double s, const Style& st, bool left) {
  Forearm(cr, a, s);
  Sleeve(cr, a, s, st, left ? 11 : 12);
  Hand(cr, a.wrist.x, a.wrist.y, a.handAngle, 0.42 * s, a.hand, left != a.flip,
       HoldsSomething(a) ? HAND_BACK : HAND_ALL, st.aged);
}

HeadPose HeadOf(const Figure& f) {
  HeadPose h;
  const double up = 0.63 * f.size;
  h.x = f.neck.x + std::sin(f.tilt) * up + f.turn * 0.04 * f.size;
  h.y = f.neck.y - std::cos(f.tilt) * up;
  h.size = f.size;
  h.turn = f.turn;
  h.tilt = f.tilt;
  h.look = f.look;
  h.eyeX = f.eyeX;
  h.eyeY = f.eyeY;
  return h;
}

void Person(cairo_t* cr, const Figure& f, const Style& st,
            void (*headBack)(cairo_t*, const HeadPose&),
            void (*headFront)(cairo_t*, const HeadPose&)) {
  const HeadPose h = HeadOf(f);
  cairo_push_group(cr);
  if (f.parts == Figure::FRONT_ARMS) {
    if (f.left.front) WholeArm(cr, f.left, f.size, st, true);
    if (f.right.front) WholeArm(cr, f.right, f.size, st, false);
    LightFigure(cr, f);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    return;
  }
  headBack(cr, h);
  if (!f.left.front) WholeArm(cr, f.left, f.size, st, true);
  if (!f.right.front) WholeArm(cr, f.right, f.size, st, false);
  // The neck.
  cairo_move_to(cr, h.x - 0.1 * f.size, h.y + 0.3 * f.size);
  cairo_line_to(cr, f.neck.x - 0.12 * f.size, f.neck.y + 0.05 * f.size);
  cairo_line_to(cr, f.neck.x + 0.12 * f.size, f.neck.y + 0.05 * f.size);
  cairo_line_to(cr, h.x + 0.1 * f.size, h.y + 0.3 * f.size);
  cairo_close_path(cr);
  SetRgb(cr, kSkinShade);
  cairo_fill_preserve(cr);
  Outline(cr, kSkinLine, std::max(0.8, f.size * 0.01));
  Torso(cr, f, st);
  headFront(cr, h);
  if (f.parts == Figure::ALL && f.left.front) WholeArm(cr, f.left, f.size, st, true);
  if (f.parts == Figure::ALL && f.right.front) WholeArm(cr, f.right, f.size, st, false);
  LightFigure(cr, f);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

void HandsInFront(cairo_t* cr, const Figure& f, bool aged) {
  cairo_push_group(cr);
  for (int k = 0; k < 2; k++) {
    const Arm& a = k ? f.right : f.left;
    if (HoldsSomething(a))
      Hand(cr, a.wrist.x, a.wrist.y, a.handAngle, 0.42 * f.size, a.hand, (k == 0) != a.flip,
           HAND_FRONT, aged);
  }
  LightFigure(cr, f);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

}  // namespace

void Mio(cairo_t* cr, const Figure& f) {
  Person(cr, f, kMio, MioHeadBack, MioHeadFront);
}

void MioHands(cairo_t* cr, const Figure& f) {
  HandsInFront(cr, f, false);
}

void Grandma(cairo_t* cr, const Figure& f) {
  Person(cr, f, kGrandma, GrandmaHeadBack, GrandmaHeadFront);
}

void GrandmaHands(cairo_t* cr, const Figure& f) {
  HandsInFront(cr, f, true);
}

}  // namespace story

// The people's shared parts: one skin, hands in five poses, eyes, mouths and
// the light of the scene laid over a figure.
#include <algorithm>
#include <cmath>
#include <vector>

#include "story.h"

namespace story {

const Rgb kSkin = Hex(0xf6d2b8), kSkinShade = Hex(0xe0a48a), kSkinLine = Hex(0x8a4c3e);

namespace {

// ---- hands ------------------------------------------------------------------
// A hand is built in its own frame: wrist at the origin, fingers towards -y,
// one unit from wrist to the tip of the middle finger, thumb towards +x.

struct Finger {
  double baseX, baseY, length, width;
  double spread;  // turn of the whole finger, radians (positive towards +x)
  double bend;    // bend at each joint, radians (positive towards the thumb side)
  double fold;    // 0..1 folded towards the viewer: shorter, tip shows
};

// The centre line of a finger: base, two knuckles and the tip.
void FingerJoints(const Finger& f, Pt out[4]) {
  const double seg[3] = {0.45, 0.31, 0.24};
  double a = f.spread, x = f.baseX, y = f.baseY;
  out[0] = {x, y};
  for (int k = 0; k < 3; k++) {
    double len = f.length * seg[k] * (1 - 0.55 * f.fold * (k + 1) / 3.0);
    x += std::sin(a) * len;
    y -= std::cos(a) * len;
    out[k + 1] = {x, y};
    a += f.bend;
  }
}

// A finger's outline: both sides of the centre line, rounded at the tip.
void FingerPath(cairo_t* cr, const Finger& f) {
  Pt j[4];
  FingerJoints(f, j);
  Pt left[4], right[4];
  for (int k = 0; k < 4; k++) {
    Pt a = j[std::max(0, k - 1)], b = j[std::min(3, k + 1)];
    double dx = b.x - a.x, dy = b.y - a.y, n = std::hypot(dx, dy);
    double w = f.width * 0.5 * (1.0 - 0.18 * k / 3.0);  // 0.82 at the tip
    left[k] = {j[k].x + dy / n * w, j[k].y - dx / n * w};
    right[k] = {j[k].x - dy / n * w, j[k].y + dx / n * w};
  }
  cairo_move_to(cr, left[0].x, left[0].y);
  for (int k = 1; k < 4; k++) cairo_line_to(cr, left[k].x, left[k].y);
  double dx = j[3].x - j[2].x, dy = j[3].y - j[2].y;
  double ang = std::atan2(dy, dx);
  cairo_arc_negative(cr, j[3].x, j[3].y, f.width * 0.5 * 0.82, ang + M_PI / 2, ang - M_PI / 2);
  for (int k = 3; k >= 0; k--) cairo_line_to(cr, right[k].x, right[k].y);
  cairo_close_path(cr);
}

void Nail(cairo_t* cr, const Finger& f) {
  Pt j[4];
  FingerJoints(f, j);
  double ang = std::atan2(j[3].y - j[2].y, j[3].x - j[2].x);
  cairo_save(cr);
  cairo_translate(cr, j[2].x + (j[3].x - j[2].x) * 0.72, j[2].y + (j[3].y - j[2].y) * 0.72);
  cairo_rotate(cr, ang);
  Ellipse(cr, 0, 0, f.width * 0.2 * (1 + f.fold), f.width * 0.19);
  cairo_restore(cr);
}

struct HandShape {
  Finger fingers[4];  // index, middle, ring, little
  Finger thumb;
  double palmTop;    // knuckle line
  double palmWidth;  // at the knuckles
  bool nails;        // the back of the hand is seen
};

HandShape ShapeFor(HandPose pose, bool aged) {
  HandShape h{};
  const double xs[4] = {0.16, 0.055, -0.05, -0.15}, ys[4] = {-0.46, -0.48, -0.47, -0.43};
  const double ls[4] = {0.45, 0.52, 0.48, 0.38}, ws[4] = {0.11, 0.115, 0.105, 0.09};
  const double thin = aged ? 0.88 : 1.0;
  for (int k = 0; k < 4; k++) h.fingers[k] = {xs[k], ys[k], ls[k], ws[k] * thin, 0, 0, 0};
  h.thumb = {0.13, -0.13, 0.43, 0.13 * thin, 0.75, -0.16, 0};
  h.palmTop = -0.47;
  h.palmWidth = 0.43;
  h.nails = true;
  switch (pose) {
    case HAND_WAVE:
      for (int k = 0; k < 4; k++) h.fingers[k].spread = (1.5 - k) * 0.13;
      h.thumb.spread = 1.05;
      h.nails = false;
      break;
    case HAND_OPEN:
      for (int k = 0; k < 4; k++) h.fingers[k].spread = (1.5 - k) * 0.04, h.fingers[k].bend = 0.05;
      h.thumb.spread = 0.6;
      h.thumb.bend = -0.1;
      break;
    case HAND_CUP:
      // Palm up, the fingers towards the viewer: foreshortened, close together.
      for (int k = 0; k < 4; k++) {
        h.fingers[k].spread = (1.5 - k) * 0.02;
        h.fingers[k].bend = 0.04;
        h.fingers[k].fold = 0.45;
      }
      h.thumb.spread = 0.55;
      h.thumb.fold = 0.2;
      h.nails = false;
      break;
    case HAND_HOLD:
      // Fingers round the side of something large: they close towards the
      // little finger and shorten as they curve away from the viewer.
      for (int k = 0; k < 4; k++) {
        h.fingers[k].spread = (1.5 - k) * 0.03 - 0.1;
        h.fingers[k].bend = -0.22;
        h.fingers[k].fold = 0.25;
      }
      h.thumb.spread = 0.25;
      h.thumb.bend = -0.05;
      break;
    default:
      break;
  }
  return h;
}

void PalmPath(cairo_t* cr, const HandShape& h) {
  const double top = h.palmTop, w = h.palmWidth;
  cairo_move_to(cr, -0.14, 0.02);
  cairo_curve_to(cr, -0.19, -0.15, -w / 2 - 0.01, top * 0.6, -w / 2 + 0.02, top + 0.04);
  cairo_curve_to(cr, -w / 2 + 0.05, top - 0.03, w / 2 - 0.05, top - 0.05, w / 2 - 0.01, top + 0.02);
  cairo_curve_to(cr, w / 2 + 0.02, top * 0.55, 0.19, -0.12, 0.15, 0.02);
  cairo_close_path(cr);
}

void SkinFill(cairo_t* cr, double lit) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, -1);
  double k = 0.86 + 0.14 * lit;
  cairo_pattern_add_color_stop_rgb(p, 0, kSkinShade.r * k, kSkinShade.g * k, kSkinShade.b * k);
  cairo_pattern_add_color_stop_rgb(p, 0.55, kSkin.r * k, kSkin.g * k, kSkin.b * k);
  cairo_pattern_add_color_stop_rgb(p, 1, kSkin.r, kSkin.g, kSkin.b);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

// Fingers, thumb and palm with one outer outline, then the lines between
// the fingers, the thumb's inner edge and the nails or the palm's creases.
// The back layer is the palm and thumb, the front layer the fingers.
void OpenHand(cairo_t* cr, const HandShape& h, double lineWidth, HandLayer layer) {
  const bool back = layer != HAND_FRONT, front = layer != HAND_BACK;
  auto parts = [&] {
    if (back) {
      PalmPath(cr, h);
      FingerPath(cr, h.thumb);
      // The ball of the thumb joins it to the palm.
      Ellipse(cr, 0.07, -0.16, 0.12, 0.14);
    }
    if (front)
      for (int k = 0; k < 4; k++) FingerPath(cr, h.fingers[k]);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  parts();
  SetRgb(cr, kSkinLine);
  cairo_set_line_width(cr, lineWidth * 2);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  cairo_new_path(cr);
  parts();
  SkinFill(cr, 1);
  cairo_fill(cr);
  if (front)
    for (int k = 0; k < 4; k++) {
      // Each finger's own edge, faint, so the fingers read apart; not over
      // the palm, where the finger joins it.
      cairo_save(cr);
      cairo_rectangle(cr, -2, -2, 4, 2 + h.fingers[k].baseY - 0.02);
      cairo_clip(cr);
      FingerPath(cr, h.fingers[k]);
      SetRgb(cr, kSkinLine, 0.5);
      cairo_set_line_width(cr, lineWidth * 0.8);
      cairo_stroke(cr);
      cairo_restore(cr);
    }
  if (back) {
    // The thumb's edge where it lies over the palm.
    cairo_save(cr);
    cairo_rectangle(cr, -2, -2, 4, 4);
    PalmPath(cr, h);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    FingerPath(cr, h.thumb);
    SetRgb(cr, kSkinLine, 0.6);
    cairo_set_line_width(cr, lineWidth * 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  if (h.nails) {
    if (front)
      for (int k = 0; k < 4; k++) Nail(cr, h.fingers[k]);
    if (back) Nail(cr, h.thumb);
    SetRgb(cr, Hex(0xfbe4dc), 0.75);
    cairo_fill(cr);
  } else if (back) {
    // Palm creases.
    cairo_move_to(cr, -0.17, -0.33);
    cairo_curve_to(cr, -0.05, -0.30, 0.06, -0.33, 0.17, -0.38);
    cairo_move_to(cr, 0.1, -0.1);
    cairo_curve_to(cr, 0.0, -0.18, -0.04, -0.28, -0.04, -0.4);
    SetRgb(cr, kSkinLine, 0.3);
    cairo_set_line_width(cr, lineWidth * 0.7);
    cairo_stroke(cr);
  }
}

// A fist round a stick, seen from the back of the hand: the folded fingers
// lie in a row below the knuckles, the thumb over them.
void Fist(cairo_t* cr, double lineWidth) {
  auto back = [&] {
    cairo_move_to(cr, -0.15, 0.02);
    cairo_curve_to(cr, -0.2, -0.15, -0.25, -0.3, -0.23, -0.46);
    cairo_curve_to(cr, -0.2, -0.56, 0.2, -0.58, 0.24, -0.47);
    cairo_curve_to(cr, 0.27, -0.3, 0.2, -0.12, 0.15, 0.02);
    cairo_close_path(cr);
  };
  auto folded = [&](int k) {
    double x = 0.165 - k * 0.108;
    RoundRect(cr, x - 0.056, -0.6, 0.112, 0.25, 0.05);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  back();
  for (int k = 0; k < 4; k++) folded(k);
  SetRgb(cr, kSkinLine);
  cairo_set_line_width(cr, lineWidth * 2);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  back();
  SkinFill(cr, 1);
  cairo_fill(cr);
  for (int k = 0; k < 4; k++) {
    folded(k);
    SkinFill(cr, 1);
    cairo_fill_preserve(cr);
    SetRgb(cr, kSkinLine, 0.6);
    cairo_set_line_width(cr, lineWidth * 0.8);
    cairo_stroke(cr);
    // The middle knuckle of each folded finger.
    cairo_move_to(cr, 0.165 - k * 0.108 - 0.04, -0.5);
    cairo_line_to(cr, 0.165 - k * 0.108 + 0.04, -0.5);
    SetRgb(cr, kSkinLine, 0.3);
    cairo_stroke(cr);
  }
  // Thumb across the front of the first two fingers.
  cairo_move_to(cr, 0.2, -0.2);
  cairo_curve_to(cr, 0.22, -0.36, 0.1, -0.44, -0.02, -0.45);
  cairo_curve_to(cr, -0.07, -0.45, -0.08, -0.38, -0.03, -0.36);
  cairo_curve_to(cr, 0.06, -0.34, 0.12, -0.26, 0.13, -0.16);
  cairo_close_path(cr);
  SkinFill(cr, 1);
  cairo_fill_preserve(cr);
  SetRgb(cr, kSkinLine, 0.85);
  cairo_set_line_width(cr, lineWidth);
  cairo_stroke(cr);
  Ellipse(cr, -0.01, -0.41, 0.035, 0.028);
  SetRgb(cr, Hex(0xfde6dc), 0.9);
  cairo_fill(cr);
}

}  // namespace

void Hand(cairo_t* cr, double x, double y, double angle, double len, HandPose pose, bool mirror,
          HandLayer layer, bool aged) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, mirror ? -len : len, len);
  const double lineWidth = std::max(0.6, len * 0.02) / len;
  if (pose == HAND_GRIP) {
    if (layer != HAND_BACK) Fist(cr, lineWidth);
  } else {
    OpenHand(cr, ShapeFor(pose, aged), lineWidth, layer);
  }
  cairo_restore(cr);
}

// ---- faces ---------------------------------------------------------------

namespace {
// A point of the face: (u, v) in head sizes from the skull's centre, with
// the turn moving the middle of the face sideways.
Pt FacePoint(const HeadPose& h, double u, double v) {
  double s = h.size, shift = h.turn * 0.13 * std::cos(u * 2.2);
  double x = (u * (1 - 0.25 * std::abs(h.turn) * (u * h.turn < 0)) + shift) * s, y = v * s;
  double c = std::cos(h.tilt), sn = std::sin(h.tilt);
  return {h.x + x * c - y * sn, h.y + x * sn + y * c};
}

void EyeOpen(cairo_t* cr, const HeadPose& h, double w, double ht, double lw, bool aged, int side) {
  const Look l = h.look;
  double open = l == LOOK_WONDER ? 1.1 : (l == LOOK_SAD ? 0.7 : 1.0);
  // White, iris, pupil, two highlights.
  Ellipse(cr, 0, 0, w * 0.5, ht * 0.5 * open);
  SetRgb(cr, Hex(0xfffaf4));
  cairo_fill(cr);
  double ir = w * (l == LOOK_WONDER ? 0.3 : 0.36), ix = h.eyeX * w * 0.18,
         iy = h.eyeY * ht * 0.15 + (l == LOOK_SAD ? ht * 0.12 : 0);
  cairo_save(cr);
  Ellipse(cr, 0, 0, w * 0.5, ht * 0.5 * open);
  cairo_clip(cr);
  Ellipse(cr, ix, iy + ht * 0.04, ir, ir * 1.22);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, iy - ir, 0, iy + ir);
  Rgb top = aged ? Hex(0x2a1c18) : Hex(0x2a1410), bot = aged ? Hex(0x6a4a38) : Hex(0xb0643c);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bot.r, bot.g, bot.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Ellipse(cr, ix, iy + ht * 0.06, ir * 0.45, ir * 0.6);
  SetRgb(cr, Hex(0x120806));
  cairo_fill(cr);
  cairo_arc(cr, ix - ir * 0.35 * side, iy - ir * 0.35, ir * 0.32, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xffffff));
  cairo_fill(cr);
  cairo_arc(cr, ix + ir * 0.35 * side, iy + ir * 0.5, ir * 0.14, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xffffff), 0.8);
  cairo_fill(cr);
  cairo_restore(cr);
  // Upper lid: a thick dark line, longer at the outer corner.
  cairo_move_to(cr, -w * 0.56 * side, ht * 0.08);
  cairo_curve_to(cr, -w * 0.45 * side, -ht * 0.55 * open, w * 0.35 * side, -ht * 0.6 * open,
                 w * 0.62 * side, -ht * 0.12);
  SetRgb(cr, Hex(0x24140f));
  cairo_set_line_width(cr, lw * 1.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_move_to(cr, -w * 0.3 * side, ht * 0.5 * open);
  cairo_line_to(cr, w * 0.35 * side, ht * 0.45 * open);
  SetRgb(cr, Hex(0x5a2c20), 0.6);
  cairo_set_line_width(cr, lw * 0.7);
  cairo_stroke(cr);
}

// Closed eyes: a laugh arches up, sleep or sorrow hangs down.
void EyeClosed(cairo_t* cr, double w, double ht, double lw, bool up) {
  if (up) {
    cairo_move_to(cr, -w * 0.5, ht * 0.15);
    cairo_curve_to(cr, -w * 0.3, -ht * 0.35, w * 0.3, -ht * 0.35, w * 0.5, ht * 0.15);
  } else {
    cairo_move_to(cr, -w * 0.5, 0);
    cairo_curve_to(cr, -w * 0.3, ht * 0.3, w * 0.3, ht * 0.3, w * 0.5, 0);
  }
  SetRgb(cr, Hex(0x24140f));
  cairo_set_line_width(cr, lw * 1.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}
}  // namespace

void Eyes(cairo_t* cr, const HeadPose& h, double spacing, double eyeW, double eyeH, double y,
          bool aged) {
  const double s = h.size, lw = std::max(0.8, s * 0.012);
  for (int side = -1; side <= 1; side += 2) {
    Pt c = FacePoint(h, side * spacing, y);
    // The eye on the far side of a turned face is narrower.
    double squeeze = 1 - 0.3 * std::max(0.0, -side * h.turn);
    cairo_save(cr);
    cairo_translate(cr, c.x, c.y);
    cairo_rotate(cr, h.tilt);
    cairo_scale(cr, squeeze, 1);
    double w = eyeW * s, ht = eyeH * s;
    if (h.look == LOOK_JOY)
      EyeClosed(cr, w, ht, lw, true);
    else if (aged && h.look == LOOK_SMILE)
      EyeClosed(cr, w * 0.9, ht * 0.8, lw, true);
    else
      EyeOpen(cr, h, w, ht, lw, aged, side);
    // Brows: raised in the middle for worry and sorrow, set low for resolve.
    double inner = 0, outer = 0;
    if (h.look == LOOK_WORRY || h.look == LOOK_SAD || h.look == LOOK_TEARS) inner = -0.25;
    if (h.look == LOOK_RESOLVE) inner = 0.2;
    if (h.look == LOOK_WONDER) inner = outer = -0.15;
    cairo_move_to(cr, -w * 0.45 * side, -ht * (0.95 + outer));
    cairo_curve_to(cr, -w * 0.1 * side, -ht * (1.18 + outer * 0.5), w * 0.2 * side,
                   -ht * (1.15 + inner * 0.5), w * 0.5 * side, -ht * (0.98 + inner));
    SetRgb(cr, aged ? Hex(0x8a8078) : Hex(0x2a1a1a), 0.85);
    cairo_set_line_width(cr, lw * 1.1);
    cairo_stroke(cr);
    if (h.look == LOOK_TEARS) {
      Ellipse(cr, w * 0.48 * side, ht * 0.35, w * 0.1, ht * 0.16);
      SetRgb(cr, Hex(0xe8f4ff), 0.9);
      cairo_fill(cr);
    }
    if (aged) {
      // Laughter lines at the outer corner.
      for (int k = 0; k < 2; k++) {
        cairo_move_to(cr, -w * 0.62 * side, -ht * 0.1 + k * ht * 0.28);
        cairo_line_to(cr, -w * 0.82 * side, -ht * 0.22 + k * ht * 0.42);
      }
      SetRgb(cr, kSkinLine, 0.45);
      cairo_set_line_width(cr, lw * 0.7);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  }
}

void Mouth(cairo_t* cr, const HeadPose& h, double y, double w) {
  const double s = h.size, lw = std::max(0.8, s * 0.011);
  Pt c = FacePoint(h, 0, y);
  cairo_save(cr);
  cairo_translate(cr, c.x, c.y);
  cairo_rotate(cr, h.tilt);
  const double mw = w * s;
  switch (h.look) {
    case LOOK_JOY:
    case LOOK_WONDER: {
      // Open: a dark mouth with the tongue showing.
      bool joy = h.look == LOOK_JOY;
      double top = joy ? -mw * 0.05 : -mw * 0.25, bottom = joy ? mw * 0.55 : mw * 0.3;
      double half = joy ? mw * 0.55 : mw * 0.25;
      cairo_move_to(cr, -half, top);
      cairo_curve_to(cr, -half * 0.8, bottom, half * 0.8, bottom, half, top);
      cairo_curve_to(cr, half * 0.4, top - mw * 0.06, -half * 0.4, top - mw * 0.06, -half, top);
      cairo_close_path(cr);
      SetRgb(cr, Hex(0x7a2830));
      cairo_fill_preserve(cr);
      cairo_save(cr);
      cairo_clip(cr);
      Ellipse(cr, 0, bottom, half * 0.7, (bottom - top) * 0.45);
      SetRgb(cr, Hex(0xe87a80));
      cairo_fill(cr);
      cairo_restore(cr);
      break;
    }
    case LOOK_WORRY:
    case LOOK_SAD:
      cairo_move_to(cr, -mw * 0.35, mw * 0.08);
      cairo_curve_to(cr, -mw * 0.15, -mw * 0.1, mw * 0.15, -mw * 0.1, mw * 0.35, mw * 0.08);
      SetRgb(cr, Hex(0x6a3028));
      cairo_set_line_width(cr, lw * 1.2);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
      break;
    case LOOK_RESOLVE:
      cairo_move_to(cr, -mw * 0.3, 0);
      cairo_curve_to(cr, -mw * 0.1, mw * 0.05, mw * 0.1, mw * 0.05, mw * 0.3, -mw * 0.02);
      SetRgb(cr, Hex(0x6a3028));
      cairo_set_line_width(cr, lw * 1.3);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
      break;
    default:
      cairo_move_to(cr, -mw * 0.42, -mw * 0.04);
      cairo_curve_to(cr, -mw * 0.2, mw * 0.22, mw * 0.2, mw * 0.22, mw * 0.42, -mw * 0.04);
      SetRgb(cr, Hex(0x6a3028));
      cairo_set_line_width(cr, lw * 1.2);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
      break;
  }
  cairo_restore(cr);
}

void Blush(cairo_t* cr, const HeadPose& h, double y, double a) {
  for (int side = -1; side <= 1; side += 2) {
    Pt c = FacePoint(h, side * 0.27, y);
    cairo_pattern_t* p = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, h.size * 0.09);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.55, 0.55, a);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.55, 0.55, 0);
    cairo_set_source(cr, p);
    Ellipse(cr, c.x, c.y, h.size * 0.11, h.size * 0.07);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void LightFigure(cairo_t* cr, const Figure& f) {
  // Over what the group holds only (ATOP): the cool of the night, then the
  // warm light from its source.
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
  if (f.night > 0) {
    cairo_set_source_rgba(cr, 0.08, 0.1, 0.28, f.night * 0.5);
    cairo_paint(cr);
  }
  if (f.lit > 0) {
    double r = f.size * 4.5;
    cairo_pattern_t* p =
        cairo_pattern_create_radial(f.lightAt.x, f.lightAt.y, 0, f.lightAt.x, f.lightAt.y, r);
    cairo_pattern_add_color_stop_rgba(p, 0, f.light.r, f.light.g, f.light.b, 0.32 * f.lit);
    cairo_pattern_add_color_stop_rgba(p, 0.5, f.light.r, f.light.g, f.light.b, 0.12 * f.lit);
    cairo_pattern_add_color_stop_rgba(p, 1, f.light.r, f.light.g, f.light.b, 0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
  }
  cairo_restore(cr);
}

}  // namespace story

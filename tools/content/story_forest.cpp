// The woods: their edge behind the festival stalls with the bird's light
// flying in, and the path inside, lit only by Mio's lantern.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

// A tall cedar trunk with bark lines, from the top edge down to base.
void Trunk(cairo_t* cr, double x, double base, double w, Rgb c, Rgb lit, double litSide) {
  cairo_move_to(cr, x - w * 0.4, -10);
  cairo_line_to(cr, x + w * 0.4, -10);
  cairo_curve_to(cr, x + w * 0.45, base * 0.6, x + w * 0.5, base - w, x + w * 0.9, base);
  cairo_line_to(cr, x - w * 0.9, base);
  cairo_curve_to(cr, x - w * 0.5, base - w, x - w * 0.45, base * 0.6, x - w * 0.4, -10);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(x - w / 2, 0, x + w / 2, 0);
  double l = std::clamp(litSide, -1.0, 1.0);
  cairo_pattern_add_color_stop_rgb(p, 0, l < 0 ? lit.r : c.r, l < 0 ? lit.g : c.g,
                                   l < 0 ? lit.b : c.b);
  cairo_pattern_add_color_stop_rgb(p, 0.5, c.r, c.g, c.b);
  cairo_pattern_add_color_stop_rgb(p, 1, l > 0 ? lit.r : c.r * 0.7, l > 0 ? lit.g : c.g * 0.7,
                                   l > 0 ? lit.b : c.b * 0.7);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Rand rnd(static_cast<uint32_t>(x * 7 + base));
  for (int k = 0; k < 5; k++) {
    double bx = x + rnd.Range(-0.3, 0.3) * w;
    cairo_move_to(cr, bx, rnd.Range(0, base * 0.3));
    cairo_line_to(cr, bx + rnd.Range(-2, 2), base - rnd.Range(0, 20));
  }
  SetRgb(cr, Hex(0x000000), 0.25);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

// The bird's light between the trees: a warm glow with the small dark
// shape of a bird and its lantern tail.
void BirdLight(cairo_t* cr, double x, double y, double s) {
  Glow(cr, x + s * 0.8, y + s * 0.4, s * 6, Hex(0xffa040), 0.45);
  Glow(cr, x + s * 0.8, y + s * 0.4, s * 1.6, Hex(0xfff0c0), 0.95);
  LanternBird(cr, x, y, s, BIRD_FLYING, 1.0);
}

void Undergrowth(cairo_t* cr, double y, Rgb c, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < 40; i++) {
    double x = rnd.Range(-20, 660), r = rnd.Range(12, 34), yy = y + rnd.Range(-10, 30);
    Ellipse(cr, x, yy, r * 1.3, r * 0.7);
    SetRgb(cr, c);
    cairo_fill(cr);
  }
}

}  // namespace

// g0003: the edge of the woods behind the stalls: the festival's light on
// the nearest trees and, between them, the small light flying into the dark.
void WoodsEdge(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x060a1c)}, {0.6, Hex(0x121a3a)}, {1, Hex(0x1a1424)}});
  Stars(cr, 0, 0, 640, 90, 40, 61);
  Woods(cr, -20, 660, 150, 110, Hex(0x0a1028), 62);
  Woods(cr, -20, 660, 250, 160, Hex(0x060a18), 63);
  // The path into the trees.
  cairo_move_to(cr, 250, 480);
  cairo_curve_to(cr, 280, 380, 320, 300, 338, 250);
  cairo_line_to(cr, 352, 250);
  cairo_curve_to(cr, 380, 320, 430, 400, 470, 480);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1c1822));
  cairo_fill(cr);
  // Trunks at both sides, lit warm from the festival behind the viewer.
  Trunk(cr, 60, 400, 46, Hex(0x161018), Hex(0x8a4a2a), 1);
  Trunk(cr, 180, 330, 26, Hex(0x100c14), Hex(0x5a3424), 1);
  Trunk(cr, 520, 340, 30, Hex(0x100c14), Hex(0x5a3424), -1);
  Trunk(cr, 600, 420, 50, Hex(0x161018), Hex(0x8a4a2a), -1);
  Undergrowth(cr, 300, Hex(0x0a0c14), 64);
  // The festival's light spilling in from the lower left.
  Glow(cr, 0, 480, 360, Hex(0xff9040), 0.4);
  // The back of a stall and its lanterns at the corner.
  cairo_rectangle(cr, -10, 250, 130, 80);
  SetRgb(cr, Hex(0x2a1a1a));
  cairo_fill(cr);
  PaperLantern(cr, 40, 236, 34, 1.0, Hex(0xe04830));
  PaperLantern(cr, 96, 242, 30, 1.0, Hex(0xf0e6d0));
  BirdLight(cr, 372, 178, 9);
  Fireflies(cr, 150, 160, 360, 150, 8, 65);
}

// g0004: inside the woods: tall cedars, roots across the path, moonlight in
// thin shafts, the lantern's warm pool on the ground near, the bird's light
// ahead on a branch.
void ForestPath(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x0a1430)}, {0.6, Hex(0x0a1024)}, {1, Hex(0x0c0a12)}});
  // Shafts of moonlight through the canopy.
  for (int k = 0; k < 4; k++) {
    double x = 160 + k * 110;
    cairo_move_to(cr, x, -10);
    cairo_line_to(cr, x + 30, -10);
    cairo_line_to(cr, x + 90, 480);
    cairo_line_to(cr, x + 40, 480);
    cairo_close_path(cr);
    SetRgb(cr, Hex(0x8aa8e0), 0.06);
    cairo_fill(cr);
  }
  Woods(cr, -20, 660, 260, 200, Hex(0x081024), 71);
  cairo_move_to(cr, 120, 480);
  cairo_curve_to(cr, 240, 400, 290, 320, 310, 250);
  cairo_line_to(cr, 330, 250);
  cairo_curve_to(cr, 360, 330, 460, 410, 560, 480);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1a1620));
  cairo_fill(cr);
  const double trunks[6][3] = {{40, 480, 60},  {150, 360, 32}, {250, 300, 18},
                               {400, 300, 20}, {490, 370, 34}, {610, 480, 64}};
  for (const auto& t : trunks)
    Trunk(cr, t[0], t[1], t[2], Hex(0x0e0c14), Hex(0x3a3040), t[0] < 320 ? 1 : -1);
  Undergrowth(cr, 330, Hex(0x080a10), 72);
  // The lantern's light pooled on the path in front.
  Glow(cr, 320, 470, 220, Hex(0xffa050), 0.45);
  // The branch ahead with the light resting on it.
  cairo_move_to(cr, 400, 190);
  cairo_curve_to(cr, 360, 196, 330, 200, 300, 214);
  SetRgb(cr, Hex(0x0a0810));
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  Glow(cr, 334, 196, 60, Hex(0xffa040), 0.5);
  LanternBird(cr, 326, 196, 7, BIRD_PERCHED, 1.0);
  Fireflies(cr, 100, 200, 440, 160, 10, 73);
}

}  // namespace story

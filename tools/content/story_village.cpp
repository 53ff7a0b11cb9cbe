// The village: the slope of lanterns seen from the grandmother's veranda at
// dusk, the festival street at night, and the slope again in the morning
// with every lantern out.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

// A house of the village: plaster walls, a dark tiled roof with curved
// eaves, one window with paper screens.
void House(cairo_t* cr, double x, double base, double w, double h, Rgb wall, Rgb roof,
           double window) {
  cairo_rectangle(cr, x, base - h, w, h);
  SetRgb(cr, wall);
  cairo_fill(cr);
  // Timber posts.
  for (int k = 0; k <= 3; k++) cairo_rectangle(cr, x + k * (w - 3) / 3, base - h, 3, h);
  SetRgb(cr, Hex(0x1a1214), 0.7);
  cairo_fill(cr);
  if (window > 0) {
    cairo_rectangle(cr, x + w * 0.2, base - h * 0.72, w * 0.32, h * 0.4);
    SetRgb(cr, Hex(0xffc878), window);
    cairo_fill(cr);
    for (int k = 1; k < 3; k++) {
      cairo_move_to(cr, x + w * 0.2 + w * 0.32 * k / 3, base - h * 0.72);
      cairo_rel_line_to(cr, 0, h * 0.4);
    }
    cairo_move_to(cr, x + w * 0.2, base - h * 0.52);
    cairo_rel_line_to(cr, w * 0.32, 0);
    SetRgb(cr, Hex(0x3a2418), 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  const double eave = w * 0.12, rh = h * 0.75;
  cairo_move_to(cr, x - eave, base - h + 2);
  cairo_curve_to(cr, x - eave * 0.4, base - h - 2, x + w * 0.15, base - h - rh * 0.6, x + w * 0.3,
                 base - h - rh);
  cairo_line_to(cr, x + w * 0.7, base - h - rh);
  cairo_curve_to(cr, x + w * 0.85, base - h - rh * 0.6, x + w + eave * 0.4, base - h - 2,
                 x + w + eave, base - h + 2);
  cairo_close_path(cr);
  SetRgb(cr, roof);
  cairo_fill(cr);
  // Rows of tiles.
  for (int k = 1; k < 4; k++) {
    double t = k / 4.0;
    cairo_move_to(cr, x - eave * (1 - t) + w * 0.3 * t, base - h - rh * t);
    cairo_line_to(cr, x + w + eave * (1 - t) - w * 0.3 * t, base - h - rh * t);
  }
  SetRgb(cr, Hex(0x000000), 0.25);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A line of lanterns on a cord between poles, from near (x0, y0, big) to far
// (x1, y1, small); lit says which are burning (every n-th of them from the far end).
void LanternLine(cairo_t* cr, double x0, double y0, double s0, double x1, double y1, double s1,
                 int count, int litEvery, double light) {
  cairo_move_to(cr, x0, y0);
  cairo_curve_to(cr, x0 + (x1 - x0) * 0.3, y0 + (y1 - y0) * 0.3 + s0 * 0.6, x0 + (x1 - x0) * 0.7,
                 y0 + (y1 - y0) * 0.7 + s1 * 0.6, x1, y1);
  SetRgb(cr, Hex(0x1a1418));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  for (int k = count - 1; k >= 0; k--) {
    double t = (k + 0.5) / count, s = s0 + (s1 - s0) * t;
    double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t + std::sin(M_PI * t) * s0 * 0.35;
    bool on = litEvery > 0 && (count - 1 - k) % litEvery == 0;
    PaperLantern(cr, x, y, s, on ? light : 0.0, k % 3 == 1 ? Hex(0xf0e6d0) : Hex(0xe04830));
  }
}

void Mountains(cairo_t* cr, double base, Rgb far, Rgb near, uint32_t seed) {
  Rand rnd(seed);
  for (int layer = 0; layer < 2; layer++) {
    cairo_move_to(cr, -10, base + 40);
    for (int x = -10; x <= 650; x += 20) {
      double y =
          base - (layer ? 40 : 70) - 30 * std::sin(x * 0.009 + layer * 2 + seed) - rnd.Range(0, 6);
      cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, 650, base + 40);
    cairo_close_path(cr);
    SetRgb(cr, layer ? near : far);
    cairo_fill(cr);
  }
}

// The slope road between the houses, from the foreground up to the woods,
// with the lanterns along it (light 0: all out).
void Slope(Canvas& c, double light, bool dusk) {
  cairo_t* cr = c.cr;
  Rgb roof = dusk ? Hex(0x1a1a30) : Hex(0x3a4050), wall = dusk ? Hex(0x4a3a44) : Hex(0xc8c0b0);
  // The ground of the village below the hills, fields and hedges.
  cairo_move_to(cr, -10, 236);
  cairo_curve_to(cr, 200, 226, 420, 196, 660, 170);
  cairo_line_to(cr, 660, 480);
  cairo_line_to(cr, -10, 480);
  cairo_close_path(cr);
  SetRgb(cr, dusk ? Hex(0x2a2236) : Hex(0x6a8a50));
  cairo_fill(cr);
  Rand rnd(51);
  for (int i = 0; i < 26; i++) {
    double x = rnd.Range(-10, 640), y = rnd.Range(240, 330), r = rnd.Range(10, 26);
    Ellipse(cr, x, y, r * 1.6, r * 0.5);
    SetRgb(cr, dusk ? Hex(0x201a2c) : Hex(0x4a6a3a), 0.9);
    cairo_fill(cr);
  }
  // Road climbing to the right, into the woods.
  cairo_move_to(cr, 120, 330);
  cairo_curve_to(cr, 260, 280, 420, 220, 520, 176);
  cairo_line_to(cr, 548, 178);
  cairo_curve_to(cr, 470, 228, 360, 300, 330, 340);
  cairo_close_path(cr);
  SetRgb(cr, dusk ? Hex(0x5a4450) : Hex(0xb8a890));
  cairo_fill(cr);
  // Houses on both sides, farther ones smaller and higher.
  const double houses[6][4] = {{40, 300, 120, 60}, {180, 262, 90, 46},  {300, 226, 64, 34},
                               {400, 198, 48, 26}, {350, 300, 110, 56}, {470, 236, 60, 32}};
  for (int i = 0; i < 6; i++) {
    const double* hz = houses[i];
    House(cr, hz[0], hz[1], hz[2], hz[3], wall, roof, dusk ? 0.85 : 0.0);
  }
  // Lanterns along both sides of the road, on cords between poles.
  const double poles[4][3] = {{128, 200, 134}, {520, 150, 40}, {298, 262, 150}, {548, 160, 48}};
  for (const auto& p : poles) {
    cairo_rectangle(cr, p[0] - p[2] * 0.02, p[1] - 4, std::max(1.5, p[2] * 0.04), p[2]);
    SetRgb(cr, dusk ? Hex(0x1a1218) : Hex(0x4a3a2a));
    cairo_fill(cr);
  }
  LanternLine(cr, 130, 200, 26, 520, 150, 8, 9, dusk ? 2 : 0, light);
  LanternLine(cr, 300, 262, 30, 548, 160, 9, 8, dusk ? 3 : 0, light);
}

// The veranda the view is seen from: the eave above with a wind chime, the
// floor boards and a post.
void Veranda(cairo_t* cr) {
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, 640, 0);
  cairo_line_to(cr, 640, 34);
  cairo_curve_to(cr, 400, 44, 200, 44, 0, 40);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1a1210));
  cairo_fill(cr);
  cairo_rectangle(cr, 590, 0, 26, 480);
  SetRgb(cr, Hex(0x2a1a14));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 318, 640, 162);
  SetRgb(cr, Hex(0x3a2a22));
  cairo_fill(cr);
  for (int k = 0; k < 6; k++) {
    cairo_move_to(cr, 0, 322 + k * 26);
    cairo_line_to(cr, 640, 322 + k * 26);
  }
  SetRgb(cr, Hex(0x1a1210));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The wind chime: a glass bell, its clapper and the paper strip.
  cairo_move_to(cr, 90, 38);
  cairo_line_to(cr, 90, 62);
  SetRgb(cr, Hex(0xd8d0c0));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_arc(cr, 90, 76, 14, M_PI, 2 * M_PI);
  cairo_line_to(cr, 104, 80);
  cairo_line_to(cr, 76, 80);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xc8e0ff), 0.75);
  cairo_fill(cr);
  cairo_arc(cr, 86, 70, 4, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xe04860), 0.8);
  cairo_fill(cr);
  cairo_move_to(cr, 90, 80);
  cairo_line_to(cr, 90, 96);
  cairo_stroke(cr);
  cairo_rectangle(cr, 85, 96, 10, 30);
  SetRgb(cr, Hex(0xf4ecd8));
  cairo_fill(cr);
}

// One stall of the festival: a striped awning over a lit counter, the
// name on a paper sign.
void Stall(cairo_t* cr, double x, double base, double w, double h, const char* sign, Rgb stripe) {
  Glow(cr, x + w / 2, base - h * 0.4, w * 0.9, Hex(0xffb060), 0.35);
  cairo_rectangle(cr, x, base - h * 0.62, w, h * 0.62);
  SetRgb(cr, Hex(0x2a1c1c));
  cairo_fill(cr);
  cairo_rectangle(cr, x + w * 0.06, base - h * 0.56, w * 0.88, h * 0.36);
  SetRgb(cr, Hex(0xffd8a0), 0.9);
  cairo_fill(cr);
  // Awning: alternating stripes.
  const int n = 6;
  for (int k = 0; k < n; k++) {
    cairo_move_to(cr, x + w * k / n, base - h);
    cairo_line_to(cr, x + w * (k + 1) / n, base - h);
    cairo_line_to(cr, x + w * (k + 1) / n + w * 0.04, base - h * 0.62);
    cairo_line_to(cr, x + w * k / n + w * 0.04, base - h * 0.62);
    cairo_close_path(cr);
    SetRgb(cr, k % 2 ? Hex(0xf4f0e8) : stripe);
    cairo_fill(cr);
  }
  SelectFont(cr, FONT_GOTHIC, h * 0.2, true);
  double tw = TextWidth(cr, sign);
  RoundRect(cr, x + w / 2 - tw / 2 - 4, base - h * 1.32, tw + 8, h * 0.3, 2);
  SetRgb(cr, Hex(0xfff6e0));
  cairo_fill(cr);
  cairo_new_path(cr);
  TextPath(cr, sign, x + w / 2, base - h * 1.1, 0.5);
  SetRgb(cr, Hex(0xc02020));
  cairo_fill(cr);
}

// The festival tower in the distance: a platform hung with red and white,
// the drum on top, cords of lanterns running out from it.
void Yagura(cairo_t* cr, double x, double base, double h) {
  for (int k = 0; k < 10; k++) {
    double a = M_PI * (0.05 + 0.9 * k / 9);
    double ex = x + std::cos(a) * 330, ey = base - h - 10 + std::sin(a) * -20 + 90;
    LanternLine(cr, x, base - h - 6, 6, ex, ey - 40, 10, 5, 1, 0.95);
  }
  cairo_rectangle(cr, x - h * 0.4, base - h * 0.55, h * 0.8, h * 0.55);
  SetRgb(cr, Hex(0x1a1214));
  cairo_fill(cr);
  for (int k = 0; k < 8; k++) {
    cairo_rectangle(cr, x - h * 0.42 + k * h * 0.105, base - h * 0.55, h * 0.105, h * 0.22);
    SetRgb(cr, k % 2 ? Hex(0xf4f0e8) : Hex(0xd02a30));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, x - h * 0.45, base - h * 0.6, h * 0.9, h * 0.06);
  SetRgb(cr, Hex(0x3a2418));
  cairo_fill(cr);
  Ellipse(cr, x, base - h * 0.72, h * 0.12, h * 0.12);
  SetRgb(cr, Hex(0x8a3a20));
  cairo_fill(cr);
  Ellipse(cr, x, base - h * 0.72, h * 0.09, h * 0.09);
  SetRgb(cr, Hex(0xe8d8b0));
  cairo_fill(cr);
}

// People walking the street in silhouette, some with fans.
void Crowd(cairo_t* cr, double y, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < 22; i++) {
    double x = rnd.Range(60, 580), s = rnd.Range(0.7, 1.15), base = y + rnd.Range(-6, 10);
    bool child = rnd.Next() % 3 == 0;
    double h = (child ? 38 : 58) * s;
    Rgb c = Hex(rnd.Next() % 2 ? 0x1a1428 : 0x24182a);
    cairo_arc(cr, x, base - h, h * 0.13, 0, 2 * M_PI);
    cairo_move_to(cr, x - h * 0.14, base - h * 0.86);
    cairo_line_to(cr, x + h * 0.14, base - h * 0.86);
    cairo_line_to(cr, x + h * 0.2, base);
    cairo_line_to(cr, x - h * 0.2, base);
    cairo_close_path(cr);
    SetRgb(cr, c);
    cairo_fill(cr);
    if (rnd.Next() % 3 == 0) {  // a round fan held up
      cairo_arc(cr, x + h * 0.22, base - h * 0.78, h * 0.09, 0, 2 * M_PI);
      SetRgb(cr, Hex(rnd.Next() % 2 ? 0x4a7ad0 : 0xd05070), 0.9);
      cairo_fill(cr);
    }
  }
}

}  // namespace

// g0001: dusk seen from the grandmother's veranda: the slope road lined
// with lanterns up to the woods, some of them already lit.
void VillageDusk(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 340,
      {{0, Hex(0x2a2a5a)},
       {0.35, Hex(0x6a4a7a)},
       {0.62, Hex(0xd8787a)},
       {0.85, Hex(0xf8b070)},
       {1, Hex(0xf8c888)}});
  Glow(cr, 120, 250, 260, Hex(0xffc080), 0.5);
  Stars(cr, 0, 40, 640, 60, 8, 3);
  Mountains(cr, 230, Hex(0x6a5078), Hex(0x4a3a60), 2);
  Woods(cr, 400, 680, 200, 70, Hex(0x2a2040), 5);
  Slope(c, 0.95, true);
  Veranda(cr);
}

// g0002: the festival street at night: stalls on both sides, the tower far
// off with its drum, lanterns and people.
void FestivalNight(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x060a1e)}, {0.5, Hex(0x1c1e44)}, {1, Hex(0x2a1a2a)}});
  Stars(cr, 0, 0, 640, 120, 60, 31);
  Glow(cr, 320, 230, 300, Hex(0xff9040), 0.35);
  Woods(cr, -20, 660, 200, 80, Hex(0x0a0e22), 3);
  Yagura(cr, 320, 236, 100);
  cairo_rectangle(cr, 0, 236, 640, 244);
  SetRgb(cr, Hex(0x2a2024));
  cairo_fill(cr);
  Glow(cr, 320, 300, 260, Hex(0xffa050), 0.25);
  Stall(cr, 20, 300, 150, 110, "わたあめ", Hex(0x4a8ad8));
  Stall(cr, 160, 268, 100, 74, "りんご飴", Hex(0xd83a40));
  Stall(cr, 470, 300, 150, 110, "金魚すくい", Hex(0x3a9a6a));
  Stall(cr, 380, 268, 100, 74, "お面", Hex(0xe0a030));
  Crowd(cr, 318, 9);
  LanternLine(cr, -20, 40, 44, 300, 150, 14, 7, 1, 1.0);
  LanternLine(cr, 660, 40, 44, 340, 150, 14, 7, 1, 1.0);
}

// g0012: the morning after: the slope road from the edge of the woods down
// to the village, every lantern out, morning mist in the valley.
void VillageMorning(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 340, {{0, Hex(0x5a8ad0)}, {0.6, Hex(0xa8c8e8)}, {1, Hex(0xf4e4c8)}});
  Glow(cr, 540, 120, 220, Hex(0xfff0c0), 0.6);
  Mountains(cr, 240, Hex(0x8aa0c0), Hex(0x6a84a8), 4);
  Mist(c, 200, 60, 0.6, 33);
  Slope(c, 0.0, false);
  // The edge of the woods the road comes out of, at the right and above.
  Woods(cr, 500, 700, 196, 120, Hex(0x2a4a3a), 8);
  Woods(cr, 560, 700, 330, 230, Hex(0x1e3a2c), 9);
  // Birds over the valley.
  Rand rnd(34);
  for (int i = 0; i < 5; i++) {
    double x = rnd.Range(120, 420), y = rnd.Range(60, 130), s = rnd.Range(4, 7);
    cairo_move_to(cr, x - s, y);
    cairo_curve_to(cr, x - s * 0.5, y - s * 0.5, x, y - s * 0.2, x, y);
    cairo_curve_to(cr, x, y - s * 0.2, x + s * 0.5, y - s * 0.5, x + s, y);
    SetRgb(cr, Hex(0x3a4a60));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
  }
}

}  // namespace story

// The old pond in the woods, one place at five moments of the night: the
// whole moon, the moon broken and hidden, half of it back, the whole moon
// low before dawn, and sunrise. The far shore and its woods stand at the
// same place in all of them; the water mirrors whatever is above it.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

const double kWaterline = 196;  // the far shore's water edge

struct MoonAt {
  double x, y, r;
  bool shown;
};

MoonAt MoonFor(PondTime t) {
  switch (t) {
    case POND_BEFORE_DAWN:
      return {150, 138, 26, true};
    case POND_SUNRISE:
      return {96, 146, 18, true};
    case POND_BROKEN:
      return {300, 92, 26, false};
    default:
      return {300, 92, 26, true};
  }
}

void PondSky(Canvas& c, PondTime t) {
  cairo_t* cr = c.cr;
  switch (t) {
    case POND_BEFORE_DAWN:
      Sky(cr, 640, kWaterline + 4,
          {{0, Hex(0x060a22)}, {0.55, Hex(0x1c2658)}, {0.85, Hex(0x4a4a80)}, {1, Hex(0x7a6a98)}});
      // The east (right) begins to pale.
      Glow(cr, 620, kWaterline, 360, Hex(0xe8b8c0), 0.6);
      Stars(cr, 0, 0, 640, 150, 70, 91);
      break;
    case POND_SUNRISE:
      Sky(cr, 640, kWaterline + 4,
          {{0, Hex(0x3a5a9a)}, {0.45, Hex(0x8aa0c8)}, {0.8, Hex(0xf0c0a0)}, {1, Hex(0xffd890)}});
      Glow(cr, 520, 160, 340, Hex(0xffd080), 0.6);
      break;
    default:
      Sky(cr, 640, kWaterline + 4, {{0, Hex(0x040616)}, {0.65, Hex(0x0e1a40)}, {1, Hex(0x1c2a5c)}});
      Stars(cr, 0, 0, 640, 150, t == POND_BROKEN ? 40 : 120, 17);
      break;
  }
}

void PondMoon(Canvas& c, PondTime t) {
  cairo_t* cr = c.cr;
  const MoonAt m = MoonFor(t);
  if (t == POND_SUNRISE) {
    // The sun coming up behind the far woods, and the moon going down pale.
    Glow(cr, 520, 150, 110, Hex(0xfff0c0), 0.9);
    cairo_arc(cr, 520, 150, 22, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xfff4d8));
    cairo_fill(cr);
    cairo_arc(cr, m.x, m.y, m.r, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xf4f0f4), 0.75);
    cairo_fill(cr);
    return;
  }
  if (t == POND_BROKEN) {
    // Only a glow behind the clouds shows where the moon is.
    Glow(cr, m.x, m.y, 110, Hex(0x8ca0d8), 0.35);
    Cloud(c, -60, 700, 70, 40, Hex(0x161c3a), Hex(0x6070a8), m.x, m.y, 1.0, 5);
    Cloud(c, 120, 520, 100, 34, Hex(0x121832), Hex(0x8494cc), m.x, m.y, 1.0, 6);
    Cloud(c, -40, 300, 132, 22, Hex(0x10152c), Hex(0x4a5888), m.x, m.y, 0.9, 4);
    return;
  }
  Moon(cr, m.x, m.y, m.r, t == POND_BEFORE_DAWN ? 0.7 : 1.0);
  if (t == POND_HALF) {
    // A cloud bank still covers the right half of the disc: its edge runs
    // down through the middle of the moon, lit silver.
    {
      Canvas m2(c.w, c.h);
      // Left edge down through the disc, then the bank's soft underside and
      // top running off to the right.
      cairo_move_to(m2.cr, m.x + 10, m.y - 40);
      for (int k = 1; k <= 8; k++)
        cairo_line_to(m2.cr, m.x + 1 + 3 * std::sin(k * 1.7) + (k < 2 || k > 6 ? 6 : 0),
                      m.y - 40 + 9.5 * k);
      for (int k = 1; k <= 8; k++)
        cairo_line_to(m2.cr, m.x + 50 * k, m.y + 36 + 8 * std::sin(k * 1.3) - 2 * k);
      for (int k = 8; k >= 1; k--)
        cairo_line_to(m2.cr, m.x + 50 * k, m.y - 42 - 10 * std::sin(k * 0.9) + 2 * k);
      cairo_close_path(m2.cr);
      cairo_pattern_t* p = cairo_pattern_create_linear(m.x, 0, m.x + 40, 0);
      cairo_pattern_add_color_stop_rgb(p, 0, 0.62, 0.68, 0.86);
      cairo_pattern_add_color_stop_rgb(p, 0.25, 0.12, 0.15, 0.3);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.1, 0.2);
      cairo_set_source(m2.cr, p);
      cairo_fill(m2.cr);
      cairo_pattern_destroy(p);
      Blur(m2.surf, 6);
      cairo_set_source_surface(cr, m2.surf, 0, 0);
      cairo_paint(cr);
    }
    Cloud(c, m.x + 24, 760, m.y - 2, 46, Hex(0x141a36), Hex(0xb8c8f0), m.x - 30, m.y, 1.0, 7);
    Cloud(c, m.x + 40, 720, m.y + 30, 24, Hex(0x10162e), Hex(0x7888c0), m.x - 30, m.y, 0.95, 8);
  }
}

void FarShore(cairo_t* cr, PondTime t) {
  Rgb back = Hex(0x0d1634), front = Hex(0x070c20);
  if (t == POND_BEFORE_DAWN) back = Hex(0x1a1c40), front = Hex(0x0e1028);
  if (t == POND_SUNRISE) back = Hex(0x3a3c5c), front = Hex(0x20223c);
  Woods(cr, -20, 660, kWaterline - 4, 64, back, 11);
  Woods(cr, -20, 660, kWaterline + 2, 40, front, 12);
}

// Moon shards on the water: jagged flakes of light, with the dim shapes of
// the creatures under the ones that cling to their backs.
void Shards(cairo_t* cr, PondTime t) {
  Rand rnd(t == POND_BROKEN ? 31 : 32);
  const int n = t == POND_BROKEN ? 26 : 12;
  for (int i = 0; i < n; i++) {
    double y = t == POND_BROKEN ? rnd.Range(206, 320) : rnd.Range(204, 236);
    double x = rnd.Range(20, 620), s = rnd.Range(3, 7) * (0.6 + (y - 196) / 120);
    if (i % 3 == 0)
      PondCreature(cr, static_cast<Kind>(i % 9 / 3), x, y + s * 0.8, s * 7, rnd.Range(0, 6.28),
                   0.8);
    Glow(cr, x, y, s * 4, Hex(0xfff0c8), 0.4);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, 1, 0.5);
    cairo_rotate(cr, rnd.Range(0, 6.28));
    int corners = 3 + static_cast<int>(rnd.Next() % 3);
    for (int k = 0; k < corners; k++) {
      double a = k * 2 * M_PI / corners + rnd.Range(-0.3, 0.3), r = s * rnd.Range(0.6, 1.2);
      if (k == 0)
        cairo_move_to(cr, std::cos(a) * r, std::sin(a) * r);
      else
        cairo_line_to(cr, std::cos(a) * r, std::sin(a) * r);
    }
    cairo_close_path(cr);
    cairo_restore(cr);
    SetRgb(cr, Hex(0xfff6dc), 0.95);
    cairo_fill(cr);
  }
}

void LilyPads(cairo_t* cr, uint32_t seed, Rgb leaf) {
  Rand rnd(seed);
  for (int i = 0; i < 14; i++) {
    double side = i % 2, t = rnd.Uniform();
    double y = 250 + 220 * t, x = side ? rnd.Range(480, 660) : rnd.Range(-20, 170);
    double r = 10 + 26 * t, notch = rnd.Range(0, 6.28);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, 1, 0.32);
    cairo_move_to(cr, 0, 0);
    cairo_arc(cr, 0, 0, r, notch + 0.35, notch + 2 * M_PI - 0.35);
    cairo_close_path(cr);
    cairo_restore(cr);
    SetRgb(cr, leaf);
    cairo_fill_preserve(cr);
    SetRgb(cr, Hex(0x9ad0b0), 0.25);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
}

// The bank in the right foreground, and the bowl on its flat stone.
void BankWithBowl(cairo_t* cr, PondTime t) {
  Rgb earth = t == POND_BEFORE_DAWN ? Hex(0x1a1a34) : Hex(0x0c1222);
  if (t == POND_SUNRISE) earth = Hex(0x2a3a30);
  cairo_move_to(cr, 400, 480);
  cairo_curve_to(cr, 420, 380, 470, 312, 560, 296);
  cairo_curve_to(cr, 600, 290, 630, 292, 660, 290);
  cairo_line_to(cr, 660, 480);
  cairo_close_path(cr);
  SetRgb(cr, earth);
  cairo_fill(cr);
  Ellipse(cr, 548, 316, 64, 16);
  SetRgb(cr, Hex(0x2c3248));
  cairo_fill(cr);
  Ellipse(cr, 548, 311, 58, 12);
  SetRgb(cr, Hex(0x465070));
  cairo_fill(cr);
  if (t == POND_SUNRISE) {
    // Morning: no moon in the water any more, the goldfish catch the sun.
    MoonBowl(cr, 548, 280, 84, 0.0, 0.0);
    PondCreature(cr, KIND_GOLDFISH, 534, 280, 22, 0.3, 0.0);
    PondCreature(cr, KIND_GOLDFISH, 560, 281, 20, 3.3, 0.0);
    Glow(cr, 552, 276, 30, Hex(0xfff0c0), 0.5);
  } else {
    const double moon = t == POND_HALF ? 0.5 : 1.0;
    MoonBowl(cr, 548, 280, 84, moon, t == POND_HALF ? 0.7 : 1.0);
  }
  Rand rnd(44);
  for (int i = 0; i < 40; i++) {
    double gx = rnd.Range(420, 640), gy = rnd.Range(322, 480);
    cairo_move_to(cr, gx, gy);
    cairo_line_to(cr, gx + rnd.Range(-5, 5), gy - rnd.Range(8, 22));
    SetRgb(cr, Hex(0x1c2436));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
  }
}

// A branch reaching in from the left with Tomo's small light on it.
void BranchWithLight(cairo_t* cr) {
  cairo_move_to(cr, -10, 118);
  cairo_curve_to(cr, 40, 122, 90, 132, 150, 150);
  cairo_curve_to(cr, 100, 138, 50, 132, -10, 132);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x05070f));
  cairo_fill(cr);
  for (int k = 0; k < 7; k++) {
    double x = 10 + k * 20, y = 122 + k * 4;
    Ellipse(cr, x, y - 6 + (k % 2) * 12, 10, 4);
    SetRgb(cr, Hex(0x060a14));
    cairo_fill(cr);
  }
  Glow(cr, 132, 138, 40, Hex(0xffa040), 0.6);
  Glow(cr, 132, 138, 10, Hex(0xfff0c0), 0.95);
}

}  // namespace

void Pond(Canvas& c, PondTime t, PondExtra extra) {
  cairo_t* cr = c.cr;
  PondSky(c, t);
  PondMoon(c, t);
  FarShore(cr, t);
  if (extra == POND_TOMO_FLYING) {
    // Above the water, so the mirror gives him his reflection below.
    Glow(cr, 236, 150, 70, Hex(0xffa040), 0.55);
    cairo_save(cr);
    cairo_translate(cr, 236, 150);
    cairo_rotate(cr, -0.2);
    LanternBird(cr, 0, 0, 11, BIRD_FLYING, 1.0);
    cairo_restore(cr);
  }
  Rgb tint = t == POND_SUNRISE ? Hex(0x3a4a6a) : Hex(0x06122c);
  MirrorWater(c, {kWaterline, 480, tint, t == POND_SUNRISE ? 0.3 : 0.45, 14, 21});
  const MoonAt m = MoonFor(t);
  if (m.shown) {
    double rx = 2 * kWaterline - m.y;
    MoonPath(cr, m.x, rx - m.r, 480, m.r * 1.6, t == POND_SUNRISE ? 0.25 : 0.55, 9);
  }
  if (t == POND_SUNRISE) MoonPath(cr, 520, 2 * kWaterline - 150 - 22, 480, 60, 0.8, 10);
  WaterSheen(cr, kWaterline + 2, 480, m.shown ? m.x : 320,
             t == POND_SUNRISE ? Hex(0xffe0b0) : Hex(0xc8dcff), 0.5, 22);
  if (t == POND_BROKEN || t == POND_HALF) Shards(cr, t);
  LilyPads(cr, 23, t == POND_SUNRISE ? Hex(0x2a4a3a) : Hex(0x0c2018));
  if (t == POND_SUNRISE) {
    Mist(c, 170, 60, 0.6, 14);
    Mist(c, 240, 80, 0.35, 15);
  }
  if (t == POND_BEFORE_DAWN) Mist(c, 180, 40, 0.25, 16);
  Rand rnd(8);
  Reeds(cr, rnd, 14, 100, 300, 420, 18, t == POND_SUNRISE ? Hex(0x1a2030) : Hex(0x040812));
  if (extra == POND_TOMO_FLYING) Glow(cr, 236, 260, 200, Hex(0xff9a40), 0.3);
  if (t == POND_HALF || t == POND_BEFORE_DAWN || extra == POND_BOWL) BankWithBowl(cr, t);
  if (extra == POND_TOMO_ON_BRANCH) BranchWithLight(cr);
  if (t == POND_NIGHT || t == POND_HALF) Fireflies(cr, 20, 150, 600, 250, 16, 18);
}

}  // namespace story

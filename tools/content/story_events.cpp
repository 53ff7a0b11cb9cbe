// The prologue's event pictures: the goldfish stall, Tomo on his branch,
// the moon breaking on the water, and the bowl lifted from the shrine. Also
// the thumbnail writer and the pieces the other event pictures share.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "story.h"

namespace story {

// A 5:1 box average: every thumbnail pixel is the mean of a 5x5 block, so
// the result does not depend on the drawing library's filters.
void StoreEvent(Output& out, int number, Canvas& c) {
  char name[16];
  snprintf(name, sizeof name, "v%04d", number);
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp24(c.surf);
  WritePng(out, name, c.surf);

  const int f = 5;
  Canvas t(c.w / f, c.h / f);
  cairo_surface_flush(c.surf);
  cairo_surface_flush(t.surf);
  const uint8_t* s = cairo_image_surface_get_data(c.surf);
  uint8_t* d = cairo_image_surface_get_data(t.surf);
  int ss = cairo_image_surface_get_stride(c.surf), ds = cairo_image_surface_get_stride(t.surf);
  for (int y = 0; y < t.h; y++)
    for (int x = 0; x < t.w; x++)
      for (int ch = 0; ch < 4; ch++) {
        int sum = 0;
        for (int j = 0; j < f; j++)
          for (int i = 0; i < f; i++) sum += s[(y * f + j) * ss + (x * f + i) * 4 + ch];
        d[y * ds + x * 4 + ch] = static_cast<uint8_t>((sum + f * f / 2) / (f * f));
      }
  cairo_surface_mark_dirty(t.surf);
  snprintf(name, sizeof name, "vs%04d", number);
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp24(t.surf);
  WritePng(out, name, t.surf);
}

void Bokeh(cairo_t* cr, int n, double y0, double y1, Rgb c, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < n; i++) {
    double x = rnd.Range(-20, 660), y = rnd.Range(y0, y1), r = rnd.Range(10, 34);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, 0.12);
    cairo_pattern_add_color_stop_rgba(p, 0.85, c.r, c.g, c.b, 0.2);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0.0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void Backdrop(Canvas& c, void (*background)(Canvas&), int blur, double dim) {
  Canvas b(c.w, c.h);
  background(b);
  Blur(b.surf, blur);
  cairo_set_source_surface(c.cr, b.surf, 0, 0);
  cairo_paint(c.cr);
  cairo_set_source_rgba(c.cr, 0, 0, 0.02, dim);
  cairo_paint(c.cr);
}

namespace {

void Leaf(cairo_t* cr, double x, double y, double len, double angle, Rgb c) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, len * 0.3, -len * 0.28, len * 0.75, -len * 0.22, len, 0);
  cairo_curve_to(cr, len * 0.75, len * 0.22, len * 0.3, len * 0.28, 0, 0);
  cairo_close_path(cr);
  SetRgb(cr, c);
  cairo_fill(cr);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, len * 0.9, 0);
  SetRgb(cr, Hex(0x000000), 0.25);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// The stall's striped awning across the top, its sign and two lanterns.
void Awning(cairo_t* cr) {
  for (int k = 0; k < 10; k++) {
    cairo_move_to(cr, k * 64, 0);
    cairo_line_to(cr, k * 64 + 64, 0);
    cairo_line_to(cr, k * 64 + 70, 44);
    cairo_line_to(cr, k * 64 + 6, 44);
    cairo_close_path(cr);
    SetRgb(cr, k % 2 ? Hex(0xf2efe6) : Hex(0x2e8a5e));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 0, 44, 640, 4);
  SetRgb(cr, Hex(0x1a4a32));
  cairo_fill(cr);
  PaperLantern(cr, 40, 44, 50, 1.0, Hex(0xe04830));
  PaperLantern(cr, 600, 44, 50, 1.0, Hex(0xe04830));
}

// The shallow tank: its back wall (hides what is behind it), the water with
// the goldfish, and the front rim (drawn last).
void TankBack(cairo_t* cr) {
  cairo_rectangle(cr, 20, 214, 600, 26);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 214, 0, 240);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.35, 0.6, 0.9);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.2, 0.42, 0.72);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_rectangle(cr, 14, 208, 612, 8);
  SetRgb(cr, Hex(0x6aa0e0));
  cairo_fill(cr);
}

void TankWater(cairo_t* cr) {
  cairo_rectangle(cr, 20, 240, 600, 240);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 240, 0, 480);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.36, 0.62, 0.86);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.18, 0.4, 0.7);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Rand rnd(5);
  const double fish[9][3] = {{90, 270, 0.3},  {150, 300, 2.8}, {330, 262, 3.4},
                             {420, 300, 0.8}, {520, 268, 2.2}, {560, 320, -0.4},
                             {250, 340, 1.2}, {380, 360, 4.0}, {110, 380, 5.2}};
  for (const auto& f : fish) PondCreature(cr, KIND_GOLDFISH, f[0], f[1], 58, f[2], 0.1);
  for (int i = 0; i < 30; i++) {
    double x = rnd.Range(30, 610), y = rnd.Range(244, 470), len = rnd.Range(6, 20);
    cairo_move_to(cr, x - len, y);
    cairo_line_to(cr, x + len, y);
    SetRgb(cr, Hex(0xe8f4ff), 0.35);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  // Lantern light on the water.
  Glow(cr, 320, 250, 280, Hex(0xffd090), 0.25);
}

// The paper scoop: a ring with its paper, and the handle to the hand.
void Poi(cairo_t* cr, double x, double y, double r, double hx, double hy) {
  cairo_move_to(cr, x + r * 0.9, y);
  cairo_line_to(cr, hx, hy);
  SetRgb(cr, Hex(0xe8e0d0));
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  Ellipse(cr, x, y, r, r * 0.45);
  SetRgb(cr, Hex(0xffffff), 0.55);
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0xd8c8b0));
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

// A small bowl of water with the fish already caught.
void CatchBowl(cairo_t* cr, double x, double y, double w) {
  cairo_move_to(cr, x - w / 2, y);
  cairo_curve_to(cr, x - w / 2, y + w * 0.45, x + w / 2, y + w * 0.45, x + w / 2, y);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xf4f0ea));
  cairo_fill(cr);
  Ellipse(cr, x, y, w / 2, w * 0.14);
  SetRgb(cr, Hex(0x6aa8e0));
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0xc8c0b8));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  PondCreature(cr, KIND_GOLDFISH, x - w * 0.12, y, w * 0.32, 0.4, 0.0);
  PondCreature(cr, KIND_GOLDFISH, x + w * 0.14, y + 1, w * 0.3, 3.0, 0.0);
}

}  // namespace

// v0001: at the grandmother's goldfish stall: Mio crouched behind the tank
// with a paper scoop and a bowl, the grandmother smiling beside her.
void StallScene(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x14102a)}, {1, Hex(0x2a1a2a)}});
  Bokeh(cr, 30, 40, 230, Hex(0xffb060), 81);
  Awning(cr);
  Figure g{};
  g.neck = {468, 122};
  g.size = 94;
  g.turn = -0.35;
  g.tilt = -0.08;
  g.look = LOOK_SMILE;
  g.hem = 1.4;
  g.left = {{512, 136}, {536, 196}, {516, 230}, -0.4, HAND_OPEN, 0.5, false, 0.6};
  g.right = {{424, 136}, {392, 178}, {356, 186}, -1.75, HAND_OPEN, 0.5, true, 0.45};
  g.lightAt = {320, 30};
  g.lit = 0.7;
  g.night = 0.1;
  Grandma(cr, g);
  Figure m{};
  m.neck = {232, 152};
  m.size = 100;
  m.turn = 0.15;
  m.tilt = 0.1;
  m.look = LOOK_SMILE;
  m.eyeY = 0.8;
  m.hem = 1.2;
  m.right = {{190, 166}, {160, 222}, {176, 258}, 2.6, HAND_GRIP, 0.45, true, 0.45};
  m.left = {{274, 166}, {306, 218}, {300, 250}, -2.4, HAND_HOLD, 0.45, true, 0.45};
  m.lightAt = {320, 30};
  m.lit = 0.7;
  m.night = 0.1;
  m.parts = Figure::BODY;
  Mio(cr, m);
  TankBack(cr);
  TankWater(cr);
  Poi(cr, 205, 286, 26, 172, 262);
  CatchBowl(cr, 318, 262, 56);
  // Her own lantern, hung on a bamboo stick tied to the corner of the tank.
  cairo_move_to(cr, 58, 214);
  cairo_line_to(cr, 72, 128);
  cairo_line_to(cr, 82, 130);
  SetRgb(cr, Hex(0x8a6a3a));
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  PaperLantern(cr, 82, 130, 38, 1.0, Hex(0xe04830));
  m.parts = Figure::FRONT_ARMS;
  Mio(cr, m);
  MioHands(cr, m);
}

// v0002: Tomo on a branch close up, the tail glowing like a lantern.
void BirdOnBranch(Canvas& c) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x060a20)}, {0.6, Hex(0x141c44)}, {1, Hex(0x1c1830)}});
  Bokeh(cr, 22, 230, 470, Hex(0x9ab8ff), 61);
  Bokeh(cr, 8, 200, 420, Hex(0xc8ff80), 66);
  Glow(cr, 120, 70, 160, Hex(0xb8d0ff), 0.2);
  Stars(cr, 0, 0, 640, 200, 60, 62);
  // Soft leaves out of focus in front and behind.
  {
    Canvas back(640, 480);
    Rand rnd(63);
    for (int i = 0; i < 14; i++)
      Leaf(back.cr, rnd.Range(380, 660), rnd.Range(0, 200), rnd.Range(40, 70), rnd.Range(1.5, 3.2),
           Hex(0x10203a));
    Blur(back.surf, 3);
    cairo_set_source_surface(cr, back.surf, 0, 0);
    cairo_paint(cr);
  }
  // The branch: from the left edge across, gnarled, a twig upward; all of it
  // above the message window.
  cairo_save(cr);
  cairo_translate(cr, 0, -90);
  cairo_move_to(cr, -10, 360);
  cairo_curve_to(cr, 150, 350, 300, 335, 460, 312);
  cairo_curve_to(cr, 540, 300, 600, 310, 660, 290);
  cairo_line_to(cr, 660, 306);
  cairo_curve_to(cr, 600, 326, 540, 318, 460, 330);
  cairo_curve_to(cr, 300, 356, 150, 376, -10, 388);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 310, 0, 390);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.22, 0.20);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.06, 0.08);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_move_to(cr, 470, 318);
  cairo_curve_to(cr, 500, 280, 520, 240, 560, 200);
  SetRgb(cr, Hex(0x1e161a));
  cairo_set_line_width(cr, 6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  Rand rnd(64);
  for (int i = 0; i < 9; i++) {
    double t = rnd.Uniform();
    Leaf(cr, 40 + 560 * t, 360 - 60 * t + rnd.Range(-6, 6), rnd.Range(34, 52),
         rnd.Range(-0.6, 0.9) + (i % 2 ? 0 : M_PI * 0.9), Hex(i % 2 ? 0x1a3a36 : 0x14302e));
  }
  Leaf(cr, 560, 200, 46, -0.8, Hex(0x1a3a36));
  Leaf(cr, 556, 204, 40, 0.6, Hex(0x14302e));
  // Tomo, perched, looking at us over its shoulder.
  LanternBird(cr, 300, 272, 58, BIRD_PERCHED, 1.0);
  // Light spilling on the branch under the tail.
  cairo_save(cr);
  cairo_move_to(cr, -10, 360);
  cairo_curve_to(cr, 150, 350, 300, 335, 460, 312);
  cairo_line_to(cr, 460, 330);
  cairo_curve_to(cr, 300, 356, 150, 376, -10, 388);
  cairo_close_path(cr);
  cairo_clip(cr);
  Glow(cr, 380, 332, 120, Hex(0xffa040), 0.5);
  cairo_restore(cr);
  // Sparks drifting up from the tail.
  for (int i = 0; i < 14; i++)
    Glow(cr, rnd.Range(330, 470), rnd.Range(150, 300), rnd.Range(3, 7), Hex(0xffd080),
         rnd.Range(0.5, 0.9));
  cairo_restore(cr);
}

namespace {

// A jagged line from a to b: the crack between two shards.
void CrackTo(cairo_t* cr, Pt a, Pt b, Rand& rnd, double rough) {
  const int steps = 4;
  double dx = b.x - a.x, dy = b.y - a.y, n = std::max(1e-6, std::hypot(dx, dy));
  for (int k = 1; k <= steps; k++) {
    double t = static_cast<double>(k) / steps, off = k < steps ? rnd.Range(-rough, rough) : 0;
    cairo_line_to(cr, a.x + dx * t - dy / n * off, a.y + dy * t + dx / n * off);
  }
}

// One shard of the moon's disc: the ring between radii r0 and r1 and angles
// a0 and a1, cracked along its edges, moved out and turned.
void Shard(cairo_t* cr, double a0, double a1, double r0, double r1, double push, double turn,
           Rand& rnd) {
  const double mid = (a0 + a1) / 2;
  cairo_save(cr);
  cairo_translate(cr, std::cos(mid) * push, std::sin(mid) * push);
  cairo_rotate(cr, turn);
  auto at = [](double a, double r) { return Pt{std::cos(a) * r, std::sin(a) * r}; };
  Pt p0 = at(a0, r0);
  cairo_move_to(cr, p0.x, p0.y);
  CrackTo(cr, p0, at(a0, r1), rnd, (r1 - r0) * 0.12);
  if (r1 >= 69)
    cairo_arc(cr, 0, 0, r1, a0, a1);
  else
    CrackTo(cr, at(a0, r1), at(a1, r1), rnd, r1 * (a1 - a0) * 0.1);
  CrackTo(cr, at(a1, r1), at(a1, r0), rnd, (r1 - r0) * 0.12);
  if (r0 > 1) CrackTo(cr, at(a1, r0), p0, rnd, r0 * (a1 - a0) * 0.12);
  cairo_close_path(cr);
  cairo_restore(cr);
}

}  // namespace

// v0003: the moon's reflection breaks: shards of every size flung from the
// middle, the creatures darting away under them.
void BrokenMoon(Canvas& c) {
  cairo_t* cr = c.cr;
  DrawWater(cr, 0, 0, 640, 480, 71, false);
  const double cx = 320, cy = 190;
  Glow(cr, cx, cy, 280, Hex(0xa8c8ff), 0.3);
  for (int k = 0; k < 5; k++) {
    Ellipse(cr, cx, cy, 90 + 50 * k, (90 + 50 * k) * 0.6);
    SetRgb(cr, Hex(0xd8ecff), 0.35 - 0.06 * k);
    cairo_set_line_width(cr, 2.5 - 0.3 * k);
    cairo_stroke(cr);
  }
  Rand rnd(72);
  // The creatures fleeing outwards, with their wakes.
  const Kind kinds[9] = {KIND_GOLDFISH, KIND_FROG,     KIND_GOLDFISH, KIND_TURTLE,  KIND_GOLDFISH,
                         KIND_FROG,     KIND_GOLDFISH, KIND_TURTLE,   KIND_GOLDFISH};
  for (int i = 0; i < 9; i++) {
    double a = -M_PI * 0.95 + i * M_PI * 1.9 / 8 + rnd.Range(-0.15, 0.15), d = rnd.Range(170, 250);
    double x = cx + std::cos(a) * d * 1.1, y = cy + std::sin(a) * d * 0.55;
    for (int k = 1; k <= 3; k++) {
      double bx = x - std::cos(a) * 14 * k, by = y - std::sin(a) * 8 * k;
      Ellipse(cr, bx, by, 10 + 6 * k, 4 + 2 * k);
      SetRgb(cr, Hex(0xd8ecff), 0.28 - 0.07 * k);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
    }
    PondCreature(cr, kinds[i], x, y, rnd.Range(58, 74), a, 0.3);
  }
  // The disc in pieces: uneven wedges, some split again across, pushed out
  // by different amounts.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 1.0, 0.62);
  const int cuts = 8;
  double angle[cuts + 1];
  double at = rnd.Range(0, 1);
  for (int k = 0; k < cuts; k++) {
    angle[k] = at;
    at += 2 * M_PI / cuts * rnd.Range(0.55, 1.45);
  }
  const double total = at - angle[0];
  for (int k = 0; k < cuts; k++) angle[k] = angle[0] + (angle[k] - angle[0]) * 2 * M_PI / total;
  angle[cuts] = angle[0] + 2 * M_PI;
  for (int k = 0; k < cuts; k++) {
    const bool split = rnd.Next() % 2 == 0;
    const double rs = 70 * rnd.Range(0.35, 0.6);
    for (int part = 0; part < (split ? 2 : 1); part++) {
      double r0 = split && part ? rs : rnd.Range(0, 8), r1 = split && !part ? rs : 70;
      double push = (split && !part ? rnd.Range(6, 18) : rnd.Range(20, 52));
      Shard(cr, angle[k], angle[k + 1], r0, r1, push, rnd.Range(-0.3, 0.3), rnd);
      cairo_pattern_t* p = cairo_pattern_create_radial(-20, -20, 5, 0, 0, 110);
      cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 0.95);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.95, 0.85, 0.6);
      cairo_set_source(cr, p);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(p);
      SetRgb(cr, Hex(0xfffef4), 0.9);
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
  // Splinters flung further, and droplets.
  for (int i = 0; i < 24; i++) {
    double a = rnd.Range(0, 2 * M_PI), d = rnd.Range(80, 200), s = rnd.Range(2, 7);
    double x = cx + std::cos(a) * d * 1.2, y = cy + std::sin(a) * d * 0.62;
    Glow(cr, x, y, s * 3, Hex(0xfff0c8), 0.4);
    cairo_move_to(cr, x - s, y);
    cairo_line_to(cr, x + s * 0.3, y - s * 0.5);
    cairo_line_to(cr, x + s, y + s * 0.2);
    cairo_close_path(cr);
    SetRgb(cr, Hex(0xfff6dc));
    cairo_fill(cr);
  }
  for (int i = 0; i < 40; i++) {
    double a = rnd.Range(0, 2 * M_PI), d = rnd.Range(20, 180);
    cairo_arc(cr, cx + std::cos(a) * d * 1.2, cy + std::sin(a) * d * 0.6 - rnd.Range(0, 40),
              rnd.Range(1, 2.5), 0, 2 * M_PI);
    SetRgb(cr, Hex(0xe8f4ff), rnd.Range(0.4, 0.9));
    cairo_fill(cr);
  }
}

// v0004: at the shrine: Mio lifts the bowl in both hands, her lantern
// hanging from her obi.
void BowlLifted(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, ShrineNight, 6, 0.25);
  Figure m{};
  m.neck = {320, 156};
  m.size = 118;
  m.turn = 0.0;
  m.tilt = 0.04;
  m.look = LOOK_WONDER;
  m.eyeY = 0.9;
  m.hem = 2.7;
  m.right = {{262, 172}, {226, 240}, {244, 270}, 1.35, HAND_HOLD, 0.45, true, 0.8};
  m.left = {{378, 172}, {414, 240}, {396, 270}, -1.35, HAND_HOLD, 0.45, true, 0.8};
  m.lightAt = {400, 330};
  m.lit = 0.8;
  m.night = 0.2;
  Mio(cr, m);
  PaperLantern(cr, 404, 296, 44, 1.0, Hex(0xe04830));
  MoonBowl(cr, 320, 236, 150, 0.0, 0.25);
  MioHands(cr, m);
}

void MakeEventPictures(Output& out) {
  // In the order of the event-picture list (v0001 .. v0012).
  void (*const pictures[])(Canvas&) = {StallScene,   BirdOnBranch, BrokenMoon,   BowlLifted,
                                       FallenBird,   SharedFlame,  KeptFlame,    MoonDrinks,
                                       FlightAtDawn, Reunion,      LanternAgain, Rekindled};
  int number = 1;
  for (auto draw : pictures) {
    Canvas c(640, 480);
    draw(c);
    StoreEvent(out, number++, c);
  }
}

}  // namespace story

// The event pictures of the story scenes (v0001..v0006) and their 128x96
// gallery thumbnails (vs0001..vs0006), cut from the same drawings.
#include <cmath>
#include <cstdio>

#include "story.h"

namespace story {
namespace {

// A 5:1 box average: every thumbnail pixel is the mean of a 5x5 block, so
// the result does not depend on the drawing library's filters.
void StoreWithThumbnail(Output& out, int number, Canvas& c) {
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

// Out-of-focus lights: warm festival lanterns far behind.
void Bokeh(cairo_t* cr, int n, double y0, double y1, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < n; i++) {
    double x = rnd.Range(-20, 660), y = rnd.Range(y0, y1), r = rnd.Range(10, 34);
    Rgb c = Hex(rnd.Next() % 3 ? 0xffa050 : 0xffd890);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, 0.14);
    cairo_pattern_add_color_stop_rgba(p, 0.85, c.r, c.g, c.b, 0.22);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0.0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

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

// v0001: Tomo on a branch close up, the tail glowing like a lantern.
void BirdOnBranch(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x060a20)}, {0.6, Hex(0x141c44)}, {1, Hex(0x1c1830)}});
  Bokeh(cr, 26, 260, 470, 61);
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
  cairo_translate(cr, 0, -50);
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
  StoreWithThumbnail(out, 1, c);
}

// v0002: the moon's reflection breaks and the creatures scatter.
void BrokenMoon(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  DrawWater(cr, 0, 0, 640, 480, 71, true);
  const double cx = 320, cy = 230;
  Glow(cr, cx, cy, 260, Hex(0xa8c8ff), 0.35);
  // Splash rings spreading from the centre.
  for (int k = 0; k < 6; k++) {
    Ellipse(cr, cx, cy, 50 + 42 * k, (50 + 42 * k) * 0.62);
    SetRgb(cr, Hex(0xd8ecff), 0.4 - 0.055 * k);
    cairo_set_line_width(cr, 2.5 - 0.3 * k);
    cairo_stroke(cr);
  }
  // Creatures darting away, head outwards, with wakes; blurred a little as
  // they are under the surface.
  {
    Canvas sub(640, 480);
    Rand rnd(72);
    for (int i = 0; i < 9; i++) {
      double a = i * 2 * M_PI / 9 + rnd.Range(-0.2, 0.2), d = rnd.Range(150, 230);
      double x = cx + cos(a) * d * 1.2, y = cy + sin(a) * d * 0.8;
      cairo_save(sub.cr);
      cairo_translate(sub.cr, x, y);
      cairo_rotate(sub.cr, a + M_PI / 2);
      for (int k = 1; k <= 3; k++) {  // wake behind the tail
        cairo_move_to(sub.cr, -6 * k, 30 + 12 * k);
        cairo_line_to(sub.cr, -2 * k, 22 + 12 * k);
        cairo_move_to(sub.cr, 6 * k, 30 + 12 * k);
        cairo_line_to(sub.cr, 2 * k, 22 + 12 * k);
      }
      SetRgb(sub.cr, Hex(0xd8ecff), 0.45);
      cairo_set_line_width(sub.cr, 2);
      cairo_stroke(sub.cr);
      DrawCreature(sub.cr, i % 3, false, 0, 0, rnd.Range(58, 76));
      cairo_restore(sub.cr);
    }
    Blur(sub.surf, 1);
    cairo_set_source_surface(cr, sub.surf, 0, 0);
    cairo_paint_with_alpha(cr, 0.92);
  }
  // The moon's disc broken like a plate: wedges with jagged inner edges,
  // pushed outwards from the centre and turned a little.
  Rand rnd(73);
  const int wedges = 7;
  const double R = 62;
  double edge[wedges + 1];
  for (int k = 0; k <= wedges; k++) edge[k] = (k + rnd.Range(-0.25, 0.25)) * 2 * M_PI / wedges;
  edge[wedges] = edge[0] + 2 * M_PI;
  const double inner[wedges] = {0.18, 0.3, 0.12, 0.25, 0.2, 0.34, 0.15};
  for (int k = 0; k < wedges; k++) {
    double a0 = edge[k], a1 = edge[k + 1], mid = (a0 + a1) / 2, push = rnd.Range(22, 48);
    double px = cx + cos(mid) * push * 1.3, py = cy + sin(mid) * push * 0.75;
    Glow(cr, px + cos(mid) * R * 0.5, py + sin(mid) * R * 0.3, R * 1.2, Hex(0xfff0c8), 0.3);
    cairo_save(cr);
    cairo_translate(cr, px, py);
    cairo_scale(cr, 1.0, 0.62);  // the water seen at a slant
    cairo_rotate(cr, rnd.Range(-0.25, 0.25));
    cairo_move_to(cr, cos(a0) * R * inner[k], sin(a0) * R * inner[k]);
    cairo_arc(cr, 0, 0, R, a0, a1);
    double r1 = R * inner[(k + 1) % wedges];
    cairo_line_to(cr, cos(a1) * r1, sin(a1) * r1);
    cairo_line_to(cr, cos(mid + 0.1) * R * 0.28, sin(mid + 0.1) * R * 0.28);  // a jag
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(-R * 0.3, -R * 0.3, R * 0.1, 0, 0, R);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.95, 0.86, 0.62);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
    SetRgb(cr, Hex(0xfffef0), 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  // Smaller shards flung further, each with a glow.
  for (int i = 0; i < 14; i++) {
    double a = rnd.Range(0, 2 * M_PI), d = rnd.Range(95, 170);
    double x = cx + cos(a) * d * 1.25, y = cy + sin(a) * d * 0.7,
           s = rnd.Range(8, 18) * (1.2 - d / 260);
    Glow(cr, x, y, s * 3, Hex(0xfff0c8), 0.45);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, rnd.Range(0, 2 * M_PI));
    int corners = 3 + static_cast<int>(rnd.Next() % 3);
    for (int k = 0; k < corners; k++) {
      double ang = k * 2 * M_PI / corners + rnd.Range(-0.3, 0.3), rr = s * rnd.Range(0.6, 1.1);
      if (k == 0)
        cairo_move_to(cr, cos(ang) * rr, sin(ang) * rr * 0.6);
      else
        cairo_line_to(cr, cos(ang) * rr, sin(ang) * rr * 0.6);
    }
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, s);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.95, 0.86, 0.62);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Droplets thrown up, and glints.
  for (int i = 0; i < 40; i++) {
    double a = rnd.Range(0, 2 * M_PI), d = rnd.Range(20, 200);
    double x = cx + cos(a) * d * 1.2, y = cy + sin(a) * d * 0.7 - rnd.Range(0, 40);
    cairo_arc(cr, x, y, rnd.Range(1, 3), 0, 2 * M_PI);
    SetRgb(cr, Hex(0xe8f4ff), rnd.Range(0.4, 0.9));
    cairo_fill(cr);
  }
  StoreWithThumbnail(out, 2, c);
}

// v0003: the moon bowl glowing in Mio's hands.
void BowlInHands(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x04081a)}, {1, Hex(0x0a1434)}});
  Stars(cr, 0, 0, 640, 480, 80, 81);
  Glow(cr, 320, 240, 340, Hex(0x90b8ff), 0.35);
  // Rays of moonlight from the bowl.
  Rand rnd(82);
  for (int i = 0; i < 18; i++) {
    double a = -M_PI / 2 + rnd.Range(-1.2, 1.2), len = rnd.Range(160, 280);
    cairo_move_to(cr, 320, 250);
    cairo_line_to(cr, 320 + cos(a - 0.03) * len, 250 + sin(a - 0.03) * len);
    cairo_line_to(cr, 320 + cos(a + 0.03) * len, 250 + sin(a + 0.03) * len);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(320, 250, 0, 320, 250, len);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.96, 0.85, 0.35);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.8, 1, 0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  const Rgb light = Hex(0xd8e4ff);
  CuppedHands(cr, 320, 330, 300, 1.0, light);
  MoonBowl(cr, 320, 250, 230, 1.0);
  CuppedFingers(cr, 320, 330, 300, 1.0, light);
  for (int i = 0; i < 20; i++)
    Glow(cr, rnd.Range(160, 480), rnd.Range(60, 250), rnd.Range(3, 8), Hex(0xfff4d8),
         rnd.Range(0.4, 0.9));
  StoreWithThumbnail(out, 3, c);
}

// v0004: Tomo's light fading, resting in Mio's cupped hands.
void DimmingBird(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 480, {{0, Hex(0x03050e)}, {1, Hex(0x0a0e22)}});
  Stars(cr, 0, 0, 640, 260, 70, 91);
  DrawWater(cr, 0, 300, 640, 180, 92, false);
  cairo_rectangle(cr, 0, 300, 640, 180);
  SetRgb(cr, Hex(0x02040c), 0.55);
  cairo_fill(cr);
  Glow(cr, 320, 290, 160, Hex(0xff9a40), 0.22);
  const Rgb light = Hex(0xffa850);
  CuppedHands(cr, 320, 330, 340, 0.45, light);
  LanternBird(cr, 300, 282, 48, BIRD_ASLEEP, 0.3);
  CuppedFingers(cr, 320, 330, 340, 0.45, light);
  // The last sparks rising and going out.
  Rand rnd(93);
  for (int i = 0; i < 9; i++)
    Glow(cr, rnd.Range(300, 420), rnd.Range(120, 260), rnd.Range(2, 5), Hex(0xffc070),
         rnd.Range(0.15, 0.5));
  StoreWithThumbnail(out, 4, c);
}

// v0005: ending A: Tomo flies up with Mio's lantern; the moon is whole again.
void LanternToTheSky(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 300, {{0, Hex(0x040616)}, {0.7, Hex(0x101c48)}, {1, Hex(0x1c2c60)}});
  Stars(cr, 0, 0, 640, 260, 170, 101);
  Moon(cr, 140, 80, 34, 1.0);
  Woods(cr, -20, 660, 300, 70, Hex(0x080e24), 102);
  DrawWater(cr, 0, 300, 640, 180, 103, false);
  cairo_save(cr);
  cairo_rectangle(cr, 0, 300, 640, 180);
  cairo_clip(cr);
  Ellipse(cr, 140, 380, 34, 12);
  SetRgb(cr, Hex(0xfff2d0), 0.85);
  cairo_fill(cr);
  Glow(cr, 140, 380, 90, Hex(0xc8dcff), 0.3);
  MoonPath(cr, 140, 306, 476, 50, 0.8, 104);
  // The lantern's light in the water too.
  Glow(cr, 420, 420, 60, Hex(0xffa040), 0.25);
  cairo_restore(cr);
  // A trail of light curving up from the pond.
  Rand rnd(105);
  for (int i = 0; i < 60; i++) {
    double t = i / 60.0;
    double x = 420 + 50 * std::sin(t * 3.5) - 8 * t, y = 430 - 250 * t;
    Glow(cr, x + rnd.Range(-8, 8), y + rnd.Range(-8, 8), rnd.Range(2, 6) * (0.4 + t), Hex(0xffd090),
         0.3 + 0.5 * t);
  }
  // Tomo flying, the paper lantern hanging from its feet on a cord.
  const double bx = 410, by = 108;
  cairo_move_to(cr, bx + 6, by + 26);
  cairo_curve_to(cr, bx + 6, by + 34, bx + 3, by + 40, bx + 2, by + 46);
  SetRgb(cr, Hex(0xd8c8a8), 0.8);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  PaperLantern(cr, bx + 2, by + 46, 54, 1.0, Hex(0xe04830));
  cairo_save(cr);
  cairo_translate(cr, bx, by);
  cairo_rotate(cr, -0.35);
  LanternBird(cr, 0, 0, 30, BIRD_FLYING, 1.0);
  cairo_restore(cr);
  // Mio small on the shore, looking up.
  cairo_move_to(cr, 520, 300);
  cairo_curve_to(cr, 514, 290, 516, 272, 522, 266);
  cairo_curve_to(cr, 528, 272, 532, 290, 528, 300);
  cairo_close_path(cr);
  cairo_arc(cr, 523, 260, 6, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x04060e));
  cairo_fill(cr);
  StoreWithThumbnail(out, 5, c);
}

// v0006: ending B: dawn at the pond, the creatures home, Tomo asleep on the bowl.
void DawnHome(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr;
  Sky(cr, 640, 220,
      {{0, Hex(0x241c4a)}, {0.5, Hex(0x704a80)}, {0.85, Hex(0xe08a80)}, {1, Hex(0xf8c078)}});
  Glow(cr, 360, 220, 240, Hex(0xffd090), 0.5);
  Woods(cr, -20, 660, 214, 90, Hex(0x2a2042), 111);
  Woods(cr, -20, 660, 222, 50, Hex(0x181430), 112);
  DrawWater(cr, 0, 222, 640, 258, 113, true);
  cairo_rectangle(cr, 0, 222, 640, 258);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 222, 0, 480);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.98, 0.72, 0.50, 0.5);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.25, 0.20, 0.40, 0.15);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The creatures swimming calmly below the surface.
  {
    Canvas sub(640, 480);
    const double fish[6][4] = {{120, 300, 0.9, 0}, {250, 370, -0.5, 1}, {90, 420, 2.4, 2},
                               {330, 300, 1.7, 0}, {200, 450, 0.2, 0},  {380, 430, -1.2, 2}};
    for (const auto& f : fish) {
      cairo_save(sub.cr);
      cairo_translate(sub.cr, f[0], f[1]);
      cairo_rotate(sub.cr, f[2]);
      DrawCreature(sub.cr, static_cast<int>(f[3]), false, 0, 0, 56);
      cairo_restore(sub.cr);
      for (int k = 0; k < 2; k++) {
        Ellipse(sub.cr, f[0], f[1], 40 + 18 * k, (40 + 18 * k) * 0.5);
        SetRgb(sub.cr, Hex(0xfff0e0), 0.25 - 0.1 * k);
        cairo_set_line_width(sub.cr, 1.2);
        cairo_stroke(sub.cr);
      }
    }
    Blur(sub.surf, 2);
    cairo_set_source_surface(cr, sub.surf, 0, 0);
    cairo_paint_with_alpha(cr, 0.8);
  }
  Mist(c, 200, 70, 0.7, 114);
  // Bank with grass in the right foreground, the bowl on its stone.
  cairo_move_to(cr, 380, 480);
  cairo_curve_to(cr, 400, 360, 500, 300, 660, 290);
  cairo_line_to(cr, 660, 480);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1a1628));
  cairo_fill(cr);
  Ellipse(cr, 540, 330, 76, 22);
  SetRgb(cr, Hex(0x3a3650));
  cairo_fill(cr);
  Ellipse(cr, 540, 324, 70, 17);
  SetRgb(cr, Hex(0x5a5070));
  cairo_fill(cr);
  MoonBowl(cr, 540, 284, 110, 0.35);
  // Dawn light on the bowl's left side.
  Glow(cr, 500, 290, 60, Hex(0xffc080), 0.25);
  LanternBird(cr, 580, 250, 22, BIRD_ASLEEP, 0.4);
  Rand rnd(115);
  for (int i = 0; i < 30; i++) {
    double gx = rnd.Range(430, 640), gy = rnd.Range(330, 480);
    cairo_move_to(cr, gx, gy);
    cairo_line_to(cr, gx + rnd.Range(-6, 6), gy - rnd.Range(10, 26));
    SetRgb(cr, Hex(0x2a2a3a));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  StoreWithThumbnail(out, 6, c);
}
}  // namespace

void MakeEventPictures(Output& out) {
  BirdOnBranch(out);
  BrokenMoon(out);
  BowlInHands(out);
  DimmingBird(out);
  LanternToTheSky(out);
  DawnHome(out);
}

}  // namespace story

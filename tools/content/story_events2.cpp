// The interlude's event pictures and the moon's visit: Tomo fallen into
// Mio's hands, the flame given to him or kept in the lantern, and the moon
// come down to drink from the bowl.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {

void HeldLantern(cairo_t* cr, double x, double y, double h, double light, bool open) {
  // A short bamboo handle from the fist, a hook, and the lantern below it.
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + h * 0.05, y + h * 0.28);
  SetRgb(cr, Hex(0x8a6a3a));
  cairo_set_line_width(cr, std::max(1.5, h * 0.06));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  PaperLantern(cr, x + h * 0.05, y + h * 0.28, h, light, Hex(0xe04830));
  if (open) {
    // The top cap lifted: the candle inside shows, its wick dark.
    Ellipse(cr, x + h * 0.05, y + h * 0.38, h * 0.2, h * 0.05);
    SetRgb(cr, Hex(0x1a0e0e));
    cairo_fill(cr);
    cairo_move_to(cr, x + h * 0.05, y + h * 0.38);
    cairo_line_to(cr, x + h * 0.05, y + h * 0.33);
    SetRgb(cr, Hex(0x3a3030));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
}

namespace {

void HalfMoonPond(Canvas& c) {
  Pond(c, POND_HALF, POND_ONLY);
}

// Mio's arms held in front of her chest, the hands palm up side by side,
// fingers towards each other: a cradle for what they hold at (cx, cy).
void CradlingArms(Figure& m, double cx, double cy, double spread) {
  const double s = m.size;
  m.right = {{m.neck.x - 0.5 * s, m.neck.y + 0.15 * s},
             {cx - spread - 0.35 * s, cy + 0.55 * s},
             {cx - spread, cy + 0.12 * s},
             1.95,
             HAND_CUP,
             0.55,
             true,
             0.9};
  m.left = {{m.neck.x + 0.5 * s, m.neck.y + 0.15 * s},
            {cx + spread + 0.35 * s, cy + 0.55 * s},
            {cx + spread, cy + 0.12 * s},
            -1.95,
            HAND_CUP,
            0.55,
            true,
            0.9};
}

}  // namespace

// v0005: Tomo fallen into Mio's cupped hands, his light flickering; her
// face above him, worried.
void FallenBird(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, HalfMoonPond, 5, 0.35);
  Figure m{};
  m.neck = {320, 160};
  m.size = 150;
  m.turn = 0.05;
  m.tilt = 0.08;
  m.look = LOOK_WORRY;
  m.eyeY = 1.0;
  m.hem = 2.4;
  CradlingArms(m, 320, 226, 58);
  m.lightAt = {320, 226};
  m.lit = 0.45;
  m.night = 0.3;
  Mio(cr, m);
  // Her own lantern hangs from the obi, still lit.
  PaperLantern(cr, 438, 300, 40, 1.0, Hex(0xe04830));
  Glow(cr, 356, 236, 80, Hex(0xff9a40), 0.3);
  LanternBird(cr, 310, 220, 28, BIRD_ASLEEP, 0.3);
  MioHands(cr, m);
  // A last spark or two rising from the tail.
  Glow(cr, 372, 186, 5, Hex(0xffc070), 0.5);
  Glow(cr, 390, 160, 3, Hex(0xffc070), 0.3);
}

// v0006: the candle's flame has gone into Tomo's tail: he stands bright on
// Mio's raised hand; the opened lantern hangs dark from her other hand.
void SharedFlame(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, HalfMoonPond, 5, 0.4);
  Figure m{};
  m.neck = {258, 178};
  m.size = 118;
  m.turn = 0.35;
  m.tilt = 0.1;
  m.look = LOOK_SMILE;
  m.eyeX = 0.9;
  m.eyeY = -0.2;
  m.hem = 2.6;
  m.right = {{204, 194}, {166, 250}, {198, 222}, 0.3, HAND_GRIP, 0.5, true, 0.6};
  m.left = {{314, 192}, {378, 240}, {400, 196}, 1.45, HAND_OPEN, 0.35, true, 0.6, true};
  m.lightAt = {430, 170};
  m.lit = 1.0;
  m.night = 0.3;
  Mio(cr, m);
  HeldLantern(cr, 198, 222, 46, 0.0, true);
  MioHands(cr, m);
  Glow(cr, 440, 160, 200, Hex(0xffa040), 0.35);
  LanternBird(cr, 432, 160, 26, BIRD_PERCHED, 1.0);
}

// v0007: the flame kept: Mio holds the lantern high, Tomo looks out of the
// sleeve of her other arm.
void KeptFlame(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, HalfMoonPond, 5, 0.4);
  Figure m{};
  m.neck = {330, 196};
  m.size = 112;
  m.turn = -0.2;
  m.tilt = -0.05;
  m.look = LOOK_RESOLVE;
  m.eyeX = -0.3;
  m.hem = 2.6;
  m.right = {{276, 210}, {232, 160}, {222, 96}, -0.1, HAND_GRIP, 0.3, true, 0.45};
  m.left = {{384, 210}, {424, 262}, {370, 266}, -1.75, HAND_OPEN, 0.5, true, 1.0};
  m.lightAt = {226, 150};
  m.lit = 1.0;
  m.night = 0.3;
  Mio(cr, m);
  HeldLantern(cr, 222, 96, 50, 1.0, false);
  MioHands(cr, m);
  // Tomo looking out of the mouth of the sleeve's pocket, by her wrist:
  // only what is above its edge shows.
  cairo_save(cr);
  cairo_move_to(cr, 350, 200);
  cairo_line_to(cr, 450, 200);
  cairo_line_to(cr, 450, 294);
  cairo_line_to(cr, 430, 292);
  cairo_curve_to(cr, 414, 287, 392, 286, 366, 292);
  cairo_close_path(cr);
  cairo_clip(cr);
  Glow(cr, 400, 300, 30, Hex(0xff9a40), 0.25);
  LanternBird(cr, 402, 281, 17, BIRD_PERCHED, 0.25);
  cairo_restore(cr);
  cairo_move_to(cr, 366, 292);
  cairo_curve_to(cr, 392, 286, 414, 287, 430, 292);
  SetRgb(cr, Hex(0x8aa0e8), 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

namespace {

// The woods round the pond lit silver by the moon that has come down.
void SilverNight(Canvas& c, double mx, double my, double mr) {
  cairo_t* cr = c.cr;
  Sky(cr, 640, 200, {{0, Hex(0x0a1434)}, {0.7, Hex(0x24386a)}, {1, Hex(0x4a5a8a)}});
  Stars(cr, 0, 0, 640, 120, 50, 5);
  Woods(cr, -20, 660, 192, 60, Hex(0x5a6a98), 11);
  Woods(cr, -20, 660, 198, 38, Hex(0x3a4a78), 12);
  // Come down near, the moon is in front of the far woods.
  Glow(cr, mx, my, mr * 3.2, Hex(0xc8dcff), 0.45);
  Moon(cr, mx, my, mr, 1.0);
  MirrorWater(c, {196, 480, Hex(0x0a1a3a), 0.4, 10, 3});
  MoonPath(cr, mx, 2 * 196 - my - mr, 480, mr * 1.2, 0.5, 4);
}

}  // namespace

// v0008: the moon come down over the bowl on its stone, a thread of light
// into the water; goldfish bright in the bowl, a frog on its rim, the turtle
// looking up.
void MoonDrinks(Canvas& c) {
  cairo_t* cr = c.cr;
  SilverNight(c, 320, 96, 96);
  // The bank and the flat stone.
  cairo_move_to(cr, -10, 480);
  cairo_curve_to(cr, 80, 330, 200, 300, 320, 298);
  cairo_curve_to(cr, 440, 300, 560, 330, 650, 480);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x141c30));
  cairo_fill(cr);
  Ellipse(cr, 320, 318, 130, 26);
  SetRgb(cr, Hex(0x3a4664));
  cairo_fill(cr);
  Ellipse(cr, 320, 312, 120, 20);
  SetRgb(cr, Hex(0x5a6890));
  cairo_fill(cr);
  // The thread of light, then the bowl under it.
  Glow(cr, 320, 240, 90, Hex(0xfff4d8), 0.5);
  cairo_move_to(cr, 320, 190);
  cairo_line_to(cr, 320, 246);
  SetRgb(cr, Hex(0xfffaf0), 0.9);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  MoonBowl(cr, 320, 246, 190, 1.0, 1.0);
  // Goldfish glinting in the water of the bowl.
  const double fish[4][3] = {{276, 246, 0.3}, {352, 244, 3.0}, {306, 252, 2.2}, {376, 250, 0.6}};
  for (const auto& f : fish) PondCreature(cr, KIND_GOLDFISH, f[0], f[1], 40, f[2], 0.0);
  SittingFrog(cr, 236, 238, 40);
  PeekingTurtle(cr, 388, 252, 46);
  for (int k = 0; k < 3; k++) {
    double y = 210 + k * 14;
    cairo_arc(cr, 320 + (k - 1) * 4, y, 1.5 + k * 0.3, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xffffff), 0.8);
    cairo_fill(cr);
  }
}

}  // namespace story

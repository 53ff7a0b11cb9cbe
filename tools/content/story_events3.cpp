// The four endings' own pictures: Tomo flying into the morning, the
// grandmother meeting him again, the old lantern he became, and that
// lantern lit again.
#include <algorithm>
#include <cmath>

#include "story.h"

namespace story {
namespace {

void SunrisePond(Canvas& c) {
  Pond(c, POND_SUNRISE, POND_ONLY);
}

}  // namespace

// v0009: morning: Tomo flies up over the pond trailing light; Mio on the
// bank waves, her lantern lit again in the other hand.
void FlightAtDawn(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, SunrisePond, 1, 0.0);
  // The trail of light from the pond up to the bird.
  Rand rnd(105);
  for (int i = 0; i < 70; i++) {
    double t = i / 70.0;
    double x = 300 + 160 * t + 40 * std::sin(t * 7), y = 250 - 170 * t + 20 * std::cos(t * 7);
    Glow(cr, x + rnd.Range(-6, 6), y + rnd.Range(-6, 6), rnd.Range(3, 7) * (0.5 + t), Hex(0xffd090),
         0.25 + 0.5 * t);
  }
  Glow(cr, 470, 80, 90, Hex(0xffb050), 0.5);
  cairo_save(cr);
  cairo_translate(cr, 470, 76);
  cairo_rotate(cr, -0.3);
  LanternBird(cr, 0, 0, 22, BIRD_FLYING, 1.0);
  cairo_restore(cr);
  Figure m{};
  m.neck = {176, 212};
  m.size = 84;
  m.turn = 0.45;
  m.tilt = -0.15;
  m.look = LOOK_JOY;
  m.eyeX = 0.8;
  m.eyeY = -0.8;
  m.hem = 3.2;
  m.right = {{138, 224}, {114, 268}, {110, 300}, 3.0, HAND_GRIP, 0.5, true, 0.8};
  m.left = {{214, 222}, {250, 184}, {262, 136}, 0.25, HAND_WAVE, 0.25, true, 0.4};
  m.light = Hex(0xffd8a0);
  m.lightAt = {400, 150};
  m.lit = 0.6;
  m.night = 0.0;
  Mio(cr, m);
  HeldLantern(cr, 110, 300, 36, 0.9, false);
  MioHands(cr, m);
}

// v0010: the grandmother and Tomo meet again: he stands on her finger; she
// smiles through tears, her lantern in the other hand; Mio beside them.
void Reunion(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, SunrisePond, 4, 0.1);
  Figure g{};
  g.neck = {236, 196};
  g.size = 104;
  g.turn = 0.4;
  g.tilt = 0.08;
  g.look = LOOK_TEARS;
  g.eyeX = 0.9;
  g.eyeY = -0.1;
  g.hem = 2.8;
  g.right = {{186, 212}, {160, 276}, {170, 306}, 3.0, HAND_GRIP, 0.5, true, 0.8};
  g.left = {{288, 210}, {330, 246}, {360, 208}, 0.9, HAND_OPEN, 0.4, true, 0.6, true};
  g.light = Hex(0xffd8a0);
  g.lightAt = {380, 170};
  g.lit = 0.6;
  g.night = 0.0;
  Grandma(cr, g);
  HeldLantern(cr, 170, 306, 40, 0.5, false);
  GrandmaHands(cr, g);
  LanternBird(cr, 382, 176, 20, BIRD_PERCHED, 1.0);
  Figure m{};
  m.neck = {500, 232};
  m.size = 90;
  m.turn = -0.45;
  m.tilt = -0.1;
  m.look = LOOK_JOY;
  m.hem = 2.8;
  m.right = {{456, 244}, {446, 304}, {490, 294}, 0.15, HAND_OPEN, 0.6, true, 0.8};
  m.left = {{544, 244}, {552, 304}, {510, 294}, -0.15, HAND_OPEN, 0.6, true, 0.8};
  m.light = Hex(0xffd8a0);
  m.lightAt = {380, 170};
  m.lit = 0.5;
  m.night = 0.0;
  Mio(cr, m);
}

// v0011: in Mio's hands, where Tomo was, an old paper lantern, faded, with
// "ちよ" written on it; the morning behind her.
void LanternAgain(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, SunrisePond, 5, 0.15);
  Figure m{};
  m.neck = {320, 196};
  m.size = 150;
  m.turn = 0.05;
  m.tilt = 0.06;
  m.look = LOOK_SAD;
  m.eyeY = 1.0;
  m.hem = 2.4;
  m.right = {{245, 218}, {214, 340}, {262, 292}, 1.95, HAND_CUP, 0.55, true, 0.9};
  m.left = {{395, 218}, {426, 340}, {378, 292}, -1.95, HAND_CUP, 0.55, true, 0.9};
  m.light = Hex(0xffe0b0);
  m.lightAt = {500, 120};
  m.lit = 0.4;
  m.night = 0.0;
  Mio(cr, m);
  OldPaperLantern(cr, 320, 212, 80, 0.0, 0.9);
  MioHands(cr, m);
}

// v0012: the grandmother brings the flame of her own candle to the old
// lantern in Mio's hands, and it glows again.
void Rekindled(Canvas& c) {
  cairo_t* cr = c.cr;
  Backdrop(c, SunrisePond, 5, 0.3);
  Glow(cr, 330, 230, 220, Hex(0xffa040), 0.35);
  Figure g{};
  g.neck = {196, 200};
  g.size = 104;
  g.turn = 0.45;
  g.tilt = 0.12;
  g.look = LOOK_TEARS;
  g.eyeX = 0.9;
  g.eyeY = 0.5;
  g.hem = 2.8;
  g.right = {{148, 216}, {140, 280}, {180, 296}, 2.2, HAND_GRIP, 0.5, true, 0.8};
  g.left = {{246, 214}, {282, 262}, {300, 232}, 1.2, HAND_GRIP, 0.4, true, 0.6};
  g.lightAt = {330, 230};
  g.lit = 1.0;
  g.night = 0.1;
  Grandma(cr, g);
  HeldLantern(cr, 180, 296, 40, 0.0, true);
  // The candle in her hand, its flame at the old lantern's mouth.
  cairo_rectangle(cr, 300, 214, 8, 20);
  SetRgb(cr, Hex(0xf4ece0));
  cairo_fill(cr);
  Glow(cr, 304, 206, 18, Hex(0xffd080), 0.9);
  Ellipse(cr, 304, 206, 3, 7);
  SetRgb(cr, Hex(0xfff4c0));
  cairo_fill(cr);
  GrandmaHands(cr, g);
  Figure m{};
  m.neck = {468, 214};
  m.size = 96;
  m.turn = -0.45;
  m.tilt = -0.08;
  m.look = LOOK_WONDER;
  m.eyeX = -0.9;
  m.eyeY = 0.4;
  m.hem = 2.8;
  m.right = {{420, 228}, {380, 300}, {356, 276}, -1.9, HAND_CUP, 0.45, true, 0.8};
  m.left = {{516, 228}, {470, 306}, {400, 286}, -2.4, HAND_CUP, 0.45, true, 0.8};
  m.lightAt = {330, 230};
  m.lit = 1.0;
  m.night = 0.1;
  Mio(cr, m);
  OldPaperLantern(cr, 362, 206, 70, 1.0, 0.3);
  MioHands(cr, m);
}

}  // namespace story

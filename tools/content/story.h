// Drawing pieces shared by the story scene pictures (the story_*.cpp files):
// scenery, water and its mirror, the lantern bird, the moon bowl, the pond's
// creatures as the story shows them, and the people: Mio and her grandmother,
// their faces, yukata, arms and hands.
#pragma once
#include <initializer_list>

#include "content.h"

namespace story {

// ---- files ---------------------------------------------------------------
// "grp/NAME.bmp" as a 24-bit picture (and its preview).
void Store24(Output& out, const char* name, Canvas& c);
// "grp/vNNNN.bmp" and its 128x96 gallery thumbnail "grp/vsNNNN.bmp".
void StoreEvent(Output& out, int number, Canvas& c);

// ---- scenery (story_scenery.cpp) -------------------------------------------
struct Stop {
  double at;
  Rgb c;
};
// Vertical gradient over the rectangle (0, 0, w, h) through the given stops.
void Sky(cairo_t* cr, double w, double h, std::initializer_list<Stop> stops);
// A radial glow of colour c, strength a, fading out at radius r.
void Glow(cairo_t* cr, double x, double y, double r, Rgb c, double a);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
// The full moon with its halo (halo 0..1).
void Moon(cairo_t* cr, double x, double y, double r, double halo);
// A line of dark cedars and broadleaf crowns along a baseline.
void Woods(cairo_t* cr, double x0, double x1, double base, double height, Rgb c, uint32_t seed);
// A paper lantern hanging from (x, y), h tall, glowing with light 0..1.
void PaperLantern(cairo_t* cr, double x, double y, double h, double light, Rgb paper);
// The grandmother's old lantern that Tomo was: faded, a rib broken, "ちよ"
// written on it; fire 0..1 its own flame, day 0..1 the daylight on it.
void OldPaperLantern(cairo_t* cr, double x, double y, double h, double fire, double day);
// Low mist: soft bands blurred into the picture.
void Mist(Canvas& c, double y, double h, double a, uint32_t seed);
// Glitter on water under a light: short wavering strokes from top to bottom.
void MoonPath(cairo_t* cr, double x, double top, double bottom, double width, double a,
              uint32_t seed);
// Reeds in silhouette rising from the bottom edge at both sides.
void Reeds(cairo_t* cr, Rand& rnd, int count, double spread, double top0, double top1,
           double leanMax, Rgb colour);
// A bank of cloud: soft lobes along (x0..x1, y), lit from the side of the
// light at (lx, ly) with a silver rim; a 0..1 opacity.
void Cloud(Canvas& c, double x0, double x1, double y, double h, Rgb body, Rgb rim, double lx,
           double ly, double a, uint32_t seed);
// Fireflies scattered in the rectangle.
void Fireflies(cairo_t* cr, double x, double y, double w, double h, int n, uint32_t seed);

// ---- water (story_water.cpp) ---------------------------------------------
// Mirrors the picture above the waterline into the rows below it, darkened
// and tinted, broken by ripples that grow towards the viewer; everything
// drawn above the line so has its reflection straight under it.
struct Mirror {
  double waterline;  // the far shore's water edge
  double bottom;     // last row of water
  Rgb tint;          // the water's own colour
  double depth;      // 0..1: how much of the tint replaces the reflection near the viewer
  double ripple;     // sideways break-up of the reflection, pixels at the bottom
  uint32_t seed;
};
void MirrorWater(Canvas& c, const Mirror& m);
// Ripple lines and sparkles across the water, lit from the light at (lx, ly).
void WaterSheen(cairo_t* cr, double top, double bottom, double lx, Rgb light, double a,
                uint32_t seed);

// ---- the lantern bird and the bowl (story_bird.cpp) ------------------------
enum BirdPose { BIRD_PERCHED, BIRD_FLYING, BIRD_ASLEEP };
// Tomo, facing left, body centred at (x, y), body radius r; light 0..1 is
// how brightly the lantern tail glows.
void LanternBird(cairo_t* cr, double x, double y, double r, BirdPose pose, double light);
// The moon bowl: a red lacquer bowl with a gold crescent, centred at (x, y)
// on its rim line, w wide; moon 0..1 how much of the moon its water holds
// (0.5 a half moon), glow 0..1.
void MoonBowl(cairo_t* cr, double x, double y, double w, double moon, double glow);

// ---- the pond's creatures as the story pictures show them (story_pond_life.cpp)
enum Kind { KIND_GOLDFISH, KIND_FROG, KIND_TURTLE };
// Seen from above, head towards angle (radians, 0 = right), length in pixels;
// wet 0..1 how far under the water (fainter, bluer).
void PondCreature(cairo_t* cr, Kind kind, double x, double y, double length, double angle,
                  double wet);
// A goldfish seen from the side (for the bowl's water), facing right when dir > 0.
void SideGoldfish(cairo_t* cr, double x, double y, double length, double dir, double a);
// A frog sitting on a rim, seen from the front, and a turtle's head and shell above water.
void SittingFrog(cairo_t* cr, double x, double y, double size);
void PeekingTurtle(cairo_t* cr, double x, double y, double size);

// ---- people (story_figure.cpp, story_mio.cpp, story_grandma.cpp) ------------
struct Pt {
  double x, y;
};

// One skin for everyone, lit by the scene with at most a soft tint.
extern const Rgb kSkin, kSkinShade, kSkinLine;

enum HandPose {
  HAND_OPEN,  // fingers together, thumb apart: reaching, resting on something
  HAND_WAVE,  // fingers spread, palm to the viewer
  HAND_CUP,   // palm up, fingers curled up: holding something small
  HAND_GRIP,  // a fist around a stick
  HAND_HOLD,  // fingers curved round the side of a bowl
};
// Which parts of a hand to draw: the palm behind what it holds, the fingers
// in front, or all of it.
enum HandLayer { HAND_ALL, HAND_BACK, HAND_FRONT };
// A hand whose wrist is at (x, y), pointing along angle (radians, 0 = up,
// positive turns clockwise), len from wrist to fingertip. mirror: a left hand
// (the thumb on the other side). aged: finer creases, slimmer fingers.
void Hand(cairo_t* cr, double x, double y, double angle, double len, HandPose pose, bool mirror,
          HandLayer layer = HAND_ALL, bool aged = false);

enum Look {
  LOOK_SMILE,    // eyes open, a soft smile
  LOOK_JOY,      // eyes closed in a laugh, mouth open
  LOOK_WONDER,   // eyes wide, lips parted
  LOOK_WORRY,    // brows raised in the middle, mouth small
  LOOK_SAD,      // eyes lowered, brows sad, mouth turned down
  LOOK_RESOLVE,  // brows set, mouth firm
  LOOK_TEARS,    // smiling with tears at the eyes
};
struct HeadPose {
  double x, y;  // centre of the skull
  double size;  // crown to chin, pixels
  double turn;  // -1..1: face turned towards the viewer's left or right
  double tilt;  // radians, positive clockwise
  Look look;
  double eyeX = 0, eyeY = 0;  // where the eyes look, -1..1
};

struct Arm {
  Pt shoulder, elbow, wrist;
  double handAngle;  // see Hand()
  HandPose hand;
  double cuff;        // where the sleeve ends along the forearm, 0 elbow .. 1 wrist
  bool front;         // drawn over the body (else behind it)
  double hang = 1;    // length of the hanging sleeve, in head sizes
  bool flip = false;  // the thumb on the other side (palm and back swapped)
};

struct Figure {
  Pt neck;      // base of the neck, between the shoulders
  double size;  // head size, as in HeadPose
  double turn;  // -1..1, body and face
  double tilt;  // head tilt
  Look look;
  double eyeX = 0, eyeY = 0;
  Arm left, right;           // the figure's own left and right
  double hem;                // how far down the body goes, in head sizes below the neck
  Rgb light{1, 0.75, 0.45};  // the warm light on the figure ...
  Pt lightAt{0, 0};          // ... from here ...
  double lit = 0;            // ... and how strong, 0..1
  double night = 0.25;       // cool darkening of the whole figure, 0..1
  // What Mio() and Grandma() draw: all of it, or the body without the arms
  // marked front, or only those arms (so something can go in between).
  enum Parts { ALL, BODY, FRONT_ARMS } parts = ALL;
};
// Mio in her indigo yukata with white morning glories and a red obi, black
// bob with a red flower clip. Hands that hold something are drawn by
// MioHands() after the thing held (those with layer FRONT); all others by Mio().
void Mio(cairo_t* cr, const Figure& f);
void MioHands(cairo_t* cr, const Figure& f);
// The grandmother: grey hair in a bun, plum kimono with a pale pattern.
void Grandma(cairo_t* cr, const Figure& f);
void GrandmaHands(cairo_t* cr, const Figure& f);

// The heads alone (story_heads.cpp): the hair behind, then face and front hair.
void MioHeadBack(cairo_t* cr, const HeadPose& h);
void MioHeadFront(cairo_t* cr, const HeadPose& h);
void GrandmaHeadBack(cairo_t* cr, const HeadPose& h);
void GrandmaHeadFront(cairo_t* cr, const HeadPose& h);

// Face parts shared by both heads (story_figure.cpp).
void Eyes(cairo_t* cr, const HeadPose& h, double spacing, double eyeW, double eyeH, double y,
          bool aged);
void Mouth(cairo_t* cr, const HeadPose& h, double y, double w);
void Blush(cairo_t* cr, const HeadPose& h, double y, double a);
// The figure's light laid over what was drawn since cairo_push_group.
void LightFigure(cairo_t* cr, const Figure& f);

// ---- the pictures ----------------------------------------------------------
// Event pictures (story_events*.cpp), each drawn into a fresh 640x480 canvas.
void StallScene(Canvas& c);    // v0001
void BirdOnBranch(Canvas& c);  // v0002
void BrokenMoon(Canvas& c);    // v0003
void BowlLifted(Canvas& c);    // v0004
void FallenBird(Canvas& c);    // v0005
void SharedFlame(Canvas& c);   // v0006
void KeptFlame(Canvas& c);     // v0007
void MoonDrinks(Canvas& c);    // v0008
void FlightAtDawn(Canvas& c);  // v0009
void Reunion(Canvas& c);       // v0010
void LanternAgain(Canvas& c);  // v0011
void Rekindled(Canvas& c);     // v0012
// A lantern carried by a short handle from a fist at (x, y): h tall, light
// 0..1; open: its top lifted and the candle out (story_events2.cpp).
void HeldLantern(cairo_t* cr, double x, double y, double h, double light, bool open);
// Out-of-focus lights: n discs between y0 and y1 in the colour c.
void Bokeh(cairo_t* cr, int n, double y0, double y1, Rgb c, uint32_t seed);
// A background drawn out of focus behind an event picture's people.
void Backdrop(Canvas& c, void (*background)(Canvas&), int blur, double dim);

void MakeBackgrounds(Output& out);    // story_village.cpp, story_pond.cpp, ...
void MakeEventPictures(Output& out);  // story_events*.cpp

// The backgrounds, each drawn into a fresh 640x480 canvas.
void VillageDusk(Canvas& c);
void FestivalNight(Canvas& c);
void WoodsEdge(Canvas& c);
void ForestPath(Canvas& c);
void VillageMorning(Canvas& c);
enum PondTime { POND_NIGHT, POND_BROKEN, POND_HALF, POND_BEFORE_DAWN, POND_SUNRISE };
// What else is at the pond: Tomo's small light on a branch at the left, Tomo
// flying over the water lighting it, or the bowl on the near bank.
enum PondExtra { POND_ONLY, POND_TOMO_ON_BRANCH, POND_TOMO_FLYING, POND_BOWL };
void Pond(Canvas& c, PondTime t, PondExtra extra);
void ShrineNight(Canvas& c);
void ShrineMorning(Canvas& c);
// Shrine pieces (story_shrine.cpp).
void StoneLantern(cairo_t* cr, double x, double base, double h, double fire);
void Hokora(cairo_t* cr, double x, double base, double w, Rgb light);

}  // namespace story

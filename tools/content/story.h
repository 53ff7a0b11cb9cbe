// Drawing pieces shared by the story scene pictures (story.cpp and
// story_events.cpp): sky, moon, woods, lanterns, the lantern bird, the moon
// bowl and Mio's hands.
#pragma once
#include <initializer_list>

#include "content.h"

namespace story {

// Vertical gradient over the whole canvas through the given stops.
struct Stop {
  double at;
  Rgb c;
};
void Sky(cairo_t* cr, double w, double h, std::initializer_list<Stop> stops);
// A radial glow of colour c, strength a, fading out at radius r.
void Glow(cairo_t* cr, double x, double y, double r, Rgb c, double a);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
// The full moon with its halo.
void Moon(cairo_t* cr, double x, double y, double r, double halo);
// A line of dark cedars and broadleaf crowns along a baseline.
void Woods(cairo_t* cr, double x0, double x1, double base, double height, Rgb c, uint32_t seed);
// A paper lantern hanging from (x, y), h tall, glowing with light 0..1.
void PaperLantern(cairo_t* cr, double x, double y, double h, double light, Rgb paper);
// Low mist: soft white bands blurred into the picture.
void Mist(Canvas& c, double y, double h, double a, uint32_t seed);
// The moon's reflection on still water: a wavering column of light.
void MoonPath(cairo_t* cr, double x, double top, double bottom, double width, double a,
              uint32_t seed);

enum BirdPose { BIRD_PERCHED, BIRD_FLYING, BIRD_ASLEEP };
// Tomo, the lantern bird, facing left, body centred at (x, y), body radius r;
// light 0..1 is how brightly the lantern tail glows.
void LanternBird(cairo_t* cr, double x, double y, double r, BirdPose pose, double light);
// The moon bowl: a lacquer bowl whose water holds the moon, centred at
// (x, y) on its rim line, w wide; glow 0..1.
void MoonBowl(cairo_t* cr, double x, double y, double w, double glow);
// Mio's cupped hands from below, with yukata sleeves; the hollow of the
// hands is centred at (x, y), span w wide; lit by a warm light of strength lit.
void CuppedHands(cairo_t* cr, double x, double y, double w, double lit, Rgb light);
// The front fingers of the cupped hands, drawn over what they hold.
void CuppedFingers(cairo_t* cr, double x, double y, double w, double lit, Rgb light);

// The six event pictures and their gallery thumbnails (story_events.cpp).
void MakeEventPictures(Output& out);

}  // namespace story

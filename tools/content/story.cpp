// The story scenes' pictures: every background and event picture is drawn in
// the story_*.cpp files; here are the wipe pattern for event pictures, the
// message-window frame and the list of what is made.
#include "story.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace story {

void Store24(Output& out, const char* name, Canvas& c) {
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp24(c.surf);
  WritePng(out, name, c.surf);
}

namespace {

// ptf0000: the wipe pattern. Brighter levels are revealed first: drops fall
// at a few points and their ripples carry the new picture outwards.
std::vector<uint8_t> WipePattern(int w, int h) {
  const double drops[4][3] = {{212, 190, 0}, {470, 300, 0.18}, {560, 90, 0.32}, {90, 400, 0.4}};
  std::vector<double> field(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      double t = 1e9;
      for (const auto& d : drops) {
        // Ripples are ellipses (the water seen at a slant); later drops start late.
        double dist = std::hypot(x - d[0], (y - d[1]) * 1.35) / 620.0 + d[2];
        double ring = 0.018 * std::sin(dist * 90.0) * std::exp(-dist * 1.2);
        t = std::min(t, dist + ring);
      }
      // A slow swirl of noise so the fronts are not perfectly round.
      t += 0.025 * std::sin(x * 0.021 + std::sin(y * 0.017) * 2.0) *
           std::cos(y * 0.019 - std::sin(x * 0.013) * 1.5);
      field[static_cast<size_t>(y) * w + x] = t;
    }
  // Equalise: levels are spread evenly over 0..255 so the wipe runs at an
  // even pace; the earliest pixels get 255.
  std::vector<uint32_t> order(field.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return field[a] != field[b] ? field[a] < field[b] : a < b;
  });
  std::vector<uint8_t> grey(field.size());
  for (size_t i = 0; i < order.size(); i++)
    grey[order[i]] = static_cast<uint8_t>(255 - (i * 256) / order.size());
  return grey;
}

// win00: the message-window frame, drawn subtractively (mode 3): each value
// is taken off the picture below. Black leaves it as it is; the text area
// takes off most of the light, a little less of the blue, so any background
// is left dark and slightly blue under white text.
std::vector<uint8_t> WindowFrame(int w, int h) {
  const double full[3] = {192, 184, 152};  // r, g, b taken off in the text area
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      // Soft top edge over the first rows, a fine rim, then the full depth.
      double k;
      if (y < 24) {
        double t = y / 24.0;
        k = 0.78 * t * t * (3 - 2 * t);
      } else if (y < 27) {
        k = 0.78 + (0.98 - 0.78) * (y - 24) / 3.0;
      } else if (y == 27 || y == 28) {
        k = 0.35;  // the rim: a thin line where the background shows through
      } else {
        k = 1.0;
      }
      // The rim fades out towards both sides, ending in small knots.
      if (y == 27 || y == 28) {
        double e = std::min(x, w - 1 - x) / 40.0;
        k = 0.98 - (0.98 - 0.35) * std::clamp(e, 0.0, 1.0);
        double knot = std::min(std::abs(x - 40.0), std::abs(x - (w - 41.0)));
        if (knot < 3) k = 0.1;
      }
      // A faint wave pattern in the soft edge.
      if (y >= 6 && y < 24) {
        double cx = std::fmod(x + (y / 6 % 2) * 12.0, 24.0) - 12.0, cy = std::fmod(y, 6.0);
        double r = std::hypot(cx, 6.0 - cy);
        if (std::abs(r - 10.5) < 0.6 || std::abs(r - 6.5) < 0.6) k *= 0.82;
      }
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      for (int ch = 0; ch < 3; ch++) p[ch] = static_cast<uint8_t>(std::lround(full[ch] * k));
    }
  return rgb;
}

// wait00: the click-wait mark, eight 16 x 16 frames side by side, drawn
// additively over the window (black adds nothing): a small gold arrowhead
// that bobs and glows, in the window's cream and gold.
std::vector<uint8_t> WaitMarkStrip(int frames, int size) {
  const double gold[3] = {255, 200, 96}, cream[3] = {255, 244, 216};
  std::vector<uint8_t> rgb(static_cast<size_t>(frames) * size * size * 3);
  const int w = frames * size;
  for (int f = 0; f < frames; f++) {
    const double phase = 2 * M_PI * f / frames;
    const double bob = 1.5 + 1.5 * std::sin(phase);
    const double glow = 0.85 + 0.15 * std::cos(phase);
    for (int y = 0; y < size; y++)
      for (int x = 0; x < size; x++) {
        // Coverage of the arrowhead (a downward triangle) from 4 x 4 samples.
        int inside = 0;
        double halo = 0;
        for (int sy = 0; sy < 4; sy++)
          for (int sx = 0; sx < 4; sx++) {
            double px = x + (sx + 0.5) / 4 - size / 2.0, py = y + (sy + 0.5) / 4 - (3 + bob);
            double half = 6.0 * (1 - py / 8.0);
            if (py >= 0 && py <= 8 && std::abs(px) <= half) inside++;
            double d = std::hypot(px, py - 3);
            halo += std::max(0.0, 1 - d / 7.5);
          }
        double k = inside / 16.0, h = halo / 16.0 * 0.5 * glow;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + f * size + x) * 3];
        for (int ch = 0; ch < 3; ch++) {
          double top = (y - bob < 5 ? cream[ch] : gold[ch]) * glow;
          double v = top * k + gold[ch] * h * (1 - k);
          p[ch] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
        }
      }
  }
  return rgb;
}

// Copies plain pixels (grey, or rgb) into a canvas for encoding and previews.
void Fill(Canvas& c, const std::vector<uint8_t>& px, int channels) {
  cairo_surface_flush(c.surf);
  uint8_t* d = cairo_image_surface_get_data(c.surf);
  int stride = cairo_image_surface_get_stride(c.surf);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const uint8_t* s = &px[(static_cast<size_t>(y) * c.w + x) * channels];
      uint8_t* o = d + y * stride + x * 4;
      o[2] = s[0];
      o[1] = s[channels > 1 ? 1 : 0];
      o[0] = s[channels > 1 ? 2 : 0];
      o[3] = 255;
    }
  cairo_surface_mark_dirty(c.surf);
}
}  // namespace

void MakeBackgrounds(Output& out) {
  // g0010 is the title's backdrop; the story's numbers go round it.
  struct Pond {
    int number;
    PondTime time;
    PondExtra extra;
  };
  const Pond ponds[] = {{5, POND_NIGHT, POND_TOMO_ON_BRANCH}, {6, POND_BROKEN, POND_ONLY},
                        {8, POND_HALF, POND_TOMO_ON_BRANCH},  {9, POND_BEFORE_DAWN, POND_ONLY},
                        {11, POND_SUNRISE, POND_ONLY},        {14, POND_HALF, POND_ONLY},
                        {15, POND_HALF, POND_TOMO_FLYING},    {16, POND_SUNRISE, POND_BOWL}};
  struct Place {
    int number;
    void (*draw)(Canvas&);
  };
  const Place places[] = {{1, VillageDusk},   {2, FestivalNight}, {3, WoodsEdge},
                          {4, ForestPath},    {7, ShrineNight},   {12, VillageMorning},
                          {13, ShrineMorning}};
  char name[16];
  for (const Place& p : places) {
    Canvas c(640, 480);
    p.draw(c);
    snprintf(name, sizeof name, "g%04d", p.number);
    Store24(out, name, c);
  }
  for (const Pond& p : ponds) {
    Canvas c(640, 480);
    story::Pond(c, p.time, p.extra);
    snprintf(name, sizeof name, "g%04d", p.number);
    Store24(out, name, c);
  }
}

}  // namespace story

void MakeStoryPictures(Output& out) {
  using namespace story;
  MakeBackgrounds(out);
  MakeEventPictures(out);

  std::vector<uint8_t> grey = WipePattern(640, 480);
  out.files["grp/ptf0000.bmp"] = EncodeGrey8(grey, 640, 480);
  if (!out.previewDir.empty()) {
    Canvas c(640, 480);
    Fill(c, grey, 1);
    WritePng(out, "ptf0000", c.surf);
  }
  Canvas win(640, 160);
  Fill(win, WindowFrame(640, 160), 3);
  Store24(out, "win00", win);
  Canvas mark(8 * 16, 16);
  Fill(mark, WaitMarkStrip(8, 16), 3);
  Store24(out, "wait00", mark);
}

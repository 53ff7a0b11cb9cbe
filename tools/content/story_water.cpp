// Water that mirrors what stands above it: the sky, the moon, the far woods
// and the sun are drawn first, then copied upside down into the water rows,
// broken by ripples and tinted, so each reflection lies under its thing.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "story.h"

namespace story {

void MirrorWater(Canvas& c, const Mirror& m) {
  cairo_surface_flush(c.surf);
  uint8_t* px = cairo_image_surface_get_data(c.surf);
  const int stride = cairo_image_surface_get_stride(c.surf), w = c.w;
  const int top = static_cast<int>(std::ceil(m.waterline));
  const int bottom = std::min(c.h - 1, static_cast<int>(m.bottom));
  std::vector<uint8_t> above(static_cast<size_t>(stride) * (top + 1));
  memcpy(above.data(), px, above.size());
  Rand rnd(m.seed);
  // Ripple phases per row, smooth from row to row.
  double phase = rnd.Range(0, 6.28);
  for (int y = top; y <= bottom; y++) {
    const double d = y - m.waterline, far = d / std::max(1.0, m.bottom - m.waterline);
    // The mirror row, a little jittered: nearer water breaks the image more.
    const int sy =
        std::clamp(static_cast<int>(m.waterline - d + rnd.Range(-1, 1) * far * 2), 0, top);
    phase += 0.55 + 0.3 * rnd.Uniform();
    const double shift = m.ripple * far * (std::sin(phase) * 0.7 + std::sin(phase * 2.3) * 0.3);
    // Ripple bands: alternately brighter and darker rows.
    const double band = 0.88 + 0.12 * std::sin(phase * 1.7);
    const double keep = (0.62 - 0.22 * far) * band, mix = m.depth * (0.25 + 0.75 * far);
    uint8_t* row = px + static_cast<size_t>(y) * stride;
    const uint8_t* src = above.data() + static_cast<size_t>(sy) * stride;
    for (int x = 0; x < w; x++) {
      double sx = std::clamp(x + shift, 0.0, w - 1.0);
      int x0 = static_cast<int>(sx), x1 = std::min(w - 1, x0 + 1);
      double f = sx - x0;
      const double tint[3] = {m.tint.b * 255, m.tint.g * 255, m.tint.r * 255};
      for (int ch = 0; ch < 3; ch++) {
        double v = src[x0 * 4 + ch] * (1 - f) + src[x1 * 4 + ch] * f;
        v = v * keep * (1 - mix) + tint[ch] * mix;
        row[x * 4 + ch] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
      }
      row[x * 4 + 3] = 255;
    }
  }
  cairo_surface_mark_dirty(c.surf);
}

void WaterSheen(cairo_t* cr, double top, double bottom, double lx, Rgb light, double a,
                uint32_t seed) {
  Rand rnd(seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const int n = static_cast<int>((bottom - top) * 1.2);
  for (int i = 0; i < n; i++) {
    double t = rnd.Uniform(), y = top + (bottom - top) * t * t;
    double x = rnd.Range(-20, 660), len = rnd.Range(4, 16) * (0.4 + t);
    // Brighter towards the column under the light.
    double near = std::exp(-std::pow((x - lx) / 160.0, 2));
    cairo_move_to(cr, x - len, y);
    cairo_line_to(cr, x + len, y);
    SetRgb(cr, light, a * (0.15 + 0.6 * near) * (0.5 + 0.5 * t));
    cairo_set_line_width(cr, 0.8 + 1.2 * t);
    cairo_stroke(cr);
  }
}

}  // namespace story

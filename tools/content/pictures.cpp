// The pictures of the title sequence and of a stage.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "content.h"

namespace {
const Rgb kCream = Hex(0xfff4d8), kGold = Hex(0xffc860), kInk = Hex(0x0a0c1c);

void Store8(Output& out, const char* name, Canvas& c) {
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp8(c.surf, true);
  WritePng(out, name, c.surf);
}

void Store24(Output& out, const char* name, Canvas& c) {
  out.files[std::string("grp/") + name + ".bmp"] = EncodeBmp24(c.surf);
  WritePng(out, name, c.surf);
}

void NightSky(cairo_t* cr, double h) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.02, 0.03, 0.10);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.06, 0.10, 0.24);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// Seigaiha (overlapping wave arcs), faint, as the lacquer texture of panels.
void WavePattern(cairo_t* cr, double x, double y, double w, double h, double r, Rgb c, double a) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  for (int row = 0; row * r * 0.5 < h + r; row++) {
    double cy = y + row * r * 0.5;
    double off = (row % 2) ? r : 0;
    for (double cx = x - 2 * r + off; cx < x + w + 2 * r; cx += 2 * r) {
      for (int k = 1; k <= 3; k++) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r * k / 3.0, M_PI, 2 * M_PI);
        SetRgb(cr, c, a);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
      }
    }
  }
  cairo_restore(cr);
}

// A lacquered panel with a thin gold rim.
void Panel(cairo_t* cr, double x, double y, double w, double h, double r) {
  RoundRect(cr, x, y, w, h, r);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.09, 0.10, 0.22);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.05, 0.13);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0xc89a48), 0.9);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  RoundRect(cr, x + 2.5, y + 2.5, w - 5, h - 5, std::max(1.0, r - 2));
  SetRgb(cr, Hex(0xffe0a0), 0.18);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// Dark inset where digits land.
void Inset(cairo_t* cr, double x, double y, double w, double h) {
  RoundRect(cr, x, y, w, h, 4);
  SetRgb(cr, Hex(0x02030a), 0.85);
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0x5a6aa0), 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

TextStyle LabelStyle(double size) {
  TextStyle st;
  st.size = size;
  st.top = kCream;
  st.bottom = kGold;
  st.rim = kInk;
  st.rimWidth = 3;
  st.glow = Hex(0xffb040);
  st.glowAlpha = 0.5;
  st.glowRadius = 5;
  return st;
}

// The chain banners' lettering: pale and soft-edged, no glow.
TextStyle QuietStyle(double size) {
  TextStyle st;
  st.size = size;
  st.top = Hex(0xbcc6da);
  st.bottom = Hex(0x8490ae);
  st.rim = Hex(0x0a1028);
  st.rimWidth = 2;
  st.glowAlpha = 0;
  return st;
}

// Share of the banners' own opacity; the stage draws them translucent again.
constexpr double kBannerAlpha = 0.5;

// A small open ring between the banner words.
void QuietMark(cairo_t* cr, double x, double y) {
  cairo_arc(cr, x, y, 3, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xb8c4dc), 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

// Composes a layer onto the picture at an opacity.
void PaintFaded(Canvas& dst, Canvas& layer, double alpha) {
  cairo_save(dst.cr);
  cairo_set_source_surface(dst.cr, layer.surf, 0, 0);
  cairo_paint_with_alpha(dst.cr, alpha);
  cairo_restore(dst.cr);
}

// A creature's shape in one flat colour: the creature drawn off-screen, its
// body (not its faint halo) kept as a mask.
void Silhouette(cairo_t* cr, int kind, double cx, double cy, double length, Rgb colour,
                double alpha) {
  const int size = static_cast<int>(length * 1.25) + 2;
  Canvas shape(size, size);
  cairo_translate(shape.cr, size / 2.0, size / 2.0);
  cairo_rotate(shape.cr, M_PI / 2);  // head to the right, as the text reads
  DrawCreature(shape.cr, kind, false, 0, 0, length);
  cairo_surface_flush(shape.surf);
  uint8_t* px = cairo_image_surface_get_data(shape.surf);
  const int stride = cairo_image_surface_get_stride(shape.surf);
  for (int y = 0; y < size; y++) {
    for (int x = 0; x < size; x++) {
      uint8_t* p = px + y * stride + 4 * x;
      // The halo stays under a third of full alpha; the body is nearly opaque.
      const int a = std::clamp((p[3] - 120) * 255 / 100, 0, 255);
      p[0] = p[1] = p[2] = 0;
      p[3] = static_cast<uint8_t>(a);
    }
  }
  cairo_surface_mark_dirty(shape.surf);
  cairo_save(cr);
  SetRgb(cr, colour, alpha);
  cairo_mask_surface(cr, shape.surf, cx - size / 2.0, cy - size / 2.0);
  cairo_restore(cr);
}

// A square black lacquer tray with a gold rim, under the bowl.
void LacquerTray(cairo_t* cr, double x, double y, double size) {
  RoundRect(cr, x - 2, y - 2, size + 4, size + 4, 12);
  SetRgb(cr, Hex(0x000000), 0.5);
  cairo_fill(cr);
  RoundRect(cr, x, y, size, size, 10);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + size, y + size);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.13, 0.09, 0.09);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.03, 0.04);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  RoundRect(cr, x + 2.5, y + 2.5, size - 5, size - 5, 8);
  SetRgb(cr, Hex(0xc89a48), 0.7);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

// The vermilion lacquer bowl from above, lit by the moon from the upper
// left: a lip with a gold line, the inner wall, and dark water inside.
void LacquerBowl(cairo_t* cr, double cx, double cy, double r) {
  // Its shadow on the tray.
  cairo_pattern_t* p = cairo_pattern_create_radial(cx + 3, cy + 4, r * 0.9, cx + 3, cy + 4, r + 4);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.6);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx + 3, cy + 4, r + 4, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The lip.
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.86, 0.27, 0.17);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.68, 0.13, 0.10);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.34, 0.05, 0.05);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0x240406));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Moonlight on the lip's upper left.
  cairo_arc(cr, cx, cy, r - 3, M_PI * 1.05, M_PI * 1.45);
  SetRgb(cr, Hex(0xffe0d0), 0.45);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  // Gold crescent painted on the lip, as on the bowl in the story.
  {
    const double a = M_PI * 0.25, mr = 4.2;
    const double mx = cx + (r - 4) * cos(a), my = cy + (r - 4) * sin(a);
    cairo_new_path(cr);
    cairo_arc(cr, mx, my, mr, 0, 2 * M_PI);
    cairo_arc_negative(cr, mx + mr * 0.45, my - mr * 0.3, mr * 0.85, 2 * M_PI, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetRgb(cr, Hex(0xf0c870), 0.9);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  }
  // The inner wall, lit on the far (lower right) side.
  const double wall = r - 8;
  cairo_arc(cr, cx, cy, wall, 0, 2 * M_PI);
  p = cairo_pattern_create_linear(cx - wall, cy - wall, cx + wall, cy + wall);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.04, 0.05);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.74, 0.17, 0.12);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_arc(cr, cx, cy, wall + 0.5, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xd8a850), 0.85);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // The water: deep night blue, the red of the bowl showing at its rim.
  const double water = wall - 7;
  cairo_save(cr);
  cairo_arc(cr, cx, cy, water, 0, 2 * M_PI);
  cairo_clip(cr);
  p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, water);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.10, 0.15, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 0.75, 0.07, 0.10, 0.25);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.22, 0.06, 0.10);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  // The moon's reflection, soft, up and to the left.
  p = cairo_pattern_create_radial(cx - water * 0.35, cy - water * 0.35, 0, cx - water * 0.35,
                                  cy - water * 0.35, water * 0.3);
  cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.95, 0.80, 0.35);
  cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.95, 0.80, 0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  for (int k = 0; k < 3; k++) {
    cairo_arc(cr, cx + 6, cy + 8, 14 + 16 * k, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xc8e0ff), 0.10 - 0.02 * k);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // Where the water meets the wall.
  cairo_arc(cr, cx, cy, water, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x100408), 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

void Background(Canvas& c) {
  NightSky(c.cr, c.h);
  Stars(c.cr, 0, 0, c.w, c.h, 140, 7);
}
}  // namespace

// Shared with the story pictures.
void Stars(cairo_t* cr, double x, double y, double w, double h, int n, uint32_t seed) {
  Rand rnd(seed);
  for (int i = 0; i < n; i++) {
    double sx = x + rnd.Uniform() * w, sy = y + rnd.Uniform() * h;
    double r = rnd.Range(0.4, 1.4), a = rnd.Range(0.3, 1.0);
    cairo_arc(cr, sx, sy, r, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xdfe8ff), a);
    cairo_fill(cr);
    if (r > 1.25) {
      cairo_move_to(cr, sx - 4, sy);
      cairo_line_to(cr, sx + 4, sy);
      cairo_move_to(cr, sx, sy - 4);
      cairo_line_to(cr, sx, sy + 4);
      SetRgb(cr, Hex(0xdfe8ff), a * 0.4);
      cairo_set_line_width(cr, 0.8);
      cairo_stroke(cr);
    }
  }
}

void Firefly(cairo_t* cr, double x, double y, double r, double a) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.75, a);
  cairo_pattern_add_color_stop_rgba(p, 0.25, 0.9, 1, 0.4, a * 0.6);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.6, 0.9, 0.2, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// ---------------------------------------------------------------- title ----
void MakeTitlePictures(Output& out) {
  // g0010: the maker screen's backdrop; logo.bmp is cut from the same
  // picture so the logo fades in without a visible box.
  Canvas bg(640, 480);
  Background(bg);
  Store24(out, "g0010", bg);

  Canvas logo(480, 320);
  cairo_set_source_surface(logo.cr, bg.surf, -80, -80);
  cairo_paint(logo.cr);
  {
    cairo_t* cr = logo.cr;
    // Emblem: a crescent moon ring with the mascot's lantern glow.
    double cx = 240, cy = 118;
    Firefly(cr, cx, cy, 90, 0.25);
    cairo_arc(cr, cx, cy, 58, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xffe6a8), 0.9);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, 50, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x0a1030));
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx - 8, cy, 40, 0, 2 * M_PI);
    cairo_arc_negative(cr, cx + 8, cy - 8, 36, 2 * M_PI, 0);
    SetRgb(cr, Hex(0xffe9b0));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_save(cr);
    cairo_translate(cr, cx - 14, cy - 40);
    cairo_scale(cr, 0.5, 0.5);
    DrawWalker(cr, 0, 0, 0);
    cairo_restore(cr);
    TextStyle st = LabelStyle(56);
    st.face = FONT_LATIN_SERIF;
    st.top = Hex(0xfff8e8);
    st.bottom = Hex(0xf0c070);
    st.glowAlpha = 0.55;
    st.glowRadius = 10;
    FancyText(logo, st, "TAVREN", cx, 246, 0.5);
    TextStyle sub = LabelStyle(18);
    sub.glowAlpha = 0;
    sub.rimWidth = 0;
    sub.top = sub.bottom = Hex(0xb8c4e8);
    FancyText(logo, sub, "タヴレン  ソフトウェア", cx, 280, 0.5);
  }
  Store24(out, "logo", logo);

  // Walkers: tavr00 walks left, tavr01 right; two frames of 125x140 side by
  // side (the picture is 252 wide to keep rows a multiple of 4 bytes).
  for (int dir = 0; dir < 2; dir++) {
    Canvas c(252, 140);
    for (int f = 0; f < 2; f++) {
      cairo_save(c.cr);
      if (dir == 0) {
        cairo_translate(c.cr, 125 * f + 125, 0);
        cairo_scale(c.cr, -1, 1);
      } else {
        cairo_translate(c.cr, 125 * f, 0);
      }
      cairo_rectangle(c.cr, 0, 0, 125, 140);
      cairo_clip(c.cr);
      DrawWalker(c.cr, f, 0, 0);
      cairo_restore(c.cr);
    }
    Store8(out, dir == 0 ? "tavr00" : "tavr01", c);
  }

  // title0000: the title picture.
  Canvas t(640, 480);
  {
    cairo_t* cr = t.cr;
    NightSky(cr, 480);
    Stars(cr, 0, 0, 640, 200, 120, 11);
    // Moon with halo.
    Firefly(cr, 500, 70, 150, 0.22);
    cairo_arc(cr, 500, 70, 34, 0, 2 * M_PI);
    cairo_pattern_t* p = cairo_pattern_create_radial(490, 60, 4, 500, 70, 34);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.99, 0.92);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.95, 0.88, 0.66);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Far shore: layered hills and reeds.
    cairo_move_to(cr, 0, 196);
    for (int x = 0; x <= 640; x += 16)
      cairo_line_to(cr, x, 186 - 18 * sin(x * 0.011) - 8 * sin(x * 0.037 + 1));
    cairo_line_to(cr, 640, 230);
    cairo_line_to(cr, 0, 230);
    SetRgb(cr, Hex(0x0b1630));
    cairo_fill(cr);
    cairo_move_to(cr, 0, 214);
    for (int x = 0; x <= 640; x += 8)
      cairo_line_to(cr, x, 206 - 6 * sin(x * 0.05) - 4 * sin(x * 0.13));
    cairo_line_to(cr, 640, 230);
    cairo_line_to(cr, 0, 230);
    SetRgb(cr, Hex(0x060c1c));
    cairo_fill(cr);
    // The pond.
    DrawWater(cr, 0, 212, 640, 268, 21, false);
    // Moon's reflection: broken, wavering dashes that widen toward the viewer.
    Rand rnd(5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 40; i++) {
      double depth = i / 40.0;
      double y = 218 + 262 * depth * depth + rnd.Range(-1.5, 1.5);
      double half = 8 + 60 * depth;
      double x = 500 + rnd.Range(-half, half) * 0.6;
      double len = rnd.Range(0.3, 1.0) * half;
      cairo_move_to(cr, x - len, y);
      cairo_curve_to(cr, x - len / 3, y - 1.5, x + len / 3, y + 1.5, x + len, y);
      SetRgb(cr, Hex(0xfff0c8), 0.55 - depth * 0.4);
      cairo_set_line_width(cr, 1.5 + 2.5 * depth);
      cairo_stroke(cr);
    }
    // Reeds at both sides in silhouette.
    for (int side = 0; side < 2; side++) {
      for (int i = 0; i < 14; i++) {
        double bx = side ? 640 - rnd.Range(0, 90) : rnd.Range(0, 90);
        double top = rnd.Range(250, 360), lean = rnd.Range(-20, 20);
        cairo_move_to(cr, bx, 480);
        cairo_curve_to(cr, bx, 420, bx + lean * 0.5, top + 40, bx + lean, top);
        SetRgb(cr, Hex(0x040812));
        cairo_set_line_width(cr, rnd.Range(2, 4));
        cairo_stroke(cr);
        if (i % 3 == 0) {
          cairo_save(cr);
          cairo_translate(cr, bx + lean, top);
          cairo_scale(cr, 4, 14);
          cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
          cairo_restore(cr);
          SetRgb(cr, Hex(0x1a1008));
          cairo_fill(cr);
        }
      }
    }
    // Creatures under the water, blurred a little.
    {
      Canvas sub(640, 480);
      DrawCreature(sub.cr, 0, false, 120, 300, 70);
      cairo_save(sub.cr);
      cairo_translate(sub.cr, 560, 400);
      cairo_rotate(sub.cr, 2.2);
      DrawCreature(sub.cr, 2, false, 0, 0, 64);
      cairo_restore(sub.cr);
      cairo_save(sub.cr);
      cairo_translate(sub.cr, 150, 430);
      cairo_rotate(sub.cr, -0.7);
      DrawCreature(sub.cr, 1, false, 0, 0, 60);
      cairo_restore(sub.cr);
      Blur(sub.surf, 2);
      cairo_set_source_surface(cr, sub.surf, 0, 0);
      cairo_paint_with_alpha(cr, 0.8);
    }
    // Fireflies.
    for (int i = 0; i < 22; i++) {
      double fx = rnd.Range(20, 620), fy = rnd.Range(150, 470);
      if (fx > 180 && fx < 460 && fy > 270) continue;  // keep the menu clear
      Firefly(cr, fx, fy, rnd.Range(5, 12), rnd.Range(0.5, 0.95));
    }
    // Title lettering.
    TextStyle big = LabelStyle(76);
    big.face = FONT_LATIN_SERIF;
    big.top = Hex(0xfffcf0);
    big.bottom = Hex(0xffc868);
    big.rimWidth = 5;
    big.glow = Hex(0x80c8ff);
    big.glowAlpha = 0.75;
    big.glowRadius = 14;
    FancyText(t, big, "ZENTROVA", 320, 160, 0.5);
    TextStyle kana = LabelStyle(24);
    kana.face = FONT_MINCHO;
    kana.top = kana.bottom = Hex(0xd8e6ff);
    kana.glow = Hex(0x4080ff);
    FancyText(t, kana, "〜 月夜の池の すくいもの 〜", 320, 202, 0.5);
    TextStyle copy = LabelStyle(12);
    copy.glowAlpha = 0;
    copy.rimWidth = 2;
    copy.top = copy.bottom = Hex(0x9aa8d0);
    FancyText(t, copy, "© TAVREN", 320, 468, 0.5);
  }
  Store24(out, "title0000", t);

  // title0001: the three menu items on translucent bands.
  {
    Canvas c(232, 120);
    const char* items[3] = {"ゲームスタート", "ギャラリー", "ゲーム終了"};
    for (int j = 0; j < 3; j++) {
      double y = 40 * j;
      cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 232, 0);
      cairo_pattern_add_color_stop_rgba(p, 0, 0.02, 0.05, 0.14, 0);
      cairo_pattern_add_color_stop_rgba(p, 0.2, 0.02, 0.05, 0.14, 0.7);
      cairo_pattern_add_color_stop_rgba(p, 0.8, 0.02, 0.05, 0.14, 0.7);
      cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.05, 0.14, 0);
      cairo_rectangle(c.cr, 0, y + 5, 232, 30);
      cairo_set_source(c.cr, p);
      cairo_fill(c.cr);
      cairo_pattern_destroy(p);
      for (int k = 0; k < 2; k++) {
        cairo_move_to(c.cr, 30, y + 5.5 + 29 * k);
        cairo_line_to(c.cr, 202, y + 5.5 + 29 * k);
      }
      SetRgb(c.cr, Hex(0xa0b8e0), 0.35);
      cairo_set_line_width(c.cr, 1);
      cairo_stroke(c.cr);
      // Pale text so the hover tint (green raised) reads clearly.
      TextStyle st = LabelStyle(21);
      st.top = Hex(0xe4ecf8);
      st.bottom = Hex(0xa8b8d8);
      st.glow = Hex(0x6090ff);
      st.glowAlpha = 0.45;
      FancyText(c, st, items[j], 116, y + 28, 0.5);
    }
    Store8(out, "title0001", c);
  }

  // title1000: the ranking heading (drawn at x 32).
  {
    Canvas c(576, 56);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 576, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.8, 0.6, 0.3, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.8, 0.4, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.6, 0.3, 0);
    cairo_rectangle(c.cr, 0, 50, 576, 2);
    cairo_set_source(c.cr, p);
    cairo_fill(c.cr);
    cairo_pattern_destroy(p);
    TextStyle st = LabelStyle(34);
    st.face = FONT_MINCHO;
    st.glowRadius = 8;
    FancyText(c, st, "ランキング", 288, 40, 0.5);
    TextStyle en = LabelStyle(13);
    en.glowAlpha = 0;
    en.rimWidth = 2;
    en.top = en.bottom = Hex(0xb8c8f0);
    FancyText(c, en, "BEST TEN", 470, 40, 0.5);
    FancyText(c, en, "月夜の記録", 106, 40, 0.5);
    Store8(out, "title1000", c);
  }

  // title1001: column headings, 84x28 rows.
  {
    Canvas c(84, 112);
    const char* heads[4] = {"順位", "得点", "クリック", "連鎖"};
    for (int j = 0; j < 4; j++) {
      RoundRect(c.cr, 2, 28 * j + 3, 80, 22, 11);
      SetRgb(c.cr, Hex(0x101a40), 0.8);
      cairo_fill_preserve(c.cr);
      SetRgb(c.cr, Hex(0xc89a48), 0.9);
      cairo_set_line_width(c.cr, 1.2);
      cairo_stroke(c.cr);
      TextStyle st = LabelStyle(15);
      st.glowAlpha = 0;
      st.rimWidth = 2;
      FancyText(c, st, heads[j], 42, 28 * j + 20, 0.5);
    }
    Store8(out, "title1001", c);
  }

  // title1002: ranking digits, 28x32 cells.
  {
    Canvas c(280, 32);
    for (int d = 0; d < 10; d++) {
      char s[2] = {static_cast<char>('0' + d), 0};
      TextStyle st = LabelStyle(29);
      st.face = FONT_LATIN_SANS;
      st.glowAlpha = 0.35;
      st.glowRadius = 3;
      st.rimWidth = 3.5;
      FancyText(c, st, s, 28 * d + 14, 27, 0.5);
    }
    Store8(out, "title1002", c);
  }
}

// ---------------------------------------------------------------- stage ----
void MakeStagePictures(Output& out) {
  // sys1000: the play screen.
  Canvas s(640, 480);
  {
    cairo_t* cr = s.cr;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 480);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.05, 0.06, 0.15);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.04, 0.10);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    WavePattern(cr, 0, 0, 640, 480, 16, Hex(0x6080d0), 0.10);
    // Pond frame: a dark wooden rim with a gold inner line.
    RoundRect(cr, 6, 22, 452, 452, 10);
    p = cairo_pattern_create_linear(6, 22, 458, 474);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.20, 0.13);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.14, 0.08, 0.05);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    for (int k = 0; k < 6; k++) {  // wood grain
      RoundRect(cr, 8 + k * 1.3, 24 + k * 1.3, 448 - k * 2.6, 448 - k * 2.6, 9);
      SetRgb(cr, Hex(0x000000), 0.08 + 0.02 * (k % 2));
      cairo_set_line_width(cr, 0.7);
      cairo_stroke(cr);
    }
    DrawWater(cr, 16, 32, 432, 432, 3, true);
    // Inner shadow so the water sits below the rim.
    for (int k = 0; k < 6; k++) {
      cairo_rectangle(cr, 16 + k, 32 + k, 432 - 2 * k, 432 - 2 * k);
      SetRgb(cr, Hex(0x000008), 0.16 - k * 0.025);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
    cairo_rectangle(cr, 14.5, 30.5, 435, 435);
    SetRgb(cr, Hex(0xd8a850), 0.85);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    // Name plate on the top rim.
    TextStyle name = LabelStyle(13);
    name.glowAlpha = 0.3;
    name.rimWidth = 2;
    FancyText(s, name, "月夜の池", 232, 18, 0.5);
    TextStyle top = LabelStyle(16);
    top.face = FONT_LATIN_SERIF;
    top.glow = Hex(0x80c8ff);
    FancyText(s, top, "ZENTROVA", 544, 22, 0.5);

    // Counter panels; the digits land at x 519/536/553 .. 621, y 38/70/102.
    const char* labels[3] = {"得点", "クリック", "最大連鎖"};
    const double digitX[3] = {519, 536, 553};
    for (int k = 0; k < 3; k++) {
      double y = 34 + 32 * k;
      Panel(cr, 464, y, 160, 30, 6);
      Inset(cr, digitX[k] - 3, y + 2, 625 - digitX[k] + 1 - 4, 26);
      TextStyle st = LabelStyle(k == 0 ? 15 : 12.5);
      st.glowAlpha = 0.25;
      st.rimWidth = 2.5;
      FancyText(s, st, labels[k], 469, y + 21, 0);
    }
    // The kind that continues the chain: a 112x112 creature at (488, 164).
    Panel(cr, 464, 136, 160, 160, 8);
    {
      cairo_arc(cr, 544, 220, 62, 0, 2 * M_PI);
      cairo_pattern_t* g = cairo_pattern_create_radial(544, 220, 4, 544, 220, 62);
      cairo_pattern_add_color_stop_rgba(g, 0, 0.15, 0.3, 0.55, 0.6);
      cairo_pattern_add_color_stop_rgba(g, 1, 0.05, 0.1, 0.25, 0.2);
      cairo_set_source(cr, g);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      cairo_arc(cr, 544, 220, 62, 0, 2 * M_PI);
      SetRgb(cr, Hex(0x9ab8e8), 0.35);
      cairo_set_line_width(cr, 1);
      const double dash[2] = {3, 4};
      cairo_set_dash(cr, dash, 2, 0);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
      TextStyle st = LabelStyle(13);
      st.glowAlpha = 0.25;
      st.rimWidth = 2.5;
      FancyText(s, st, "つぎは これ！", 544, 155, 0.5);
    }
    // The bowl: the story's vermilion lacquer bowl seen from above, on a
    // black lacquer tray that marks the whole catch area 464..623 x 304..463.
    LacquerTray(cr, 464, 304, 160);
    LacquerBowl(cr, 544, 384, 76);
    TextStyle st = LabelStyle(12);
    st.face = FONT_MINCHO;
    st.glowAlpha = 0;
    st.rimWidth = 2;
    st.top = st.bottom = Hex(0xd8b070);
    FancyText(s, st, "器", 618, 459, 1);
  }
  Store24(out, "sys1000", s);

  // char000: three kinds, row 0 swimming, row 1 held, 112x112 cells.
  {
    Canvas c(336, 224);
    for (int row = 0; row < 2; row++)
      for (int kind = 0; kind < 3; kind++)
        DrawCreature(c.cr, kind, row == 1, 112 * kind + 56, 112 * row + 56, 100);
    Store8(out, "char000", c);
  }

  // sys0000: digits 0-9 in 17x24 cells (180 wide: rows stay a multiple of 4).
  {
    Canvas c(180, 24);
    for (int d = 0; d < 10; d++) {
      char str[2] = {static_cast<char>('0' + d), 0};
      TextStyle st = LabelStyle(21);
      st.face = FONT_LATIN_SANS;
      st.glowAlpha = 0;
      st.rimWidth = 3;
      cairo_save(c.cr);
      cairo_rectangle(c.cr, 17 * d, 0, 17, 24);
      cairo_clip(c.cr);
      cairo_translate(c.cr, 17 * d + 8.5, 0);
      cairo_scale(c.cr, 0.86, 1);
      cairo_translate(c.cr, -(17 * d + 8.5), 0);
      FancyText(c, st, str, 17 * d + 8.5, 20.5, 0.5);
      cairo_restore(c.cr);
    }
    Store8(out, "sys0000", c);
  }

  // sys0001: effect labels 120x32: caught, dropped, delivered, missed.
  {
    Canvas c(120, 128);
    const char* text[4] = {"つかまえた", "おとした", "いれた！", "からぶり"};
    const uint32_t top[4] = {0xfff8c0, 0xd8ecff, 0xffe0f0, 0xe0e0e8};
    const uint32_t bot[4] = {0xffa830, 0x6aa8ff, 0xff6ab0, 0x9098b0};
    const uint32_t glow[4] = {0xff9020, 0x3070ff, 0xff4090, 0x606880};
    for (int k = 0; k < 4; k++) {
      TextStyle st = LabelStyle(k == 2 ? 22 : 20);
      st.top = Hex(top[k]);
      st.bottom = Hex(bot[k]);
      st.glow = Hex(glow[k]);
      st.glowAlpha = 0.6;
      st.glowRadius = 4;
      FancyText(c, st, text[k], 60, 32 * k + 24, 0.5);
    }
    Store8(out, "sys0001", c);
  }

  // sys0002: chain and multi-catch labels, 216x24; the numbers are drawn
  // right of the text (chain digits from x 182, multi-catch from x 202).
  {
    Canvas c(216, 48);
    TextStyle st = LabelStyle(20);
    st.top = Hex(0xfffff0);
    st.bottom = Hex(0xffb838);
    st.glow = Hex(0xff7020);
    st.glowAlpha = 0.7;
    FancyText(c, st, "れんさ  ×", 176, 20, 1);
    st.bottom = Hex(0x7ad0ff);
    st.glow = Hex(0x2080ff);
    FancyText(c, st, "まとめどり  ×", 198, 44, 1);
    Store8(out, "sys0002", c);
  }

  // sys0003: the stage-clear banner, 512x64, centred on (320, 128) in play.
  {
    Canvas c(512, 64);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 512, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.05, 0.08, 0.25, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.15, 0.05, 0.08, 0.25, 0.8);
    cairo_pattern_add_color_stop_rgba(p, 0.85, 0.05, 0.08, 0.25, 0.8);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.05, 0.08, 0.25, 0);
    cairo_rectangle(c.cr, 0, 8, 512, 48);
    cairo_set_source(c.cr, p);
    cairo_fill(c.cr);
    cairo_pattern_destroy(p);
    for (int k = 0; k < 2; k++) {
      p = cairo_pattern_create_linear(0, 0, 512, 0);
      cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.8, 0.4, 0);
      cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.85, 0.5, 1);
      cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.8, 0.4, 0);
      cairo_rectangle(c.cr, 0, 8 + 46 * k, 512, 2);
      cairo_set_source(c.cr, p);
      cairo_fill(c.cr);
      cairo_pattern_destroy(p);
    }
    TextStyle st = LabelStyle(38);
    st.face = FONT_MINCHO;
    st.top = Hex(0xffffff);
    st.bottom = Hex(0xffc040);
    st.glowAlpha = 0.8;
    st.glowRadius = 8;
    st.rimWidth = 4;
    FancyText(c, st, "ステージクリア！", 256, 46, 0.5);
    for (int k = 0; k < 2; k++) {
      double x = k ? 452 : 60;
      Firefly(c.cr, x, 32, 14, 0.9);
    }
    Store8(out, "sys0003", c);
  }

  // sys0010 / sys0011: chain banners scrolling across the pond, seamless
  // horizontal strips 432 wide (three repeats of 144). They sit behind the
  // creatures and must never outshine them: pale moonlit lettering without
  // glow, drawn at part opacity.
  {
    Canvas a(432, 24), b(432, 24);
    {
      Canvas la(432, 24), lb(432, 24);
      for (int rep = 0; rep < 3; rep++) {
        double x0 = 144 * rep;
        TextStyle st = QuietStyle(16);
        st.face = FONT_LATIN_SERIF;
        st.top = Hex(0xccc6b2);
        st.bottom = Hex(0x98927e);
        FancyText(la, st, "CHAIN", x0 + 56, 18, 0.5);
        QuietMark(la.cr, x0 + 122, 12);
        TextStyle jp = QuietStyle(15);
        FancyText(lb, jp, "れんさ中", x0 + 60, 18, 0.5);
        QuietMark(lb.cr, x0 + 128, 12);
      }
      PaintFaded(a, la, kBannerAlpha);
      PaintFaded(b, lb, kBannerAlpha);
    }
    Store8(out, "sys0010", a);
    Store8(out, "sys0011", b);
  }

  // sys0012: one 276x24 row per kind that continues the chain; the kind is
  // shown as a silhouette, so nothing in the banner reads as a creature.
  {
    Canvas c(276, 72);
    Canvas l(276, 72);
    const char* names[3] = {"金魚", "かえる", "かめ"};
    // The name keeps a hint of its kind's colour, washed out.
    const uint32_t hue[3] = {0xe8c4a8, 0xc8dcb0, 0xb8c8e4};
    const double icon = 30, gap = 6;
    for (int k = 0; k < 3; k++) {
      double y = 24 * k;
      TextStyle st = QuietStyle(15);
      TextStyle nm = QuietStyle(16);
      nm.top = Hex(hue[k]);
      nm.bottom = Rgb{nm.top.r * 0.82, nm.top.g * 0.82, nm.top.b * 0.82};
      SelectFont(l.cr, st.face, st.size, st.bold);
      const double w1 = TextWidth(l.cr, "つぎは"), w3 = TextWidth(l.cr, "で れんさ！");
      SelectFont(l.cr, nm.face, nm.size, nm.bold);
      const double w2 = TextWidth(l.cr, names[k]);
      double x = (276 - (w1 + gap + icon + gap + w2 + gap + w3)) / 2;
      FancyText(l, st, "つぎは", x, y + 18, 0);
      x += w1 + gap;
      Silhouette(l.cr, k, x + icon / 2, y + 12, 34, Hex(0x8c9ab8), 0.85);
      x += icon + gap;
      FancyText(l, nm, names[k], x, y + 18, 0);
      x += w2 + gap;
      FancyText(l, st, "で れんさ！", x, y + 18, 0);
    }
    PaintFaded(c, l, kBannerAlpha);
    Store8(out, "sys0012", c);
  }
}

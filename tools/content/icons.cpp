// The program's icon (window and desktop) and its mouse cursor, the desktop
// entry, and the manual with its pictures.
#include <cmath>
#include <cstdio>

#include "content.h"
#include "pack.h"

namespace {
cairo_status_t AppendPng(void* closure, const unsigned char* data, unsigned int length) {
  Bytes* b = static_cast<Bytes*>(closure);
  b->insert(b->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// A round badge of moonlit water holding a goldfish.
void DrawIcon(Canvas& c) {
  cairo_t* cr = c.cr;
  double s = c.w, r = s / 2 - std::max(0.5, s / 64);
  cairo_arc(cr, s / 2, s / 2, r, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(s * 0.62, s * 0.3, s * 0.05, s / 2, s / 2, r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.25, 0.5, 0.75);
  cairo_pattern_add_color_stop_rgb(p, 0.6, 0.06, 0.2, 0.38);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.08, 0.22);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0xe8b860));
  cairo_set_line_width(cr, std::max(1.0, s / 24));
  cairo_stroke(cr);
  if (s >= 32) {
    for (int k = 0; k < 2; k++) {
      cairo_save(cr);
      cairo_translate(cr, s * 0.5, s * 0.58);
      cairo_scale(cr, 1, 0.5);
      cairo_arc(cr, 0, 0, s * (0.22 + 0.1 * k), 0, 2 * M_PI);
      cairo_restore(cr);
      SetRgb(cr, Hex(0xbfe4ff), 0.25);
      cairo_set_line_width(cr, std::max(1.0, s / 64));
      cairo_stroke(cr);
    }
  }
  cairo_save(cr);
  cairo_translate(cr, s / 2, s / 2);
  cairo_rotate(cr, 0.6);
  DrawCreature(cr, 0, false, 0, 0, s * 0.82);
  cairo_restore(cr);
}

// The scoop: a paper-covered ring on a handle; the hot spot is the ring's
// centre at (11, 11).
void DrawCursor(Canvas& c) {
  cairo_t* cr = c.cr;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // Flat plastic handle, wider toward the grip.
  cairo_move_to(cr, 17.5, 16.0);
  cairo_line_to(cr, 29.5, 27.0);
  cairo_line_to(cr, 27.0, 29.5);
  cairo_line_to(cr, 16.0, 17.5);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xf06080));
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0x2a0c18));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // Wet paper stretched in the frame.
  cairo_arc(cr, 11, 11, 9, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_linear(4, 4, 18, 18);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.85);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.9, 1, 0.6);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0x2a0c18));
  cairo_set_line_width(cr, 4);
  cairo_stroke_preserve(cr);
  SetRgb(cr, Hex(0xf06080));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // A wet streak and the aim point.
  cairo_move_to(cr, 6.5, 13);
  cairo_curve_to(cr, 8, 15.5, 11, 16.5, 14, 15.5);
  SetRgb(cr, Hex(0x80a8d8), 0.7);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_arc(cr, 11, 11, 1.3, 0, 2 * M_PI);
  SetRgb(cr, Hex(0x2040a0));
  cairo_fill(cr);
}
}  // namespace

Bytes EncodePng(cairo_surface_t* s) {
  Bytes b;
  cairo_surface_write_to_png_stream(s, AppendPng, &b);
  return b;
}

void MakeIcons(Output& out) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    Canvas c(size, size);
    DrawIcon(c);
    char name[96];
    snprintf(name, sizeof name, "icons/hicolor/%dx%d/apps/zentrova.png", size, size);
    out.files[name] = EncodePng(c.surf);
    if (size == 64) {
      out.files["res/icon.png"] = EncodePng(c.surf);
      WritePng(out, "icon", c.surf);
    }
  }
  Canvas cur(32, 32);
  DrawCursor(cur);
  out.files["res/cursor.png"] = EncodePng(cur.surf);
  WritePng(out, "cursor", cur.surf);
  std::string desk;
  if (ReadText(out.sourceDir + "/icons/zentrova.desktop", desk))
    out.files["zentrova.desktop"] = Bytes(desk.begin(), desk.end());
}

void MakeManual(Output& out) {
  std::string html;
  if (!ReadText(out.sourceDir + "/manual/manual.html", html)) {
    fprintf(stderr, "zentrova-content: cannot read %s/manual/manual.html\n", out.sourceDir.c_str());
    out.failed = true;
    return;
  }
  out.files["manual/manual.html"] = Bytes(html.begin(), html.end());
  std::string css;
  if (ReadText(out.sourceDir + "/manual/manual.css", css))
    out.files["manual/manual.css"] = Bytes(css.begin(), css.end());
  // Pictures for the page: the three kinds and a play screen.
  Canvas kinds(360, 120);
  for (int k = 0; k < 3; k++) DrawCreature(kinds.cr, k, false, 60 + 120 * k, 60, 104);
  out.files["manual/kinds.png"] = EncodePng(kinds.surf);
  cairo_surface_t* screen = ComposeStage(out, false);
  out.files["manual/screen.png"] = EncodePng(screen);
  cairo_surface_destroy(screen);
  Canvas cur(64, 64);
  cairo_scale(cur.cr, 2, 2);
  DrawCursor(cur);
  out.files["manual/scoop.png"] = EncodePng(cur.surf);
}

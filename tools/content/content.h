// Shared declarations of the content generator: drawing helpers, picture
// writers, sound and music rendering, and the output file list.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Everything the generator produces, keyed by the path below the data
// directory ("grp/sys1000.bmp", "bgm/bgm_001.ogg", ...). std::map keeps the
// order stable, so archives come out byte-identical from run to run.
struct Output {
  std::map<std::string, Bytes> files;
  std::string previewDir;  // empty: no previews
  std::string sourceDir;   // the content/ directory
  bool music = true;
  bool failed = false;  // a source could not be read or parsed
};

// ---- drawing -------------------------------------------------------------
struct Canvas {
  Canvas(int w, int h);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  cairo_surface_t* surf;
  cairo_t* cr;
  int w, h;
};

struct Rgb {
  double r, g, b;
};
Rgb Hex(uint32_t rgb);
void SetRgb(cairo_t* cr, Rgb c, double a = 1.0);
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Box blur (three passes) of a premultiplied ARGB surface, in place.
void Blur(cairo_surface_t* s, int radius);

enum FontFace { FONT_GOTHIC, FONT_MINCHO, FONT_LATIN_SERIF, FONT_LATIN_SANS };
void SelectFont(cairo_t* cr, FontFace face, double size, bool bold = false);
// Width of a UTF-8 string in the current font.
double TextWidth(cairo_t* cr, const char* utf8);
// Adds the text path with its baseline-left at (x, y); align 0 left, 0.5 centre, 1 right.
void TextPath(cairo_t* cr, const char* utf8, double x, double y, double align = 0.0);
// Text with a soft coloured glow, a dark rim and a vertical fill gradient.
struct TextStyle {
  FontFace face = FONT_GOTHIC;
  double size = 20;
  bool bold = true;
  Rgb top{1, 1, 1}, bottom{0.8, 0.8, 0.8};
  Rgb rim{0.05, 0.05, 0.12};
  double rimWidth = 3;
  Rgb glow{1, 0.8, 0.4};
  double glowAlpha = 0.0;
  int glowRadius = 4;
};
void FancyText(Canvas& c, const TextStyle& st, const char* utf8, double x, double y,
               double align = 0.0);

// ---- picture files -------------------------------------------------------
// 24-bit BMP of the surface composed over black.
Bytes EncodeBmp24(cairo_surface_t* s);
// 8-bit BMP with a palette quantised from the surface; with alpha the file
// carries the alpha plane after its pixels (reserved word 1). Index 0 is the
// fully transparent colour, black; no visible pixel uses pure black.
Bytes EncodeBmp8(cairo_surface_t* s, bool alpha);
void WritePng(const Output& out, const std::string& name, cairo_surface_t* s);
Bytes EncodePng(cairo_surface_t* s);

// ---- generators ----------------------------------------------------------
void MakeTitlePictures(Output& out);
void MakeStagePictures(Output& out);
void MakeIcons(Output& out);
void MakeSoundEffects(Output& out);
void MakeMusic(Output& out);
void MakeManual(Output& out);
// content/story/sNNNN.txt (UTF-8) as "SCR/sNNNN.txt" in Shift-JIS.
void MakeStoryScripts(Output& out);

// Creature painter shared by the stage, icons and the manual pictures:
// kind 0..2, held pose or swimming, centred at (cx, cy), length in pixels
// of the body's long axis, pointing up.
void DrawCreature(cairo_t* cr, int kind, bool held, double cx, double cy, double length);
// The maker's walking mascot, facing right, frame 0/1, in a 125x140 cell.
void DrawWalker(cairo_t* cr, int frame, double ox, double oy);
// Night water: gradient, ripples, moon glints, a few lily pads.
void DrawWater(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, bool pads);

// A field of small stars (a few with cross glints) inside the rectangle.
void Stars(cairo_t* cr, double x, double y, double w, double h, int n, uint32_t seed);
// A soft round yellow-green glow of radius r, strength a.
void Firefly(cairo_t* cr, double x, double y, double r, double a);
// The story scenes' backgrounds, event pictures, thumbnails, the wipe
// pattern and the message-window frame.
void MakeStoryPictures(Output& out);

// 8-bit BMP of grey levels with the fixed palette i -> (i, i, i), no alpha.
Bytes EncodeGrey8(const std::vector<uint8_t>& grey, int w, int h);

// Deterministic small random generator for the pictures.
struct Rand {
  uint32_t s;
  explicit Rand(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  double Uniform() { return (Next() >> 8) / 16777216.0; }
  double Range(double a, double b) { return a + (b - a) * Uniform(); }
};

// Helpers for writing little-endian fields.
void Put16(Bytes& b, uint16_t v);
void Put32(Bytes& b, uint32_t v);
bool WriteFile(const std::string& path, const Bytes& data);
bool ReadText(const std::string& path, std::string& text);

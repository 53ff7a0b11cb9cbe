// Drawing shared by the menu bar and the message boxes and dialogs: text with
// the glyph rasterizer and the flat and bevelled shapes of a classic desktop.
// Pixels are 0xAARRGGBB, images width x height, everything clipped to them.
#pragma once
#include <cstdint>

namespace wgt {

constexpr int kFontSize = 12;

constexpr uint32_t kFace = 0xFFD4D0C8;
constexpr uint32_t kHighlight = 0xFF0A246A;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kShadow = 0xFF808080;
constexpr uint32_t kDarkShadow = 0xFF404040;

// One code point from UTF-8, advancing s (U+FFFD for a broken sequence).
uint32_t DecodeUtf8(const char*& s);
// Width in pixels of text at the font size.
int TextWidth(const char* text);
// Draws text in colour with its cell's top-left at (x, y).
void DrawText(uint32_t* img, int iw, int ih, int x, int y, const char* text, uint32_t color);
void Fill(uint32_t* img, int iw, int ih, int x, int y, int w, int h, uint32_t color);
// A one-pixel frame: light on the top and left edges, dark on the others.
void Frame(uint32_t* img, int iw, int ih, int x, int y, int w, int h, uint32_t light,
           uint32_t dark);
// The two-pixel raised edge of a panel or button.
void RaisedEdge(uint32_t* img, int iw, int ih, int x, int y, int w, int h);
// A dotted focus rectangle.
void FocusFrame(uint32_t* img, int iw, int ih, int x, int y, int w, int h);

}  // namespace wgt

// Message boxes and dialogs drawn inside the window, with the menu bar's
// look: a raised frame, a dark caption strip, the glyph rasterizer's text and
// buttons whose default is marked by a black outline. Focus moves with Tab and
// the arrow keys; Enter chooses the focused button (the default while the
// focus is on the check box), Space the focused control, Escape the escape
// result; the mouse presses a button and chooses it when released over it.
#include "platform/dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/plt_glyph.h"
#include "platform/plt_types.h"
#include "platform/widgets.h"

namespace {

using namespace wgt;

constexpr int kBorder = 3;
constexpr int kCaptionH = 18;
constexpr int kPad = 12;
constexpr int kIconSize = 32;
constexpr int kLineH = 16;
constexpr int kMaxTextW = 420;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 8;
constexpr int kCheckRowH = 18;
constexpr int kCheckBox = 13;
constexpr int kMaxButtons = 4;
constexpr int kSliderRowH = 22;
constexpr int kSliderTrackW = 200;
constexpr int kSliderThumbW = 9;
constexpr int kSliderStep = 5;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct DialogState {
  bool open = false;
  bool dirty = false;
  int result = 0;
  int checked = 0;
  std::string caption;
  std::vector<std::string> lines;
  int icon = DLG_ICON_NONE;
  std::vector<uint8_t> picture;
  int pictureW = 0, pictureH = 0;
  int buttonIds[kMaxButtons] = {};
  std::string labels[kMaxButtons];
  int buttonCount = 0;
  int defaultButton = 0;
  int escapeResult = PLT_IDCANCEL;
  bool hasCheck = false;
  std::string checkCaption;
  int sliderCount = 0;
  std::string sliderCaptions[DLG_MAX_SLIDERS];
  int sliderValues[DLG_MAX_SLIDERS] = {};
  int focus = 0;     // button index, -1 for the check box, DLG_FOCUS_SLIDER0 + i
  int pressed = -2;  // control the left button went down on (-2 none)
  bool pressedInside = false;
  Rect box, iconRect, textRect, check;
  Rect buttons[kMaxButtons];
  Rect sliderRows[DLG_MAX_SLIDERS], sliderTracks[DLG_MAX_SLIDERS];
};

DialogState g_dlg;

// Breaks text into lines at '\n' and where a line would pass maxW; a line
// with a space breaks after its last word that fits, others between any two
// characters (Japanese text has no spaces).
std::vector<std::string> Wrap(const char* text, int maxW) {
  std::vector<std::string> out;
  std::string line;
  int width = 0;
  size_t lastSpace = std::string::npos;
  for (const char* s = text ? text : ""; *s;) {
    const char* start = s;
    uint32_t cp = DecodeUtf8(s);
    if (cp == '\n') {
      out.push_back(line);
      line.clear();
      width = 0;
      lastSpace = std::string::npos;
      continue;
    }
    std::string ch(start, s);
    int cw = TextWidth(ch.c_str());
    if (width + cw > maxW && !line.empty()) {
      if (lastSpace != std::string::npos && cp != ' ') {
        std::string rest = line.substr(lastSpace + 1);
        line.erase(lastSpace);
        out.push_back(line);
        line = rest;
      } else {
        out.push_back(line);
        line.clear();
      }
      width = TextWidth(line.c_str());
      lastSpace = std::string::npos;
      if (cp == ' ') continue;
    }
    if (cp == ' ') lastSpace = line.size();
    line += ch;
    width += cw;
  }
  if (!line.empty() || out.empty()) out.push_back(line);
  return out;
}

void Layout(int windowW, int windowH) {
  DialogState& d = g_dlg;
  int textW = 0;
  for (const std::string& l : d.lines) textW = std::max(textW, TextWidth(l.c_str()));
  int textH = static_cast<int>(d.lines.size()) * kLineH;
  bool icon = d.icon != DLG_ICON_NONE;
  int iconW = icon ? kIconSize + kPad : 0;
  int checkW = d.hasCheck ? kCheckBox + 6 + TextWidth(d.checkCaption.c_str()) : 0;
  int bw[kMaxButtons];
  int rowW = 0;
  for (int i = 0; i < d.buttonCount; ++i) {
    bw[i] = std::max(kButtonW, TextWidth(d.labels[i].c_str()) + 24);
    rowW += bw[i] + (i ? kButtonGap : 0);
  }
  int labelW = 0;
  for (int i = 0; i < d.sliderCount; ++i)
    labelW = std::max(labelW, TextWidth(d.sliderCaptions[i].c_str()));
  const int valueW = TextWidth("100%");
  int sliderW = d.sliderCount ? labelW + 8 + kSliderTrackW + 8 + valueW : 0;
  int contentW =
      std::max({iconW + textW, checkW, rowW, sliderW, TextWidth(d.caption.c_str()) + 24, 200});
  int bodyH = std::max(textH, icon ? kIconSize : 0);
  int slidersH = d.sliderCount ? kPad + d.sliderCount * kSliderRowH : 0;
  int w = 2 * kBorder + 2 * kPad + contentW;
  int h = kBorder + kCaptionH + kPad + bodyH + slidersH + (d.hasCheck ? kPad + kCheckRowH : 0) +
          kPad + kButtonH + kPad + kBorder;
  w = std::min(w, std::max(windowW, 1));
  d.box = Rect{std::max((windowW - w) / 2, 0), std::max((windowH - h) / 2, 0), w, h};
  int top = d.box.y + kBorder + kCaptionH + kPad;
  int left = d.box.x + kBorder + kPad;
  d.iconRect = Rect{left, top + std::max(0, (textH - kIconSize) / 2), icon ? kIconSize : 0,
                    icon ? kIconSize : 0};
  d.textRect = Rect{left + iconW, top + std::max(0, (bodyH - textH) / 2), textW, textH};
  int y = top + bodyH + kPad;
  for (int i = 0; i < d.sliderCount; ++i) {
    d.sliderRows[i] = Rect{left, y, sliderW, kSliderRowH};
    d.sliderTracks[i] = Rect{left + labelW + 8, y + 2, kSliderTrackW, kSliderRowH - 4};
    y += kSliderRowH;
  }
  if (d.sliderCount) y += kPad;
  if (d.hasCheck) {
    d.check = Rect{left + iconW, y, checkW, kCheckRowH};
    y += kCheckRowH + kPad;
  }
  int x = d.box.x + (d.box.w - rowW) / 2;
  for (int i = 0; i < d.buttonCount; ++i) {
    d.buttons[i] = Rect{x, y, bw[i], kButtonH};
    x += bw[i] + kButtonGap;
  }
}

void Changed() {
  g_dlg.dirty = true;
}

int SliderIndex(int control) {
  int i = control - DLG_FOCUS_SLIDER0;
  return i >= 0 && i < g_dlg.sliderCount ? i : -1;
}

void Finish(int result) {
  g_dlg.open = false;
  g_dlg.result = result;
  g_dlg.pressed = -2;
  Changed();
}

void Choose(int control) {
  if (SliderIndex(control) >= 0) return;
  if (control == -1) {
    if (g_dlg.hasCheck) {
      g_dlg.checked = !g_dlg.checked;
      Changed();
    }
    return;
  }
  if (control >= 0 && control < g_dlg.buttonCount) Finish(g_dlg.buttonIds[control]);
}

// Controls in tab order: the check box first, then the buttons.
void MoveFocus(int dir) {
  std::vector<int> order;
  for (int i = 0; i < g_dlg.sliderCount; ++i) order.push_back(DLG_FOCUS_SLIDER0 + i);
  if (g_dlg.hasCheck) order.push_back(-1);
  for (int i = 0; i < g_dlg.buttonCount; ++i) order.push_back(i);
  if (order.empty()) return;
  int n = static_cast<int>(order.size());
  int pos = 0;
  for (int k = 0; k < n; ++k) {
    if (order[k] == g_dlg.focus) pos = k;
  }
  g_dlg.focus = order[(pos + dir + n) % n];
  Changed();
}

int HitControl(int x, int y) {
  for (int i = 0; i < g_dlg.buttonCount; ++i) {
    if (g_dlg.buttons[i].Contains(x, y)) return i;
  }
  if (g_dlg.hasCheck && g_dlg.check.Contains(x, y)) return -1;
  for (int i = 0; i < g_dlg.sliderCount; ++i) {
    if (g_dlg.sliderRows[i].Contains(x, y)) return DLG_FOCUS_SLIDER0 + i;
  }
  return -2;
}

void SetSlider(int i, int value) {
  value = std::clamp(value, 0, 100);
  if (g_dlg.sliderValues[i] == value) return;
  g_dlg.sliderValues[i] = value;
  Changed();
}

// The value under x on a slider's track, the thumb's centre taken as the point.
void SlideTo(int i, int x) {
  const Rect& t = g_dlg.sliderTracks[i];
  int span = t.w - kSliderThumbW;
  int at = x - t.x - kSliderThumbW / 2;
  SetSlider(i, span > 0 ? (at * 100 + span / 2) / span : 0);
}

// ---- drawing ----

void DrawIcon(uint32_t* img, int iw, int ih, const Rect& r) {
  int cx = r.x + kIconSize / 2, cy = r.y + kIconSize / 2;
  if (g_dlg.icon == DLG_ICON_PICTURE) {
    int pw = g_dlg.pictureW, ph = g_dlg.pictureH;
    if (g_dlg.picture.empty() || pw <= 0 || ph <= 0) return;
    for (int j = 0; j < kIconSize; ++j) {
      for (int i = 0; i < kIconSize; ++i) {
        int tx = r.x + i, ty = r.y + j;
        if (tx < 0 || ty < 0 || tx >= iw || ty >= ih) continue;
        const uint8_t* p = &g_dlg.picture[(static_cast<size_t>(j * ph / kIconSize) * pw +
                                           static_cast<size_t>(i * pw / kIconSize)) *
                                          4];
        uint32_t a = p[3];
        if (!a) continue;
        uint32_t& dst = img[static_cast<size_t>(ty) * iw + tx];
        uint32_t out = 0xFF000000;
        for (int c = 0; c < 3; ++c) {
          uint32_t dv = (dst >> (16 - 8 * c)) & 0xFF;
          out |= ((dv * (255 - a) + p[c] * a + 127) / 255) << (16 - 8 * c);
        }
        dst = out;
      }
    }
    return;
  }
  const char* mark = "!";
  uint32_t body = 0xFF1C4FD8;
  uint32_t ink = kWhite;
  if (g_dlg.icon == DLG_ICON_WARNING) {
    // A yellow triangle with a black outline.
    for (int j = 0; j < 28; ++j) {
      int half = j / 2 + 1;
      int y = r.y + 2 + j;
      Fill(img, iw, ih, cx - half, y, 2 * half, 1, kBlack);
      if (j > 1 && j < 27) Fill(img, iw, ih, cx - half + 2, y, 2 * half - 4, 1, 0xFFFFD800);
    }
    ink = kBlack;
  } else {
    mark = g_dlg.icon == DLG_ICON_QUESTION ? "?" : "i";
    for (int j = -14; j <= 14; ++j) {
      for (int i = -14; i <= 14; ++i) {
        int d2 = i * i + j * j;
        if (d2 <= 14 * 14)
          Fill(img, iw, ih, cx + i, cy + j, 1, 1, d2 > 13 * 13 ? kDarkShadow : body);
      }
    }
  }
  // The mark in bold: the glyph drawn twice, one pixel apart.
  int mw = TextWidth(mark);
  int my = g_dlg.icon == DLG_ICON_WARNING ? r.y + 14 : cy - kFontSize / 2;
  DrawText(img, iw, ih, cx - mw / 2, my, mark, ink);
  DrawText(img, iw, ih, cx - mw / 2 + 1, my, mark, ink);
}

void DrawButton(uint32_t* img, int iw, int ih, int i) {
  const Rect& b = g_dlg.buttons[i];
  bool focusOnButton = g_dlg.focus >= 0 && g_dlg.focus < g_dlg.buttonCount;
  bool isDefault = focusOnButton ? g_dlg.focus == i : g_dlg.defaultButton == i;
  bool down = g_dlg.pressed == i && g_dlg.pressedInside;
  Fill(img, iw, ih, b.x, b.y, b.w, b.h, kFace);
  Rect in = b;
  if (isDefault) {
    Frame(img, iw, ih, b.x, b.y, b.w, b.h, kBlack, kBlack);
    in = Rect{b.x + 1, b.y + 1, b.w - 2, b.h - 2};
  }
  if (down) {
    Frame(img, iw, ih, in.x, in.y, in.w, in.h, kShadow, kShadow);
  } else {
    Frame(img, iw, ih, in.x, in.y, in.w, in.h, kWhite, kDarkShadow);
    Frame(img, iw, ih, in.x + 1, in.y + 1, in.w - 2, in.h - 2, kFace, kShadow);
  }
  int shift = down ? 1 : 0;
  int tw = TextWidth(g_dlg.labels[i].c_str());
  int tx = b.x + (b.w - tw) / 2 + shift;
  int ty = b.y + (b.h - kFontSize) / 2 + shift;
  DrawText(img, iw, ih, tx, ty, g_dlg.labels[i].c_str(), kBlack);
  if (g_dlg.focus == i) FocusFrame(img, iw, ih, in.x + 3, in.y + 3, in.w - 6, in.h - 6);
}

void DrawCheckBox(uint32_t* img, int iw, int ih) {
  const Rect& c = g_dlg.check;
  int bx = c.x, by = c.y + (c.h - kCheckBox) / 2;
  Fill(img, iw, ih, bx, by, kCheckBox, kCheckBox, kWhite);
  Frame(img, iw, ih, bx, by, kCheckBox, kCheckBox, kShadow, kWhite);
  Frame(img, iw, ih, bx + 1, by + 1, kCheckBox - 2, kCheckBox - 2, kDarkShadow, kFace);
  if (g_dlg.checked) {
    static const char* const kMark[7] = {
        "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
    };
    for (int j = 0; j < 7; ++j) {
      for (int i = 0; i < 7; ++i) {
        if (kMark[j][i] == '#') Fill(img, iw, ih, bx + 3 + i, by + 3 + j, 1, 1, kBlack);
      }
    }
  }
  int tx = bx + kCheckBox + 6;
  int ty = c.y + (c.h - kFontSize) / 2;
  DrawText(img, iw, ih, tx, ty, g_dlg.checkCaption.c_str(), kBlack);
  if (g_dlg.focus == -1)
    FocusFrame(img, iw, ih, tx - 2, ty - 2, TextWidth(g_dlg.checkCaption.c_str()) + 4,
               kFontSize + 4);
}

void DrawSlider(uint32_t* img, int iw, int ih, int i) {
  const Rect& row = g_dlg.sliderRows[i];
  const Rect& t = g_dlg.sliderTracks[i];
  int ty = row.y + (row.h - kFontSize) / 2;
  DrawText(img, iw, ih, row.x, ty, g_dlg.sliderCaptions[i].c_str(), kBlack);
  // A sunken groove across the track and a raised thumb on it.
  int gy = t.y + t.h / 2 - 2;
  Frame(img, iw, ih, t.x, gy, t.w, 4, kShadow, kWhite);
  Frame(img, iw, ih, t.x + 1, gy + 1, t.w - 2, 2, kDarkShadow, kFace);
  int span = t.w - kSliderThumbW;
  int tx = t.x + span * g_dlg.sliderValues[i] / 100;
  Fill(img, iw, ih, tx, t.y, kSliderThumbW, t.h, kFace);
  Frame(img, iw, ih, tx, t.y, kSliderThumbW, t.h, kWhite, kDarkShadow);
  Frame(img, iw, ih, tx + 1, t.y + 1, kSliderThumbW - 2, t.h - 2, kFace, kShadow);
  char value[8];
  std::snprintf(value, sizeof value, "%d%%", g_dlg.sliderValues[i]);
  DrawText(img, iw, ih, t.x + t.w + 8, ty, value, kBlack);
  if (g_dlg.focus == DLG_FOCUS_SLIDER0 + i)
    FocusFrame(img, iw, ih, row.x - 2, row.y, t.x - row.x, row.h);
}

}  // namespace

void DLG_Open(const DlgSpec& desc, int windowWidth, int windowHeight) {
  DialogState& d = g_dlg;
  d = DialogState{};
  d.open = true;
  d.caption = desc.caption ? desc.caption : "";
  d.icon = desc.icon;
  if (desc.icon == DLG_ICON_PICTURE) {
    if (desc.pictureRgba && desc.pictureW > 0 && desc.pictureH > 0) {
      d.picture.assign(desc.pictureRgba,
                       desc.pictureRgba + static_cast<size_t>(desc.pictureW) * desc.pictureH * 4);
      d.pictureW = desc.pictureW;
      d.pictureH = desc.pictureH;
    } else {
      d.icon = DLG_ICON_INFORMATION;
    }
  }
  d.buttonCount = std::clamp(desc.buttonCount, 0, kMaxButtons);
  for (int i = 0; i < d.buttonCount; ++i) {
    d.buttonIds[i] = desc.buttons[i].id;
    d.labels[i] = desc.buttons[i].label ? desc.buttons[i].label : "";
  }
  if (d.buttonCount == 0) {
    d.buttonIds[0] = PLT_IDOK;
    d.labels[0] = "OK";
    d.buttonCount = 1;
  }
  d.defaultButton = std::clamp(desc.defaultButton, 0, d.buttonCount - 1);
  d.focus = d.defaultButton;
  d.escapeResult = desc.escapeResult;
  d.hasCheck = desc.checkCaption != nullptr;
  d.checkCaption = desc.checkCaption ? desc.checkCaption : "";
  d.checked = desc.checked ? 1 : 0;
  d.sliderCount = desc.sliders ? std::clamp(desc.sliderCount, 0, static_cast<int>(DLG_MAX_SLIDERS)) : 0;
  for (int i = 0; i < d.sliderCount; ++i) {
    d.sliderCaptions[i] = desc.sliders[i].caption ? desc.sliders[i].caption : "";
    d.sliderValues[i] = std::clamp(desc.sliders[i].value, 0, 100);
  }
  int maxText = std::min(
      kMaxTextW, std::max(windowWidth - 2 * kBorder - 3 * kPad - (desc.icon ? kIconSize : 0), 80));
  d.lines = Wrap(desc.text, maxText);
  Layout(windowWidth, windowHeight);
  Changed();
}

bool DLG_IsOpen() {
  return g_dlg.open;
}

void DLG_Cancel(int result) {
  if (g_dlg.open) Finish(result);
}

int DLG_Result() {
  return g_dlg.open ? 0 : g_dlg.result;
}
int DLG_Checked() {
  return g_dlg.checked;
}
int DLG_Focus() {
  return g_dlg.focus;
}
int DLG_SliderValue(int i) {
  return i >= 0 && i < g_dlg.sliderCount ? g_dlg.sliderValues[i] : 0;
}
void DLG_SliderBounds(int i, int* x, int* y, int* w, int* h) {
  Rect r = i >= 0 && i < g_dlg.sliderCount ? g_dlg.sliderTracks[i] : Rect{};
  *x = r.x;
  *y = r.y;
  *w = r.w;
  *h = r.h;
}

void DLG_Key(int vk, bool shift) {
  if (!g_dlg.open) return;
  switch (vk) {
    case PLT_VK_RETURN:
      Choose(g_dlg.focus >= 0 && g_dlg.focus < g_dlg.buttonCount ? g_dlg.focus : g_dlg.defaultButton);
      break;
    case PLT_VK_SPACE:
      Choose(g_dlg.focus);
      break;
    case PLT_VK_ESCAPE:
      Finish(g_dlg.escapeResult);
      break;
    case PLT_VK_TAB:
      MoveFocus(shift ? -1 : 1);
      break;
    case PLT_VK_LEFT:
    case PLT_VK_RIGHT:
      if (int i = SliderIndex(g_dlg.focus); i >= 0) {
        SetSlider(i, g_dlg.sliderValues[i] + (vk == PLT_VK_LEFT ? -kSliderStep : kSliderStep));
        break;
      }
      MoveFocus(vk == PLT_VK_LEFT ? -1 : 1);
      break;
    case PLT_VK_HOME:
    case PLT_VK_END:
      if (int i = SliderIndex(g_dlg.focus); i >= 0) SetSlider(i, vk == PLT_VK_HOME ? 0 : 100);
      break;
    case PLT_VK_UP:
      MoveFocus(-1);
      break;
    case PLT_VK_DOWN:
      MoveFocus(1);
      break;
    default:
      break;
  }
}

void DLG_MouseMove(int x, int y) {
  if (!g_dlg.open || g_dlg.pressed == -2) return;
  if (int i = SliderIndex(g_dlg.pressed); i >= 0) {
    SlideTo(i, x);
    return;
  }
  bool inside = HitControl(x, y) == g_dlg.pressed;
  if (inside != g_dlg.pressedInside) {
    g_dlg.pressedInside = inside;
    Changed();
  }
}

void DLG_MouseDown(int button, int x, int y) {
  if (!g_dlg.open || button != 0) return;
  int hit = HitControl(x, y);
  if (hit == -2) return;
  g_dlg.pressed = hit;
  g_dlg.pressedInside = true;
  g_dlg.focus = hit;
  if (int i = SliderIndex(hit); i >= 0) SlideTo(i, x);
  Changed();
}

void DLG_MouseUp(int button, int x, int y) {
  if (!g_dlg.open || button != 0 || g_dlg.pressed == -2) return;
  int control = g_dlg.pressed;
  g_dlg.pressed = -2;
  Changed();
  if (HitControl(x, y) == control) Choose(control);
}

void DLG_Bounds(int* x, int* y, int* w, int* h) {
  *x = g_dlg.box.x;
  *y = g_dlg.box.y;
  *w = g_dlg.box.w;
  *h = g_dlg.box.h;
}

void DLG_ButtonBounds(int index, int* x, int* y, int* w, int* h) {
  Rect r = index >= 0 && index < g_dlg.buttonCount ? g_dlg.buttons[index] : Rect{};
  *x = r.x;
  *y = r.y;
  *w = r.w;
  *h = r.h;
}

void DLG_CheckBounds(int* x, int* y, int* w, int* h) {
  Rect r = g_dlg.hasCheck ? g_dlg.check : Rect{};
  *x = r.x;
  *y = r.y;
  *w = r.w;
  *h = r.h;
}

int DLG_LineCount() {
  return static_cast<int>(g_dlg.lines.size());
}
const char* DLG_Line(int i) {
  return i >= 0 && i < DLG_LineCount() ? g_dlg.lines[i].c_str() : "";
}

bool DLG_TakeDirty() {
  bool d = g_dlg.dirty;
  g_dlg.dirty = false;
  return d;
}

void DLG_Draw(uint32_t* img, int iw, int ih) {
  if (!g_dlg.open) return;
  const Rect& b = g_dlg.box;
  Fill(img, iw, ih, b.x, b.y, b.w, b.h, kFace);
  RaisedEdge(img, iw, ih, b.x, b.y, b.w, b.h);
  // The caption strip fades from the highlight colour to a lighter blue.
  int cw = b.w - 2 * kBorder;
  for (int i = 0; i < cw; ++i) {
    uint32_t t = static_cast<uint32_t>(i * 255 / std::max(cw - 1, 1));
    uint32_t r = (0x0A * (255 - t) + 0xA6 * t) / 255;
    uint32_t g = (0x24 * (255 - t) + 0xCA * t) / 255;
    uint32_t bl = (0x6A * (255 - t) + 0xF0 * t) / 255;
    Fill(img, iw, ih, b.x + kBorder + i, b.y + kBorder, 1, kCaptionH,
         0xFF000000 | (r << 16) | (g << 8) | bl);
  }
  int ty = b.y + kBorder + (kCaptionH - kFontSize) / 2;
  DrawText(img, iw, ih, b.x + kBorder + 5, ty, g_dlg.caption.c_str(), kWhite);
  DrawText(img, iw, ih, b.x + kBorder + 6, ty, g_dlg.caption.c_str(), kWhite);
  if (g_dlg.icon != DLG_ICON_NONE) DrawIcon(img, iw, ih, g_dlg.iconRect);
  for (size_t i = 0; i < g_dlg.lines.size(); ++i) {
    DrawText(img, iw, ih, g_dlg.textRect.x,
             g_dlg.textRect.y + static_cast<int>(i) * kLineH + (kLineH - kFontSize) / 2,
             g_dlg.lines[i].c_str(), kBlack);
  }
  for (int i = 0; i < g_dlg.sliderCount; ++i) DrawSlider(img, iw, ih, i);
  if (g_dlg.hasCheck) DrawCheckBox(img, iw, ih);
  for (int i = 0; i < g_dlg.buttonCount; ++i) DrawButton(img, iw, ih, i);
}

// The menu bar above the client area, drawn in the look of a classic desktop
// menu with the glyph rasterizer: captions that open drop-down panels with
// sub-menus, check marks, greyed items and a highlight that follows the mouse.
// Choosing an enabled item hands its id to the backend, which posts the
// command message. Nothing here knows the window system.
#include "platform/menubar.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/plt_glyph.h"
#include "platform/plt_menu.h"
#include "platform/plt_types.h"
#include "platform/widgets.h"

namespace {

using namespace wgt;

constexpr int kMaxItems = 128;
constexpr int kMaxCaption = 64;
constexpr int kBarHeight = 19;
constexpr int kCaptionPad = 7;
constexpr int kItemHeight = 17;
constexpr int kSeparatorHeight = 9;
constexpr int kPanelBorder = 3;
constexpr int kCheckArea = 18;
constexpr int kArrowArea = 18;
constexpr int kTextGap = 16;

enum : int { kIdSubmenu = -1, kIdSeparator = 0 };

struct MenuItem {
  int id;
  char caption[kMaxCaption];
  int depth;
  int checked;
  int enabled;
  int textWidth;
  int y;  // top within its panel, border included
  int h;
  int x, w;  // top-level captions: position on the bar
};

struct Panel {
  int owner = -1;  // item whose children the panel lists
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<uint32_t> pixels;
};

struct MenuState {
  MenuItem items[kMaxItems];
  int count = 0;
  int windowWidth = 0;
  bool present = false;
  int openTop = -1;  // top-level caption whose panel is open
  int openSub = -1;  // sub-menu caption whose panel is open
  int hotTop = -1;   // caption under the mouse while nothing is open
  int hotItem = -1;  // item under the mouse in the open top panel
  int hotSub = -1;   // item under the mouse in the open sub panel
  MbarCommandSink sink = nullptr;
  bool dirty = true;
  bool imagesStale = true;
  std::vector<uint32_t> bar;
  Panel topPanel;
  Panel subPanel;
};

MenuState g_menu;

void DrawCheck(uint32_t* img, int iw, int ih, int x, int y, uint32_t color) {
  static const char* const kCheck[7] = {
      "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
  };
  for (int j = 0; j < 7; ++j) {
    for (int i = 0; i < 7; ++i) {
      if (kCheck[j][i] == '#') Fill(img, iw, ih, x + i, y + j, 1, 1, color);
    }
  }
}

void DrawArrow(uint32_t* img, int iw, int ih, int x, int y, uint32_t color) {
  for (int i = 0; i < 4; ++i) Fill(img, iw, ih, x + i, y + i, 1, 7 - 2 * i, color);
}

// ---- structure ----

bool IsTop(int i) {
  return g_menu.items[i].depth == 0;
}

// Items of the panel that item `owner` opens: the following entries one level
// deeper, up to the next entry at the owner's level or above.
int Children(int owner, int* out, int max) {
  int n = 0;
  int depth = g_menu.items[owner].depth;
  for (int i = owner + 1; i < g_menu.count && g_menu.items[i].depth > depth; ++i) {
    if (g_menu.items[i].depth == depth + 1 && n < max) out[n++] = i;
  }
  return n;
}

bool Selectable(int i) {
  return i >= 0 && g_menu.items[i].id != kIdSeparator;
}

void LayoutPanel(Panel* p, int owner, int x, int y) {
  int kids[kMaxItems];
  int n = Children(owner, kids, kMaxItems);
  int textW = 0;
  int hy = kPanelBorder;
  for (int k = 0; k < n; ++k) {
    MenuItem& it = g_menu.items[kids[k]];
    textW = std::max(textW, it.textWidth);
    it.y = hy;
    it.h = it.id == kIdSeparator ? kSeparatorHeight : kItemHeight;
    hy += it.h;
  }
  p->owner = owner;
  p->w = kPanelBorder * 2 + kCheckArea + textW + kTextGap + kArrowArea;
  p->h = hy + kPanelBorder;
  if (n == 0) p->h = kPanelBorder * 2 + 2;
  // Keep the panel inside the window: open to the left when it would stick out.
  if (x + p->w > g_menu.windowWidth) x = g_menu.windowWidth - p->w;
  p->x = std::max(x, 0);
  p->y = y;
}

void LayoutOpenPanels() {
  g_menu.topPanel.owner = -1;
  g_menu.subPanel.owner = -1;
  if (g_menu.openTop < 0) return;
  const MenuItem& top = g_menu.items[g_menu.openTop];
  LayoutPanel(&g_menu.topPanel, g_menu.openTop, top.x, kBarHeight);
  if (g_menu.openSub >= 0) {
    const Panel& tp = g_menu.topPanel;
    const MenuItem& sub = g_menu.items[g_menu.openSub];
    int x = tp.x + tp.w - kPanelBorder;
    Panel probe;
    LayoutPanel(&probe, g_menu.openSub, 0, 0);
    if (x + probe.w > g_menu.windowWidth) x = tp.x - probe.w + kPanelBorder;
    LayoutPanel(&g_menu.subPanel, g_menu.openSub, x, tp.y + sub.y - kPanelBorder);
  }
}

void Changed() {
  g_menu.dirty = true;
  g_menu.imagesStale = true;
}

void RenderBar() {
  int w = g_menu.windowWidth;
  g_menu.bar.assign(static_cast<size_t>(w) * kBarHeight, kFace);
  uint32_t* img = g_menu.bar.data();
  for (int i = 0; i < g_menu.count; ++i) {
    if (!IsTop(i)) continue;
    const MenuItem& it = g_menu.items[i];
    int shift = 0;
    if (i == g_menu.openTop) {
      Frame(img, w, kBarHeight, it.x, 1, it.w, kBarHeight - 2, kShadow, kWhite);
      shift = 1;
    } else if (i == g_menu.hotTop && g_menu.openTop < 0) {
      Frame(img, w, kBarHeight, it.x, 1, it.w, kBarHeight - 2, kWhite, kShadow);
    }
    int ty = (kBarHeight - kFontSize) / 2 + shift;
    if (it.enabled) {
      DrawText(img, w, kBarHeight, it.x + kCaptionPad + shift, ty, it.caption, kBlack);
    } else {
      DrawText(img, w, kBarHeight, it.x + kCaptionPad + 1, ty + 1, it.caption, kWhite);
      DrawText(img, w, kBarHeight, it.x + kCaptionPad, ty, it.caption, kShadow);
    }
  }
}

void RenderPanel(Panel* p, int hot) {
  if (p->owner < 0) return;
  int w = p->w, h = p->h;
  p->pixels.assign(static_cast<size_t>(w) * h, kFace);
  uint32_t* img = p->pixels.data();
  Frame(img, w, h, 0, 0, w, h, kFace, kDarkShadow);
  Frame(img, w, h, 1, 1, w - 2, h - 2, kWhite, kShadow);
  int kids[kMaxItems];
  int n = Children(p->owner, kids, kMaxItems);
  for (int k = 0; k < n; ++k) {
    const MenuItem& it = g_menu.items[kids[k]];
    if (it.id == kIdSeparator) {
      int ly = it.y + kSeparatorHeight / 2 - 1;
      Fill(img, w, h, kPanelBorder, ly, w - 2 * kPanelBorder, 1, kShadow);
      Fill(img, w, h, kPanelBorder, ly + 1, w - 2 * kPanelBorder, 1, kWhite);
      continue;
    }
    bool isHot = kids[k] == hot;
    bool isOpenSub = kids[k] == g_menu.openSub;
    uint32_t color = kBlack;
    if (isHot || isOpenSub) {
      Fill(img, w, h, kPanelBorder, it.y, w - 2 * kPanelBorder, it.h, kHighlight);
      color = it.enabled ? kWhite : kShadow;
    }
    int tx = kPanelBorder + kCheckArea;
    int ty = it.y + (it.h - kFontSize) / 2;
    if (!it.enabled && !(isHot || isOpenSub)) {
      DrawText(img, w, h, tx + 1, ty + 1, it.caption, kWhite);
      color = kShadow;
    }
    DrawText(img, w, h, tx, ty, it.caption, color);
    if (it.checked) DrawCheck(img, w, h, kPanelBorder + 6, it.y + (it.h - 7) / 2, color);
    if (it.id == kIdSubmenu)
      DrawArrow(img, w, h, w - kPanelBorder - 10, it.y + (it.h - 7) / 2, color);
  }
}

void BlitPanel(const Panel& p, uint32_t* pixels, int width, int height) {
  if (p.owner < 0 || p.pixels.empty()) return;
  for (int j = 0; j < p.h; ++j) {
    int ty = p.y + j;
    if (ty < 0 || ty >= height) continue;
    for (int i = 0; i < p.w; ++i) {
      int tx = p.x + i;
      if (tx < 0 || tx >= width) continue;
      pixels[static_cast<size_t>(ty) * width + tx] = p.pixels[static_cast<size_t>(j) * p.w + i];
    }
  }
}

// Item of panel p under (x, y): the item, -2 inside the panel but on no item,
// -1 outside it.
int PanelHit(const Panel& p, int x, int y) {
  if (p.owner < 0 || x < p.x || x >= p.x + p.w || y < p.y || y >= p.y + p.h) return -1;
  int kids[kMaxItems];
  int n = Children(p.owner, kids, kMaxItems);
  int ly = y - p.y;
  if (x - p.x < kPanelBorder || x - p.x >= p.w - kPanelBorder) return -2;
  for (int k = 0; k < n; ++k) {
    const MenuItem& it = g_menu.items[kids[k]];
    if (ly >= it.y && ly < it.y + it.h) return kids[k];
  }
  return -2;
}

int BarHit(int x, int y) {
  if (y < 0 || y >= kBarHeight) return -1;
  for (int i = 0; i < g_menu.count; ++i) {
    const MenuItem& it = g_menu.items[i];
    if (IsTop(i) && x >= it.x && x < it.x + it.w) return i;
  }
  return -1;
}

void OpenTop(int top) {
  if (g_menu.openTop == top) return;
  g_menu.openTop = top;
  g_menu.openSub = -1;
  g_menu.hotItem = -1;
  g_menu.hotSub = -1;
  g_menu.hotTop = -1;
  LayoutOpenPanels();
  Changed();
}

void OpenSub(int sub) {
  if (g_menu.openSub == sub) return;
  g_menu.openSub = sub;
  g_menu.hotSub = -1;
  LayoutOpenPanels();
  Changed();
}

void SetHot(int* field, int value) {
  if (*field == value) return;
  *field = value;
  Changed();
}

// Chooses an item: an enabled command posts its id and closes the menu; a
// sub-menu caption opens its panel; anything else keeps the menu as it is.
void Choose(int i) {
  if (!Selectable(i)) return;
  const MenuItem& it = g_menu.items[i];
  if (it.id == kIdSubmenu) {
    OpenSub(i);
    return;
  }
  if (!it.enabled) return;
  int id = it.id;
  MBAR_Close();
  if (g_menu.sink) g_menu.sink(id);
}

int FindItem(int id) {
  if (id <= 0) return -1;
  for (int i = 0; i < g_menu.count; ++i) {
    if (g_menu.items[i].id == id) return i;
  }
  return -1;
}

// Steps through the selectable items of a panel for the arrow keys.
int StepItem(int owner, int from, int dir) {
  int kids[kMaxItems];
  int n = Children(owner, kids, kMaxItems);
  if (n == 0) return -1;
  int pos = -1;
  for (int k = 0; k < n; ++k) {
    if (kids[k] == from) pos = k;
  }
  for (int step = 0; step < n; ++step) {
    pos = pos < 0 ? (dir > 0 ? 0 : n - 1) : (pos + dir + n) % n;
    if (Selectable(kids[pos])) return kids[pos];
  }
  return -1;
}

int StepTop(int from, int dir) {
  int tops[kMaxItems];
  int n = 0;
  for (int i = 0; i < g_menu.count; ++i) {
    if (IsTop(i)) tops[n++] = i;
  }
  if (n == 0) return -1;
  int pos = 0;
  for (int k = 0; k < n; ++k) {
    if (tops[k] == from) pos = k;
  }
  return tops[(pos + dir + n) % n];
}

}  // namespace

void MBAR_Build(const PltMenu* menu, int windowWidth, MbarCommandSink sink) {
  g_menu = MenuState{};
  g_menu.windowWidth = windowWidth;
  g_menu.sink = sink;
  if (!menu || !menu->items || menu->count <= 0) return;
  int n = std::min(menu->count, kMaxItems);
  int x = 0;
  for (int i = 0; i < n; ++i) {
    const PltMenuItem& src = menu->items[i];
    MenuItem& it = g_menu.items[g_menu.count++];
    std::memset(&it, 0, sizeof it);
    it.id = src.id;
    std::snprintf(it.caption, sizeof it.caption, "%s", src.caption ? src.caption : "");
    it.depth = std::clamp(src.depth, 0, 2);
    it.enabled = 1;
    it.textWidth = TextWidth(it.caption);
    if (it.depth == 0) {
      it.x = x;
      it.w = it.textWidth + 2 * kCaptionPad;
      x += it.w;
    }
  }
  g_menu.present = true;
  Changed();
}

void MBAR_Destroy() {
  g_menu = MenuState{};
}

int MBAR_BarHeight() {
  return g_menu.present ? kBarHeight : 0;
}
bool MBAR_IsOpen() {
  return g_menu.openTop >= 0;
}

void MBAR_OpenFirst() {
  for (int i = 0; i < g_menu.count; ++i) {
    if (IsTop(i)) {
      OpenTop(i);
      return;
    }
  }
}

void MBAR_Close() {
  if (g_menu.openTop < 0 && g_menu.hotTop < 0) return;
  g_menu.openTop = -1;
  g_menu.openSub = -1;
  g_menu.hotItem = -1;
  g_menu.hotSub = -1;
  g_menu.hotTop = -1;
  LayoutOpenPanels();
  Changed();
}

bool MBAR_MouseMove(int x, int y) {
  if (!g_menu.present) return false;
  if (g_menu.openTop < 0) {
    SetHot(&g_menu.hotTop, BarHit(x, y));
    return y < kBarHeight;
  }
  int hit = PanelHit(g_menu.subPanel, x, y);
  if (hit != -1) {
    SetHot(&g_menu.hotSub, hit >= 0 && Selectable(hit) ? hit : -1);
    return true;
  }
  SetHot(&g_menu.hotSub, -1);
  hit = PanelHit(g_menu.topPanel, x, y);
  if (hit != -1) {
    int item = hit >= 0 && Selectable(hit) ? hit : -1;
    SetHot(&g_menu.hotItem, item);
    if (item >= 0 && g_menu.items[item].id == kIdSubmenu) {
      OpenSub(item);
    } else if (item >= 0) {
      OpenSub(-1);
    }
    return true;
  }
  // Over the bar, moving onto another caption switches panels.
  int top = BarHit(x, y);
  if (top >= 0) OpenTop(top);
  if (g_menu.openSub < 0) SetHot(&g_menu.hotItem, -1);
  return true;
}

bool MBAR_MouseDown(int, int x, int y) {
  if (!g_menu.present) return false;
  if (g_menu.openTop < 0) {
    if (y >= kBarHeight) return false;
    int top = BarHit(x, y);
    if (top >= 0) OpenTop(top);
    return true;
  }
  if (PanelHit(g_menu.subPanel, x, y) != -1 || PanelHit(g_menu.topPanel, x, y) != -1) return true;
  int top = BarHit(x, y);
  if (top >= 0 && top != g_menu.openTop) {
    OpenTop(top);
  } else {
    // A second click on the open caption, or a click anywhere else, closes
    // the menu; that click goes no further.
    MBAR_Close();
    SetHot(&g_menu.hotTop, top);
  }
  return true;
}

bool MBAR_MouseUp(int button, int x, int y) {
  if (!g_menu.present || g_menu.openTop < 0) return false;
  if (button != 0) return true;
  int hit = PanelHit(g_menu.subPanel, x, y);
  if (hit < 0) hit = PanelHit(g_menu.topPanel, x, y);
  if (hit >= 0) Choose(hit);
  return true;
}

void MBAR_MouseLeave() {
  if (g_menu.openTop < 0)
    SetHot(&g_menu.hotTop, -1);
  else
    SetHot(&g_menu.hotSub, -1);
}

bool MBAR_Key(int vk) {
  if (g_menu.openTop < 0) return false;
  bool inSub = g_menu.openSub >= 0 && g_menu.hotSub >= 0;
  switch (vk) {
    case PLT_VK_ESCAPE:
      if (g_menu.openSub >= 0) {
        g_menu.hotItem = g_menu.openSub;
        OpenSub(-1);
      } else {
        MBAR_Close();
      }
      break;
    case PLT_VK_UP:
    case PLT_VK_DOWN: {
      int dir = vk == PLT_VK_DOWN ? 1 : -1;
      if (inSub) {
        SetHot(&g_menu.hotSub, StepItem(g_menu.openSub, g_menu.hotSub, dir));
      } else {
        SetHot(&g_menu.hotItem, StepItem(g_menu.openTop, g_menu.hotItem, dir));
        if (g_menu.openSub >= 0 && g_menu.hotItem != g_menu.openSub) OpenSub(-1);
      }
      break;
    }
    case PLT_VK_RIGHT:
      if (!inSub && g_menu.hotItem >= 0 && g_menu.items[g_menu.hotItem].id == kIdSubmenu) {
        OpenSub(g_menu.hotItem);
        SetHot(&g_menu.hotSub, StepItem(g_menu.openSub, -1, 1));
      } else {
        OpenTop(StepTop(g_menu.openTop, 1));
        SetHot(&g_menu.hotItem, StepItem(g_menu.openTop, -1, 1));
      }
      break;
    case PLT_VK_LEFT:
      if (g_menu.openSub >= 0) {
        g_menu.hotItem = g_menu.openSub;
        OpenSub(-1);
      } else {
        OpenTop(StepTop(g_menu.openTop, -1));
        SetHot(&g_menu.hotItem, StepItem(g_menu.openTop, -1, 1));
      }
      break;
    case PLT_VK_RETURN:
    case PLT_VK_SPACE: {
      int target = inSub ? g_menu.hotSub : g_menu.hotItem;
      if (target >= 0 && g_menu.items[target].id == kIdSubmenu) {
        OpenSub(target);
        SetHot(&g_menu.hotSub, StepItem(target, -1, 1));
      } else {
        Choose(target);
      }
      break;
    }
    default:
      break;
  }
  return true;
}

bool MBAR_TakeDirty() {
  bool d = g_menu.dirty;
  g_menu.dirty = false;
  return d;
}

void MBAR_Draw(uint32_t* pixels, int width, int height) {
  if (!g_menu.present || width != g_menu.windowWidth || height < kBarHeight) return;
  if (g_menu.imagesStale) {
    RenderBar();
    RenderPanel(&g_menu.topPanel, g_menu.hotItem);
    RenderPanel(&g_menu.subPanel, g_menu.hotSub);
    g_menu.imagesStale = false;
  }
  std::memcpy(pixels, g_menu.bar.data(), g_menu.bar.size() * sizeof(uint32_t));
  BlitPanel(g_menu.topPanel, pixels, width, height);
  BlitPanel(g_menu.subPanel, pixels, width, height);
}

void MBAR_SetChecked(int id, int checked) {
  int i = FindItem(id);
  if (i < 0 || g_menu.items[i].checked == (checked ? 1 : 0)) return;
  g_menu.items[i].checked = checked ? 1 : 0;
  Changed();
}

void MBAR_SetEnabled(int id, int enabled) {
  int i = FindItem(id);
  if (i < 0 || g_menu.items[i].enabled == (enabled ? 1 : 0)) return;
  g_menu.items[i].enabled = enabled ? 1 : 0;
  Changed();
}

int MBAR_IsChecked(int id) {
  int i = FindItem(id);
  return i >= 0 ? g_menu.items[i].checked : 0;
}

int MBAR_IsEnabled(int id) {
  int i = FindItem(id);
  return i >= 0 ? g_menu.items[i].enabled : 1;
}

// The message history: a ring of the scene's messages and its page of rows.
#include "script/history.h"

#include <cstring>

#include "blit/blit.h"
#include "gfx/sprite.h"

HistoryState g_history;

namespace {

enum : int {
  LAYER_SHADE = 40,
  LAYER_RULE = 41,
  LAYER_TEXT = 42,
  ROW_TOP = 16,
  ROW_PITCH = 152,  // four lines of 24 + 8 and a gap
  TEXT_X = 8,
  SHADE_OPACITY = 216,
};

void ShowRows() {
  for (int row = 0; row < HIS_ROWS; ++row) {
    const int t = HIS_TXT_ROW0 + row;
    const char* text = HIS_Get(g_history.bottom + HIS_ROWS - 1 - row);
    if (!g_history.open || !text) {
      if (g_texts[t].used) TXT_ShowSlot(t, 0);
      continue;
    }
    // As the message window lays it out, fully shown.
    TXT_SetSlot(t, LAYER_TEXT, 24, 1, "%s", text);
    TXT_SetShadow(t, 2);
    TXT_SetBox(t, TEXT_X, ROW_TOP + ROW_PITCH * row, 25, 4);
    TXT_SetSpacing(t, 0, 8);
  }
  for (int k = 0; k < HIS_ROWS - 1; ++k) SPR_Show(HIS_SPR_RULE0 + k, g_history.open);
  SPR_Show(HIS_SPR_SHADE, g_history.open);
}

}  // namespace

void HIS_Reset() {
  // Only what the history made: outside a scene these numbers are others'.
  if (g_history.made) {
    for (int row = 0; row < HIS_ROWS; ++row) {
      if (g_texts[HIS_TXT_ROW0 + row].used) TXT_FreeSlot(HIS_TXT_ROW0 + row);
    }
    SPR_Clear(HIS_SPR_SHADE);
    for (int k = 0; k < HIS_ROWS - 1; ++k) SPR_Clear(HIS_SPR_RULE0 + k);
  }
  g_history.made = 0;
  g_history.count = 0;
  g_history.next = 0;
  g_history.open = 0;
  g_history.bottom = 0;
}

void HIS_Add(const char* text) {
  char* slot = g_history.texts[g_history.next];
  std::strncpy(slot, text ? text : "", TXT_BUFFER_SIZE - 1);
  slot[TXT_BUFFER_SIZE - 1] = 0;
  g_history.next = (g_history.next + 1) % HIS_MAX;
  if (g_history.count < HIS_MAX) ++g_history.count;
}

int HIS_Count() {
  return g_history.count;
}

const char* HIS_Get(int age) {
  if (age < 0 || age >= g_history.count) return nullptr;
  return g_history.texts[(g_history.next - 1 - age + HIS_MAX) % HIS_MAX];
}

int HIS_IsOpen() {
  return g_history.open;
}

void HIS_Open() {
  if (g_history.open || g_history.count == 0) return;
  g_history.open = 1;
  g_history.made = 1;
  g_history.bottom = 0;
  SPR_Clear(HIS_SPR_SHADE);
  SPR_SetFill(HIS_SPR_SHADE, SPR_KIND_FILL, 0, LAYER_SHADE, 1);
  SPR_SetPosSize(HIS_SPR_SHADE, 0, 0, 640, 480);
  SPR_SetColour(HIS_SPR_SHADE, 0, 0, 24);
  SPR_SetBlend(HIS_SPR_SHADE, BLT_Mode(BLT_MODE_FADE, SHADE_OPACITY));
  for (int k = 0; k < HIS_ROWS - 1; ++k) {
    const int s = HIS_SPR_RULE0 + k;
    SPR_Clear(s);
    SPR_SetFill(s, SPR_KIND_FILL, 0, LAYER_RULE, 1);
    SPR_SetPosSize(s, 8, ROW_TOP + ROW_PITCH * (k + 1) - 12, 624, 1);
    SPR_SetColour(s, 96, 112, 144);
  }
  ShowRows();
}

void HIS_Close() {
  if (!g_history.open) return;
  g_history.open = 0;
  ShowRows();
}

void HIS_Older() {
  if (!g_history.open) return;
  // The oldest message stays in the top row.
  const int last = g_history.count > HIS_ROWS ? g_history.count - HIS_ROWS : 0;
  if (g_history.bottom < last) ++g_history.bottom;
  ShowRows();
}

void HIS_Newer() {
  if (!g_history.open) return;
  if (g_history.bottom == 0) {
    HIS_Close();
    return;
  }
  --g_history.bottom;
  ShowRows();
}

// Game controllers in the page, through the browser's gamepad interface: it
// is polled (the browser sends no events for buttons or sticks), once each
// time the page's events are pumped. The first controller with the standard
// layout is used; it may come and go while the game runs.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/dialog.h"
#include "platform/pad_feed.h"
#include "platform/plt_input.h"
#include "platform/web/web_backend.h"

namespace {

// The standard layout's button numbers.
constexpr int kStdTriggerLeft = 6, kStdTriggerRight = 7;
constexpr struct {
  int button, standard;
} kButtons[] = {
    {PLT_PAD_A, 0},      {PLT_PAD_B, 1},       {PLT_PAD_X, 2},      {PLT_PAD_Y, 3},
    {PLT_PAD_BACK, 8},   {PLT_PAD_START, 9},   {PLT_PAD_DPUP, 12},  {PLT_PAD_DPDOWN, 13},
    {PLT_PAD_DPLEFT, 14}, {PLT_PAD_DPRIGHT, 15},
};

struct WebPads {
  bool connected;
  bool held[PLT_PAD_BUTTONS];
  int axes[PLT_PAD_AXES];
};
WebPads g_webPads = {};

int AxisValue(double v) {
  const double c = v < -1.0 ? -1.0 : v > 1.0 ? 1.0 : v;
  return static_cast<int>(std::lround(c * 32767.0));
}

bool FirstPad(EmscriptenGamepadEvent* st) {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
  const int n = emscripten_get_num_gamepads();
  for (int i = 0; i < n; ++i) {
    if (emscripten_get_gamepad_status(i, st) == EMSCRIPTEN_RESULT_SUCCESS && st->connected) return true;
  }
  return false;
}

bool Pressed(const EmscriptenGamepadEvent& st, int standard) {
  return standard < st.numButtons && st.digitalButton[standard];
}

double Travel(const EmscriptenGamepadEvent& st, int standard) {
  return standard < st.numButtons ? st.analogButton[standard] : 0.0;
}

}  // namespace

EM_JS(void, zv_show_pad_cursor, (int x, int y), { ZV.showPadCursor(x, y); });

void WEBB_ShowPadCursor(int canvasX, int canvasY) {
  zv_show_pad_cursor(canvasX, canvasY);
}

void WEBB_PadPoll(bool dialog) {
  EmscriptenGamepadEvent st;
  const bool present = FirstPad(&st);
  if (present != g_webPads.connected) {
    g_webPads = WebPads{};
    g_webPads.connected = present;
    PADF_Connected(present);
  }
  if (!present) return;
  for (const auto& b : kButtons) {
    const bool down = Pressed(st, b.standard);
    if (down == g_webPads.held[b.button]) continue;
    g_webPads.held[b.button] = down;
    // A box takes the presses as keys; the game the buttons.
    if (dialog) {
      if (int vk = down ? PADF_KeyFor(b.button) : 0) DLG_Key(vk, false);
    } else {
      PADF_Button(b.button, down);
    }
  }
  if (dialog) return;
  PADF_Trigger(0, AxisValue(Travel(st, kStdTriggerLeft)));
  PADF_Trigger(1, AxisValue(Travel(st, kStdTriggerRight)));
  for (int a = 0; a < PLT_PAD_AXES; ++a) {
    const int v = a < st.numAxes ? AxisValue(st.axis[a]) : 0;
    if (v == g_webPads.axes[a]) continue;
    g_webPads.axes[a] = v;
    PLT_InputPadAxis(a, v);
  }
}

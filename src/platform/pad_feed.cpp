// The shared side of the backends' game controllers.
#include "platform/pad_feed.h"

#include "platform/menubar.h"
#include "platform/plt_input.h"
#include "platform/plt_types.h"

namespace {

// A trigger counts as pressed past half way, released below a quarter.
constexpr int kTriggerOn = 16384, kTriggerOff = 8192;

struct PadFeed {
  bool triggerDown[2];
};
PadFeed g_feed = {};

}  // namespace

int PADF_KeyFor(int button) {
  switch (button) {
    case PLT_PAD_DPUP:
      return PLT_VK_UP;
    case PLT_PAD_DPDOWN:
      return PLT_VK_DOWN;
    case PLT_PAD_DPLEFT:
      return PLT_VK_LEFT;
    case PLT_PAD_DPRIGHT:
      return PLT_VK_RIGHT;
    case PLT_PAD_A:
      return PLT_VK_RETURN;
    case PLT_PAD_B:
    case PLT_PAD_START:
      return PLT_VK_ESCAPE;
    default:
      return 0;
  }
}

void PADF_Button(int button, bool down) {
  if (button < 0 || button >= PLT_PAD_BUTTONS) return;
  // An open menu takes the pad as it takes the keyboard.
  if (down && MBAR_IsOpen()) {
    if (int vk = PADF_KeyFor(button)) MBAR_Key(vk);
    return;
  }
  PLT_InputPadButton(button, down ? 1 : 0);
}

void PADF_Trigger(int which, int value) {
  if (which < 0 || which > 1) return;
  bool& down = g_feed.triggerDown[which];
  const bool now = down ? value > kTriggerOff : value > kTriggerOn;
  if (now == down) return;
  down = now;
  PLT_InputPadButton(which == 0 ? PLT_PAD_LT : PLT_PAD_RT, now ? 1 : 0);
}

void PADF_Connected(bool connected) {
  g_feed = PadFeed{};
  PLT_InputPadConnected(connected ? 1 : 0);
}

void PADF_Reset() {
  g_feed = PadFeed{};
}

// The scripted players' hands: the mouse, or a game controller only.
#include "zentrova-tool/autoplay_hands.h"

#include <cstdlib>
#include <cstring>

#include "common/pad.h"
#include "platform/headless/headless.h"
#include "platform/plt_input.h"
#include "zentrova-tool/replay_ext.h"

namespace {

// The cursor counts as arrived this close to its target (pixels per axis):
// the smallest thing the players click, a choice line, is 28 pixels high.
constexpr int kArrived = 3;

// The controller's cursor speed, as the game's pad module applies it: at
// full deflection kSlowPx a frame at first, up to kFastPx after kRampFrames.
constexpr int kSlowPx = 2, kFastPx = 16, kRampFrames = 24;
constexpr int kDeadZone = 8000, kAxisSpan = 32768 - kDeadZone, kFixed = 256;

struct Hands {
  bool pad = false;
  int targetX = 320, targetY = 240;
  bool down = false;
  bool clickPending = false, releaseNext = false;
  int clickX = 0, clickY = 0;
  bool skip = false;
};
Hands g_hands;

bool At(int x, int y) {
  int cx, cy;
  HANDS_Cursor(&cx, &cy);
  return std::abs(cx - x) <= kArrived && std::abs(cy - y) <= kArrived;
}

// The stick value that moves the cursor by about `want` pixels next frame.
int AxisFor(int want) {
  if (std::abs(want) <= kArrived / 2) return 0;
  const int frames = g_pad.moveFrames < kRampFrames ? g_pad.moveFrames + 1 : kRampFrames;
  const int speed = kSlowPx * kFixed + (kFastPx - kSlowPx) * kFixed * frames / kRampFrames;
  int deflection = std::abs(want) * kFixed * kFixed / speed;  // 0..kFixed
  if (deflection > kFixed) deflection = kFixed;
  if (deflection < 1) deflection = 1;
  const int value = kDeadZone + (deflection * kAxisSpan + kFixed - 1) / kFixed;
  const int clamped = value > 32767 ? 32767 : value;
  return want < 0 ? -clamped : clamped;
}

int ParseOption(int, char** argv, int i) {
  if (std::strcmp(argv[i], "--autoplay-pad") != 0) return 0;
  g_hands.pad = true;
  return 1;
}

}  // namespace

bool HANDS_Pad() {
  return g_hands.pad;
}

void HANDS_Start() {
  const bool pad = g_hands.pad;
  g_hands = Hands{};
  g_hands.pad = pad;
  if (pad) HL_PadConnected(1);
}

void HANDS_Cursor(int* x, int* y) {
  PLT_GetCursorPos(x, y);
  PLT_ScreenToClient(x, y);
}

void HANDS_Move(int x, int y) {
  g_hands.targetX = x;
  g_hands.targetY = y;
}

void HANDS_Button(bool down) {
  if (down == g_hands.down) return;
  g_hands.down = down;
  HL_PadButton(PLT_PAD_A, down ? 1 : 0);
}

bool HANDS_ButtonDown() {
  return g_hands.down;
}

void HANDS_ClickAt(int x, int y) {
  g_hands.clickPending = true;
  g_hands.clickX = x;
  g_hands.clickY = y;
  HANDS_Move(x, y);
}

void HANDS_Skip(bool on) {
  if (on == g_hands.skip) return;
  g_hands.skip = on;
  HL_PadButton(PLT_PAD_X, on ? 1 : 0);
}

void HANDS_Apply() {
  if (!g_hands.pad) return;
  // A click's button comes up a frame after it went down, and the next click
  // waits a frame more: a pad button let go and pressed again before the
  // game looks would read as held all along.
  bool released = false;
  if (g_hands.releaseNext) {
    HANDS_Button(false);
    g_hands.releaseNext = false;
    released = true;
  }
  int cx, cy;
  HANDS_Cursor(&cx, &cy);
  HL_PadAxis(PLT_PAD_AXIS_LEFTX, AxisFor(g_hands.targetX - cx));
  HL_PadAxis(PLT_PAD_AXIS_LEFTY, AxisFor(g_hands.targetY - cy));
  if (g_hands.clickPending && !released && !g_hands.down && At(g_hands.clickX, g_hands.clickY)) {
    g_hands.clickPending = false;
    HANDS_Button(true);
    g_hands.releaseNext = true;
  }
}

ZV_REPLAY_EXTENSION(hands, nullptr,
                    "  --autoplay-pad       with --autoplay: play with a game controller only\n"
                    "                       (the stick steers the cursor, A clicks, X skips)\n",
                    ParseOption, HANDS_Start, nullptr, nullptr, nullptr, nullptr);

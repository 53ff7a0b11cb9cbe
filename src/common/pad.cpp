// The game controller.
#include "common/pad.h"

#include <cstdlib>

#include "platform/plt_input.h"

PadState g_pad;

namespace {

constexpr int kDeadZone = 8000;
constexpr int kAxisMax = 32767;
constexpr int kFixed = 256;  // cursor steps are kept in 1/256 pixels
// Pixels a frame at full deflection: from kSlow at first up to kFast after
// kRampFrames frames of movement.
constexpr int kSlow = 2;
constexpr int kFast = 16;
constexpr int kRampFrames = 24;
constexpr int kScreenW = 640, kScreenH = 480;

// Deflection beyond the dead zone, 0..kFixed.
int Deflection(int axis) {
  const int a = std::abs(axis);
  if (a <= kDeadZone) return 0;
  return (a - kDeadZone) * kFixed / (kAxisMax + 1 - kDeadZone);
}

int Sign(int v) {
  return v < 0 ? -1 : v > 0 ? 1 : 0;
}

// The cursor moves by (dx, dy) in 1/256 pixels, kept inside the client area.
void MoveCursor(int dx, int dy) {
  g_pad.restX += dx;
  g_pad.restY += dy;
  const int px = g_pad.restX / kFixed, py = g_pad.restY / kFixed;
  g_pad.restX -= px * kFixed;
  g_pad.restY -= py * kFixed;
  if (px == 0 && py == 0) return;
  int x, y;
  PLT_GetCursorPos(&x, &y);
  PLT_ScreenToClient(&x, &y);
  x += px;
  y += py;
  x = x < 0 ? 0 : x >= kScreenW ? kScreenW - 1 : x;
  y = y < 0 ? 0 : y >= kScreenH ? kScreenH - 1 : y;
  PLT_ClientToScreen(&x, &y);
  PLT_SetCursorPos(x, y);
}

}  // namespace

void PAD_Poll(int active) {
  PltPadState s;
  PLT_GetPadState(&s);
  g_pad.connected = s.connected;
  for (int b = 0; b < PLT_PAD_BUTTONS; ++b) {
    const bool down = active && s.connected && (s.buttons[b] & (PLT_KEY_DOWN_NOW | PLT_KEY_PRESSED_SINCE));
    g_pad.pressed[b] = down && !g_pad.held[b] ? 1 : 0;
    g_pad.held[b] = down ? 1 : 0;
  }
  if (!active || !s.connected) {
    g_pad.moveFrames = 0;
    return;
  }
  // The stick gives direction and deflection; the d-pad full deflection.
  int fx = Sign(s.axes[PLT_PAD_AXIS_LEFTX]) * Deflection(s.axes[PLT_PAD_AXIS_LEFTX]);
  int fy = Sign(s.axes[PLT_PAD_AXIS_LEFTY]) * Deflection(s.axes[PLT_PAD_AXIS_LEFTY]);
  if (g_pad.held[PLT_PAD_DPLEFT]) fx = -kFixed;
  if (g_pad.held[PLT_PAD_DPRIGHT]) fx = kFixed;
  if (g_pad.held[PLT_PAD_DPUP]) fy = -kFixed;
  if (g_pad.held[PLT_PAD_DPDOWN]) fy = kFixed;
  if (fx == 0 && fy == 0) {
    g_pad.moveFrames = 0;
    g_pad.restX = g_pad.restY = 0;
  } else {
    if (g_pad.moveFrames < kRampFrames) ++g_pad.moveFrames;
    const int speed = kSlow * kFixed + (kFast - kSlow) * kFixed * g_pad.moveFrames / kRampFrames;
    MoveCursor(fx * speed / kFixed, fy * speed / kFixed);
  }
  if (g_pad.pressed[PLT_PAD_START]) PLT_OpenSystemMenu();
}

int PAD_HoldsButton(int b) {
  if (b == 0) return g_pad.held[PLT_PAD_A];
  if (b == 1) return g_pad.held[PLT_PAD_B];
  return 0;
}

int PAD_Skip() {
  return g_pad.held[PLT_PAD_X] || g_pad.held[PLT_PAD_LT] || g_pad.held[PLT_PAD_RT] ? 1 : 0;
}

void PAD_Reset() {
  g_pad = PadState{};
}

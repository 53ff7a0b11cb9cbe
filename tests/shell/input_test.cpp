// Keyboard and mouse polling, zones and the logical actions.
#include <gtest/gtest.h>

#include "common/act.h"
#include "common/key.h"
#include "common/mouse.h"
#include "common/pad.h"
#include "platform/headless/headless.h"
#include "platform/plt_input.h"
#include "platform/plt_types.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    KEY_Reset();
    MOUSE_Init(640, 480);
  }
  void Poll(int active = 1) {
    KEY_Poll(active);
    MOUSE_Poll(active);
    ACT_Update();
  }
};

TEST_F(InputTest, TappedKeyIsSeenForOneFrame) {
  HL_KeyEvent(PLT_VK_SPACE, 1);
  HL_KeyEvent(PLT_VK_SPACE, 0);
  Poll();
  EXPECT_EQ(g_keys.level[KEY_SPACE], 1);
  EXPECT_EQ(g_keys.pressed[KEY_SPACE], 1);
  Poll();
  EXPECT_EQ(g_keys.level[KEY_SPACE], 0);
}

TEST_F(InputTest, HeldKeyRepeatsOnFrames1And8Onwards) {
  HL_KeyEvent(PLT_VK_DOWN, 1);
  std::vector<int> frames;
  for (int f = 1; f <= 11; ++f) {
    Poll();
    if (g_act.down) frames.push_back(f);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 8, 9, 10, 11}));
}

TEST_F(InputTest, InactiveWindowSeesNothingAndReactivationPressesOnce) {
  HL_KeyEvent(PLT_VK_RETURN, 1);
  Poll(0);
  EXPECT_EQ(g_keys.level[KEY_ENTER], 0);
  Poll(1);
  EXPECT_EQ(g_keys.pressed[KEY_ENTER], 1);
  Poll(1);
  EXPECT_EQ(g_keys.pressed[KEY_ENTER], 0);
}

TEST_F(InputTest, TypedCodes) {
  for (char c : std::string("fps")) {
    HL_TypeLetter(c);
    Poll();
  }
  EXPECT_TRUE(KEY_Typed("fps"));
  EXPECT_FALSE(KEY_Typed("fps"));  // the match clears the history
  for (char c : std::string("fpsx")) {
    HL_TypeLetter(c);
    Poll();
  }
  EXPECT_FALSE(KEY_Typed("fps"));
}

TEST_F(InputTest, OneLetterPerFrameTheHighestWins) {
  HL_TypeLetter('b');
  HL_TypeLetter('q');
  Poll();
  EXPECT_EQ(g_keys.typed[0], 'q');
  EXPECT_EQ(g_keys.typed[1], 0);
}

TEST_F(InputTest, ExclusiveModeTracksOneButton) {
  MOUSE_SetExclusive(1);
  HL_MouseMove(100, 100);
  HL_MouseButton(0, 1);
  Poll();
  HL_MouseButton(1, 1);
  Poll();
  EXPECT_EQ(MOUSE_Held(0), 1);
  EXPECT_EQ(MOUSE_Held(1), 0);
  HL_MouseButton(0, 0);
  HL_MouseButton(1, 0);
  Poll();
  HL_MouseButton(0, 1);
  HL_MouseButton(1, 1);
  Poll();
  EXPECT_EQ(MOUSE_Pressed(0), 1);
  EXPECT_EQ(MOUSE_Pressed(1), 0);
}

TEST_F(InputTest, SwappedButtons) {
  HL_SetSwapButtons(1);
  HL_MouseMove(10, 10);
  HL_MouseButton(1, 1);
  Poll();
  EXPECT_EQ(MOUSE_Pressed(0), 1);
  EXPECT_EQ(MOUSE_Pressed(1), 0);
}

TEST_F(InputTest, DecideCancelAndSkipPriorities) {
  HL_MouseMove(10, 10);
  HL_KeyEvent(PLT_VK_SPACE, 1);
  HL_MouseButton(0, 1);
  Poll();
  EXPECT_EQ(g_act.decide, 1);  // one decide from two sources
  HL_KeyEvent(PLT_VK_SPACE, 0);
  HL_MouseButton(0, 0);
  Poll();
  HL_KeyEvent(PLT_VK_SPACE, 1);
  HL_KeyEvent(PLT_VK_SHIFT, 1);
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  Poll();
  EXPECT_EQ(g_act.decide, 0);
  EXPECT_EQ(g_act.cancel, 1);
  EXPECT_EQ(g_act.skip, 0);
}

TEST_F(InputTest, ScreenEdgesAndZones) {
  MOUSE_SetZone(0, 0, 600, 400, 40, 80, 1);
  MOUSE_SetZone(0, 1, 0, 0, 700, 480, 1);
  HL_MouseMove(640, 479);
  HL_MouseButton(0, 1);
  Poll();
  EXPECT_EQ(MOUSE_PressedInside(0), 0);     // x = 640 is off the screen
  EXPECT_EQ(MOUSE_ZoneUnderCursor(-1), 1);  // but the zone test counts it
  EXPECT_EQ(MOUSE_ZoneUnderCursor(0), -1);
  HL_MouseButton(0, 0);
  Poll();
  HL_MouseMove(610, 470);
  HL_MouseButton(0, 1);
  Poll();
  EXPECT_EQ(MOUSE_ZoneUnderCursor(0), 0);  // the lowest enabled index wins
  EXPECT_EQ(MOUSE_ZoneUnderCursorInGroup(0, 1), -1);
}

TEST_F(InputTest, MoveToZoneAndFlush) {
  MOUSE_SetZone(2, 3, 100, 200, 50, 20, 1);
  MOUSE_SelectGroup(2);
  MOUSE_MoveToZone(2, 3);
  Poll();
  EXPECT_EQ(g_mouse.x, 100);
  EXPECT_EQ(g_mouse.y, 219);
  EXPECT_EQ(g_mouse.hoverZone, 3);
  MOUSE_MoveToZone(2, -1);  // nothing happens
  MOUSE_RequestFlush();
  HL_MouseButton(0, 1);
  Poll();
  EXPECT_EQ(MOUSE_Pressed(0), 0);  // the click that chose a menu item is discarded
}

}  // namespace

namespace {

class PadTest : public InputTest {
 protected:
  void Poll(int active = 1) {
    KEY_Poll(active);
    PAD_Poll(active);
    MOUSE_Poll(active);
    ACT_Update();
  }
  void SetUp() override {
    InputTest::SetUp();
    PAD_Reset();
  }
};

TEST_F(PadTest, StickAndDpadMoveTheCursorFasterTheLongerAndButtonsActAsTheMouse) {
  HL_MouseMove(100, 100);
  HL_PadAxis(PLT_PAD_AXIS_LEFTX, 32767);
  Poll();
  EXPECT_EQ(g_mouse.x, 100);  // no pad connected: nothing moves
  HL_PadConnected(1);
  HL_PadAxis(PLT_PAD_AXIS_LEFTX, 32767);
  std::vector<int> steps;
  int last = 100;
  for (int i = 0; i < 30; ++i) {
    Poll();
    steps.push_back(g_mouse.x - last);
    last = g_mouse.x;
  }
  EXPECT_GT(steps.front(), 0);
  EXPECT_GT(steps.back(), 4 * steps.front());  // it accelerates
  HL_PadAxis(PLT_PAD_AXIS_LEFTX, 3000);  // inside the dead zone
  Poll();
  const int x = g_mouse.x;
  Poll();
  EXPECT_EQ(g_mouse.x, x);
  for (int i = 0; i < 100; ++i) {
    HL_PadButton(PLT_PAD_DPDOWN, 1);
    Poll();
  }
  EXPECT_EQ(g_mouse.y, 479);  // kept on the screen
  HL_PadButton(PLT_PAD_DPDOWN, 0);

  HL_PadButton(PLT_PAD_A, 1);
  HL_PadButton(PLT_PAD_A, 0);  // tapped between two polls
  Poll();
  EXPECT_EQ(g_act.decide, 1);
  Poll();
  EXPECT_EQ(g_act.decide, 0);
  HL_PadButton(PLT_PAD_B, 1);
  Poll();
  EXPECT_EQ(g_act.cancel, 1);
  HL_PadButton(PLT_PAD_B, 0);
  HL_PadButton(PLT_PAD_RT, 1);
  Poll();
  Poll();
  EXPECT_EQ(g_act.skip, 1);
  HL_PadButton(PLT_PAD_START, 1);
  Poll();
  EXPECT_EQ(HL_SystemMenuOpens(), 1);
  // Removing the pad lets go of everything.
  HL_PadConnected(0);
  Poll();
  Poll();
  EXPECT_EQ(g_act.skip, 0);
  EXPECT_EQ(g_pad.connected, 0);
}

TEST_F(InputTest, WheelNotchesReachOneFrameAndNotAnInactiveWindow) {
  HL_Wheel(2);
  HL_Wheel(1);
  Poll();
  EXPECT_EQ(g_mouse.wheel, 3);
  Poll();
  EXPECT_EQ(g_mouse.wheel, 0);
  HL_Wheel(-1);
  Poll(0);
  Poll();
  EXPECT_EQ(g_mouse.wheel, 0);
}

}  // namespace

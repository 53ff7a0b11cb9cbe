// Fixture for the title tests: a fresh working directory, headless input and
// the game-mode update stepped frame by frame as the frame step runs it.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/config.h"
#include "common/key.h"
#include "common/mouse.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "game/rank.h"
#include "game/title.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_types.h"
#include "shell/app.h"
#include "shell/reset.h"
#include "test_util.h"

// A 24-bit BMP of the given size in one colour.
inline std::vector<uint8_t> MakeBmp24(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  int stride = (w * 3 + 3) & ~3;
  int size = 54 + stride * h;
  std::vector<uint8_t> d(size, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  d[0] = 'B';
  d[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  d[26] = 1;
  d[28] = 24;
  put32(34, stride * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &d[54 + y * stride + x * 3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
  return d;
}

class TitleFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    ZV_ResetAll();
    for (int i = 0; i < EVENT_PICTURE_MAX; ++i) savedPictures_[i] = g_eventPictures[i];
  }
  void TearDown() override {
    SPR_ClearAll();
    for (int i = 0; i < EVENT_PICTURE_MAX; ++i) g_eventPictures[i] = savedPictures_[i];
  }

  // One frame step: poll, then the game-mode update. A story scene (mode 3)
  // counts as ended at once.
  int Step() {
    KEY_Poll(1);
    MOUSE_Poll(1);
    return GAME_Update();
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) Step();
  }
  int TitleState() const { return g_state[STATE_TITLE].current; }
  // Steps until the title state is s; returns the frames taken, -1 when it
  // did not get there within max frames.
  int RunUntil(int s, int max) {
    for (int i = 1; i <= max; ++i) {
      Step();
      if (TitleState() == s && g_state[STATE_GAME].current == 2) return i;
    }
    return -1;
  }
  // A key pressed for one frame and released in the next.
  void TapKey(int vk) {
    HL_KeyEvent(vk, 1);
    Step();
    HL_KeyEvent(vk, 0);
    Step();
  }
  // The left button pressed for one frame (released before the next).
  void ClickLeft() {
    HL_MouseButton(0, 1);
    Step();
    HL_MouseButton(0, 0);
  }
  void ToMenuQuickly() {
    RunUntil(TITLE_LOGOS, 5);
    TapKey(PLT_VK_SPACE);  // ends the logo walk
    TapKey(PLT_VK_SPACE);  // the title picture
    TapKey(PLT_VK_SPACE);  // the menu fade
    ASSERT_EQ(TitleState(), TITLE_MENU);
  }

  TempDir dir_;
  int32_t savedPictures_[EVENT_PICTURE_MAX];
};

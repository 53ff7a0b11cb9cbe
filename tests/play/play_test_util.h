// Helpers of the stage tests: the stage driven frame by frame with the mouse
// state written directly, and creatures placed by hand.
#pragma once
#include <gtest/gtest.h>

#include "common/mouse.h"
#include "common/rng.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "gfx/sprite.h"
#include "shell/reset.h"
#include "test_util.h"

namespace playtest {

// Runs one frame as the title flow does: the update, then the state pair.
inline int Frame() {
  const int r = PLAY_Update();
  STATE_Advance();
  return r;
}

// One frame with the cursor at (x, y) and the given left-button edges.
inline int FrameAt(int x, int y, bool press = false, bool release = false) {
  g_mouse.x = x;
  g_mouse.y = y;
  g_mouse.pressed[0] = press ? 1 : 0;
  g_mouse.released[0] = release ? 1 : 0;
  if (press) g_mouse.held[0] = 1;
  if (release) g_mouse.held[0] = 0;
  const int r = Frame();
  g_mouse.pressed[0] = 0;
  g_mouse.released[0] = 0;
  return r;
}

class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZV_ResetAll();
    RNG_Seed(12345);
  }
  void TearDown() override {
    SPR_Reset();
    PLAY_Reset();
    STATE_Clear();
  }

  // Puts the stage straight into play with n still creatures of the given
  // kinds at the given pond positions (size 48: catch box +-16).
  void StartPlay(int n, const int* kinds, const int (*pos)[2]) {
    g_state[STATE_PLAY] = StatePair{PLAY_PLAYING, PLAY_PLAYING, 100};
    g_play.count = n;
    for (int i = 0; i < n; ++i) {
      ScoopObject& o = g_play.objects[i];
      o = ScoopObject{};
      o.kind = kinds[i];
      o.x = pos[i][0];
      o.y = pos[i][1];
      o.size = 48;
      o.spinSpeed = 4.0f;
      o.heading = 0.0f;
      o.speed = 0.0f;  // stays put (kinds 1 and 2 still turn at random)
      o.state = OBJ_FREE;
    }
  }

  // Screen point at the centre of creature i.
  static int CX(int i) { return g_play.objects[i].x + POND_X; }
  static int CY(int i) { return g_play.objects[i].y + POND_Y; }

  TempDir dir_;
};

}  // namespace playtest

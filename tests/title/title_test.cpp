// The title flow driven frame by frame through GAME_Update with scripted
// headless input, in a fresh working directory.
#include "game/title.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/config.h"
#include "common/mouse.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "game/rank.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_input.h"
#include "platform/plt_types.h"
#include "test_util.h"
#include "title_test_util.h"

namespace {

TEST_F(TitleFlowTest, FreshStartWalksLogosShowsMenuAndAttractRanking) {
  EXPECT_EQ(RunUntil(TITLE_LOGOS, 5), 2);
  Step();

  // The walkers enter from both sides: even rows from the right, odd rows
  // from the left, and the logo stays invisible until frame 225.
  EXPECT_GE(g_sprites[8].x, 640);
  EXPECT_LE(g_sprites[8 + 20].x + 125, 0);
  EXPECT_EQ(g_sprites[1].mode & 0xFFFF, 10u);
  EXPECT_EQ(g_sprites[1].mode >> 16, 0u);

  EXPECT_EQ(RunUntil(TITLE_PICTURE, 600), 500);
  EXPECT_EQ(g_sprites[1].mode >> 16, 256u);  // the logo is fully shown by the end of the walk

  // Standard speed: the title picture and the menu each fade for 15 frames.
  uint32_t lastOpacity = 0;
  int frames = 0;
  while (TitleState() == TITLE_PICTURE && frames < 100) {
    Step();
    ++frames;
    if (TitleState() == TITLE_PICTURE) {
      uint32_t p = g_sprites[2].mode >> 16;
      EXPECT_GE(p, lastOpacity);
      lastOpacity = p;
    }
  }
  EXPECT_EQ(frames, 16);
  EXPECT_EQ(TitleState(), TITLE_MENU_IN);
  EXPECT_EQ(RunUntil(TITLE_MENU, 100), 16);
  for (int j = 0; j < 3; ++j) EXPECT_EQ(g_sprites[10 + j].mode, 0u);

  // Untouched for 450 frames, the menu gives way to the ranking.
  EXPECT_EQ(RunUntil(TITLE_RANK_SLIDE, 1000), 451);
  Steps(100);
  EXPECT_EQ(TitleState(), TITLE_RANK_SLIDE);
  EXPECT_GT(g_sprites[10].y, 288 + 190);  // the items slide down
  EXPECT_TRUE(g_sprites[21].used);        // rank of row 0

  // A decide during the ranking starts over with the logo walk.
  HL_KeyEvent(PLT_VK_SPACE, 1);
  Step();
  EXPECT_EQ(TitleState(), TITLE_SETUP);
  Step();
  EXPECT_EQ(TitleState(), TITLE_LOGOS);
}

TEST_F(TitleFlowTest, AttractRankingRunsItsCourseBackToLogos) {
  ToMenuQuickly();
  EXPECT_EQ(RunUntil(TITLE_RANK_SLIDE, 1000), 450);
  EXPECT_EQ(RunUntil(TITLE_RANK_SHOW, 200), 145);
  // The last row has slid in and is fully opaque.
  const int lastRow = 20 + 34 * 9;
  EXPECT_TRUE(g_sprites[lastRow].used);
  EXPECT_EQ(g_sprites[lastRow].mode >> 16, 256u);
  EXPECT_EQ(RunUntil(TITLE_SETUP, 400), 301);
  Step();
  EXPECT_EQ(TitleState(), TITLE_LOGOS);
}

TEST_F(TitleFlowTest, FastestSpeedShowsTitleAndMenuWithoutFading) {
  g_cfg.wait = 0;
  RunUntil(TITLE_LOGOS, 5);
  TapKey(PLT_VK_SPACE);  // the walk ends; the title picture needs no second frame
  EXPECT_EQ(TitleState(), TITLE_MENU_IN);
  Step();
  EXPECT_EQ(TitleState(), TITLE_MENU);
  for (int j = 0; j < 3; ++j) EXPECT_EQ(g_sprites[10 + j].mode, 0u);
}

TEST_F(TitleFlowTest, HoldingSkipCutsTheFades) {
  RunUntil(TITLE_LOGOS, 5);
  TapKey(PLT_VK_SPACE);
  ASSERT_EQ(TitleState(), TITLE_PICTURE);
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  Step();
  Step();
  HL_KeyEvent(PLT_VK_CONTROL, 0);
  EXPECT_EQ(TitleState(), TITLE_MENU);
}

TEST_F(TitleFlowTest, KeyboardMovesCursorOntoItemsWithoutWrapping) {
  ToMenuQuickly();
  HL_MouseMove(600, 20);  // over no item
  Step();
  EXPECT_EQ(g_title.hovered, -1);

  TapKey(PLT_VK_UP);
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_START);
  Step();
  EXPECT_EQ(MOUSE_ZoneUnderCursorInGroup(-1, 0), TITLE_ITEM_START);  // the cursor went there
  EXPECT_EQ(g_sprites[10].green, 192);                               // hovered tint
  EXPECT_EQ(g_sprites[12].green, 128);

  TapKey(PLT_VK_UP);
  Step();
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_START);

  // Without a seen event picture the gallery item is dark and has no zone:
  // down from the first item does not move.
  EXPECT_FALSE(MOUSE_ZoneEnabled(0, TITLE_ITEM_GALLERY));
  EXPECT_EQ(g_sprites[11].red, 64);
  TapKey(PLT_VK_DOWN);
  Step();
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_START);

  // The mouse reaches the quit item all the same.
  HL_MouseMove(240, 380);
  Step();
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_QUIT);
  TapKey(PLT_VK_UP);  // item 1 is absent: stays
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_QUIT);
}

TEST_F(TitleFlowTest, StartItemFadesOutAndStartsThePrologue) {
  ToMenuQuickly();
  HL_MouseMove(240, 300);
  Step();
  ClickLeft();
  EXPECT_EQ(TitleState(), TITLE_LEAVING);
  // Standard speed: 30 frames to black, then the scene.
  int frames = 0, mode = 1;
  while (mode == 1 && frames < 100) {
    mode = Step();
    ++frames;
  }
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(frames, 33);             // 31 frames of fade, the hand-over, the scene start
  EXPECT_EQ(g_playTotals.stage, 1);  // the prologue advanced the stage number

  // Back from the scene: the title set-up goes straight to the stage.
  Step();
  EXPECT_EQ(TitleState(), TITLE_SETUP);
  Step();
  EXPECT_EQ(TitleState(), TITLE_PLAYING);
  EXPECT_EQ(g_state[STATE_PLAY].current, 0);
}

TEST_F(TitleFlowTest, BetweenStagesTheTitleSetUpPlaysTheNextStage) {
  g_playTotals.stage = 2;
  g_playTotals.score = 1234;
  RunUntil(TITLE_PLAYING, 5);
  EXPECT_EQ(TitleState(), TITLE_PLAYING);
  EXPECT_EQ(g_playTotals.score, 1234);
  EXPECT_EQ(g_rank.newestIndex, -1);
}

}  // namespace

namespace {

TEST_F(TitleFlowTest, PlayThroughRunsScenesAndStagesThenRanks) {
  g_cfg.wait = 0;
  ToMenuQuickly();
  HL_MouseMove(240, 300);
  Step();
  ClickLeft();
  std::vector<int> scenes;  // stage number as each scene starts
  int stagesPlayed = 0;
  for (int frame = 0; frame < 400 && TitleState() != TITLE_RANK_NEW; ++frame) {
    int before = g_playTotals.stage;
    if (Step() == 3) scenes.push_back(before);
    if (TitleState() == TITLE_PLAYING && PLAY_State() == PLAY_READY) {
      // Stand-in for a played stage: its result, then the stage's end.
      ++stagesPlayed;
      g_playTotals.score += 35000;
      g_playTotals.clicks += 10;  // each stage's set-up starts its own count
      g_playTotals.maxChain = 6;
      g_state[STATE_PLAY].current = g_state[STATE_PLAY].next = PLAY_FINISHED;
    }
  }
  EXPECT_EQ(scenes, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(stagesPlayed, 2);
  ASSERT_EQ(TitleState(), TITLE_RANK_NEW);
  EXPECT_EQ(g_rank.newestIndex, 3);
  EXPECT_EQ(g_rank.rankScore[3], 70000);
  EXPECT_EQ(g_rank.rankClicks[3], 10);
  EXPECT_EQ(g_rank.rankChain[3], 6);
  EXPECT_EQ(g_playTotals.stage, 0);
}

}  // namespace

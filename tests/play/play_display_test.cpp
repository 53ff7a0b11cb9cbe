// What the stage shows: numbers, the score counter and its sound, effect
// labels, popups, the chain banners and the stage-clear banner.
#include <gtest/gtest.h>

#include <cstring>

#include "common/config.h"
#include "platform/headless/headless.h"
#include "play_test_util.h"
#include "sound/sound.h"

using namespace playtest;

namespace {

class Display : public StageTest {};

TEST_F(Display, NumbersDropLeadingZerosButShowASingleZero) {
  PLAY_DrawNumber(300, 100, 1234, 502, 38, 17, 24, 6);
  EXPECT_FALSE(g_sprites[300].used);
  EXPECT_FALSE(g_sprites[301].used);
  const int digits[4] = {1, 2, 3, 4};
  for (int k = 0; k < 4; ++k) {
    const Sprite& s = g_sprites[302 + k];
    ASSERT_TRUE(s.used);
    EXPECT_EQ(s.slot, 100);
    EXPECT_EQ(s.sx, 17 * digits[k]);
    EXPECT_EQ(s.sw, 17);
    EXPECT_EQ(s.sh, 24);
    EXPECT_EQ(s.x, 502 + 17 * (3 + k));  // units digit at x + 17 * 6
    EXPECT_EQ(s.y, 38);
  }
  // Shrinking the value clears the digits it no longer has.
  PLAY_DrawNumber(300, 100, 0, 502, 38, 17, 24, 6);
  for (int k = 0; k < 5; ++k) EXPECT_FALSE(g_sprites[300 + k].used) << k;
  EXPECT_TRUE(g_sprites[305].used);
  EXPECT_EQ(g_sprites[305].sx, 0);
  EXPECT_EQ(g_sprites[305].x, 502 + 17 * 6);
}

TEST_F(Display, ScoreCountsUpInHundredsThenTensWithItsLoopingSound) {
  g_cfg.se = 1;
  ASSERT_EQ(SND_Init(nullptr), 1);
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  StartPlay(1, kinds, pos);
  g_playTotals.score = 2500;
  int frames = 0;
  int lastStep = 0;
  while (g_playTotals.shownScore < g_playTotals.score && frames < 1000) {
    const int before = g_playTotals.shownScore;
    FrameAt(0, 0);
    ++frames;
    const int step = g_playTotals.shownScore - before;
    EXPECT_EQ(step, g_playTotals.score - before > 1000 ? 100 : 10) << "from " << before;
    lastStep = step;
    const SeRecord* r = AVG_GetSE2Record(11);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->inUse);
    EXPECT_EQ(r->number, 12);
    EXPECT_EQ(r->loop, 1);
    EXPECT_EQ(r->targetVolume, 32);
  }
  EXPECT_EQ(frames, 15 + 100);
  EXPECT_EQ(lastStep, 10);
  EXPECT_EQ(g_playTotals.shownScore, 2500);
  EXPECT_EQ(g_sprites[196 + 2].sx, 17 * 2);  // "2500" in six cells
  FrameAt(0, 0);
  EXPECT_FALSE(AVG_GetSE2Record(11)->inUse) << "the counting sound stops on arrival";
  SND_Release();
}

TEST_F(Display, CountersShowClicksAndTheLongestChainPlusOne) {
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  StartPlay(1, kinds, pos);
  g_playTotals.clicks = 37;
  g_playTotals.maxChain = 0;
  FrameAt(0, 0);
  EXPECT_TRUE(g_sprites[205].used);
  EXPECT_EQ(g_sprites[205].sx, 17 * 3);
  EXPECT_EQ(g_sprites[206].sx, 17 * 7);
  EXPECT_EQ(g_sprites[206].x, 519 + 17 * 5);
  EXPECT_EQ(g_sprites[210].sx, 17 * 1);  // maxChain + 1
  EXPECT_EQ(g_sprites[210].y, 102);
  EXPECT_FALSE(g_sprites[211].used) << "no chain: no next-kind indicator";
  g_play.chain.target = 3;
  FrameAt(0, 0);
  EXPECT_TRUE(g_sprites[211].used);
  EXPECT_EQ(g_sprites[211].sx, 224);
  EXPECT_EQ(g_sprites[211].x, 488);
  EXPECT_EQ(g_sprites[211].y, 164);
}

TEST_F(Display, EffectsTakeTheFirstFreeEntryOrReplaceTheOldest) {
  for (int i = 0; i < PLAY_EFFECTS; ++i) PLAY_AddEffect(EFFECT_CAUGHT, 100 + i, 100);
  for (int i = 0; i < PLAY_EFFECTS; ++i) g_play.effects[i].age = 1 + 2 * (i % 5);
  PLAY_AddEffect(EFFECT_MISSED, 300, 200);
  EXPECT_EQ(g_play.effects[4].kind, EFFECT_MISSED) << "first of the oldest (age 9)";
  EXPECT_EQ(g_play.effects[4].age, 1);
  EXPECT_EQ(g_play.effects[4].x, 240);
  EXPECT_EQ(g_play.effects[4].y, 184);
  EXPECT_EQ(g_play.effects[9].kind, EFFECT_CAUGHT);
  g_play.effects[2].age = 0;
  PLAY_AddEffect(EFFECT_DROPPED, 0, 0);
  EXPECT_EQ(g_play.effects[2].kind, EFFECT_DROPPED);
}

TEST_F(Display, NewEffectsStartTwoFramesApartAndLiveThirtyTwoFrames) {
  const int kinds[3] = {2, 2, 2};
  const int pos[3][2] = {{200, 200}, {201, 201}, {202, 202}};
  StartPlay(3, kinds, pos);
  // Three caught effects at once: an effect still young (age 1 or 3) holds
  // back the ones after it, so each starts two frames after the one before.
  const int ages[5][3] = {{3, 1, 1}, {5, 1, 1}, {7, 3, 1}, {9, 5, 1}, {11, 7, 3}};
  for (int f = 0; f < 5; ++f) {
    FrameAt(216, 232, f == 0);
    for (int e = 0; e < 3; ++e) EXPECT_EQ(g_play.effects[e].age, ages[f][e]) << f << " " << e;
  }
  // The pop-in is a zoomed label centred on the cursor.
  const Sprite& s = g_sprites[132];
  EXPECT_EQ(s.slot, 101);
  EXPECT_EQ(s.geometry, SPR_GEOM_ZOOM);
  EXPECT_EQ(s.sy, 0);
  EXPECT_EQ(s.sh, 32);
  EXPECT_EQ(s.x + s.w / 2, 216);
  int frames = 5;
  while (g_play.effects[0].age != 0 && frames < 100) {
    FrameAt(216, 232);
    ++frames;
  }
  EXPECT_EQ(frames, 32);
  EXPECT_FALSE(g_sprites[132].used);
}

TEST_F(Display, ChainPopupReadsTheDigitsInSeventeenPixelCells) {
  const int kinds[3] = {0, 1, 2};
  const int pos[3][2] = {{40, 40}, {140, 40}, {240, 40}};
  StartPlay(3, kinds, pos);
  for (int i = 0; i < 3; ++i) {
    FrameAt(CX(i), CY(i), true);
    FrameAt(540, 380, false, true);
  }
  // The delivered effect's sound frame starts the popup with chainCount + 1.
  for (int f = 0; f < 20 && g_play.chainPopup.t == 0; ++f) FrameAt(540, 380);
  ASSERT_GT(g_play.chainPopup.t, 0);
  EXPECT_EQ(g_play.chainPopup.value, 2);
  while (g_play.chainPopup.t < 20) FrameAt(540, 380);
  EXPECT_EQ(g_sprites[148].x, 24);
  EXPECT_EQ(g_sprites[148].y, 40);
  EXPECT_EQ(g_sprites[148].sw, 216);
  EXPECT_FALSE(g_sprites[149].used);
  EXPECT_EQ(g_sprites[150].sw, 17);
  EXPECT_EQ(g_sprites[150].sx, 17 * 2);
  EXPECT_EQ(g_sprites[150].x, 188 + 17 * 2);
  // Then it sinks, fades and goes.
  for (int f = 0; f < 40; ++f) FrameAt(540, 380);
  EXPECT_EQ(g_play.chainPopup.t, 0);
  EXPECT_FALSE(g_sprites[148].used);
  EXPECT_FALSE(g_sprites[150].used);
}

TEST_F(Display, ChainBannersRunWhileAChainLastsAndFadeOutInThirtyTwoFrames) {
  const int kinds[4] = {0, 1, 2, 2};
  const int pos[4][2] = {{40, 40}, {140, 40}, {240, 40}, {340, 40}};
  StartPlay(4, kinds, pos);
  for (int i = 0; i < 3; ++i) {
    FrameAt(CX(i), CY(i), true);
    FrameAt(540, 380, false, true);
  }
  ASSERT_EQ(g_play.chain.chainDisplay, 1);
  for (int f = 0; f < 30; ++f) FrameAt(0, 0);
  int shown = 0;
  for (int k = 0; k < 11; ++k) {
    const Sprite& s = g_sprites[164 + k];
    if (!s.used) continue;
    ++shown;
    EXPECT_TRUE(s.slot == 20 || s.slot == 21 || s.slot == 22) << k;
    ASSERT_NE(s.clip, nullptr) << k;
    EXPECT_EQ(s.clip->left, 16);
    EXPECT_EQ(s.clip->top, 32);
    EXPECT_EQ(s.clip->right, 448);
    EXPECT_EQ(s.clip->bottom, 464);
    if (s.slot == 22) {
      EXPECT_EQ(s.sy, 0) << "row of the target kind 0";
    }
  }
  EXPECT_GE(shown, 9);
  // The banners move.
  const int16_t x0 = g_sprites[164].x;
  FrameAt(0, 0);
  FrameAt(0, 0);
  EXPECT_NE(g_sprites[164].x, x0);

  // A drop breaks the chain; the fade began in the drop's own frame.
  FrameAt(CX(3), CY(3), true);
  FrameAt(200, 300, false, true);
  ASSERT_EQ(g_play.chain.chainDisplay, 3);
  int frames = 0;
  int lastBright = 128;
  while (g_play.chain.chainDisplay == 3 && frames < 100) {
    FrameAt(0, 0);
    ++frames;
    if (g_sprites[164].used) {
      EXPECT_LE(g_sprites[164].red, lastBright);
      lastBright = g_sprites[164].red;
    }
  }
  EXPECT_EQ(frames, 32);
  EXPECT_EQ(g_play.chain.bannerCounter, 0);
  EXPECT_EQ(g_play.chain.fadeCounter, 0);
  for (int k = 0; k < 11; ++k) EXPECT_FALSE(g_sprites[164 + k].used) << k;
}

TEST_F(Display, StageClearBannerWaitsForAClickThenSpreadsAndEndsTheStage) {
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  StartPlay(1, kinds, pos);
  FrameAt(116, 132, true);
  FrameAt(540, 380, false, true);
  EXPECT_EQ(g_playTotals.clearCounter, 0);
  for (int c = 1; c <= 16; ++c) {
    EXPECT_EQ(FrameAt(540, 380), 1);
    EXPECT_EQ(g_playTotals.clearCounter, c);
    EXPECT_EQ(g_sprites[155].zoom, (16 - c) * (16 - c));
    EXPECT_EQ(g_sprites[155].x, 64);
  }
  for (int f = 0; f < 50; ++f) FrameAt(540, 380);
  EXPECT_EQ(g_playTotals.clearCounter, 16) << "rests until a click";
  const int clicks = g_playTotals.clicks;
  FrameAt(540, 380, true);
  EXPECT_EQ(g_playTotals.clearCounter, 17);
  EXPECT_EQ(g_playTotals.clicks, clicks) << "the dismissing click is not counted";
  EXPECT_EQ(g_sprites[155].x, 2 * 17 + 32);
  EXPECT_EQ(g_sprites[156].x, (48 - 17) * 2);
  EXPECT_EQ(g_sprites[156].zoom, 256 - 225);
  int frames = 0;
  while (PLAY_State() == PLAY_PLAYING && frames < 100) {
    EXPECT_EQ(FrameAt(540, 380), 1);
    ++frames;
  }
  EXPECT_EQ(frames, 16);  // clearCounter 18 .. 33
  EXPECT_EQ(PLAY_State(), PLAY_FINISHED);
  EXPECT_EQ(FrameAt(540, 380), 0);
  EXPECT_EQ(PLAY_State(), PLAY_SETUP);
}

}  // namespace

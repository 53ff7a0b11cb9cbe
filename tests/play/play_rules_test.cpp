// The stage's rules: set-up, catching, the bowl, dropping, chains and scoring.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/headless/headless.h"
#include "play_test_util.h"

using namespace playtest;

namespace {

class Rules : public StageTest {};

TEST_F(Rules, SetUpDealsTheStageFromTheGenerator) {
  g_playTotals.stage = 1;
  g_playTotals.score = 4200;
  g_playTotals.clicks = 9;
  g_playTotals.maxChain = 3;
  g_playTotals.slowed = 1;
  RNG_Seed(777);
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(PLAY_State(), PLAY_READY);
  EXPECT_EQ(g_play.count, 15);
  EXPECT_EQ(g_playTotals.score, 4200);  // the play-through's score carries on
  EXPECT_EQ(g_playTotals.shownScore, 4200);
  EXPECT_EQ(g_playTotals.clicks, 0);
  EXPECT_EQ(g_playTotals.maxChain, 0);
  EXPECT_EQ(g_playTotals.slowed, 0);

  // Creature 0 takes the first four numbers: x, y, spin speed, heading.
  RNG_Seed(777);
  const int rx = RNG_Next(), ry = RNG_Next(), rs = RNG_Next(), rh = RNG_Next();
  const ScoopObject& first = g_play.objects[0];
  EXPECT_EQ(first.x, rx % 384 + 24);
  EXPECT_EQ(first.y, ry % 384 + 24);
  int spin = rs % 32 - 16;
  if (spin > -4 && spin < 4) spin = spin < 0 ? -4 : 4;
  EXPECT_EQ(first.spinSpeed, static_cast<float>(spin));
  EXPECT_EQ(first.heading, static_cast<float>(rh % 256));

  for (int i = 0; i < g_play.count; ++i) {
    const ScoopObject& o = g_play.objects[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(o.size, 48 + 3 * i);
    EXPECT_EQ(o.kind, i % 3);
    EXPECT_EQ(o.state, OBJ_FREE);
    EXPECT_GE(o.x, o.size / 2);
    EXPECT_LT(o.x, POND_SIZE - o.size + o.size / 2);
    EXPECT_GE(o.y, o.size / 2);
    EXPECT_LT(o.y, POND_SIZE - o.size + o.size / 2);
    EXPECT_GE(std::abs(o.spinSpeed), 4.0f);
    EXPECT_LE(std::abs(o.spinSpeed), 16.0f);
    EXPECT_GE(o.speed, 2.0f);
    float expect = static_cast<float>(o.size / 10) + o.spinSpeed * 0.25f;
    if (o.kind == 2) expect *= 0.5f;
    EXPECT_EQ(o.speed, expect < 2.0f ? 2.0f : expect);
  }

  // The same seed deals the same stage.
  const ScoopObject keep = g_play.objects[7];
  PLAY_Reset();
  g_playTotals.stage = 1;
  RNG_Seed(777);
  Frame();
  EXPECT_EQ(g_play.objects[7].x, keep.x);
  EXPECT_EQ(g_play.objects[7].y, keep.y);
  EXPECT_EQ(g_play.objects[7].heading, keep.heading);
}

TEST_F(Rules, ReadyFadesInAndWaitsForAClickFromFrame32) {
  g_playTotals.stage = 1;
  Frame();  // set-up
  HL_SetTime(5000);
  for (int f = 0; f < 32; ++f) {
    EXPECT_EQ(PLAY_Counter(), f);
    FrameAt(100, 100, f == 20, f == 21);  // too early: ignored
    EXPECT_EQ(g_sprites[0].red, f * 4 > 128 ? 128 : f * 4);
    EXPECT_FALSE(g_sprites[4].used) << "creatures are not drawn yet";
  }
  EXPECT_EQ(PLAY_State(), PLAY_READY);
  FrameAt(100, 100, true);
  EXPECT_EQ(PLAY_State(), PLAY_PLAYING);
  EXPECT_EQ(g_playTotals.startTime, 5000u);
  EXPECT_EQ(g_playTotals.clicks, 0) << "the starting click is not a scoop";
}

TEST_F(Rules, CatchBoxIsAThirdOfTheSizeAroundTheCentre) {
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};  // centre on screen (116, 132), box 100..131 x 116..147
  struct Probe {
    int x, y;
    bool caught;
  };
  const Probe probes[] = {{100, 132, true}, {99, 132, false},  {131, 132, true}, {132, 132, false},
                          {116, 116, true}, {116, 115, false}, {116, 147, true}, {116, 148, false}};
  for (const Probe& p : probes) {
    PLAY_Reset();
    StartPlay(1, kinds, pos);
    FrameAt(p.x, p.y, true);
    EXPECT_EQ(g_play.objects[0].state == OBJ_HELD, p.caught) << p.x << "," << p.y;
    EXPECT_EQ(g_playTotals.clicks, 1);
    EXPECT_EQ(g_play.effects[0].kind, p.caught ? EFFECT_CAUGHT : EFFECT_MISSED);
    EXPECT_EQ(g_play.effects[0].x, p.x - 60);
    EXPECT_EQ(g_play.effects[0].y, p.y - 16);
  }
}

TEST_F(Rules, TheBowlsEdgesDeliverAndOneStepOutDrops) {
  struct Probe {
    int x, y;
    bool delivered;
  };
  const Probe probes[] = {{623, 400, true}, {624, 400, false}, {464, 400, true}, {463, 400, false},
                          {540, 304, true}, {540, 303, false}, {540, 463, true}, {540, 464, false}};
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  for (const Probe& p : probes) {
    PLAY_Reset();
    StartPlay(1, kinds, pos);
    FrameAt(116, 132, true);
    FrameAt(p.x, p.y, false, true);
    const ScoopObject& o = g_play.objects[0];
    if (p.delivered) {
      EXPECT_EQ(o.state, OBJ_BOWL) << p.x << "," << p.y;
      EXPECT_EQ(g_playTotals.score, 100);
      EXPECT_GE(o.x, 448);
      EXPECT_LE(o.x, 608);
      EXPECT_GE(o.y, 272);
      EXPECT_LE(o.y, 432);
    } else {
      EXPECT_EQ(o.state, OBJ_DROPPED - 1) << p.x << "," << p.y;  // counted down once already
      EXPECT_EQ(g_playTotals.score, 0);
    }
    EXPECT_EQ(g_play.release.inBowl, p.delivered ? 1 : 0);
  }
}

TEST_F(Rules, DroppingOutsideThePondLandsOnItsEdge) {
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  StartPlay(1, kinds, pos);
  FrameAt(116, 132, true);
  FrameAt(630, 5, false, true);
  EXPECT_EQ(g_play.objects[0].x, 432);
  EXPECT_EQ(g_play.objects[0].y, 0);
  EXPECT_EQ(g_play.release.dropped, 1);
  EXPECT_EQ(g_play.effects[1].kind, EFFECT_DROPPED);
}

TEST_F(Rules, ADroppedCreatureIsImmuneForEightFrames) {
  const int kinds[1] = {0};
  const int pos[1][2] = {{100, 100}};
  for (int wait = 1; wait <= 9; ++wait) {
    PLAY_Reset();
    StartPlay(1, kinds, pos);
    FrameAt(116, 132, true);
    FrameAt(200, 200, false, true);  // dropped at pond (184, 168)
    for (int f = 1; f < wait; ++f) FrameAt(200, 200);
    FrameAt(200, 200, true);  // `wait` frames after the drop
    const bool caught = g_play.objects[0].state == OBJ_HELD;
    EXPECT_EQ(caught, wait >= 8) << "click " << wait << " frames after the drop";
  }
}

// Chain steps fed directly.
void Feed(std::initializer_list<int> kinds) {
  for (int k : kinds) PLAY_ChainStep(k);
}

TEST_F(Rules, AscendingAndDescendingCyclesChainOthersDoNot) {
  Feed({0, 1, 2});
  EXPECT_EQ(g_play.chain.chainCount, 1);
  EXPECT_EQ(g_play.chain.target, 1);  // kind 0 continues
  EXPECT_EQ(g_play.chain.chainDisplay, 1);
  EXPECT_EQ(g_play.chain.chainedNow, 1);
  EXPECT_EQ(g_playTotals.maxChain, 1);

  // The same kind again changes nothing but chainedNow.
  PLAY_ChainStep(2);
  EXPECT_EQ(g_play.chain.chainCount, 1);
  EXPECT_EQ(g_play.chain.chainedNow, 0);
  EXPECT_EQ(g_play.chain.history[0], 3);
  EXPECT_EQ(g_play.chain.history[1], 2);
  EXPECT_EQ(g_play.chain.history[2], 1);

  Feed({0, 1});
  EXPECT_EQ(g_play.chain.chainCount, 3);
  EXPECT_EQ(g_play.chain.target, 3);
  EXPECT_EQ(g_playTotals.maxChain, 3);

  PLAY_Reset();
  Feed({2, 1, 0});
  EXPECT_EQ(g_play.chain.chainCount, 1);
  EXPECT_EQ(g_play.chain.target, 3);  // kind 2 continues downward

  PLAY_Reset();
  Feed({0, 2, 1});
  EXPECT_EQ(g_play.chain.chainCount, 1);
  EXPECT_EQ(g_play.chain.target, 1);

  PLAY_Reset();
  Feed({0, 1, 0});
  EXPECT_EQ(g_play.chain.chainCount, 0);
  EXPECT_EQ(g_play.chain.chainDisplay, 0);
  EXPECT_EQ(g_play.chain.target, 0);
}

TEST_F(Rules, AWrongKindBreaksTheChainAndFadesTheBanners) {
  Feed({0, 1, 2, 1});
  EXPECT_EQ(g_play.chain.chainCount, 0);
  EXPECT_EQ(g_play.chain.chainDisplay, 3);
  EXPECT_EQ(g_play.chain.target, 0);
  EXPECT_EQ(g_play.chain.history[0], 2);
  EXPECT_EQ(g_play.chain.history[1], 0);
  EXPECT_EQ(g_playTotals.maxChain, 1);
  // A new cycle can start from the kind that broke it.
  Feed({2, 0});
  EXPECT_EQ(g_play.chain.chainCount, 1);
  EXPECT_EQ(g_play.chain.chainDisplay, 1);
}

TEST_F(Rules, DroppingBreaksAChainInProgress) {
  const int kinds[4] = {0, 1, 2, 0};
  const int pos[4][2] = {{40, 40}, {140, 40}, {240, 40}, {340, 40}};
  StartPlay(4, kinds, pos);
  for (int i = 0; i < 3; ++i) {
    FrameAt(CX(i), CY(i), true);
    FrameAt(540, 380, false, true);
  }
  EXPECT_EQ(g_play.chain.chainCount, 1);
  // 100 + 100 + 200 (the third delivery counts 1 + chainCount).
  EXPECT_EQ(g_playTotals.score, 400);
  FrameAt(CX(3), CY(3), true);
  FrameAt(200, 300, false, true);
  EXPECT_EQ(g_play.chain.chainCount, 0);
  EXPECT_EQ(g_play.chain.target, 0);
  EXPECT_EQ(g_play.chain.chainDisplay, 3);
  for (int h = 0; h < 4; ++h) EXPECT_EQ(g_play.chain.history[h], 0);
}

TEST_F(Rules, ThreeCaughtTogetherScoreNineUnitsAndPopUpThree) {
  const int kinds[3] = {1, 1, 1};
  const int pos[3][2] = {{200, 200}, {205, 203}, {198, 196}};
  StartPlay(3, kinds, pos);
  FrameAt(216, 232, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(g_play.objects[i].state, OBJ_HELD);
  EXPECT_EQ(g_playTotals.clicks, 1);
  FrameAt(540, 380, false, true);
  EXPECT_EQ(g_play.release.delivered, 3);
  EXPECT_EQ(g_play.release.units, 9);
  EXPECT_EQ(g_playTotals.score, 900);
  EXPECT_EQ(g_play.multiPopup.value, 3);
  EXPECT_GT(g_play.multiPopup.t, 0);
  EXPECT_EQ(g_play.chain.chainCount, 0);
}

TEST_F(Rules, AHeldKindThatContinuesTheChainTakesTheWholeHandful) {
  const int kinds[5] = {0, 1, 2, 1, 0};
  const int pos[5][2] = {{40, 40}, {140, 40}, {240, 40}, {300, 300}, {302, 302}};
  StartPlay(5, kinds, pos);
  for (int i = 0; i < 3; ++i) {
    FrameAt(CX(i), CY(i), true);
    FrameAt(540, 380, false, true);
  }
  ASSERT_EQ(g_play.chain.target, 1);
  const int before = g_playTotals.score;
  FrameAt(316, 332, true);  // kinds 1 and 0 together
  FrameAt(540, 380, false, true);
  // One chain step with kind 0: chainCount 2, each creature 1 + 2 units,
  // times 2 delivered.
  EXPECT_EQ(g_play.chain.chainCount, 2);
  EXPECT_EQ(g_play.chain.history[0], 1);
  EXPECT_EQ(g_play.chain.target, 2);
  EXPECT_EQ(g_play.release.units, 12);
  EXPECT_EQ(g_playTotals.score - before, 1200);
  EXPECT_EQ(g_play.objects[3].state, OBJ_BOWL);
  EXPECT_EQ(g_play.objects[4].state, OBJ_BOWL);
}

TEST_F(Rules, WithoutTheTargetKindEachHeldCreatureStepsTheChain) {
  const int kinds[2] = {0, 1};
  const int pos[2][2] = {{300, 300}, {302, 302}};
  StartPlay(2, kinds, pos);
  FrameAt(316, 332, true);
  FrameAt(540, 380, false, true);
  EXPECT_EQ(g_play.chain.history[0], 2);
  EXPECT_EQ(g_play.chain.history[1], 1);
  EXPECT_EQ(g_play.release.units, 4);  // (1 + 1) x 2
}

TEST_F(Rules, AfterTwoMinutesEverythingSlowsAndScoresATenth) {
  const int kinds[3] = {0, 1, 2};
  const int pos[3][2] = {{100, 100}, {300, 100}, {300, 300}};
  StartPlay(3, kinds, pos);
  g_play.objects[0].speed = 10.0f;
  g_play.objects[0].spinSpeed = -12.0f;
  g_play.objects[1].speed = 3.0f;
  g_state[STATE_PLAY].counter = PLAY_SLOW_FRAME - 1;
  FrameAt(0, 0);
  EXPECT_EQ(g_playTotals.slowed, 0);
  FrameAt(0, 0);
  EXPECT_EQ(g_playTotals.slowed, 1);
  EXPECT_EQ(g_play.objects[0].speed, 5.0f);
  EXPECT_EQ(g_play.objects[0].spinSpeed, -6.0f);
  EXPECT_EQ(g_play.objects[1].speed, 2.0f) << "never below 2";
  EXPECT_EQ(g_play.objects[2].speed, 2.0f);
  FrameAt(CX(2), CY(2), true);
  FrameAt(540, 380, false, true);
  EXPECT_EQ(g_playTotals.score, 10);
}

TEST_F(Rules, CreaturesStayInsideThePondAndTheBowl) {
  g_playTotals.stage = 4;
  RNG_Seed(99);
  Frame();
  g_state[STATE_PLAY] = StatePair{PLAY_PLAYING, PLAY_PLAYING, 0};
  for (int i = 0; i < 12; ++i)
    g_play.objects[i].state = OBJ_BOWL, g_play.objects[i].x = 500, g_play.objects[i].y = 350;
  for (int f = 0; f < 2000; ++f) {
    // The cursor wanders so that the shy kind flees now and then.
    FrameAt((f * 7) % 640, (f * 13) % 480);
    for (int i = 0; i < g_play.count; ++i) {
      const ScoopObject& o = g_play.objects[i];
      if (o.state == OBJ_BOWL) {
        ASSERT_GE(o.x, 448);
        ASSERT_LE(o.x, 608);
        ASSERT_GE(o.y, 272);
        ASSERT_LE(o.y, 432);
      } else {
        ASSERT_GE(o.x, 0);
        ASSERT_LE(o.x, 432);
        ASSERT_GE(o.y, 0);
        ASSERT_LE(o.y, 432);
      }
    }
  }
}

}  // namespace

// The frame clock: due frames, skipped drawing and resync, on the virtual clock.
#include <gtest/gtest.h>

#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "platform/plt_clock.h"
#include "shell/app.h"

namespace {

// Runs the clock with the game already running and no mode update, so each
// call either sleeps to the deadline or runs one frame step.
class FrameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    APP_ResetForTests();
    g_app.loopState = g_app.nextLoopState = 1;
    g_app.gameMode = 0;
    HL_SetTime(10000);
    APP_FrameClock();  // first call: deadline := now, one frame drawn
  }
  // Calls the clock until the next frame step ran; returns whether it was drawn.
  bool NextStep() {
    uint64_t steps = g_app.frameSteps, drawn = g_app.framesDrawn;
    while (g_app.frameSteps == steps) APP_FrameClock();
    return g_app.framesDrawn != drawn;
  }
};

TEST_F(FrameClockTest, OnTimeEveryFrameIsDrawnAt33ms) {
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(NextStep());
    EXPECT_EQ(PLT_TimeMs(), 10000u + 33u * (i + 1));
  }
}

TEST_F(FrameClockTest, HundredMsLateDrawsThenSkipsThree) {
  HL_AdvanceTime(33 + 100);  // the next call finds itself 100 ms past its deadline
  uint32_t start = PLT_TimeMs();
  EXPECT_TRUE(NextStep());
  // The next three due frames run back to back without drawing.
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(NextStep()) << i;
  EXPECT_EQ(PLT_TimeMs(), start);
  EXPECT_TRUE(NextStep());
}

TEST_F(FrameClockTest, TwoSecondsLateSkipsTenAndDropsTheBacklog) {
  HL_AdvanceTime(33 + 2000);
  uint32_t late = PLT_TimeMs();
  EXPECT_TRUE(NextStep());
  EXPECT_EQ(g_clock.deadline, late + 33);  // more than 500 ms behind: give up catching up
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(NextStep()) << i;
  EXPECT_TRUE(NextStep());
  EXPECT_EQ(PLT_TimeMs(), late + 33 * 11);
}

TEST_F(FrameClockTest, ResyncSkipsNothing) {
  HL_AdvanceTime(33 + 2000);
  g_clock.resync = 1;  // a long load just happened
  uint32_t now = PLT_TimeMs();
  EXPECT_TRUE(NextStep());
  EXPECT_EQ(g_clock.resync, 2);
  EXPECT_EQ(g_clock.deadline, now + 33);
  EXPECT_TRUE(NextStep());
  EXPECT_EQ(g_clock.resync, 0);
  EXPECT_TRUE(NextStep());
}

TEST_F(FrameClockTest, RatesOfTheLastSecond) {
  for (int i = 0; i < 70; ++i) NextStep();
  EXPECT_GE(g_clock.updatesLastSecond, 30);
  EXPECT_LE(g_clock.updatesLastSecond, 31);
  EXPECT_EQ(g_clock.drawnLastSecond, g_clock.updatesLastSecond);
}

}  // namespace

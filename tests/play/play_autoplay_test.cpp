// Whole stages played by the scripted player through the headless mouse, and
// the stage's promise to allocate nothing while it runs.
#include "zentrova-tool/play_autoplay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/headless/headless.h"
#include "play_test_util.h"

// Allocation counter for this test binary: counts only while armed. The
// replacements pair malloc with free, which the compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<bool> g_countAllocations{false};
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t n) {
  if (g_countAllocations.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
  return operator new(n);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

using namespace playtest;

namespace {

class Autoplay : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    HL_Reset();
    MOUSE_Init(640, 480);
    MOUSE_SetExclusive(1);
    player_.Reset(4242);
  }

  // One frame as the game runs it: the player's input goes through the
  // headless mouse and the real poll; then the stage update.
  int Step(bool countStage = false) {
    player_.Step();
    if (player_.x != cursorX_ || player_.y != cursorY_) {
      HL_MouseMove(player_.x, player_.y);
      cursorX_ = player_.x;
      cursorY_ = player_.y;
    }
    if (player_.down != down_) {
      HL_MouseButton(0, player_.down ? 1 : 0);
      down_ = player_.down;
    }
    MOUSE_Poll(1);
    g_countAllocations = countStage;
    const int r = PLAY_Update();
    g_countAllocations = false;
    STATE_Advance();
    return r;
  }

  PlayAutoplayer player_;
  int cursorX_ = -1, cursorY_ = -1;
  bool down_ = false;
};

TEST_F(Autoplay, AWholeStageIsPlayedToTheClearBanner) {
  for (int stage = 1; stage <= 2; ++stage) {
    SCOPED_TRACE(stage);
    g_playTotals.stage = stage;
    const int scoreBefore = g_playTotals.score;
    int frames = 0;
    int result = 1;
    bool sawChain = false;
    while (result != 0 && frames < 20000) {
      result = Step();
      ++frames;
      if (g_play.chain.chainCount > 0) sawChain = true;
    }
    ASSERT_EQ(result, 0) << "stage not finished after " << frames << " frames";
    EXPECT_EQ(PLAY_State(), PLAY_SETUP);
    for (int i = 0; i < g_play.count; ++i) EXPECT_EQ(g_play.objects[i].state, OBJ_BOWL);
    EXPECT_GT(g_playTotals.score, scoreBefore);
    EXPECT_GE(g_playTotals.clicks, g_play.count / 3);
    EXPECT_TRUE(sawChain) << "the player prefers the kind that continues the chain";
    EXPECT_GE(g_playTotals.maxChain, 1);
    EXPECT_LT(frames, 3600) << "a brisk player finishes before the slow-down";
  }
}

TEST_F(Autoplay, EighteenThousandFramesOfPlayAllocateNothing) {
  g_playTotals.stage = 1;
  long stageFrames = 0;
  long stages = 0;
  // The first stage is left alone past the two-minute slow-down before the
  // player starts; after that stages follow one another.
  for (int f = 0; f < 18000; ++f) {
    const int state = PLAY_State();
    const bool idle = stages == 0 && f < 4000;
    if (idle && state != PLAY_SETUP) {
      MOUSE_Poll(1);
      if (state == PLAY_READY && PLAY_Counter() == 40) {
        g_mouse.pressed[0] = 1;  // start play, then leave it
      }
      g_countAllocations = true;
      PLAY_Update();
      g_countAllocations = false;
      STATE_Advance();
      ++stageFrames;
      continue;
    }
    // Set-up loads the pictures (an allocation by design); every other frame
    // must not allocate.
    const bool setUp = state == PLAY_SETUP;
    if (Step(!setUp) == 0) ++stages;
    if (!setUp) ++stageFrames;
  }
  EXPECT_EQ(g_allocations.load(), 0) << "over " << stageFrames << " stage frames";
  EXPECT_GE(stages, 2);
  EXPECT_EQ(g_playTotals.slowed == 1 || stages > 0, true);
}

}  // namespace

// A scripted player for the scooping game, used by `zentrova-tool replay
// --autoplay` and by the tests: it reads the creature table every frame and
// decides where the cursor goes and whether the left button is down. It moves
// like a person with a mouse (an eased approach, a reaction pause before each
// click and a short rest after each delivery), carries whatever it caught to
// the bowl, and prefers the kind that continues the chain. It draws from its
// own generator, never from the game's.
#pragma once
#include <cstdint>

#include "game/play.h"

struct PlayAutoplayer {
  enum Phase : int { IDLE, CHASE, PRESSED, CARRY, RELEASED };

  uint32_t rng = 1;
  int x = 320, y = 240;  // cursor, client pixels
  bool down = false;     // left button
  Phase phase = IDLE;
  int wait = 0;    // frames to rest before the next decision
  int chase = -1;  // creature being chased
  int chaseFrames = 0;
  int bowlX = 544, bowlY = 384;  // where this trip's release happens

  void Reset(uint32_t seed) {
    *this = PlayAutoplayer{};
    rng = seed ? seed : 1;
  }

  int Random(int n) {  // 0..n-1
    rng ^= rng << 13;
    rng ^= rng >> 17;
    rng ^= rng << 5;
    return static_cast<int>(rng % static_cast<uint32_t>(n));
  }

  // Eases the cursor toward (tx, ty); true when it is there.
  bool MoveToward(int tx, int ty, int maxStep) {
    const int dx = tx - x, dy = ty - y;
    const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int dist = adx > ady ? adx : ady;
    if (dist == 0) return true;
    int step = dist * 2 / 5;
    if (step < 6) step = 6;
    if (step > maxStep) step = maxStep;
    if (step >= dist) {
      x = tx;
      y = ty;
      return true;
    }
    x += dx * step / dist;
    y += dy * step / dist;
    return false;
  }

  // The kind whose delivery continues (or best starts) a cycle.
  static int PreferredKind() {
    const ChainState& ch = g_play.chain;
    if (ch.target != 0) return ch.target - 1;
    const int h0 = ch.history[0], h1 = ch.history[1];
    if (h0 != 0 && h1 != 0) {
      const int d = ((h0 - h1) % 3 + 3) % 3;  // 1 ascending, 2 descending
      return (h0 - 1 + d) % 3;
    }
    if (h0 != 0) return h0 % 3;  // the next kind up
    return -1;
  }

  int PickCreature() const {
    const int want = PreferredKind();
    int best = -1, bestScore = 0;
    for (int i = 0; i < g_play.count; ++i) {
      const ScoopObject& o = g_play.objects[i];
      if (o.state != OBJ_FREE) continue;
      const int dx = o.x + POND_X - x, dy = o.y + POND_Y - y;
      int score = dx * dx + dy * dy;
      if (want >= 0 && o.kind != want) score += 1 << 24;  // any other kind only when none is left
      if (best < 0 || score < bestScore) {
        best = i;
        bestScore = score;
      }
    }
    return best;
  }

  bool Holding() const {
    for (int i = 0; i < g_play.count; ++i) {
      if (g_play.objects[i].state == OBJ_HELD) return true;
    }
    return false;
  }

  // One frame's decision, taken before the frame's input poll.
  void Step() {
    const int state = PLAY_State();
    if (state == PLAY_READY) {
      // Press once the stage accepts it, release the next frame.
      if (down) {
        down = false;
      } else if (PLAY_Counter() >= 40 + Random(10)) {
        down = true;
      }
      return;
    }
    if (state != PLAY_PLAYING) {
      down = false;
      phase = IDLE;
      return;
    }
    if (g_playTotals.clearCounter != 0) {
      // The banner rests at 16 until a click.
      if (down) {
        down = false;
      } else if (g_playTotals.clearCounter == 16 && wait-- <= 0) {
        down = true;
      }
      phase = IDLE;
      return;
    }
    if (wait > 0) {
      --wait;
      return;
    }
    switch (phase) {
      case IDLE:
      case RELEASED:
        down = false;
        chase = PickCreature();
        chaseFrames = 0;
        if (chase >= 0) phase = CHASE;
        if (phase == RELEASED) phase = IDLE;
        break;
      case CHASE: {
        const ScoopObject& o = g_play.objects[chase];
        if (o.state != OBJ_FREE || ++chaseFrames > 90) {
          phase = IDLE;  // it got away, or someone else took it: choose again
          break;
        }
        // The catch uses the positions before this frame's movement, which
        // are the ones read here.
        const int tx = o.x + POND_X, ty = o.y + POND_Y;
        if (MoveToward(tx, ty, 40)) {
          down = true;
          phase = PRESSED;
        }
        break;
      }
      case PRESSED:
        if (Holding()) {
          phase = CARRY;
          bowlX = 544 + Random(61) - 30;
          bowlY = 384 + Random(61) - 30;
        } else {
          down = false;  // a miss: let go and look again after a moment
          phase = IDLE;
          wait = 2 + Random(4);
        }
        break;
      case CARRY:
        if (!Holding()) {
          down = false;
          phase = IDLE;
          break;
        }
        if (MoveToward(bowlX, bowlY, 36)) {
          down = false;
          phase = RELEASED;
          wait = 3 + Random(10);
        }
        break;
    }
  }
};

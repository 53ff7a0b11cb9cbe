// The scooping game: set-up, the ready fade, play with catching, carrying,
// delivering and chains, the score counter, effect labels, popups, chain
// banners and the stage-clear banner. Everything lives in fixed tables; a
// frame allocates nothing.
#include "game/play.h"

#include "blit/blit.h"
#include "common/key.h"
#include "common/mouse.h"
#include "common/rng.h"
#include "common/se_ids.h"
#include "game/game_mode.h"
#include "game/play_screen.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/plt_clock.h"
#include "sound/bgm.h"
#include "sound/sound.h"

PlayTotals g_playTotals;
PlayStage g_play;

const int32_t g_stageObjectCount[PLAY_STAGE_COUNT] = {0,  15, 18, 21, 24, 18, 21,
                                                      24, 27, 21, 24, 27, 30};

const int16_t g_sineTable[256] = {
    0,     100,   200,   301,   401,   501,   601,   700,   799,   897,   995,   1092,  1189,
    1284,  1379,  1474,  1567,  1659,  1751,  1841,  1930,  2018,  2105,  2191,  2275,  2358,
    2439,  2519,  2598,  2675,  2750,  2824,  2896,  2966,  3034,  3101,  3166,  3229,  3289,
    3348,  3405,  3460,  3513,  3563,  3612,  3658,  3702,  3744,  3784,  3821,  3856,  3889,
    3919,  3947,  3973,  3996,  4017,  4035,  4051,  4065,  4076,  4084,  4091,  4094,  4096,
    4094,  4091,  4084,  4076,  4065,  4051,  4035,  4017,  3996,  3973,  3947,  3919,  3889,
    3856,  3821,  3784,  3744,  3702,  3658,  3612,  3563,  3513,  3460,  3405,  3348,  3289,
    3229,  3166,  3101,  3034,  2966,  2896,  2824,  2750,  2675,  2598,  2519,  2439,  2358,
    2275,  2191,  2105,  2018,  1930,  1841,  1751,  1659,  1567,  1474,  1379,  1284,  1189,
    1092,  995,   897,   799,   700,   601,   501,   401,   301,   200,   100,   0,     -100,
    -200,  -301,  -401,  -501,  -601,  -700,  -799,  -897,  -995,  -1092, -1189, -1284, -1379,
    -1474, -1567, -1659, -1751, -1841, -1930, -2018, -2105, -2191, -2275, -2358, -2439, -2519,
    -2598, -2675, -2750, -2824, -2896, -2966, -3034, -3101, -3166, -3229, -3289, -3348, -3405,
    -3460, -3513, -3563, -3612, -3658, -3702, -3744, -3784, -3821, -3856, -3889, -3919, -3947,
    -3973, -3996, -4017, -4035, -4051, -4065, -4076, -4084, -4091, -4094, -4096, -4094, -4091,
    -4084, -4076, -4065, -4051, -4035, -4017, -3996, -3973, -3947, -3919, -3889, -3856, -3821,
    -3784, -3744, -3702, -3658, -3612, -3563, -3513, -3460, -3405, -3348, -3289, -3229, -3166,
    -3101, -3034, -2966, -2896, -2824, -2750, -2675, -2598, -2519, -2439, -2358, -2275, -2191,
    -2105, -2018, -1930, -1841, -1751, -1659, -1567, -1474, -1379, -1284, -1189, -1092, -995,
    -897,  -799,  -700,  -601,  -501,  -401,  -301,  -200,  -100,
};

namespace {

using namespace play_screen;

StatePair& Pair() {
  return g_state[STATE_PLAY];
}

int Clamp(int v, int lo, int hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}
int Min(int a, int b) {
  return a < b ? a : b;
}
int Max(int a, int b) {
  return a > b ? a : b;
}
int Abs(int v) {
  return v < 0 ? -v : v;
}

// Opacity 0..256 as a draw-mode word; 256 is plain drawing.
uint32_t Opacity(int a) {
  a = Clamp(a, 0, 256);
  if (a >= 256) return BLT_MODE_COPY;
  return BLT_Mode(BLT_MODE_FADE, a);
}

// Angles and directions are accumulated floats used modulo 256. They are
// kept in [0, 256) so that a long stay in the pond keeps their fractions.
float Wrap256(float v) {
  while (v >= 256.0f) v -= 256.0f;
  while (v < 0.0f) v += 256.0f;
  return v;
}
int Step256(float v) {
  return static_cast<int>(v) & 255;
}

bool InBowl(int x, int y) {
  return x >= BOWL_X && x < BOWL_X + BOWL_SIZE && y >= BOWL_Y && y < BOWL_Y + BOWL_SIZE;
}

// --- Set-up -------------------------------------------------------------------

void SetUp() {
  PlayTotals& t = g_playTotals;
  t.shownScore = t.score;
  t.slowed = 0;
  t.clearCounter = 0;
  t.maxChain = 0;
  t.clicks = 0;
  // The release counter runs on across stages, so a watcher sees every release.
  const uint32_t releases = g_play.release.serial;
  g_play = PlayStage{};
  g_play.release.serial = releases;

  BGM_Play(BGM_STAGE, 0, 1, 255, 0);

  IMG_LoadBMP(IMG_POND, FMT_F, "sys1000.bmp");
  IMG_LoadBMP(IMG_CREATURES, FMT_B, "char000.bmp");
  IMG_LoadBMP(IMG_BANNER_A, FMT_B, "sys0010.bmp");
  IMG_LoadBMP(IMG_BANNER_B, FMT_B, "sys0011.bmp");
  IMG_LoadBMP(IMG_BANNER_NEXT, FMT_B, "sys0012.bmp");
  IMG_LoadBMP(IMG_DIGITS, FMT_B, "sys0000.bmp");
  IMG_LoadBMP(IMG_LABELS, FMT_B, "sys0001.bmp");
  IMG_LoadBMP(IMG_POPUPS, FMT_B, "sys0002.bmp");
  IMG_LoadBMP(IMG_CLEAR, FMT_B, "sys0003.bmp");
  SPR_SetImage(SP_POND, IMG_POND, LY_POND, 1, BLT_KEY_NONE);
  SPR_SetBright(SP_POND, 0);

  const int stage = t.stage;
  const int n = (stage >= 0 && stage < PLAY_STAGE_COUNT) ? g_stageObjectCount[stage] : 0;
  g_play.count = n;
  for (int i = 0; i < n; ++i) {
    ScoopObject& o = g_play.objects[i];
    o.size = 48 + 3 * i;
    o.x = RNG_Next() % (POND_SIZE - o.size) + o.size / 2;
    o.y = RNG_Next() % (POND_SIZE - o.size) + o.size / 2;
    o.spin = 0.0f;
    int spin = RNG_Next() % 32 - 16;
    if (spin > -4 && spin < 4) spin = spin < 0 ? -4 : 4;
    o.spinSpeed = static_cast<float>(spin);
    o.heading = static_cast<float>(RNG_Next() % 256);
    o.kind = i % 3;
    float speed = static_cast<float>(o.size / 10) + o.spinSpeed * 0.25f;
    if (o.kind == 2) speed *= 0.5f;
    o.speed = speed < 2.0f ? 2.0f : speed;
    o.state = OBJ_FREE;
  }
  Pair().next = PLAY_READY;
}

// --- Ready --------------------------------------------------------------------

void Ready(int frame) {
  SPR_SetBright(SP_POND, Min(frame * 4, 128));
  if (frame >= 32 && MOUSE_PressedInside(0)) {
    Pair().next = PLAY_PLAYING;
    g_playTotals.startTime = PLT_TimeMs();
  }
}

// --- Stage clear --------------------------------------------------------------

void ClearBanner() {
  PlayTotals& t = g_playTotals;
  if (t.clearCounter == 0) {
    BGM_PlayOnChannel(2, BGM_CLEAR, 0, 0, 255, 1);
    BGM_Stop(60);
  }
  if (t.clearCounter < 16) {
    t.clearCounter += 1;
    const int c = t.clearCounter;
    SPR_SetImage(SP_CLEAR_A, IMG_CLEAR, LY_CLEAR, 1, BLT_KEY_ALPHA);
    SPR_Move(SP_CLEAR_A, 64, 96);
    SPR_SetZoom(SP_CLEAR_A, 320, 128, (16 - c) * (16 - c));
    SPR_SetBlend(SP_CLEAR_A, Opacity(c * 16));
    return;
  }
  if (t.clearCounter == 16) {
    if (!MOUSE_PressedInside(0)) return;  // the banner rests until a click
    t.clearCounter = 17;
  } else {
    t.clearCounter += 1;
  }
  const int c = t.clearCounter;
  const int m = Min(32 - c, 16);
  const int a = m > 0 ? m * m : 0;
  const int xs[2] = {2 * c + 32, (48 - c) * 2};
  for (int k = 0; k < 2; ++k) {
    const int s = SP_CLEAR_A + k;
    SPR_SetImage(s, IMG_CLEAR, LY_CLEAR, 1, BLT_KEY_ALPHA);
    SPR_Move(s, xs[k], 96);
    SPR_SetZoom(s, 320, 128, 256 - a);
    SPR_SetBlend(s, a > 0 ? Opacity(a) : Opacity(0));
    if (a <= 0) SPR_Show(s, 0);
  }
  if (c > 32) Pair().next = PLAY_FINISHED;
}

// --- Catching and releasing ---------------------------------------------------

void Catch(int cx, int cy) {
  g_playTotals.clicks += 1;
  bool any = false;
  for (int i = 0; i < g_play.count; ++i) {
    ScoopObject& o = g_play.objects[i];
    if (o.state != OBJ_FREE) continue;
    const int r = o.size / 3;
    if (o.x + POND_X - r <= cx && cx < o.x + POND_X + r && o.y + POND_Y - r <= cy &&
        cy < o.y + POND_Y + r) {
      o.state = OBJ_HELD;
      PLAY_AddEffect(EFFECT_CAUGHT, cx, cy);
      any = true;
    }
  }
  if (!any) PLAY_AddEffect(EFFECT_MISSED, cx, cy);
}

void BreakChain() {
  ChainState& ch = g_play.chain;
  ch.chainCount = 0;
  if (ch.chainDisplay == 1) {
    ch.fadeCounter = 0;
    ch.chainDisplay = 3;
  }
  ch.target = 0;
  for (uint8_t& h : ch.history) h = 0;
}

void Deliver(ScoopObject& o, int cx, int cy) {
  o.state = OBJ_BOWL;
  // The creature swims on from where it was let go; the cursor is inside the
  // bowl, so this keeps it within the bowl's limits even when the cursor
  // moved since the last frame.
  o.x = cx - POND_X;
  o.y = cy - POND_Y;
  PLAY_AddEffect(EFFECT_DELIVERED, cx, cy);
}

void Release(int cx, int cy) {
  ChainState& ch = g_play.chain;
  PlayReleaseInfo& info = g_play.release;
  const uint32_t serial = info.serial + 1;
  info = PlayReleaseInfo{};
  info.serial = serial;
  info.x = cx;
  info.y = cy;
  const bool inBowl = InBowl(cx, cy);
  info.inBowl = inBowl ? 1 : 0;

  int delivered = 0;
  int dropped = 0;
  int units = 0;
  bool shortcut = false;
  for (int i = 0; i < g_play.count; ++i) {
    const ScoopObject& o = g_play.objects[i];
    if (o.state != OBJ_HELD) continue;
    info.kinds[info.heldCount++] = o.kind;
    if (inBowl && ch.target != 0 && o.kind + 1 == ch.target) shortcut = true;
  }

  if (shortcut) {
    // A held creature continues the chain: the whole handful counts as that
    // one step.
    PLAY_ChainStep(ch.target - 1);
    for (int i = 0; i < g_play.count; ++i) {
      ScoopObject& o = g_play.objects[i];
      if (o.state != OBJ_HELD) continue;
      Deliver(o, cx, cy);
      delivered += 1;
      units += 1 + ch.chainCount;
    }
  } else {
    for (int i = 0; i < g_play.count; ++i) {
      ScoopObject& o = g_play.objects[i];
      if (o.state != OBJ_HELD) continue;
      if (!inBowl) {
        o.x = Clamp(cx, POND_X, POND_X + POND_SIZE) - POND_X;
        o.y = Clamp(cy, POND_Y, POND_Y + POND_SIZE) - POND_Y;
        if (ch.history[0] != 0) BreakChain();
        ch.chainedNow = 0;
        o.state = OBJ_DROPPED;
        PLAY_AddEffect(EFFECT_DROPPED, cx, cy);
        dropped += 1;
      } else {
        PLAY_ChainStep(o.kind);
        Deliver(o, cx, cy);
        delivered += 1;
        units += 1 + ch.chainCount;
      }
    }
  }

  if (delivered > 1) {
    units *= delivered;
    g_play.multiPopup.t = 1;
    g_play.multiPopup.value = delivered;
  }
  g_playTotals.score += units * (g_playTotals.slowed == 1 ? 10 : 100);
  info.delivered = delivered;
  info.dropped = dropped;
  info.units = units;
}

// --- Creatures ----------------------------------------------------------------

void Slow() {
  g_playTotals.slowed = 1;
  for (int i = 0; i < g_play.count; ++i) {
    ScoopObject& o = g_play.objects[i];
    const float s = o.speed * 0.5f;
    o.speed = s < 2.0f ? 2.0f : s;
    o.spinSpeed *= 0.5f;
  }
}

void Swim(ScoopObject& o, int cx, int cy) {
  const bool bowl = o.state == OBJ_BOWL;
  const int h = Step256(o.heading);
  float dx = static_cast<float>(g_sineTable[h]) * o.speed / 4096.0f;
  float dy = static_cast<float>(g_sineTable[(h + 64) & 255]) * o.speed / 4096.0f;
  o.spin = Wrap256(o.spin + o.spinSpeed + 256.0f);
  if (o.kind == 0) {
    o.heading = Wrap256(o.heading + o.spinSpeed * (bowl ? 0.0625f : 0.125f) + 256.0f);
  } else {
    o.heading = Wrap256(o.heading + static_cast<float>(RNG_Next() % 32 - 16) + 256.0f);
    if (o.kind == 2) {
      const int ax = Abs(cx - o.x);
      const int ay = Abs(cy - o.y);
      const bool flee = bowl ? (ax < 128 || ay < 128) : (ax < 128 && ay < 128);
      if (flee) {
        dx *= 2.0f;
        dy *= 2.0f;
      }
    }
  }
  const float left = bowl ? 448.0f : 0.0f;
  const float right = bowl ? 608.0f : 432.0f;
  const float top = bowl ? 272.0f : 0.0f;
  const float bottom = bowl ? 432.0f : 432.0f;
  const float nx = static_cast<float>(o.x) + dx;
  if (nx < left || nx > right) {
    dx = -dx;
    o.heading = Wrap256(o.heading + 128.0f);
  }
  const float ny = static_cast<float>(o.y) + dy;
  if (ny < top || ny > bottom) {
    dy = -dy;
    o.heading = Wrap256(o.heading + 128.0f);
  }
  o.x += static_cast<int>(dx);
  o.y += static_cast<int>(dy);
}

void MoveCreatures(int cx, int cy) {
  for (int i = 0; i < g_play.count; ++i) {
    ScoopObject& o = g_play.objects[i];
    int row = 0;
    if (o.state == OBJ_HELD) {
      o.spin = Wrap256(o.spin + o.spinSpeed + 256.0f);
      o.x = cx - POND_X;
      o.y = cy - POND_Y;
      row = 1;
    } else {
      if (o.state == 3) {
        o.state = OBJ_FREE;
      } else if (o.state > 3) {
        o.state -= 1;
      }
      Swim(o, cx, cy);
    }
    const int s = SP_CREATURE + i;
    const bool held = o.state == OBJ_HELD;
    SPR_SetImage(s, IMG_CREATURES, held ? LY_HELD : LY_SWIMMING, 1, BLACK_COLOUR_KEY);
    SPR_Rotate(s, o.x + POND_X, o.y + POND_Y, 2 * o.size - 192, Step256(o.spin), CELL * o.kind,
               CELL * row, CELL, CELL);
    if (o.state == OBJ_BOWL) {
      SPR_SetClip(s, BOWL_X, BOWL_Y, BOWL_SIZE, BOWL_SIZE);
    } else if (!held) {
      SPR_SetClip(s, POND_X, POND_Y, POND_SIZE, POND_SIZE);
    }
  }
}

// --- Counters -----------------------------------------------------------------

void ScoreDisplay() {
  PlayTotals& t = g_playTotals;
  if (t.shownScore < t.score) {
    const SeRecord* r = AVG_GetSE2Record(SE_RECORD_COUNTING);
    if (!(r && r->inUse && r->number == SE_COUNTING)) {
      AVG_PlaySE2(SE_RECORD_COUNTING, SE_COUNTING, 0, 1, 32);
    }
    t.shownScore += (t.score - t.shownScore <= 1000) ? 10 : 100;
    if (t.shownScore > t.score) t.shownScore = t.score;
  } else {
    AVG_StopSE2(SE_RECORD_COUNTING, 0);
  }
  PLAY_DrawNumber(SP_SCORE, IMG_DIGITS, t.shownScore, 502, 38, DIGIT_W, DIGIT_H, 6);
  PLAY_DrawNumber(SP_CLICKS, IMG_DIGITS, t.clicks, 519, 70, DIGIT_W, DIGIT_H, 5);
  PLAY_DrawNumber(SP_MAXCHAIN, IMG_DIGITS, t.maxChain + 1, 536, 102, DIGIT_W, DIGIT_H, 4);
}

void NextKindIndicator() {
  const int target = g_play.chain.target;
  if (target == 0) {
    SPR_Clear(SP_NEXT_KIND);
    return;
  }
  SPR_SetImage(SP_NEXT_KIND, IMG_CREATURES, LY_NEXT_KIND, 1, BLT_KEY_ALPHA);
  SPR_SetView(SP_NEXT_KIND, 488, 164, CELL * (target - 1), 0, CELL, CELL);
}

// --- Effects and popups -------------------------------------------------------

void EffectSound(const PlayEffect& e) {
  int number = SE_MISSED;
  switch (e.kind) {
    case EFFECT_CAUGHT:
      number = SE_DECIDE;
      break;
    case EFFECT_DROPPED:
      number = SE_DROPPED;
      break;
    case EFFECT_DELIVERED:
      if (e.chained) {
        number = SE_CHAINED;
        g_play.chainPopup.t = 1;
        g_play.chainPopup.value = e.chainValue;
      } else {
        number = SE_DELIVERED;
      }
      break;
    default:
      break;
  }
  SND_PlaySE(number, 0, 255);
}

void DrawEffect(int entry, const PlayEffect& e) {
  const int s = SP_EFFECT + entry;
  const int b = e.age;
  const int sy = 32 * e.kind;
  SPR_SetImage(s, IMG_LABELS, LY_EFFECTS, 1, BLT_KEY_ALPHA);
  if (b < 24) {
    const int g = 24 - (b - 24) * (b - 24) / 24;
    const int w = g * 120 / 16;
    const int h = g * 32 / 16;
    if (w <= 0 || h <= 0) {
      SPR_Show(s, 0);
      return;
    }
    SPR_SetZoomRect(s, e.x + 60 - w / 2, e.y + 16 - h / 2, w, h);
    SPR_SetSource(s, 0, sy, 120, 32);
    SPR_SetBlend(s, Opacity(16 * g));
  } else if (b < 32) {
    SPR_SetView(s, e.x, e.y, 0, sy, 120, 32);
  } else {
    const int r = b - 32;
    SPR_SetView(s, e.x, e.y - r * r / 32, 0, sy, 120, 32);
    SPR_SetBlend(s, Opacity((64 - b) * 8));
  }
}

void UpdateEffects() {
  bool youngAdvanced = false;
  for (int i = 0; i < PLAY_EFFECTS; ++i) {
    PlayEffect& e = g_play.effects[i];
    if (e.age == 0) continue;
    bool advance = true;
    if (e.age < 4) {
      // New effects start at least two frames apart, so a handful caught at
      // once pops one label after another.
      if (youngAdvanced) {
        advance = false;
      } else {
        youngAdvanced = true;
      }
    }
    if (advance) {
      if (e.age == 1) EffectSound(e);
      e.age += 2;
    }
    if (e.age >= EFFECT_END) {
      SPR_Clear(SP_EFFECT + i);
      e = PlayEffect{};
      continue;
    }
    DrawEffect(i, e);
  }
}

// Shared by both popups: label and a two-digit number sliding in from the
// left, then leaving downward (chain) or upward (multi-catch).
void DrawPopup(PlayPopup& p, int labelSprite, int labelRow, int digitSprite, int numberX, int baseY,
               bool rises) {
  if (p.t <= 0) return;
  if (p.t > POPUP_END) {
    SPR_Clear(labelSprite);
    SPR_Clear(digitSprite);
    SPR_Clear(digitSprite + 1);
    p = PlayPopup{};
    return;
  }
  const int t = p.t;
  int x = 24;
  int nx = numberX;
  int y = baseY;
  int opacity;
  if (t < 32) {
    const int s = Clamp(t, 0, 16);
    const int offset = (s * s / 16 - 16) * 216 / 16;
    x += offset;
    nx += offset;
    opacity = 16 * Min(t, 16);
  } else {
    const int u = Clamp(t - 32, 0, 16);
    y = rises ? (u * u / 16) * (-64) / 16 + baseY : 4 * (u * u / 16) + baseY;
    opacity = 16 * (16 - u);
  }
  SPR_SetImage(labelSprite, IMG_POPUPS, LY_NUMBERS, 1, BLT_KEY_ALPHA);
  SPR_SetView(labelSprite, x, y, 0, 24 * labelRow, 216, 24);
  PLAY_DrawNumber(digitSprite, IMG_DIGITS, p.value, nx, y, DIGIT_W, DIGIT_H, 2);
  const uint32_t mode = Opacity(opacity);
  SPR_SetBlend(labelSprite, mode);
  SPR_SetBlend(digitSprite, mode);
  SPR_SetBlend(digitSprite + 1, mode);
  p.t += 1;
}

// --- Chain banners --------------------------------------------------------------
//
// While a chain runs the pond gets a marquee: four strips scroll across it,
// two above and two below the middle, in alternating directions (two sprites each, so the
// 432-pixel strips tile seamlessly), sliding in from the rims when the chain
// starts; in the middle, behind the creatures, the "next is ..." row of the
// target kind pops in with a soft additive glow that pulses, and pops again
// when the target changes. Fading out darkens and dissolves everything.

struct BandPath {
  int slot;
  int y;          // resting top, pond-relative
  int dir;        // -1 scrolls left, +1 right
  int speed;      // pixels per 2 frames
  int enterFrom;  // -1 slides down from the top rim, +1 up from the bottom rim
};
const BandPath kBands[4] = {
    {IMG_BANNER_A, 72, -1, 3, -1},  // below the chain and multi-catch popups
    {IMG_BANNER_B, 98, 1, 2, -1},
    {IMG_BANNER_B, POND_SIZE - 122, -1, 2, 1},  // mirrored about the middle
    {IMG_BANNER_A, POND_SIZE - 96, 1, 3, 1},
};
enum : int { BAND_W = 432, BAND_H = 24, NEXT_W = 276, NEXT_H = 24 };

void ClipToPond(int s) {
  SPR_SetClip(s, POND_X, POND_Y, POND_SIZE, POND_SIZE);
}

void Banners() {
  ChainState& ch = g_play.chain;
  if (ch.chainDisplay == 0) {
    for (int k = 0; k < BANNER_SPRITES; ++k) SPR_Clear(SP_BANNER + k);
    g_play.bannerTarget = 0;
    return;
  }
  ch.bannerCounter += 1;
  int fade = 32;  // of 32
  if (ch.chainDisplay == 3) {
    ch.fadeCounter += 1;
    if (ch.fadeCounter > 32) {
      ch.fadeCounter = 0;
      ch.bannerCounter = 0;
      ch.chainDisplay = 0;
      for (int k = 0; k < BANNER_SPRITES; ++k) SPR_Clear(SP_BANNER + k);
      g_play.bannerTarget = 0;
      return;
    }
    fade = Max(31 - ch.fadeCounter, 0);
  }
  const int n = ch.bannerCounter;
  const int bright = 128 * fade / 32;
  const int enter = Min(n, 16);
  const int appear = 16 * enter * fade / 32;  // opacity

  for (int k = 0; k < 4; ++k) {
    const BandPath& b = kBands[k];
    // Slide in from the rim with an ease-out.
    const int rest = 16 - enter;
    const int distance = b.enterFrom < 0 ? b.y + BAND_H : POND_SIZE - b.y;
    const int slide = rest * rest * distance / 256;
    const int y = POND_Y + b.y + b.enterFrom * slide;
    const int scroll = (n * b.speed / 2 + 144 * k) % BAND_W;
    const int x0 = b.dir < 0 ? POND_X - scroll : POND_X + scroll - BAND_W;
    for (int j = 0; j < 2; ++j) {
      const int s = SP_BANNER + 2 * k + j;
      SPR_SetImage(s, b.slot, LY_BANNER, 1, BLT_KEY_ALPHA);
      SPR_SetView(s, x0 + j * BAND_W, y, 0, 0, BAND_W, BAND_H);
      ClipToPond(s);
      SPR_SetBright(s, bright);
      SPR_SetBlend(s, Opacity(appear * 3 / 4));
    }
  }

  // The row of the kind that continues the chain; kept while fading out,
  // when the target is already cleared.
  if (ch.target != 0 && ch.target != g_play.bannerTarget) {
    g_play.bannerTarget = ch.target;
    g_play.bannerTargetFrame = n;
  }
  const int sGlow = SP_BANNER + 8;  // drawn first, behind the row
  const int sNext = SP_BANNER + 9;
  SPR_Clear(SP_BANNER + 10);
  if (g_play.bannerTarget == 0) {
    SPR_Clear(sNext);
    SPR_Clear(sGlow);
    return;
  }
  const int row = NEXT_H * (g_play.bannerTarget - 1);
  const int since = Min(n - g_play.bannerTargetFrame, 12);
  // Pop: 1.5x shrinking to 1x over 12 frames; then a gentle bob.
  const int popRest = 12 - since;
  const int scale = 256 + popRest * popRest * 128 / 144;
  const int bob = g_sineTable[(n * 6) & 255] * 3 / 4096;
  const int w = NEXT_W * scale / 256;
  const int h = NEXT_H * scale / 256;
  const int cx = POND_X + POND_SIZE / 2;
  const int cy = POND_Y + POND_SIZE / 2 + bob;
  SPR_SetImage(sNext, IMG_BANNER_NEXT, LY_BANNER, 1, BLT_KEY_ALPHA);
  SPR_SetZoomRect(sNext, cx - w / 2, cy - h / 2, w, h);
  SPR_SetSource(sNext, 0, row, NEXT_W, NEXT_H);
  ClipToPond(sNext);
  SPR_SetBright(sNext, bright);
  SPR_SetBlend(sNext, Opacity(16 * Min(since + 4, 16) * fade / 32));

  // Glow: the same row, a little larger, added with a faint pulse; kept low
  // so the row never outshines the creatures swimming over it.
  const int pulse = 16 + (g_sineTable[(n * 8) & 255] + 4096) * 16 / 8192;
  const int gw = w + 16;
  const int gh = h + 6;
  SPR_SetImage(sGlow, IMG_BANNER_NEXT, LY_BANNER, 1, BLT_KEY_ALPHA);
  SPR_SetZoomRect(sGlow, cx - gw / 2, cy - gh / 2, gw, gh);
  SPR_SetSource(sGlow, 0, row, NEXT_W, NEXT_H);
  ClipToPond(sGlow);
  SPR_SetBright(sGlow, pulse * fade / 32);
  SPR_SetBlend(sGlow, BLT_MODE_ADD);
}

// --- Play ---------------------------------------------------------------------

void Play(int frame) {
  PlayTotals& t = g_playTotals;
  const int cx = g_mouse.x;
  const int cy = g_mouse.y;
  if (frame == PLAY_SLOW_FRAME) Slow();

  bool allDelivered = true;
  for (int i = 0; i < g_play.count; ++i) {
    if (g_play.objects[i].state != OBJ_BOWL) allDelivered = false;
  }
  if (allDelivered) {
    ClearBanner();
  } else if (t.clearCounter == 0) {
    if (MOUSE_PressedInside(0)) Catch(cx, cy);
    if (MOUSE_Released(0)) Release(cx, cy);
  }
  MoveCreatures(cx, cy);
  ScoreDisplay();
  NextKindIndicator();
  UpdateEffects();
  DrawPopup(g_play.chainPopup, SP_CHAIN_LABEL, 0, SP_CHAIN_DIGITS, 188, 40, false);
  DrawPopup(g_play.multiPopup, SP_MULTI_LABEL, 1, SP_MULTI_DIGITS, 208, 64, true);
  Banners();
}

}  // namespace

// --- Interface ----------------------------------------------------------------

int PLAY_Update() {
  StatePair& p = Pair();
  switch (p.current) {
    case PLAY_SETUP:
      SetUp();
      break;
    case PLAY_READY:
      Ready(p.counter);
      break;
    case PLAY_PLAYING:
      Play(p.counter);
      break;
    default:
      p.next = PLAY_SETUP;
      return 0;
  }
  return 1;
}

void PLAY_DrawNumber(int firstSprite, int image, int value, int x, int y, int digitWidth,
                     int digitHeight, int digits) {
  if (value < 0) value = 0;
  int v = value;
  for (int k = 0; k < digits; ++k) {
    const int s = firstSprite + digits - 1 - k;
    if (k > 0 && v == 0) {
      SPR_Clear(s);
      continue;
    }
    const int d = v % 10;
    v /= 10;
    SPR_SetImage(s, image, LY_NUMBERS, 1, BLT_KEY_ALPHA);
    SPR_SetView(s, x + digitWidth * (digits - k), y, digitWidth * d, 0, digitWidth, digitHeight);
  }
}

void PLAY_AddEffect(int kind, int cursorX, int cursorY) {
  int entry = -1;
  for (int i = 0; i < PLAY_EFFECTS; ++i) {
    if (g_play.effects[i].age == 0) {
      entry = i;
      break;
    }
  }
  if (entry < 0) {
    entry = 0;
    for (int i = 1; i < PLAY_EFFECTS; ++i) {
      if (g_play.effects[i].age > g_play.effects[entry].age) entry = i;
    }
  }
  PlayEffect& e = g_play.effects[entry];
  e.kind = kind;
  e.age = 1;
  e.x = cursorX - 60;
  e.y = cursorY - 16;
  e.chained = g_play.chain.chainedNow;
  e.chainValue = g_play.chain.chainCount + 1;
}

void PLAY_ChainStep(int kind) {
  ChainState& ch = g_play.chain;
  const int c = kind + 1;
  if (c == ch.history[0]) {
    ch.chainedNow = 0;
    return;
  }
  const int b = ch.history[0];
  const int r = ch.history[1];
  ch.history[3] = ch.history[2];
  ch.history[2] = ch.history[1];
  ch.history[1] = ch.history[0];
  ch.history[0] = static_cast<uint8_t>(c);
  const auto mod3 = [](int v) { return ((v % 3) + 3) % 3; };
  const bool ascending = mod3(b - r - 1) == 0 && mod3(c - b - 1) == 0;
  const bool descending = mod3(b - r + 1) == 0 && mod3(c - b + 1) == 0;
  if (r != 0 && (ascending || descending)) {
    ch.chainCount += 1;
    if (ch.chainCount > g_playTotals.maxChain) g_playTotals.maxChain = ch.chainCount;
    ch.chainedNow = 1;
    if (ch.chainDisplay != 1) {
      ch.bannerCounter = 0;
      ch.chainDisplay = 1;
    }
    ch.target = r;
  } else {
    ch.chainedNow = 0;
    ch.chainCount = 0;
    if (ch.chainDisplay == 1) {
      ch.target = 0;
      ch.fadeCounter = 0;
      ch.history[1] = ch.history[2] = ch.history[3] = 0;
      ch.chainDisplay = 3;
    }
  }
}

int PLAY_State() {
  return g_state[STATE_PLAY].current;
}
int PLAY_Counter() {
  return g_state[STATE_PLAY].counter;
}

void PLAY_Reset() {
  g_play = PlayStage{};
  g_playTotals = PlayTotals{};
  g_state[STATE_PLAY] = StatePair{};
}

// The scooping game: one stage from set-up to the stage-clear banner.
//
// Creatures of three kinds spin and swim in the pond; the player scoops the
// ones under the cursor, carries them and releases them over the bowl.
// Delivering the kinds in cyclic order builds chains that multiply the score.
#pragma once
#include <cstdint>

enum : int {
  PLAY_OBJECTS = 32,       // creature table
  PLAY_EFFECTS = 16,       // effect table
  PLAY_STAGE_COUNT = 13,   // entries of g_stageObjectCount (stage 0 unused)
  PLAY_SLOW_FRAME = 3600,  // frames of play after which everything slows down
};

// Gameplay states (level STATE_PLAY of the state pairs in game/game_mode.h).
enum : int { PLAY_SETUP = 0, PLAY_READY = 1, PLAY_PLAYING = 2, PLAY_FINISHED = 3 };

// Creature states; 3..10 count down after a drop (cannot be caught).
enum : int { OBJ_FREE = 0, OBJ_HELD = 1, OBJ_BOWL = 2, OBJ_DROPPED = 10 };

// Effect kinds (also the row of the effect-label picture).
enum : int { EFFECT_CAUGHT = 0, EFFECT_DROPPED = 1, EFFECT_DELIVERED = 2, EFFECT_MISSED = 3 };

// Screen areas. The pond's top-left is the origin of creature positions.
enum : int {
  POND_X = 16,
  POND_Y = 32,
  POND_SIZE = 432,
  BOWL_X = 464,
  BOWL_Y = 304,
  BOWL_SIZE = 160,
};

struct ScoopObject {
  int32_t kind;     // 0, 1, 2
  int32_t x, y;     // pond-relative; the bowl is at x 448..608, y 272..432
  int32_t size;     // 48 + 3 * index
  float spin;       // picture rotation, used modulo 256
  float spinSpeed;  // added to spin every frame
  float heading;    // swimming direction, 256 steps a turn
  float speed;      // pixels per frame
  int32_t state;    // OBJ_*
};

// Totals of one play-through, shared with the title flow, the story scenes
// and the ranking.
struct PlayTotals {
  int32_t stage;  // stage number; also the story script that follows
  int32_t score;
  int32_t clicks;
  int32_t maxChain;
  int32_t clearCounter;  // frames of the stage-clear banner, 0 while playing
  uint32_t startTime;    // millisecond clock when play began
  int32_t shownScore;    // score as displayed, counting up toward score
  int32_t slowed;        // 1 after PLAY_SLOW_FRAME frames of play
};
extern PlayTotals g_playTotals;

struct ChainState {
  int32_t chainDisplay;  // 0 none, 1 chain running, 3 fading out
  int32_t fadeCounter;
  int32_t bannerCounter;
  int32_t chainCount;  // current chain length
  int32_t target;      // kind + 1 that continues the chain, 0 none
  uint8_t history[4];  // kind + 1 of the last distinct deliveries, newest first
  int32_t chainedNow;  // the last delivery extended a chain
};

struct PlayEffect {
  int32_t kind;        // EFFECT_*
  int32_t age;         // 0 free; 1 when created, +2 a frame, freed at 64
  int32_t x, y;        // cursor - (60, 16): top-left of the label
  int32_t chained;     // copy of chainedNow when created
  int32_t chainValue;  // chainCount + 1 when created
};

// A popup's frame counter starts at 1 and rises every frame; 0 = not shown.
struct PlayPopup {
  int32_t t;
  int32_t value;
};

// Outcome of the newest release of the left button during play.
struct PlayReleaseInfo {
  uint32_t serial;  // rises by 1 with every release
  int32_t x, y;     // cursor
  int32_t inBowl;
  int32_t heldCount;
  int32_t kinds[PLAY_OBJECTS];  // kinds of the released creatures, table order
  int32_t delivered, dropped, units;
};

// Everything one stage keeps between frames.
struct PlayStage {
  int32_t count;  // creatures in use (the first count entries)
  ScoopObject objects[PLAY_OBJECTS];
  PlayEffect effects[PLAY_EFFECTS];
  ChainState chain;
  PlayPopup chainPopup;
  PlayPopup multiPopup;
  PlayReleaseInfo release;
  int32_t bannerTarget;       // target whose row the chain banner shows (kept while fading)
  int32_t bannerTargetFrame;  // bannerCounter when that row appeared
};
extern PlayStage g_play;

// Creatures per stage, by stage number.
extern const int32_t g_stageObjectCount[PLAY_STAGE_COUNT];
// 4096 * sin(2 pi i / 256), truncated toward zero.
extern const int16_t g_sineTable[256];

// One frame of the stage: 1 while it runs, 0 on the frame it is finished.
// The state pair's counter is advanced by the caller after each frame.
int PLAY_Update();

// Draws value with `digits` digit cells (digitWidth x digitHeight, cell d at
// source x digitWidth * d) into sprites firstSprite..; the units digit at
// x + digitWidth * digits, each further digit digitWidth to the left.
// Leading zeros are removed, but 0 shows one "0".
void PLAY_DrawNumber(int firstSprite, int image, int value, int x, int y, int digitWidth,
                     int digitHeight, int digits);

// New effect at the cursor: the first free entry, or when all are busy the
// oldest one.
void PLAY_AddEffect(int kind, int cursorX, int cursorY);

// One delivery of kind k fed into the chain.
void PLAY_ChainStep(int kind);

// The gameplay state and its frame counter.
int PLAY_State();
int PLAY_Counter();

// Clears the stage tables, the totals and the gameplay state pair (tests,
// replays).
void PLAY_Reset();

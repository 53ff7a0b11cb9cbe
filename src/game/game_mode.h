// The game-mode update: the title flow, the stages and the hand-over to the
// story scenes.
#pragma once
#include <cstdint>

// One level of state: the state now, the state for the next frame and the
// frames spent in the current state (0 on the first frame).
struct StatePair {
  int32_t current;
  int32_t next;
  int32_t counter;
};

// Levels: 0 game-mode step, 1 title state, 2 gameplay state, 3 and 4 spare.
enum : int { STATE_LEVELS = 5, STATE_GAME = 0, STATE_TITLE = 1, STATE_PLAY = 2 };
extern StatePair g_state[STATE_LEVELS];

// End of a frame: every level's counter rises when it stays in its state and
// restarts at 0 when it changes; then current := next.
void STATE_Advance();
// All levels to state 0 with counter 0 (a story scene starts).
void STATE_Clear();

// Fade lengths in frames from the system speed: F1 0, 7, 15, 30 and F2 0, 15,
// 30, 60 for "wait" 0, 1, 2, 4; both 0 while skip is held.
int GAME_FadeF1();
int GAME_FadeF2();

// The frame of game mode 1 (the title flow, the stages, the ranking); returns
// the mode of the next frame: 1, or 3 when a story scene starts.
int GAME_Update();

// Starts the story scene whose script is numbered by the play-through's stage
// number and advances that number.
void GAME_StartScene();

// Back to the start state (tests, replays): state levels, title flow and the
// built-in ranking.
void GAME_Reset();

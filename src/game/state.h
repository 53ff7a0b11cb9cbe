// The game's state machine: five levels of (current, next, frames in the
// current state).
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

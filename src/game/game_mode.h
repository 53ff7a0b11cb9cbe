// The game-mode update: the title flow, the stages and the hand-over to the
// story scenes.
#pragma once
#include <cstdint>

#include "game/state.h"

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

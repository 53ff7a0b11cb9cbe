// The mode the main loop runs each frame, as the mode updates return it.
#pragma once

enum : int {
  MODE_GAME = 1,   // the title flow, the stages and the ranking (GAME_Update)
  MODE_SCENE = 3,  // a story scene (ADV_Update)
};

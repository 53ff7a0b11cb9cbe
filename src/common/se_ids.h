// Sound-effect numbers: effect N is "se_%03d.wav" in the "wav" group. The
// game, the story scenes, the story scripts' cues and the content build all
// use these.
#pragma once

enum : int {
  SE_MISSED = 2,     // a scoop that caught nothing
  SE_CHAINED = 3,    // a delivery that continued the chain
  SE_DECIDE = 8,     // a creature caught; a title item or a choice taken
  SE_DELIVERED = 9,  // creatures let go over the bowl
  SE_DROPPED = 10,   // creatures let go outside the bowl
  SE_COUNTING = 12,  // the score counting up to its new value (looped)
  SE_CURSOR = 13,    // the pointer onto another title item or choice
  // The story scenes' cues.
  SE_WATER_DROP = 20,
  SE_BIRD = 21,
  SE_WIND_CHIME = 22,
  SE_GUST = 23,
};

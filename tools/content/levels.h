// Levels of everything that sounds, in dBFS; content/README.md gives the
// reasoning. The game mixes by plain addition at full volume, so these are
// what keeps a stage or a scene from reaching full scale: a score at its
// ceiling with two effects at theirs sums to -1.2 dBFS.
#pragma once
#include <cmath>

constexpr double kScorePeakDb = -14.0;  // every score, as the game decodes it
constexpr double kScoreRmsDb = -30.0;   // every score aims here, under its ceiling
constexpr double kEffectPeakDb = -9.5;  // every sound effect and story cue
constexpr double kCodecMarginDb = 0.5;  // Vorbis overshoot kept under the ceiling

inline double DbGain(double db) {
  return std::pow(10.0, db / 20.0);
}

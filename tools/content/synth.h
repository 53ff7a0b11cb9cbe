// A small synthesiser: voices, drums, reverb, and the encoders for WAV
// (through libsndfile) and Ogg Vorbis.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "content.h"
#include "levels.h"

constexpr int kRate = 44100;

// Deterministic noise.
struct Noise {
  uint32_t s = 0x12345678;
  float Next() {
    s = s * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(s)) / 2147483648.0f;
  }
};

enum Instrument {
  INST_BELL,     // FM bell, celesta-like
  INST_PLUCK,    // plucked string (koto-like)
  INST_PAD,      // warm detuned pad
  INST_BASS,     // round bass
  INST_FLUTE,    // breathy flute with vibrato
  INST_MARIMBA,  // wooden mallet
  INST_KICK,
  INST_SNARE,  // brushed snare
  INST_HAT,
  INST_OPENHAT,
  INST_SHAKER,
  INST_TOM,
  INST_COUNT
};

// Renders one note into a mono buffer (added); freq in Hz, dur in seconds
// (gate length), vel 0..1. Returns the end of what was written (start +
// the note's length in samples); the buffer grows as needed.
size_t RenderNote(std::vector<float>& out, size_t start, Instrument inst, double freq, double dur,
                  double vel, uint32_t seed);
double NoteFreq(int midi);

// Stereo reverb (a small Schroeder network) applied in place to interleaved
// stereo: wet mixed at the given level.
void Reverb(std::vector<float>& stereo, double wet, double roomSize);

// Encoders: mono or stereo float samples -> file bytes.
enum WavCodec { WAV_PCM16, WAV_IMA_ADPCM, WAV_MS_ADPCM };
Bytes EncodeWav(const std::vector<float>& samples, int channels, WavCodec codec);
Bytes EncodeOgg(const std::vector<float>& stereo, int serial, const char* title, float quality);

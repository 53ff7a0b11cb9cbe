// The IMA and Microsoft ADPCM decoders of WAV files, for builds without a
// codec library (the browser build); the desktop build's tests hold them to
// libsndfile's output sample for sample.
#pragma once
#include <cstdint>

enum : uint16_t { ADPCM_FORMAT_MS = 0x0002, ADPCM_FORMAT_IMA = 0x0011 };

// What a format block says about the blocks: extra holds the format's extra
// bytes (extraSize of them).
struct AdpcmLayout {
  uint16_t format;  // ADPCM_FORMAT_MS or ADPCM_FORMAT_IMA
  int channels;     // 1 or 2
  int blockAlign;   // bytes of a block
  int samplesPerBlock;
  int16_t coef[256][2];  // MS: the predictor coefficient pairs
  int coefCount;
};

// Reads the layout from the format fields and the extra bytes; false when
// the format is not one of the two or its fields do not fit together.
bool ADPCM_Layout(uint16_t formatTag, int channels, int blockAlign, const uint8_t* extra,
                  int extraSize, AdpcmLayout* out);
// Sample frames that n bytes of data decode to: whole blocks, and a partial
// last block as far as its bytes go.
uint32_t ADPCM_Frames(const AdpcmLayout& l, uint32_t n);
// Decodes n bytes into at most maxFrames frames of interleaved 16-bit PCM;
// returns the frames written.
uint32_t ADPCM_Decode(const AdpcmLayout& l, const uint8_t* src, uint32_t n, int16_t* dst,
                      uint32_t maxFrames);

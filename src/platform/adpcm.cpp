// IMA and Microsoft ADPCM decoding of WAV blocks.
#include "platform/adpcm.h"

#include <algorithm>
#include <cstring>

namespace {

const int kImaStep[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

const int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                          768, 614, 512, 409, 307, 230, 230, 230};
const int16_t kMsCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64},
                               {240, 0}, {460, -208}, {392, -232}};

constexpr int kMaxBlock = 1 << 16;

int16_t Clamp16(int v) {
  return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

int16_t Le16(const uint8_t* p) {
  return static_cast<int16_t>(p[0] | (p[1] << 8));
}

int ImaHeaderBytes(int channels) {
  return 4 * channels;
}
int MsHeaderBytes(int channels) {
  return 7 * channels;
}

// Frames in a block of `bytes` bytes (a whole block or the last, shorter one).
uint32_t BlockFrames(const AdpcmLayout& l, uint32_t bytes) {
  if (l.format == ADPCM_FORMAT_IMA) {
    const uint32_t header = static_cast<uint32_t>(ImaHeaderBytes(l.channels));
    if (bytes < header) return 0;
    // Groups of four bytes per channel, eight samples each.
    const uint32_t groups = (bytes - header) / (4u * static_cast<uint32_t>(l.channels));
    return std::min<uint32_t>(1 + groups * 8, static_cast<uint32_t>(l.samplesPerBlock));
  }
  const uint32_t header = static_cast<uint32_t>(MsHeaderBytes(l.channels));
  if (bytes < header) return 0;
  const uint32_t nibbles = (bytes - header) * 2 / static_cast<uint32_t>(l.channels);
  return std::min<uint32_t>(2 + nibbles, static_cast<uint32_t>(l.samplesPerBlock));
}

struct ImaChannel {
  int predictor;
  int index;
  int16_t Next(int nibble) {
    const int step = kImaStep[index];
    int diff = step >> 3;
    if (nibble & 1) diff += step >> 2;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 4) diff += step;
    if (nibble & 8) diff = -diff;
    predictor = std::clamp(predictor + diff, -32768, 32767);
    index = std::clamp(index + kImaIndex[nibble], 0, 88);
    return static_cast<int16_t>(predictor);
  }
};

uint32_t DecodeImaBlock(const AdpcmLayout& l, const uint8_t* b, uint32_t bytes, int16_t* out,
                        uint32_t frames) {
  const int ch = l.channels;
  ImaChannel c[2];
  for (int k = 0; k < ch; ++k) {
    c[k].predictor = Le16(b + 4 * k);
    c[k].index = std::clamp<int>(b[4 * k + 2], 0, 88);
    out[k] = static_cast<int16_t>(c[k].predictor);
  }
  const uint8_t* p = b + ImaHeaderBytes(ch);
  const uint8_t* end = b + bytes;
  // After the header: for each channel in turn, four bytes of eight samples.
  for (uint32_t f = 1; f < frames; f += 8) {
    for (int k = 0; k < ch; ++k) {
      if (end - p < 4) return f;
      for (int i = 0; i < 8; ++i) {
        const int nibble = (p[i >> 1] >> ((i & 1) * 4)) & 15;
        const int16_t s = c[k].Next(nibble);
        if (f + static_cast<uint32_t>(i) < frames) out[(f + i) * ch + k] = s;
      }
      p += 4;
    }
  }
  return frames;
}

uint32_t DecodeMsBlock(const AdpcmLayout& l, const uint8_t* b, uint32_t, int16_t* out,
                       uint32_t frames) {
  const int ch = l.channels;
  int c1[2], c2[2], delta[2], s1[2], s2[2];
  for (int k = 0; k < ch; ++k) {
    const int pred = std::min<int>(b[k], l.coefCount - 1);
    c1[k] = l.coef[pred][0];
    c2[k] = l.coef[pred][1];
    delta[k] = Le16(b + ch + 2 * k);
    s1[k] = Le16(b + 3 * ch + 2 * k);
    s2[k] = Le16(b + 5 * ch + 2 * k);
  }
  // The older sample comes first.
  for (int k = 0; k < ch; ++k) {
    out[k] = static_cast<int16_t>(s2[k]);
    if (frames > 1) out[ch + k] = static_cast<int16_t>(s1[k]);
  }
  const uint8_t* p = b + MsHeaderBytes(ch);
  // The nibbles run through the frames, channels interleaved, high nibble first.
  uint32_t n = 0;
  for (uint32_t f = 2; f < frames; ++f) {
    for (int k = 0; k < ch; ++k, ++n) {
      const uint8_t byte = p[n >> 1];
      int nibble = (n & 1) ? (byte & 15) : (byte >> 4);
      const int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
      const int predicted = (s1[k] * c1[k] + s2[k] * c2[k]) >> 8;
      const int16_t s = Clamp16(predicted + signedNibble * delta[k]);
      s2[k] = s1[k];
      s1[k] = s;
      // A hostile block can keep growing the step until it overflows; past
      // 2^20 every nonzero nibble saturates the sample anyway, so capping
      // there changes no sample.
      delta[k] = std::clamp((kMsAdapt[nibble] * delta[k]) >> 8, 16, 1 << 20);
      out[f * ch + k] = s;
    }
  }
  return frames;
}

}  // namespace

bool ADPCM_Layout(uint16_t formatTag, int channels, int blockAlign, const uint8_t* extra,
                  int extraSize, AdpcmLayout* out) {
  if (!out || channels < 1 || channels > 2 || blockAlign <= 0 || blockAlign > kMaxBlock) {
    return false;
  }
  AdpcmLayout l{};
  l.format = formatTag;
  l.channels = channels;
  l.blockAlign = blockAlign;
  const int declared = extra && extraSize >= 2 ? (extra[0] | (extra[1] << 8)) : 0;
  if (formatTag == ADPCM_FORMAT_IMA) {
    if (blockAlign < ImaHeaderBytes(channels) ||
        (blockAlign - ImaHeaderBytes(channels)) % (4 * channels) != 0) {
      return false;
    }
    const int fits = 1 + (blockAlign - ImaHeaderBytes(channels)) * 2 / channels;
    l.samplesPerBlock = declared > 0 ? std::min(declared, fits) : fits;
  } else if (formatTag == ADPCM_FORMAT_MS) {
    if (blockAlign < MsHeaderBytes(channels)) return false;
    const int fits = 2 + (blockAlign - MsHeaderBytes(channels)) * 2 / channels;
    l.samplesPerBlock = declared > 0 ? std::min(declared, fits) : fits;
    // The coefficient table follows: a count, then that many pairs.
    int count = extra && extraSize >= 4 ? (extra[2] | (extra[3] << 8)) : 0;
    count = std::min({count, (extraSize - 4) / 4, 256});
    if (count < 1) {
      std::memcpy(l.coef, kMsCoef, sizeof kMsCoef);
      l.coefCount = 7;
    } else {
      for (int i = 0; i < count; ++i) {
        l.coef[i][0] = Le16(extra + 4 + 4 * i);
        l.coef[i][1] = Le16(extra + 6 + 4 * i);
      }
      l.coefCount = count;
    }
  } else {
    return false;
  }
  if (l.samplesPerBlock < 1) return false;
  *out = l;
  return true;
}

uint32_t ADPCM_Frames(const AdpcmLayout& l, uint32_t n) {
  const uint32_t block = static_cast<uint32_t>(l.blockAlign);
  const uint64_t whole = static_cast<uint64_t>(n / block) * static_cast<uint32_t>(l.samplesPerBlock);
  const uint64_t frames = whole + BlockFrames(l, n % block);
  return static_cast<uint32_t>(std::min<uint64_t>(frames, UINT32_MAX));
}

uint32_t ADPCM_Decode(const AdpcmLayout& l, const uint8_t* src, uint32_t n, int16_t* dst,
                      uint32_t maxFrames) {
  if (!src || !dst) return 0;
  const uint32_t block = static_cast<uint32_t>(l.blockAlign);
  uint32_t done = 0;
  for (uint32_t at = 0; at < n && done < maxFrames; at += block) {
    const uint32_t bytes = std::min(block, n - at);
    const uint32_t frames = std::min(BlockFrames(l, bytes), maxFrames - done);
    if (frames == 0) break;
    int16_t* out = dst + static_cast<size_t>(done) * l.channels;
    done += l.format == ADPCM_FORMAT_IMA ? DecodeImaBlock(l, src + at, bytes, out, frames)
                                         : DecodeMsBlock(l, src + at, bytes, out, frames);
  }
  return done;
}

// The codec layers' shared format arithmetic.
#include "platform/acm_format.h"

#include <algorithm>
#include <cstring>

std::vector<uint8_t> PLT_AcmFormatBlock(const PltWaveFormat* f) {
  const int extra = std::min<int>(f->extraSize, PLT_ACM_MAX_EXTRA);
  std::vector<uint8_t> v(sizeof(PltWaveFormat) + static_cast<size_t>(extra));
  std::memcpy(v.data(), f, v.size());
  const uint16_t e = static_cast<uint16_t>(extra);
  std::memcpy(v.data() + 16, &e, 2);
  return v;
}

bool PLT_AcmFormatIsPcm16For(const PltWaveFormat* pcm, const PltWaveFormat* other) {
  return pcm->formatTag == PLT_WAVE_FORMAT_PCM && pcm->bitsPerSample == 16 &&
         pcm->channels == other->channels && pcm->samplesPerSec == other->samplesPerSec;
}

int PLT_AcmFormatEncodedSize(const std::vector<uint8_t>& block, uint32_t srcBytes,
                             uint32_t* dstBytes) {
  PltWaveFormat f;
  if (block.size() < sizeof f) return 0;
  std::memcpy(&f, block.data(), sizeof f);
  const uint32_t pcmBlock = 2u * f.channels;
  // The samples per block are the first extra bytes of the ADPCM formats.
  const uint16_t spb = block.size() >= sizeof f + 2
                           ? static_cast<uint16_t>(block[18] | (block[19] << 8))
                           : uint16_t{0};
  uint64_t out;
  if (spb > 0) {
    out = static_cast<uint64_t>(srcBytes) / (static_cast<uint64_t>(spb) * pcmBlock) * f.blockAlign;
  } else {
    const uint64_t pcmPerSec = static_cast<uint64_t>(f.samplesPerSec) * pcmBlock;
    out = static_cast<uint64_t>(srcBytes) * f.avgBytesPerSec / pcmPerSec;
    out -= out % f.blockAlign;
  }
  if (out > UINT32_MAX) return 0;
  *dstBytes = static_cast<uint32_t>(out);
  return 1;
}

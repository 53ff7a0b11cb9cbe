// Compressed WAV conversion of the web backend: IMA and Microsoft ADPCM
// through the platform layer's own decoders (the browser build has no codec
// library). Other formats have no codec here.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/acm_format.h"
#include "platform/adpcm.h"
#include "platform/plt_acm.h"

struct PltAcmStream {
  AdpcmLayout layout;
  PltWaveFormat pcm;  // the PCM side
  bool decode;        // false: PCM to compressed, sizes only
};

namespace {

bool LayoutOf(const PltWaveFormat* f, AdpcmLayout* l) {
  const int extra = std::min<int>(f->extraSize, PLT_ACM_MAX_EXTRA);
  const auto* bytes = reinterpret_cast<const uint8_t*>(f) + sizeof(PltWaveFormat);
  return ADPCM_Layout(f->formatTag, f->channels, f->blockAlign, bytes, extra, l);
}

}  // namespace

PltAcmStream* PLT_AcmStreamOpen(const PltWaveFormat* src, const PltWaveFormat* dst) {
  if (!src || !dst || src->channels == 0 || src->samplesPerSec == 0) return nullptr;
  auto* s = new PltAcmStream{};
  if (src->formatTag == PLT_WAVE_FORMAT_PCM && dst->formatTag != PLT_WAVE_FORMAT_PCM) {
    if (PLT_AcmFormatIsPcm16For(src, dst) && LayoutOf(dst, &s->layout)) {
      s->pcm = *src;
      s->decode = false;
      return s;
    }
  } else if (PLT_AcmFormatIsPcm16For(dst, src) && LayoutOf(src, &s->layout)) {
    s->pcm = *dst;
    s->decode = true;
    return s;
  }
  delete s;
  return nullptr;
}

void PLT_AcmStreamClose(PltAcmStream* s) {
  delete s;
}

int PLT_AcmStreamSize(PltAcmStream* s, uint32_t srcBytes, uint32_t* dstBytes) {
  if (!s || !dstBytes) return 0;
  const uint64_t frameBytes = 2u * static_cast<uint32_t>(s->layout.channels);
  if (!s->decode) {
    // PCM bytes to compressed bytes: whole blocks of the compressed format.
    const uint64_t perBlock = frameBytes * static_cast<uint32_t>(s->layout.samplesPerBlock);
    *dstBytes = static_cast<uint32_t>(srcBytes / perBlock * static_cast<uint32_t>(s->layout.blockAlign));
    return 1;
  }
  const uint64_t out = static_cast<uint64_t>(ADPCM_Frames(s->layout, srcBytes)) * frameBytes;
  if (out > PLT_SOUND_MAX_BUFFER) return 0;
  *dstBytes = static_cast<uint32_t>(out);
  return 1;
}

int PLT_AcmStreamConvert(PltAcmStream* s, const uint8_t* src, uint32_t srcBytes, uint8_t* dst,
                         uint32_t dstCapacity, uint32_t* written) {
  if (!s || !s->decode || !dst || !written || (srcBytes && !src)) return 0;
  *written = 0;
  if (srcBytes == 0) return 1;
  const uint32_t frameBytes = 2u * static_cast<uint32_t>(s->layout.channels);
  const uint32_t want = std::min<uint64_t>(
      static_cast<uint64_t>(ADPCM_Frames(s->layout, srcBytes)) * frameBytes,
      dstCapacity - dstCapacity % frameBytes);
  // Decoded apart: the output need not be aligned for 16-bit stores.
  std::vector<int16_t> pcm(want / 2);
  const uint32_t done =
      ADPCM_Decode(s->layout, src, srcBytes, pcm.data(), want / frameBytes) * frameBytes;
  std::memcpy(dst, pcm.data(), done);
  std::memset(dst + done, 0, want - done);
  *written = want;
  return 1;
}

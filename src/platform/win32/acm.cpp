// Compressed WAV conversion on the system's audio compression manager
// (msacm32): IMA and Microsoft ADPCM and whatever other codecs it has.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/acm_format.h"
#include "platform/plt_acm.h"

struct PltAcmStream {
  std::vector<uint8_t> format;  // source format block with its extra bytes
  PltWaveFormat dst;
  bool decode;  // false: PCM to compressed, sizes only
  HACMSTREAM stream;
};

namespace {

static_assert(sizeof(PltWaveFormat) == sizeof(WAVEFORMATEX));

WAVEFORMATEX* AsFormat(std::vector<uint8_t>& v) {
  return reinterpret_cast<WAVEFORMATEX*>(v.data());
}

}  // namespace

PltAcmStream* PLT_AcmStreamOpen(const PltWaveFormat* src, const PltWaveFormat* dst) {
  if (!src || !dst || src->channels == 0 || src->samplesPerSec == 0) return nullptr;
  if (src->formatTag == PLT_WAVE_FORMAT_PCM && dst->formatTag != PLT_WAVE_FORMAT_PCM) {
    // PCM to a compressed format: only sizes are asked for.
    if (!PLT_AcmFormatIsPcm16For(src, dst) || dst->blockAlign == 0) return nullptr;
    auto* s = new PltAcmStream;
    s->format = PLT_AcmFormatBlock(dst);
    s->dst = *src;
    s->decode = false;
    s->stream = nullptr;
    return s;
  }
  if (!PLT_AcmFormatIsPcm16For(dst, src) || src->blockAlign == 0) return nullptr;
  std::vector<uint8_t> fmt = PLT_AcmFormatBlock(src);
  WAVEFORMATEX pcm;
  std::memcpy(&pcm, dst, sizeof pcm);
  pcm.cbSize = 0;
  HACMSTREAM h = nullptr;
  if (::acmStreamOpen(&h, nullptr, AsFormat(fmt), &pcm, nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != 0) {
    return nullptr;
  }
  auto* s = new PltAcmStream;
  s->format = std::move(fmt);
  s->dst = *dst;
  s->decode = true;
  s->stream = h;
  return s;
}

void PLT_AcmStreamClose(PltAcmStream* s) {
  if (!s) return;
  if (s->stream) ::acmStreamClose(s->stream, 0);
  delete s;
}

int PLT_AcmStreamSize(PltAcmStream* s, uint32_t srcBytes, uint32_t* dstBytes) {
  if (!s || !dstBytes) return 0;
  if (!s->decode) return PLT_AcmFormatEncodedSize(s->format, srcBytes, dstBytes);
  if (srcBytes == 0) {
    *dstBytes = 0;
    return 1;
  }
  DWORD out = 0;
  if (::acmStreamSize(s->stream, srcBytes, &out, ACM_STREAMSIZEF_SOURCE) != 0) return 0;
  if (out > PLT_SOUND_MAX_BUFFER) return 0;
  *dstBytes = out;
  return 1;
}

int PLT_AcmStreamConvert(PltAcmStream* s, const uint8_t* src, uint32_t srcBytes, uint8_t* dst,
                         uint32_t dstCapacity, uint32_t* written) {
  if (!s || !s->decode || !dst || !written || (srcBytes && !src)) return 0;
  *written = 0;
  if (srcBytes == 0) return 1;
  uint32_t size = 0;
  if (!PLT_AcmStreamSize(s, srcBytes, &size)) return 0;
  const uint32_t frameBytes = 2u * s->dst.channels;
  const uint32_t want = std::min(size, dstCapacity - dstCapacity % frameBytes);
  ACMSTREAMHEADER hdr;
  std::memset(&hdr, 0, sizeof hdr);
  hdr.cbStruct = sizeof hdr;
  hdr.pbSrc = const_cast<uint8_t*>(src);
  hdr.cbSrcLength = srcBytes;
  hdr.pbDst = dst;
  hdr.cbDstLength = want;
  if (::acmStreamPrepareHeader(s->stream, &hdr, 0) != 0) return 0;
  const MMRESULT r = ::acmStreamConvert(
      s->stream, &hdr, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END);
  const uint32_t used = r == 0 ? std::min<uint32_t>(hdr.cbDstLengthUsed, want) : 0;
  ::acmStreamUnprepareHeader(s->stream, &hdr, 0);
  if (r != 0) return 0;
  std::memset(dst + used, 0, want - used);
  *written = want;
  return 1;
}

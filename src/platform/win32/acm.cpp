// Compressed WAV conversion on the system's audio compression manager
// (msacm32): IMA and Microsoft ADPCM and whatever other codecs it has.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/plt_acm.h"

struct PltAcmStream {
  std::vector<uint8_t> format;  // source format block with its extra bytes
  PltWaveFormat dst;
  bool decode;  // false: PCM to compressed, sizes only
  HACMSTREAM stream;
};

namespace {

constexpr int kMaxExtra = PLT_WAVE_FORMAT_AREA - static_cast<int>(sizeof(PltWaveFormat));
static_assert(sizeof(PltWaveFormat) == sizeof(WAVEFORMATEX));

// Copies the format and its extra bytes (at most kMaxExtra of them).
std::vector<uint8_t> FormatBlock(const PltWaveFormat* f) {
  const int extra = std::min<int>(f->extraSize, kMaxExtra);
  std::vector<uint8_t> v(sizeof(PltWaveFormat) + static_cast<size_t>(extra));
  std::memcpy(v.data(), f, v.size());
  const uint16_t e = static_cast<uint16_t>(extra);
  std::memcpy(v.data() + 16, &e, 2);
  return v;
}

bool IsPcm16For(const PltWaveFormat* pcm, const PltWaveFormat* other) {
  return pcm->formatTag == PLT_WAVE_FORMAT_PCM && pcm->bitsPerSample == 16 &&
         pcm->channels == other->channels && pcm->samplesPerSec == other->samplesPerSec;
}

uint16_t SamplesPerBlock(const std::vector<uint8_t>& fmt) {
  if (fmt.size() < sizeof(PltWaveFormat) + 2) return 0;
  return static_cast<uint16_t>(fmt[18] | (fmt[19] << 8));
}

WAVEFORMATEX* AsFormat(std::vector<uint8_t>& v) {
  return reinterpret_cast<WAVEFORMATEX*>(v.data());
}

}  // namespace

PltAcmStream* PLT_AcmStreamOpen(const PltWaveFormat* src, const PltWaveFormat* dst) {
  if (!src || !dst || src->channels == 0 || src->samplesPerSec == 0) return nullptr;
  if (src->formatTag == PLT_WAVE_FORMAT_PCM && dst->formatTag != PLT_WAVE_FORMAT_PCM) {
    // PCM to a compressed format: only sizes are asked for.
    if (!IsPcm16For(src, dst) || dst->blockAlign == 0) return nullptr;
    auto* s = new PltAcmStream;
    s->format = FormatBlock(dst);
    s->dst = *src;
    s->decode = false;
    s->stream = nullptr;
    return s;
  }
  if (!IsPcm16For(dst, src) || src->blockAlign == 0) return nullptr;
  std::vector<uint8_t> fmt = FormatBlock(src);
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
  PltWaveFormat f;
  std::memcpy(&f, s->format.data(), sizeof f);
  if (!s->decode) {
    // PCM bytes to compressed bytes: whole blocks of the compressed format.
    const uint32_t pcmBlock = 2u * f.channels;
    const uint16_t spb = SamplesPerBlock(s->format);
    uint64_t out;
    if (spb > 0) {
      out =
          static_cast<uint64_t>(srcBytes) / (static_cast<uint64_t>(spb) * pcmBlock) * f.blockAlign;
    } else {
      const uint64_t pcmPerSec = static_cast<uint64_t>(f.samplesPerSec) * pcmBlock;
      out = static_cast<uint64_t>(srcBytes) * f.avgBytesPerSec / pcmPerSec;
      out -= out % f.blockAlign;
    }
    if (out > UINT32_MAX) return 0;
    *dstBytes = static_cast<uint32_t>(out);
    return 1;
  }
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

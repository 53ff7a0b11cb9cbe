// Compressed WAV conversion on libsndfile: the format block and the data are
// rebuilt into a WAV image in memory that libsndfile reads through its
// virtual I/O.
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/acm_format.h"
#include "platform/plt_acm.h"

struct PltAcmStream {
  std::vector<uint8_t> format;  // source format block with its extra bytes
  PltWaveFormat dst;
  bool decode;  // false: PCM to compressed, sizes only
};

namespace {

// A file of size bytes whose first `stored` bytes are data; the rest read as
// zeros (a size question needs only the length of the data).
struct MemFile {
  const uint8_t* data;
  sf_count_t size;
  sf_count_t pos;
  sf_count_t stored;
};

sf_count_t MemLength(void* user) {
  return static_cast<MemFile*>(user)->size;
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<MemFile*>(user);
  sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->pos : m->size;
  sf_count_t p = base + offset;
  if (p < 0 || p > m->size) return -1;
  m->pos = p;
  return p;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
  auto* m = static_cast<MemFile*>(user);
  sf_count_t n = std::max<sf_count_t>(0, std::min(count, m->size - m->pos));
  const sf_count_t copied = std::max<sf_count_t>(0, std::min(n, m->stored - m->pos));
  if (copied) std::memcpy(ptr, m->data + m->pos, static_cast<size_t>(copied));
  if (n > copied)
    std::memset(static_cast<uint8_t*>(ptr) + copied, 0, static_cast<size_t>(n - copied));
  m->pos += n;
  return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*) {
  return 0;
}
sf_count_t MemTell(void* user) {
  return static_cast<MemFile*>(user)->pos;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A WAV file of the format block and n bytes of data; without data, only the
// headers (announcing n bytes).
std::vector<uint8_t> WavImage(const std::vector<uint8_t>& fmt, const uint8_t* data, uint32_t n) {
  std::vector<uint8_t> w;
  w.reserve(fmt.size() + (data ? n : 0) + 64);
  const uint32_t fmtPad = fmt.size() & 1;
  const uint32_t riff = 4 + 8 + static_cast<uint32_t>(fmt.size()) + fmtPad + 8 + n;
  w.insert(w.end(), {'R', 'I', 'F', 'F'});
  Put32(w, riff);
  w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(w, static_cast<uint32_t>(fmt.size()));
  w.insert(w.end(), fmt.begin(), fmt.end());
  if (fmtPad) w.push_back(0);
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  Put32(w, n);
  if (n && data) w.insert(w.end(), data, data + n);
  return w;
}

struct Opened {
  std::vector<uint8_t> image;
  MemFile mem;
  SF_INFO info;
  SNDFILE* sf = nullptr;
  ~Opened() {
    if (sf) sf_close(sf);
  }
};

// Opens the format block with n bytes of data; null data reads as n zeros
// without storing them.
bool OpenImage(Opened* o, const std::vector<uint8_t>& fmt, const uint8_t* data, uint32_t n) {
  static SF_VIRTUAL_IO io = {MemLength, MemSeek, MemRead, MemWrite, MemTell};
  o->image = WavImage(fmt, data, n);
  const sf_count_t stored = static_cast<sf_count_t>(o->image.size());
  o->mem = MemFile{o->image.data(), data ? stored : stored + n, 0, stored};
  std::memset(&o->info, 0, sizeof o->info);
  o->sf = sf_open_virtual(&io, SFM_READ, &o->info, &o->mem);
  return o->sf != nullptr;
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
    return s;
  }
  if (!PLT_AcmFormatIsPcm16For(dst, src) || src->blockAlign == 0) return nullptr;
  std::vector<uint8_t> fmt = PLT_AcmFormatBlock(src);
  // Probe with one block of silence: the codec library must read the format.
  std::vector<uint8_t> probe(src->blockAlign, 0);
  Opened o;
  if (!OpenImage(&o, fmt, probe.data(), static_cast<uint32_t>(probe.size()))) return nullptr;
  if (o.info.channels != src->channels ||
      o.info.samplerate != static_cast<int>(src->samplesPerSec)) {
    return nullptr;
  }
  auto* s = new PltAcmStream;
  s->format = std::move(fmt);
  s->dst = *dst;
  s->decode = true;
  return s;
}

void PLT_AcmStreamClose(PltAcmStream* s) {
  delete s;
}

int PLT_AcmStreamSize(PltAcmStream* s, uint32_t srcBytes, uint32_t* dstBytes) {
  if (!s || !dstBytes) return 0;
  if (!s->decode) return PLT_AcmFormatEncodedSize(s->format, srcBytes, dstBytes);
  PltWaveFormat f;
  std::memcpy(&f, s->format.data(), sizeof f);
  if (srcBytes == 0) {
    *dstBytes = 0;
    return 1;
  }
  // The size depends on the byte count only: the data reads as zeros, which
  // are not stored (the count comes from a header and may be any size).
  Opened o;
  if (!OpenImage(&o, s->format, nullptr, srcBytes)) return 0;
  const uint64_t out = static_cast<uint64_t>(o.info.frames) * 2u * f.channels;
  if (o.info.frames < 0 || out > PLT_SOUND_MAX_BUFFER) return 0;
  *dstBytes = static_cast<uint32_t>(out);
  return 1;
}

int PLT_AcmStreamConvert(PltAcmStream* s, const uint8_t* src, uint32_t srcBytes, uint8_t* dst,
                         uint32_t dstCapacity, uint32_t* written) {
  if (!s || !s->decode || !dst || !written || (srcBytes && !src)) return 0;
  *written = 0;
  if (srcBytes == 0) return 1;
  Opened o;
  if (!OpenImage(&o, s->format, src, srcBytes)) return 0;
  const uint32_t frameBytes = 2u * static_cast<uint32_t>(o.info.channels);
  const uint64_t want = std::min<uint64_t>(static_cast<uint64_t>(o.info.frames) * frameBytes,
                                           dstCapacity - dstCapacity % frameBytes);
  uint64_t done = 0;
  while (done < want) {
    sf_count_t frames = static_cast<sf_count_t>((want - done) / frameBytes);
    sf_count_t got = sf_readf_short(o.sf, reinterpret_cast<short*>(dst + done), frames);
    if (got <= 0) break;
    done += static_cast<uint64_t>(got) * frameBytes;
  }
  std::memset(dst + done, 0, static_cast<size_t>(want - done));
  *written = static_cast<uint32_t>(want);
  return 1;
}

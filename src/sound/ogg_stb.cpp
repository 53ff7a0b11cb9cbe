// Ogg Vorbis push decoder on stb_vorbis's push interface, for the builds
// without libvorbis (Windows). The same pieces go in and the same 16-bit
// samples come out as from the libvorbis decoder, within the float rounding
// of two decoders.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "sound/ogg.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wshadow"
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PULLDATA_API
#include <stb_vorbis.h>
#pragma GCC diagnostic pop

struct OggDecoder {
  stb_vorbis* v = nullptr;
  std::vector<uint8_t> input;     // submitted bytes not yet taken by the decoder
  std::vector<int16_t> pending;   // decoded samples not yet handed out
  size_t pendingAt = 0;
  int channels = 0;
  int damage = 0;  // damaged stretches skipped since the last OGG_TakeDamage
};

namespace {

// An Ogg page is at most 27 + 255 + 255 * 255 bytes: input that grows past a
// few of them without the decoder taking any is no Vorbis stream.
constexpr size_t kMaxHeld = 4u * 65307u;

inline int16_t ToSample(float f) {
  float v = f * 32767.f;
  if (v > 32767.f) return 32767;
  if (v >= -32768.f) return static_cast<int16_t>(v);  // truncates toward zero
  return -32768;                                      // also NaN
}

void Clear(OggDecoder* d) {
  if (d->v) stb_vorbis_close(d->v);
  d->v = nullptr;
  d->input.clear();
  d->pending.clear();
  d->pendingAt = 0;
  d->channels = 0;
  d->damage = 0;
}

void Consume(OggDecoder* d, int used) {
  d->input.erase(d->input.begin(), d->input.begin() + used);
}

// Reads the identification header from the first page: the stream's
// channels and rate. Pages are "OggS", 27 header bytes, a segment table.
bool ReadIdentification(const uint8_t* p, uint32_t n, int* channels, uint32_t* rate) {
  if (n < 27 || std::memcmp(p, "OggS", 4) != 0 || p[4] != 0) return false;
  const uint32_t segments = p[26];
  const uint32_t body = 27 + segments;
  if (n < body + 30) return false;
  const uint8_t* id = p + body;
  if (id[0] != 1 || std::memcmp(id + 1, "vorbis", 6) != 0) return false;
  const uint32_t version = id[7] | id[8] << 8 | id[9] << 16 | static_cast<uint32_t>(id[10]) << 24;
  if (version != 0) return false;
  *channels = id[11];
  *rate = id[12] | id[13] << 8 | id[14] << 16 | static_cast<uint32_t>(id[15]) << 24;
  return true;
}

// Hands out pending samples; the bytes written.
uint32_t Drain(OggDecoder* d, uint8_t* out, uint32_t room) {
  const uint32_t frameBytes = 2u * static_cast<uint32_t>(d->channels);
  const size_t left = d->pending.size() - d->pendingAt;
  const size_t frames = std::min<size_t>(left / d->channels, room / frameBytes);
  const size_t samples = frames * d->channels;
  std::memcpy(out, d->pending.data() + d->pendingAt, samples * 2);
  d->pendingAt += samples;
  if (d->pendingAt == d->pending.size()) {
    d->pending.clear();
    d->pendingAt = 0;
  }
  return static_cast<uint32_t>(samples * 2);
}

// Opens the stream once its three headers are in. OGG_MORE while they are
// not, OGG_ERROR for a broken one.
int Open(OggDecoder* d) {
  int used = 0, error = 0;
  d->v = stb_vorbis_open_pushdata(d->input.data(), static_cast<int>(d->input.size()), &used,
                                  &error, nullptr);
  if (!d->v) return error == VORBIS_need_more_data ? OGG_MORE : OGG_ERROR;
  const stb_vorbis_info info = stb_vorbis_get_info(d->v);
  if (info.channels <= 0 || info.channels > 255) return OGG_ERROR;
  d->channels = info.channels;
  Consume(d, used);
  return OGG_END;
}

}  // namespace

OggDecoder* OGG_Create() {
  return new (std::nothrow) OggDecoder;
}

void OGG_Destroy(OggDecoder** d) {
  if (!*d) return;
  Clear(*d);
  delete *d;
  *d = nullptr;
}

void OGG_Reset(OggDecoder* d) {
  if (d) Clear(d);
}

int OGG_TakeDamage(OggDecoder* d) {
  if (!d) return 0;
  const int n = d->damage;
  d->damage = 0;
  return n;
}

int OGG_Probe(OggDecoder* d, const uint8_t* data, uint32_t length, PltWaveFormat* format) {
  if (!d || !data || !format) return 0;
  int channels = 0;
  uint32_t rate = 0;
  if (!ReadIdentification(data, std::min<uint32_t>(length, OGG_INPUT_PIECE), &channels, &rate) ||
      channels <= 0 || rate == 0 || rate > 1000000) {
    return 0;
  }
  format->formatTag = PLT_WAVE_FORMAT_PCM;
  format->channels = static_cast<uint16_t>(channels);
  format->samplesPerSec = rate;
  format->bitsPerSample = 16;
  format->blockAlign = static_cast<uint16_t>(2 * channels);
  format->avgBytesPerSec = format->blockAlign * format->samplesPerSec;
  format->extraSize = 0;
  return 1;
}

int OGG_Decode(OggDecoder* d, const uint8_t* in, uint32_t length, uint8_t* out, uint32_t capacity,
               uint32_t* produced) {
  *produced = 0;
  if (!d || (length && !in)) return OGG_ERROR;
  if (length) d->input.insert(d->input.end(), in, in + length);
  if (!d->v) {
    const int r = Open(d);
    if (r == OGG_ERROR) return OGG_ERROR;
    if (r == OGG_MORE) {
      if (d->input.size() > kMaxHeld) return OGG_ERROR;
      return length ? OGG_MORE : OGG_ERROR;
    }
  }
  uint32_t done = 0;
  for (;;) {
    if (d->pendingAt < d->pending.size()) {
      done += Drain(d, out + done, capacity - done);
      if (d->pendingAt < d->pending.size()) break;  // output full: the rest waits
    }
    if (d->input.empty()) break;
    int channels = 0, samples = 0;
    float** pcm = nullptr;
    const int used = stb_vorbis_decode_frame_pushdata(
        d->v, d->input.data(), static_cast<int>(d->input.size()), &channels, &pcm, &samples);
    // A page that fails its check or a packet that does not decode is
    // skipped by the decoder, which says so in its error.
    const int error = stb_vorbis_get_error(d->v);
    if (error != VORBIS__no_error && error != VORBIS_need_more_data) ++d->damage;
    if (used == 0) {
      // Not a whole packet in hand: wait for more, unless there is no more.
      if (d->input.size() > kMaxHeld) ++d->damage;
      if (length == 0 || d->input.size() > kMaxHeld) d->input.clear();
      break;
    }
    Consume(d, used);
    if (samples <= 0 || channels != d->channels) continue;
    d->pending.resize(static_cast<size_t>(samples) * channels);
    for (int i = 0; i < samples; ++i) {
      for (int c = 0; c < channels; ++c) {
        d->pending[static_cast<size_t>(i) * channels + c] = ToSample(pcm[c][i]);
      }
    }
    d->pendingAt = 0;
  }
  *produced = done;
  if (length == 0 && done == 0) return OGG_END;
  return OGG_MORE;
}

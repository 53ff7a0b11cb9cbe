// Ogg Vorbis push decoder on stb_vorbis, for builds without libvorbis (the
// browser build). stb_vorbis keeps no input of its own: the bytes it has not
// used yet stay here and are offered again with the next piece.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "sound/ogg.h"

#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PULLDATA_API
#include <stb/stb_vorbis.h>
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif

struct OggDecoder {
  stb_vorbis* v = nullptr;
  std::vector<uint8_t> input;  // bytes handed over and not used yet
  std::vector<int16_t> pending;  // decoded samples that did not fit the output
  size_t pendingAt = 0;
  int channels = 0;
  bool broken = false;
  bool sounded = false;  // a frame gave samples: later empty frames are damage
  int damage = 0;        // damaged stretches skipped since the last OGG_TakeDamage
};

namespace {

// Input kept beyond this without a decoded frame is not a Vorbis stream.
constexpr size_t kMaxHeld = 1u << 20;

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
  d->broken = false;
  d->sounded = false;
  d->damage = 0;
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Copies pending samples into out; returns the bytes written.
uint32_t Drain(OggDecoder* d, uint8_t* out, uint32_t capacity) {
  size_t left = d->pending.size() - d->pendingAt;
  size_t frameSamples = static_cast<size_t>(std::max(d->channels, 1));
  size_t room = capacity / 2 / frameSamples * frameSamples;
  size_t take = std::min(left, room);
  std::memcpy(out, d->pending.data() + d->pendingAt, take * 2);
  d->pendingAt += take;
  if (d->pendingAt == d->pending.size()) {
    d->pending.clear();
    d->pendingAt = 0;
  }
  return static_cast<uint32_t>(take * 2);
}

// Decodes one frame from the held input into pending; false when the input
// holds no complete frame.
bool DecodeFrame(OggDecoder* d) {
  for (;;) {
    int channels = 0, samples = 0;
    float** pcm = nullptr;
    int used = stb_vorbis_decode_frame_pushdata(d->v, d->input.data(),
                                                static_cast<int>(d->input.size()), &channels,
                                                &pcm, &samples);
    if (used <= 0) return false;
    d->input.erase(d->input.begin(), d->input.begin() + used);
    // No samples: stb_vorbis lost the stream and found it again (or, before
    // the first sound, read the last header).
    if (samples <= 0 || channels != d->channels) {
      if (d->sounded) ++d->damage;
      continue;
    }
    d->sounded = true;
    for (int i = 0; i < samples; ++i) {
      for (int c = 0; c < channels; ++c) d->pending.push_back(ToSample(pcm[c][i]));
    }
    return true;
  }
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

int OGG_TakeDamage(OggDecoder* d) {
  if (!d) return 0;
  const int n = d->damage;
  d->damage = 0;
  return n;
}

void OGG_Reset(OggDecoder* d) {
  if (d) Clear(d);
}

// The identification header is the first packet of the first page: read
// straight from the page, which needs none of the later headers.
int OGG_Probe(OggDecoder* d, const uint8_t* data, uint32_t length, PltWaveFormat* format) {
  if (!d || !data || !format || length < 27 || std::memcmp(data, "OggS", 4) != 0) return 0;
  uint32_t segments = data[26];
  uint32_t body = 27 + segments;
  if (length < body + 16) return 0;
  const uint8_t* p = data + body;
  if (p[0] != 1 || std::memcmp(p + 1, "vorbis", 6) != 0) return 0;
  uint32_t channels = p[11];
  uint32_t rate = Le32(p + 12);
  if (channels == 0 || rate == 0 || rate > 1000000) return 0;
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
  if (!d || (length && !in) || d->broken) return OGG_ERROR;
  d->input.insert(d->input.end(), in, in + length);
  if (!d->v) {
    int used = 0, error = 0;
    d->v = stb_vorbis_open_pushdata(d->input.data(), static_cast<int>(d->input.size()), &used,
                                    &error, nullptr);
    if (!d->v) {
      if (error == VORBIS_need_more_data && length && d->input.size() < kMaxHeld) return OGG_MORE;
      d->broken = true;
      return OGG_ERROR;
    }
    d->input.erase(d->input.begin(), d->input.begin() + used);
    d->channels = stb_vorbis_get_info(d->v).channels;
    if (d->channels <= 0) {
      d->broken = true;
      return OGG_ERROR;
    }
  }
  uint32_t done = 0;
  for (;;) {
    done += Drain(d, out + done, capacity - done);
    if (!d->pending.empty()) break;  // output full: the rest waits here
    if (!DecodeFrame(d)) break;
  }
  // A stream that never yields a frame is given up before it fills memory.
  if (d->input.size() > kMaxHeld) d->input.clear();
  *produced = done;
  if (length == 0 && done == 0) return OGG_END;
  return OGG_MORE;
}

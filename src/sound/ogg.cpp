// Ogg Vorbis push decoder on libogg and libvorbis.
#include "sound/ogg.h"

#include <vorbis/codec.h>

#include <algorithm>
#include <cstring>
#include <new>

struct OggDecoder {
  ogg_sync_state oy;
  ogg_stream_state os;
  ogg_page og;
  ogg_packet op;
  vorbis_info vi;
  vorbis_comment vc;
  vorbis_dsp_state vd;
  vorbis_block vb;
  bool stream;  // os initialised from the first page
  int headers;  // header packets read, 0..3
  bool synth;   // vd and vb initialised
  int damage;   // damaged stretches skipped since the last OGG_TakeDamage
};

namespace {

void Init(OggDecoder* d) {
  ogg_sync_init(&d->oy);
  vorbis_info_init(&d->vi);
  vorbis_comment_init(&d->vc);
  d->stream = false;
  d->headers = 0;
  d->synth = false;
  d->damage = 0;
}

void Clear(OggDecoder* d) {
  if (d->synth) {
    vorbis_block_clear(&d->vb);
    vorbis_dsp_clear(&d->vd);
  }
  if (d->stream) ogg_stream_clear(&d->os);
  vorbis_comment_clear(&d->vc);
  vorbis_info_clear(&d->vi);
  ogg_sync_clear(&d->oy);
  d->stream = false;
  d->headers = 0;
  d->synth = false;
}

bool Submit(ogg_sync_state* oy, const uint8_t* in, uint32_t length) {
  if (!length) return true;
  char* buf = ogg_sync_buffer(oy, static_cast<long>(length));
  if (!buf) return false;
  std::memcpy(buf, in, length);
  return ogg_sync_wrote(oy, static_cast<long>(length)) == 0;
}

// Next page of the logical stream into os; corrupt stretches are skipped.
// false when the input has no complete page left.
bool NextPage(OggDecoder* d) {
  for (;;) {
    int r = ogg_sync_pageout(&d->oy, &d->og);
    if (r == 0) return false;
    if (r < 0) {  // corrupt or missing data; go on with the next page
      ++d->damage;
      continue;
    }
    if (!d->stream) {
      if (ogg_stream_init(&d->os, ogg_page_serialno(&d->og)) != 0) return false;
      d->stream = true;
    }
    ogg_stream_pagein(&d->os, &d->og);  // pages of other streams are refused
    return true;
  }
}

inline int16_t ToSample(float f) {
  float v = f * 32767.f;
  if (v > 32767.f) return 32767;
  if (v >= -32768.f) return static_cast<int16_t>(v);  // truncates toward zero
  return -32768;                                      // also NaN
}

}  // namespace

OggDecoder* OGG_Create() {
  auto* d = new (std::nothrow) OggDecoder;
  if (!d) return nullptr;
  std::memset(d, 0, sizeof *d);
  Init(d);
  return d;
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
  if (!d) return;
  Clear(d);
  Init(d);
}

int OGG_Probe(OggDecoder* d, const uint8_t* data, uint32_t length, PltWaveFormat* format) {
  if (!d || !data || !format) return 0;
  ogg_sync_state oy;
  ogg_stream_state os;
  ogg_page og;
  ogg_packet op;
  vorbis_info vi;
  vorbis_comment vc;
  ogg_sync_init(&oy);
  vorbis_info_init(&vi);
  vorbis_comment_init(&vc);
  int ok = 0;
  if (Submit(&oy, data, std::min<uint32_t>(length, OGG_INPUT_PIECE)) &&
      ogg_sync_pageout(&oy, &og) == 1) {
    if (ogg_stream_init(&os, ogg_page_serialno(&og)) == 0) {
      if (ogg_stream_pagein(&os, &og) == 0 && ogg_stream_packetout(&os, &op) == 1 &&
          vorbis_synthesis_headerin(&vi, &vc, &op) == 0 && vi.channels > 0 && vi.rate > 0 &&
          vi.channels <= 255 && vi.rate <= 1000000) {
        format->formatTag = PLT_WAVE_FORMAT_PCM;
        format->channels = static_cast<uint16_t>(vi.channels);
        format->samplesPerSec = static_cast<uint32_t>(vi.rate);
        format->bitsPerSample = 16;
        format->blockAlign = static_cast<uint16_t>(2 * vi.channels);
        format->avgBytesPerSec = format->blockAlign * format->samplesPerSec;
        format->extraSize = 0;
        ok = 1;
      }
      ogg_stream_clear(&os);
    }
  }
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  ogg_sync_clear(&oy);
  return ok;
}

int OGG_Decode(OggDecoder* d, const uint8_t* in, uint32_t length, uint8_t* out, uint32_t capacity,
               uint32_t* produced) {
  *produced = 0;
  if (!d || (length && !in)) return OGG_ERROR;
  if (!Submit(&d->oy, in, length)) return OGG_ERROR;
  while (d->headers < 3) {
    if (!d->stream && !NextPage(d)) return length ? OGG_MORE : OGG_ERROR;
    int r = ogg_stream_packetout(&d->os, &d->op);
    if (r < 0) return OGG_ERROR;
    if (r == 0) {
      if (!NextPage(d)) return length ? OGG_MORE : OGG_ERROR;
      continue;
    }
    if (vorbis_synthesis_headerin(&d->vi, &d->vc, &d->op) != 0) return OGG_ERROR;
    if (++d->headers == 3) {
      if (d->vi.channels <= 0 || vorbis_synthesis_init(&d->vd, &d->vi) != 0) return OGG_ERROR;
      vorbis_block_init(&d->vd, &d->vb);
      d->synth = true;
    }
  }
  const uint32_t channels = static_cast<uint32_t>(d->vi.channels);
  const uint32_t frameBytes = 2 * channels;
  // At most this many samples per channel are taken in one step.
  const uint32_t stepMax = std::max<uint32_t>(1, 4096 / channels);
  uint32_t done = 0;
  for (;;) {
    float** pcm;
    int n = vorbis_synthesis_pcmout(&d->vd, &pcm);
    if (n > 0) {
      uint32_t room = (capacity - done) / frameBytes;
      uint32_t take = std::min({static_cast<uint32_t>(n), room, stepMax});
      if (take == 0) break;  // output full: the rest waits in the decoder
      int16_t* dst = reinterpret_cast<int16_t*>(out + done);
      for (uint32_t i = 0; i < take; ++i) {
        for (uint32_t c = 0; c < channels; ++c) dst[i * channels + c] = ToSample(pcm[c][i]);
      }
      vorbis_synthesis_read(&d->vd, static_cast<int>(take));
      done += take * frameBytes;
      continue;
    }
    int r = ogg_stream_packetout(&d->os, &d->op);
    if (r > 0) {
      if (vorbis_synthesis(&d->vb, &d->op) == 0) {
        vorbis_synthesis_blockin(&d->vd, &d->vb);
      } else {
        ++d->damage;  // a packet that does not decode is skipped
      }
      continue;
    }
    if (r < 0) {  // a hole in the data: go on
      ++d->damage;
      continue;
    }
    if (!NextPage(d)) break;
  }
  *produced = done;
  if (length == 0 && done == 0) return OGG_END;
  return OGG_MORE;
}

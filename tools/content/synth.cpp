// Voices, drums, reverb and encoders.
#include "synth.h"

#include <sndfile.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

double NoteFreq(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

namespace {
constexpr double kTwoPi = 2 * M_PI;

// Attack-decay-sustain-release envelope value at time t for a gate of length g.
double Adsr(double t, double g, double a, double d, double s, double r) {
  double level;
  if (t < a)
    level = t / a;
  else if (t < a + d)
    level = 1 - (1 - s) * (t - a) / d;
  else
    level = s;
  if (t > g) {
    double held = std::min(g, a + d) >= g ? Adsr(g, g + 1, a, d, s, r) : s;
    if (g <= 0) held = 0;
    level = held * std::max(0.0, 1 - (t - g) / r);
  }
  return level;
}

// Highest sample index written by the note being rendered, plus one.
size_t s_written = 0;

void Add(std::vector<float>& out, size_t i, double v) {
  if (i >= out.size()) out.resize(i + kRate, 0.f);
  if (i >= s_written) s_written = i + 1;
  out[i] += static_cast<float>(v);
}
}  // namespace

size_t RenderNote(std::vector<float>& out, size_t start, Instrument inst, double f, double dur,
                  double vel, uint32_t seed) {
  s_written = 0;
  Noise nz;
  nz.s = seed * 747796405u + 2891336453u;
  const double dt = 1.0 / kRate;
  switch (inst) {
    case INST_BELL: {
      double len = 1.6 + 400 / f;
      int n = static_cast<int>(len * kRate);
      double env = 1, idx = 2.2, env2 = 1;
      const double kEnv = std::exp(-2.6 * dt), kIdx = std::exp(-6 * dt), kEnv2 = std::exp(-5 * dt);
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double m = std::sin(kTwoPi * f * 3.5 * t) * idx;
        double a = std::min(1.0, t / 0.002);
        double v = std::sin(kTwoPi * f * t + m) * env + 0.25 * std::sin(kTwoPi * f * 2 * t) * env2;
        Add(out, start + i, v * a * vel * 0.5);
        env *= kEnv;
        env2 *= kEnv * kEnv2;
        idx *= kIdx;
      }
      break;
    }
    case INST_MARIMBA: {
      int n = static_cast<int>(1.0 * kRate);
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double env = std::exp(-t * 7) * std::min(1.0, t / 0.0015);
        double v =
            std::sin(kTwoPi * f * t) + 0.35 * std::sin(kTwoPi * f * 3.93 * t) * std::exp(-t * 30);
        Add(out, start + i, v * env * vel * 0.55);
      }
      break;
    }
    case INST_PLUCK: {
      // Karplus-Strong with a soft pick and a touch of body resonance.
      int period = std::max(2, static_cast<int>(kRate / f + 0.5));
      std::vector<float> line(period);
      float lp = 0;
      for (int k = 0; k < period; k++) {
        lp = lp * 0.5f + nz.Next() * 0.5f;
        line[k] = lp;
      }
      int n = static_cast<int>(std::min(3.0, dur + 1.6) * kRate);
      int p = 0;
      float prev = 0;
      double damp = 0.996 - 0.0000004 * f;
      for (int i = 0; i < n; i++) {
        float cur = line[p];
        float next = static_cast<float>(damp * 0.5 * (cur + prev));
        prev = cur;
        line[p] = next;
        p = (p + 1) % period;
        double t = i * dt;
        double rel = t > dur + 0.4 ? std::max(0.0, 1 - (t - dur - 0.4) / 0.8) : 1.0;
        double fadeIn = std::min(1.0, t / 0.001);
        Add(out, start + i, cur * vel * 0.8 * rel * fadeIn);
      }
      break;
    }
    case INST_PAD: {
      double rel = 1.2;
      int n = static_cast<int>((dur + rel) * kRate);
      double ph[3] = {0, 0.3, 0.6};
      const double det[3] = {1.0, 1.0035, 0.9968};
      double lp = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double env = Adsr(t, dur, 0.5, 0.5, 0.8, rel);
        double v = 0;
        for (int k = 0; k < 3; k++) {
          ph[k] += f * det[k] * dt;
          ph[k] -= std::floor(ph[k]);
          v += 2 * std::fabs(2 * ph[k] - 1) - 1;  // triangle
        }
        double cut = 0.08 + 0.04 * std::sin(t * 0.8);
        lp += cut * (v - lp);
        Add(out, start + i, lp * env * vel * 0.22);
      }
      break;
    }
    case INST_BASS: {
      double rel = 0.08;
      int n = static_cast<int>((dur + rel) * kRate);
      double ph = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double env = Adsr(t, dur, 0.004, 0.25, 0.55, rel);
        ph += f * dt;
        double v = std::sin(kTwoPi * ph) + 0.2 * std::sin(2 * kTwoPi * ph) * std::exp(-t * 8);
        Add(out, start + i, v * env * vel * 0.75);
      }
      break;
    }
    case INST_FLUTE: {
      double rel = 0.15;
      int n = static_cast<int>((dur + rel) * kRate);
      double ph = 0, lp = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double env = Adsr(t, dur, 0.06, 0.1, 0.85, rel);
        double vib = 1 + 0.006 * std::sin(kTwoPi * 5.2 * t) * std::min(1.0, t / 0.4);
        ph += f * vib * dt;
        double v = std::sin(kTwoPi * ph) + 0.12 * std::sin(2 * kTwoPi * ph) +
                   0.05 * std::sin(3 * kTwoPi * ph);
        lp += 0.15 * (nz.Next() - lp);
        v += lp * 0.5 * (0.3 + 0.7 * std::exp(-t * 10));
        Add(out, start + i, v * env * vel * 0.35);
      }
      break;
    }
    case INST_KICK: {
      int n = static_cast<int>(0.35 * kRate);
      double ph = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double fr = 45 + 90 * std::exp(-t * 30);
        ph += fr * dt;
        double env = std::exp(-t * 9) * std::min(1.0, t / 0.001);
        Add(out, start + i, std::sin(kTwoPi * ph) * env * vel * 0.9);
      }
      break;
    }
    case INST_SNARE: {
      int n = static_cast<int>(0.3 * kRate);
      double hp = 0, prev = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double x = nz.Next();
        hp = 0.9 * (hp + x - prev);
        prev = x;
        double env = std::exp(-t * 16) * std::min(1.0, t / 0.004);
        double tone = std::sin(kTwoPi * 190 * t) * std::exp(-t * 30);
        Add(out, start + i, (hp * 0.5 + tone * 0.4) * env * vel * 0.6);
      }
      break;
    }
    case INST_HAT:
    case INST_OPENHAT:
    case INST_SHAKER: {
      double decay = inst == INST_HAT ? 60 : inst == INST_OPENHAT ? 12 : 30;
      double attack = inst == INST_SHAKER ? 0.012 : 0.0008;
      int n = static_cast<int>(std::min(0.5, 8 / decay) * kRate);
      double hp = 0, prev = 0, hp2 = 0, prev2 = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        double x = nz.Next();
        hp = 0.7 * (hp + x - prev);
        prev = x;
        hp2 = 0.7 * (hp2 + hp - prev2);
        prev2 = hp;
        double env = std::exp(-t * decay) * std::min(1.0, t / attack);
        Add(out, start + i, hp2 * env * vel * (inst == INST_SHAKER ? 0.22 : 0.28));
      }
      break;
    }
    case INST_TOM: {
      int n = static_cast<int>(0.5 * kRate);
      double ph = 0;
      for (int i = 0; i < n; i++) {
        double t = i * dt;
        ph += f * (1 + 0.5 * std::exp(-t * 20)) * dt;
        double env = std::exp(-t * 7) * std::min(1.0, t / 0.001);
        Add(out, start + i, std::sin(kTwoPi * ph) * env * vel * 0.6);
      }
      break;
    }
    default:
      break;
  }
  return s_written;
}

void Reverb(std::vector<float>& st, double wet, double room) {
  // Four damped combs and two allpasses per channel, the right side with
  // slightly longer delays for width.
  const int combL[4] = {1557, 1617, 1491, 1422};
  const int apL[2] = {556, 441};
  size_t n = st.size() / 2;
  for (int ch = 0; ch < 2; ch++) {
    int spread = ch ? 23 : 0;
    std::vector<std::vector<float>> comb(4), ap(2);
    std::vector<float> combLp(4, 0.f);
    std::vector<size_t> ci(4, 0), ai(2, 0);
    for (int k = 0; k < 4; k++) comb[k].assign(combL[k] + spread, 0.f);
    for (int k = 0; k < 2; k++) ap[k].assign(apL[k] + spread, 0.f);
    const float fb = static_cast<float>(0.7 + 0.28 * room), damp = 0.3f;
    for (size_t i = 0; i < n; i++) {
      float in = (st[2 * i] + st[2 * i + 1]) * 0.5f * 0.2f;
      float acc = 0;
      for (int k = 0; k < 4; k++) {
        float y = comb[k][ci[k]];
        combLp[k] = y * (1 - damp) + combLp[k] * damp;
        comb[k][ci[k]] = in + combLp[k] * fb;
        ci[k] = (ci[k] + 1) % comb[k].size();
        acc += y;
      }
      for (int k = 0; k < 2; k++) {
        float b = ap[k][ai[k]];
        float y = -acc + b;
        ap[k][ai[k]] = acc + b * 0.5f;
        ai[k] = (ai[k] + 1) % ap[k].size();
        acc = y;
      }
      st[2 * i + ch] += static_cast<float>(acc * wet);
    }
  }
}

namespace {
struct MemFile {
  Bytes data;
  sf_count_t pos = 0;
};
sf_count_t VLen(void* u) {
  return static_cast<sf_count_t>(static_cast<MemFile*>(u)->data.size());
}
sf_count_t VSeek(sf_count_t off, int whence, void* u) {
  MemFile* m = static_cast<MemFile*>(u);
  sf_count_t base = whence == SEEK_SET   ? 0
                    : whence == SEEK_CUR ? m->pos
                                         : static_cast<sf_count_t>(m->data.size());
  m->pos = std::max<sf_count_t>(0, base + off);
  return m->pos;
}
sf_count_t VRead(void* ptr, sf_count_t count, void* u) {
  MemFile* m = static_cast<MemFile*>(u);
  sf_count_t avail = std::max<sf_count_t>(0, static_cast<sf_count_t>(m->data.size()) - m->pos);
  sf_count_t n = std::min(count, avail);
  if (n > 0) memcpy(ptr, m->data.data() + m->pos, static_cast<size_t>(n));
  m->pos += n;
  return n;
}
sf_count_t VWrite(const void* ptr, sf_count_t count, void* u) {
  MemFile* m = static_cast<MemFile*>(u);
  size_t end = static_cast<size_t>(m->pos + count);
  if (end > m->data.size()) m->data.resize(end, 0);
  memcpy(m->data.data() + m->pos, ptr, static_cast<size_t>(count));
  m->pos += count;
  return count;
}
sf_count_t VTell(void* u) {
  return static_cast<MemFile*>(u)->pos;
}
}  // namespace

Bytes EncodeWav(const std::vector<float>& samples, int channels, WavCodec codec) {
  SF_VIRTUAL_IO io = {VLen, VSeek, VRead, VWrite, VTell};
  MemFile mem;
  SF_INFO info = {};
  info.samplerate = kRate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | (codec == WAV_PCM16       ? SF_FORMAT_PCM_16
                                 : codec == WAV_IMA_ADPCM ? SF_FORMAT_IMA_ADPCM
                                                          : SF_FORMAT_MS_ADPCM);
  SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &mem);
  if (!sf) return {};
  // No PEAK chunk or other extras: a plain RIFF/WAVE with fmt and data.
  sf_command(sf, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  std::vector<short> pcm(samples.size());
  for (size_t i = 0; i < samples.size(); i++)
    pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.f, 1.f) * 32767));
  sf_write_short(sf, pcm.data(), static_cast<sf_count_t>(pcm.size()));
  sf_close(sf);
  return mem.data;
}

Bytes EncodeOgg(const std::vector<float>& st, int serial, const char* title, float quality) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, kRate, quality) != 0) {
    vorbis_info_clear(&vi);
    return {};
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", title);
  vorbis_comment_add_tag(&vc, "ARTIST", "TAVREN");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);
  Bytes out;
  auto emit = [&](ogg_page& pg) {
    out.insert(out.end(), pg.header, pg.header + pg.header_len);
    out.insert(out.end(), pg.body, pg.body + pg.body_len);
  };
  ogg_packet h0, h1, h2;
  vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
  ogg_stream_packetin(&os, &h0);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_page pg;
  while (ogg_stream_flush(&os, &pg)) emit(pg);
  size_t frames = st.size() / 2, pos = 0;
  const size_t chunk = 4096;
  bool eos = false, ended = false;
  while (!ended) {
    if (pos < frames) {
      size_t n = std::min(chunk, frames - pos);
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; i++) {
        buf[0][i] = st[2 * (pos + i)];
        buf[1][i] = st[2 * (pos + i) + 1];
      }
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      pos += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);
      ended = true;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (!eos && ogg_stream_pageout(&os, &pg)) {
          emit(pg);
          if (ogg_page_eos(&pg)) eos = true;
        }
      }
    }
  }
  while (!eos && ogg_stream_flush(&os, &pg)) {
    emit(pg);
    if (ogg_page_eos(&pg)) eos = true;
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

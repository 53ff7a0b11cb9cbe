// Sound effects, synthesised: short, clean at both ends, mono 44.1 kHz.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "common/se_ids.h"
#include "synth.h"

namespace {
// "wav/se_%03d.wav": where the game looks for effect n.
std::string EffectFile(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "wav/se_%03d.wav", n);
  return name;
}

using Buf = std::vector<float>;

Buf Make(double seconds) {
  return Buf(static_cast<size_t>(seconds * kRate), 0.f);
}

// A rising sine chirp: the sound of a small bubble or a drop leaving water.
void Bubble(Buf& b, double at, double f0, double rise, double decay, double amp) {
  size_t s = static_cast<size_t>(at * kRate);
  double ph = 0;
  for (size_t i = 0; s + i < b.size(); i++) {
    double t = static_cast<double>(i) / kRate;
    double env = std::exp(-t * decay) * std::min(1.0, t / 0.002);
    if (env < 1e-4 && t > 0.01) break;
    ph += f0 * (1 + rise * t) / kRate;
    b[s + i] += static_cast<float>(std::sin(2 * M_PI * ph) * env * amp);
  }
}

void NoiseBurst(Buf& b, double at, double len, double bright, double amp, uint32_t seed) {
  Noise nz;
  nz.s = seed;
  size_t s = static_cast<size_t>(at * kRate), n = static_cast<size_t>(len * kRate);
  double lp = 0;
  for (size_t i = 0; i < n && s + i < b.size(); i++) {
    double t = static_cast<double>(i) / n;
    lp += bright * (nz.Next() - lp);
    double env = std::sin(M_PI * std::min(1.0, t * 4)) * (1 - t) * (t < 0.25 ? 1 : 1);
    b[s + i] += static_cast<float>(lp * env * amp);
  }
}

void Note(Buf& b, double at, Instrument inst, int midi, double dur, double vel) {
  Buf tmp;
  RenderNote(tmp, 0, inst, NoteFreq(midi), dur, vel, static_cast<uint32_t>(midi * 31 + inst));
  size_t s = static_cast<size_t>(at * kRate);
  for (size_t i = 0; i < tmp.size() && s + i < b.size(); i++) b[s + i] += tmp[i];
}

// A sine partial with its own pitch, decay and start: the bricks of bells,
// chimes and calls.
void Partial(Buf& b, double at, double f, double decay, double amp, double attack = 0.003) {
  size_t s = static_cast<size_t>(at * kRate);
  for (size_t i = 0; s + i < b.size(); i++) {
    double t = static_cast<double>(i) / kRate;
    double env = std::exp(-t * decay) * std::min(1.0, t / attack);
    if (env < 1e-4 && t > attack) break;
    b[s + i] += static_cast<float>(std::sin(2 * M_PI * f * t) * env * amp);
  }
}

// A small bird's chirp: a quick falling-then-rising whistle with a trill.
void Chirp(Buf& b, double at, double f0, double f1, double len, double amp) {
  size_t s = static_cast<size_t>(at * kRate), n = static_cast<size_t>(len * kRate);
  double ph = 0;
  for (size_t i = 0; i < n && s + i < b.size(); i++) {
    double t = static_cast<double>(i) / n;
    double f = f0 + (f1 - f0) * t + 180 * std::sin(2 * M_PI * 38 * t * len);
    ph += f / kRate;
    double env = std::sin(M_PI * t) * std::sin(M_PI * t);
    b[s + i] +=
        static_cast<float>((std::sin(2 * M_PI * ph) + 0.15 * std::sin(4 * M_PI * ph)) * env * amp);
  }
}

// Brings the peak to a level in dBFS and shapes both ends so nothing clicks.
void Finish(Buf& b, double peakDb, double fadeOut = 0.03) {
  const double peak = DbGain(std::min(peakDb, kEffectPeakDb));
  float mx = 0;
  for (float v : b) mx = std::max(mx, std::fabs(v));
  if (mx > 0)
    for (float& v : b) v = static_cast<float>(v * peak / mx);
  size_t in = std::min(b.size(), static_cast<size_t>(0.002 * kRate));
  for (size_t i = 0; i < in; i++) b[i] *= static_cast<float>(i) / in;
  size_t out = std::min(b.size(), static_cast<size_t>(fadeOut * kRate));
  for (size_t i = 0; i < out; i++) {
    double g = 0.5 + 0.5 * std::cos(M_PI * (i + 1) / out);
    b[b.size() - out + i] *= static_cast<float>(g);
  }
}
}  // namespace

// The stage's effects stay 1.5 dB under the ceiling: a multi-catch starts a
// delivery sound every second frame, and those tails add up (to about 1.5
// times the loudest one over a play-through) while the stage music and, at
// the clear, the clear piece play under them.
constexpr double kStageDb = kEffectPeakDb - 1.5;

void MakeSoundEffects(Output& out) {
  // 2: a missed click, a soft swish of air.
  {
    Buf b = Make(0.28);
    NoiseBurst(b, 0.0, 0.25, 0.08, 0.9, 17);
    Bubble(b, 0.0, 260, -1.8, 18, 0.25);
    Finish(b, kStageDb - 3.0, 0.06);
    out.files[EffectFile(SE_MISSED)] = EncodeWav(b, 1, WAV_MS_ADPCM);
  }
  // 3: a delivery that extends a chain: a bright rising arpeggio.
  {
    Buf b = Make(1.1);
    Bubble(b, 0.0, 700, 3.0, 28, 0.5);
    const int notes[5] = {79, 84, 88, 91, 96};
    for (int k = 0; k < 5; k++) Note(b, 0.03 + 0.055 * k, INST_BELL, notes[k], 0.2, 0.6 + 0.08 * k);
    Finish(b, kStageDb, 0.25);
    out.files[EffectFile(SE_CHAINED)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 8: decide on the title, and a creature caught: a bright water plip.
  {
    Buf b = Make(0.32);
    Bubble(b, 0.0, 520, 9.0, 22, 1.0);
    Bubble(b, 0.05, 900, 6.0, 35, 0.45);
    Note(b, 0.0, INST_MARIMBA, 84, 0.1, 0.35);
    Finish(b, kStageDb, 0.08);
    out.files[EffectFile(SE_DECIDE)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 9: a plain delivery: a plop into the bowl and a porcelain ding.
  {
    Buf b = Make(0.8);
    Bubble(b, 0.0, 300, 5.0, 20, 0.8);
    Note(b, 0.04, INST_BELL, 86, 0.2, 0.6);
    Note(b, 0.04, INST_BELL, 79, 0.2, 0.35);
    Finish(b, kStageDb - 0.5, 0.2);
    out.files[EffectFile(SE_DELIVERED)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 10: a creature dropped back into the pond: a falling bloop and splash.
  {
    Buf b = Make(0.5);
    Bubble(b, 0.0, 900, -0.85 / 0.35, 9, 0.8);
    NoiseBurst(b, 0.02, 0.3, 0.25, 0.45, 99);
    Bubble(b, 0.12, 420, 4, 30, 0.3);
    Finish(b, kStageDb - 0.5, 0.12);
    out.files[EffectFile(SE_DROPPED)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 12: the score counter, looped: four ticks in exactly 0.2 s, each decayed
  // to silence before the next, so the loop point is seamless.
  {
    Buf b(static_cast<size_t>(kRate / 5), 0.f);
    const size_t step = b.size() / 4;
    const double tick = DbGain(kStageDb - 0.5);
    for (int k = 0; k < 4; k++) {
      double f = k % 2 ? 2637 : 3136;
      for (size_t i = 0; i < step; i++) {
        double t = static_cast<double>(i) / kRate;
        double env = std::exp(-t * 220) * std::min(1.0, t / 0.0008);
        b[k * step + i] += static_cast<float>(std::sin(2 * M_PI * f * t) * env * tick);
      }
    }
    out.files[EffectFile(SE_COUNTING)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 13: the cursor moves onto a menu item: a small wooden tok.
  {
    Buf b = Make(0.16);
    Note(b, 0.0, INST_MARIMBA, 91, 0.05, 0.8);
    Bubble(b, 0.0, 1500, 1.0, 80, 0.2);
    Finish(b, kStageDb - 1.5, 0.05);
    out.files[EffectFile(SE_CURSOR)] = EncodeWav(b, 1, WAV_IMA_ADPCM);
  }
  // 20: a drop into still water (chapon): the plink of the drop, the bubble
  // it leaves ringing upwards, and a soft spray.
  {
    Buf b = Make(0.6);
    Bubble(b, 0.0, 1400, 1.2, 60, 0.35);
    Bubble(b, 0.015, 620, 3.2, 14, 0.9);
    Bubble(b, 0.09, 1050, 2.0, 26, 0.3);
    NoiseBurst(b, 0.01, 0.18, 0.35, 0.12, 201);
    Finish(b, kEffectPeakDb, 0.15);
    out.files[EffectFile(SE_WATER_DROP)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 21: a small bird's call, two quick notes and a softer answer.
  {
    Buf b = Make(0.62);
    Chirp(b, 0.0, 3900, 3300, 0.09, 0.8);
    Chirp(b, 0.13, 3600, 4300, 0.11, 0.9);
    Chirp(b, 0.36, 3400, 3900, 0.14, 0.45);
    Finish(b, kEffectPeakDb - 1.5, 0.05);
    out.files[EffectFile(SE_BIRD)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 22: a glass wind chime at the shrine: inharmonic partials of two strokes,
  // slightly detuned so they shimmer.
  {
    Buf b = Make(2.4);
    const double ratios[5] = {1.0, 2.76, 5.40, 8.93, 13.3};
    const double strokes[3][3] = {{0.0, 1760, 1.0}, {0.21, 2093, 0.7}, {0.55, 1568, 0.45}};
    for (const auto& st : strokes)
      for (int k = 0; k < 5; k++) {
        double f = st[1] * ratios[k];
        if (f > 16000) continue;
        double amp = st[2] / (1 + k * 1.3), decay = 2.2 + k * 2.5;
        Partial(b, st[0], f, decay, amp);
        Partial(b, st[0], f * 1.003, decay * 1.1, amp * 0.5);
      }
    Finish(b, kEffectPeakDb - 1.5, 0.4);
    out.files[EffectFile(SE_WIND_CHIME)] = EncodeWav(b, 1, WAV_PCM16);
  }
  // 23: a gust of night wind: filtered noise swelling and falling away, its
  // brightness following the strength of the gust.
  {
    Buf b = Make(2.6);
    Noise nz;
    nz.s = 231;
    double lp1 = 0, lp2 = 0;
    const size_t n = b.size();
    for (size_t i = 0; i < n; i++) {
      double t = static_cast<double>(i) / n;
      double swell = std::pow(std::sin(M_PI * std::pow(t, 0.8)), 2.0);
      swell *= 0.85 + 0.15 * std::sin(2 * M_PI * 3.1 * t + 1.0);
      double cut = 0.01 + 0.05 * swell;
      lp1 += cut * (nz.Next() - lp1);
      lp2 += cut * (lp1 - lp2);
      b[i] = static_cast<float>(lp2 * swell);
    }
    Finish(b, kEffectPeakDb - 2.0, 0.3);
    out.files[EffectFile(SE_GUST)] = EncodeWav(b, 1, WAV_PCM16);
  }
}

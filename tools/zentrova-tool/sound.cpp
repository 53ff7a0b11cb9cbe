// zentrova-tool sound: sound-effect and music decoding as the game does it,
// and a sample-by-sample comparison of two decodings (the Windows and web
// builds decode the music with another Vorbis decoder than Linux's).
#include "sound/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/plt_sound.h"
#include "sound/ogg.h"
#include "sound/wav.h"
#include "zentrova-tool/tool.h"

namespace {

void Help(FILE* out) {
  std::fprintf(out,
               "usage: zentrova-tool sound decode NAME OUT.wav\n"
               "       zentrova-tool sound music FILE.ogg OUT.wav\n"
               "       zentrova-tool sound compare A.wav B.wav [--max N]\n\n"
               "decode: loads NAME from the sound-effect group (\"wav\" directory or archive\n"
               "in the current directory) the way the game loads an effect (PCM or compressed\n"
               "WAV, or Ogg Vorbis) and writes the PCM of the buffer it made as a 16-bit WAV.\n"
               "music: decodes a music file fed in the pieces the music stream reads and\n"
               "writes its samples as a 16-bit WAV.\n"
               "compare: compares two 16-bit WAVs of the same format sample by sample and\n"
               "prints the largest difference and the RMS of the differences; exits 1 when\n"
               "the formats or lengths differ, or when a difference passes N.\n");
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

int WriteWav(const char* name, const char* outPath, const PltWaveFormat& f,
             const std::vector<uint8_t>& samples);

int Decode(const char* name, const char* outPath) {
  if (!SND_Init(nullptr)) {
    std::fprintf(stderr, "zentrova-tool sound: no sound device\n");
    return 1;
  }
  uint32_t size = 0;
  PltSoundBuffer* b = SND_LoadSound(name, &size);
  PltWaveFormat f{};
  if (!b || !PLT_SoundGetFormat(b, &f)) {
    for (const HlMessageBox& m : HL_MessageBoxes()) {
      std::fprintf(stderr, "zentrova-tool sound: %s\n", m.text.c_str());
    }
    std::fprintf(stderr, "zentrova-tool sound: cannot load %s\n", name);
    SND_Release();
    return 1;
  }
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  std::vector<uint8_t> pcm;
  if (PLT_SoundLock(b, 0, size, &p1, &n1, &p2, &n2)) {
    pcm.assign(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    PLT_SoundUnlock(b, p1, n1, p2, n2);
  }
  std::vector<uint8_t> samples;
  if (f.bitsPerSample == 8) {
    for (uint8_t u : pcm) Put16(samples, static_cast<uint16_t>((u - 128) * 256));
  } else {
    samples = pcm;
  }
  SND_Release();
  return WriteWav(name, outPath, f, samples);
}

int WriteWav(const char* name, const char* outPath, const PltWaveFormat& f,
             const std::vector<uint8_t>& samples) {
  std::vector<uint8_t> wav;
  const uint32_t block = 2u * f.channels;
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  Put32(wav, 36 + static_cast<uint32_t>(samples.size()));
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(wav, 16);
  Put16(wav, 1);
  Put16(wav, f.channels);
  Put32(wav, f.samplesPerSec);
  Put32(wav, f.samplesPerSec * block);
  Put16(wav, block);
  Put16(wav, 16);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  Put32(wav, static_cast<uint32_t>(samples.size()));
  wav.insert(wav.end(), samples.begin(), samples.end());
  FILE* out = std::fopen(outPath, "wb");
  if (!out || std::fwrite(wav.data(), 1, wav.size(), out) != wav.size()) {
    if (out) std::fclose(out);
    std::fprintf(stderr, "zentrova-tool sound: cannot write %s\n", outPath);
    return 1;
  }
  std::fclose(out);
  std::printf("%s: %u Hz, %u channel(s), %u frames\n", name, f.samplesPerSec, f.channels,
              static_cast<unsigned>(samples.size() / block));
  return 0;
}

bool ReadWhole(const char* path, std::vector<uint8_t>* bytes) {
  FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  const bool ok = !std::ferror(in);
  std::fclose(in);
  return ok;
}

int Music(const char* path, const char* outPath) {
  std::vector<uint8_t> file;
  if (!ReadWhole(path, &file)) {
    std::fprintf(stderr, "zentrova-tool sound: cannot read %s\n", path);
    return 1;
  }
  OggDecoder* d = OGG_Create();
  PltWaveFormat f{};
  if (!d || !OGG_Probe(d, file.data(), static_cast<uint32_t>(file.size()), &f)) {
    OGG_Destroy(&d);
    std::fprintf(stderr, "zentrova-tool sound: %s is no Ogg Vorbis stream\n", path);
    return 1;
  }
  std::vector<uint8_t> samples;
  std::vector<uint8_t> out(OGG_OUTPUT_CAPACITY);
  size_t at = 0;
  int r = OGG_MORE;
  // Fed as the music stream feeds it: one piece a call, then empty calls
  // until the decoder has handed out everything it holds.
  while (r == OGG_MORE) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(OGG_INPUT_PIECE, file.size() - at));
    uint32_t produced = 0;
    r = OGG_Decode(d, file.data() + at, n, out.data(), OGG_OUTPUT_CAPACITY, &produced);
    at += n;
    samples.insert(samples.end(), out.begin(), out.begin() + produced);
  }
  const int damage = OGG_TakeDamage(d);
  OGG_Destroy(&d);
  if (r == OGG_ERROR || damage > 0) {
    std::fprintf(stderr, "zentrova-tool sound: %s: %s\n", path,
                 r == OGG_ERROR ? "broken header" : "damaged stretches skipped");
    return 1;
  }
  return WriteWav(path, outPath, f, samples);
}

// The format and the samples of a 16-bit PCM WAV as WriteWav writes it.
bool ReadWav(const char* path, PltWaveFormat* f, std::vector<int16_t>* samples) {
  std::vector<uint8_t> b;
  if (!ReadWhole(path, &b) || b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
      std::memcmp(b.data() + 8, "WAVEfmt ", 8) != 0 || std::memcmp(b.data() + 36, "data", 4) != 0) {
    return false;
  }
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); };
  f->channels = static_cast<uint16_t>(u16(22));
  f->samplesPerSec = u16(24) | u16(26) << 16;
  f->bitsPerSample = static_cast<uint16_t>(u16(34));
  const size_t bytes = std::min<size_t>(u16(40) | u16(42) << 16, b.size() - 44);
  if (u16(20) != 1 || f->bitsPerSample != 16) return false;
  samples->resize(bytes / 2);
  for (size_t i = 0; i < samples->size(); ++i) {
    (*samples)[i] = static_cast<int16_t>(u16(44 + 2 * i));
  }
  return true;
}

int Compare(const char* pathA, const char* pathB, long limit) {
  PltWaveFormat fa{}, fb{};
  std::vector<int16_t> a, b;
  if (!ReadWav(pathA, &fa, &a) || !ReadWav(pathB, &fb, &b)) {
    std::fprintf(stderr, "zentrova-tool sound: %s or %s is no 16-bit PCM WAV\n", pathA, pathB);
    return 1;
  }
  if (fa.channels != fb.channels || fa.samplesPerSec != fb.samplesPerSec || a.size() != b.size()) {
    std::printf("%s: %u Hz %u ch %zu samples, %s: %u Hz %u ch %zu samples: not comparable\n", pathA,
                fa.samplesPerSec, fa.channels, a.size(), pathB, fb.samplesPerSec, fb.channels,
                b.size());
    return 1;
  }
  long largest = 0;
  size_t differing = 0;
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const long d = std::labs(static_cast<long>(a[i]) - b[i]);
    largest = std::max(largest, d);
    differing += d != 0;
    squares += static_cast<double>(d) * d;
  }
  const double rms = a.empty() ? 0 : std::sqrt(squares / static_cast<double>(a.size()));
  std::printf("%zu samples, %zu differ, largest difference %ld, RMS %.4f (of 32768)\n", a.size(),
              differing, largest, rms);
  return limit >= 0 && largest > limit ? 1 : 0;
}

int Run(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    Help(stdout);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "decode") == 0) return Decode(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "music") == 0) return Music(argv[2], argv[3]);
  if ((argc == 4 || (argc == 6 && std::strcmp(argv[4], "--max") == 0)) &&
      std::strcmp(argv[1], "compare") == 0) {
    return Compare(argv[2], argv[3], argc == 6 ? std::atol(argv[5]) : -1);
  }
  Help(stderr);
  return 2;
}

}  // namespace

ZV_TOOL_COMMAND(sound, "sound", "decode effects and music as the game does, compare decodings", Run);

// zentrova-tool sound: sound-effect decoding as the game does it.
#include "sound/sound.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/plt_sound.h"
#include "sound/wav.h"
#include "zentrova-tool/tool.h"

namespace {

void Help(FILE* out) {
  std::fprintf(out,
               "usage: zentrova-tool sound decode NAME OUT.wav\n\n"
               "Loads NAME from the sound-effect group (\"wav\" directory or archive in the\n"
               "current directory) the way the game loads an effect (PCM or compressed WAV,\n"
               "or Ogg Vorbis) and writes the PCM of the buffer it made as a 16-bit WAV.\n");
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

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
  SND_Release();
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

int Run(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    Help(stdout);
    return 0;
  }
  if (argc != 4 || std::strcmp(argv[1], "decode") != 0) {
    Help(stderr);
    return 2;
  }
  return Decode(argv[2], argv[3]);
}

}  // namespace

ZV_TOOL_COMMAND(sound, "sound", "decode a sound effect as the game loads it", Run);

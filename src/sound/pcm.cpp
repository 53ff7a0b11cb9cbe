// Whole sounds decoded to PCM: WAV (PCM or compressed) and Ogg Vorbis files
// of the sound-effect group. Nothing here touches the sound device.
#include "sound/pcm.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/msg.h"
#include "common/resource.h"
#include "sound/acm.h"
#include "sound/ogg.h"
#include "sound/wav.h"

namespace {

struct PcmState {
  char group[64] = "wav";
};
PcmState g_pcm;

bool IsOgg(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot + 1, "ogg") == 0;
}

// Decodes a whole Ogg Vorbis file; false only when the file could not be read.
bool LoadOgg(const char* name, PcmSound* out) {
  uint8_t* file = nullptr;
  int length = RES_Load(g_pcm.group, name, &file);
  if (length <= 0) return false;
  OggDecoder* dec = OGG_Create();
  PltWaveFormat format{};
  const uint32_t fileSize = static_cast<uint32_t>(length);
  if (dec && OGG_Probe(dec, file, std::min<uint32_t>(fileSize, OGG_INPUT_PIECE), &format)) {
    const uint64_t capacity = std::min<uint64_t>(20ull * fileSize, PLT_SOUND_MAX_BUFFER);
    uint8_t* samples = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(capacity), 1));
    uint8_t* work = static_cast<uint8_t*>(std::malloc(OGG_OUTPUT_CAPACITY));
    uint64_t filled = 0;
    uint32_t fed = 0;
    if (samples && work) {
      for (;;) {
        const uint32_t piece = std::min<uint32_t>(OGG_INPUT_PIECE, fileSize - fed);
        uint32_t produced = 0;
        int status = OGG_Decode(dec, file + fed, piece, work, OGG_OUTPUT_CAPACITY, &produced);
        fed += piece;
        if (filled + produced > capacity) {
          MSG_Error(nullptr, "DS-OGGバッファオーバーフロー!");
          uint64_t room = capacity - filled;
          std::memcpy(samples + filled, work, static_cast<size_t>(room));
          filled = capacity;
          break;
        }
        std::memcpy(samples + filled, work, produced);
        filled += produced;
        if (status <= 0) break;
      }
      const uint32_t block = format.blockAlign ? format.blockAlign : 1;
      out->format = format;
      out->data = samples;
      out->size = static_cast<uint32_t>(filled - filled % block);
      samples = nullptr;
    }
    std::free(samples);
    std::free(work);
  }
  OGG_Destroy(&dec);
  RES_Free(file);
  return true;
}

}  // namespace

void PCM_SetGroup(const char* group) {
  std::snprintf(g_pcm.group, sizeof g_pcm.group, "%s", group ? group : "");
}

const char* PCM_Group() {
  return g_pcm.group;
}

void PCM_Reset() {
  g_pcm = PcmState{};
}

int PCM_Load(const char* name, PcmSound* out) {
  *out = PcmSound{};
  if (!name) return 0;
  if (IsOgg(name)) return LoadOgg(name, out) ? 1 : 0;
  WavFormatArea format;
  uint8_t* data = nullptr;
  uint32_t size = WAV_LoadMemory(g_pcm.group, name, &data, &format);
  if (!size) {
    MSG_Error(nullptr, "%s が読み込めませんでした。", name);
    return 0;
  }
  if (format.wf.formatTag == PLT_WAVE_FORMAT_PCM) {
    const uint32_t block = format.wf.blockAlign ? format.wf.blockAlign : 1;
    out->format = format.wf;
    out->data = data;
    out->size = size - size % block;  // a trailing partial sample is dropped
    return 1;
  }
  PltWaveFormat pcm;
  ACM_PcmFormatFor(&format.wf, &pcm);
  const uint32_t converted = ACM_OutputSize(&format.wf, size, &pcm);
  uint8_t* dest = converted ? static_cast<uint8_t*>(std::calloc(converted, 1)) : nullptr;
  const uint32_t made = ACM_Convert(&format.wf, data, size, &pcm, dest);
  std::free(data);
  if (!made) {
    std::free(dest);
    return 0;
  }
  // The sound holds exactly what the conversion produced.
  size = std::min(made, converted);
  out->format = pcm;
  out->data = dest;
  out->size = size - size % (pcm.blockAlign ? pcm.blockAlign : 1);
  return 1;
}

void PCM_Free(PcmSound* s) {
  std::free(s->data);
  *s = PcmSound{};
}

// WAV files of any content: parsed from memory, their data converted to PCM
// through the codec layer when compressed, loaded as a sound effect and
// opened and filled as a music stream (read piecewise from the file). Nothing
// may read or write outside a buffer, and a conversion writes no more than
// the size it announced.
#include <cstring>
#include <vector>

#include "sound/acm.h"
#include "sound/wav.h"
#include "sound_util.h"

namespace {
// Larger conversions are legal but only cost time here.
constexpr uint32_t kMaxConvert = 4u << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  fuzz::OpenSound();
  std::vector<uint8_t> image(data, data + size);
  const uint8_t* chunk = nullptr;
  WavFormatArea format{};
  const uint32_t n = WAV_ParseMemory(image.data(), static_cast<uint32_t>(size), &chunk, &format);
  if (n) {
    if (chunk < image.data() || chunk + n > image.data() + size) __builtin_trap();
    if (format.wf.formatTag != PLT_WAVE_FORMAT_PCM) {
      PltWaveFormat pcm{};
      ACM_PcmFormatFor(&format.wf, &pcm);
      const uint32_t out = ACM_OutputSize(&format.wf, n, &pcm);
      if (out && out <= kMaxConvert) {
        // A guard byte after the announced size must survive the conversion.
        std::vector<uint8_t> dest(out + 1, 0xA5);
        ACM_Convert(&format.wf, chunk, n, &pcm, dest.data());
        if (dest[out] != 0xA5) __builtin_trap();
      }
    }
  }
  fuzz::LoadAsEffectAndMusic(data, size, "wav/e.wav", "e.wav", "m.wav", "m.wav");
  return 0;
}

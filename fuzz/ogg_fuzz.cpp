// Ogg Vorbis files of any content: the push decoder fed in pieces, the file
// loaded as a sound effect and streamed as music (the first fill of the
// stream buffer, with looping on). Nothing may read or write outside a
// buffer, the decoder never hands out more than the room it was given and an
// end of input always ends the decoding.
#include <algorithm>
#include <cstring>
#include <vector>

#include "sound/ogg.h"
#include "sound/wav.h"
#include "sound_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  fuzz::OpenSound();
  std::vector<uint8_t> file(data, data + size);
  OggDecoder* d = OGG_Create();
  PltWaveFormat format{};
  OGG_Probe(d, file.data(), static_cast<uint32_t>(size), &format);
  // The first byte chooses the output room, so that PCM is carried over.
  const uint32_t room = size ? 64u << (data[0] % 12) : OGG_OUTPUT_CAPACITY;
  std::vector<uint8_t> out(room + 1, 0x5A);
  size_t at = 0;
  int status = OGG_MORE;
  uint64_t total = 0;
  for (int calls = 0; status == OGG_MORE && calls < 20000 && total < (64u << 20); ++calls) {
    const uint32_t piece = static_cast<uint32_t>(std::min<size_t>(OGG_INPUT_PIECE, size - at));
    uint32_t produced = 0;
    status = OGG_Decode(d, piece ? file.data() + at : nullptr, piece, out.data(), room, &produced);
    at += piece;
    if (produced > room || out[room] != 0x5A) __builtin_trap();
    total += produced;
  }
  OGG_Destroy(&d);
  fuzz::LoadAsEffectAndMusic(data, size, "wav/e.ogg", "e.ogg", "bgm/m.ogg", "m.ogg");
  return 0;
}

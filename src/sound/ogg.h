// Ogg Vorbis push decoder: input is handed over in pieces, 16-bit PCM comes
// out interleaved.
#pragma once
#include <cstdint>

#include "platform/plt_sound.h"

struct OggDecoder;

enum : uint32_t { OGG_INPUT_PIECE = 4096, OGG_OUTPUT_CAPACITY = 128 * 1024 };
enum : int { OGG_ERROR = -1, OGG_END = 0, OGG_MORE = 1 };

OggDecoder* OGG_Create();
void OGG_Destroy(OggDecoder** d);
// Reads the stream's format from its first bytes (at least the first page):
// 16-bit PCM with the stream's channels and rate. Leaves the decoder as
// created. 1 or 0.
int OGG_Probe(OggDecoder* d, const uint8_t* data, uint32_t length, PltWaveFormat* format);
// Submits length bytes (0 at the end of the file) and writes up to capacity
// bytes of PCM to out. PCM that does not fit stays in the decoder and comes
// first on the next call. OGG_MORE, OGG_END once an empty input finds nothing
// left, OGG_ERROR for a broken header.
int OGG_Decode(OggDecoder* d, const uint8_t* in, uint32_t length, uint8_t* out, uint32_t capacity,
               uint32_t* produced);
// Damaged stretches (corrupt pages, holes, packets that do not decode) that
// Decode skipped since the last call; the count starts again at 0.
int OGG_TakeDamage(OggDecoder* d);
// Forgets everything, so the next Decode starts with the headers again.
void OGG_Reset(OggDecoder* d);

// WAV parsing, the streaming WAV reader and loading sound files into buffers.
#include "sound/wav.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/log.h"
#include "common/resource.h"
#include "platform/plt_file.h"
#include "sound/ogg.h"
#include "sound/sound.h"

namespace {

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Byte-wise search for a four-letter tag in [from, size); -1 when absent.
int64_t FindTag(const uint8_t* p, uint32_t size, uint32_t from, const char* tag) {
  for (uint64_t i = from; i + 4 <= size; ++i) {
    if (std::memcmp(p + i, tag, 4) == 0) return static_cast<int64_t>(i);
  }
  return -1;
}

bool ReadExact(PltFile* f, void* dst, int64_t n) {
  return PLT_FileRead(f, dst, n) == n;
}

// Finds the chunk with id inside [from, end) of a RIFF file, walking the
// chunk headers; on success the file is positioned at the chunk's data.
bool FindChunk(PltFile* f, int64_t from, int64_t end, const char* id, int64_t* dataOffset,
               uint32_t* size) {
  int64_t pos = from;
  while (pos + 8 <= end) {
    uint8_t h[8];
    if (PLT_FileSeek(f, pos, 0) != pos || !ReadExact(f, h, 8)) return false;
    uint32_t n = Get32(h + 4);
    if (std::memcmp(h, id, 4) == 0) {
      *dataOffset = pos + 8;
      *size = n;
      return true;
    }
    pos += 8 + static_cast<int64_t>(n) + (n & 1);
  }
  return false;
}

bool IsOgg(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot + 1, "ogg") == 0;
}

PltSoundBuffer* LoadOgg(const char* name, uint32_t* outSize) {
  uint8_t* file = nullptr;
  int length = RES_Load(SND_SEDir(), name, &file);
  if (length <= 0) return nullptr;
  PltSoundBuffer* buffer = nullptr;
  OggDecoder* dec = OGG_Create();
  PltWaveFormat format{};
  const uint32_t fileSize = static_cast<uint32_t>(length);
  if (dec && OGG_Probe(dec, file, std::min<uint32_t>(fileSize, OGG_INPUT_PIECE), &format)) {
    const uint64_t capacity = std::min<uint64_t>(20ull * fileSize, PLT_SOUND_MAX_BUFFER);
    uint8_t* out = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(capacity), 1));
    uint8_t* work = static_cast<uint8_t*>(std::malloc(OGG_OUTPUT_CAPACITY));
    uint64_t filled = 0;
    uint32_t fed = 0;
    if (out && work) {
      for (;;) {
        const uint32_t piece = std::min<uint32_t>(OGG_INPUT_PIECE, fileSize - fed);
        uint32_t produced = 0;
        int status = OGG_Decode(dec, file + fed, piece, work, OGG_OUTPUT_CAPACITY, &produced);
        fed += piece;
        if (filled + produced > capacity) {
          MSG_Error(nullptr, "DS-OGGバッファオーバーフロー!");
          uint64_t room = capacity - filled;
          std::memcpy(out + filled, work, static_cast<size_t>(room));
          filled = capacity;
          break;
        }
        std::memcpy(out + filled, work, produced);
        filled += produced;
        if (status <= 0) break;
      }
      const uint32_t block = format.blockAlign ? format.blockAlign : 1;
      const uint32_t size = static_cast<uint32_t>(filled - filled % block);
      buffer = size ? SND_CreateBuffer(&format, size, out) : nullptr;
      if (buffer) *outSize = size;
    }
    std::free(out);
    std::free(work);
  }
  if (!buffer) MSG_Error(nullptr, "SoundBufferが生成できません。[%s]", name);
  OGG_Destroy(&dec);
  RES_Free(file);
  return buffer;
}

}  // namespace

uint32_t WAV_ParseMemory(const uint8_t* p, uint32_t size, const uint8_t** data,
                         WavFormatArea* format) {
  if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) return 0;
  int64_t fmt = FindTag(p, size, 8, "fmt ");
  if (fmt < 0 || static_cast<uint64_t>(fmt) + 8 > size) return 0;
  const uint32_t fmtSize = Get32(p + fmt + 4);
  const uint32_t fmtData = static_cast<uint32_t>(fmt) + 8;
  // The format must fit the caller's area and lie inside the file.
  if (fmtSize < 16 || fmtSize > sizeof(WavFormatArea) || fmtSize > size - fmtData) return 0;
  std::memset(format, 0, sizeof *format);
  std::memcpy(format, p + fmtData, fmtSize);
  const uint32_t maxExtra = fmtSize >= sizeof(PltWaveFormat) ? fmtSize - sizeof(PltWaveFormat) : 0;
  if (format->wf.extraSize > maxExtra) format->wf.extraSize = static_cast<uint16_t>(maxExtra);
  int64_t tag = FindTag(p, size, fmtData, "data");
  if (tag < 0 || static_cast<uint64_t>(tag) + 8 > size) return 0;
  const uint32_t dataSize = Get32(p + tag + 4);
  const uint32_t dataStart = static_cast<uint32_t>(tag) + 8;
  if (dataSize == 0 || dataSize > size - dataStart) return 0;
  *data = p + dataStart;
  return dataSize;
}

uint32_t WAV_LoadMemory(const char* name, uint8_t** data, WavFormatArea* format) {
  *data = nullptr;
  uint8_t* file = nullptr;
  int length = RES_Load(SND_SEDir(), name, &file);
  if (length <= 0) return 0;
  const uint8_t* chunk = nullptr;
  uint32_t size = WAV_ParseMemory(file, static_cast<uint32_t>(length), &chunk, format);
  if (size) {
    *data = static_cast<uint8_t*>(std::malloc(size));
    if (*data) {
      std::memcpy(*data, chunk, size);
    } else {
      size = 0;
    }
  }
  RES_Free(file);
  return size;
}

WavReader* WAV_Open(const char* name, WavFormatArea* format) {
  PltFile* f = PLT_FileOpen(name, PLT_OPEN_READ);
  if (!f) return nullptr;
  auto* r = static_cast<WavReader*>(std::calloc(1, sizeof(WavReader)));
  r->file = f;
  r->fileSize = PLT_FileSize(f);
  uint8_t h[12];
  int64_t fmtOffset = 0;
  uint32_t fmtSize = 0;
  bool ok = r->fileSize >= 12 && ReadExact(f, h, 12) && std::memcmp(h, "RIFF", 4) == 0 &&
            std::memcmp(h + 8, "WAVE", 4) == 0;
  if (ok) {
    r->riffData = 8;
    r->riffEnd = std::min<int64_t>(r->fileSize, 8 + static_cast<int64_t>(Get32(h + 4)));
    ok = FindChunk(f, 12, r->riffEnd, "fmt ", &fmtOffset, &fmtSize) && fmtSize >= 16 &&
         fmtSize <= sizeof(WavFormatArea) && fmtOffset + fmtSize <= r->riffEnd;
  }
  if (ok) {
    std::memset(format, 0, sizeof *format);
    ok = PLT_FileSeek(f, fmtOffset, 0) == fmtOffset && ReadExact(f, format, fmtSize);
    const uint32_t maxExtra =
        fmtSize >= sizeof(PltWaveFormat) ? fmtSize - sizeof(PltWaveFormat) : 0;
    if (format->wf.extraSize > maxExtra) format->wf.extraSize = static_cast<uint16_t>(maxExtra);
  }
  if (!ok) {
    WAV_Close(&r);
    return nullptr;
  }
  return r;
}

int WAV_SeekData(WavReader* r) {
  if (!r) return 0;
  int64_t offset;
  uint32_t size;
  if (!FindChunk(r->file, r->riffData + 4, r->riffEnd, "data", &offset, &size)) return 0;
  // A chunk that claims more than the file holds is read as far as it goes.
  size = static_cast<uint32_t>(std::min<int64_t>(size, r->fileSize - offset));
  if (PLT_FileSeek(r->file, offset, 0) != offset) return 0;
  r->dataOffset = offset;
  r->dataSize = size;
  r->remaining = size;
  return 1;
}

uint32_t WAV_Read(WavReader* r, void* dest, uint32_t count) {
  if (!r) return 0;
  count = std::min(count, r->remaining);
  if (count == 0) return 0;
  int64_t n = PLT_FileRead(r->file, dest, count);
  if (n <= 0) return 0;
  r->remaining -= static_cast<uint32_t>(n);
  return static_cast<uint32_t>(n);
}

void WAV_Close(WavReader** r) {
  if (!*r) return;
  PLT_FileClose((*r)->file);
  std::free(*r);
  *r = nullptr;
}

void ACM_PcmFormatFor(const PltWaveFormat* src, PltWaveFormat* dst) {
  dst->formatTag = PLT_WAVE_FORMAT_PCM;
  dst->channels = src->channels;
  dst->samplesPerSec = src->samplesPerSec;
  dst->bitsPerSample = 16;
  dst->blockAlign = static_cast<uint16_t>(2 * src->channels);
  dst->avgBytesPerSec = src->samplesPerSec * 2u * src->channels;
  dst->extraSize = 0;
}

uint32_t ACM_Convert(const PltWaveFormat* src, const uint8_t* srcData, uint32_t srcSize,
                     const PltWaveFormat* dst, uint8_t* dest) {
  PltAcmStream* s = PLT_AcmStreamOpen(src, dst);
  if (!s) {
    MSG_Box(
        nullptr, 0, "Codecエラー",
        "ADPCMのCodecが見つかりません。\n「コントロールパネル」の「アプリケーションの追加と削除」の"
        "「Windowsファイル」から\n「オーディオ圧縮」をインストールしてください。");
    return 0;
  }
  uint32_t size = 0;
  if (!PLT_AcmStreamSize(s, srcSize, &size)) {
    PLT_AcmStreamClose(s);
    MSG_Error(nullptr, "ACM変換に失敗しました。");
    return 0;
  }
  uint32_t written = 0;
  if (dest) PLT_AcmStreamConvert(s, srcData, srcSize, dest, size, &written);
  PLT_AcmStreamClose(s);
  return dest ? size : 0;
}

uint32_t ACM_OutputSize(const PltWaveFormat* src, uint32_t size, const PltWaveFormat* dst) {
  PltAcmStream* s = PLT_AcmStreamOpen(src, dst);
  if (!s) return 0;
  uint32_t out = 0;
  if (!PLT_AcmStreamSize(s, size, &out)) out = 0;
  PLT_AcmStreamClose(s);
  return out;
}

PltSoundBuffer* SND_LoadSound(const char* name, uint32_t* outSize) {
  if (outSize) *outSize = 0;
  if (!SND_HasDevice() || !name) return nullptr;
  uint32_t dummy = 0;
  if (!outSize) outSize = &dummy;
  if (IsOgg(name)) return LoadOgg(name, outSize);
  WavFormatArea format;
  uint8_t* data = nullptr;
  uint32_t size = WAV_LoadMemory(name, &data, &format);
  if (!size) {
    MSG_Error(nullptr, "%s が読み込めませんでした。", name);
    return nullptr;
  }
  PltSoundBuffer* buffer = nullptr;
  if (format.wf.formatTag == PLT_WAVE_FORMAT_PCM) {
    const uint32_t block = format.wf.blockAlign ? format.wf.blockAlign : 1;
    size -= size % block;  // a trailing partial sample is dropped
    buffer = SND_CreateBuffer(&format.wf, size, data);
  } else {
    PltWaveFormat pcm;
    ACM_PcmFormatFor(&format.wf, &pcm);
    const uint32_t converted = ACM_OutputSize(&format.wf, size, &pcm);
    uint8_t* dest = converted ? static_cast<uint8_t*>(std::calloc(converted, 1)) : nullptr;
    const uint32_t made = ACM_Convert(&format.wf, data, size, &pcm, dest);
    // The buffer holds exactly what the conversion produced.
    size = std::min(made, converted);
    size -= size % (pcm.blockAlign ? pcm.blockAlign : 1);
    if (size) buffer = SND_CreateBuffer(&pcm, size, dest);
    std::free(dest);
    if (!made) {
      std::free(data);
      return nullptr;
    }
  }
  std::free(data);
  if (!buffer) {
    MSG_Error(nullptr, "SoundBufferが生成できません。[%s]", name);
    return nullptr;
  }
  *outSize = size;
  return buffer;
}

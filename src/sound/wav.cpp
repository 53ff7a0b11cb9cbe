// WAV parsing, the streaming WAV reader and loading sound files into buffers.
#include "sound/wav.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/log.h"
#include "common/msg.h"
#include "common/resource.h"
#include "platform/plt_file.h"

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

uint32_t WAV_LoadMemory(const char* group, const char* name, uint8_t** data,
                        WavFormatArea* format) {
  *data = nullptr;
  uint8_t* file = nullptr;
  int length = RES_Load(group, name, &file);
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

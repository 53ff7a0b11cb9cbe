// BMP decoding into B (palettised) or F (24-bit) image records.
//
// Fields read: the first reserved word (nonzero = an alpha plane follows the
// 8-bit pixel data), the pixel-data offset, the info header's size (the
// colour table follows it), width, height (negative = top row first) and the
// bit count. The signature, compression and colour counts are
// not looked at. Every size and offset is checked against the file before a
// byte is read, so a damaged or hostile file fails with a warning instead of
// reading past its end.
#include "gfx/bmp.h"

#include <climits>
#include <cstring>

#include "common/log.h"
#include "common/msg.h"
#include "common/resource.h"

namespace {

constexpr uint32_t kHeaderSize = 54;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kMinInfoSize = 40;
constexpr int32_t kMaxSide = 32767;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

uint16_t Rd16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Rd32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct BmpHeader {
  uint16_t reserved;  // alpha announcement
  uint32_t offset;    // pixel data (8-bit: also ends the colour table)
  uint32_t table;     // 8-bit: where the colour table starts
  int32_t width;
  int32_t height;  // absolute value
  bool topDown;
  int bits;
};

// Reads the fields every decoder needs and checks what does not depend on the
// target: the header is there and the picture has a sane, positive size.
bool ReadHeader(const char* name, const uint8_t* data, int length, BmpHeader* h) {
  if (data == nullptr || length < static_cast<int>(kHeaderSize)) {
    MSG_Error(nullptr, "BMPデータのヘッダが壊れています[%s](%dBYTE?)", name, length);
    return false;
  }
  h->reserved = Rd16(data + 6);
  h->offset = Rd32(data + 10);
  // The colour table follows the info header: 40 bytes in the classic
  // layout, 108 or 124 in the ones image editors write today. A size that
  // is no info header's, or runs past the pixels, leaves the classic place.
  const uint32_t info = Rd32(data + kFileHeaderSize);
  h->table = kHeaderSize;
  if (h->offset >= kFileHeaderSize && info >= kMinInfoSize && info <= h->offset - kFileHeaderSize)
    h->table = kFileHeaderSize + info;
  h->width = static_cast<int32_t>(Rd32(data + 18));
  const int32_t height = static_cast<int32_t>(Rd32(data + 22));
  h->bits = Rd16(data + 28);
  h->topDown = height < 0;
  // INT_MIN has no positive counterpart; it fails the size test below.
  h->height = height == INT_MIN ? 0 : (height < 0 ? -height : height);
  return true;
}

bool CheckSize(const char* name, const BmpHeader& h) {
  if (h.width <= 0 || h.height <= 0 || h.width > kMaxSide || h.height > kMaxSide ||
      static_cast<int64_t>(h.width) * h.height > kMaxPixels) {
    MSG_Error(nullptr, "BMPデータの画像サイズが異常です[%s](%dx%d?)", name, h.width, h.height);
    return false;
  }
  return true;
}

void BadBits(const char* name, int bits) {
  MSG_Error(nullptr, "BMPデータのBIT数が異常です[%s](%dBIT?)", name, bits);
}

void Truncated(const char* name) {
  MSG_Error(nullptr, "BMPデータが足りません[%s]", name);
}

// The colour table of an 8-bit file runs from the end of the info header to
// the pixel data, in whole 4-byte entries.
bool CheckColourTable(const char* name, const BmpHeader& h, int length) {
  if (h.offset < h.table || (h.offset - h.table) % 4 != 0) {
    MSG_Error(nullptr, "BMPデータのカラーテーブルが異常です[%s](%lldBYTE?)", name,
              static_cast<long long>(h.offset) - static_cast<long long>(h.table));
    return false;
  }
  if (h.offset > static_cast<uint32_t>(length)) {
    Truncated(name);
    return false;
  }
  return true;
}

// True when rows of rowBytes bytes, `stride` apart, starting at `start`, all
// lie inside the file (the last row's padding need not be there).
bool RowsFit(uint64_t start, uint64_t stride, uint64_t rows, uint64_t rowBytes, int length) {
  return start + stride * (rows - 1) + rowBytes <= static_cast<uint64_t>(length);
}

// 256-entry palette (blue, green, red, 0): the file's table, at most 256
// entries; the rest stays 0.
void CopyPalette(const uint8_t* data, const BmpHeader& h, uint8_t* palette) {
  uint32_t bytes = h.offset - h.table;
  if (bytes > 1024) bytes = 1024;
  std::memcpy(palette, data + h.table, bytes);
}

// 8-bit rows: width bytes each. A file without an alpha plane pads its rows
// to 4 bytes in either row order, as every writer of such files does; files
// with an alpha plane (whose plane starts at offset + width * height) are
// packed.
uint32_t Stride8(const BmpHeader& h) {
  const uint32_t w = static_cast<uint32_t>(h.width);
  if (h.reserved == 0) return (w + 3) & ~3u;
  return w;
}

const uint8_t* FileRow(const uint8_t* base, const BmpHeader& h, uint32_t stride, int y) {
  const int row = h.topDown ? y : h.height - 1 - y;
  return base + static_cast<size_t>(row) * stride;
}

}  // namespace

int BMP_DecodeB(const char* name, const uint8_t* data, int length, BImage* img,
                int32_t* alphaFlag) {
  IMG_ReleaseB(img);
  BmpHeader h;
  if (!ReadHeader(name, data, length, &h)) return 0;
  if (h.bits != 8) {
    BadBits(name, h.bits);
    return 0;
  }
  if (!CheckSize(name, h) || !CheckColourTable(name, h, length)) return 0;
  const uint32_t stride = Stride8(h);
  if (!RowsFit(h.offset, stride, h.height, h.width, length)) {
    Truncated(name);
    return 0;
  }
  const uint64_t plane = static_cast<uint64_t>(h.width) * h.height;
  const bool withAlpha = h.reserved != 0;
  if (withAlpha && h.offset + 2 * plane > static_cast<uint64_t>(length)) {
    MSG_Error(nullptr, "BMPデータのα情報が足りません[%s]", name);
    return 0;
  }

  IMG_AllocB(img, h.width, h.height, withAlpha ? 1 : 0);
  if (img->pixels == nullptr || img->palette == nullptr || (withAlpha && img->alpha == nullptr)) {
    IMG_ReleaseB(img);
    return 0;
  }
  CopyPalette(data, h, img->palette);
  const size_t w = static_cast<size_t>(h.width);
  for (int y = 0; y < h.height; ++y) {
    std::memcpy(img->pixels + y * w, FileRow(data + h.offset, h, stride, y), w);
  }
  if (withAlpha) {
    const uint8_t* alpha = data + h.offset + plane;
    for (int y = 0; y < h.height; ++y) {
      std::memcpy(img->alpha + y * w, FileRow(alpha, h, h.width, y), w);
    }
  }
  *alphaFlag = h.reserved;
  return 1;
}

int BMP_DecodeF(const char* name, const uint8_t* data, int length, FImage* img,
                int32_t* alphaFlag) {
  (void)alphaFlag;  // F records have no alpha; the flag stays as it is
  IMG_ReleaseF(img);
  BmpHeader h;
  if (!ReadHeader(name, data, length, &h)) return 0;
  if (h.bits != 8 && h.bits != 24) {
    BadBits(name, h.bits);
    return 0;
  }
  if (!CheckSize(name, h)) return 0;
  const size_t w = static_cast<size_t>(h.width);

  if (h.bits == 24) {
    // Pixel data normally follows the 54-byte header; a file that places it
    // further on (a colour table or a larger header) says so in the offset.
    const uint32_t start = h.offset > kHeaderSize ? h.offset : kHeaderSize;
    const uint32_t stride = static_cast<uint32_t>((3 * w + 3) & ~size_t{3});
    if (!RowsFit(start, stride, h.height, 3 * w, length)) {
      Truncated(name);
      return 0;
    }
    IMG_AllocF(img, h.width, h.height);
    if (img->pixels == nullptr) return 0;
    for (int y = 0; y < h.height; ++y) {
      std::memcpy(img->pixels + y * 3 * w, FileRow(data + start, h, stride, y), 3 * w);
    }
    return 1;
  }

  if (!CheckColourTable(name, h, length)) return 0;
  const uint32_t stride = Stride8(h);
  if (!RowsFit(h.offset, stride, h.height, h.width, length)) {
    Truncated(name);
    return 0;
  }
  // Indices past the file's table map to black, as in a B record's palette.
  uint8_t palette[1024] = {};
  CopyPalette(data, h, palette);
  IMG_AllocF(img, h.width, h.height);
  if (img->pixels == nullptr) return 0;
  for (int y = 0; y < h.height; ++y) {
    const uint8_t* src = FileRow(data + h.offset, h, stride, y);
    uint8_t* dst = img->pixels + y * 3 * w;
    for (size_t x = 0; x < w; ++x) {
      const uint8_t* c = palette + 4 * src[x];
      dst[3 * x] = c[0];
      dst[3 * x + 1] = c[1];
      dst[3 * x + 2] = c[2];
    }
  }
  return 1;
}

int BMP_ToB(const char* name, BImage* img, int32_t* alphaFlag) {
  IMG_ReleaseB(img);
  uint8_t* buf = nullptr;
  const int length = RES_Load(IMG_GetDir(), name, &buf);
  if (length <= 0) {
    if (buf) RES_Free(buf);
    return 0;
  }
  const int ok = BMP_DecodeB(name, buf, length, img, alphaFlag);
  RES_Free(buf);
  return ok;
}

int BMP_ToF(const char* name, FImage* img, int32_t* alphaFlag) {
  IMG_ReleaseF(img);
  uint8_t* buf = nullptr;
  const int length = RES_Load(IMG_GetDir(), name, &buf);
  if (length <= 0) {
    if (buf) RES_Free(buf);
    return 0;
  }
  const int ok = BMP_DecodeF(name, buf, length, img, alphaFlag);
  RES_Free(buf);
  return ok;
}

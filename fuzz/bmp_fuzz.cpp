// BMP files of any content, decoded as palettised and as 24-bit records from
// memory and loaded into an image slot from the picture group: a decoder
// either fails or fills exactly the record it allocated, never reading past
// the file.
#include <cstring>
#include <vector>

#include "fuzz_util.h"
#include "gfx/bmp.h"
#include "gfx/image.h"
#include "platform/headless/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  fuzz::EnterScratchDir();
  HL_Reset();
  // An exact-size copy, so a read past the end is caught.
  std::vector<uint8_t> file(data, data + size);
  const int length = static_cast<int>(size);
  BImage b{};
  int32_t alpha = 0;
  if (BMP_DecodeB("f.bmp", file.data(), length, &b, &alpha)) {
    if (!b.pixels || !b.palette || b.width <= 0 || b.height <= 0) __builtin_trap();
    if ((alpha != 0) != (b.alpha != nullptr)) __builtin_trap();
  }
  IMG_ReleaseB(&b);
  FImage f{};
  alpha = 0;
  if (BMP_DecodeF("f.bmp", file.data(), length, &f, &alpha)) {
    if (!f.pixels || f.width <= 0 || f.height <= 0) __builtin_trap();
  }
  IMG_ReleaseF(&f);
  // Through the file service and the slot, both formats.
  IMG_SetDir("grp");
  fuzz::WriteFile("grp/f.bmp", data, size);
  IMG_LoadBMP(1, FMT_B, "f.bmp");
  IMG_LoadBMP(2, FMT_F, "f.bmp");
  IMG_FreeSlot(1);
  IMG_FreeSlot(2);
  return 0;
}

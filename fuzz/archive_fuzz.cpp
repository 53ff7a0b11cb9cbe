// Archives and LZSS streams of any content: never a read or write outside a
// buffer. The input is an LZSS stream, an archive read whole by entry and the
// archive a stream is opened in (the header and directory read piecewise).
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/archive.h"
#include "common/lzss.h"
#include "common/resource.h"
#include "fuzz_util.h"
#include "platform/headless/headless.h"
#include "platform/plt_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HL_Reset();
  // The input as an LZSS stream, into a buffer of exactly the expected size.
  int expected = size > 0 ? data[0] * 16 : 0;
  std::vector<uint8_t> out(static_cast<size_t>(expected));
  int n = LZS_Decode(out.data(), data, static_cast<int>(size), expected);
  if (n > expected + 1) __builtin_trap();
  // The input as an archive file.
  fuzz::EnterScratchDir();
  fuzz::WriteFile("g.TVN", data, size);
  for (const char* name : {"a", "b.bmp", "x"}) {
    uint8_t* buf = nullptr;
    ARC_Read("g.TVN", name, &buf);
    RES_Free(buf);
    // The same entry as a stream: the length promised must be readable.
    PltFile* file = nullptr;
    const int length = RES_OpenStream("g", name, &file);
    if (length > 0) {
      if (!file) __builtin_trap();
      std::vector<uint8_t> piece(static_cast<size_t>(length < 4096 ? length : 4096));
      if (PLT_FileRead(file, piece.data(), static_cast<int64_t>(piece.size())) !=
          static_cast<int64_t>(piece.size()))
        __builtin_trap();
    }
    if (file) PLT_FileClose(file);
  }
  return 0;
}

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
}  // namespace

extern "C" void ZvFuzzSeeds(std::vector<std::vector<uint8_t>>* seeds) {
  // A small archive with one stored and one compressed entry.
  std::vector<uint8_t> a(8 + 72, 0);
  Put32(a, 0, ARC_MAGIC);
  Put32(a, 4, 2);
  const char* payload = "payload!";
  std::vector<uint8_t> packed(8 + LZS_EncodeBound(64));
  std::vector<uint8_t> raw(64, 'z');
  int n = LZS_Encode(raw.data(), 64, packed.data() + 8, LZS_EncodeBound(64));
  packed.resize(8 + static_cast<size_t>(n));
  Put32(packed, 4, 64);
  std::memcpy(&a[8 + 4], "a", 1);
  Put32(a, 8 + 28, static_cast<uint32_t>(a.size()));
  Put32(a, 8 + 32, 8);
  a.insert(a.end(), payload, payload + 8);
  Put32(a, 44, 1);
  std::memcpy(&a[44 + 4], "b.bmp", 5);
  Put32(a, 44 + 28, static_cast<uint32_t>(a.size()));
  Put32(a, 44 + 32, static_cast<uint32_t>(packed.size()));
  a.insert(a.end(), packed.begin(), packed.end());
  seeds->push_back(a);
}

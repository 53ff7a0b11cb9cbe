// Archives and LZSS streams of any content: never a read or write outside a buffer.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/resource.h"
#include "platform/headless/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HL_Reset();
  // The input as an LZSS stream, into a buffer of exactly the expected size.
  int expected = size > 0 ? data[0] * 16 : 0;
  std::vector<uint8_t> out(static_cast<size_t>(expected));
  int n = LZS_Decode(out.data(), data, static_cast<int>(size), expected);
  if (n > expected + 1) __builtin_trap();
  // The input as an archive file.
  char path[64];
  std::snprintf(path, sizeof path, "/tmp/zv-fuzz-%d.TVN", static_cast<int>(::getpid()));
  FILE* f = std::fopen(path, "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (const char* name : {"a", "b.bmp", "x"}) {
    uint8_t* buf = nullptr;
    ARC_Read(path, name, &buf);
    RES_Free(buf);
  }
  std::remove(path);
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

// Archive benchmarks: LZSS decoding throughput and loading one entry from an
// archive of 1,000 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/lzss.h"
#include "common/resource.h"

namespace {

// Picture-like data: runs and repeated rows with some noise, like the game's art.
std::vector<uint8_t> SampleData(size_t n) {
  std::mt19937 rng(5);
  std::vector<uint8_t> d(n);
  for (size_t i = 0; i < n; ++i) {
    d[i] = static_cast<uint8_t>((i / 97) % 16 * 9 + (rng() % 5 == 0 ? rng() % 8 : 0));
  }
  return d;
}

void BM_LzsDecode(benchmark::State& state) {
  std::vector<uint8_t> raw = SampleData(1 << 20);
  std::vector<uint8_t> packed(LZS_EncodeBound(static_cast<int>(raw.size())));
  int n = LZS_Encode(raw.data(), static_cast<int>(raw.size()), packed.data(),
                     static_cast<int>(packed.size()));
  std::vector<uint8_t> out(raw.size());
  for (auto _ : state) {
    int got = LZS_Decode(out.data(), packed.data(), n, static_cast<int>(out.size()));
    benchmark::DoNotOptimize(got);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(raw.size()));
  state.counters["ratio"] = static_cast<double>(n) / static_cast<double>(raw.size());
}
BENCHMARK(BM_LzsDecode)->Unit(benchmark::kMillisecond);

void BM_LzsEncode(benchmark::State& state) {
  std::vector<uint8_t> raw = SampleData(1 << 20);
  std::vector<uint8_t> packed(LZS_EncodeBound(static_cast<int>(raw.size())));
  for (auto _ : state) {
    int n = LZS_Encode(raw.data(), static_cast<int>(raw.size()), packed.data(),
                       static_cast<int>(packed.size()));
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(raw.size()));
}
BENCHMARK(BM_LzsEncode)->Unit(benchmark::kMillisecond);

// RES_Load of the last of 1,000 entries (the directory is read whole every
// time), stored and compressed.
void BM_ResLoadFrom1000(benchmark::State& state) {
  bool compressed = state.range(0) != 0;
  char tmpl[] = "/tmp/zentrova-bench-XXXXXX";
  std::string dir = ::mkdtemp(tmpl);
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const int kEntries = 1000;
  std::vector<uint8_t> entry = SampleData(16 * 1024);
  std::vector<uint8_t> stored = entry;
  if (compressed) {
    std::vector<uint8_t> p(8 + LZS_EncodeBound(static_cast<int>(entry.size())));
    int n = LZS_Encode(entry.data(), static_cast<int>(entry.size()), p.data() + 8,
                       static_cast<int>(p.size()) - 8);
    p.resize(8 + static_cast<size_t>(n));
    uint32_t un = static_cast<uint32_t>(entry.size());
    std::memcpy(&p[4], &un, 4);
    stored = p;
  }
  std::vector<uint8_t> a(8 + 36 * kEntries);
  uint32_t magic = ARC_MAGIC, count = kEntries;
  std::memcpy(&a[0], &magic, 4);
  std::memcpy(&a[4], &count, 4);
  for (int i = 0; i < kEntries; ++i) {
    uint8_t* e = &a[8 + 36 * i];
    uint32_t c = compressed, off = static_cast<uint32_t>(8 + 36 * kEntries + stored.size() * i),
             size = static_cast<uint32_t>(stored.size());
    std::memcpy(e, &c, 4);
    std::snprintf(reinterpret_cast<char*>(e + 4), 24, "g%04d.bmp", i);
    std::memcpy(e + 28, &off, 4);
    std::memcpy(e + 32, &size, 4);
  }
  for (int i = 0; i < kEntries; ++i) a.insert(a.end(), stored.begin(), stored.end());
  FILE* f = std::fopen("grp.TVN", "wb");
  std::fwrite(a.data(), 1, a.size(), f);
  std::fclose(f);
  for (auto _ : state) {
    uint8_t* buf = nullptr;
    int n = RES_Load("grp", "G0999.BMP", &buf);
    benchmark::DoNotOptimize(n);
    RES_Free(buf);
  }
  std::filesystem::current_path(old);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ResLoadFrom1000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Runs a fuzz target without libFuzzer: random inputs and mutations of a few
// seeds, a fixed number of times, so the target is exercised in every test run.
// Given files or directories instead of a count, runs each file once.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Optional seeds a target offers for mutation.
extern "C" __attribute__((weak)) void ZvFuzzSeeds(std::vector<std::vector<uint8_t>>* seeds);

namespace {
int RunFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", p.c_str());
    return 1;
  }
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(data.data(), data.size());
  return 0;
}

int RunFiles(int argc, char** argv) {
  int files = 0, failed = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(p)) {
        if (!e.is_regular_file()) continue;
        failed += RunFile(e.path());
        ++files;
      }
    } else {
      failed += RunFile(p);
      ++files;
    }
  }
  std::printf("%d files run\n", files);
  return failed ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && !std::isdigit(static_cast<unsigned char>(argv[1][0])))
    return RunFiles(argc, argv);
  int runs = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::mt19937 rng(12345);
  std::vector<std::vector<uint8_t>> seeds;
  if (ZvFuzzSeeds) ZvFuzzSeeds(&seeds);
  for (int i = 0; i < runs; ++i) {
    std::vector<uint8_t> input;
    if (!seeds.empty() && i % 4 != 0) {
      input = seeds[rng() % seeds.size()];
      int flips = 1 + static_cast<int>(rng() % 8);
      for (int k = 0; k < flips && !input.empty(); ++k) {
        size_t at = rng() % input.size();
        switch (rng() % 4) {
          case 0:
            input[at] = static_cast<uint8_t>(rng());
            break;
          case 1:
            input[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
          case 2:
            input.resize(at);
            break;
          default:
            input[at] = static_cast<uint8_t>(rng() % 2 ? 0xFF : 0x00);
            break;
        }
      }
    } else {
      input.resize(rng() % 512);
      for (auto& b : input) b = static_cast<uint8_t>(rng());
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%d inputs run\n", runs);
  return 0;
}

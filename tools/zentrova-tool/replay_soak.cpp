// Replay extension for long runs: --soak FRAMES repeats the --autoplay
// play-through for FRAMES frames and samples the resident memory every
// 10,000 frames ("memory_samples" in the summary), so a leak shows as a
// climb over the run.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zentrova-tool/replay_ext.h"

long long g_replaySoakFrames = 0;
int64_t g_replayPlaythroughs = 0;

namespace {

constexpr uint64_t kSampleEvery = 10000;

struct MemorySample {
  uint64_t frame;
  int64_t residentKiB;
  int64_t playthroughs;
};
std::vector<MemorySample> g_samples;

// Resident set size from /proc/self/statm (second field, in pages); -1 when
// it cannot be read.
int64_t ResidentKiB() {
#ifdef _WIN32
  return -1;  // no /proc there
#else
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return -1;
  long long size = 0, resident = 0;
  const int got = std::fscanf(f, "%lld %lld", &size, &resident);
  std::fclose(f);
  if (got != 2) return -1;
  return static_cast<int64_t>(resident) * (::sysconf(_SC_PAGESIZE) / 1024);
#endif
}

int ParseSoakOption(int argc, char** argv, int i) {
  if (std::strcmp(argv[i], "--soak") != 0) return 0;
  char* end = nullptr;
  const long long v = i + 1 < argc ? std::strtoll(argv[i + 1], &end, 10) : 0;
  if (i + 1 >= argc || !end || *end != 0 || v <= 0) {
    std::fprintf(stderr, "zentrova-tool replay: --soak needs a number of frames from 1\n");
    return -1;
  }
  g_replaySoakFrames = v;
  g_replayAutoplay = true;  // --soak plays as --autoplay does
  return 2;
}

void StartSoak() {
  g_samples.clear();
  g_replayPlaythroughs = 0;
  if (g_replaySoakFrames > 0) {
    g_samples.push_back(MemorySample{0, ResidentKiB(), 0});
    std::printf("soak: frame 0 resident %lld KiB\n",
                static_cast<long long>(g_samples.back().residentKiB));
  }
}

void AfterSoakStep(uint64_t frameSteps) {
  if (g_replaySoakFrames <= 0 || frameSteps % kSampleEvery != 0) return;
  g_samples.push_back(MemorySample{frameSteps, ResidentKiB(), g_replayPlaythroughs});
  std::printf("soak: frame %llu resident %lld KiB play-throughs %lld\n",
              static_cast<unsigned long long>(frameSteps),
              static_cast<long long>(g_samples.back().residentKiB),
              static_cast<long long>(g_replayPlaythroughs));
  std::fflush(stdout);
}

void SoakJson(std::string& out) {
  out += "[";
  for (size_t i = 0; i < g_samples.size(); ++i) {
    if (i) out += ", ";
    out += "{\"frame\": ";
    REC_JsonInt(out, static_cast<int64_t>(g_samples[i].frame));
    out += ", \"resident_kib\": ";
    REC_JsonInt(out, g_samples[i].residentKiB);
    out += ", \"playthroughs\": ";
    REC_JsonInt(out, g_samples[i].playthroughs);
    out += "}";
  }
  out += "]";
}

}  // namespace

ZV_REPLAY_EXTENSION(soak, "memory_samples",
                    "  --soak FRAMES        --autoplay over and over for FRAMES frames in all\n"
                    "                       (overrides --frames); prints the resident memory\n"
                    "                       every 10,000 frames and lists it in the --state\n"
                    "                       summary under \"memory_samples\"\n",
                    ParseSoakOption, StartSoak, nullptr, AfterSoakStep, SoakJson, nullptr);

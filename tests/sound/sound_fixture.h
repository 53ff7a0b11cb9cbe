// Shared set-up of the sound tests: a temporary data directory with "wav"
// and "bgm" folders, the headless device opened, helpers that write fixtures.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/act.h"
#include "common/config.h"
#include "common/log.h"
#include "platform/headless/headless.h"
#include "platform/headless/hl_audio.h"
#include "platform/plt_thread.h"
#include "shell/reset.h"
#include "sound/bgm.h"
#include "sound/sound.h"
#include "sound/stream.h"
#include "test_util.h"

namespace sndtest {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A RIFF/WAVE image: "fmt " (16 bytes, PCM), optional extra chunk, "data".
inline std::vector<uint8_t> PcmWav(int rate, int channels, int bits,
                                   const std::vector<uint8_t>& data, bool listChunk = false) {
  std::vector<uint8_t> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put32(w, 16);
  Put16(w, 1);
  Put16(w, static_cast<uint32_t>(channels));
  Put32(w, static_cast<uint32_t>(rate));
  Put32(w, static_cast<uint32_t>(rate * channels * bits / 8));
  Put16(w, static_cast<uint32_t>(channels * bits / 8));
  Put16(w, static_cast<uint32_t>(bits));
  if (listChunk) {
    const char info[] = "INFOISFT\x06\0\0\0zentro";
    w.insert(w.end(), {'L', 'I', 'S', 'T'});
    Put32(w, sizeof info - 1);
    w.insert(w.end(), info, info + sizeof info - 1);
  }
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  Put32(w, static_cast<uint32_t>(data.size()));
  w.insert(w.end(), data.begin(), data.end());
  uint32_t riff = static_cast<uint32_t>(w.size() - 8);
  for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return w;
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& s) {
  std::vector<uint8_t> v(s.size() * 2);
  std::memcpy(v.data(), s.data(), v.size());
  return v;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)),
                              std::istreambuf_iterator<char>());
}

inline bool HaveTool(const char* name) {
  std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

inline int Shell(const std::string& cmd) {
  return std::system((cmd + " >/dev/null 2>&1").c_str());
}

// Samples of a 16-bit PCM WAV written by sox or oggdec (data chunk found by walking).
inline std::vector<int16_t> WavSamples(const std::string& path) {
  std::vector<uint8_t> w = ReadFile(path);
  size_t pos = 12;
  while (pos + 8 <= w.size()) {
    uint32_t n = w[pos + 4] | (w[pos + 5] << 8) | (w[pos + 6] << 16) | (uint32_t(w[pos + 7]) << 24);
    if (std::memcmp(&w[pos], "data", 4) == 0) {
      n = std::min<uint32_t>(n, static_cast<uint32_t>(w.size() - pos - 8));
      std::vector<int16_t> s(n / 2);
      std::memcpy(s.data(), &w[pos + 8], s.size() * 2);
      return s;
    }
    pos += 8 + n + (n & 1);
  }
  return {};
}

inline bool BoxShown(const std::string& text) {
  for (const HlMessageBox& m : HL_MessageBoxes()) {
    if (m.text.find(text) != std::string::npos) return true;
  }
  return false;
}

// The debug log file of the test's directory.
inline bool LogHas(const std::string& text) {
  std::vector<uint8_t> log = ReadFile("err/debug.txt");
  return std::string(log.begin(), log.end()).find(text) != std::string::npos;
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir("zv_sound_");
    ASSERT_FALSE(dir_.empty());
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldCwd_ = cwd;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    for (const char* sub : {"wav", "bgm", "err"}) std::filesystem::create_directory(sub);
    HL_Reset();
    HL_AudioReset();
    ZV_ResetAll();
    g_cfg.se = 1;
    g_cfg.bgm = 1;
    g_cfg.wait = 2;
    g_act = InputActions{};
    BGM_Reset();
    baseEvents_ = PLT_EventCount();
    ASSERT_EQ(SND_Init(nullptr), 1);
  }
  void TearDown() override {
    SND_Release();
    BGM_Reset();
    HL_AudioReset();
    EXPECT_EQ(PLT_EventCount(), baseEvents_);
    if (chdir(oldCwd_.c_str()) != 0) ADD_FAILURE();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  // Advances the virtual clock (and the mixer) by ms, in frame steps.
  void Advance(uint32_t ms) {
    while (ms > 0) {
      uint32_t step = std::min<uint32_t>(ms, 33);
      HL_AdvanceTime(step);
      ms -= step;
    }
  }
  std::string dir_, oldCwd_;
  int baseEvents_ = 0;
};

}  // namespace sndtest

// The platform layer's own ADPCM decoders (the browser build's) against the
// desktop build's codec library: WAV files the library encodes, decoded by
// both, must give the same samples.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/adpcm.h"
#include "platform/plt_acm.h"

namespace {

struct Wav {
  std::vector<uint8_t> format;  // the fmt chunk: PltWaveFormat and its extra bytes
  std::vector<uint8_t> data;
};

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Encodes frames of a tone with a little noise through libsndfile.
Wav Encode(int sfFormat, int channels, int frames) {
  char path[] = "/tmp/zv-adpcm-XXXXXX";
  const int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  close(fd);
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | sfFormat;
  SNDFILE* sf = sf_open(path, SFM_WRITE, &info);
  EXPECT_NE(sf, nullptr) << sf_strerror(nullptr);
  std::vector<short> pcm(static_cast<size_t>(frames) * channels);
  uint32_t seed = 1;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const double tone = 20000.0 * std::sin(i * (0.03 + 0.02 * c)) * ((i / 700) % 2 ? 1 : 0.2);
      pcm[static_cast<size_t>(i) * channels + c] =
          static_cast<short>(tone + static_cast<int>(seed >> 20) - 2048);
    }
  }
  sf_writef_short(sf, pcm.data(), frames);
  sf_close(sf);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  unlink(path);
  Wav w;
  for (size_t at = 12; at + 8 <= file.size();) {
    const uint32_t size = Le32(&file[at + 4]);
    if (at + 8 + size > file.size()) break;
    const uint8_t* body = &file[at + 8];
    if (std::memcmp(&file[at], "fmt ", 4) == 0) w.format.assign(body, body + size);
    if (std::memcmp(&file[at], "data", 4) == 0) w.data.assign(body, body + size);
    at += 8 + size + (size & 1);
  }
  return w;
}

// The library's samples for data (through the conversion stream) and ours.
void Compare(const Wav& w, uint32_t bytes, const char* what) {
  ASSERT_GE(w.format.size(), sizeof(PltWaveFormat)) << what;
  std::vector<uint8_t> area(PLT_WAVE_FORMAT_AREA, 0);
  std::memcpy(area.data(), w.format.data(), std::min(area.size(), w.format.size()));
  const auto* src = reinterpret_cast<const PltWaveFormat*>(area.data());
  PltWaveFormat dst{PLT_WAVE_FORMAT_PCM, src->channels, src->samplesPerSec,
                    src->samplesPerSec * 2u * src->channels,
                    static_cast<uint16_t>(2 * src->channels), 16, 0};
  PltAcmStream* s = PLT_AcmStreamOpen(src, &dst);
  ASSERT_NE(s, nullptr) << what;
  uint32_t size = 0;
  ASSERT_EQ(PLT_AcmStreamSize(s, bytes, &size), 1) << what;
  std::vector<uint8_t> theirs(size);
  uint32_t written = 0;
  ASSERT_EQ(PLT_AcmStreamConvert(s, w.data.data(), bytes, theirs.data(), size, &written), 1);
  PLT_AcmStreamClose(s);

  AdpcmLayout l;
  ASSERT_TRUE(ADPCM_Layout(src->formatTag, src->channels, src->blockAlign,
                           area.data() + sizeof(PltWaveFormat), src->extraSize, &l))
      << what;
  const uint32_t frames = ADPCM_Frames(l, bytes);
  EXPECT_EQ(frames * 2u * src->channels, size) << what << ": the length";
  std::vector<int16_t> ours(static_cast<size_t>(frames) * src->channels);
  EXPECT_EQ(ADPCM_Decode(l, w.data.data(), bytes, ours.data(), frames), frames) << what;
  const auto* t = reinterpret_cast<const int16_t*>(theirs.data());
  const size_t n = std::min<size_t>(ours.size(), written / 2);
  size_t first = n;
  for (size_t i = 0; i < n && first == n; ++i) {
    if (t[i] != ours[i]) first = i;
  }
  EXPECT_EQ(first, n) << what << ": first different sample " << first << " of " << n;
}

TEST(Adpcm, SameSamplesAsTheCodecLibrary) {
  struct Case {
    int format, channels;
    const char* name;
  } cases[] = {{SF_FORMAT_IMA_ADPCM, 1, "IMA mono"},
               {SF_FORMAT_IMA_ADPCM, 2, "IMA stereo"},
               {SF_FORMAT_MS_ADPCM, 1, "MS mono"},
               {SF_FORMAT_MS_ADPCM, 2, "MS stereo"}};
  for (const Case& c : cases) {
    const Wav w = Encode(c.format, c.channels, 9000);
    ASSERT_FALSE(w.data.empty()) << c.name;
    Compare(w, static_cast<uint32_t>(w.data.size()), c.name);
  }
}

TEST(Adpcm, RefusesLayoutsThatDoNotFit) {
  AdpcmLayout l;
  EXPECT_FALSE(ADPCM_Layout(ADPCM_FORMAT_IMA, 3, 256, nullptr, 0, &l));  // channels
  EXPECT_FALSE(ADPCM_Layout(ADPCM_FORMAT_IMA, 1, 3, nullptr, 0, &l));    // shorter than its header
  EXPECT_FALSE(ADPCM_Layout(ADPCM_FORMAT_IMA, 2, 260, nullptr, 0, &l));  // not whole groups
  EXPECT_FALSE(ADPCM_Layout(ADPCM_FORMAT_MS, 2, 13, nullptr, 0, &l));
  EXPECT_FALSE(ADPCM_Layout(0x0055, 1, 256, nullptr, 0, &l));
  // A block count the extra bytes overstate is held to what the block holds,
  // and a coefficient count beyond the extra bytes to the pairs present.
  const uint8_t extra[8] = {0xFF, 0x7F, 200, 0, 0, 1, 0, 0};
  ASSERT_TRUE(ADPCM_Layout(ADPCM_FORMAT_MS, 1, 256, extra, sizeof extra, &l));
  EXPECT_EQ(l.samplesPerBlock, 2 + (256 - 7) * 2);
  EXPECT_EQ(l.coefCount, 1);
  // A header naming a predictor beyond the table decodes without reading past it.
  std::vector<uint8_t> block(256, 0x77);
  block[0] = 9;
  std::vector<int16_t> out(static_cast<size_t>(l.samplesPerBlock));
  EXPECT_EQ(ADPCM_Decode(l, block.data(), 256, out.data(), static_cast<uint32_t>(out.size())),
            static_cast<uint32_t>(l.samplesPerBlock));
}

}  // namespace

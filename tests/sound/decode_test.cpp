// Loading sound files: PCM and compressed WAV, Ogg Vorbis, and bad input.
#include <random>

#include "sound/acm.h"
#include "sound/ogg.h"
#include "sound/wav.h"
#include "sound_fixture.h"

namespace sndtest {
namespace {

class DecodeTest : public SoundTest {
 protected:
  // PCM of a loaded buffer, and its format.
  std::vector<uint8_t> Load(const char* name, PltWaveFormat* f = nullptr) {
    uint32_t size = 0;
    PltSoundBuffer* b = SND_LoadSound(name, &size);
    if (!b) return {};
    EXPECT_EQ(PLT_SoundBufferSize(b), size);
    if (f) PLT_SoundGetFormat(b, f);
    void *p1, *p2;
    uint32_t n1, n2;
    std::vector<uint8_t> out;
    if (PLT_SoundLock(b, 0, size, &p1, &n1, &p2, &n2)) {
      out.assign(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
      PLT_SoundUnlock(b, p1, n1, p2, n2);
    }
    PLT_SoundReleaseBuffer(b);
    return out;
  }
  static std::vector<int16_t> AsSamples(const std::vector<uint8_t>& v) {
    std::vector<int16_t> s(v.size() / 2);
    std::memcpy(s.data(), v.data(), s.size() * 2);
    return s;
  }
  void MakeSource(const char* synth) {
    ASSERT_EQ(Shell(std::string("sox -n -r 22050 -c 2 -b 16 src.wav synth 1.7 ") + synth), 0);
  }
};

TEST_F(DecodeTest, PcmWavWithExtraChunksLoadsUnchanged) {
  std::vector<uint8_t> data;
  for (int i = 0; i < 3001; ++i) data.push_back(static_cast<uint8_t>(i * 7));
  WriteFile("wav/a.wav", PcmWav(11025, 1, 8, data, true));
  PltWaveFormat f{};
  EXPECT_EQ(Load("a.wav", &f), data);
  EXPECT_EQ(f.bitsPerSample, 8);
  EXPECT_EQ(f.samplesPerSec, 11025u);
  // A 16-bit stereo file whose data ends in half a sample keeps whole frames.
  std::vector<uint8_t> odd(4 * 100 + 3, 0x11);
  WriteFile("wav/b.wav", PcmWav(44100, 2, 16, odd));
  EXPECT_EQ(Load("b.wav").size(), 400u);
}

TEST_F(DecodeTest, AdpcmDecodesToTheSamplesSoxDecodesTo) {
  if (!HaveTool("sox")) GTEST_SKIP() << "sox not installed";
  MakeSource("sine 300:900 sine 440 vol 0.7");
  for (const char* enc : {"ima-adpcm", "ms-adpcm"}) {
    SCOPED_TRACE(enc);
    HL_Reset();
    ASSERT_EQ(Shell(std::string("sox src.wav -e ") + enc + " wav/c.wav"), 0);
    ASSERT_EQ(Shell("sox wav/c.wav -e signed -b 16 ref.wav"), 0);
    PltWaveFormat f{};
    std::vector<int16_t> got = AsSamples(Load("c.wav", &f));
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.samplesPerSec, 22050u);
    EXPECT_EQ(got, WavSamples("ref.wav"));
    EXPECT_TRUE(HL_MessageBoxes().empty());
  }
}

TEST_F(DecodeTest, ToolWritesTheDecodedEffect) {
  const char* tool = std::getenv("ZV_TOOL");
  if (!tool || !HaveTool("sox")) GTEST_SKIP() << "needs ZV_TOOL and sox";
  MakeSource("sine 500 vol 0.4");
  ASSERT_EQ(Shell("sox src.wav -e ima-adpcm wav/t.wav"), 0);
  ASSERT_EQ(Shell("sox wav/t.wav -e signed -b 16 ref.wav"), 0);
  ASSERT_EQ(Shell(std::string(tool) + " sound decode t.wav out.wav"), 0);
  EXPECT_EQ(WavSamples("out.wav"), WavSamples("ref.wav"));
  EXPECT_NE(Shell(std::string(tool) + " sound decode missing.wav out2.wav"), 0);
}

TEST_F(DecodeTest, OggEffectMatchesOggdec) {
  if (!HaveTool("sox") || !HaveTool("oggenc") || !HaveTool("oggdec")) GTEST_SKIP();
  // Noise keeps the file larger than a twentieth of its PCM.
  MakeSource("pinknoise vol 0.5");
  ASSERT_EQ(Shell("oggenc -Q -q 6 -o wav/d.ogg src.wav"), 0);
  ASSERT_EQ(Shell("oggdec -Q -o ref.wav wav/d.ogg"), 0);
  std::vector<int16_t> ref = WavSamples("ref.wav");
  PltWaveFormat f{};
  std::vector<int16_t> got = AsSamples(Load("D.OGG", &f));
  ASSERT_EQ(got.size(), ref.size());
  EXPECT_EQ(f.channels, 2);
  int worst = 0;
  for (size_t i = 0; i < ref.size(); ++i) worst = std::max(worst, std::abs(got[i] - ref[i]));
  EXPECT_LE(worst, 2);
}

TEST_F(DecodeTest, OggEffectIsCutAtTwentyTimesItsFileSize) {
  if (!HaveTool("sox") || !HaveTool("oggenc")) GTEST_SKIP();
  // Near silence compresses far better than 20:1.
  ASSERT_EQ(Shell("sox -n -r 44100 -c 2 -b 16 quiet.wav synth 20 sine 100 vol 0.001"), 0);
  ASSERT_EQ(Shell("oggenc -Q -q 0 -o wav/e.ogg quiet.wav"), 0);
  const size_t fileSize = ReadFile("wav/e.ogg").size();
  std::vector<uint8_t> pcm = Load("e.ogg");
  EXPECT_TRUE(BoxShown("DS-OGGバッファオーバーフロー!"));
  EXPECT_EQ(pcm.size(), fileSize * 20 / 4 * 4);
}

TEST_F(DecodeTest, BrokenWavFilesAreRefusedWithTheMessage) {
  std::vector<uint8_t> data(800, 0x40);
  const std::vector<uint8_t> good = PcmWav(22050, 2, 16, data);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"trunc.wav", std::vector<uint8_t>(good.begin(), good.begin() + 30)});
  std::vector<uint8_t> lyingData = good;
  lyingData[40] = 0xFF, lyingData[41] = 0xFF, lyingData[42] = 0x0F;  // data claims ~1 MB
  cases.push_back({"lying.wav", lyingData});
  std::vector<uint8_t> bigFmt = good;
  bigFmt[16] = 0x00, bigFmt[17] = 0x10;  // "fmt " claims 4096 bytes
  cases.push_back({"bigfmt.wav", bigFmt});
  std::vector<uint8_t> hugeFmt = good;
  hugeFmt[16] = hugeFmt[17] = hugeFmt[18] = hugeFmt[19] = 0xFF;
  cases.push_back({"hugefmt.wav", hugeFmt});
  std::vector<uint8_t> notWave = good;
  notWave[8] = 'X';
  cases.push_back({"notwave.wav", notWave});
  std::vector<uint8_t> noData(good.begin(), good.begin() + 36);
  cases.push_back({"nodata.wav", noData});
  std::vector<uint8_t> badFormat = good;
  badFormat[22] = 7;  // seven channels
  cases.push_back({"chan.wav", badFormat});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HL_Reset();
    WriteFile(std::string("wav/") + c.name, c.bytes);
    EXPECT_TRUE(Load(c.name).empty());
    EXPECT_TRUE(BoxShown(std::string(c.name) + " が読み込めませんでした。") ||
                BoxShown(std::string("SoundBufferが生成できません。[") + c.name + "]"));
  }
}

TEST_F(DecodeTest, UnknownCodecShowsTheCodecMessage) {
  std::vector<uint8_t> w = PcmWav(22050, 1, 16, std::vector<uint8_t>(400, 1));
  w[20] = 0x34, w[21] = 0x12;  // format tag no codec knows
  WriteFile("wav/x.wav", w);
  EXPECT_TRUE(Load("x.wav").empty());
  ASSERT_FALSE(HL_MessageBoxes().empty());
  EXPECT_EQ(HL_MessageBoxes()[0].caption, "Codecエラー");
}

// Sizes asked for toward a compressed format count whole blocks: by samples
// per block where the format gives them, by the byte rate otherwise; no
// codec is opened for them, and a source that is not 16-bit PCM gets none.
TEST_F(DecodeTest, SizesTowardACompressedFormatCountWholeBlocks) {
  PltWaveFormat pcm{PLT_WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
  WavFormatArea ima{};
  ima.wf = {0x11, 1, 22050, 11100, 512, 4, 2};
  ima.extra[0] = 1017 & 0xFF, ima.extra[1] = 1017 >> 8;  // samples per block
  EXPECT_EQ(ACM_OutputSize(&pcm, 1017 * 2 * 3 + 5, &ima.wf), 3u * 512);
  EXPECT_EQ(ACM_OutputSize(&pcm, 1017 * 2 - 1, &ima.wf), 0u);

  WavFormatArea alaw{};
  alaw.wf = {6, 2, 8000, 16000, 2, 8, 0};
  PltWaveFormat pcm2{PLT_WAVE_FORMAT_PCM, 2, 8000, 32000, 4, 16, 0};
  EXPECT_EQ(ACM_OutputSize(&pcm2, 32000, &alaw.wf), 16000u);
  EXPECT_EQ(ACM_OutputSize(&pcm2, 7, &alaw.wf), 2u);  // 3.5 bytes: one whole block

  PltWaveFormat pcm8{PLT_WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
  EXPECT_EQ(ACM_OutputSize(&pcm8, 1000, &ima.wf), 0u);
  alaw.wf.blockAlign = 0;
  EXPECT_EQ(ACM_OutputSize(&pcm2, 32000, &alaw.wf), 0u);
  EXPECT_TRUE(HL_MessageBoxes().empty());
}

TEST_F(DecodeTest, StreamingOpenRefusesFormatChunksOver56Bytes) {
  WavFormatArea area;
  std::vector<uint8_t> w = PcmWav(22050, 1, 16, std::vector<uint8_t>(400, 1));
  WriteFile("long.wav", w);
  WavReader* r = WAV_Open("long.wav", &area);
  ASSERT_NE(r, nullptr);
  ASSERT_TRUE(WAV_SeekData(r));
  uint8_t buf[500];
  EXPECT_EQ(WAV_Read(r, buf, sizeof buf), 400u);
  EXPECT_EQ(WAV_Read(r, buf, sizeof buf), 0u);
  WAV_Close(&r);
  // Grow "fmt " to 58 bytes.
  w[16] = 58;
  w.insert(w.begin() + 36, 42, 0);
  WriteFile("long.wav", w);
  EXPECT_EQ(WAV_Open("long.wav", &area), nullptr);
  EXPECT_EQ(STRM_Open(0, "long.wav"), 0);
  EXPECT_TRUE(BoxShown("サウンドストリームファイルが開けません。[long.wav]"));
}

TEST_F(DecodeTest, MangledFilesNeverCrashOrHang) {
  std::vector<uint8_t> wav = PcmWav(22050, 2, 16, std::vector<uint8_t>(4000, 9), true);
  std::vector<uint8_t> ogg;
  if (HaveTool("sox") && HaveTool("oggenc")) {
    MakeSource("sine 440 vol 0.5");
    ASSERT_EQ(Shell("oggenc -Q -q 2 -o o.ogg src.wav"), 0);
    ogg = ReadFile("o.ogg");
  }
  std::mt19937 rng(1234);
  for (int round = 0; round < 120; ++round) {
    for (auto* src : {&wav, &ogg}) {
      if (src->empty()) continue;
      std::vector<uint8_t> m = *src;
      int flips = 1 + static_cast<int>(rng() % 8);
      for (int i = 0; i < flips; ++i) m[rng() % m.size()] = static_cast<uint8_t>(rng());
      if (rng() % 4 == 0) m.resize(rng() % m.size());
      const char* name = src == &wav ? "m.wav" : "m.ogg";
      WriteFile(std::string("wav/") + name, m);
      Load(name);
    }
  }
  SUCCEED();
}

TEST_F(DecodeTest, OggDecoderSkipsCorruptPagesAndReportsBrokenHeaders) {
  if (!HaveTool("sox") || !HaveTool("oggenc")) GTEST_SKIP();
  ASSERT_EQ(Shell("sox -n -r 22050 -c 2 -b 16 src.wav synth 8 pinknoise vol 0.5"), 0);
  ASSERT_EQ(Shell("oggenc -Q -q 2 -o o.ogg src.wav"), 0);
  std::vector<uint8_t> ogg = ReadFile("o.ogg");
  // Damage a page well after the headers: decoding goes on past it.
  std::vector<uint8_t> bad = ogg;
  for (size_t i = bad.size() * 2 / 3; i < bad.size() * 2 / 3 + 200; ++i) bad[i] ^= 0x5A;
  OggDecoder* d = OGG_Create();
  std::vector<uint8_t> out(OGG_OUTPUT_CAPACITY);
  uint32_t total = 0, produced = 0;
  int status = OGG_MORE;
  for (size_t fed = 0; status == OGG_MORE;) {
    uint32_t piece = static_cast<uint32_t>(std::min<size_t>(OGG_INPUT_PIECE, bad.size() - fed));
    status = OGG_Decode(d, bad.data() + fed, piece, out.data(), OGG_OUTPUT_CAPACITY, &produced);
    fed += piece;
    total += produced;
  }
  EXPECT_EQ(status, OGG_END);
  EXPECT_GT(total, 22050u * 4 * 6);
  // Headers broken: an error, not an endless wait for more data.
  OGG_Reset(d);
  status = OGG_Decode(d, nullptr, 0, out.data(), OGG_OUTPUT_CAPACITY, &produced);
  EXPECT_EQ(status, OGG_ERROR);
  OGG_Reset(d);
  std::vector<uint8_t> noIdHeader(ogg.begin() + 60, ogg.end());
  status = OGG_MORE;
  for (size_t fed = 0; status == OGG_MORE;) {
    uint32_t piece =
        static_cast<uint32_t>(std::min<size_t>(OGG_INPUT_PIECE, noIdHeader.size() - fed));
    status =
        OGG_Decode(d, noIdHeader.data() + fed, piece, out.data(), OGG_OUTPUT_CAPACITY, &produced);
    fed += piece;
  }
  EXPECT_EQ(status, OGG_ERROR);
  OGG_Destroy(&d);
  EXPECT_EQ(d, nullptr);
}

}  // namespace
}  // namespace sndtest

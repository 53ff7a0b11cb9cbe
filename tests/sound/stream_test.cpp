// Streams on the virtual clock: refills by the worker, loops, the end of a
// piece, the music channels and their fades.
#include "common/log.h"
#include "shell/app.h"
#include "sound/buffer.h"
#include "sound/ogg.h"
#include "sound/wav.h"
#include "sound_fixture.h"

namespace sndtest {
namespace {

class StreamTest : public SoundTest {
 protected:
  // A 44100 Hz stereo piece written by oggenc; ref receives what oggdec makes of it.
  bool MakeOgg(const char* name, double seconds, int freq, std::vector<int16_t>* ref) {
    if (!HaveTool("sox") || !HaveTool("oggenc") || !HaveTool("oggdec")) return false;
    char cmd[256];
    std::snprintf(cmd, sizeof cmd, "sox -n -r 44100 -c 2 -b 16 src.wav synth %.2f sine %d vol 0.6",
                  seconds, freq);
    if (Shell(cmd) != 0) return false;
    if (Shell(std::string("oggenc -Q -q 3 -o bgm/") + name + " src.wav") != 0) return false;
    if (ref) {
      if (Shell(std::string("oggdec -Q -o ref.wav bgm/") + name) != 0) return false;
      *ref = WavSamples("ref.wav");
    }
    return true;
  }
  static int Worst(const std::vector<int16_t>& got, size_t from, size_t to,
                   const std::vector<int16_t>& ref) {
    int worst = 0;
    for (size_t i = from; i < to; ++i) {
      worst = std::max(worst, std::abs(got[i] - ref[i % ref.size()]));
    }
    return worst;
  }
};

TEST_F(StreamTest, PcmWavLoopsWithoutGapOrRepeat) {
  // Nine seconds, every frame different, so the output must be the file
  // over and over, sample for sample.
  const int frames = 9 * 44100;
  std::vector<int16_t> s(2 * frames);
  for (int i = 0; i < frames; ++i) {
    s[2 * i] = static_cast<int16_t>(i % 30011 - 15000);
    s[2 * i + 1] = static_cast<int16_t>(i / 30011 * 1000 - 7000);
  }
  WriteFile("bgm/long.wav", PcmWav(44100, 2, 16, Samples16(s)));
  ASSERT_EQ(STRM_Open(0, "bgm\\long.wav"), 1);
  EXPECT_EQ(STRM_IsStreaming(0), 1);
  EXPECT_EQ(STRM_SegmentSize(0), 44100 * 4);
  HL_AudioCaptureStart(nullptr);
  ASSERT_EQ(STRM_Play(0, 1), 1);
  Advance(25000);
  const std::vector<int16_t>& got = HL_AudioCaptured();
  ASSERT_EQ(got.size(), 25u * 44100 * 2);
  size_t mismatches = 0;
  for (size_t i = 0; i < got.size(); ++i) mismatches += got[i] != s[i % s.size()];
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(STRM_IsPlaying(0), 1);
}

// Compressed music is converted as it streams: each refill decodes the
// blocks that make the segment, and a loop goes on from the first block.
TEST_F(StreamTest, AdpcmWavStreamsTheSamplesSoxDecodesTo) {
  if (!HaveTool("sox")) GTEST_SKIP() << "sox not installed";
  for (const char* enc : {"ima-adpcm", "ms-adpcm"}) {
    SCOPED_TRACE(enc);
    // Long enough that the compressed data outgrows the eight-second buffer.
    ASSERT_EQ(Shell("sox -n -r 44100 -c 2 -b 16 src.wav synth 41 sine 200:1200 sine 330 vol 0.6"),
              0);
    ASSERT_EQ(Shell(std::string("sox src.wav -e ") + enc + " bgm/c.wav"), 0);
    ASSERT_EQ(Shell("sox bgm/c.wav -e signed -b 16 ref.wav"), 0);
    const std::vector<int16_t> ref = WavSamples("ref.wav");
    ASSERT_EQ(STRM_Open(0, "bgm\\c.wav"), 1);
    EXPECT_EQ(STRM_IsStreaming(0), 1);
    HL_AudioCaptureStart(nullptr);
    ASSERT_EQ(STRM_Play(0, 1), 1);
    Advance(43000);
    const std::vector<int16_t>& got = HL_AudioCaptured();
    ASSERT_GE(got.size(), ref.size() + 2 * 44100);
    // The whole piece, then the start of its second run.
    size_t mismatches = 0;
    for (size_t i = 0; i < ref.size() + 2 * 44100; ++i) mismatches += got[i] != ref[i % ref.size()];
    EXPECT_EQ(mismatches, 0u);
    EXPECT_TRUE(HL_MessageBoxes().empty());
    STRM_Release(0);
  }
}

// While the window is minimised the mixer gives silence and every buffer
// stands where it was: after the restore the piece goes on from there.
TEST_F(StreamTest, MinimisedWindowPausesTheMusicWhereItIs) {
  const int frames = 9 * 44100;
  std::vector<int16_t> s(2 * frames);
  for (int i = 0; i < frames; ++i) {
    s[2 * i] = static_cast<int16_t>(i % 20011 - 10000 + (i % 20011 >= 10000));
    s[2 * i + 1] = static_cast<int16_t>(1000 + i % 7);
  }
  WriteFile("bgm/long.wav", PcmWav(44100, 2, 16, Samples16(s)));
  ASSERT_EQ(STRM_Open(0, "bgm\\long.wav"), 1);
  HL_AudioCaptureStart(nullptr);
  ASSERT_EQ(STRM_Play(0, 1), 1);
  Advance(2000);
  APP_WndProc(PltMsg{PLT_MSG_MINIMIZED, 1, 0});
  Advance(3000);
  APP_WndProc(PltMsg{PLT_MSG_MINIMIZED, 0, 0});
  Advance(2000);
  const std::vector<int16_t>& got = HL_AudioCaptured();
  const size_t second = 2 * 44100;
  ASSERT_EQ(got.size(), 7 * second);
  size_t wrong = 0;
  for (size_t i = 0; i < 2 * second; ++i) wrong += got[i] != s[i];
  for (size_t i = 2 * second; i < 5 * second; ++i) wrong += got[i] != 0;
  for (size_t i = 5 * second; i < 7 * second; ++i) wrong += got[i] != s[i - 3 * second];
  EXPECT_EQ(wrong, 0u);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "window restored: sound resumed");
}

TEST_F(StreamTest, OggLoopRestartsInsideTheFill) {
  std::vector<int16_t> ref;
  if (!MakeOgg("bgm_001.ogg", 2.3, 330, &ref)) GTEST_SKIP() << "sox/oggenc/oggdec missing";
  ASSERT_EQ(STRM_Open(1, "bgm_001.ogg"), 1);
  HL_AudioCaptureStart(nullptr);
  ASSERT_EQ(STRM_Play(1, 1), 1);
  Advance(12000);
  const std::vector<int16_t>& got = HL_AudioCaptured();
  // The looped output is the decoded file end to end, with nothing missing
  // or doubled where it wraps.
  EXPECT_LE(Worst(got, 0, got.size(), ref), 2);
  EXPECT_TRUE(LogHas("データ展開終了"));
}

TEST_F(StreamTest, PieceEndsWithEightSegmentsOfSilence) {
  std::vector<int16_t> ref;
  if (!MakeOgg("bgm_002.ogg", 1.5, 440, &ref)) GTEST_SKIP() << "sox/oggenc/oggdec missing";
  ASSERT_EQ(STRM_Open(0, "bgm_002.ogg"), 1);
  HL_AudioCaptureStart(nullptr);
  ASSERT_EQ(STRM_Play(0, 0), 1);
  Advance(5000);
  EXPECT_EQ(STRM_IsPlaying(0), 1);
  Advance(5500);  // 1 s of data, the refill that finds the end, 8 s of silence
  EXPECT_EQ(STRM_IsPlaying(0), 0);
  EXPECT_TRUE(LogHas("bDonePlaying = TRUE"));
  Advance(1500);
  EXPECT_TRUE(LogHas("StreamStop1[0]"));
  EXPECT_TRUE(LogHas("StreamStop2"));
  const std::vector<int16_t>& got = HL_AudioCaptured();
  EXPECT_LE(Worst(got, 0, ref.size(), ref), 2);
  size_t loud = 0;
  for (size_t i = ref.size(); i < got.size(); ++i) loud += got[i] != 0;
  EXPECT_EQ(loud, 0u);
  EXPECT_FALSE(BUF_IsPlaying(STRM_Buffer(0)));
}

TEST_F(StreamTest, StopAndReplayEndTheOldWorker) {
  if (!MakeOgg("bgm_003.ogg", 3.0, 500, nullptr)) GTEST_SKIP();
  const int created = STRM_EventsCreated();
  ASSERT_EQ(STRM_Open(2, "bgm_003.ogg"), 1);
  ASSERT_EQ(STRM_Play(2, 1), 1);
  Advance(2500);
  EXPECT_EQ(STRM_Stop(2), 1);
  EXPECT_FALSE(BUF_IsPlaying(STRM_Buffer(2)));
  ASSERT_EQ(STRM_Play(2, 1), 1);
  EXPECT_EQ(STRM_IsPlaying(2), 1);
  Advance(3000);
  EXPECT_EQ(STRM_IsPlaying(2), 1);
  STRM_Release(2);
  EXPECT_EQ(STRM_IsPlaying(2), 0);
  EXPECT_EQ(STRM_EventsCreated() - created, 4);
  EXPECT_TRUE(STRM_EventsBalanced());
}

TEST_F(StreamTest, ShortWavIsHeldWhole) {
  std::vector<int16_t> s(2 * 44100, 1000);
  WriteFile("wav/short.wav", PcmWav(44100, 2, 16, Samples16(s)));
  WriteFile("bgm/short.wav", PcmWav(44100, 2, 16, Samples16(s)));
  const int created = STRM_EventsCreated();
  ASSERT_EQ(STRM_Open(3, "bgm\\short.wav"), 1);
  EXPECT_EQ(STRM_IsStreaming(3), 0);
  ASSERT_EQ(STRM_Play(3, 0), 1);
  EXPECT_EQ(STRM_IsPlaying(3), 1);
  EXPECT_EQ(STRM_EventsCreated(), created);
}

TEST_F(StreamTest, BadSlotsAndFilesGiveTheirMessages) {
  EXPECT_EQ(STRM_Open(8, "bgm_001.ogg"), 0);
  EXPECT_TRUE(BoxShown("ストリーム番号[strm]が 0～7の範囲を超えています。[8]"));
  EXPECT_EQ(STRM_Play(-1, 0), 0);
  // Shorter than the 4096 bytes the probe reads.
  WriteFile("bgm/tiny.ogg", std::vector<uint8_t>(3000, 'O'));
  EXPECT_EQ(STRM_Open(0, "tiny.ogg"), 0);
  EXPECT_TRUE(BoxShown("サウンドストリームファイルが開けません。[tiny.ogg]"));
  // Long enough but not Ogg.
  WriteFile("bgm/junk.ogg", std::vector<uint8_t>(9000, 'x'));
  EXPECT_EQ(STRM_Open(0, "junk.ogg"), 0);
  EXPECT_TRUE(BoxShown("サウンドストリームファイルが開けません。[junk.ogg]"));
  EXPECT_EQ(STRM_Open(0, "missing.ogg"), 0);
  EXPECT_EQ(STRM_IsPlaying(0), 0);
}

TEST_F(StreamTest, CorruptOggMusicPlaysOnAndEnds) {
  if (!MakeOgg("bgm_004.ogg", 2.0, 600, nullptr)) GTEST_SKIP();
  std::vector<uint8_t> ogg = ReadFile("bgm/bgm_004.ogg");
  for (size_t i = ogg.size() / 3; i < ogg.size() / 3 + 500; ++i) ogg[i] ^= 0xA5;
  WriteFile("bgm/bgm_004.ogg", ogg);
  auto damageLines = [] {
    int n = 0;
    for (int i = 0; i < LOG_RecentCount(); ++i)
      n += std::string(LOG_Recent(i)).find("[bgm_004.ogg]") != std::string::npos;
    return n;
  };
  LOG_Reset();
  ASSERT_EQ(STRM_Open(0, "bgm_004.ogg"), 1);
  ASSERT_EQ(STRM_Play(0, 0), 1);
  Advance(13000);
  EXPECT_EQ(STRM_IsPlaying(0), 0);
  EXPECT_EQ(damageLines(), 1);
  // Looping, the damage is met again on every pass but logged once for the
  // piece; opening it again is a new piece.
  STRM_Release(0);
  LOG_Reset();
  ASSERT_EQ(STRM_Open(0, "bgm_004.ogg"), 1);
  ASSERT_EQ(STRM_Play(0, 1), 1);
  Advance(8000);
  EXPECT_EQ(damageLines(), 1);
  STRM_Release(0);
}

class MusicTest : public StreamTest {
 protected:
  void SetUp() override {
    StreamTest::SetUp();
    if (!MakeOgg("bgm_001.ogg", 3.0, 300, nullptr) || !MakeOgg("bgm_002.ogg", 3.0, 500, nullptr)) {
      GTEST_SKIP() << "sox/oggenc/oggdec missing";
    }
  }
  int BufferVolume(int ch) {
    int32_t v = 1;
    EXPECT_TRUE(PLT_SoundGetVolume(STRM_Buffer(ch), &v));
    return v;
  }
};

TEST_F(MusicTest, CrossFadeFollowsTheChannelVolumes) {
  BGM_Play(1, 60, 1, 255, 0);  // 30 frames in, on channel 1
  EXPECT_EQ(BGM_ActiveChannel(), 1);
  EXPECT_EQ(STRM_IsPlaying(1), 1);
  EXPECT_EQ(BufferVolume(1), -10000);
  for (int k = 0; k < 34; ++k) {
    BGM_Update();
    int expect = k < 30 ? k * 255 / 30 : 255;
    ASSERT_EQ(BGM_GetChannel(1)->volume, expect) << k;
    ASSERT_EQ(BufferVolume(1), BUF_VolumeToHundredths(expect));
    Advance(33);
  }
  BGM_Play(1, 60, 1, 255, 0);  // already current: nothing
  EXPECT_EQ(BGM_ActiveChannel(), 1);
  BGM_Play(2, 30, 1, 200, 0);  // 15 frames each way
  EXPECT_EQ(BGM_ActiveChannel(), 0);
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_FADING_OUT);
  for (int k = 0; k < 15; ++k) {
    BGM_Update();
    ASSERT_EQ(BGM_GetChannel(0)->volume, k * 200 / 15);
    ASSERT_EQ(BGM_GetChannel(1)->volume, 255 * (15 - k) / 15);
    ASSERT_EQ(STRM_Volume(0), k * 200 / 15);
    ASSERT_EQ(BufferVolume(1), BUF_VolumeToHundredths(255 * (15 - k) / 15));
    Advance(33);
  }
  BGM_Update();
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_IDLE);
  EXPECT_EQ(BGM_GetChannel(1)->number, -1);
  EXPECT_EQ(STRM_Buffer(1), nullptr);
  EXPECT_EQ(BGM_GetChannel(0)->volume, 200);
  BGM_Play(2, 30, 1, 200, 1);  // restart: fades out 0, starts again on 1
  EXPECT_EQ(BGM_ActiveChannel(), 1);
  EXPECT_EQ(BGM_GetChannel(1)->number, 2);
  BGM_Stop(0);
  EXPECT_EQ(BGM_Current(), -1);
  BGM_Update();
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_IDLE);
}

TEST_F(MusicTest, SwitchingMusicOffAndOnRestartsOnTheOtherChannel) {
  BGM_Play(1, 0, 1, 255, 0);
  for (int k = 0; k < 3; ++k) BGM_Update();
  BGM_SetEnable(0);
  EXPECT_EQ(g_cfg.bgm, 0);
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_FADING_OUT);
  BGM_Play(2, 0, 1, 255, 0);  // off: only remembered
  EXPECT_EQ(BGM_Current(), 2);
  for (int k = 0; k < 16; ++k) BGM_Update();
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_IDLE);
  BGM_SetEnable(1);
  EXPECT_EQ(BGM_ActiveChannel(), 0);
  const BgmChannel* c = BGM_GetChannel(0);
  EXPECT_EQ(c->number, 2);
  EXPECT_EQ(c->fade, 30);
  EXPECT_EQ(c->loop, 1);
  EXPECT_EQ(c->targetVolume, 255);
  EXPECT_EQ(STRM_IsPlaying(0), 1);
}

TEST_F(MusicTest, StageClearPieceOnChannelTwo) {
  BGM_Play(1, 0, 1, 255, 0);
  BGM_PlayOnChannel(2, 2, 0, 0, 255, 1);
  BGM_Stop(60);
  EXPECT_EQ(BGM_Current(), -1);
  EXPECT_EQ(STRM_IsPlaying(2), 1);
  BGM_PlayOnChannel(2, 2, 0, 0, 255, 0);  // same number, playing: left alone
  for (int k = 0; k < 32; ++k) {
    BGM_Update();
    Advance(33);
  }
  EXPECT_EQ(BGM_GetChannel(1)->state, BGM_IDLE);
  EXPECT_EQ(BGM_GetChannel(2)->state, BGM_PLAYING);
  SND_StopAll();
  EXPECT_EQ(STRM_Buffer(2), nullptr);
  EXPECT_TRUE(STRM_EventsBalanced());
}

TEST_F(MusicTest, ReleaseWithPlayingStreamsBalancesEvents) {
  BGM_Play(1, 0, 1, 255, 0);
  BGM_Play(2, 0, 1, 255, 0);
  Advance(1200);
  EXPECT_EQ(PLT_EventCount(), baseEvents_ + 4);
  SND_Release();
  EXPECT_EQ(PLT_EventCount(), baseEvents_);
  EXPECT_FALSE(BoxShown("オープンしたイベントハンドル"));
}

}  // namespace
}  // namespace sndtest

// Sound-effect slots and the managed effect records.
#include "common/config.h"
#include "sound/buffer.h"
#include "sound_fixture.h"

namespace sndtest {
namespace {

class EffectsTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    // 0.2 s of a square wave at 22050 Hz, mono 16-bit.
    std::vector<int16_t> s(4410);
    for (size_t i = 0; i < s.size(); ++i) s[i] = (i / 50) % 2 ? 8000 : -8000;
    WriteFile("wav/se_001.wav", PcmWav(22050, 1, 16, Samples16(s)));
    WriteFile("wav/se_002.wav", PcmWav(22050, 1, 16, Samples16(s)));
  }
  int32_t SlotVolume(int slot) {
    int32_t v = 1;
    EXPECT_TRUE(PLT_SoundGetVolume(SND_SlotBuffer(slot), &v));
    return v;
  }
};

TEST_F(EffectsTest, SeventeenthOneShotReplacesTheOldest) {
  for (int i = 0; i < 16; ++i) {
    HL_SetTime(1000 + 10 * static_cast<uint32_t>(i));
    EXPECT_EQ(SND_PlaySE(1, 0, 255), i);
  }
  // Slot 3 restarted later: slot 0 is now the oldest one-shot.
  HL_SetTime(2000);
  EXPECT_EQ(SND_Play(3, "se_001.wav", 0, 255), 1);
  HL_SetTime(2001);
  EXPECT_EQ(SND_PlaySE(2, 0, 255), 0);
  EXPECT_EQ(SND_StartTime(0), 2001u);
  // All started in the same millisecond: the lowest slot goes first.
  HL_SetTime(3000);
  for (int i = 0; i < 16; ++i) SND_Play(i, "se_001.wav", 0, 255);
  EXPECT_EQ(SND_PlaySE(1, 0, 255), 0);
  EXPECT_TRUE(HL_MessageBoxes().empty());
}

TEST_F(EffectsTest, SixteenLoopingEffectsRefuseTheNext) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(SND_PlaySE(1, 1, 255), i);
  EXPECT_EQ(SND_PlaySE(2, 0, 255), -1);
  EXPECT_TRUE(BoxShown("サウンドを再生するバッファがありません"));
}

TEST_F(EffectsTest, FinishedOneShotsAreFreedButReservedSlotsAreSkipped) {
  AVG_PlaySE2(0, 1, 0, 0, 255);
  ASSERT_EQ(AVG_GetSE2Slot(0), 0);
  Advance(500);  // the 0.2 s sound has ended
  EXPECT_FALSE(SND_IsPlaying(0));
  EXPECT_EQ(SND_PlaySE(2, 0, 255), 1);  // slot 0 belongs to record 0
  Advance(500);
  SND_UpdateSE();
  EXPECT_FALSE(SND_HasBuffer(0));
  EXPECT_FALSE(SND_HasBuffer(1));
}

TEST_F(EffectsTest, VolumeMapsToHundredthsOfADecibel) {
  EXPECT_EQ(BUF_VolumeToHundredths(0), -10000);
  EXPECT_EQ(BUF_VolumeToHundredths(255), 0);
  EXPECT_EQ(BUF_VolumeToHundredths(128), static_cast<int>(2000 * std::log10(128 / 255.0)));
  int slot = SND_PlaySE(1, 0, 0);
  EXPECT_EQ(SlotVolume(slot), -10000);
  SND_SetVolume(slot, 300);  // clamped
  EXPECT_EQ(SlotVolume(slot), 0);
}

TEST_F(EffectsTest, ThePlayersMixScalesEffectsAndMusicApartAndMutesBoth) {
  struct Row {
    int se, music, muted, volume, group;
    int32_t want;
  };
  const int32_t half = BUF_VolumeToHundredths(128);
  const Row rows[] = {
      {100, 100, 0, 128, BUF_GROUP_SE, half},  // 100 % is the volume itself
      {50, 100, 0, 128, BUF_GROUP_SE, half + static_cast<int32_t>(2000 * std::log10(0.5))},
      {50, 100, 0, 128, BUF_GROUP_MUSIC, half},
      {100, 0, 0, 255, BUF_GROUP_MUSIC, -10000},
      {0, 100, 0, 255, BUF_GROUP_SE, -10000},
      {100, 100, 1, 255, BUF_GROUP_MUSIC, -10000},
  };
  for (const Row& r : rows) {
    BUF_SetMix(r.se, r.music, r.muted);
    EXPECT_EQ(BUF_MixedHundredths(r.volume, r.group), r.want) << r.se << " " << r.music;
  }
  // A change reaches the effects already playing.
  g_cfg.volSe = 100;
  g_cfg.volBgm = 100;
  SND_ApplyMix(0);
  int slot = SND_PlaySE(1, 1, 255);
  EXPECT_EQ(SlotVolume(slot), 0);
  g_cfg.volSe = 0;
  SND_ApplyMix(0);
  EXPECT_EQ(SlotVolume(slot), -10000);
  g_cfg.volSe = 100;
  SND_ApplyMix(1);
  EXPECT_EQ(SlotVolume(slot), -10000);
  SND_ApplyMix(0);
  EXPECT_EQ(SlotVolume(slot), 0);
}

TEST_F(EffectsTest, ManagedRecordFadesInAndOut) {
  g_cfg.wait = 2;
  AVG_PlaySE2(3, 1, 60, 1, 200);  // 60/60 s at speed 2: 30 frames
  int slot = AVG_GetSE2Slot(3);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(SlotVolume(slot), -10000);  // starts silent
  for (int frame = 1; frame <= 32; ++frame) {
    SND_UpdateSE();
    int expect = frame <= 30 ? frame * 200 / 30 : 200;
    ASSERT_EQ(AVG_GetSE2Record(3)->volume, expect) << frame;
    ASSERT_EQ(SlotVolume(slot), BUF_VolumeToHundredths(expect));
  }
  AVG_StopSE2(3, -1);  // not a positive fade: ends at once
  EXPECT_EQ(AVG_GetSE2Slot(3), -1);
  EXPECT_FALSE(SND_HasBuffer(slot));
  AVG_PlaySE2(3, 1, 0, 1, 100);  // no fade: full volume at once
  slot = AVG_GetSE2Slot(3);
  EXPECT_EQ(SlotVolume(slot), BUF_VolumeToHundredths(100));
  SND_UpdateSE();      // the record's current volume becomes 100
  AVG_StopSE2(3, 30);  // 15 frames down from 100
  for (int frame = 1; frame <= 15; ++frame) {
    SND_UpdateSE();
    ASSERT_EQ(AVG_GetSE2Record(3)->volume, (frame * 0 + (15 - frame) * 100) / 15);
  }
  EXPECT_EQ(AVG_GetSE2Slot(3), slot);
  SND_UpdateSE();
  EXPECT_EQ(AVG_GetSE2Slot(3), -1);
  EXPECT_FALSE(SND_HasBuffer(slot));
}

TEST_F(EffectsTest, SkipEndsFadesAtOnce) {
  AVG_PlaySE2(0, 1, 60, 1, 180);
  g_act.skip = 1;
  SND_UpdateSE();
  EXPECT_EQ(AVG_GetSE2Record(0)->volume, 180);
}

TEST_F(EffectsTest, RecordInUseIsReplacedWithALogLine) {
  AVG_PlaySE2(5, 1, 0, 1, 255);
  AVG_PlaySE2(5, 2, 0, 1, 255);
  EXPECT_TRUE(LogHas("サウンド構造体が使用中です。AVG_PlaySE2[5]"));
  EXPECT_EQ(AVG_GetSE2Record(5)->number, 2);
}

TEST_F(EffectsTest, SwitchingEffectsOffAndOnRestartsLoopingRecords) {
  AVG_PlaySE2(0, 1, 0, 1, 120);  // looping
  AVG_PlaySE2(1, 2, 0, 0, 255);  // one-shot
  SND_SetSEEnable(0);
  EXPECT_EQ(g_cfg.se, 0);
  EXPECT_TRUE(AVG_GetSE2Record(0)->inUse);
  EXPECT_EQ(AVG_GetSE2Slot(0), -1);
  EXPECT_FALSE(AVG_GetSE2Record(1)->inUse);
  for (int i = 0; i < SND_SLOTS; ++i) EXPECT_FALSE(SND_HasBuffer(i));
  EXPECT_EQ(SND_PlaySE(1, 0, 255), -1);
  // A record started while off is kept for later.
  AVG_PlaySE2(2, 2, 60, 1, 90);
  EXPECT_TRUE(AVG_GetSE2Record(2)->inUse);
  EXPECT_EQ(AVG_GetSE2Slot(2), -1);
  SND_UpdateSE();  // no slot: nothing to apply, no crash
  SND_SetSEEnable(1);
  int slot0 = AVG_GetSE2Slot(0), slot2 = AVG_GetSE2Slot(2);
  ASSERT_GE(slot0, 0);
  ASSERT_GE(slot2, 0);
  EXPECT_TRUE(SND_IsPlaying(slot0) && SND_IsLoop(slot0));
  EXPECT_EQ(SlotVolume(slot0), BUF_VolumeToHundredths(120));
  SND_SetSEEnable(1);  // unchanged: nothing happens
  EXPECT_EQ(AVG_GetSE2Slot(0), slot0);
}

TEST_F(EffectsTest, NoDeviceMeansNoSound) {
  SND_Release();
  HL_AudioFailOpen(1);
  EXPECT_EQ(SND_Init(nullptr), 0);
  EXPECT_TRUE(BoxShown("DirectSoundの初期化に失敗しました。"));
  EXPECT_EQ(SND_PlaySE(1, 0, 255), -1);
  EXPECT_EQ(SND_LoadSlot(0, "se_001.wav"), 0);
  EXPECT_EQ(STRM_Open(0, "bgm_001.ogg"), 0);
  AVG_PlaySE2(0, 1, 0, 1, 255);
  SND_UpdateSE();
  BGM_Play(1, 0, 1, 255, 0);
  BGM_Update();
  HL_AudioFailOpen(0);
}

}  // namespace
}  // namespace sndtest

// The software sound device: formats, resampling, gains, saturation, lock
// regions and position notifications.
#include "sound/buffer.h"
#include "sound_fixture.h"

namespace sndtest {
namespace {

class DeviceTest : public SoundTest {
 protected:
  PltSoundBuffer* Make(int rate, int channels, int bits, const std::vector<uint8_t>& data) {
    PltWaveFormat f{};
    f.formatTag = PLT_WAVE_FORMAT_PCM;
    f.channels = static_cast<uint16_t>(channels);
    f.samplesPerSec = static_cast<uint32_t>(rate);
    f.bitsPerSample = static_cast<uint16_t>(bits);
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    return BUF_Create(&f, static_cast<uint32_t>(data.size()), data.data());
  }
  std::vector<int16_t> Mix(int frames) {
    std::vector<int16_t> out(2 * frames);
    PLT_SoundMix(out.data(), frames, nullptr, 0);
    return out;
  }
};

TEST_F(DeviceTest, FormatsAreMixedToStereoAtTheOutputRate) {
  // 8-bit mono at 11025 Hz, a constant level: every output sample carries it.
  PltSoundBuffer* b = Make(11025, 1, 8, std::vector<uint8_t>(11025, 128 + 64));
  BUF_Play(b, 1);
  std::vector<int16_t> out = Mix(4410);
  for (int16_t s : out) ASSERT_EQ(s, 64 * 256);
  BUF_Release(&b);
  // A ramp at 22050 Hz is interpolated linearly between its samples.
  std::vector<int16_t> ramp(2000);
  for (int i = 0; i < 2000; ++i) ramp[i] = static_cast<int16_t>(i * 10);
  b = Make(22050, 1, 16, Samples16(ramp));
  BUF_Play(b, 0);
  out = Mix(100);
  for (int i = 0; i < 100; ++i) ASSERT_NEAR(out[2 * i], i * 5, 1) << i;
  BUF_Release(&b);
  // Full-scale steps between neighbours interpolate without overflow.
  std::vector<int16_t> square(2 * 1000);
  for (int i = 0; i < 1000; ++i) square[2 * i] = square[2 * i + 1] = i % 2 ? 32767 : -32768;
  b = Make(32000, 2, 16, Samples16(square));
  BUF_Play(b, 1);
  out = Mix(3000);
  for (int16_t s : out) ASSERT_TRUE(s >= -32768 && s <= 32767);
  EXPECT_LT(*std::min_element(out.begin(), out.end()), -20000);
  BUF_Release(&b);
}

TEST_F(DeviceTest, VolumeAndSaturation) {
  std::vector<int16_t> loud(2 * 1000, 30000);
  PltSoundBuffer* a = Make(44100, 2, 16, Samples16(loud));
  PltSoundBuffer* b = Make(44100, 2, 16, Samples16(loud));
  BUF_Play(a, 1);
  BUF_Play(b, 1);
  EXPECT_EQ(Mix(10)[0], 32767);  // clipped, not wrapped
  PLT_SoundSetVolume(b, -10000);
  EXPECT_EQ(Mix(10)[0], 30000);
  PLT_SoundSetVolume(a, -600);  // about half
  EXPECT_NEAR(Mix(10)[0], 30000 * std::pow(10.0, -0.3), 2);
  BUF_Release(&a);
  BUF_Release(&b);
}

TEST_F(DeviceTest, OneShotStopsAtItsEndAndSignalsStop) {
  PltSoundBuffer* b = Make(44100, 1, 16, Samples16(std::vector<int16_t>(441, 5000)));
  PltEvent* stop = PLT_CreateEvent();
  PltSoundNotify n{PLT_SOUND_NOTIFY_STOP, stop};
  ASSERT_TRUE(PLT_SoundSetNotifications(b, &n, 1));
  BUF_Play(b, 0);
  std::vector<int16_t> out = Mix(1000);
  EXPECT_EQ(out[2 * 440], 5000);
  EXPECT_EQ(out[2 * 441], 0);
  EXPECT_FALSE(BUF_IsPlaying(b));
  EXPECT_EQ(PLT_WaitEvents(&stop, 1, 0), 0);
  BUF_Release(&b);
  PLT_CloseEvent(stop);
}

TEST_F(DeviceTest, LockWrapsInTwoPieces) {
  PltSoundBuffer* b = Make(44100, 2, 16, std::vector<uint8_t>(4000, 0));
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_TRUE(PLT_SoundLock(b, 3000, 2000, &p1, &n1, &p2, &n2));
  EXPECT_EQ(n1, 1000u);
  EXPECT_EQ(n2, 1000u);
  ASSERT_NE(p2, nullptr);
  PLT_SoundUnlock(b, p1, n1, p2, n2);
  ASSERT_TRUE(PLT_SoundLock(b, 0, 9999, &p1, &n1, &p2, &n2));  // clamped to the size
  EXPECT_EQ(n1, 4000u);
  EXPECT_EQ(n2, 0u);
  PLT_SoundUnlock(b, p1, n1, p2, n2);
  EXPECT_FALSE(PLT_SoundLock(b, 4000, 4, &p1, &n1, &p2, &n2));
  BUF_Release(&b);
}

TEST_F(DeviceTest, NotificationsFireWhenTheirFrameHasPlayed) {
  // 1000 frames at 22050 Hz: offsets are passed at half the output rate.
  PltSoundBuffer* b = Make(22050, 2, 16, std::vector<uint8_t>(4000, 0));
  PltEvent* e[2] = {PLT_CreateEvent(), PLT_CreateEvent()};
  PltSoundNotify n[3] = {{400 * 4, e[0]}, {999 * 4, e[1]}, {PLT_SOUND_NOTIFY_STOP, e[1]}};
  ASSERT_TRUE(PLT_SoundSetNotifications(b, n, 3));
  BUF_Play(b, 1);
  EXPECT_FALSE(PLT_SoundSetNotifications(b, n, 3));  // not while playing
  Mix(800);                                          // frames 0..399 played
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), PLT_WAIT_TIMEOUT);
  Mix(2);  // frame 400
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), 0);
  Mix(1200);  // past frame 999 and round to frame 0
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), 1);
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), PLT_WAIT_TIMEOUT);
  Mix(800);  // frame 400 again
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), 0);
  uint32_t play = 0, write = 0;
  PLT_SoundGetPosition(b, &play, &write);
  EXPECT_EQ(play, 401 * 4u);
  BUF_Stop(b);
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), 1);
  BUF_Stop(b);  // already stopped: no second signal
  EXPECT_EQ(PLT_WaitEvents(e, 2, 0), PLT_WAIT_TIMEOUT);
  BUF_Release(&b);
  PLT_CloseEvent(e[0]);
  PLT_CloseEvent(e[1]);
}

TEST_F(DeviceTest, CaptureWritesAWavFile) {
  PltSoundBuffer* b = Make(44100, 2, 16, Samples16(std::vector<int16_t>(2 * 4410, 1234)));
  BUF_Play(b, 1);
  ASSERT_EQ(HL_AudioCaptureStart("capture.wav"), 1);
  Advance(250);
  HL_AudioCaptureStop();
  Advance(100);  // no longer kept
  std::vector<int16_t> s = WavSamples("capture.wav");
  ASSERT_EQ(s.size(), 2u * 44100 / 4);
  EXPECT_EQ(s, HL_AudioCaptured());
  EXPECT_EQ(s.back(), 1234);
  std::vector<uint8_t> w = ReadFile("capture.wav");
  EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
  EXPECT_EQ(w.size(), 44 + s.size() * 2);
  BUF_Release(&b);
}

TEST_F(DeviceTest, UnsupportedBuffersAreRefused) {
  PltWaveFormat f{1, 2, 44100, 44100 * 4, 4, 16, 0};
  EXPECT_EQ(PLT_SoundCreateBuffer(&f, 0), nullptr);
  EXPECT_EQ(PLT_SoundCreateBuffer(&f, 6), nullptr);  // not whole frames
  f.bitsPerSample = 24;
  EXPECT_EQ(PLT_SoundCreateBuffer(&f, 600), nullptr);
  f.bitsPerSample = 16;
  f.channels = 6;
  EXPECT_EQ(PLT_SoundCreateBuffer(&f, 1200), nullptr);
  f.channels = 2;
  f.samplesPerSec = 0;
  EXPECT_EQ(PLT_SoundCreateBuffer(&f, 400), nullptr);
}

}  // namespace
}  // namespace sndtest

// Music channels with their fades.
#include "sound/bgm.h"

#include <algorithm>
#include <cstdio>

#include "common/config.h"
#include "sound/sound.h"
#include "sound/stream.h"

namespace {

struct BgmState {
  BgmChannel channels[BGM_CHANNELS];
  int current;
  int active;
};

BgmState MakeInitial() {
  BgmState s{};
  for (BgmChannel& c : s.channels) c.number = -1;
  s.current = -1;
  s.active = 0;
  return s;
}

BgmState g_bgm = MakeInitial();

int FadeFrames(int fade) {
  int sixtieths = fade == -1 ? 30 : fade == -2 ? 60 : fade;
  return sixtieths * SND_FPS / 60;
}

void FadeOut(int ch, int fade) {
  BgmChannel& c = g_bgm.channels[ch];
  if (c.number == -1) return;
  c.state = BGM_FADING_OUT;
  c.counter = 0;
  c.fade = fade;
  c.startVolume = c.volume;
  c.targetVolume = 0;
}

void Start(int ch, int number, int fade, int loop, int volume) {
  BgmChannel& c = g_bgm.channels[ch];
  c.number = number;
  c.state = BGM_PLAYING;
  c.counter = 0;
  c.fade = (fade < 1 && fade != -1 && fade != -2) ? 1 : fade;
  c.loop = loop;
  c.targetVolume = std::clamp(volume, 0, 255);
  c.volume = 0;
  c.startVolume = 0;
  // The stream starts at the channel's volume, not at whatever its slot had.
  STRM_SetVolume(ch, 0);
  char name[32];
  std::snprintf(name, sizeof name, "bgm_%03d.ogg", number);
  STRM_Open(ch, name);
  STRM_Play(ch, loop);
}

}  // namespace

void BGM_Play(int number, int fade, int loop, int volume, int restart) {
  if (number < 0) return;
  if (!restart && number == g_bgm.current) return;
  g_bgm.current = number;
  if (g_cfg.bgm != 1) return;  // the menu's rule: anything but 1 is off
  FadeOut(g_bgm.active, fade);
  g_bgm.active ^= 1;
  const BgmChannel& c = g_bgm.channels[g_bgm.active];
  if (c.state == BGM_PLAYING && c.number == number) return;
  Start(g_bgm.active, number, fade, loop, volume);
}

void BGM_PlayOnChannel(int channel, int number, int fade, int loop, int volume, int restart) {
  if (channel < 0 || channel >= BGM_CHANNELS) return;
  // The stage-clear piece comes this way; with sound switched off it must
  // stay as silent as the rest of the music.
  if (g_cfg.bgm != 1) return;
  const BgmChannel& c = g_bgm.channels[channel];
  if (!restart && c.state != BGM_IDLE && c.state != BGM_FADING_OUT && c.number == number) return;
  Start(channel, number, fade, loop, volume);
}

void BGM_Stop(int fade) {
  g_bgm.current = -1;
  FadeOut(g_bgm.active, fade);
}

void BGM_SetEnable(int on) {
  g_cfg.bgm = on ? 1 : 0;
  if (!on) {
    FadeOut(g_bgm.active, 30);
    return;
  }
  if (g_bgm.current == -1) return;
  FadeOut(g_bgm.active, 30);
  g_bgm.active ^= 1;
  Start(g_bgm.active, g_bgm.current, 30, 1, 255);
}

void BGM_Update() {
  SND_UpdateSE();
  for (int ch = 0; ch < BGM_CHANNELS; ++ch) {
    BgmChannel& c = g_bgm.channels[ch];
    const int len = FadeFrames(c.fade);
    if (c.state == BGM_FADING_OUT && c.counter >= len) {
      c.state = BGM_IDLE;
      c.number = -1;
      c.loop = 0;
      STRM_Stop(ch);
      STRM_ReleaseChannel(ch);
      continue;
    }
    if (c.state != BGM_PLAYING && c.state != BGM_FADING_OUT) continue;
    int v;
    if (len > 0 && c.counter < len) {
      v = (c.startVolume * (len - c.counter) + c.counter * c.targetVolume) / len;
      ++c.counter;
    } else {
      v = c.targetVolume;
    }
    c.volume = v;
    STRM_SetVolume(ch, std::clamp(v, 0, 255));
  }
}

int BGM_Current() {
  return g_bgm.current;
}
int BGM_ActiveChannel() {
  return g_bgm.active;
}
const BgmChannel* BGM_GetChannel(int channel) {
  return channel >= 0 && channel < BGM_CHANNELS ? &g_bgm.channels[channel] : nullptr;
}
void BGM_Reset() {
  g_bgm = MakeInitial();
}

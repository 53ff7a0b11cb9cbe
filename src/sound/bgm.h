// Music channels: four fade records over stream slots 0-3; channels 0 and 1
// alternate so that a new piece fades in while the old one fades out.
#pragma once
#include <cstdint>

enum : int { BGM_CHANNELS = 4 };
enum : int { BGM_IDLE = 0, BGM_PLAYING = 2, BGM_FADING_OUT = 3 };

struct BgmChannel {
  int32_t number;  // -1 none
  int32_t state;
  int32_t counter;
  int32_t fade;  // sixtieths of a second, -1 = 30, -2 = 60
  int32_t loop;
  int32_t volume;  // applied in the last frame
  int32_t startVolume;
  int32_t targetVolume;
};

void BGM_Play(int number, int fade, int loop, int volume, int restart);
void BGM_PlayOnChannel(int channel, int number, int fade, int loop, int volume, int restart);
void BGM_Stop(int fade);
void BGM_SetEnable(int on);
// Every frame of a story scene and of the game mode; runs SND_UpdateSE first.
void BGM_Update();

int BGM_Current();
int BGM_ActiveChannel();
const BgmChannel* BGM_GetChannel(int channel);
// Forgets all channels (start-up state).
void BGM_Reset();

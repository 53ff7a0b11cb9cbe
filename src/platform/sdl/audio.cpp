// The SDL sound output: 44100 Hz, 16-bit stereo, pulled by SDL's audio
// thread from the shared mixer.
#include <SDL.h>

#include "platform/plt_sound.h"
#include "platform/sound_backend.h"

namespace {

SDL_AudioDeviceID g_device = 0;

void Callback(void*, Uint8* stream, int len) {
  PLT_SoundMix(reinterpret_cast<int16_t*>(stream), len / 4, nullptr, 0);
}

}  // namespace

int SNDDEV_BackendOpen() {
  if (g_device) return 1;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec want{};
  want.freq = PLT_SOUND_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = Callback;
  SDL_AudioSpec have{};
  g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!g_device) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  SDL_PauseAudioDevice(g_device, 0);
  return 1;
}

void SNDDEV_BackendClose() {
  if (!g_device) return;
  // Closing waits for a running callback, so no mix touches the buffers after.
  SDL_CloseAudioDevice(g_device);
  g_device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

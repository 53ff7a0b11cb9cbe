// The sound device of the sound fuzz targets: the headless device, opened
// once with sound effects and music on.
#pragma once
#include <cstdlib>

#include "common/config.h"
#include "common/log.h"
#include "fuzz_util.h"
#include "platform/headless/headless.h"
#include "platform/headless/hl_audio.h"
#include "sound/bgm.h"
#include "sound/buffer.h"
#include "sound/sound.h"
#include "sound/stream.h"

namespace fuzz {

inline void OpenSound() {
  static bool open = false;
  EnterScratchDir();
  HL_Reset();
  if (open) return;
  HL_AudioReset();
  LOG_Reset();
  CFG_Defaults();
  BGM_Reset();
  if (!SND_Init(nullptr)) std::abort();
  std::atexit([] { SND_Release(); });
  open = true;
}

// The file loaded as a sound effect (written to effectPath, loaded by its
// name), then opened and started as a music stream: opening reads the
// header piecewise, starting fills the whole buffer once on this thread.
inline void LoadAsEffectAndMusic(const uint8_t* data, size_t size, const char* effectPath,
                                 const char* effectName, const char* musicPath,
                                 const char* musicName) {
  WriteFile(effectPath, data, size);
  uint32_t bytes = 0;
  PltSoundBuffer* b = SND_LoadSound(effectName, &bytes);
  BUF_Release(&b);
  WriteFile(musicPath, data, size);
  if (STRM_Open(0, musicName)) STRM_Play(0, 1);
  STRM_Release(0);
}

}  // namespace fuzz

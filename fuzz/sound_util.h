// The sound device of the sound fuzz targets: the headless device, opened
// once with sound effects and music on.
#pragma once
#include <cstdlib>

#include "fuzz_util.h"
#include "platform/headless/headless.h"
#include "platform/headless/hl_audio.h"
#include "shell/config.h"
#include "shell/log.h"
#include "sound/bgm.h"
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

}  // namespace fuzz

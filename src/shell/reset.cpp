// The engine's reset, top floor first: the modules that hold resources of the
// lower ones (scenes hold pictures and sounds, sprites hold image slots) give
// them back before the lower modules forget them.
#include "shell/reset.h"

#include "common/act.h"
#include "common/clock.h"
#include "common/config.h"
#include "common/key.h"
#include "common/log.h"
#include "common/mouse.h"
#include "common/pad.h"
#include "common/reg.h"
#include "common/rng.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "gfx/image.h"
#include "gfx/render.h"
#include "gfx/sprite.h"
#include "script/scene.h"
#include "script/history.h"
#include "script/readmark.h"
#include "script/script.h"
#include "shell/app.h"
#include "sound/bgm.h"
#include "sound/sound.h"
#include "text/font.h"
#include "text/text.h"

void ZV_ResetAll() {
  APP_ResetForTests();
  GAME_Reset();
  PLAY_Reset();
  AVG_Reset();
  AVG_ResetOptions();
  HIS_Reset();
  SCR_Release();
  SCR_ResetInterp();
  BGM_Reset();
  SND_Reset();
  SPR_Reset();
  IMG_Reset();
  RND_Reset();
  TXT_Reset();
  FNT_Reset();
  CFG_Defaults();
  REG_Reset();
  KEY_Reset();
  MOUSE_Reset();
  PAD_Reset();
  READ_Reset();
  ACT_Reset();
  RNG_Reset();
  CLK_Reset();
  LOG_Reset();
}

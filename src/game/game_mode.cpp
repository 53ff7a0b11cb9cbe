// The game-mode update: runs the title flow every frame and hands over to a
// story scene when the flow asks for one.
#include "game/game_mode.h"

#include "common/act.h"
#include "common/config.h"
#include "game/play.h"
#include "game/rank.h"
#include "game/state.h"
#include "game/title.h"
#include "gfx/sprite.h"
#include "script/scene.h"
#include "script/script.h"
#include "sound/bgm.h"

namespace {
// The system speed as the fades use it; a stored value far out of range would
// only overflow the arithmetic.
int Wait() {
  int w = g_cfg.wait;
  if (w < 0) return 0;
  return w > 255 ? 255 : w;
}
}  // namespace

int GAME_FadeF1() {
  if (g_act.skip) return 0;
  return ((Wait() * 30) / 2) * 30 / 60;
}

int GAME_FadeF2() {
  if (g_act.skip) return 0;
  return ((Wait() * 60) / 2) * 30 / 60;
}

void GAME_StartScene() {
  STATE_Clear();
  AVG_StartScene();
  SCR_Release();
  // The scene counter is the play-through's stage number. It advances whether
  // or not the script exists, so the play-through goes on to the next stage
  // when the scene ends.
  const int number = g_playTotals.stage;
  SCR_Load(number);
  g_playTotals.stage += 1;
  // Flag 0 tells the script which scene it plays.
  SCR_SetFlag(0, number);
}

void GAME_Reset() {
  STATE_Clear();
  TITLE_Reset();
  RANK_Reset();
}

int GAME_Update() {
  ACT_Update();
  StatePair& game = g_state[STATE_GAME];
  switch (game.current) {
    case 2:
      if (TITLE_Update() == 0) game.next = 3;
      BGM_Update();
      break;
    case 3:
      SPR_ClearAll();
      game.next = 0;
      GAME_StartScene();
      STATE_Advance();
      return 3;
    default:
      g_state[STATE_TITLE].current = 0;
      g_state[STATE_TITLE].next = 0;
      game.next = 2;
      break;
  }
  STATE_Advance();
  return 1;
}

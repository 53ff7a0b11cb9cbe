// The game-mode update: runs the title flow every frame and hands over to a
// story scene when the flow asks for one.
#include "game/game_mode.h"

#include "common/act.h"
#include "common/config.h"
#include "common/modes.h"
#include "game/play.h"
#include "game/rank.h"
#include "game/state.h"
#include "game/title.h"
#include "gfx/sprite.h"
#include "script/scene.h"
#include "script/script.h"
#include "sound/bgm.h"

int GAME_FadeF1() {
  if (g_act.skip) return 0;
  return ((CFG_SystemSpeed() * 30) / 2) * 30 / 60;
}

int GAME_FadeF2() {
  if (g_act.skip) return 0;
  return ((CFG_SystemSpeed() * 60) / 2) * 30 / 60;
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
    case GAME_STEP_TITLE:
      if (TITLE_Update() == 0) game.next = GAME_STEP_SCENE;
      BGM_Update();
      break;
    case GAME_STEP_SCENE:
      SPR_ClearAll();
      game.next = GAME_STEP_START;
      GAME_StartScene();
      STATE_Advance();
      return MODE_SCENE;
    default:
      g_state[STATE_TITLE].current = 0;
      g_state[STATE_TITLE].next = 0;
      game.next = GAME_STEP_TITLE;
      break;
  }
  STATE_Advance();
  return MODE_GAME;
}

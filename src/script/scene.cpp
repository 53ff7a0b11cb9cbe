// The story-scene update of game mode 3.
#include "gfx/sprite.h"
#include "platform/plt_menu.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/config.h"

// The story-scene runtime (scripts, message window, pictures and choices) is
// not built yet: a scene ends as soon as it starts, as if its script had run
// to the end, and the game mode takes over again for the next stage.
int ADV_Update() {
  SPR_ClearAll();
  PLT_EnableMenuItem(CMD_NEXT_STAGE, 0);
  g_nextStageRequest = 0;
  return 1;
}

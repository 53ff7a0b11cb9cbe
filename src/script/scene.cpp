// The story-scene update of game mode 3.
#include "shell/app.h"
#include "shell/config.h"

// The story-scene runtime (scripts, message window, pictures and choices) is
// not built yet: a scene ends as soon as it starts, as if its script had run
// to the end, and the game mode takes over again for the next stage.
int ADV_Update() {
  g_nextStageRequest = 0;
  return 1;
}
